// The shell services a window hands to its commands, with Properties routed: the shell's own
// sheet where the platform has one for files, the program's own box where it has none (under
// Wine), so the command never ends in an error the user cannot act on. Everything else goes
// to the shell services unchanged. Toolkit-free.
#pragma once

#include "platform/shell_services.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TPropertiesRoute final : public IShellServices {
public:
    using SheetCheck = std::function<bool()>;                    // the platform has the sheet
    using OwnBox = std::function<void(const std::string& path)>; // shows the program's box
    TPropertiesRoute(IShellServices& shell, SheetCheck hasSheet, OwnBox ownBox)
        : shell_(shell), hasSheet_(std::move(hasSheet)), ownBox_(std::move(ownBox)) {}

    bool PickFolder(WindowHandle owner, std::string& path, const std::string& title) override {
        return shell_.PickFolder(owner, path, title);
    }
    bool MoveToRecycleBin(WindowHandle owner, const std::vector<std::string>& paths,
                          bool confirm) override {
        return shell_.MoveToRecycleBin(owner, paths, confirm);
    }
    void ShowFileProperties(const std::string& path) override {
        if (hasSheet_())
            shell_.ShowFileProperties(path);
        else
            ownBox_(path);
    }
    void OpenLink(const std::string& link) override { shell_.OpenLink(link); }

private:
    IShellServices& shell_;
    SheetCheck hasSheet_;
    OwnBox ownBox_;
};
