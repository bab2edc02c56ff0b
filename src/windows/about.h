// The About box: the application's icon, title and version, the holder line with the
// current year, a legal notice and the home-page link. Built anew for every showing; its
// texts come from AboutTexts (windows/about_texts), the box only places and paints them.
#pragma once

#include "base/handles.h"
#include "platform/shell_services.h"
#include "windows/about_texts.h"
#include "winkit/painted_layer.h"
#include "winkit/window.h"

#include <string>
#include <vector>

class TFormAbout final : public TWindow {
public:
    // Creates the box hidden, owned by `owner`; FormCreate fills it from the settings record.
    // `icon` is copied.
    TFormAbout(WindowHandle owner, const std::string& title, HICON icon, IShellServices& shell);
    ~TFormAbout() override;

    // Shows the box modally; the owner takes no input until it closes. Returns 1 after OK,
    // 2 after the title bar's close button.
    int ShowModal();

    void FormCreate();
    void ButtonOKClick();
    void LabelWebClick();

    bool LabelBounds(const std::string& name, TBounds& bounds) const {
        return labels_.BoundsOf(name, bounds);
    }
    std::string LabelText(const std::string& name) const { return labels_.TextOf(name); }

private:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void Paint(HDC dc, TSize size) override;
    bool OverLink(int x, int y) const;
    // Fonts and places for Dpi() (at creation and on WM_DPICHANGED).
    void ScaleFonts() override;
    void ApplyDpi() override;
    TSize DesignClientSize() const override;

    WindowHandle owner_; // not owned
    std::string title_;
    IShellServices& shell_;
    TIcon icon_;
    TFont fontNormal_, fontName_, fontLink_;
    std::vector<HFONT> fonts_; // not owned: the three above, by font number
    TPaintedLayer labels_;
    int result_ = 0;
};
