// Existence probes for files and folders. Neither raises; a probe that fails answers no.
#pragma once

#include <string>

class IFileProbes {
public:
    virtual ~IFileProbes() = default;
    // An entry exists at exactly this path and it is not a folder.
    virtual bool FileExists(const std::string& path) = 0;
    // The path's attributes can be read and carry the directory bit.
    virtual bool FolderExists(const std::string& path) = 0;
};

// The platform's probes (process-wide, stateless).
IFileProbes& SystemFileProbes();
