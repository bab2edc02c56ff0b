// The finder over the Win32 listing (FindFirstFileA / FindNextFileA) on a real folder.
#include "finder/di_file_finder.h"
#include "support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SortedWalk(TDICustomFileFinder& f) {
    std::vector<std::string> found;
    while (f.Next())
        found.push_back(f.FileName());
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Files and folders below `root`, sorted. A walk that follows a link cycle is stopped after
// 10,000 entries (Aborted then reads true) instead of running on.
std::vector<std::string> WalkFoldersGuarded(TDIWildFileFinder& f, const std::string& root) {
    f.SetSearchFolder(root);
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    int events = 0;
    f.SetOnProgress([&events](TDICustomFileFinder& s) {
        if (++events > 10000)
            s.SetAborted(true);
    });
    return SortedWalk(f);
}

class WinFinder : public ::testing::Test {
protected:
    void SetUp() override {
        dir.WriteFile("plain.lnk");
        dir.WriteFile("hidden.lnk");
        dir.WriteFile("secret/inside.lnk");
        dir.WriteFile("ro.lnk");
        dir.MakeDir("empty");
        ASSERT_TRUE(SetFileAttributesA(dir.Native("hidden.lnk").c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(SetFileAttributesA(dir.Native("secret").c_str(),
                                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
        ASSERT_TRUE(SetFileAttributesA(dir.Native("ro.lnk").c_str(), FILE_ATTRIBUTE_READONLY));
    }
    void TearDown() override {
        SetFileAttributesA(dir.Native("ro.lnk").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    TempDir dir;
    std::string root = dir.Folder();
};

TEST_F(WinFinder, FoldersWithBackslashNoDotEntriesAndAFolderWithoutTrailingBackslash) {
    TDIWildFileFinder f;
    std::string folder = root;
    folder.pop_back();
    f.SetSearchFolder(folder);
    EXPECT_EQ(f.SearchFolder(), root);
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    int events = 0;
    f.SetOnProgress([&](TDICustomFileFinder&) { ++events; });
    EXPECT_EQ(SortedWalk(f),
              Sorted({root + "plain.lnk", root + "hidden.lnk", root + "secret\\",
                      root + "secret\\inside.lnk", root + "ro.lnk", root + "empty\\"}));
    EXPECT_EQ(events, 6); // "." and ".." of the three folders
}

TEST_F(WinFinder, AttributeFilters) {
    TDIWildFileFinder f;
    f.SetSearchFolder(root);
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    // Hidden files and folders are no results, but the hidden folder is still walked.
    f.SetHiddenFilter(afExclude);
    EXPECT_EQ(SortedWalk(f), Sorted({root + "plain.lnk", root + "secret\\inside.lnk",
                                     root + "ro.lnk", root + "empty\\"}));
    f.SetHiddenFilter(afInclude);
    EXPECT_EQ(SortedWalk(f), Sorted({root + "hidden.lnk", root + "secret\\"}));
    f.SetHiddenFilter(afIgnore);
    f.SetReadOnlyFilter(afInclude);
    EXPECT_EQ(SortedWalk(f), std::vector<std::string>{root + "ro.lnk"});
}

TEST_F(WinFinder, ScanSettingsAndUnlistableSearchFolder) {
    TDIWildFileFinder f;
    f.SetSearchFolder(root);
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    f.IncludeFilters() = {"*.lnk"};
    f.ExcludeFilters() = {"*$*"};
    EXPECT_EQ(SortedWalk(f).size(), 4u);
    f.SetSearchFolder(root + "missing");
    EXPECT_FALSE(f.Next());
}

// A folder link back to an ancestor (a cycle) is reported but not followed.
TEST_F(WinFinder, FolderLinksAreNotFollowed) {
    const std::string link = root + "secret\\up";
    if (!CreateSymbolicLinkA(link.c_str(), root.c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged create */))
        GTEST_SKIP() << "symbolic links cannot be created here (" << GetLastError() << ")";
    // Some systems (Wine among them) create the link but leave it out of the listing.
    bool listed = false;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((root + "secret\\*").c_str(), &data);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &data))
        listed = listed || std::string(data.cFileName) == "up";
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    if (!listed) {
        RemoveDirectoryA(link.c_str());
        GTEST_SKIP() << "the link is not listed here";
    }
    TDIWildFileFinder f;
    const auto found = WalkFoldersGuarded(f, root);
    EXPECT_FALSE(f.Aborted());
    EXPECT_EQ(found.size(), 7u) << ::testing::PrintToString(found);
    EXPECT_NE(std::find(found.begin(), found.end(), link + "\\"), found.end());
    RemoveDirectoryA(link.c_str());
}

} // namespace

// A tree of Unix symbolic links that loop back (made by the build, see build.cmake), reached
// through Wine's Z: drive: the walk must end and report each link once, as a folder.
TEST(WinFinderUnixLinks, LoopingLinksEnd) {
    const char* unixTree = std::getenv("SWEEPER_LINK_LOOP");
    if (!unixTree || !*unixTree)
        GTEST_SKIP() << "no Unix link tree (runs under Wine only)";
    std::string root = std::string("Z:") + unixTree;
    std::replace(root.begin(), root.end(), '/', '\\');
    TDIWildFileFinder f;
    const auto found = WalkFoldersGuarded(f, root);
    EXPECT_FALSE(f.Aborted());
    const std::string base = f.SearchFolder();
    EXPECT_EQ(found, Sorted({base + "a\\", base + "a\\b.lnk", base + "a\\up\\", base + "self\\"}));
}
