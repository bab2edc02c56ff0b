// The freedesktop trash. A file on the home trash's own file system (the usual case: a Wine
// prefix in the home folder) is moved there directly, as the freedesktop trash layout has it:
// its info file created first, under a name no other file holds, then the file renamed into
// "files". GIO does the same with a temporary info file renamed over the reserved one, which
// makes ext4 write it out at once, several times the cost of the move. Every other file (one
// on another file system, a folder, one the direct way cannot move) is GIO's.
#include "cli/trash.h"

#include "base/posix_path.h"
#include "cli/output_platform.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MoveToTrashByGio(const std::string& posixPath, std::string& reason) {
    GFile* file = g_file_new_for_path(posixPath.c_str());
    GError* error = nullptr;
    // g_file_trash only ever moves the file into a trash folder; where there is none usable
    // it fails (G_IO_ERROR_NOT_SUPPORTED) and the file stays.
    const bool moved = g_file_trash(file, nullptr, &error) != FALSE;
    if (!moved) {
        reason = error != nullptr ? error->message : "the trash refused it";
        g_clear_error(&error);
    }
    g_object_unref(file);
    return moved;
}

// The home trash ($XDG_DATA_HOME/Trash) and the file system it is on, that of the data folder.
struct HomeTrash {
    std::string top, files, info;
    dev_t device = 0;
    bool known = false;
};

const HomeTrash& TheHomeTrash() {
    static const HomeTrash trash = [] {
        HomeTrash t;
        const std::string data = g_get_user_data_dir();
        t.top = data + "/Trash";
        t.files = t.top + "/files";
        t.info = t.top + "/info";
        // The data folder, or the nearest folder above it, where it is still to be made.
        std::string folder = data;
        struct stat st {};
        while (::stat(folder.c_str(), &st) != 0 && folder.rfind('/') != std::string::npos)
            folder.erase(folder.rfind('/'));
        t.known = !folder.empty() && folder[0] == '/' && S_ISDIR(st.st_mode);
        t.device = st.st_dev;
        return t;
    }();
    return trash;
}

// Makes the home trash's folders, once, as GIO makes them; false where that failed or the
// trash is not a folder of that file system.
bool HomeTrashMade(const HomeTrash& trash) {
    static const bool made = [&] {
        struct stat st {};
        return g_mkdir_with_parents(trash.files.c_str(), 0700) == 0 &&
               g_mkdir_with_parents(trash.info.c_str(), 0700) == 0 &&
               ::lstat(trash.top.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
               st.st_dev == trash.device;
    }();
    return made;
}

std::string DeletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = {};
    ::localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Moves the file into the home trash; false, with nothing changed, where it did not go.
bool MoveToHomeTrash(const std::string& posixPath) {
    const HomeTrash& trash = TheHomeTrash();
    struct stat st {};
    if (!trash.known || posixPath.empty() || posixPath[0] != '/' ||
        posixPath.rfind(trash.top + "/", 0) == 0 || ::lstat(posixPath.c_str(), &st) != 0 ||
        S_ISDIR(st.st_mode) || st.st_dev != trash.device || !HomeTrashMade(trash))
        return false;
    const std::string name = posixPath.substr(posixPath.rfind('/') + 1);
    char* escaped = g_uri_escape_string(posixPath.c_str(), "/", FALSE);
    const std::string text =
        "[Trash Info]\nPath=" + std::string(escaped) + "\nDeletionDate=" + DeletionDate() + "\n";
    g_free(escaped);
    // The first free name of "a.lnk", "a.2.lnk", "a.3.lnk"... in both folders, as GIO
    // names them.
    const std::size_t dot = std::min(name.find('.'), name.size());
    for (int n = 1; n < 1000; ++n) {
        const std::string trashName =
            n == 1 ? name : name.substr(0, dot) + "." + std::to_string(n) + name.substr(dot);
        const std::string info = trash.info + "/" + trashName + ".trashinfo";
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        int error = 0;
        const bool written = output_platform::Write(fd, text.data(), text.size(), error);
        const bool closed = ::close(fd) == 0;
        const std::string file = trash.files + "/" + trashName;
        if (written && closed &&
            ::renameat2(AT_FDCWD, posixPath.c_str(), AT_FDCWD, file.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        const int failure = errno;
        ::unlink(info.c_str());
        if (!written || !closed || failure != EEXIST)
            return false;
    }
    return false;
}

} // namespace

bool MoveToTrash(const std::string& path, std::string& reason) {
    const std::string posixPath = ToPosixPath(path);
    return MoveToHomeTrash(posixPath) || MoveToTrashByGio(posixPath, reason);
}

std::vector<std::string> MoveAllToTrash(const std::vector<std::string>& paths) {
    std::vector<std::string> refusals(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!MoveToTrash(paths[i], refusals[i]) && refusals[i].empty())
            refusals[i] = "the trash refused it";
    return refusals;
}
