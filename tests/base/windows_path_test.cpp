// The Windows path unit: which text is a full path and on which volume, how a relative path
// resolves against the shortcut's own folder, and the name rules (case, 8.3, " (x86)").
#include "base/windows_path.h"

#include <gtest/gtest.h>

using namespace winpath;

TEST(WindowsPath, RootsVolumesAndDriveLetters) {
    struct {
        const char* path;
        char letter;
        bool share;
        std::size_t root;
        const char* volume;
    } cases[] = {
        {"C:\\Windows", 'C', false, 3, "C:"},
        {"d:/x", 'D', false, 3, "d:"},
        {"C:name", 'C', false, 0, "C:"}, // a drive's current folder: no root
        {"\\\\server\\share\\a", 0, true, 15, "\\\\server\\share"},
        {"\\\\server\\share", 0, true, 14, "\\\\server\\share"},
        {"\\\\server", 0, true, 0, ""},
        {"\\\\?\\C:\\long\\path", 'C', false, 7, ""},
        {"\\\\?\\UNC\\srv\\s\\x", 0, true, 14, ""},
        {"\\\\.\\pipe\\x", 0, true, 10, ""},
        {"\\Windows", 0, false, 1, ""},
        {"relative\\x", 0, false, 0, ""},
        {"", 0, false, 0, ""},
        {"1:\\x", 0, false, 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DriveLetter(c.path), c.letter) << c.path;
        EXPECT_EQ(IsSharePath(c.path), c.share) << c.path;
        EXPECT_EQ(RootLength(c.path), c.root) << c.path;
        EXPECT_EQ(IsFullPath(c.path), c.root != 0) << c.path;
        EXPECT_EQ(VolumeOf(c.path), c.volume) << c.path;
    }
}

TEST(WindowsPath, RelativePathsResolveAgainstTheShortcutsFolderAndStopAtTheRoot) {
    const std::string_view desktop = "C:\\Users\\me\\Desktop\\Calculator.lnk";
    // Written on another machine, six levels deep: the climb stops at the drive root.
    EXPECT_EQ(ResolveRelative(desktop, "..\\..\\..\\..\\..\\..\\Windows\\System32\\calc.exe"),
              "C:\\Windows\\System32\\calc.exe");
    EXPECT_EQ(ResolveRelative(desktop, ".\\tool.exe"), "C:\\Users\\me\\Desktop\\tool.exe");
    EXPECT_EQ(ResolveRelative(desktop, "sub\\.\\x\\..\\\\y.txt"),
              "C:\\Users\\me\\Desktop\\sub\\y.txt");
    EXPECT_EQ(ResolveRelative(desktop, "../Documents/a b.txt"),
              "C:\\Users\\me\\Documents\\a b.txt");
    EXPECT_EQ(ResolveRelative(desktop, "..\\dir\\"), "C:\\Users\\me\\dir\\");
    EXPECT_EQ(ResolveRelative("C:\\a.lnk", ".."), "C:\\");
    // A share root is a root too.
    EXPECT_EQ(ResolveRelative("\\\\srv\\share\\links\\a.lnk", "..\\..\\..\\x.exe"),
              "\\\\srv\\share\\x.exe");
    // Paths with a root of their own: a drive or share keeps it, "\\" takes the shortcut's drive.
    EXPECT_EQ(ResolveRelative(desktop, "D:\\x\\..\\y"), "D:\\y");
    EXPECT_EQ(ResolveRelative(desktop, "\\\\srv\\s\\..\\..\\y"), "\\\\srv\\s\\y");
    EXPECT_EQ(ResolveRelative(desktop, "\\Windows\\.\\x"), "C:\\Windows\\x");
    // Nothing that would stay relative: no folder to start from, a drive's current folder, a
    // server without a share, nothing at all.
    EXPECT_EQ(ResolveRelative("Links\\a.lnk", "x.exe"), "");
    EXPECT_EQ(ResolveRelative("", "x.exe"), "");
    EXPECT_EQ(ResolveRelative(desktop, "D:x.exe"), "");
    EXPECT_EQ(ResolveRelative(desktop, "\\\\srv"), "");
    EXPECT_EQ(ResolveRelative(desktop, ""), "");
}

TEST(WindowsPath, NamesCompareAsWindowsComparesThem) {
    EXPECT_TRUE(SameName("C:\\Program Files", "c:\\PROGRAM FILES"));
    EXPECT_FALSE(SameName("Zürich", "ZÜRICH")); // beyond ASCII the file system decides
    EXPECT_TRUE(IsInFolder("C:\\Users\\Bob\\x.lnk", "c:\\users\\bob"));
    EXPECT_TRUE(IsInFolder("C:\\Users\\Bob", "C:\\Users\\Bob\\"));
    EXPECT_FALSE(IsInFolder("C:\\Users\\Bobby\\x", "C:\\Users\\Bob"));
    EXPECT_FALSE(IsInFolder("C:\\x", ""));
    EXPECT_EQ(Join("C:\\", "x"), "C:\\x");
    EXPECT_EQ(Join("\\\\s\\sh", "x"), "\\\\s\\sh\\x");
    EXPECT_EQ(Join("C:\\a", ""), "C:\\a");
}

TEST(WindowsPath, ShortNamesAndTheX86Retry) {
    for (const char* yes : {"PROGRA~1", "progra~1", "ÄLTEAP~1", "APP~12.EXE", "PROGR~3T", "AB~1.C"})
        EXPECT_TRUE(IsShortName(yes)) << yes;
    for (const char* no :
         {"Program Files", "~1", "PROGRAMS~1", "APP~.EXE", "APP~1.EXEC", "a~b~c.d.e", "APP"})
        EXPECT_FALSE(IsShortName(no)) << no;
    EXPECT_TRUE(HasShortName("C:\\PROGRA~1\\Common Files\\x.dll"));
    EXPECT_FALSE(HasShortName("C:\\Program Files\\Tom~s Tools\\x.dll"));
    EXPECT_FALSE(HasShortName("\\\\SERVER~1\\share\\x")); // the root is no name

    EXPECT_TRUE(HasX86("C:\\Program Files (x86)\\a"));
    EXPECT_FALSE(HasX86("C:\\Program Files (X86)\\a"));
    EXPECT_EQ(WithoutX86("C:\\Program Files (X86)\\b (x86)\\a"), "C:\\Program Files\\b\\a");
}
