#include "shell/fs_probes.h"

#include <windows.h>

namespace {

class Win32FileProbes final : public IFileProbes {
public:
    // Attributes first; an entry that is open elsewhere without sharing (pagefile.sys, say)
    // refuses them, and its directory entry is read instead. Wildcards are no file name.
    bool FileExists(const std::string& path) override {
        if (path.empty() || path.find_first_of("*?") != std::string::npos)
            return false;
        const DWORD attr = ::GetFileAttributesA(path.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES)
            return (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (::GetLastError() != ERROR_SHARING_VIOLATION)
            return false;
        WIN32_FIND_DATAA data;
        HANDLE h = ::FindFirstFileA(path.c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(h);
        return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    bool FolderExists(const std::string& path) override {
        if (path.empty())
            return false;
        const DWORD attr = ::GetFileAttributesA(path.c_str());
        return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
};

} // namespace

IFileProbes& SystemFileProbes() {
    static Win32FileProbes probes;
    return probes;
}
