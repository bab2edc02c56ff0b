#include "inventory/shortcut_item.h"

#include "base/path_rules.h"
#include "base/text.h"
#include "lnk/link_reader.h"
#include "platform/fs_probes.h"

#include <string_view>

namespace {

constexpr std::string_view kNetworkPrefix = "\\\\";
constexpr std::string_view kWebPrefix = "http://";
constexpr std::string_view kX86 = " (x86)";

// Every occurrence of `what` removed, letters compared without regard to ASCII case.
std::string RemoveAllIgnoringCase(const std::string& text, std::string_view what) {
    const std::string upperText = AsciiUpperCase(text);
    const std::string upperWhat = AsciiUpperCase(what);
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = upperText.find(upperWhat, pos);
        if (hit == std::string::npos)
            break;
        result.append(text, pos, hit - pos);
        pos = hit + what.size();
    }
    result.append(text, pos, std::string::npos);
    return result;
}

} // namespace

std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   IFileProbes& probes) {
    TValidityRule rule(probes);
    return ProcessShortcutFile(path, reader, rule);
}

std::unique_ptr<TShortcutItem> ProcessShortcutFile(const std::string& path, ILinkReader& reader,
                                                   TValidityRule& rule) {
    if (!rule.Probes().FileExists(path))
        return nullptr;
    if (!IsShortcutExtension(ExtractFileExt(path)))
        return nullptr;
    std::string name = RemoveExtension(ExtractFileName(path));
    std::string location(ExtractFilePath(path));
    std::string target = ResolveShortcutTarget(path, reader);
    const bool invalid = !rule.IsTargetValid(target);
    return std::make_unique<TShortcutItem>(std::move(name), std::move(target), std::move(location),
                                           path, invalid);
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

bool TValidityRule::IsTargetValid(const std::string& target) {
    if (target.empty())
        return true;
    const std::string_view t(target);
    if (t.starts_with(kNetworkPrefix) || t.starts_with(kWebPrefix))
        return true;
    if (t.size() >= 2 && t[1] == ':') {
        const char letter = AsciiUpperCase(t.substr(0, 1))[0];
        if (letter >= 'A' && letter <= 'Z' && Drive(letter) != TDriveKind::Local)
            return true;
    }
    if (probes_.ProbePath(target) != TPathState::Absent)
        return true;
    if (target.find(kX86) != std::string::npos)
        return probes_.ProbePath(RemoveAllIgnoringCase(target, kX86)) != TPathState::Absent;
    return false;
}
