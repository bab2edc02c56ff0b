// The recycle bin through the shell's own recycle call. The shell deletes a file for good,
// without a word, where it cannot recycle it (no recycle bin on network shares and removable
// drives); this program is to keep such a file, so those are refused before the shell is
// asked, and a file still there afterwards is reported as kept.
#include "cli/trash.h"

#include "platform/util_funcs.h"

#include <windows.h>

namespace {

// Whether the volume holding the path keeps a recycle bin: a local fixed disk.
bool HasRecycleBin(const std::string& path, std::string& reason) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        reason = "not on a local drive: it has no recycle bin";
        return false;
    }
    const std::string root = path.substr(0, 3);
    const UINT type = ::GetDriveTypeA(root.c_str());
    if (type != DRIVE_FIXED) {
        reason = "drive " + path.substr(0, 2) + " has no recycle bin";
        return false;
    }
    return true;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool MoveToTrash(const std::string& path, std::string& reason) {
    reason = MoveAllToTrash({path}).front();
    return reason.empty();
}

std::vector<std::string> MoveAllToTrash(const std::vector<std::string>& paths) {
    std::vector<std::string> refusals(paths.size());
    std::vector<std::string> recyclable;
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (HasRecycleBin(paths[i], refusals[i]))
            recyclable.push_back(paths[i]);
    // The shell's recycle call, without questions, once for all of them.
    if (!recyclable.empty())
        MoveToRecycleBin(nullptr, recyclable, false);
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (refusals[i].empty() && Exists(paths[i]))
            refusals[i] = "the recycle bin refused it";
    return refusals;
}
