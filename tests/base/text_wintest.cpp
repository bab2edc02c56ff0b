// The text rules that need the system, under Wine with the program's manifest: the UTF-8
// code page, the system's upper-casing and the MAX_PATH buffer the shell link object takes.
#include "base/text.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(TextSystem, UpperCasingCoversNonAsciiLettersOfTheCodePage) {
    ASSERT_EQ(GetACP(), 65001u) << "the manifest's UTF-8 code page is not in effect";
    EXPECT_EQ(AnsiUpperCase("syst\xC3\xA8me"), "SYST\xC3\x88ME"); // è / È
    EXPECT_EQ(AnsiUpperCase(""), "");
}

TEST(TextSystem, ConversionsKeepTheWholeText) {
    const std::string text("C:\\Caf\xC3\xA9 \xF0\x9D\x84\x9E\0x", 15);
    const std::wstring wide(L"C:\\Caf\u00E9 \U0001D11E\0x", 12);
    EXPECT_EQ(WidenAnsi(text), wide);
    EXPECT_EQ(NarrowAnsi(wide), text);
    EXPECT_EQ(WidenUtf8(text), wide);
    EXPECT_EQ(NarrowUtf8(wide), text);
    EXPECT_EQ(WidenAnsi(""), L"");
    EXPECT_EQ(NarrowUtf8(L""), "");
}

// The shortcut path goes to the shell link object only when it fits with its zero.
TEST(TextSystem, AShellPathFitsMaxPathUnitsWithItsZero) {
    wchar_t wide[kMaxPathUnits];
    ASSERT_TRUE(WidenAnsiPath(std::string(259, 'a'), wide));
    EXPECT_EQ(std::wstring(wide), std::wstring(259, L'a'));
    EXPECT_FALSE(WidenAnsiPath(std::string(260, 'a'), wide));
    std::string letters; // units count, not bytes
    for (int i = 0; i < 259; ++i)
        letters += "\xC3\xA9";
    EXPECT_TRUE(WidenAnsiPath(letters, wide));
    ASSERT_TRUE(WidenAnsiPath(std::string("ab\0cd", 5), wide)); // up to the first zero
    EXPECT_EQ(std::wstring(wide), L"ab");
}
