#include "inventory/inventory.h"

#include "base/text.h"

#include <string_view>

namespace {

// Keeps a real list from repainting until the rebuild is done, also when it fails.
class UpdateGuard {
public:
    explicit UpdateGuard(IReportList& rows) : rows_(rows) { rows_.BeginUpdate(); }
    UpdateGuard(const UpdateGuard&) = delete;
    UpdateGuard& operator=(const UpdateGuard&) = delete;
    ~UpdateGuard() { rows_.EndUpdate(); }

private:
    IReportList& rows_;
};

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
    TShortcutItem* raw = record.get();
    master_.Add(std::move(record));
    AddShortcutRow(raw, master_.Mark(master_.Count() - 1));
}

void TInventory::AddShortcutRow(TShortcutItem* record, bool checked) {
    ++rowsVersion_;
    rows_.AddRecordRow(record, record->Invalid ? kImageInvalid : kImageValid, checked);
}

// The rows are a subsequence of the master list in its order, so one pass over both finds
// every row's entry; a row whose record is not found ahead (never the case) is looked up from
// the start.
void TInventory::KeepMarks() {
    const int count = master_.Count();
    int m = 0;
    for (int i = 0; i < rows_.Count(); ++i) {
        const TShortcutItem* record = rows_.Data(i);
        if (!record)
            continue;
        int at = m;
        while (at < count && master_.Items(at) != record)
            ++at;
        if (at == count) { // not ahead: looked up from the start
            at = 0;
            while (at < count && master_.Items(at) != record)
                ++at;
        }
        if (at == count)
            continue;
        master_.SetMark(at, rows_.Checked(i));
        m = at + 1;
    }
}

void TInventory::RemoveRecords(const std::vector<int>& rows,
                               const std::unordered_set<const TShortcutItem*>& records) {
    ++rowsVersion_;
    UpdateGuard guard(rows_);
    rows_.DeleteRows(rows); // rows first: they refer to the records
    master_.RemoveAll(records);
}

template <class Pred> void TInventory::Rebuild(Pred shown) {
    ++rowsVersion_;
    UpdateGuard guard(rows_);
    KeepMarks();
    rows_.Clear();
    for (int i = 0; i < master_.Count(); ++i) {
        TShortcutItem* record = master_.Items(i);
        if (shown(*record))
            AddShortcutRow(record, master_.Mark(i));
    }
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
    UpdateGuard guard(rows_);
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
