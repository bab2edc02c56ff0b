#include "inventory/report_list.h"

#include "inventory/shortcut_list.h"

#include <algorithm>
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

std::string MovedToText(const TMoveFinding& finding) {
    if (finding.strength == TMoveStrength::None)
        return "not found";
    return finding.target.path + " (" + StrengthName(finding.strength) + ": " + finding.evidence +
           ")";
}

std::string TReportList::Text(int row, int column) const {
    if (column != kMovedToColumn)
        return RecordText(Data(row), column);
    const TMoveFinding* moved = Entry(row).moved.get();
    return moved ? MovedToText(*moved) : std::string();
}

TShortcutItem* TReportList::Data(int row) const { return Entry(row).record.get(); }

bool TReportList::Checked(int row) const { return Entry(row).mark; }

void TReportList::SetChecked(int row, bool checked) {
    bool& mark = Entry(row).mark;
    if (mark != checked) {
        mark = checked;
        Changed();
    }
}

int TReportList::Image(int row) const { return Data(row)->Invalid ? kImageInvalid : kImageValid; }

void TReportList::EndUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0)
        UpdateEnded();
}

void TReportList::Replace(std::vector<TShortcutEntry*> entries) {
    rows_ = std::move(entries);
    ++changes_;
    RowsReplaced();
}

void TReportList::Append(TShortcutEntry& entry) {
    rows_.push_back(&entry);
    Changed();
}

void TReportList::Remove(const std::vector<int>& rows) {
    if (!rows.empty() && (rows.front() < 0 || rows.back() >= Count()))
        throw std::out_of_range("report list row");
    std::size_t next = 0, kept = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (next < rows.size() && static_cast<std::size_t>(rows[next]) == i) {
            ++next;
            continue;
        }
        rows_[kept++] = rows_[i];
    }
    if (next != rows.size())
        throw std::out_of_range("report list row");
    rows_.resize(kept);
    ++changes_;
    RowsRemoved(rows);
}

int TReportListModel::SelectedCount() const {
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TReportListModel::RowsReplaced() {
    selected_.assign(Index(Count()), false);
    focused_ = -1;
}

// The rows that stay keep their highlight and the focus.
void TReportListModel::RowsRemoved(const std::vector<int>& rows) {
    std::vector<bool> kept;
    kept.reserve(Index(Count()));
    std::size_t next = 0;
    int focused = focused_;
    for (int i = 0; i < static_cast<int>(selected_.size()); ++i) {
        if (next < rows.size() && rows[next] == i) {
            ++next;
            if (i == focused_)
                focused = -1;
            else if (i < focused_ && focused >= 0)
                --focused;
            continue;
        }
        kept.push_back(selected_[Index(i)]);
    }
    selected_ = std::move(kept);
    focused_ = focused;
}
