// Records built from real shortcuts written by the shell link object, probed on the real
// file system.
#include "inventory/shortcut_item.h"
#include "shell/fs_probes.h"
#include "shell/link_reader.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ShortcutRecords : public ::testing::Test {
protected:
    ComApartment com;
    TempDir dir;
    std::unique_ptr<ILinkReader> reader = CreateSystemLinkReader();
    IFileProbes& probes = SystemFileProbes();

    std::unique_ptr<TShortcutItem> Process(const std::string& lnk) {
        return ProcessShortcutFile(dir.Native(lnk), *reader, probes);
    }
    void Link(const std::string& lnk, const std::string& target) {
        ASSERT_TRUE(WriteShortcut(dir.Native(lnk), target)) << lnk;
    }
};

TEST_F(ShortcutRecords, ExistingFileAndFolderTargetsAreValid) {
    dir.WriteFile("app/tool.exe");
    Link("File.lnk", dir.Native("app/tool.exe"));
    Link("Folder.lnk", dir.Native("app"));

    auto file = Process("File.lnk");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Name, "File");
    EXPECT_EQ(file->Location, dir.Folder());
    EXPECT_EQ(file->Shortcut, dir.Native("File.lnk"));
    EXPECT_EQ(file->Target, dir.Native("app/tool.exe"));
    EXPECT_FALSE(file->Invalid);

    auto folder = Process("Folder.lnk");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->Target, dir.Native("app"));
    EXPECT_FALSE(folder->Invalid);
}

TEST_F(ShortcutRecords, MissingTargetIsInvalid) {
    dir.WriteFile("gone.exe");
    Link("Gone.lnk", dir.Native("gone.exe"));
    std::filesystem::remove(dir.Path() / "gone.exe");
    auto r = Process("Gone.lnk");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Target, dir.Native("gone.exe"));
    EXPECT_TRUE(r->Invalid);
}

TEST_F(ShortcutRecords, X86RetryIsCaseSensitiveInTheSearchOnly) {
    dir.WriteFile("Program Files/Tool/tool.exe");
    // The shell keeps a missing target as given.
    Link("Lower.lnk", dir.Native("Program Files (x86)/Tool/tool.exe"));
    Link("Upper.lnk", dir.Native("Program Files (X86)/Tool/tool.exe"));
    auto lower = Process("Lower.lnk");
    auto upper = Process("Upper.lnk");
    ASSERT_TRUE(lower && upper);
    EXPECT_EQ(lower->Target, dir.Native("Program Files (x86)/Tool/tool.exe"));
    EXPECT_FALSE(lower->Invalid);
    EXPECT_TRUE(upper->Invalid);
}

TEST_F(ShortcutRecords, NetworkAndWebTargets) {
    Link("Unc.lnk", "\\\\server\\share\\file.txt");
    auto unc = Process("Unc.lnk");
    ASSERT_TRUE(unc);
    EXPECT_FALSE(unc->Invalid) << unc->Target;

    // The validity rule itself, on the targets a link object may report for web addresses.
    IFileProbes& p = probes;
    EXPECT_TRUE(IsTargetValid("http://example.invalid/x", p));
    EXPECT_FALSE(IsTargetValid("HTTP://example.invalid/x", p));
    EXPECT_FALSE(IsTargetValid("https://example.invalid/x", p));
}

TEST_F(ShortcutRecords, CorruptShortcutIsValidWithEmptyTarget) {
    dir.WriteFile("Broken.lnk", std::string("\x4c\0\0\0garbage", 11));
    auto r = Process("Broken.lnk");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Target, "");
    EXPECT_FALSE(r->Invalid);
}

TEST_F(ShortcutRecords, FoldersMissingFilesAndOtherExtensionsGiveNoRecord) {
    dir.MakeDir("x.lnk");
    EXPECT_FALSE(Process("x.lnk"));
    EXPECT_FALSE(Process("listed-then-deleted.lnk"));
    dir.WriteFile("note.url");
    EXPECT_FALSE(Process("note.url"));
}

TEST_F(ShortcutRecords, UpperCaseExtension) {
    dir.WriteFile("t.txt");
    Link("Old.Tool.LNK", dir.Native("t.txt"));
    auto r = Process("Old.Tool.LNK");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Name, "Old.Tool");
    EXPECT_FALSE(r->Invalid);
}

TEST(FileProbes, TellFilesFromFolders) {
    TempDir dir;
    dir.WriteFile("f.txt");
    IFileProbes& p = SystemFileProbes();
    EXPECT_TRUE(p.FileExists(dir.Native("f.txt")));
    EXPECT_FALSE(p.FolderExists(dir.Native("f.txt")));
    EXPECT_TRUE(p.FolderExists(dir.Native("")));
    EXPECT_FALSE(p.FileExists(dir.Native("")));
    EXPECT_FALSE(p.FileExists(dir.Native("*.txt")));
    EXPECT_FALSE(p.FileExists(""));
    EXPECT_FALSE(p.FolderExists(""));
}

} // namespace
