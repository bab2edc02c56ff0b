// Where a moved target went: each kind of evidence, the search's order and bounds, one listing
// per folder for many shortcuts, and a search that is stopped.
#include "inventory/moved_target.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A file system of Windows paths: files with size and times, folders implied by them; every
// listing is counted.
class FakeSearchFs : public ISearchFileSystem {
public:
    std::map<std::string, TSearchEntry> files; // full path -> details
    std::vector<TSearchVolume> volumes{{'C', 1, "System", 3}};
    std::map<std::string, int> listings;
    std::string objectIdPath; // what FindByObjectId answers, "" for nothing

    void Add(const std::string& path, std::uint64_t size = 100,
             std::uint64_t written = 5000000000ull) {
        TSearchEntry e;
        e.size = size;
        e.written = written;
        files[path] = e;
    }
    bool List(const std::string& path, std::vector<TSearchEntry>& entries) override {
        ++listings[path];
        const std::string folder = path.back() == '\\' ? path : path + '\\';
        std::map<std::string, bool> names;
        for (const auto& [path, e] : files) {
            if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0)
                continue;
            const std::string rest = path.substr(folder.size());
            const std::size_t cut = rest.find('\\');
            names[rest.substr(0, cut)] |= cut != std::string::npos;
        }
        for (const auto& [name, folderFlag] : names) {
            TSearchEntry e;
            e.name = name;
            e.folder = folderFlag;
            entries.push_back(e);
        }
        return true;
    }
    bool Details(const std::string& path, TSearchEntry& entry) override {
        const auto it = files.find(path);
        if (it == files.end())
            return false;
        entry.size = it->second.size;
        entry.written = it->second.written;
        return true;
    }
    std::vector<TSearchVolume> Volumes() override { return volumes; }
    bool FindByObjectId(const std::array<unsigned char, 16>&, const std::array<unsigned char, 16>&,
                        std::string& path) override {
        path = objectIdPath;
        return !path.empty();
    }
};

lnk::TargetTraces Traces(std::uint32_t size = 100, std::uint64_t written = 5000000000ull) {
    lnk::TargetTraces t;
    t.readable = true;
    t.attributes = 0x20;
    t.size = size;
    t.written = written;
    return t;
}

constexpr const char* kOld = "C:\\Program Files\\Vendor\\app.exe";

} // namespace

TEST(MoveSearch, EachKindOfEvidence) {
    FakeSearchFs fs;
    fs.Add("C:\\Program Files\\Vendor\\readme.txt");
    fs.Add("C:\\Program Files\\Vendor\\bin\\app.exe");
    {
        const TMoveFinding f = TMoveSearch(fs).Find(kOld, Traces());
        EXPECT_EQ(f.strength, TMoveStrength::Strong);
        EXPECT_EQ(f.target.path, "C:\\Program Files\\Vendor\\bin\\app.exe");
        EXPECT_EQ(f.evidence, "the same name, size (100 bytes) and write time");
        EXPECT_EQ(f.target.size, 100u);
    }
    { // another size: the name only
        const TMoveFinding f = TMoveSearch(fs).Find(kOld, Traces(99));
        EXPECT_EQ(f.strength, TMoveStrength::Weak);
        EXPECT_EQ(f.evidence, "the same name only");
    }
    { // no such name anywhere searched
        const TMoveFinding f =
            TMoveSearch(fs).Find("C:\\Program Files\\Vendor\\gone.exe", Traces());
        EXPECT_EQ(f.strength, TMoveStrength::None);
        EXPECT_EQ(f.target.path, "");
    }
    { // the volume LinkInfo names, now at E:, with the same path
        fs.volumes.push_back({'E', 0xABCD1234, "Games", 2});
        fs.Add("E:\\Games\\Quest\\quest.exe");
        lnk::TargetTraces t = Traces();
        t.hasVolume = true;
        t.volumeSerial = 0xABCD1234;
        t.volumeLabel = "Games";
        const TMoveFinding f = TMoveSearch(fs).Find("D:\\Games\\Quest\\quest.exe", t);
        EXPECT_EQ(f.strength, TMoveStrength::Exact);
        EXPECT_EQ(f.target.path, "E:\\Games\\Quest\\quest.exe");
        EXPECT_EQ(f.evidence,
                  "the volume \"Games\" (serial ABCD-1234) is now E: and holds the same path");
        EXPECT_EQ(f.target.volumeSerial, 0xABCD1234u);
        EXPECT_EQ(f.target.volumeLabel, "Games");
        // The same volume, but the path is not there: no exact candidate.
        EXPECT_EQ(TMoveSearch(fs).Find("D:\\Games\\Other\\quest.exe", t).strength,
                  TMoveStrength::None);
    }
    { // the link-tracking object ID, where the platform looks it up
        fs.objectIdPath = "C:\\Program Files\\Vendor\\bin\\app.exe";
        lnk::TargetTraces t = Traces(1);
        t.hasTracker = true;
        const TMoveFinding f = TMoveSearch(fs).Find(kOld, t);
        EXPECT_EQ(f.strength, TMoveStrength::Exact);
        EXPECT_EQ(f.evidence, "its link-tracking object ID names it");
        fs.objectIdPath.clear();
    }
}

