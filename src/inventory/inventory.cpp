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
    const int row = rows_.AddRow(record->Name);
    rows_.SetImage(row, record->Invalid ? kImageInvalid : kImageValid);
    rows_.SetChecked(row, record->Invalid);
    rows_.SetSubItem(row, 1, record->Target);
    rows_.SetSubItem(row, 2, record->Location);
    rows_.SetSubItem(row, 3, record->Shortcut);
    rows_.SetData(row, record);
}

template <class Pred> void TInventory::Rebuild(Pred shown) {
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
