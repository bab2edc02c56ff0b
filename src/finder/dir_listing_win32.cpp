// Win32 directory listing over a handle to the folder: GetFileInformationByHandleEx with the
// id-and-names class, 64 KB of entries per call (fewer trips to the file system). The
// program's paths are UTF-8; they are widened at this boundary, with the "\\?\" form where a
// path is longer than MAX_PATH, and each name comes back as UTF-8, so no name outside the
// system's code page and no depth is lost.
//
// A folder's identity costs an open and a question about its volume, which under Wine is a
// slow trip to the mount manager. So it is asked of the file system only for a folder no
// listing named (the walk's root, a link): a real subfolder takes its id from its parent's
// listing and its volume from its parent, and the handle an identity was asked through
// serves the listing that follows.
#include "finder/dir_listing.h"

#include "base/handles.h"
#include "base/system_error.h"
#include "base/text.h"

#include <windows.h>

#include <cstring>
#include <memory>

namespace {

// FILE_ID_INFO and its class, from Windows 8 on (the headers show them only to builds for
// Windows 8); Windows 7 refuses the class.
struct FileId128 {
    ULONGLONG volume;
    std::uint64_t low, high;
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

constexpr DWORD kFetchBytes = 64 * 1024;

struct Listing {
    TKernelHandle folder;
    std::string path; // the folder, ending in '\' (or "" for the current folder)
    bool volumeKnown = false;
    std::uint64_t volume = 0;
    std::unique_ptr<ULONGLONG[]> buffer{new ULONGLONG[kFetchBytes / sizeof(ULONGLONG)]};
    const FILE_ID_BOTH_DIR_INFO* entry = nullptr; // the next entry to hand out, or none
    bool more = true;                             // the system may have entries left
};

// Fills the listing's buffer with the next entries; false at the end or on an error (the
// error left in GetLastError).
bool Fetch(Listing& l) {
    l.entry = nullptr;
    if (!l.more)
        return false;
    if (!::GetFileInformationByHandleEx(l.folder.get(), FileIdBothDirectoryInfo, l.buffer.get(),
                                        kFetchBytes)) {
        l.more = false;
        return false;
    }
    l.entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(l.buffer.get());
    return true;
}

// The identity of the folder a handle is open on: its attributes must say folder.
bool IdentityOf(HANDLE handle, TFolderId& id) {
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    FileId128 ids{};
    if (::GetFileInformationByHandleEx(handle, kFileIdInfo, &ids, sizeof ids)) {
        // NTFS ids fit in the low half, as the listing gives them; a file system with wider
        // ones (ReFS) folds the high half into the volume.
        id = {ids.volume ^ (ids.high * 0x9E3779B97F4A7C15ull), ids.low};
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{}; // Windows 7
    if (!::GetFileInformationByHandle(handle, &info))
        return false;
    id = {info.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

class Win32DirListing final : public IDirListing {
public:
    TFindHandle FindFirst(const std::string& pattern, TFindData& data, std::uint32_t) override {
        std::string_view folder(pattern);
        if (!folder.empty() && folder.back() == '*')
            folder.remove_suffix(1);
        auto l = std::make_unique<Listing>();
        l->path.assign(folder);
        if (pending_.folder && pending_.path == folder) {
            l->folder = std::move(pending_.folder);
        } else {
            l->folder = Open(folder);
            if (!l->folder) {
                failure_ = ::GetLastError();
                if (failure_ == 0)
                    failure_ = ERROR_INVALID_NAME;
                return nullptr;
            }
        }
        pending_.folder.reset();
        if (known_.path == folder) {
            l->volumeKnown = true;
            l->volume = known_.id.device;
        }
        failure_ = 0;
        if (!Fetch(*l)) {
            // An empty drive root lists nothing, without an error.
            const DWORD error = ::GetLastError();
            failure_ = error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
            return nullptr;
        }
        if (!Next(*l, data))
            return nullptr;
        return l.release();
    }

    bool FindNext(TFindHandle handle, TFindData& data) override {
        return Next(*static_cast<Listing*>(handle), data);
    }

    void FindClose(TFindHandle handle) override { delete static_cast<Listing*>(handle); }

    std::string FailureReason() const override {
        return failure_ == 0 ? std::string() : SystemErrorText(failure_);
    }

    // The volume and the file id of the folder a path (or a link) leads to.
    bool FolderIdentity(const std::string& folder, TFolderId& id) override {
        std::string_view path(folder);
        if (path == last_.path) {
            id = last_.id;
            known_ = last_;
            return true;
        }
        pending_.folder = Open(path);
        pending_.path.assign(path);
        if (!pending_.folder || !IdentityOf(pending_.folder.get(), id)) {
            pending_.folder.reset();
            return false;
        }
        known_ = {pending_.path, id};
        return true;
    }

private:
    static TKernelHandle Open(std::string_view folder) {
        const std::wstring wide = folder.empty() ? std::wstring(L".") : LongPathForm(folder);
        if (wide.empty()) {
            ::SetLastError(ERROR_INVALID_NAME);
            return TKernelHandle();
        }
        return TKernelHandle(::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                           nullptr));
    }

    // The listing's next entry in `data`; a name that does not fit (no file system has one)
    // is passed over. A real subfolder's identity is kept for the question that follows.
    bool Next(Listing& l, TFindData& data) {
        for (;;) {
            if (!l.entry && !Fetch(l))
                return false;
            const FILE_ID_BOTH_DIR_INFO& e = *l.entry;
            l.entry = e.NextEntryOffset == 0
                          ? nullptr
                          : reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
                                reinterpret_cast<const char*>(&e) + e.NextEntryOffset);
            const std::string name =
                NarrowUtf8(std::wstring_view(e.FileName, e.FileNameLength / sizeof(WCHAR)));
            if (name.empty() || name.size() >= sizeof data.cFileName)
                continue;
            std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
            data.dwFileAttributes = e.FileAttributes;
            // For a reparse point the size of the extended attributes holds its tag.
            data.dwReserved0 = (e.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? e.EaSize : 0;
            if (l.volumeKnown && (e.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(e.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                last_.path = l.path + name + '\\';
                last_.id = {l.volume, static_cast<std::uint64_t>(e.FileId.QuadPart)};
            } else {
                last_.path.clear();
            }
            return true;
        }
    }

    struct Known {
        std::string path;
        TFolderId id;
    };
    DWORD failure_ = 0; // of the last FindFirst; one thread walks
    Known last_;        // the subfolder the last entry named, when its volume is known
    Known known_;       // the folder whose identity was answered last
    struct {
        std::string path;
        TKernelHandle folder;
    } pending_; // the handle of the folder whose identity was asked last, for its listing
};

} // namespace

IDirListing& SystemDirListing() {
    static Win32DirListing listing;
    return listing;
}
