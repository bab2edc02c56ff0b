// One found shortcut, how its target is read, and the rule that tells a broken one.
#pragma once

#include "platform/fs_probes.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

class ILinkReader;

// Filled once when the record is built and never changed afterwards.
class TShortcutItem {
public:
    TShortcutItem(std::string name, std::string target, std::string location, std::string shortcut,
                  bool invalid)
        : Name(std::move(name)), Target(std::move(target)), Location(std::move(location)),
          Shortcut(std::move(shortcut)), Invalid(invalid) {}

    const std::string Name;     // file name without its extension
    const std::string Target;   // path the link reports; empty when none
    const std::string Location; // folder part, ending in '\' (or ':')
    const std::string Shortcut; // full path as the finder reported it
    const bool Invalid;         // the file system answered that the target is not there
};

// The validity rule, one object per scan: the kind of each drive letter is asked once.
//
// A target is invalid only when the file system, on a volume that is present, answers that
// it is not there. What cannot be judged is valid: no target (an unreadable shortcut, or one
// without a file-system path), a network path ("\\" or a network drive, neither probed), a
// web address ("http://"), a drive without a volume or media, and any probe answer other than
// "not there" (access denied, a device or network error). A target that contains " (x86)"
// and is not there gets one retry with every " (x86)" removed.
class TValidityRule {
public:
    explicit TValidityRule(IFileProbes& probes) : probes_(probes) {}
    IFileProbes& Probes() { return probes_; }
    bool IsTargetValid(const std::string& target);

private:
    TDriveKind Drive(char letter);

    IFileProbes& probes_;
    std::array<std::optional<TDriveKind>, 26> drives_{}; // by letter, as first asked
};

// No record unless the path is an existing file with the extension ".lnk" (any case).
std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   TValidityRule& rule);
// The same with a rule of its own (drive kinds asked afresh).
std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   IFileProbes& probes);

// The target stored in the shortcut file, or "".
std::string ResolveShortcutTarget(const std::string& path, ILinkReader& reader);

// TValidityRule::IsTargetValid for one target, drive kinds asked afresh.
bool IsTargetValid(const std::string& target, IFileProbes& probes);
