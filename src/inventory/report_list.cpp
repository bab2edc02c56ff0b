#include "inventory/report_list.h"

#include <stdexcept>

void TReportListModel::Clear() {
    rows_.clear();
    focused_ = -1;
}

int TReportListModel::AddRow(const std::string& caption) {
    rows_.push_back(Row{});
    rows_.back().caption = caption;
    return Count() - 1;
}

void TReportListModel::DeleteRow(int row) {
    (void)rows_.at(row); // range check
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
