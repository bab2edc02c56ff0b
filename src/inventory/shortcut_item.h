// One found shortcut, how its target is read, and the rule that tells a broken one.
#pragma once

#include "lnk/lnk_format.h"
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
                  bool invalid, std::string reason = {})
        : Name(std::move(name)), Target(std::move(target)), Location(std::move(location)),
          Shortcut(std::move(shortcut)), Invalid(invalid), Reason(std::move(reason)) {}

    const std::string Name;     // file name without its extension
    const std::string Target;   // path the link reports; empty when none
    const std::string Location; // folder part, ending in '\' (or ':')
    const std::string Shortcut; // full path as the finder reported it
    const bool Invalid;         // the file system answered that the target is not there
    const std::string Reason;   // why it is judged so, in a few words (TVerdict)
};

// A judgement and its reason, one of:
//   invalid  "target not found on C:" ("target not found" for a path with no drive letter)
//   valid    "target found", "found without (x86)", "network share, not probed", "network
//            drive Z:, not probed", "drive D: has no volume", "web address", "no answer from
//            the file system" (access denied, a device error), "short name not found under
//            Wine" (or "on Linux": systems that make other short names than Windows), and for
//            a target that cannot be had: "shortcut could not be read", "no file-system
//            target", "shell folder" (with its name), "environment variable %X% unknown",
//            "known folder X unknown here", "relative path on no Windows drive", "target too
//            long"
struct TVerdict {
    bool invalid = false;
    std::string reason;
};

// The validity rule, one object per scan: the kind of each drive letter is asked once.
//
// A target is invalid only when the file system, on a volume that is present, answers that
// it is not there. What cannot be judged is valid: no target (an unreadable shortcut, or one
// without a file-system path), a network path ("\\" or a network drive, neither probed), a
// web address ("http://"), a drive without a volume or media, any probe answer other than
// "not there" (access denied, a device or network error), and a short 8.3 name on a system
// that makes its own short names. A target that contains " (x86)" and is not there gets one
// retry with every " (x86)" removed.
class TValidityRule {
public:
    explicit TValidityRule(IFileProbes& probes) : probes_(probes) {}
    IFileProbes& Probes() { return probes_; }
    // The verdict on a reading of a shortcut's target.
    TVerdict Judge(const lnk::TargetReading& reading);
    // The verdict on a target known only by its path.
    TVerdict Judge(const std::string& target);
    bool IsTargetValid(const std::string& target) { return !Judge(target).invalid; }

private:
    TDriveKind Drive(char letter);

    IFileProbes& probes_;
    std::array<std::optional<TDriveKind>, 26> drives_{}; // by letter, as first asked
};

// No record unless the path is an existing file with the extension ".lnk" (any case). The
// reading answers for the file; only a failed one asks the probes whether it is a file.
std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   TValidityRule& rule);
// The same with a rule of its own (drive kinds asked afresh).
std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   IFileProbes& probes);

// The target stored in the shortcut file, or "".
std::string ResolveShortcutTarget(const std::string& path, ILinkReader& reader);

// TValidityRule::IsTargetValid for one target, drive kinds asked afresh.
bool IsTargetValid(const std::string& target, IFileProbes& probes);
