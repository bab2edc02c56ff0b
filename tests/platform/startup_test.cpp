// The start-up rules that need no window system: the lock's name, the default title, and
// the texts of the two error reports.
#include "platform/instance.h"
#include "platform/startup.h"

#include <gtest/gtest.h>

namespace {

TEST(InstanceName, FileNameRaisedInAsciiOnly) {
    EXPECT_EQ(InstanceMutexName("C:\\Tools\\finder.exe"), "FINDER.EXE");
    // The folder plays no part; names differing in ASCII case meet.
    EXPECT_EQ(InstanceMutexName("D:\\other\\place\\Finder.Exe"), "FINDER.EXE");
    // Bytes beyond ASCII stay as they are, so these two names differ.
    EXPECT_EQ(InstanceMutexName("C:\\t\\\xC3\xA9t\xC3\xA9.exe"), "\xC3\xA9T\xC3\xA9.EXE");
    EXPECT_NE(InstanceMutexName("C:\\t\\\xC3\xA9.exe"), InstanceMutexName("C:\\t\\\xC3\x89.exe"));
    EXPECT_EQ(InstanceMutexName("plain.exe"), "PLAIN.EXE");
}

TEST(DefaultTitle, UpToTheFirstDotFirstCharacterKept) {
    EXPECT_EQ(DefaultTitle("C:\\x\\FINDER.EXE"), "Finder");
    EXPECT_EQ(DefaultTitle("C:\\x\\shortcutSweeper.exe"), "shortcutsweeper");
    EXPECT_EQ(DefaultTitle("C:\\x\\my.TOOL.exe"), "my");
    EXPECT_EQ(DefaultTitle("C:\\x\\.exe"), "");
    EXPECT_EQ(DefaultTitle("C:\\x\\NoDot"), "Nodot");
}

TEST(StartupTexts, WelcomeAndErrorReports) {
    EXPECT_EQ(WelcomeText("Finder"), "Welcome to Finder!");
    EXPECT_EQ(WelcomeText(""), "Welcome to !");

    const std::string report = UnhandledErrorReport(
        "EFOpenError", "ShortcutSweeper.exe", 0x1A2B,
        "Cannot open file \"C:\\x\\lamecore.dll\". The system cannot find the file specified");
    EXPECT_EQ(report, "Exception EFOpenError in module ShortcutSweeper.exe at 00001A2B.\r\n"
                      "Cannot open file \"C:\\x\\lamecore.dll\". The system cannot find the file "
                      "specified.\r\n");
    // No second full stop.
    EXPECT_EQ(UnhandledErrorReport("E", "m", 0, "Done."),
              "Exception E in module m at 00000000.\r\nDone.\r\n");

    // The error box adds "." only after a byte that sorts after it.
    EXPECT_EQ(ErrorBoxText("Bitmap image is not valid"), "Bitmap image is not valid.");
    EXPECT_EQ(ErrorBoxText("Stop."), "Stop.");
    EXPECT_EQ(ErrorBoxText("Really!"), "Really!");
    EXPECT_EQ(ErrorBoxText("path\\"), "path\\.");
    EXPECT_EQ(ErrorBoxText("\xC3\xA9"), "\xC3\xA9.");
    EXPECT_EQ(ErrorBoxText(""), "");
}

} // namespace
