#include "inventory/inventory.h"

#include "base/text.h"

#include <string_view>
#include <vector>

namespace {

// Whether `text` holds `upperNeedle` (already upper-cased) with ASCII letters compared
// without case, as AsciiUpperCase(text).find(upperNeedle) would say, without copying `text`:
// a rebuild runs this twice for every record.
bool ContainsAsciiNoCase(std::string_view text, std::string_view upperNeedle) {
    const auto upper = [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    };
    if (upperNeedle.size() > text.size())
        return false;
    const std::size_t last = text.size() - upperNeedle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (upper(text[i]) != upperNeedle[0])
            continue;
        std::size_t k = 1;
        while (k < upperNeedle.size() && upper(text[i + k]) == upperNeedle[k])
            ++k;
        if (k == upperNeedle.size())
            return true;
    }
    return false;
}

} // namespace

void TInventory::AddShortcutItem(std::unique_ptr<TShortcutItem> record) {
    AddShortcutRow(master_.Add(std::move(record)));
}

void TInventory::AddShortcutRow(TShortcutEntry& entry) {
    ++rowsVersion_;
    rows_.Append(entry);
}

template <class Pred> void TInventory::Rebuild(Pred shown) {
    ++rowsVersion_;
    std::vector<TShortcutEntry*> entries;
    entries.reserve(static_cast<std::size_t>(master_.Count()));
    for (int i = 0; i < master_.Count(); ++i) {
        TShortcutEntry& entry = master_.Entry(i);
        if (shown(*entry.record))
            entries.push_back(&entry);
    }
    rows_.Replace(std::move(entries));
}

void TInventory::FilterByText(const std::string& text) {
    if (text.empty()) {
        Rebuild([](const TShortcutItem&) { return true; });
        return;
    }
    const std::string needle = AsciiUpperCase(text);
    Rebuild([&needle](const TShortcutItem& r) {
        return ContainsAsciiNoCase(r.Shortcut, needle) || ContainsAsciiNoCase(r.Target, needle);
    });
}

void TInventory::ShowByState(bool invalid) {
    Rebuild([invalid](const TShortcutItem& r) { return r.Invalid == invalid; });
}

void TInventory::Clear() {
    ++generation_;
    ++rowsVersion_;
    rows_.Clear(); // rows first: they refer to the records
    master_.Clear();
}

void TInventory::ComboBoxShowChange(int position) {
    switch (position) {
    case kShowAll:
        FilterByText(std::string());
        break;
    case kShowInvalid:
        ShowByState(true);
        break;
    case kShowValid:
        ShowByState(false);
        break;
    default:
        break;
    }
}
