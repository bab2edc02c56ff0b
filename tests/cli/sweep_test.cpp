#include "cli/sweep.h"
#include "finder/fake_listing.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// A tree of shortcuts with one folder that cannot be read, walked as two folders.
struct Tree {
    FakeListing listing;
    FakeLinkReader reader;
    FakeProbes probes;
    Tree() {
        listing.Folder("R\\", "a");
        listing.File("R\\a\\", "ok.lnk");
        listing.File("R\\a\\", "gone.lnk");
        listing.File("R\\a\\", "skip$.lnk");
        listing.File("R\\a\\", "note.txt");
        listing.Folder("R\\", "locked");
        listing.folders.erase("R\\locked\\"); // listed by its parent, unreadable itself
        listing.failures["R\\locked\\"] = "Permission denied";
        listing.Folder("S\\", "b");
        listing.File("S\\b\\", "late.lnk");
        for (const char* f :
             {"R\\a\\ok.lnk", "R\\a\\gone.lnk", "R\\a\\skip$.lnk", "S\\b\\late.lnk"})
            probes.files.insert(f);
        reader.targets = {{"R\\a\\ok.lnk", "C:\\ok.exe"},
                          {"R\\a\\gone.lnk", "C:\\gone.exe"},
                          {"S\\b\\late.lnk", "C:\\gone.exe"}};
        probes.files.insert("C:\\ok.exe");
        listing.folders["R\\"].insert(listing.folders["R\\"].begin(), {".", kAttrDirectory});
        listing.folders["S\\"].insert(listing.folders["S\\"].begin(), {".", kAttrDirectory});
    }
};

TEST(Sweep, CountsWhatItMetAndSkipsFoldersThatCannotBeRead) {
    Tree t;
    TSweep sweep(t.listing, t.reader, t.probes);
    std::vector<std::string> found;
    sweep.OnRecord = [&](const TShortcutItem& r) {
        found.push_back(r.Name + (r.Invalid ? "!" : ""));
    };
    std::vector<std::string> errors;
    sweep.OnFolderError = [&](const std::string& folder, const std::string& reason) {
        errors.push_back(folder + ": " + reason);
    };
    EXPECT_TRUE(sweep.Walk("R"));
    EXPECT_TRUE(sweep.Walk("S\\"));
    EXPECT_EQ(found, (std::vector<std::string>{"ok", "gone!", "late!"}));
    EXPECT_EQ(errors, std::vector<std::string>{"R\\locked\\: Permission denied"});
    // A folder given that cannot be read at all says so; one walked before adds nothing;
    // a shortcut given by name is judged unless a walk met it.
    t.listing.failures["T\\"] = "Permission denied";
    EXPECT_FALSE(sweep.Walk("T"));
    sweep.Judge("R\\a\\ok.lnk");
    t.probes.files.insert("U\\alone.lnk");
    sweep.Judge("U\\alone.lnk");
    sweep.Judge("U\\alone.lnk");
    EXPECT_EQ(found, (std::vector<std::string>{"ok", "gone!", "late!", "alone"}));
    const TSweepCounts& c = sweep.Counts();
    EXPECT_EQ(c.folders, 6u); // R, a, locked, S, b, T
    EXPECT_EQ(c.skipped, 2u);
    EXPECT_EQ(c.entries, 8u); // a, 4 in a, locked, b, late.lnk
    EXPECT_EQ(c.shortcuts, 4u);
    EXPECT_EQ(c.invalid, 2u);
    EXPECT_EQ(t.probes.drivesAsked, "C"); // once for the whole run
    EXPECT_FALSE(sweep.Stopped());
}

TEST(Sweep, AStopEndsThisWalkAndEveryLaterOne) {
    Tree t;
    TSweep sweep(t.listing, t.reader, t.probes);
    int progress = 0;
    std::vector<std::string> found;
    sweep.OnProgress = [&](const TSweepCounts&) { ++progress; };
    sweep.StopRequested = [&] { return found.size() == 1; };
    sweep.OnRecord = [&](const TShortcutItem& r) { found.push_back(r.Name); };
    sweep.Walk("R");
    sweep.Walk("S");
    EXPECT_TRUE(sweep.Stopped());
    EXPECT_EQ(found, std::vector<std::string>{"ok"});
    EXPECT_GT(progress, 0);
}

