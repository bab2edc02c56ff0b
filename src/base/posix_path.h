// The host build keeps the program's backslash paths and translates them at the file system.
#pragma once

#include <string>
#include <string_view>

// Every '\' becomes '/'. (A POSIX file name holding a backslash cannot be told apart.)
inline std::string ToPosixPath(std::string_view path) {
    std::string result(path);
    for (char& c : result)
        if (c == '\\')
            c = '/';
    return result;
}
