#include "inventory/report_list.h"

#include "inventory/shortcut_item.h"

#include <stdexcept>

int IReportList::AddRecordRow(TShortcutItem* record, int image, bool checked) {
    const int row = AddRow(record->Name);
    SetImage(row, image);
    SetChecked(row, checked);
    SetSubItem(row, 1, record->Target);
    SetSubItem(row, 2, record->Location);
    SetSubItem(row, 3, record->Shortcut);
    SetData(row, record);
    return row;
}

void IReportList::DeleteRows(const std::vector<int>& rows) {
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        DeleteRow(*it);
}

void TReportListModel::Clear() {
    ++changes_;
    rows_.clear();
    focused_ = -1;
}

int TReportListModel::AddRow(const std::string& caption) {
    ++changes_;
    rows_.push_back(Row{});
    rows_.back().caption = caption;
    return Count() - 1;
}

void TReportListModel::DeleteRow(int row) {
    (void)rows_.at(row); // range check
    ++changes_;
    rows_.erase(rows_.begin() + row);
    if (focused_ == row)
        focused_ = -1;
    else if (focused_ > row)
        --focused_;
}

void TReportListModel::SetSubItem(int row, int column, const std::string& text) {
    if (column < 1 || column > 3)
        throw std::out_of_range("report list column");
    rows_.at(row).sub[column - 1] = text;
    ++changes_;
}

std::string TReportListModel::Text(int row, int column) const {
    if (column == 0)
        return rows_.at(row).caption;
    if (column < 1 || column > 3)
        throw std::out_of_range("report list column");
    return rows_.at(row).sub[column - 1];
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
