#include "inventory/inventory.h"

#include "shell/path_rules.h"

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

} // namespace

void TInventory::AddShortcutItem(std::unique_ptr<TShortcutItem> record) {
    TShortcutItem* raw = record.get();
    master_.Add(std::move(record));
    AddShortcutRow(raw);
}

void TInventory::AddShortcutRow(TShortcutItem* record) {
    ++rowsVersion_;
    rows_.AddRecordRow(record, record->Invalid ? kImageInvalid : kImageValid, record->Invalid);
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
    rows_.Clear();
    for (int i = 0; i < master_.Count(); ++i) {
        TShortcutItem* record = master_.Items(i);
        if (shown(*record))
            AddShortcutRow(record);
    }
}

void TInventory::FilterByText(const std::string& text) {
    if (text.empty()) {
        Rebuild([](const TShortcutItem&) { return true; });
        return;
    }
    const std::string needle = AsciiUpperCase(text);
    Rebuild([&needle](const TShortcutItem& r) {
        return AsciiUpperCase(r.Shortcut).find(needle) != std::string::npos ||
               AsciiUpperCase(r.Target).find(needle) != std::string::npos;
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
