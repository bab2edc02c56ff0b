// The path rules of a target: Windows canonicalisation of the relative path joined to the
// shortcut's folder.
#include "lnk/target_path.h"

#include <gtest/gtest.h>

TEST(TargetPath, JoinsTheShortcutsFolderAndCollapsesDots) {
    const std::string_view desktop = "C:\\Users\\me\\Desktop\\Calculator.lnk";
    // Written on another machine, six levels deep: the climb stops at the drive root.
    EXPECT_EQ(
        lnk::ResolveRelativePath(desktop, "..\\..\\..\\..\\..\\..\\Windows\\System32\\calc.exe"),
        "C:\\Windows\\System32\\calc.exe");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, ".\\tool.exe"), "C:\\Users\\me\\Desktop\\tool.exe");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "sub\\.\\x\\..\\\\y.txt"),
              "C:\\Users\\me\\Desktop\\sub\\y.txt");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "../Documents/a b.txt"),
              "C:\\Users\\me\\Documents\\a b.txt");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "..\\dir\\"), "C:\\Users\\me\\dir\\");
    EXPECT_EQ(lnk::ResolveRelativePath("C:\\a.lnk", ".."), "C:\\");
    // A share root is a root too.
    EXPECT_EQ(lnk::ResolveRelativePath("\\\\srv\\share\\links\\a.lnk", "..\\..\\..\\x.exe"),
              "\\\\srv\\share\\x.exe");
    // The host's paths start at "\\".
    EXPECT_EQ(lnk::ResolveRelativePath("\\tmp\\t\\a.lnk", "..\\..\\..\\x"), "\\x");
    // Paths with a root of their own: a drive or share keeps it, "\\" takes the shortcut's drive.
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "D:\\x\\..\\y"), "D:\\y");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "\\\\srv\\s\\..\\..\\y"), "\\\\srv\\s\\y");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "\\Windows\\.\\x"), "C:\\Windows\\x");
    // Nothing that would stay relative: no folder to start from, a drive's current folder, a
    // server without a share, nothing at all.
    EXPECT_EQ(lnk::ResolveRelativePath("Links\\a.lnk", "x.exe"), "");
    EXPECT_EQ(lnk::ResolveRelativePath("", "x.exe"), "");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "D:x.exe"), "");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, "\\\\srv"), "");
    EXPECT_EQ(lnk::ResolveRelativePath(desktop, ""), "");
}
