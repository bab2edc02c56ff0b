// Win32 directory listing: FindFirstFileExW with the basic information class and large
// fetches (no short names asked for, fewer trips to the file system), FindNextFileW,
// FindClose. The program's paths are UTF-8; they are widened at this boundary, with the
// "\\?\" form where a path is longer than MAX_PATH, and each name comes back as UTF-8, so no
// name outside the system's code page and no depth is lost.
#include "finder/dir_listing.h"

#include "base/handles.h"
#include "base/system_error.h"
#include "base/text.h"

#include <windows.h>

#include <cstring>

namespace {

// False for a name that does not fit (no name of a file system does).
bool Copy(const WIN32_FIND_DATAW& from, TFindData& to) {
    to.dwFileAttributes = from.dwFileAttributes;
    to.dwReserved0 = (from.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? from.dwReserved0 : 0;
    const std::string name = NarrowUtf8(from.cFileName);
    if (name.empty() || name.size() >= sizeof to.cFileName)
        return false;
    std::memcpy(to.cFileName, name.c_str(), name.size() + 1);
    return true;
}

class Win32DirListing final : public IDirListing {
public:
    TFindHandle FindFirst(const std::string& pattern, TFindData& data, std::uint32_t) override {
        const std::wstring wide = LongPathForm(pattern);
        WIN32_FIND_DATAW found;
        HANDLE h = wide.empty() ? INVALID_HANDLE_VALUE
                                : ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found,
                                                     FindExSearchNameMatch, nullptr,
                                                     FIND_FIRST_EX_LARGE_FETCH);
        if (h == INVALID_HANDLE_VALUE || h == nullptr) {
            const DWORD error = wide.empty() ? ERROR_INVALID_NAME : ::GetLastError();
            // An empty drive root lists nothing, without an error.
            failure_ = error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
            return nullptr;
        }
        failure_ = 0;
        while (!Copy(found, data))
            if (!::FindNextFileW(h, &found)) {
                ::FindClose(h);
                return nullptr;
            }
        return h;
    }

    bool FindNext(TFindHandle handle, TFindData& data) override {
        WIN32_FIND_DATAW found;
        do {
            if (!::FindNextFileW(handle, &found))
                return false;
        } while (!Copy(found, data));
        return true;
    }

    void FindClose(TFindHandle handle) override { ::FindClose(handle); }

    std::string FailureReason() const override {
        return failure_ == 0 ? std::string() : SystemErrorText(failure_);
    }

    // The volume and the file index of the folder a path (or a link) leads to.
    bool FolderIdentity(const std::string& folder, TFolderId& id) override {
        const std::wstring wide = LongPathForm(folder);
        if (wide.empty())
            return false;
        const TKernelHandle handle(
            ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!handle || !::GetFileInformationByHandle(handle.get(), &info) ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return false;
        id = {info.dwVolumeSerialNumber,
              (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
        return true;
    }

private:
    DWORD failure_ = 0; // of the last FindFirst; one thread walks
};

} // namespace

IDirListing& SystemDirListing() {
    static Win32DirListing listing;
    return listing;
}
