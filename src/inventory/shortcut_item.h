// One found shortcut, how its target is read, and the rule that tells a broken one.
#pragma once

#include <memory>
#include <string>

class IFileProbes;
class ILinkReader;

// Filled once when the record is built and never changed afterwards.
class TShortcutItem {
public:
    TShortcutItem(std::string name, std::string target, std::string location,
                  std::string shortcut, bool invalid)
        : Name(std::move(name)), Target(std::move(target)), Location(std::move(location)),
          Shortcut(std::move(shortcut)), Invalid(invalid) {}

    const std::string Name;     // file name without its extension
    const std::string Target;   // path the link reports; empty when none
    const std::string Location; // folder part, ending in '\' (or ':')
    const std::string Shortcut; // full path as the finder reported it
    const bool Invalid;         // the target does not exist
};

// No record unless the path is an existing file with the extension ".lnk" (any case).
std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   IFileProbes& probes);

// The target stored in the shortcut file, or "".
std::string ResolveShortcutTarget(const std::string& path, ILinkReader& reader);

// Empty, network ("\\"), and "http://" targets are valid unprobed; otherwise the target must
// exist as a file or folder, with one retry without " (x86)" when the target contains it.
bool IsTargetValid(const std::string& target, IFileProbes& probes);
