#include "cli/sweep.h"
#include "finder/fake_listing.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

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

} // namespace
