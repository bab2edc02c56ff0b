#include "finder/di_utils.h"

#include "base/text.h"

#include <array>
#include <cstddef>

namespace {

// Windows1252Upper of every byte, looked up once per compared character.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(Windows1252Upper(static_cast<char>(i)));
    return t;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

inline bool SameChar(char a, char b) {
    return kFold[static_cast<unsigned char>(a)] == kFold[static_cast<unsigned char>(b)];
}

} // namespace

bool WildcardMatch(std::string_view name, std::string_view pattern, char wild, char mask) {
    const std::size_t n = name.size();
    const std::size_t m = pattern.size();
    std::size_t i = 0; // name position
    std::size_t j = 0; // pattern position

    // Pattern character j accepts name character i (j is not the wildcard).
    auto accepts = [&](std::size_t pj, std::size_t ni) {
        return pattern[pj] == mask || SameChar(pattern[pj], name[ni]);
    };

    // The part before the first wildcard must match exactly.
    while (i < n && j < m && pattern[j] != wild) {
        if (!accepts(j, i))
            break;
        ++i;
        ++j;
    }
    if (j == m)
        return i == n;
    if (pattern[j] != wild)
        return false;

    for (;;) {
        while (j < m && pattern[j] == wild)
            ++j;
        if (j == m)
            return true;

        // Leftmost place from i on where the segment starting at j matches.
        const std::size_t segment = j;
        std::size_t segmentEnd = segment; // one past the segment's last character
        for (;;) {
            while (i < n && !accepts(segment, i))
                ++i;
            if (i == n)
                return false;
            const std::size_t restart = ++i;
            j = segment + 1;
            while (j < m && pattern[j] != wild && i < n && accepts(j, i)) {
                ++i;
                ++j;
            }
            if (j == m || pattern[j] == wild) {
                segmentEnd = j;
                break;
            }
            i = restart;
        }

        if (segmentEnd < m)
            continue; // another wildcard follows: match the next segment after this one

        // The last segment: it must also match the end of the name.
        if (i == n)
            return true;
        const std::size_t length = segmentEnd - segment;
        const std::size_t start = n - length;
        for (std::size_t k = 0; k < length; ++k)
            if (!accepts(segment + k, start + k))
                return false;
        return true;
    }
}
