// libFuzzer target: any bytes through the shortcut-file reader. Sanitizers report every
// out-of-bounds read and overflow; the checks below catch results that break the contract.
#include "shell/lnk_format.h"

#include <cstdint>
#include <cstdlib>

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
    if (!target.empty() && !lnk::IsFullPath(target)) // never a relative target
        std::abort();
    // The result is well-formed UTF-8 (no cut character).
    for (std::size_t i = 0; i < target.size();) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > target.size())
            std::abort();
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(target[i + k]) & 0xC0) != 0x80)
                std::abort();
        i += len;
    }
    return 0;
}
