// The restorable re-pointing of a shortcut file: the new file takes the name only after it read
// back right and the original went to the recycle bin; a failure at any step leaves the
// original in place and no scratch file behind.
#include "inventory/shortcut_repair.h"

#include "lnk/lnk_builder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Buffer = std::vector<unsigned char>;

// Files in memory and a recycle bin; `failAt` names the step that fails.
class FakeRepairFiles : public IRepairFiles {
public:
    std::map<std::string, Buffer> files, bin;
    std::string failAt;       // "create", "readback", "confirm", "flush", "recycle", "rename"
    std::string keptByTheBin; // the one file the bin refuses

    bool Read(const std::string& path, Buffer& bytes) override {
        const auto it = files.find(path);
        if (it == files.end())
            return false;
        bytes = it->second;
        if (failAt == "readback" && path == RepairScratchPath("C:\\l\\a.lnk"))
            bytes.back() ^= 1;
        return true;
    }
    bool Create(const std::string& path, const Buffer& bytes, std::string& reason) override {
        if (failAt == "create" || files.count(path)) {
            reason = "disk full";
            return false;
        }
        files[path] = bytes;
        return true;
    }
    bool Flush(const std::vector<std::string>&, std::string& reason) override {
        reason = "I/O error";
        return failAt != "flush";
    }
    std::vector<std::string> Recycle(const std::vector<std::string>& paths) override {
        std::vector<std::string> refusals;
        for (const std::string& path : paths) {
            refusals.push_back(failAt == "recycle" || path == keptByTheBin ? "no recycle bin" : "");
            if (refusals.back().empty()) {
                bin[path] = files[path];
                files.erase(path);
            }
        }
        return refusals;
    }
    bool Rename(const std::string& from, const std::string& to, std::string& reason) override {
        if (failAt == "rename") {
            reason = "denied";
            return false;
        }
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void Remove(const std::string& path) override { files.erase(path); }
    bool Confirm(const std::string&, const std::string&) override { return failAt != "confirm"; }
};

Buffer Shortcut() {
    lnkb::Link l;
    l.linkInfo = lnkb::LinkInfo({"C:\\Old\\app.exe", "", "", false, {}, {}, {}});
    l.strings = {u"comment"};
    return l.Build();
}

lnk::NewTarget Target() {
    lnk::NewTarget t;
    t.path = "C:\\New\\app.exe";
    return t;
}

} // namespace

TEST(ShortcutRepair, NewFileInPlaceOriginalInTheBin) {
    FakeRepairFiles fs;
    const std::string link = "C:\\l\\a.lnk";
    fs.files[link] = Shortcut();
    const TRepairResult r = RepairShortcutFile(fs, link, Target(), {link, {}, {}});
    ASSERT_TRUE(r.repaired) << r.reason;
    EXPECT_EQ(fs.bin[link], Shortcut()); // restoring it brings back the exact old file
    EXPECT_EQ(lnk::ReadShortcutTarget(fs.files[link].data(), fs.files[link].size()),
              "C:\\New\\app.exe");
    EXPECT_EQ(fs.files.size(), 1u);
}

TEST(ShortcutRepair, EachFailingStepLeavesTheOriginal) {
    const std::string link = "C:\\l\\a.lnk";
    for (const char* step : {"create", "readback", "confirm", "flush", "recycle"}) {
        FakeRepairFiles fs;
        fs.files[link] = Shortcut();
        fs.failAt = step;
        const TRepairResult r = RepairShortcutFile(fs, link, Target(), {link, {}, {}});
        EXPECT_FALSE(r.repaired) << step;
        EXPECT_NE(r.reason, "") << step;
        EXPECT_EQ(fs.files.size(), 1u) << step; // no scratch file left
        EXPECT_EQ(fs.files[link], Shortcut()) << step;
        EXPECT_TRUE(fs.bin.empty()) << step;
    }
    // The last step: the original is safe in the bin, the new file beside its name, and said.
    FakeRepairFiles fs;
    fs.files[link] = Shortcut();
    fs.failAt = "rename";
    const TRepairResult r = RepairShortcutFile(fs, link, Target(), {link, {}, {}});
    EXPECT_FALSE(r.repaired);
    EXPECT_EQ(fs.bin[link], Shortcut());
    EXPECT_NE(r.reason.find(RepairScratchPath(link)), std::string::npos);
    // A file that is no shortcut is refused before anything is written.
    FakeRepairFiles junk;
    junk.files[link] = Buffer(100, 7);
    EXPECT_FALSE(RepairShortcutFile(junk, link, Target(), {link, {}, {}}).repaired);
    EXPECT_EQ(junk.files.size(), 1u);
}

// A batch: each shortcut fares on its own, the others re-pointed around one that fails.
TEST(ShortcutRepair, ABatchFailsOnlyTheShortcutsThatFail) {
    FakeRepairFiles fs;
    std::vector<TRepairJob> jobs;
    for (const char* name : {"C:\\l\\1.lnk", "C:\\l\\junk.lnk", "C:\\l\\3.lnk", "C:\\l\\4.lnk"}) {
        fs.files[name] = Shortcut();
        jobs.push_back({name, Target(), {name, {}, {}}});
    }
    fs.files["C:\\l\\junk.lnk"] = Buffer(100, 7);
    fs.keptByTheBin = "C:\\l\\3.lnk";
    const std::vector<TRepairResult> r = RepairShortcutFiles(fs, jobs);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_TRUE(r[0].repaired && r[3].repaired);
    EXPECT_FALSE(r[1].repaired || r[2].repaired);
    EXPECT_NE(r[2].reason.find("no recycle bin"), std::string::npos);
    EXPECT_EQ(fs.files.size(), 4u); // no scratch file left
    EXPECT_EQ(fs.files["C:\\l\\3.lnk"], Shortcut());
    EXPECT_EQ(fs.bin.size(), 2u);
}
