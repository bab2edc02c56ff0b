#include "cli/trash.h"

#include "base/posix_path.h"

#include <gio/gio.h>

bool MoveToTrash(const std::string& path, std::string& reason) {
    GFile* file = g_file_new_for_path(ToPosixPath(path).c_str());
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

std::vector<std::string> MoveAllToTrash(const std::vector<std::string>& paths) {
    std::vector<std::string> refusals(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!MoveToTrash(paths[i], refusals[i]) && refusals[i].empty())
            refusals[i] = "the trash refused it";
    return refusals;
}
