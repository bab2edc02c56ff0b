#include "base/path_rules.h"

#include <gtest/gtest.h>

TEST(PathRules, RemoveExtensionWorksOnTheFileNamePartOnly) {
    EXPECT_EQ(RemoveExtension("Mail.lnk"), "Mail");
    EXPECT_EQ(RemoveExtension("a.b.lnk"), "a.b");
    EXPECT_EQ(RemoveExtension(".lnk"), "");
    EXPECT_EQ(RemoveExtension("C:\\a.b\\c"), "C:\\a.b\\c");
    EXPECT_EQ(RemoveExtension("C:a.b"), "C:a");
    EXPECT_EQ(RemoveExtension("noext"), "noext");
    EXPECT_EQ(RemoveExtension(""), "");
}

TEST(PathRules, AddTrailingBackslash) {
    EXPECT_EQ(AddTrailingBackslash("C:\\Tools"), "C:\\Tools\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\Tools\\"), "C:\\Tools\\");
    EXPECT_EQ(AddTrailingBackslash("C:/Tools/"), "C:/Tools/\\");
    EXPECT_EQ(AddTrailingBackslash(""), "\\");
}

TEST(PathRules, ShortcutExtensionIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(IsShortcutExtension(".lnk"));
    EXPECT_TRUE(IsShortcutExtension(".LNK"));
    EXPECT_TRUE(IsShortcutExtension(".Lnk"));
    EXPECT_FALSE(IsShortcutExtension("lnk"));
    EXPECT_FALSE(IsShortcutExtension(".lnk "));
    EXPECT_FALSE(IsShortcutExtension(".url"));
    EXPECT_FALSE(IsShortcutExtension(""));
    // 0xCC is not a letter to the ASCII rules: no byte but 'L'/'l' can stand for l.
    EXPECT_FALSE(IsShortcutExtension(".\xCCnk"));
}
