#include "inventory/shortcut_item.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

namespace {

struct Records : ::testing::Test {
    FakeProbes probes;
    FakeLinkReader reader;

    std::unique_ptr<TShortcutItem> Process(const std::string& path, const std::string& target) {
        probes.files.insert(path);
        reader.targets[path] = target;
        return ProcessShortcutFile(path, reader, probes);
    }
};

TEST_F(Records, FieldsComeFromThePath) {
    probes.files.insert("C:\\Apps\\mail.exe");
    auto r = Process("C:\\Links\\Mail.lnk", "C:\\Apps\\mail.exe");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Name, "Mail");
    EXPECT_EQ(r->Location, "C:\\Links\\");
    EXPECT_EQ(r->Shortcut, "C:\\Links\\Mail.lnk");
    EXPECT_EQ(r->Target, "C:\\Apps\\mail.exe");
    EXPECT_FALSE(r->Invalid);

    auto dotted = Process("C:\\Links\\Old.Tool.LNK", "");
    ASSERT_TRUE(dotted);
    EXPECT_EQ(dotted->Name, "Old.Tool");

    auto drive = Process("D:x.lnk", "");
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->Name, "x");
    EXPECT_EQ(drive->Location, "D:");
}

TEST_F(Records, NoRecordWithoutAnExistingShortcutFile) {
    probes.folders.insert("C:\\x.lnk");
    EXPECT_FALSE(ProcessShortcutFile("C:\\x.lnk", reader, probes)); // a folder
    EXPECT_FALSE(ProcessShortcutFile("C:\\gone.lnk", reader, probes));
    probes.files.insert("C:\\a.lnk.txt");
    probes.files.insert("C:\\a.url");
    probes.files.insert("C:\\lnk");
    EXPECT_FALSE(ProcessShortcutFile("C:\\a.lnk.txt", reader, probes));
    EXPECT_FALSE(ProcessShortcutFile("C:\\a.url", reader, probes));
    EXPECT_FALSE(ProcessShortcutFile("C:\\lnk", reader, probes));
    // The link is read only for shortcut files; a reading that failed asked whether the
    // file is there.
    EXPECT_EQ(reader.read, (std::vector<std::string>{"C:\\x.lnk", "C:\\gone.lnk"}));
}

TEST_F(Records, UnprobedTargets) {
    EXPECT_TRUE(IsTargetValid("", probes));
    EXPECT_TRUE(IsTargetValid("\\\\server\\share\\gone.exe", probes));
    EXPECT_TRUE(IsTargetValid("http://example.com/", probes));
    EXPECT_TRUE(probes.probed.empty());
    // Only the lower-case web prefix is spared; the rest is probed as a path.
    EXPECT_FALSE(IsTargetValid("HTTP://example.com/", probes));
    EXPECT_FALSE(IsTargetValid("https://example.com/", probes));
    EXPECT_FALSE(IsTargetValid("\\single\\gone", probes));
    EXPECT_EQ(probes.probed.size(), 3u);
}

TEST_F(Records, ExistingFileOrFolderIsValid) {
    probes.files.insert("C:\\a.exe");
    probes.folders.insert("C:\\dir");
    EXPECT_TRUE(IsTargetValid("C:\\a.exe", probes));
    EXPECT_TRUE(IsTargetValid("C:\\dir", probes));
    EXPECT_FALSE(IsTargetValid("C:\\b.exe", probes));
}

TEST_F(Records, X86Retry) {
    probes.files.insert("C:\\Program Files\\Tool\\tool.exe");
    EXPECT_TRUE(IsTargetValid("C:\\Program Files (x86)\\Tool\\tool.exe", probes));
    // The search is case-sensitive: no retry for capitals.
    EXPECT_FALSE(IsTargetValid("C:\\Program Files (X86)\\Tool\\tool.exe", probes));
    // Once found, every occurrence goes, in any case.
    EXPECT_TRUE(IsTargetValid("C:\\Program Files (x86)\\Tool (X86)\\tool.exe", []() -> FakeProbes& {
        static FakeProbes p;
        p.files.insert("C:\\Program Files\\Tool\\tool.exe");
        return p;
    }()));
    probes.folders.insert("C:\\Apps");
    EXPECT_TRUE(IsTargetValid("C:\\Apps (x86)", probes));
    EXPECT_FALSE(IsTargetValid("C:\\Gone (x86)", probes));
}

TEST_F(Records, ExistingTargetIsNotRetried) {
    probes.files.insert("C:\\Tool (x86).exe");
    EXPECT_TRUE(IsTargetValid("C:\\Tool (x86).exe", probes));
    EXPECT_EQ(probes.probed.size(), 1u);
}

TEST_F(Records, AtMostTwoProbesPerTarget) {
    EXPECT_FALSE(IsTargetValid("C:\\a (x86)\\b", probes));
    EXPECT_EQ(probes.probed, (std::vector<std::string>{"C:\\a (x86)\\b", "C:\\a\\b"}));
}

