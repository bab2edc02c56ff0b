#include "finder/di_file_finder.h"
#include "finder/fake_listing.h"
#include "inventory/scan_settings.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Walk(TDICustomFileFinder& finder) {
    std::vector<std::string> found;
    while (finder.Next())
        found.push_back(finder.FileName());
    return found;
}

// The scan's settings, as both front ends set them.
void ScanSettings(TDIWildFileFinder& f, const std::string& folder) { SetUpShortcutScan(f, folder); }

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Each folder (ending in '\') comes before everything inside it, and its subtree is contiguous.
void ExpectPreOrder(const std::vector<std::string>& found) {
    for (size_t k = 0; k < found.size(); ++k) {
        const std::string& folder = found[k];
        if (folder.back() != '\\')
            continue;
        for (size_t i = 0; i < k; ++i)
            EXPECT_FALSE(StartsWith(found[i], folder)) << found[i] << " came before " << folder;
        size_t end = k + 1;
        while (end < found.size() && StartsWith(found[end], folder))
            ++end;
        for (size_t i = end; i < found.size(); ++i)
            EXPECT_FALSE(StartsWith(found[i], folder)) << found[i] << " is apart from " << folder;
    }
}

// R\ a.txt Sub\ b.lnk;  R\Sub\ c.lnk Deep\;  R\Sub\Deep\ d.lnk  (with "." and ".." each)
void FakeTree(FakeListing& l) {
    l.folders["R\\"] = {{".", kAttrDirectory}, {"..", kAttrDirectory}};
    l.File("R\\", "a.txt");
    l.Folder("R\\", "Sub");
    l.File("R\\", "b.lnk");
    l.File("R\\Sub\\", "c.lnk");
    l.Folder("R\\Sub\\", "Deep");
    l.File("R\\Sub\\Deep\\", "d.lnk");
}

} // namespace

// ---- exact behaviour against a listing double ---------------------------------------------

TEST(FinderWalk, ResultsAndProgressEventsOfEachCall) {
    FakeListing l;
    FakeTree(l);
    TDIWildFileFinder f(l);
    ScanSettings(f, "R");
    EXPECT_EQ(f.SearchFolder(), "R\\");
    int events = 0;
    f.SetOnProgress([&](TDICustomFileFinder&) { ++events; });

    // ".", "..", a.txt, Sub (entered), and Sub's "." and ".." are examined first.
    ASSERT_TRUE(f.Next());
    EXPECT_EQ(f.FileName(), "R\\Sub\\c.lnk");
    EXPECT_EQ(events, 6);
    EXPECT_EQ(f.SearchFolder(), "R\\Sub\\"); // the folder being read
    ASSERT_TRUE(f.Next());
    EXPECT_EQ(f.FileName(), "R\\Sub\\Deep\\d.lnk");
    EXPECT_EQ(events, 9);
    // Exhausted listings fire nothing.
    ASSERT_TRUE(f.Next());
    EXPECT_EQ(f.FileName(), "R\\b.lnk");
    EXPECT_EQ(events, 9);
    EXPECT_FALSE(f.Next());
    EXPECT_EQ(events, 9);
    EXPECT_EQ(f.SearchFolder(), "R\\");
    EXPECT_EQ(l.open, 0);
}

TEST(FinderWalk, FoldersAndRecursion) {
    FakeListing l;
    FakeTree(l);
    TDIWildFileFinder f(l);
    f.SetSearchFolder("R\\");
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    EXPECT_EQ(Walk(f),
              (std::vector<std::string>{"R\\a.txt", "R\\Sub\\", "R\\Sub\\c.lnk", "R\\Sub\\Deep\\",
                                        "R\\Sub\\Deep\\d.lnk", "R\\b.lnk"}));
    // Without Recurse the folder is reported, with its backslash, but not entered.
    f.SetRecurse(false);
    l.started.clear();
    EXPECT_EQ(Walk(f), (std::vector<std::string>{"R\\a.txt", "R\\Sub\\", "R\\b.lnk"}));
    EXPECT_EQ(l.started, std::vector<std::string>{"R\\*"});
    // Folders only.
    f.SetRecurse(true);
    f.SetFileFilter(false);
    EXPECT_EQ(Walk(f), (std::vector<std::string>{"R\\Sub\\", "R\\Sub\\Deep\\"}));
}

