#include "platform/fs_probes.h"

#include "base/text.h"
#include "platform/wine.h"

#include <windows.h>

namespace {

class Win32FileProbes final : public IFileProbes {
public:
    // Attributes first; an entry that is open elsewhere without sharing (pagefile.sys, say)
    // refuses them, and its directory entry is read instead. Wildcards are no file name.
    bool FileExists(const std::string& path) override {
        if (path.empty() || path.find_first_of("*?") != std::string::npos)
            return false;
        const std::wstring wide = LongPathForm(path);
        const DWORD attr = ::GetFileAttributesW(wide.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES)
            return (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (::GetLastError() != ERROR_SHARING_VIOLATION)
            return false;
        WIN32_FIND_DATAW data;
        HANDLE h = ::FindFirstFileW(wide.c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(h);
        return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    TPathState ProbePath(const std::string& path) override {
        if (path.empty())
            return TPathState::Absent;
        const std::wstring wide = LongPathForm(path);
        if (wide.empty())
            return TPathState::Unknown;
        if (::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
            return TPathState::Exists;
        switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME: // a name no entry can have (wildcards, say)
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY: // a file where the path needs a folder
            return TPathState::Absent;
        case ERROR_SHARING_VIOLATION: {
            WIN32_FIND_DATAW data;
            HANDLE h = ::FindFirstFileW(wide.c_str(), &data);
            if (h == INVALID_HANDLE_VALUE)
                return TPathState::Unknown;
            ::FindClose(h);
            return TPathState::Exists;
        }
        default: // access denied, no media, a device or network error: no verdict
            return TPathState::Unknown;
        }
    }

    // Wine makes short names of its own (PROG~FBU), never the ones a shortcut from Windows
    // stores (PROGRA~1).
    std::string_view ShortNameMiss() override {
        return RunsUnderWine() ? "short name not found under Wine" : "";
    }

    TDriveKind DriveKind(char letter) override {
        const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
        switch (::GetDriveTypeW(root)) {
        case DRIVE_REMOTE:
            return TDriveKind::Network;
        case DRIVE_NO_ROOT_DIR:
        case DRIVE_UNKNOWN:
            return TDriveKind::NoVolume;
        default:
            return TDriveKind::Local;
        }
    }
};

} // namespace

IFileProbes& SystemFileProbes() {
    static Win32FileProbes probes;
    return probes;
}
