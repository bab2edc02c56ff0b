#include "ui/list_view.h"

#include "ui/main_form_layout.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace {

HWND H(WindowHandle h) { return static_cast<HWND>(h); }

LRESULT Send(WindowHandle view, UINT msg, WPARAM wp, LPARAM lp) {
    return ::SendMessageA(H(view), msg, wp, lp);
}

} // namespace

void TListViewReport::SetUp(void* rowImages) {
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    Send(view_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    Send(view_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rowImages));
    for (std::size_t i = 0; i < kListColumns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(kListColumns[i].caption);
        column.cx = kListColumns[i].width;
        column.iSubItem = static_cast<int>(i);
        Send(view_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

TListViewReport::Pending* TListViewReport::PendingRow(int row) {
    const int at = row - base_;
    if (pending_.empty() || at < 0 || at >= static_cast<int>(pending_.size()))
        return nullptr;
    return &pending_[static_cast<std::size_t>(at)];
}

const TListViewReport::Pending* TListViewReport::PendingRow(int row) const {
    return const_cast<TListViewReport*>(this)->PendingRow(row);
}

void TListViewReport::Flush() {
    if (pending_.empty())
        return;
    std::vector<Pending> rows;
    rows.swap(pending_);
    const bool redraw = updateDepth_ == 0;
    if (redraw)
        Send(view_, WM_SETREDRAW, FALSE, 0);
    Send(view_, LVM_SETITEMCOUNT, static_cast<WPARAM>(base_) + rows.size(), LVSICF_NOINVALIDATEALL);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Pending& p = rows[i];
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_STATE | LVIF_PARAM | (p.image >= 0 ? LVIF_IMAGE : 0);
        item.iItem = base_ + static_cast<int>(i);
        item.pszText = const_cast<char*>(p.caption.c_str());
        item.iImage = p.image;
        item.state = INDEXTOSTATEIMAGEMASK(p.checked ? 2 : 1);
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.lParam = reinterpret_cast<LPARAM>(p.data);
        const auto row = Send(view_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        // A list with check boxes may give a new row the unchecked box whatever it was told.
        if (p.checked) {
            LVITEMA check{};
            check.state = INDEXTOSTATEIMAGEMASK(2);
            check.stateMask = LVIS_STATEIMAGEMASK;
            Send(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&check));
        }
        for (int c = 0; c < 3; ++c) {
            if (p.sub[c].empty())
                continue;
            LVITEMA sub{};
            sub.iSubItem = c + 1;
            sub.pszText = const_cast<char*>(p.sub[c].c_str());
            Send(view_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
        }
    }
    if (redraw) {
        Send(view_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(H(view_), nullptr, TRUE);
    }
}

int TListViewReport::Count() const {
    if (!pending_.empty())
        return base_ + static_cast<int>(pending_.size());
    return static_cast<int>(Send(view_, LVM_GETITEMCOUNT, 0, 0));
}

// Redraw stays off until the outermost update ends, so a rebuild of many rows paints once.
void TListViewReport::BeginUpdate() {
    if (updateDepth_++ == 0)
        Send(view_, WM_SETREDRAW, FALSE, 0);
}

void TListViewReport::EndUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        Flush();
        Send(view_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(H(view_), nullptr, TRUE);
    }
}

void TListViewReport::Clear() {
    pending_.clear();
    Send(view_, LVM_DELETEALLITEMS, 0, 0);
}

int TListViewReport::AddRow(const std::string& caption) {
    if (pending_.empty())
        base_ = Count();
    pending_.push_back(Pending{caption, {}, -1, false, nullptr});
    return base_ + static_cast<int>(pending_.size()) - 1;
}

void TListViewReport::DeleteRow(int row) {
    Flush();
    Send(view_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void TListViewReport::SetImage(int row, int image) {
    if (Pending* p = PendingRow(row)) {
        p->image = image;
        return;
    }
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    Send(view_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int TListViewReport::Image(int row) const {
    if (const Pending* p = PendingRow(row))
        return p->image;
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    if (!Send(view_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.iImage;
}

void TListViewReport::SetChecked(int row, bool checked) {
    if (Pending* p = PendingRow(row)) {
        p->checked = checked;
        return;
    }
    LVITEMA item{};
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    item.stateMask = LVIS_STATEIMAGEMASK;
    Send(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool TListViewReport::Checked(int row) const {
    if (const Pending* p = PendingRow(row))
        return p->checked;
    const auto state = static_cast<UINT>(
        Send(view_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TListViewReport::SetSubItem(int row, int column, const std::string& text) {
    if (Pending* p = PendingRow(row)) {
        if (column == 0)
            p->caption = text;
        else if (column >= 1 && column <= 3)
            p->sub[column - 1] = text;
        return;
    }
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    Send(view_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string TListViewReport::Text(int row, int column) const {
    if (const Pending* p = PendingRow(row))
        return column == 0 ? p->caption
                           : (column >= 1 && column <= 3 ? p->sub[column - 1] : std::string());
    // The control copies at most the buffer's size; grow until the text fits.
    std::vector<char> buffer(512);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(Send(
            view_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

void TListViewReport::SetData(int row, TShortcutItem* record) {
    if (Pending* p = PendingRow(row)) {
        p->data = record;
        return;
    }
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = reinterpret_cast<LPARAM>(record);
    Send(view_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

TShortcutItem* TListViewReport::Data(int row) const {
    if (const Pending* p = PendingRow(row))
        return p->data;
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!Send(view_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<TShortcutItem*>(item.lParam);
}

int TListViewReport::SelectedCount() const {
    return static_cast<int>(Send(view_, LVM_GETSELECTEDCOUNT, 0, 0));
}

int TListViewReport::FocusedRow() const {
    return static_cast<int>(Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}
