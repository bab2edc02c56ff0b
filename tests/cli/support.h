// Shortcut files for the command-line tests, written byte by byte as the shell writes a
// shortcut to a local file (LinkInfo with the local path, in Unicode too).
#pragma once

#include "lnk/lnk_builder.h"

#include <filesystem>
#include <fstream>
#include <string>

// A shortcut to `target` (ASCII) at `path`, its folders made.
inline void WriteLink(const std::filesystem::path& path, const std::string& target) {
    std::filesystem::create_directories(path.parent_path());
    lnkb::Link link;
    link.linkInfo = lnkb::LinkInfo({target, "", "", false, {}, {}, {}});
    const lnkb::Bytes bytes = link.Build();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}
