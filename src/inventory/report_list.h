// The report list: rows that show entries of the master list. A row is a reference to its
// entry and nothing more: its texts and image come from the entry's record, its check mark
// is the entry's mark. The Win32 list view and the plain model below both derive from it and
// add only the list's own selection and what a control must be told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TShortcutItem;
struct TMoveFinding;
struct TShortcutEntry;

// The column after the record's four: where Repair found the target went.
constexpr int kMovedToColumn = 4;

// Row images of the window's image list.
constexpr int kImageValid = 0;
constexpr int kImageInvalid = 1;

// The text of column `column` (0 Name, 1 Target, 2 Location, 3 Shortcut) of a row that shows
// `record`; "" for none. Throws std::out_of_range for another column.
const std::string& RecordText(const TShortcutItem* record, int column);
// What the Moved to column and the info panel say of a finding: the candidate, how strong
// and why ("D:\\Tools\\tool.exe (strong: ...)"), or that nothing was found.
std::string MovedToText(const TMoveFinding& finding);

class TReportList {
public:
    TReportList() = default;
    TReportList(const TReportList&) = delete;
    TReportList& operator=(const TReportList&) = delete;
    virtual ~TReportList() = default;

    int Count() const { return static_cast<int>(rows_.size()); }
    TShortcutEntry& Entry(int row) const { return *rows_.at(static_cast<std::size_t>(row)); }
    TShortcutItem* Data(int row) const;
    // The row's entry's mark; setting it changes the entry, so every view shows it.
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    int Image(int row) const; // kImageInvalid for an invalid record, kImageValid otherwise
    // The text a column shows: the record's Name, Target, Location or Shortcut, then Moved to
    // (MovedToText of the entry's finding, "" before Repair looked).
    std::string Text(int row, int column) const;
    // The entries' texts changed (not which entries there are): a control repaints.
    void EntriesChanged() { Changed(); }

    // Brackets changes so a real control hears of them once, at the end. Nests.
    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();
    int UpdateDepth() const { return updateDepth_; }

    // A rebuild: these entries (not owned), in master-list order, replace every row.
    void Replace(std::vector<TShortcutEntry*> entries);
    void Clear() { Replace({}); }
    // Appends a row for `entry` (not owned).
    void Append(TShortcutEntry& entry);
    // Removes the rows whose entry `gone` answers true for, in one pass.
    template <class Pred> void RemoveIf(Pred gone) {
        std::vector<int> removed;
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (gone(static_cast<const TShortcutEntry*>(rows_[i])))
                removed.push_back(static_cast<int>(i));
        if (!removed.empty())
            Remove(removed);
    }
    // Removes the rows at these indices (ascending, no repeats).
    void Remove(const std::vector<int>& rows);

    // The list's own selection (highlighted rows) and its focused row (-1 for none).
    virtual int SelectedCount() const = 0;
    virtual int FocusedRow() const = 0;

    // Grows with every change of the rows or their marks (not of the selection): what was
    // counted over the rows holds while it stays the same.
    std::uint64_t Changes() const { return changes_; }

protected:
    // What a control is told: every row was replaced; the rows at `rows` (their indices
    // before) were removed; rows were appended or marks changed; the outermost update ended.
    virtual void RowsReplaced() {}
    virtual void RowsRemoved(const std::vector<int>& rows) { (void)rows; }
    virtual void RowsChanged() {}
    virtual void UpdateEnded() {}

private:
    void Changed() {
        ++changes_;
        RowsChanged();
    }

    std::vector<TShortcutEntry*> rows_;
    int updateDepth_ = 0;
    std::uint64_t changes_ = 0;
};

// A plain model of rows with a selection, for builds and tests without a window system.
class TReportListModel final : public TReportList {
public:
    int SelectedCount() const override;
    int FocusedRow() const override { return focused_; }

    // Selection as a user would make it.
    void Select(int row, bool selected = true) { selected_.at(Index(row)) = selected; }
    void Focus(int row) { focused_ = row; }

private:
    static std::size_t Index(int row) { return static_cast<std::size_t>(row); }
    void RowsReplaced() override;
    void RowsRemoved(const std::vector<int>& rows) override;
    void RowsChanged() override { selected_.resize(Index(Count()), false); }

    std::vector<bool> selected_;
    int focused_ = -1;
};
