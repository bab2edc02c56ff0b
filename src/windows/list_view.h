// The report list over an owner-data (virtual) list-view control. The rows (references to
// the master list's entries, in its order) live in TReportList; the control holds only their
// number, the selection and the focused row, and asks for what it paints. So a rebuild of
// 100,000 rows is a new list of references plus one message telling the control the new
// count, and reading a row's mark or record never goes to the control.
#pragma once

#include "base/handles.h"
#include "inventory/report_list.h"

#include <string>
#include <vector>

class TListViewReport final : public TReportList {
public:
    // `view` is a report-style list view made with LVS_OWNERDATA; SetUp prepares it.
    explicit TListViewReport(WindowHandle view) : view_(view) {}

    int SelectedCount() const override;
    int FocusedRow() const override;

    WindowHandle Handle() const { return view_; }
    // Makes the control a checkable report with whole-row selection, the window's columns,
    // and `rowImages` (not owned) as its small images.
    void SetUp(HIMAGELIST rowImages);
    // Tells the control the number of rows and repaints it once when the rows or their
    // marks changed since the last time. The window calls it before it handles messages
    // during a scan and on every idle pass; the end of an update does it too.
    void Flush();

    // The control's questions and notices, handed on by the window (WM_NOTIFY):
    // LVN_GETDISPINFOA (`info` is an NMLVDISPINFOA): fills in what the control asked for.
    void GetDispInfo(void* info) const;
    // LVN_ITEMCHANGED (`change` is an NMLISTVIEW): a check mark the control itself changed.
    void ItemChanged(const void* change);
    // What a message about to be dispatched to the control did to the marks.
    enum class TInput {
        Passed,           // nothing: dispatch it
        Toggled,          // Space toggled marks: do not dispatch it
        BoxClicked,       // a click on a check box toggled it and made its row the current
                          // one: do not dispatch it, run the row-click handler
        BoxDoubleClicked, // the second click of a double click on a box: the same, then the
                          // double-click handler
    };
    // A message about to be dispatched to the control (`msg` is a MSG): a left click on a
    // row's check box (only there: a click on a row's texts selects it) toggles its mark;
    // Space without Ctrl toggles the focused row's mark and gives the selected rows the same
    // one, as a list view with check boxes does (Ctrl+Space stays the list's).
    TInput ToggleFromInput(const void* msg);

private:
    void RowsReplaced() override;
    void RowsRemoved(const std::vector<int>& rows) override;
    void RowsChanged() override { repaint_ = true; }
    void UpdateEnded() override;
    void RedrawRow(int row);
    // Whether the point (client coordinates) is on the check box of `row`.
    bool OnCheckBox(int row, int x, int y) const;

    WindowHandle view_;    // not owned
    int controlCount_ = 0; // the number of rows the control was last told
    bool cleared_ = false; // the rows were replaced since the last flush
    bool repaint_ = false;
};
