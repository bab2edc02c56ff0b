// The report list over a list-view control: rows, check marks, images and the records they
// show. The control itself is made and laid out by the main window.
#pragma once

#include "inventory/report_list.h"
#include "shell/shell_services.h"

#include <string>
#include <vector>

class TListViewReport final : public IReportList {
public:
    // `view` is a report-style list view with check boxes.
    explicit TListViewReport(WindowHandle view) : view_(view) {}

    int Count() const override;
    void BeginUpdate() override;
    void EndUpdate() override;
    void Clear() override;
    int AddRow(const std::string& caption) override;
    void DeleteRow(int row) override;
    void SetImage(int row, int image) override;
    int Image(int row) const override;
    void SetChecked(int row, bool checked) override;
    bool Checked(int row) const override;
    void SetSubItem(int row, int column, const std::string& text) override;
    std::string Text(int row, int column) const override;
    void SetData(int row, TShortcutItem* record) override;
    TShortcutItem* Data(int row) const override;
    int SelectedCount() const override;
    int FocusedRow() const override;

    WindowHandle Handle() const { return view_; }
    // Makes the control a checkable report with whole-row selection, the window's columns,
    // and `rowImages` (HIMAGELIST, not owned) as its small images.
    void SetUp(void* rowImages);
    // Puts the rows added since the last flush into the control, with redraw off while it
    // does. The window calls it before it handles messages (which is when rows are painted)
    // and on every idle pass; an update's end does it too.
    void Flush();

private:
    // Added rows wait here and go to the control in one insertion each at the next Flush
    // (or before anything needs them there); inserting rows one by one with redraw on is
    // slow in some list-view implementations.
    struct Pending {
        std::string caption;
        std::string sub[3];
        int image = -1;
        bool checked = false;
        TShortcutItem* data = nullptr;
    };
    Pending* PendingRow(int row);
    const Pending* PendingRow(int row) const;

    WindowHandle view_;
    int updateDepth_ = 0;
    int base_ = 0; // rows in the control when the first pending row came
    std::vector<Pending> pending_;
};
