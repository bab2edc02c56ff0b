#include "support/shell_link_win32.h"

#include "base/text.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

bool WriteShortcut(const std::string& lnkPath, const ShortcutFields& fields) {
    ComRef<IShellLinkA> link;
    if (FAILED(ComCreate(CLSID_ShellLink, IID_PPV_ARGS(link.out()))))
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
    ComRef<IPersistFile> file;
    if (ok)
        ok = SUCCEEDED(link.Query(IID_PPV_ARGS(file.out())));
    if (ok) {
        const std::wstring wide = WidenAnsi(lnkPath);
        ok = !wide.empty() && SUCCEEDED(file->Save(wide.c_str(), TRUE));
    }
    return ok;
}
