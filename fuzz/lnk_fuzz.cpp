// libFuzzer target: any bytes through the shortcut-file reader. Sanitizers report every
// out-of-bounds read and overflow; the checks below catch results that break the contract.
#include "base/windows_path.h"
#include "lnk/lnk_format.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Aborts unless `text` is well-formed UTF-8.
void CheckUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t len = c < 0x80         ? 1
                                : (c >> 5) == 6  ? 2
                                : (c >> 4) == 14 ? 3
                                : (c >> 3) == 30 ? 4
                                                 : 0;
        if (len == 0 || i + len > text.size())
            std::abort();
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                std::abort();
        i += len;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lnk::EnvLookup env = [](std::string_view name, std::string& value) {
        if (name.size() != 1)
            return false;
        value = std::string(300, name[0]); // long values push expansions past the cap
        return true;
    };
    // A deep folder, so that relative paths have segments to climb.
    const std::string target =
        lnk::ReadShortcutTarget(data, size, {"C:\\Links\\a\\b\\c.lnk", env, {}});
    if (target.size() > lnk::kMaxTargetBytes)
        std::abort();
    if (!target.empty() && !winpath::IsFullPath(target)) // never a relative target
        std::abort();
    CheckUtf8(target); // no cut character

    // The other fields: the same target and the same validity, well-formed text, and
    // nothing at all from bytes that are no shortcut.
    const lnk::ShortcutFields fields =
        lnk::ReadShortcutFields(data, size, {"C:\\Links\\a\\b\\c.lnk", env, {}});
    if (fields.target != target)
        std::abort();
    if (!fields.readable && (!target.empty() || !fields.comment.empty() ||
                             !fields.workingDir.empty() || fields.hotKey != 0))
        std::abort();
    for (const std::string* text : {&fields.comment, &fields.relativePath, &fields.workingDir,
                                    &fields.arguments, &fields.iconLocation}) {
        if (text->size() > 3 * size) // at most three bytes per stored unit
            std::abort();
        CheckUtf8(*text);
    }
    return 0;
}