TEST(FinderWalk, WithNoCandidatesTheWholeTreeIsStillWalked) {
    FakeListing l;
    FakeTree(l);
    TDIWildFileFinder f(l);
    f.SetSearchFolder("R");
    f.SetRecurse(true);
    f.SetFileFilter(false);
    int events = 0;
    f.SetOnProgress([&](TDICustomFileFinder&) { ++events; });
    EXPECT_FALSE(f.Next());
    EXPECT_EQ(events, 12); // every entry of the three folders
}

TEST(FinderWalk, LinkedFoldersAreReportedButNotEntered) {
    FakeListing l;
    l.File("R\\", "a.lnk");
    l.folders["R\\"].push_back({"Loop", kAttrDirectory | kAttrReparsePoint, kReparseTagMountPoint});
    l.folders["R\\Loop\\"] = {{"never.lnk", kAttrArchive}};
    // A cloud-files placeholder: a Microsoft data tag, no link, entered.
    l.folders["R\\"].push_back({"Data", kAttrDirectory | kAttrReparsePoint, 0x9000001Au});
    l.File("R\\Data\\", "b.lnk");
    // Wine's Unix symbolic link: tag 1, not one of Microsoft's, taken for a link.
    l.folders["R\\"].push_back({"Up", kAttrDirectory | kAttrReparsePoint, 1u});
    l.folders["R\\Up\\"] = {{"never.lnk", kAttrArchive}};
    TDIWildFileFinder f(l);
    f.SetSearchFolder("R");
    f.SetRecurse(true);
    f.SetFolderFilter(true);
    EXPECT_EQ(Walk(f), (std::vector<std::string>{"R\\a.lnk", "R\\Loop\\", "R\\Data\\",
                                                 "R\\Data\\b.lnk", "R\\Up\\"}));
}

// ---- real trees ---------------------------------------------------------------------------

class FinderOnDisk : public ::testing::Test {
protected:
    TempDir dir;
    std::string root = dir.Folder();
};

TEST_F(FinderOnDisk, ScanSettingsYieldEveryShortcutOnce) {
    dir.WriteFile("one.lnk");
    dir.WriteFile("TWO.LNK");
    dir.WriteFile("notes.txt");
    dir.WriteFile("sub/three.Lnk");
    dir.WriteFile("sub/deep/er/four.lnk");
    dir.WriteFile("sub/deep/four.lnk.bak");
    dir.MakeDir("folder.lnk");     // a folder path ends in '\': never a result
    dir.WriteFile(".../five.lnk"); // "..." and ".h" are ordinary folders
    dir.WriteFile(".h/six.lnk");
    TDIWildFileFinder f;
    ScanSettings(f, root);
    EXPECT_EQ(Sorted(Walk(f)), Sorted({root + "one.lnk", root + "TWO.LNK", root + "sub\\three.Lnk",
                                       root + "sub\\deep\\er\\four.lnk", root + "...\\five.lnk",
                                       root + ".h\\six.lnk"}));
}

TEST_F(FinderOnDisk, EveryEntryOnceInDepthFirstPreOrder) {
    const std::vector<std::string> files = {"a", "b/c", "b/d/e", "b/d/f", "b/g", "h/i", ".j/k"};
    for (const auto& rel : files)
        dir.WriteFile(rel);
    dir.MakeDir("b/empty");
    TDIWildFileFinder f;
    f.SetSearchFolder(root);
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    const auto found = Walk(f);
    ExpectPreOrder(found);
    std::vector<std::string> expected;
    for (const auto& rel : files)
        expected.push_back(dir.Native(rel));
    for (const char* folder : {"b", "b/d", "b/empty", "h", ".j"})
        expected.push_back(dir.Native(folder) + "\\");
    EXPECT_EQ(Sorted(found), Sorted(expected)); // no ".", "..", nor the search folder itself

    // A finished walk starts again from the search folder.
    EXPECT_EQ(f.SearchFolder(), root);
    EXPECT_EQ(Walk(f), found);
}

TEST_F(FinderOnDisk, DollarExclude) {
    dir.WriteFile("a$/inner.lnk");
    dir.WriteFile("a$/deeper/more.lnk");
    dir.WriteFile("b$.lnk");
    dir.WriteFile("ok.lnk");
    dir.WriteFile("c/$x.lnk");
    // The Linux desktop trash, which holds the shortcuts moved there already.
    dir.WriteFile("home/.local/share/Trash/files/binned.lnk");
    dir.WriteFile(".Trash-1000/files/binned too.lnk");
    TDIWildFileFinder f;
    ScanSettings(f, root);
    std::vector<std::string> examined;
    f.SetOnProgress([&](TDICustomFileFinder& s) { examined.push_back(s.FileName()); });
    EXPECT_EQ(Walk(f), std::vector<std::string>{root + "ok.lnk"});
    // The folder with '$' was entered and its contents rejected one by one.
    EXPECT_NE(std::find(examined.begin(), examined.end(), root + "a$\\deeper\\more.lnk"),
              examined.end());

    // A '$' in the search folder's own path excludes nothing: the rule is for the tree below.
    dir.WriteFile("x$y/z/w.lnk");
    dir.WriteFile("x$y/$Recycle.Bin/v.lnk");
    ScanSettings(f, dir.Native("x$y"));
    EXPECT_EQ(Walk(f), std::vector<std::string>{dir.Native("x$y/z/w.lnk")});
}

