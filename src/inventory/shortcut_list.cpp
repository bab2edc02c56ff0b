#include "inventory/shortcut_list.h"

#include <algorithm>

void TShortcutList::Add(std::unique_ptr<TShortcutItem> record) {
    items_.reserve(items_.size() + 1); // on failure `record` still owns it and frees it
    const bool mark = record->Invalid;
    items_.push_back(Entry{std::move(record), mark});
}

bool TShortcutList::Remove(const TShortcutItem* record) {
    // Deletion visits rows from the last one, so the record is usually near the end.
    auto it = std::find_if(items_.rbegin(), items_.rend(),
                           [record](const Entry& e) { return e.item.get() == record; });
    if (it == items_.rend())
        return false;
    items_.erase(std::next(it).base());
    return true;
}

int TShortcutList::RemoveAll(const std::unordered_set<const TShortcutItem*>& records) {
    const auto before = items_.size();
    items_.erase(
        std::remove_if(items_.begin(), items_.end(),
                       [&records](const Entry& e) { return records.count(e.item.get()) > 0; }),
        items_.end());
    return static_cast<int>(before - items_.size());
}
