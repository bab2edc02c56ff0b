// POSIX directory listing. The program's paths use '\' as the separator; it becomes '/'
// before a path reaches the file system.
//
// Attribute bits, as far as POSIX has them:
//   directory     from the entry's type (d_type); exact
//   hidden        the name begins with '.' (the POSIX convention for hidden entries)
//   archive       regular files (on Windows new and changed files carry the bit)
//   system        entries that are neither files, folders nor links (devices, pipes,
//                 sockets)
//   read-only     the owner's write permission is clear; costs a stat per entry, so it is
//                 derived only when the caller wants it
//   reparse point symbolic links, with the symbolic-link tag; a link to a folder also has
//                 the directory bit (of its target)
//   compressed    never
// A stat is made only for symbolic links (to learn whether the target is a folder), for
// entries whose type the file system does not report, and for read-only when it is wanted.
// Entries "." and ".." are listed as the system lists them. A '\' in a name is handed out as
// '/' (base/posix_path.h), so every name the file system returns is listed.
//
// A folder is opened below its parent stretch by stretch when its path is longer than the
// system takes. The finder keeps one listing open per level of the walk; past kOpenAtOnce
// open listings a folder is read whole and closed at once, so a tree deeper than the process
// may hold descriptors is still walked to its bottom.
#include "base/posix_path.h"
#include "finder/dir_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr int kOpenAtOnce = 128;

// An entry of a folder read whole.
struct Entry {
    std::uint32_t attributes, tag;
    std::string name;
};

struct Listing {
    DIR* dir; // nullptr once the folder was read whole into `entries`
    std::uint32_t wanted;
    std::vector<Entry> entries; // in the order read
    std::size_t next = 0;
};

std::uint32_t AttributesOfMode(mode_t mode) {
    if (S_ISDIR(mode))
        return kAttrDirectory;
    if (S_ISREG(mode))
        return kAttrArchive;
    return kAttrSystem;
}

// Fills `data` from one directory entry; false for an entry that must be skipped.
bool Describe(Listing& l, const dirent& e, TFindData& data) {
    const std::size_t length = std::strlen(e.d_name);
    if (length >= sizeof data.cFileName)
        return false;
    for (std::size_t i = 0; i <= length; ++i)
        data.cFileName[i] = e.d_name[i] == '\\' ? '/' : e.d_name[i];
    data.dwReserved0 = 0;

    const bool wantReadOnly = (l.wanted & kAttrReadOnly) != 0;
    std::uint32_t a = 0;
    struct stat st {};
    bool haveStat = false; // st describes the entry itself (links not followed)
    unsigned char type = e.d_type;
    if (type == DT_UNKNOWN || (wantReadOnly && type != DT_LNK)) {
        if (::fstatat(::dirfd(l.dir), e.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return false; // gone since it was listed
        haveStat = true;
        type = S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
    }
    if (type == DT_LNK) {
        a = kAttrReparsePoint;
        data.dwReserved0 = kReparseTagSymlink;
        struct stat target {};
        if (::fstatat(::dirfd(l.dir), e.d_name, &target, 0) == 0) {
            a |= AttributesOfMode(target.st_mode) & (kAttrDirectory | kAttrArchive);
            st = target;
            haveStat = true;
        } else {
            haveStat = false; // a dangling link
        }
    } else if (haveStat) {
        a = AttributesOfMode(st.st_mode);
    } else if (type == DT_DIR) {
        a = kAttrDirectory;
    } else if (type == DT_REG) {
        a = kAttrArchive;
    } else {
        a = kAttrSystem;
    }

    if (e.d_name[0] == '.' && !(length == 1 || (length == 2 && e.d_name[1] == '.')))
        a |= kAttrHidden;
    if (wantReadOnly && haveStat && (st.st_mode & S_IWUSR) == 0)
        a |= kAttrReadOnly;
    data.dwFileAttributes = a;
    return true;
}

bool ReadEntry(Listing& l, TFindData& data) {
    if (l.dir == nullptr) {
        if (l.next == l.entries.size())
            return false;
        const Entry& e = l.entries[l.next++];
        data.dwFileAttributes = e.attributes;
        data.dwReserved0 = e.tag;
        std::memcpy(data.cFileName, e.name.c_str(), e.name.size() + 1);
        return true;
    }
    while (const dirent* e = ::readdir(l.dir))
        if (Describe(l, *e, data))
            return true;
    return false;
}

// Reads the rest of the folder into the listing and closes it.
void ReadWhole(Listing& l) {
    TFindData data;
    while (ReadEntry(l, data))
        l.entries.push_back({data.dwFileAttributes, data.dwReserved0, data.cFileName});
    ::closedir(l.dir);
    l.dir = nullptr;
}

class PosixDirListing final : public IDirListing {
public:
    TFindHandle FindFirst(const std::string& pattern, TFindData& data,
                          std::uint32_t wanted) override {
        std::string_view folder(pattern);
        if (!folder.empty() && folder.back() == '*')
            folder.remove_suffix(1);
        const std::string path = folder.empty() ? std::string(".") : ToPosixPath(folder);
        const int fd = OpenAnyLength(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
        if (dir == nullptr) {
            failure_ = errno;
            if (fd >= 0)
                ::close(fd);
            return nullptr;
        }
        failure_ = 0;
        auto* l = new Listing{dir, wanted, {}};
        ++open_;
        if (!ReadEntry(*l, data)) {
            FindClose(l);
            return nullptr;
        }
        if (open_ > kOpenAtOnce) {
            ReadWhole(*l);
            --open_;
        }
        return l;
    }

    bool FindNext(TFindHandle handle, TFindData& data) override {
        return ReadEntry(*static_cast<Listing*>(handle), data);
    }

    void FindClose(TFindHandle handle) override {
        auto* l = static_cast<Listing*>(handle);
        if (l->dir != nullptr) {
            ::closedir(l->dir);
            --open_;
        }
        delete l;
    }

    std::string FailureReason() const override {
        return failure_ == 0 ? std::string() : std::strerror(failure_);
    }

    // Through links: the folder a link leads to is the one walked.
    bool FolderIdentity(const std::string& folder, TFolderId& id) override {
        struct stat st {};
        if (StatAnyLength(ToPosixPath(folder), st) != 0 || !S_ISDIR(st.st_mode))
            return false;
        id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
        return true;
    }

private:
    int failure_ = 0; // errno of the last FindFirst; one thread walks
    int open_ = 0;    // listings holding a descriptor
};

} // namespace

IDirListing& SystemDirListing() {
    static PosixDirListing listing;
    return listing;
}
