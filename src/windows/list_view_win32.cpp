#include "windows/list_view.h"

#include "inventory/shortcut_item.h"
#include "inventory/visible_text.h"
#include "windows/main_form_layout.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

namespace {

LRESULT Send(WindowHandle view, UINT msg, WPARAM wp, LPARAM lp) {
    return ::SendMessageA(view, msg, wp, lp);
}

} // namespace

void TListViewReport::SetUp(HIMAGELIST rowImages) {
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    Send(view_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    // The check marks are the rows' own: the control asks for them as it asks for texts.
    Send(view_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
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

// ---- The rows ----

void TListViewReport::RowsReplaced() {
    cleared_ = true; // the control hears of it at the next flush, with the new count
    repaint_ = true;
    Flush();
}

// The rows that stay keep their highlight and the focus, and the list shows the same rows
// at its top as before: the control's marks are by place, so they are taken off, the count
// is set, and they are put back at the rows' new places.
void TListViewReport::RowsRemoved(const std::vector<int>& rows) {
    repaint_ = true;
    if (cleared_) { // replaced rows not yet shown: the next flush sets the control anew
        Flush();
        return;
    }

    // Where a row of the control was goes after the deletion; -1 for a deleted row.
    const auto moved = [&rows](LRESULT row) {
        const auto at = std::lower_bound(rows.begin(), rows.end(), static_cast<int>(row));
        if (at != rows.end() && *at == row)
            return -1;
        return static_cast<int>(row) - static_cast<int>(at - rows.begin());
    };
    const LRESULT top = Send(view_, LVM_GETTOPINDEX, 0, 0);
    const LRESULT focused = Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    std::vector<LRESULT> selected;
    for (auto row = Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); row >= 0;
         row = Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))
        selected.push_back(row);
    const auto setState = [this](int row, UINT state) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = state;
        Send(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    };
    for (LRESULT row : selected)
        setState(static_cast<int>(row), 0);
    if (focused >= 0)
        setState(static_cast<int>(focused), 0);

    Send(view_, LVM_SETITEMCOUNT, static_cast<WPARAM>(Count()),
         LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    controlCount_ = Count();
    for (LRESULT row : selected)
        if (const int now = moved(row); now >= 0)
            setState(now, LVIS_SELECTED | (row == focused ? LVIS_FOCUSED : 0u));
    if (const int now = focused >= 0 ? moved(focused) : -1;
        now >= 0 && std::find(selected.begin(), selected.end(), focused) == selected.end())
        setState(now, LVIS_FOCUSED);

    // The first row shown stays first: it moved up by the deleted rows above it.
    int wantTop =
        static_cast<int>(top) -
        static_cast<int>(std::lower_bound(rows.begin(), rows.end(), static_cast<int>(top)) -
                         rows.begin());
    wantTop = std::min(wantTop, std::max(Count() - 1, 0));
    // To the end, then back up to the row: it is then the first shown (as far as the rows
    // below it fill the list).
    if (Send(view_, LVM_GETTOPINDEX, 0, 0) != wantTop && Count() > 0) {
        Send(view_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(Count() - 1), FALSE);
        Send(view_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(wantTop), FALSE);
    }
    repaint_ = true;
    Flush();
}

int TListViewReport::SelectedCount() const {
    return static_cast<int>(Send(view_, LVM_GETSELECTEDCOUNT, 0, 0));
}

int TListViewReport::FocusedRow() const {
    const int row =
        static_cast<int>(Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    return row < Count() ? row : -1;
}

// ---- The control ----

// The control hears of the rows only when the outermost update ends, so a rebuild of many
// rows paints once. (Turning the control's redraw off and on is not needed for that, and
// costs a full recalculation of the control each time in some list-view implementations.)
void TListViewReport::UpdateEnded() {
    repaint_ = true;
    Flush();
}

// Each message that changes the control's number of rows costs it a recalculation of its
// scroll bars and a repaint of its frame, whatever the number: a flush sends at most one.
void TListViewReport::Flush() {
    if (UpdateDepth() > 0)
        return;
    if (cleared_) {
        // New rows: no selection or focus carries over, and the list starts at the top. The
        // selected rows are cleared one by one: clearing "all rows" visits every row in some
        // list-view implementations.
        LVITEMA none{};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        std::vector<WPARAM> marked;
        for (int flag : {LVNI_SELECTED, LVNI_FOCUSED})
            for (auto row = Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flag); row >= 0;
                 row = Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), flag))
                marked.push_back(static_cast<WPARAM>(row));
        for (WPARAM row : marked)
            Send(view_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&none));
        if (Send(view_, LVM_GETTOPINDEX, 0, 0) > 0 && controlCount_ > 0)
            Send(view_, LVM_ENSUREVISIBLE, 0, FALSE);
        cleared_ = false;
        repaint_ = true;
    }
    if (controlCount_ != Count()) {
        Send(view_, LVM_SETITEMCOUNT, static_cast<WPARAM>(Count()), LVSICF_NOINVALIDATEALL);
        controlCount_ = Count();
        repaint_ = true;
    }
    if (repaint_) {
        ::InvalidateRect(view_, nullptr, FALSE);
        repaint_ = false;
    }
}

