// Win32 directory listing: FindFirstFileA / FindNextFileA / FindClose. Paths longer than the
// platform's limit cannot be listed (FindFirstFileA fails), which the finder treats as an
// unreadable folder.
#include "finder/dir_listing.h"

#include <windows.h>

#include <cstring>

namespace {

void Copy(const WIN32_FIND_DATAA& from, TFindData& to) {
    to.dwFileAttributes = from.dwFileAttributes;
    to.dwReserved0 = (from.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? from.dwReserved0 : 0;
    static_assert(sizeof to.cFileName == sizeof from.cFileName);
    std::memcpy(to.cFileName, from.cFileName, sizeof to.cFileName);
    to.cFileName[sizeof to.cFileName - 1] = '\0';
}

class Win32DirListing final : public IDirListing {
public:
    TFindHandle FindFirst(const std::string& pattern, TFindData& data, std::uint32_t) override {
        WIN32_FIND_DATAA found;
        HANDLE h = ::FindFirstFileA(pattern.c_str(), &found);
        if (h == INVALID_HANDLE_VALUE || h == nullptr)
            return nullptr;
        Copy(found, data);
        return h;
    }

    bool FindNext(TFindHandle handle, TFindData& data) override {
        WIN32_FIND_DATAA found;
        if (!::FindNextFileA(handle, &found))
            return false;
        Copy(found, data);
        return true;
    }

    void FindClose(TFindHandle handle) override { ::FindClose(handle); }
};

} // namespace

IDirListing& SystemDirListing() {
    static Win32DirListing listing;
    return listing;
}
