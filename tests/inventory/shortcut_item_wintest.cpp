// Records built from real shortcuts written by the shell link object, probed on the real
// file system.
#include "base/handles.h"
#include "inventory/inventory.h"
#include "inventory/shortcut_item.h"
#include "lnk/link_reader.h"
#include "lnk/lnk_builder.h"
#include "platform/fs_probes.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

class ShortcutRecords : public ::testing::Test {
protected:
    TComApartment com;
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

// The system's probes, with every path probe recorded.
class CountingProbes final : public IFileProbes {
public:
    std::vector<std::string> probed;
    bool FileExists(const std::string& path) override {
        return SystemFileProbes().FileExists(path);
    }
    TPathState ProbePath(const std::string& path) override {
        probed.push_back(path);
        return SystemFileProbes().ProbePath(path);
    }
    TDriveKind DriveKind(char letter) override { return SystemFileProbes().DriveKind(letter); }
};

// Writes a shortcut that holds `target` as its LinkInfo path, as Windows writes one for a
// target it cannot look at.
std::string WriteLinkInfoShortcut(const TempDir& dir, const std::string& name,
                                  const std::string& target) {
    lnkb::Link link;
    link.linkInfo = lnkb::LinkInfo({target, "", "", false, {}, {}, {}});
    const lnkb::Bytes bytes = link.Build();
    std::ofstream(dir.Path() / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return dir.Native(name);
}

// An ASCII path in the form the wide calls take at any length.
std::wstring LongForm(const std::string& path) {
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

// Against the real drives of the test prefix: a letter with no volume and the prefix's
// network drive N: (tools/wine-run) are never probed and stay valid; a target longer than
// MAX_PATH is probed whole; a target gone from a present drive is invalid and starts checked.
TEST(ValidityOnTheSystem, OnlyWhatThePresentFileSystemDeniesIsInvalid) {
    TComApartment com;
    TempDir dir;
    auto reader = CreateSystemLinkReader();
    CountingProbes probes;
    TValidityRule rule(probes);

    const DWORD used = ::GetLogicalDrives();
    char free = 0;
    for (char c = 'Y'; c >= 'D' && !free; --c)
        if (c != 'N' && !(used & (1u << (c - 'A'))))
            free = c;
    ASSERT_NE(free, 0);
    ASSERT_EQ(SystemFileProbes().DriveKind(free), TDriveKind::NoVolume);
    ASSERT_EQ(SystemFileProbes().DriveKind('N'), TDriveKind::Network)
        << "the test prefix has N: as a network drive";
    ::CreateDirectoryA("N:\\Shared", nullptr);

    // A folder path longer than MAX_PATH, with a file in it.
    std::string deep = dir.Native("long");
    ::CreateDirectoryW(LongForm(deep).c_str(), nullptr);
    while (deep.size() < 330) {
        deep += "\\a folder name of forty characters......";
        ASSERT_TRUE(::CreateDirectoryW(LongForm(deep).c_str(), nullptr)) << deep.size();
    }
    const std::string longFile = deep + "\\tool.exe";
    ASSERT_TRUE(TKernelHandle(::CreateFileW(LongForm(longFile).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, 0, nullptr)));

    struct Case {
        std::string name, target;
        bool invalid, probed;
    } cases[] = {
        {"stick.lnk", std::string(1, free) + ":\\Stick\\gone.txt", false, false},
        {"share.lnk", "N:\\Shared\\gone.doc", false, false},
        {"long.lnk", longFile, false, true},
        {"longgone.lnk", deep + "\\gone.exe", true, true},
        {"gone.lnk", dir.Native("gone.exe"), true, true},
    };
    TReportListModel rows;
    TInventory inventory(rows);
    for (const Case& c : cases) {
        const std::string lnk = WriteLinkInfoShortcut(dir, c.name, c.target);
        probes.probed.clear();
        auto record = ProcessShortcutFile(lnk, *reader, rule);
        ASSERT_TRUE(record) << c.name;
        EXPECT_EQ(record->Target, c.target) << c.name;
        EXPECT_EQ(record->Invalid, c.invalid) << c.name;
        EXPECT_EQ(!probes.probed.empty(), c.probed) << c.name;
        inventory.AddShortcutItem(std::move(record));
        EXPECT_EQ(rows.Checked(rows.Count() - 1), c.invalid) << c.name;
    }

    ::DeleteFileW(LongForm(longFile).c_str());
    for (std::string at = deep; at.size() > dir.Native("").size(); at.resize(at.rfind('\\')))
        ::RemoveDirectoryW(LongForm(at).c_str());
    ::RemoveDirectoryA("N:\\Shared");
}

TEST(FileProbes, TellFilesFromFolders) {
    TempDir dir;
    dir.WriteFile("f.txt");
    IFileProbes& p = SystemFileProbes();
    EXPECT_TRUE(p.FileExists(dir.Native("f.txt")));
    EXPECT_FALSE(p.FileExists(dir.Native("")));
    EXPECT_FALSE(p.FileExists(dir.Native("*.txt")));
    EXPECT_FALSE(p.FileExists(""));
    EXPECT_EQ(p.ProbePath(dir.Native("f.txt")), TPathState::Exists);
    EXPECT_EQ(p.ProbePath(dir.Native("")), TPathState::Exists);
    EXPECT_EQ(p.ProbePath(dir.Native("gone.txt")), TPathState::Absent);
    EXPECT_EQ(p.ProbePath(dir.Native("gone/deeper/x.txt")), TPathState::Absent);
    EXPECT_EQ(p.ProbePath(dir.Native("f.txt/below")), TPathState::Absent);
    EXPECT_EQ(p.ProbePath(dir.Native("*.txt")), TPathState::Absent);
    EXPECT_EQ(p.DriveKind('C'), TDriveKind::Local);
}

} // namespace
