#include "support/shell_link_win32.h"

#include "base/text.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

ComApartment::ComApartment() : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
ComApartment::~ComApartment() {
    if (ok_)
        ::CoUninitialize();
}

bool WriteShortcut(const std::string& lnkPath, const ShortcutFields& fields) {
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(fields.target.c_str()));
    if (ok && !fields.arguments.empty())
        ok = SUCCEEDED(link->SetArguments(fields.arguments.c_str()));
    if (ok && !fields.workingDir.empty())
        ok = SUCCEEDED(link->SetWorkingDirectory(fields.workingDir.c_str()));
    if (ok && !fields.iconPath.empty())
        ok = SUCCEEDED(link->SetIconLocation(fields.iconPath.c_str(), 0));
    if (ok && !fields.relative.empty())
        ok = SUCCEEDED(link->SetRelativePath(fields.relative.c_str(), 0));
    IPersistFile* file = nullptr;
    if (ok)
        ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok) {
        const std::wstring wide = WidenAnsi(lnkPath);
        ok = !wide.empty() && SUCCEEDED(file->Save(wide.c_str(), TRUE));
    }
    if (file)
        file->Release();
    link->Release();
    return ok;
}
