// The About box: the application's icon, title and version, the holder line with the
// current year, a legal notice and the home-page link. Built anew for every showing.
#pragma once

#include "shell/shell_services.h"
#include "ui/main_form.h"

#include <string>
#include <vector>

// The holder line's template: the year, then the holder text from the settings.
inline constexpr const char* kCopyrightTemplate = "Copyright (c) %d %s";
extern const char* const kLegalNotice;

class TFormAbout {
public:
    // Creates the box hidden, owned by `owner`; FormCreate fills it from the settings record.
    TFormAbout(WindowHandle owner, const std::string& title, void* icon, IShellServices& shell);
    TFormAbout(const TFormAbout&) = delete;
    TFormAbout& operator=(const TFormAbout&) = delete;
    ~TFormAbout();

    // Shows the box modally; the owner takes no input until it closes. Returns 1 after OK,
    // 2 after the title bar's close button.
    int ShowModal();

    void FormCreate();
    void ButtonOKClick();
    void LabelWebClick();

    WindowHandle Handle() const { return hwnd_; }
    bool LabelBounds(const std::string& name, TBounds& bounds) const;
    std::string LabelText(const std::string& name) const;

    // Window procedure glue (internal).
    std::intptr_t HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void Attach(WindowHandle hwnd) { hwnd_ = hwnd; }

private:
    struct Label {
        const char* name;
        TBounds bounds;
        std::string text;
        int font; // 0 normal, 1 the application name, 2 the link
        bool wrap;
    };
    void Layout();
    void Paint(void* dc);
    const Label* Find(const std::string& name) const;
    int HitLabel(int x, int y) const;

    WindowHandle owner_;
    std::string title_;
    void* icon_ = nullptr; // HICON copy, owned
    IShellServices& shell_;
    WindowHandle hwnd_ = nullptr;
    void* fonts_[3] = {};
    std::vector<Label> labels_;
    int result_ = 0;
};
