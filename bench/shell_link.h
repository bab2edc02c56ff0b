// Writing a shortcut with the shell link object, for the Windows benchmarks' trees.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

// Saves a shortcut at `lnk` pointing to `target` (ASCII paths); the thread is in a COM
// apartment. True when it was written.
inline bool WriteLink(const std::string& lnk, const std::string& target) {
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(target.c_str()));
    IPersistFile* file = nullptr;
    if (ok && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring wide(lnk.begin(), lnk.end());
        ok = SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}
