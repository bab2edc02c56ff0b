// The report list: rows that show records. The Win32 list view implements the same interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TShortcutItem;

// Column 0 is the caption (Name); sub-items 1..3 are Target, Location and Shortcut.
class IReportList {
public:
    virtual ~IReportList() = default;

    virtual int Count() const = 0;
    // Brackets a rebuild so a real control can keep from repainting row by row. Nests.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void Clear() = 0;
    // Appends a row that shows `record` (not owned): its Name as the caption, its Target,
    // Location and Shortcut as the sub-items, with this image and check mark; returns its
    // index.
    virtual int AddRecordRow(TShortcutItem* record, int image, bool checked) = 0;
    // Deletes the rows at these indices (ascending, no repeats) in one step.
    virtual void DeleteRows(const std::vector<int>& rows) = 0;

    virtual int Image(int row) const = 0;
    virtual void SetChecked(int row, bool checked) = 0;
    virtual bool Checked(int row) const = 0;
    // The text a column shows: the record's Name, Target, Location or Shortcut.
    virtual std::string Text(int row, int column) const = 0;
    virtual TShortcutItem* Data(int row) const = 0;

    // The list's own selection (highlighted rows) and its focused row (-1 for none).
    virtual int SelectedCount() const = 0;
    virtual int FocusedRow() const = 0;

    // Grows with every change of the rows, their marks or images (not of the selection):
    // what was counted over the rows holds while it stays the same.
    virtual std::uint64_t Changes() const = 0;
};

// The text of column `column` (0 Name, 1 Target, 2 Location, 3 Shortcut) of a row that shows
// `record`; "" for none. Throws std::out_of_range for another column.
const std::string& RecordText(const TShortcutItem* record, int column);

// A plain model of rows, for builds and tests without a window system.
class TReportListModel final : public IReportList {
public:
    struct Row {
        TShortcutItem* data = nullptr;
        int image = -1;
        bool checked = false;
        bool selected = false;
    };

    int Count() const override { return static_cast<int>(rows_.size()); }
    void BeginUpdate() override { ++updateDepth_; }
    void EndUpdate() override { --updateDepth_; }
    void Clear() override;
    int AddRecordRow(TShortcutItem* record, int image, bool checked) override;
    void DeleteRows(const std::vector<int>& rows) override;
    int Image(int row) const override { return rows_.at(row).image; }
    void SetChecked(int row, bool checked) override { rows_.at(row).checked = checked, ++changes_; }
    bool Checked(int row) const override { return rows_.at(row).checked; }
    std::string Text(int row, int column) const override {
        return RecordText(rows_.at(row).data, column);
    }
    TShortcutItem* Data(int row) const override { return rows_.at(row).data; }
    int SelectedCount() const override;
    int FocusedRow() const override { return focused_; }
    std::uint64_t Changes() const override { return changes_; }

    // Selection as a user would make it.
    void Select(int row, bool selected = true) { rows_.at(row).selected = selected; }
    void Focus(int row) { focused_ = row; }
    const Row& At(int row) const { return rows_.at(row); }
    int UpdateDepth() const { return updateDepth_; }

private:
    std::vector<Row> rows_;
    int focused_ = -1;
    int updateDepth_ = 0;
    std::uint64_t changes_ = 0;
};
