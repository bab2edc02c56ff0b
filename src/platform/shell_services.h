// The shell services the inventory relies on: folder picker, recycle bin, Properties sheet,
// opening links, over the platform's functions (util_funcs); tests use doubles.
#pragma once

#include "base/handles.h"

#include <string>
#include <vector>

class IShellServices {
public:
    virtual ~IShellServices() = default;
    // The modal folder picker: file-system folders only, below the desktop, opening with
    // `path` selected and `title` above the tree. True when a folder was chosen; `path` is
    // then that folder. On false `path` keeps the value it came in with.
    virtual bool PickFolder(WindowHandle owner, std::string& path, const std::string& title) = 0;
    // Moves the files to the recycle bin in one operation, never destroying one for good
    // without asking. False when the user cancelled it. Which files went is for the file
    // system to tell.
    virtual bool MoveToRecycleBin(WindowHandle owner, const std::vector<std::string>& paths,
                                  bool confirm) = 0;
    virtual void ShowFileProperties(const std::string& path) = 0;
    virtual void OpenLink(const std::string& link) = 0;
};

// The platform's services (process-wide).
IShellServices& SystemShellServices();
