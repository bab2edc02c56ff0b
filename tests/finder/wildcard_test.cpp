#include "finder/di_utils.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Windows-1252 upper-casing, written out from the character set rather than as a table.
unsigned char Upper(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A; // s caron
    case 0x9C:
        return 0x8C; // oe
    case 0x9E:
        return 0x8E; // z caron
    case 0xFF:
        return 0x9F; // y diaeresis
    default:
        return c;
    }
}

// Exhaustive search over every split: match[i][j] = name[i..] matches pattern[j..].
bool Reference(const std::string& name, const std::string& pattern, char wild, char mask) {
    const size_t n = name.size(), m = pattern.size();
    std::vector<std::vector<char>> match(n + 1, std::vector<char>(m + 1, 0));
    match[n][m] = 1;
    for (size_t j = m; j-- > 0;) {
        for (size_t i = n + 1; i-- > 0;) {
            const char p = pattern[j];
            if (p == wild)
                match[i][j] = match[i][j + 1] || (i < n && match[i + 1][j]);
            else if (i < n && (p == mask || Upper(static_cast<unsigned char>(p)) ==
                                                Upper(static_cast<unsigned char>(name[i]))))
                match[i][j] = match[i + 1][j + 1];
        }
    }
    return match[0][0] != 0;
}

void AllStrings(const std::string& alphabet, size_t maxLength, std::vector<std::string>& out) {
    out.push_back("");
    size_t from = 0;
    for (size_t length = 1; length <= maxLength; ++length) {
        const size_t to = out.size();
        for (size_t k = from; k < to; ++k)
            for (char c : alphabet)
                out.push_back(out[k] + c);
        from = to;
    }
}

std::string Show(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F) {
            r.push_back(static_cast<char>(c));
        } else {
            static const char* hex = "0123456789ABCDEF";
            r += "\\x";
            r.push_back(hex[c >> 4]);
            r.push_back(hex[c & 15]);
        }
    }
    return r;
}

struct Chars {
    char wild, mask;
};

} // namespace

// Every name and pattern up to a small length over an alphabet holding the wildcard, the mask,
// a letter in both cases, a backslash and a folded accented letter, for several choices of
// wildcard and mask (a letter as the mask, the same byte for both).
TEST(WildcardMatch, AgreesWithExhaustiveSearchOnAllShortStrings) {
    const Chars configs[] = {{'*', '?'}, {'*', '*'}, {'*', 'a'}, {'A', '?'}};
    std::vector<std::string> names, patterns;
    AllStrings(std::string("aA\\*?\xE9", 6), 4, names);
    for (const Chars& cfg : configs) {
        patterns.clear();
        AllStrings(std::string("aA\\*?\xC9", 6), 4, patterns);
        size_t mismatches = 0;
        for (const std::string& p : patterns)
            for (const std::string& s : names)
                if (WildcardMatch(s, p, cfg.wild, cfg.mask) !=
                        Reference(s, p, cfg.wild, cfg.mask) &&
                    ++mismatches <= 5)
                    ADD_FAILURE() << "name '" << Show(s) << "' pattern '" << Show(p) << "' wild '"
                                  << cfg.wild << "' mask '" << cfg.mask << "'";
        EXPECT_EQ(mismatches, 0u);
    }
}

