// The host build keeps the program's backslash paths and translates them at the file system.
//
// A POSIX name may hold a '\' but never a '/', so the program's form writes such a '\' as '/'
// and the two swap at the boundary: "/home/me/back\slash.lnk" is "\home\me\back/slash.lnk"
// inside. A path that begins with '/' is already in the POSIX form and passes unchanged.
#pragma once

#include <string>
#include <string_view>

struct stat;

// The POSIX form of a path in the program's form.
inline std::string ToPosixPath(std::string_view path) {
    std::string result(path);
    if (!result.empty() && result[0] == '/')
        return result;
    for (char& c : result)
        if (c == '\\')
            c = '/';
        else if (c == '/')
            c = '\\';
    return result;
}

// The program's form of a POSIX path or name.
inline std::string FromPosixPath(std::string_view path) {
    std::string result(path);
    for (char& c : result)
        if (c == '/')
            c = '\\';
        else if (c == '\\')
            c = '/';
    return result;
}

// open(2) and stat(2) for a POSIX path of any length: one the system refuses as too long is
// reached a stretch of folders at a time, each opened below the last.
int OpenAnyLength(const std::string& path, int flags);
int StatAnyLength(const std::string& path, struct stat& st, bool followLinks = true);