void TListViewReport::RedrawRow(int row) {
    Send(view_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

void TListViewReport::GetDispInfo(void* info) const {
    LVITEMA& item = static_cast<NMLVDISPINFOA*>(info)->item;
    if (item.iItem < 0 || item.iItem >= Count())
        return;
    const int row = item.iItem;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        ::lstrcpynA(item.pszText,
                    item.iSubItem >= 0 && item.iSubItem < static_cast<int>(kListColumns.size())
                        ? VisibleBidi(Text(row, item.iSubItem)).c_str()
                        : "",
                    item.cchTextMax);
    if (item.mask & LVIF_IMAGE)
        item.iImage = Image(row);
    if (item.mask & LVIF_STATE) {
        item.state =
            (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(Checked(row) ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
    if (item.mask & LVIF_PARAM)
        item.lParam = reinterpret_cast<LPARAM>(Data(row));
}

void TListViewReport::ItemChanged(const void* change) {
    const auto* nm = static_cast<const NMLISTVIEW*>(change);
    if (!(nm->uChanged & LVIF_STATE) || !((nm->uNewState ^ nm->uOldState) & LVIS_STATEIMAGEMASK))
        return;
    const UINT image = (nm->uNewState & LVIS_STATEIMAGEMASK) >> 12;
    if (image != 1 && image != 2)
        return;
    if (nm->iItem == -1) {
        for (int i = 0; i < Count(); ++i)
            SetChecked(i, image == 2);
    } else if (nm->iItem >= 0 && nm->iItem < Count()) {
        SetChecked(nm->iItem, image == 2);
    }
    Flush();
}

// The box is the state image left of the row's small icon. The hit test alone does not tell:
// some list views answer LVHT_ONITEMSTATEICON for any point right of the first column.
bool TListViewReport::OnCheckBox(int row, int x, int y) const {
    RECT icon{};
    icon.left = LVIR_ICON;
    if (!Send(view_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon)))
        return false;
    int width = 0, height = 0;
    const auto states = reinterpret_cast<HIMAGELIST>(Send(view_, LVM_GETIMAGELIST, LVSIL_STATE, 0));
    if (!states || !::ImageList_GetIconSize(states, &width, &height))
        return false;
    return x >= icon.left - width - 2 && x < icon.left && y >= icon.top && y < icon.bottom;
}

TListViewReport::TInput TListViewReport::ToggleFromInput(const void* m) {
    const MSG* msg = static_cast<const MSG*>(m);
    if (msg->hwnd != view_)
        return TInput::Passed;
    if (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK) {
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
        const auto row =
            static_cast<int>(Send(view_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (row < 0 || row >= Count() || !(hit.flags & LVHT_ONITEMSTATEICON) ||
            !OnCheckBox(row, hit.pt.x, hit.pt.y))
            return TInput::Passed;
        ::SetFocus(view_);
        SetChecked(row, !Checked(row));
        // The row becomes the current one, as a click on its texts makes it.
        LVITEMA none{};
        none.stateMask = LVIS_SELECTED;
        for (auto r = Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); r >= 0;
             r = Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(r), LVNI_SELECTED))
            if (r != row)
                Send(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(r),
                     reinterpret_cast<LPARAM>(&none));
        LVITEMA current{};
        current.stateMask = current.state = LVIS_SELECTED | LVIS_FOCUSED;
        Send(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&current));
        RedrawRow(row);
        repaint_ = false;
        return msg->message == WM_LBUTTONDBLCLK ? TInput::BoxDoubleClicked : TInput::BoxClicked;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_SPACE && ::GetKeyState(VK_CONTROL) >= 0) {
        const int focused = FocusedRow();
        if (focused < 0)
            return TInput::Toggled; // nothing to toggle; the key is the check boxes' all the same
        const bool checked = !Checked(focused);
        SetChecked(focused, checked);
        for (int row = static_cast<int>(
                 Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
             row >= 0 && row < Count();
             row = static_cast<int>(
                 Send(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)))
            SetChecked(row, checked);
        Flush();
        return TInput::Toggled;
    }
    return TInput::Passed;
}
