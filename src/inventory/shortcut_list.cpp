#include "inventory/shortcut_list.h"

TShortcutEntry& TShortcutList::Add(std::unique_ptr<TShortcutItem> record) {
    entries_.reserve(entries_.size() + 1); // on failure `record` still owns it and frees it
    auto entry = std::make_unique<TShortcutEntry>();
    entry->mark = record->Invalid;
    entry->record = std::move(record);
    entries_.push_back(std::move(entry));
    return *entries_.back();
}
