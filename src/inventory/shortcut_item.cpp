#include "inventory/shortcut_item.h"

#include "base/path_rules.h"
#include "base/windows_path.h"
#include "lnk/link_reader.h"
#include "platform/fs_probes.h"

#include <string_view>

namespace {

constexpr std::string_view kWebPrefix = "http://";

// Why a reading that names no target has none.
std::string GapReason(const lnk::TargetReading& reading) {
    using lnk::TargetGap;
    switch (reading.gap) {
    case TargetGap::None:
        break;
    case TargetGap::Unreadable:
        return "shortcut could not be read";
    case TargetGap::NoTarget:
        break;
    case TargetGap::ShellFolder:
        return reading.detail.empty() || reading.detail.front() == '{'
                   ? "shell folder"
                   : "shell folder " + reading.detail;
    case TargetGap::UnknownVariable:
        return "environment variable %" + reading.detail + "% unknown";
    case TargetGap::UnknownFolder:
        return "known folder " + reading.detail + " unknown here";
    case TargetGap::NoPlace:
        return "relative path on no Windows drive";
    case TargetGap::TooLong:
        return "target too long";
    }
    return "no file-system target";
}

} // namespace

std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   IFileProbes& probes) {
    TValidityRule rule(probes);
    return ProcessShortcutFile(path, reader, rule);
}

std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   TValidityRule& rule) {
    if (!IsShortcutExtension(ExtractFileExt(path)))
        return nullptr;
    // A reading that opened the file answers that it is there: the file system is asked
    // only when it failed (a folder, a file gone since it was listed, or no shortcut).
    lnk::TargetReading reading = reader.Read(path);
    if (reading.gap == lnk::TargetGap::Unreadable && !rule.Probes().FileExists(path))
        return nullptr;
    std::string name = RemoveExtension(ExtractFileName(path));
    std::string location(ExtractFilePath(path));
    TVerdict verdict = rule.Judge(reading);
    return std::make_unique<TShortcutItem>(std::move(name), std::move(reading.path),
                                           std::move(location), path, verdict.invalid,
                                           std::move(verdict.reason));
}

std::string ResolveShortcutTarget(const std::string& path, ILinkReader& reader) {
    return reader.ReadTarget(path);
}

bool IsTargetValid(const std::string& target, IFileProbes& probes) {
    TValidityRule rule(probes);
    return rule.IsTargetValid(target);
}

TDriveKind TValidityRule::Drive(char letter) {
    std::optional<TDriveKind>& kind = drives_[static_cast<std::size_t>(letter - 'A')];
    if (!kind)
        kind = probes_.DriveKind(letter);
    return *kind;
}

TVerdict TValidityRule::Judge(const std::string& target) {
    lnk::TargetReading reading;
    reading.path = target;
    reading.gap = target.empty() ? lnk::TargetGap::NoTarget : lnk::TargetGap::None;
    return Judge(reading);
}

TVerdict TValidityRule::Judge(const lnk::TargetReading& reading) {
    const std::string& target = reading.path;
    if (target.empty())
        return {false, GapReason(reading)};
    if (std::string_view(target).starts_with(kWebPrefix))
        return {false, "web address"};
    if (winpath::IsSharePath(target) || reading.source == lnk::TargetSource::NetworkShare)
        return {false, "network share, not probed"};
    const char letter = winpath::DriveLetter(target);
    const std::string drive = letter ? std::string{letter, ':'} : std::string();
    if (letter) {
        switch (Drive(letter)) {
        case TDriveKind::Local:
            break;
        case TDriveKind::Network:
            return {false, "network drive " + drive + ", not probed"};
        case TDriveKind::NoVolume:
            return {false, "drive " + drive + " has no volume"};
        }
    }
    TPathState state = probes_.ProbePath(target);
    const char* found = "target found";
    if (state == TPathState::Absent && winpath::HasX86(target)) {
        state = probes_.ProbePath(winpath::WithoutX86(target));
        found = "found without (x86)";
    }
    if (state == TPathState::Exists)
        return {false, found};
    if (state == TPathState::Unknown)
        return {false, "no answer from the file system"};
    if (const std::string_view miss = probes_.ShortNameMiss();
        !miss.empty() && winpath::HasShortName(target))
        return {false, std::string(miss)};
    return {true, letter ? "target not found on " + drive : "target not found"};
}