TEST_F(FinderOnDisk, UnlistableFoldersAreSkippedSilently) {
    dir.WriteFile("a/1.lnk");
    dir.WriteFile("locked/2.lnk");
    dir.WriteFile("z/3.lnk");
    dir.WriteFile("4.lnk");
    RefusingListing l;
    l.refuse.insert(root + "locked\\*");
    TDIWildFileFinder f(l);
    ScanSettings(f, root);
    EXPECT_EQ(Sorted(Walk(f)), Sorted({root + "a\\1.lnk", root + "z\\3.lnk", root + "4.lnk"}));

    // The search folder itself: false at once, without a progress event.
    int events = 0;
    f.SetOnProgress([&](TDICustomFileFinder&) { ++events; });
    ScanSettings(f, dir.Native("missing"));
    EXPECT_FALSE(f.Next());
    ScanSettings(f, dir.Native("4.lnk")); // not a folder
    EXPECT_FALSE(f.Next());
    EXPECT_EQ(events, 0);
    EXPECT_EQ(l.open, 0);
}

class FinderInterrupted : public FinderOnDisk {
protected:
    void SetUp() override {
        for (const char* rel : {"1.lnk", "a/2.lnk", "a/x.txt", "a/b/3.lnk", "a/b/c/4.lnk",
                                "a/5.lnk", "d/6.lnk", "d/e/y.txt", "7.lnk"})
            dir.WriteFile(rel);
        TDIWildFileFinder plain;
        ScanSettings(plain, root);
        plain.SetOnProgress([&](TDICustomFileFinder&) { ++events; });
        expected = Walk(plain);
        ASSERT_EQ(expected.size(), 7u);
    }
    std::vector<std::string> expected;
    int events = 0;
};

