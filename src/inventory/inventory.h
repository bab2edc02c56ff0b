// The inventory: the master list and the rows built from it.
#pragma once

#include "inventory/report_list.h"
#include "inventory/shortcut_list.h"

#include <cstdint>
#include <memory>
#include <string>

// Positions of the Show box.
constexpr int kShowAll = 0;
constexpr int kShowInvalid = 1;
constexpr int kShowValid = 2;

class TInventory {
public:
    // The rows are shown in `rows`, which outlives the inventory.
    explicit TInventory(TReportList& rows) : rows_(rows) {}

    TShortcutList& Master() { return master_; }
    const TShortcutList& Master() const { return master_; }
    TReportList& Rows() { return rows_; }

    // Appends the record to the master list, then shows its row whatever the filters say,
    // checked when the record is invalid.
    void AddShortcutItem(std::unique_ptr<TShortcutItem> record);
    // Appends a row that shows `entry`.
    void AddShortcutRow(TShortcutEntry& entry);
    // A rebuild is a new list of the master list's entries: the marks are the entries' own,
    // so every row shown again shows the mark the user left.
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
    // Counts every change of which entries there are and which rows are shown (rebuilds,
    // appended and removed rows): a command that processed messages can tell whether what it
    // knew of them still holds.
    std::uint64_t RowsVersion() const { return rowsVersion_; }
    // Removes the rows of the entries `gone` answers true for, then destroys those entries,
    // each list in one pass.
    template <class Pred> void RemoveEntries(Pred gone) {
        ++rowsVersion_;
        rows_.RemoveIf(gone); // rows first: they refer to the entries
        master_.RemoveIf(gone);
    }

    // The filter box's whole current text changed.
    void EditFilterChange(const std::string& text) { FilterByText(text); }
    // The Show box's position changed: 0 All, 1 Invalid, 2 Valid, anything else nothing.
    void ComboBoxShowChange(int position);

private:
    template <class Pred> void Rebuild(Pred shown);

    TShortcutList master_;
    TReportList& rows_;
    std::uint64_t generation_ = 0;
    std::uint64_t rowsVersion_ = 0;
};
