// Writing a shortcut with the shell link object, for the Windows benchmarks' trees.
#pragma once

#include "base/com_ref.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

// Saves a shortcut at `lnk` pointing to `target` (ASCII paths); the thread is in a COM
// apartment. True when it was written.
inline bool WriteLink(const std::string& lnk, const std::string& target) {
    ComRef<IShellLinkA> link;
    if (FAILED(ComCreate(CLSID_ShellLink, IID_PPV_ARGS(link.out()))))
        return false;
    ComRef<IPersistFile> file;
    if (FAILED(link->SetPath(target.c_str())) || FAILED(link.Query(IID_PPV_ARGS(file.out()))))
        return false;
    const std::wstring wide(lnk.begin(), lnk.end());
    return SUCCEEDED(file->Save(wide.c_str(), TRUE));
}