// A deeper tree: R\top.lnk, R\a\one.lnk, R\a\Cache\two.lnk, R\a\b\three.lnk,
// R\Cache\four.lnk, each valid.
struct Deep {
    FakeListing listing;
    FakeLinkReader reader;
    FakeProbes probes;
    Deep() {
        listing.folders["R\\"] = {{".", kAttrDirectory}};
        for (const char* f : {"R\\top.lnk", "R\\a\\one.lnk", "R\\a\\Cache\\two.lnk",
                              "R\\a\\b\\three.lnk", "R\\Cache\\four.lnk"}) {
            const std::string path = f;
            std::string folder = "R\\";
            for (std::size_t at = 2, next; (next = path.find('\\', at)) != std::string::npos;
                 at = next + 1) {
                const std::string name = path.substr(at, next - at);
                if (!listing.folders.count(folder + name + "\\"))
                    listing.Folder(folder, name);
                folder += name + "\\";
            }
            listing.File(folder, path.substr(folder.size()));
            probes.files.insert(path);
            reader.targets[path] = "C:\\ok.exe";
        }
        probes.files.insert("C:\\ok.exe");
    }
    std::vector<std::string> Found(const TWalkLimits& limits,
                                   std::function<bool(const std::string&)> ignore = {}) {
        TSweep sweep(listing, reader, probes, limits);
        sweep.Ignore = std::move(ignore);
        std::vector<std::string> found;
        sweep.OnRecord = [&](const TShortcutItem& r) { found.push_back(r.Name); };
        listing.started.clear();
        sweep.Walk("R");
        std::sort(found.begin(), found.end());
        return found;
    }
};

using Names = std::vector<std::string>;

TEST(Sweep, DepthAndExcludesLeaveOutWhatTheyNameAndNeverListTheFoldersLeftOut) {
    Deep t;
    EXPECT_EQ(t.Found({}), (Names{"four", "one", "three", "top", "two"}));
    EXPECT_EQ(t.Found({1, {}}), (Names{"top"}));
    EXPECT_EQ(t.listing.started, (Names{"R\\*"})); // a and Cache are not listed
    EXPECT_EQ(t.Found({2, {}}), (Names{"four", "one", "top"}));
    EXPECT_EQ(t.Found({0, {}}), Names{});
    // A name at any level, without regard to case; a folder matched is not entered.
    EXPECT_EQ(t.Found({-1, {"cache"}}), (Names{"one", "three", "top"}));
    EXPECT_EQ(std::count(t.listing.started.begin(), t.listing.started.end(), "R\\a\\Cache\\*"), 0);
    EXPECT_EQ(t.Found({-1, {"*.LNK"}}), Names{});
    EXPECT_EQ(t.Found({-1, {"t?o.lnk", "b"}}), (Names{"four", "one", "top"}));
    // A path below the walked folder, name by name: only R\a\Cache, not R\Cache.
    EXPECT_EQ(t.Found({-1, {"a/Cache"}}), (Names{"four", "one", "three", "top"}));
    EXPECT_EQ(t.Found({-1, {"/a/*/"}}), (Names{"four", "top"})); // a's folders and files
    EXPECT_EQ(t.Found({-1, {"*/one.lnk"}}), (Names{"four", "three", "top", "two"}));
    // The walked folder itself is never matched.
    EXPECT_EQ(t.Found({-1, {"R"}}).size(), 5u);
    // A file the caller ignores is neither read nor counted.
    EXPECT_EQ(t.Found({}, [](const std::string& p) { return p == "R\\a\\one.lnk"; }),
              (Names{"four", "three", "top", "two"}));
}

} // namespace
