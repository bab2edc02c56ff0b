// Test helpers that write and read shortcuts with the shell link object itself.
#pragma once

#include "base/com_ref.h" // TComApartment

#include <string>

struct ShortcutFields {
    std::string target;     // SetPath
    std::string arguments;  // SetArguments, when not empty
    std::string workingDir; // SetWorkingDirectory, when not empty
    std::string iconPath;   // SetIconLocation, when not empty
    std::string relative;   // SetRelativePath, when not empty
};

// Writes a shortcut file with IShellLinkA::SetPath, then IPersistFile::Save. COM must be
// entered on the calling thread (TComApartment does it). Returns false on any failure.
bool WriteShortcut(const std::string& lnkPath, const ShortcutFields& fields);
inline bool WriteShortcut(const std::string& lnkPath, const std::string& target) {
    return WriteShortcut(lnkPath, ShortcutFields{target, {}, {}, {}, {}});
}
