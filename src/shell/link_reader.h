// Reading the target path stored in a shortcut file.
#pragma once

#include <memory>
#include <string>

class ILinkReader {
public:
    virtual ~ILinkReader() = default;
    // The path the shell reports for the shortcut (at most 259 bytes), or "" when the file
    // cannot be read or has no file-system target. Never throws.
    virtual std::string ReadTarget(const std::string& shortcutPath) = 0;
};

// The platform's reader: the shell link object on Windows (one fresh object per call, on a
// thread that has entered a COM apartment), the shortcut-file reader elsewhere.
std::unique_ptr<ILinkReader> CreateSystemLinkReader();
