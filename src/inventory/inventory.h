// The inventory: the master list and the rows built from it.
#pragma once

#include "inventory/report_list.h"
#include "inventory/shortcut_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// Row images of the window's image list.
constexpr int kImageValid = 0;
constexpr int kImageInvalid = 1;

// Positions of the Show box.
constexpr int kShowAll = 0;
constexpr int kShowInvalid = 1;
constexpr int kShowValid = 2;

class TInventory {
public:
    // The rows are shown in `rows`, which outlives the inventory.
    explicit TInventory(IReportList& rows) : rows_(rows) {}

    TShortcutList& Master() { return master_; }
    const TShortcutList& Master() const { return master_; }
    IReportList& Rows() { return rows_; }

    // Appends the record to the master list, then shows its row whatever the filters say,
    // checked when the record is invalid.
    void AddShortcutItem(std::unique_ptr<TShortcutItem> record);
    // Appends a row: caption, image and check mark, the three sub-items, the record.
    void AddShortcutRow(TShortcutItem* record, bool checked);
    // Each rebuild keeps the check marks: the rows' marks are kept beside their records first,
    // and every row shown again gets its record's mark back.
    // Rebuilds the rows: records whose Shortcut or Target holds `text` (ASCII letters
    // compared without case); every record when `text` is empty.
    void FilterByText(const std::string& text);
    // Rebuilds the rows: records whose Invalid flag equals `invalid`.
    void ShowByState(bool invalid);
    // Empties the master list (destroying its records) and the rows.
    void Clear();
    // Counts the calls of Clear: a command that processed messages can tell whether the
    // records it was working on were thrown away meanwhile.
    std::uint64_t Generation() const { return generation_; }
    // Counts every change of which rows are shown (rebuilds, appended and removed rows): a
    // command that processed messages can tell whether its row indices still hold.
    std::uint64_t RowsVersion() const { return rowsVersion_; }
    // Removes the rows at `rows` (ascending) and destroys `records` with them, each list in
    // one pass; the rows must be exactly those showing the records.
    void RemoveRecords(const std::vector<int>& rows,
                       const std::unordered_set<const TShortcutItem*>& records);

    // The filter box's whole current text changed.
    void EditFilterChange(const std::string& text) { FilterByText(text); }
    // The Show box's position changed: 0 All, 1 Invalid, 2 Valid, anything else nothing.
    void ComboBoxShowChange(int position);

private:
    template <class Pred> void Rebuild(Pred shown);
    // Copies each row's check mark to its record's entry in the master list.
    void KeepMarks();

    TShortcutList master_;
    IReportList& rows_;
    std::uint64_t generation_ = 0;
    std::uint64_t rowsVersion_ = 0;
};
