// The program's own Properties box for one shortcut file, for platforms whose shell has no
// Properties sheet for files (Wine's): a small modal box owned by the main window, captioned
// as the shell captions its sheet, showing read-only what the sheet's Shortcut and General
// tabs show. The shortcut is read by the program's own reader; the texts and the layout come
// from PropertiesTexts and PropertiesLayout (windows/properties_texts), the box only creates the
// controls, scales them with the display and puts the texts in. Built anew for every showing.
//
// Each value is a read-only edit field, a tab stop whose static label before it names it for
// screen readers (and, where the platform has the service, its accessible name); the values
// can be selected and copied but not changed. Close is the default button: Enter and Escape
// close the box as well.
#pragma once

#include "base/handles.h"
#include "windows/properties_texts.h"
#include "winkit/window.h"

#include <string>
#include <vector>

class TFormProperties final : public TWindow {
public:
    // Reads the shortcut file at `shortcutPath` and creates the box hidden, owned by `owner`
    // and centred over it. A file that cannot be read shows its labels with empty values.
    TFormProperties(WindowHandle owner, const std::string& shortcutPath);
    ~TFormProperties() override;

    // Shows the box modally; the owner takes no input until it closes. Returns 1 after Close
    // or Enter, 2 after Escape or the title bar's close button.
    int ShowModal();

    // Inspection for the tests: what the box was filled with, the text the value field of
    // the line `label` ("Target:") holds (read back from the control; "" for an unknown
    // label), and the density the layout is scaled to.
    const TPropertiesTexts& Texts() const { return texts_; }
    std::string Value(const std::string& label) const;

private:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void CreateControls();
    // Fonts and places for Dpi() (at creation and on WM_DPICHANGED).
    void ScaleFonts() override;
    void ApplyDpi() override;
    TSize DesignClientSize() const override { return layout_.client; }

    WindowHandle owner_; // not owned
    TPropertiesTexts texts_;
    TPropertiesLayout layout_;
    TFont font_, headingFont_;
    // Child windows, not owned: the two headings, then per line its label and value (the
    // Shortcut lines first), then Close.
    std::vector<WindowHandle> headings_, labels_, values_;
    WindowHandle close_ = nullptr;
    int result_ = 0;
};

// Where the platform shows the shell's own Properties sheet for a file: everywhere but under
// Wine (decided once per process, with the choice of shortcut reader).
bool PlatformHasPropertiesSheet();
