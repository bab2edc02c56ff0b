// Whole-file reading and writing for the build's own tools (standard C++ only).
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

// The bytes of the file at `path`; false when it cannot be read.
inline bool ReadAll(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Replaces the file at `path` with `data`; on failure removes what was written and answers
// false.
inline bool WriteAll(const char* path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (out)
        return true;
    std::remove(path);
    return false;
}