TEST_F(FinderInterrupted, AbortFromTheHandlerSuspendsAndTheNextCallResumes) {
    TDIWildFileFinder f;
    ScanSettings(f, root);
    int seen = 0;
    f.SetOnProgress([&](TDICustomFileFinder& s) {
        ++seen;
        s.SetAborted(true);
    });
    std::vector<std::string> found;
    int stops = 0;
    for (;;) {
        if (f.Next())
            found.push_back(f.FileName());
        else if (f.Aborted())
            ++stops;
        else
            break;
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(seen, events);  // each entry examined exactly once
    EXPECT_EQ(stops, events); // one stop per event

    // A request made between two calls is lost.
    f.SetOnProgress(nullptr);
    f.SetAborted(true);
    ASSERT_TRUE(f.Next());
    EXPECT_EQ(f.FileName(), expected.front());
}

TEST_F(FinderInterrupted, AnExceptionFromTheHandlerLeavesTheWalkResumable) {
    TDIWildFileFinder f;
    ScanSettings(f, root);
    int seen = 0;
    f.SetOnProgress([&](TDICustomFileFinder&) {
        if (++seen % 3 == 0)
            throw std::runtime_error("handler");
    });
    std::vector<std::string> found;
    int thrown = 0;
    for (;;) {
        try {
            if (!f.Next())
                break;
            found.push_back(f.FileName());
        } catch (const std::runtime_error&) {
            ++thrown;
        }
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(seen, events);
    EXPECT_EQ(thrown, events / 3);
}

TEST_F(FinderInterrupted, WritingSearchFolderFromTheHandlerEndsTheRunningCall) {
    TempDir other;
    other.WriteFile("q/only.lnk");
    RefusingListing l;
    TDIWildFileFinder f(l);
    ScanSettings(f, root);
    int seen = 0, openBefore = 0;
    f.SetOnProgress([&](TDICustomFileFinder& s) {
        if (++seen == 6) {
            openBefore = l.open;
            s.SetSearchFolder(other.Folder());
        }
    });
    ASSERT_TRUE(f.Next());
    bool more = true;
    while (more && seen < 6)
        more = f.Next();
    EXPECT_FALSE(more);
    EXPECT_EQ(seen, 6); // nothing examined after the write
    EXPECT_GT(openBefore, 0);
    EXPECT_EQ(l.open, 0);
    EXPECT_EQ(f.SearchFolder(), other.Folder());
    f.SetOnProgress(nullptr);
    EXPECT_EQ(Walk(f), std::vector<std::string>{other.Native("q/only.lnk")});
}

TEST_F(FinderOnDisk, OpenListingsFollowTheDepthOnly) {
    std::string chain;
    for (int k = 0; k < 30; ++k)
        chain += "d/";
    dir.WriteFile(chain + "leaf.lnk");
    for (int k = 0; k < 300; ++k)
        dir.WriteFile("wide/" + std::to_string(k) + ".lnk");
    RefusingListing l;
    {
        TDIWildFileFinder f(l);
        ScanSettings(f, root);
        EXPECT_EQ(Walk(f).size(), 301u);
        EXPECT_EQ(l.maxOpen, 31); // the search folder and 30 levels
        EXPECT_EQ(l.open, 0);
        // A finder destroyed in the middle of a walk closes what it holds.
        ScanSettings(f, root);
        ASSERT_TRUE(f.Next());
        EXPECT_GT(l.open, 0);
    }
    EXPECT_EQ(l.open, 0);
}

TEST_F(FinderOnDisk, EmptySearchFolderWalksTheCurrentFolder) {
    dir.WriteFile("a.lnk");
    dir.WriteFile("s/b.lnk");
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    TDIWildFileFinder f;
    ScanSettings(f, "");
    EXPECT_EQ(f.SearchFolder(), "");
    const auto found = Walk(f);
    fs::current_path(saved);
    EXPECT_EQ(Sorted(found), Sorted({"a.lnk", "s\\b.lnk"}));
}

TEST_F(FinderOnDisk, LinkCyclesEndAndEverythingElseIsReported) {
    dir.WriteFile("top/a.lnk");
    dir.WriteFile("top/sub/b.lnk");
    dir.WriteFile("target.lnk");
    fs::create_directory_symlink(dir.Path() / "top", dir.Path() / "top/sub/up");   // cycle
    fs::create_directory_symlink(dir.Path() / "top/sub", dir.Path() / "top/side"); // and back
    fs::create_directory_symlink(dir.Path() / "top/side", dir.Path() / "top/sub/again");
    fs::create_symlink(dir.Path() / "target.lnk", dir.Path() / "top/file.lnk"); // to a file
    fs::create_symlink(dir.Path() / "nowhere", dir.Path() / "top/dangling.lnk");
    TDIWildFileFinder f;
    ScanSettings(f, root);
    f.IncludeFilters().clear();
    const auto found = Walk(f);
    EXPECT_EQ(
        Sorted(found),
        Sorted({root + "target.lnk", root + "top\\", root + "top\\a.lnk", root + "top\\sub\\",
                root + "top\\sub\\b.lnk", root + "top\\sub\\up\\", root + "top\\side\\",
                root + "top\\sub\\again\\", root + "top\\file.lnk", root + "top\\dangling.lnk"}));
}

TEST_F(FinderOnDisk, AttributeFilters) {
    dir.WriteFile("plain.lnk");
    dir.WriteFile(".hidden.lnk");
    dir.WriteFile(".hfolder/inside.lnk");
    const fs::path ro = dir.WriteFile("ro.lnk");
    fs::permissions(ro, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    TDIWildFileFinder f;
    ScanSettings(f, root);
    f.IncludeFilters().clear();
    // Hidden entries are rejected as candidates, but hidden folders are still entered.
    f.SetHiddenFilter(afExclude);
    EXPECT_EQ(Sorted(Walk(f)),
              Sorted({root + "plain.lnk", root + "ro.lnk", root + ".hfolder\\inside.lnk"}));
    f.SetHiddenFilter(afInclude);
    EXPECT_EQ(Sorted(Walk(f)), Sorted({root + ".hidden.lnk", root + ".hfolder\\"}));
    f.SetHiddenFilter(afIgnore);
    f.SetReadOnlyFilter(afInclude);
    EXPECT_EQ(Walk(f), std::vector<std::string>{root + "ro.lnk"});
    f.SetReadOnlyFilter(afExclude);
    f.SetArchiveFilter(afInclude); // files have it, folders do not
    EXPECT_EQ(Sorted(Walk(f)),
              Sorted({root + "plain.lnk", root + ".hidden.lnk", root + ".hfolder\\inside.lnk"}));
}
