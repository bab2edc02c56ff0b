#include "ui/list_view.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace {

HWND H(WindowHandle h) { return static_cast<HWND>(h); }

LRESULT Send(WindowHandle view, UINT msg, WPARAM wp, LPARAM lp) {
    return ::SendMessageA(H(view), msg, wp, lp);
}

} // namespace

int TListViewReport::Count() const {
    return static_cast<int>(Send(view_, LVM_GETITEMCOUNT, 0, 0));
}

// Redraw stays off until the outermost update ends, so a rebuild of many rows paints once.
void TListViewReport::BeginUpdate() {
    if (updateDepth_++ == 0)
        Send(view_, WM_SETREDRAW, FALSE, 0);
}

void TListViewReport::EndUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        Send(view_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(H(view_), nullptr, TRUE);
    }
}

void TListViewReport::Clear() {
    Send(view_, LVM_DELETEALLITEMS, 0, 0);
}

int TListViewReport::AddRow(const std::string& caption) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iItem = Count();
    item.pszText = const_cast<char*>(caption.c_str());
    item.state = INDEXTOSTATEIMAGEMASK(1); // unchecked box
    item.stateMask = LVIS_STATEIMAGEMASK;
    return static_cast<int>(Send(view_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void TListViewReport::DeleteRow(int row) {
    Send(view_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void TListViewReport::SetImage(int row, int image) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    Send(view_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int TListViewReport::Image(int row) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    if (!Send(view_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.iImage;
}

void TListViewReport::SetChecked(int row, bool checked) {
    LVITEMA item{};
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    item.stateMask = LVIS_STATEIMAGEMASK;
    Send(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool TListViewReport::Checked(int row) const {
    const auto state = static_cast<UINT>(
        Send(view_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TListViewReport::SetSubItem(int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    Send(view_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string TListViewReport::Text(int row, int column) const {
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
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = reinterpret_cast<LPARAM>(record);
    Send(view_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

TShortcutItem* TListViewReport::Data(int row) const {
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