// Only the file system saying "not there", on a volume that is present, makes a target
// invalid; whatever cannot be judged stays valid, and drives that cannot answer are not probed.
TEST_F(Records, WhatCannotBeJudgedIsValid) {
    probes.drives['Z'] = TDriveKind::Network;
    probes.drives['Q'] = TDriveKind::NoVolume;
    TValidityRule rule(probes);
    EXPECT_TRUE(rule.IsTargetValid("Z:\\Shared\\gone.doc"));
    EXPECT_TRUE(rule.IsTargetValid("z:\\Other\\gone.doc"));
    EXPECT_TRUE(rule.IsTargetValid("Q:\\Stick\\gone.txt"));
    EXPECT_TRUE(probes.probed.empty()) << "a network drive or a missing volume is not probed";

    probes.unknown = {"C:\\Locked\\app.exe", "C:\\Tool\\x.exe"};
    EXPECT_TRUE(rule.IsTargetValid("C:\\Locked\\app.exe")); // access denied, no media, ...
    EXPECT_TRUE(rule.IsTargetValid("C:\\Tool (x86)\\x.exe")) << "nor on the retry";
    EXPECT_FALSE(rule.IsTargetValid("C:\\Gone\\app.exe"));
    EXPECT_FALSE(rule.IsTargetValid("c:\\Gone (x86)\\app.exe"));
    EXPECT_EQ(probes.drivesAsked, "ZQC") << "each letter's kind is asked once per rule";

    // The retry still comes only after the target itself was found absent.
    probes.probed.clear();
    probes.files.insert("C:\\Program Files\\T\\t.exe");
    EXPECT_TRUE(rule.IsTargetValid("C:\\Program Files (x86)\\T\\t.exe"));
    EXPECT_EQ(probes.probed, (std::vector<std::string>{"C:\\Program Files (x86)\\T\\t.exe",
                                                       "C:\\Program Files\\T\\t.exe"}));
}

// Every verdict says why, from the reading of the target and the probes' answers; the
// reason travels with the record.
TEST_F(Records, EveryVerdictHasItsReason) {
    struct ShortNames : FakeProbes {
        std::string_view ShortNameMiss() override { return "short name not found under Wine"; }
    } wine;
    wine.drives = {{'Z', TDriveKind::Network}, {'Q', TDriveKind::NoVolume}};
    wine.files = {"C:\\found.exe", "C:\\Program Files\\T\\t.exe"};
    wine.unknown = {"C:\\Locked\\x.exe"};
    TValidityRule rule(wine);
    const auto why = [&rule](const std::string& target) {
        const TVerdict v = rule.Judge(target);
        return (v.invalid ? "invalid: " : "valid: ") + v.reason;
    };
    EXPECT_EQ(why("C:\\found.exe"), "valid: target found");
    EXPECT_EQ(why("C:\\Program Files (x86)\\T\\t.exe"), "valid: found without (x86)");
    EXPECT_EQ(why("c:\\gone.exe"), "invalid: target not found on C:");
    EXPECT_EQ(why("\\gone.exe"), "invalid: target not found");
    EXPECT_EQ(why("\\\\srv\\share\\x"), "valid: network share, not probed");
    EXPECT_EQ(why("Z:\\x"), "valid: network drive Z:, not probed");
    EXPECT_EQ(why("q:\\x"), "valid: drive Q: has no volume");
    EXPECT_EQ(why("http://example.com/"), "valid: web address");
    EXPECT_EQ(why("C:\\Locked\\x.exe"), "valid: no answer from the file system");
    EXPECT_EQ(why("C:\\PROGRA~1\\Gone\\x.exe"), "valid: short name not found under Wine");
    EXPECT_EQ(why(""), "valid: no file-system target");
    // Where Windows' own short names are on the disk, a missing one is missing.
    TValidityRule windows(probes);
    EXPECT_TRUE(windows.Judge("C:\\PROGRA~1\\Gone\\x.exe").invalid);

    // A reading with no target says why; a link made to a mapped drive is never probed,
    // whatever letter its ID list spells.
    const auto gap = [&rule](lnk::TargetGap g, std::string detail) {
        lnk::TargetReading r;
        r.gap = g;
        r.detail = std::move(detail);
        return rule.Judge(r).reason;
    };
    EXPECT_EQ(gap(lnk::TargetGap::Unreadable, ""), "shortcut could not be read");
    EXPECT_EQ(gap(lnk::TargetGap::UnknownVariable, "windir"),
              "environment variable %windir% unknown");
    EXPECT_EQ(gap(lnk::TargetGap::ShellFolder, "Control Panel"), "shell folder Control Panel");
    EXPECT_EQ(gap(lnk::TargetGap::UnknownFolder, "Documents"),
              "known folder Documents unknown here");
    EXPECT_EQ(gap(lnk::TargetGap::NoPlace, ""), "relative path on no Windows drive");
    lnk::TargetReading mapped{
        "C:\\gone\\x.xls", lnk::TargetSource::NetworkShare, lnk::TargetGap::None, {}};
    wine.probed.clear();
    EXPECT_EQ(rule.Judge(mapped).reason, "network share, not probed");
    EXPECT_TRUE(wine.probed.empty());

    const auto record = Process("C:\\Links\\gone.lnk", "C:\\Gone\\x.exe");
    EXPECT_EQ(record->Reason, "target not found on C:");
}

} // namespace
