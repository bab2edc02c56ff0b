// The master list: owns every record of the last scan, in the order found, and beside each
// record the user's check mark for it (the record itself never changes). An entry is the one
// place its mark lives: the rows refer to entries and read and write the mark there.
#pragma once

#include "inventory/moved_target.h"
#include "inventory/shortcut_item.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

// One record of the master list and its check mark. Its address stays the same for as long
// as the list holds it, whatever else is appended or removed.
struct TShortcutEntry {
    std::unique_ptr<TShortcutItem> record;
    bool mark = false;
    // Where Repair found the target went; nullptr until it looked. A repaired entry gets a
    // new record and loses it.
    std::unique_ptr<TMoveFinding> moved;
};

class TShortcutList {
public:
    // Takes ownership; the entry's mark starts as the record's Invalid flag. Should
    // appending fail, the record is destroyed before the error travels on, so no record is
    // ever left without an owner.
    TShortcutEntry& Add(std::unique_ptr<TShortcutItem> record);
    // Destroys every record.
    void Clear() { entries_.clear(); }
    // Destroys the entries (and their records) that `gone` answers true for, in one pass;
    // returns how many it destroyed.
    template <class Pred> int RemoveIf(Pred gone) {
        const auto before = entries_.size();
        std::erase_if(entries_, [&gone](const std::unique_ptr<TShortcutEntry>& e) {
            return gone(static_cast<const TShortcutEntry*>(e.get()));
        });
        return static_cast<int>(before - entries_.size());
    }
    int Count() const { return static_cast<int>(entries_.size()); }
    TShortcutEntry& Entry(int index) const { return *entries_.at(static_cast<std::size_t>(index)); }
    TShortcutItem* Items(int index) const { return Entry(index).record.get(); }

private:
    std::vector<std::unique_ptr<TShortcutEntry>> entries_;
};