// Longer random names and patterns over the fold table's special bytes, where the restart of a
// segment and the anchoring of the last one matter.
TEST(WildcardMatch, AgreesWithExhaustiveSearchOnRandomLongerStrings) {
    const std::string alphabet("aAbB\\.*?$\xE9\xC9\xFF\x9F\xF7\xD7\xDF\x9A\x8A\xB5\x83", 20);
    const std::string patternAlphabet = alphabet + std::string(4, '*') + "aab";
    std::mt19937 rng(12345);
    auto pick = [&](const std::string& from, size_t maxLength) {
        std::string s(std::uniform_int_distribution<size_t>(0, maxLength)(rng), ' ');
        for (char& c : s)
            c = from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
        return s;
    };
    size_t mismatches = 0, matches = 0;
    for (int k = 0; k < 200000; ++k) {
        // Names built from pieces of the pattern match more often than random ones.
        const std::string p = pick(patternAlphabet, 9);
        std::string s = pick(alphabet, 6) + p + pick(alphabet, 6);
        for (char& c : s)
            if ((c == '*' || c == '?') && rng() % 2)
                c = alphabet[rng() % 4];
        const bool expected = Reference(s, p, '*', '?');
        matches += expected;
        if (WildcardMatch(s, p, '*', '?') != expected && ++mismatches <= 5)
            ADD_FAILURE() << "name '" << Show(s) << "' pattern '" << Show(p) << "'";
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_GT(matches, 1000u); // the generator exercises the matching side too
}

TEST(WildcardMatch, PatternsOfTheScan) {
    EXPECT_TRUE(WildcardMatch("C:\\Users\\Desktop\\Mail.lnk", "*.lnk", '*', '?'));
    EXPECT_TRUE(WildcardMatch("C:\\Users\\Desktop\\Mail.LnK", "*.lnk", '*', '?'));
    EXPECT_FALSE(WildcardMatch("C:\\Users\\Desktop\\Mail.lnk2", "*.lnk", '*', '?'));
    EXPECT_FALSE(WildcardMatch("C:\\Users\\Links.lnk\\", "*.lnk", '*', '?'));
    EXPECT_TRUE(WildcardMatch("C:\\$Recycle.Bin\\a.lnk", "*$*", '*', '?'));
    EXPECT_TRUE(WildcardMatch("C:\\a\\b$.lnk", "*$*", '*', '?'));
    EXPECT_FALSE(WildcardMatch("C:\\a\\b.lnk", "*$*", '*', '?'));
    // The wildcard spans folders, the mask matches a backslash.
    EXPECT_TRUE(WildcardMatch("C:\\a\\b\\c\\x.lnk", "C:\\a\\*.lnk", '*', '?'));
    EXPECT_TRUE(WildcardMatch("C:\\a", "C:?a", '*', '?'));
}

TEST(WildcardMatch, SegmentsThatFirstMatchTooEarly) {
    EXPECT_TRUE(WildcardMatch("aaab", "*aab", '*', '?'));
    EXPECT_TRUE(WildcardMatch("abcabd", "*abd", '*', '?'));
    // The last segment is anchored at the end although it also matches earlier.
    EXPECT_TRUE(WildcardMatch("x.lnk.lnk", "*.lnk", '*', '?'));
    EXPECT_FALSE(WildcardMatch("abab", "*ab*abab", '*', '?'));
    EXPECT_TRUE(WildcardMatch("ab", "*?*?*", '*', '?'));
    EXPECT_FALSE(WildcardMatch("a", "*?*?*", '*', '?'));
}

TEST(WildcardMatch, FoldTableCases) {
    EXPECT_TRUE(WildcardMatch("\xE9", "\xC9", '*', '?'));
    EXPECT_TRUE(WildcardMatch("\xFF", "\x9F", '*', '?'));
    EXPECT_TRUE(WildcardMatch("\x9A\x9C\x9E", "\x8A\x8C\x8E", '*', '?'));
    EXPECT_FALSE(WildcardMatch("\xF7", "\xD7", '*', '?'));
    EXPECT_FALSE(WildcardMatch("\xDF", "\xFF", '*', '?'));
    EXPECT_FALSE(WildcardMatch("\xB5", "\x9C", '*', '?'));
    // Only ASCII and Windows-1252 letters fold: '@' and '`' sit beside the letter ranges.
    EXPECT_FALSE(WildcardMatch("@", "`", '*', '?'));
}

TEST(WildcardMatch, ALetterAsTheMaskIsRecognisedByExactByteOnly) {
    EXPECT_TRUE(WildcardMatch("xyz", "*x", '*', 'x'));        // the mask, last
    EXPECT_TRUE(WildcardMatch("q.lnk", "*x.lnk", '*', 'x'));  // segment start
    EXPECT_FALSE(WildcardMatch("q.lnk", "*X.lnk", '*', 'x')); // other case: ordinary
    EXPECT_TRUE(WildcardMatch("x.lnk", "*X.lnk", '*', 'x'));
    EXPECT_TRUE(WildcardMatch("anything", "**", '*', '*')); // same byte: wildcard
    EXPECT_TRUE(WildcardMatch("", "**", '*', '*'));
}
