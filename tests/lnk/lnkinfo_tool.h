// liblnk's lnkinfo (Debian's liblnk-utils), an independent reader of shortcut files, as an
// oracle for the tests that write shortcuts.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline bool HaveLnkInfo() { return std::system("command -v lnkinfo >/dev/null 2>&1") == 0; }

// The value of the first line of lnkinfo's report on `file` that names `field` ("Local
// path"); "" when there is none.
inline std::string LnkInfoField(const std::filesystem::path& file, const std::string& field) {
    FILE* pipe = ::popen(("lnkinfo '" + file.string() + "' 2>/dev/null").c_str(), "r");
    std::string out;
    char chunk[4096];
    for (std::size_t n; pipe && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, n);
    if (pipe)
        ::pclose(pipe);
    const std::size_t at = out.find(field + "\t");
    const std::size_t colon = at == std::string::npos ? at : out.find(": ", at);
    if (colon == std::string::npos)
        return {};
    return out.substr(colon + 2, out.find('\n', colon) - colon - 2);
}
