// The master list: owns every record of the last scan, in the order found, and keeps each
// record's check mark beside it (the record itself never changes).
#pragma once

#include "inventory/shortcut_item.h"

#include <cstddef>
#include <memory>
#include <unordered_set>
#include <vector>

class TShortcutList {
public:
    // Takes ownership; the record's mark starts as its Invalid flag. Should appending fail,
    // the record is destroyed before the error travels on, so no record is ever left without
    // an owner.
    void Add(std::unique_ptr<TShortcutItem> record);
    // Destroys every record.
    void Clear() { items_.clear(); }
    // Destroys the given record; false when the list does not hold it.
    bool Remove(const TShortcutItem* record);
    // Destroys every record of `records` that the list holds, in one pass over the list;
    // returns how many it destroyed.
    int RemoveAll(const std::unordered_set<const TShortcutItem*>& records);
    int Count() const { return static_cast<int>(items_.size()); }
    TShortcutItem* Items(int index) const { return At(index).item.get(); }
    // The check mark of the record at `index`, as the user last left it.
    bool Mark(int index) const { return At(index).mark; }
    void SetMark(int index, bool mark) { items_.at(static_cast<std::size_t>(index)).mark = mark; }

private:
    struct Entry {
        std::unique_ptr<TShortcutItem> item;
        bool mark = false;
    };
    const Entry& At(int index) const { return items_.at(static_cast<std::size_t>(index)); }

    std::vector<Entry> items_;
};
