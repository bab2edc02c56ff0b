#include "inventory/report_list.h"

#include "inventory/shortcut_item.h"

#include <stdexcept>

const std::string& RecordText(const TShortcutItem* record, int column) {
    static const std::string none;
    if (column < 0 || column > 3)
        throw std::out_of_range("report list column");
    if (!record)
        return none;
    switch (column) {
    case 0:
        return record->Name;
    case 1:
        return record->Target;
    case 2:
        return record->Location;
    default:
        return record->Shortcut;
    }
}

void TReportListModel::Clear() {
    ++changes_;
    rows_.clear();
    focused_ = -1;
}

int TReportListModel::AddRecordRow(TShortcutItem* record, int image, bool checked) {
    ++changes_;
    rows_.push_back({record, image, checked, false});
    return Count() - 1;
}

int TReportListModel::SelectedCount() const {
    int n = 0;
    for (const Row& r : rows_)
        n += r.selected ? 1 : 0;
    return n;
}

void TReportListModel::DeleteRows(const std::vector<int>& rows) {
    std::vector<Row> kept;
    kept.reserve(rows_.size());
    std::size_t next = 0;
    int focused = focused_;
    for (int i = 0; i < Count(); ++i) {
        if (next < rows.size() && rows[next] == i) {
            ++next;
            if (i == focused_)
                focused = -1;
            else if (i < focused_ && focused >= 0)
                --focused;
            continue;
        }
        kept.push_back(std::move(rows_[static_cast<std::size_t>(i)]));
    }
    if (next != rows.size())
        throw std::out_of_range("report list row");
    rows_ = std::move(kept);
    focused_ = focused;
    ++changes_;
}