TEST(MoveSearch, TwoEqualPlacesProveNothing) {
    FakeSearchFs fs;
    fs.Add("C:\\Program Files\\Vendor\\a\\app.exe");
    fs.Add("C:\\Program Files\\Vendor\\b\\app.exe");
    const TMoveFinding f = TMoveSearch(fs).Find(kOld, Traces());
    EXPECT_EQ(f.strength, TMoveStrength::Weak);
    EXPECT_EQ(f.evidence, "the same name, size (100 bytes) and write time, as has one other place");
    // A strong one beside a weak one stays strong.
    fs.files["C:\\Program Files\\Vendor\\b\\app.exe"].size = 7;
    EXPECT_EQ(TMoveSearch(fs).Find(kOld, Traces()).strength, TMoveStrength::Strong);
}

TEST(MoveSearch, WindowsOrderAndBounds) {
    FakeSearchFs fs;
    // The old folder is gone: the search starts at C:\Program Files.
    fs.Add("C:\\Program Files\\Other\\x.txt");
    // Five levels below the nearest folder: outside its tree, and outside its parent's too.
    fs.Add("C:\\Program Files\\1\\2\\3\\4\\app.exe");
    EXPECT_EQ(TMoveSearch(fs).Find(kOld, Traces()).strength, TMoveStrength::None);
    // Four levels below: found.
    fs.Add("C:\\Program Files\\1\\2\\3\\app.exe", 1);
    EXPECT_EQ(TMoveSearch(fs).Find(kOld, Traces()).target.path,
              "C:\\Program Files\\1\\2\\3\\app.exe");
    // A weak one nearer beats a weak one further out; a strong one anywhere beats both.
    fs.Add("D:\\app.exe", 1);
    fs.volumes.push_back({'D', 2, "", 3});
    EXPECT_EQ(TMoveSearch(fs).Find(kOld, Traces()).target.path,
              "C:\\Program Files\\1\\2\\3\\app.exe");
    fs.files["D:\\app.exe"].size = 100;
    EXPECT_EQ(TMoveSearch(fs).Find(kOld, Traces()).target.path, "D:\\app.exe");
    // A removable drive's root is not searched; the Desktop given as an extra folder is.
    fs.volumes.back().driveType = 2;
    EXPECT_EQ(TMoveSearch(fs).Find(kOld, Traces()).strength, TMoveStrength::Weak);
    fs.Add("D:\\Users\\bob\\Desktop\\app.exe");
    EXPECT_EQ(TMoveSearch(fs).Find(kOld, Traces(), {"D:\\Users\\bob\\Desktop"}).target.path,
              "D:\\Users\\bob\\Desktop\\app.exe");
    // A folder target is not matched by a file of its name.
    lnk::TargetTraces folder = Traces(0);
    folder.attributes = 0x10;
    EXPECT_EQ(TMoveSearch(fs).Find("C:\\Program Files\\Vendor\\app.exe", folder).strength,
              TMoveStrength::None);
}

TEST(MoveSearch, ManyShortcutsListEachFolderOnceAndStop) {
    FakeSearchFs fs;
    for (int i = 0; i < 20; ++i)
        fs.Add("C:\\Apps\\moved\\tool" + std::to_string(i) + ".exe");
    TMoveSearch search(fs);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(
            search.Find("C:\\Apps\\old\\tool" + std::to_string(i) + ".exe", Traces()).strength,
            TMoveStrength::Strong);
    for (const auto& [folder, count] : fs.listings)
        EXPECT_EQ(count, 1) << folder;

    FakeSearchFs other;
    other.Add("C:\\Apps\\moved\\tool.exe");
    TMoveSearch stopped(other);
    stopped.StopRequested = [] { return true; };
    EXPECT_EQ(stopped.Find("C:\\Apps\\old\\tool.exe", Traces()).strength, TMoveStrength::None);
    EXPECT_TRUE(stopped.Stopped());
    EXPECT_TRUE(other.listings.empty());
}
