// Re-pointing a shortcut: the new file names the new target for this program's reader and for
// liblnk's lnkinfo, every byte outside the structures that name the target is the original's,
// and what cannot be re-pointed is refused. The traces a shortcut keeps of its target.
#include "lnk/lnk_repoint.h"

#include "lnk/lnk_builder.h"
#include "lnk/lnk_layout.h"
#include "lnk/lnkinfo_tool.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using namespace lnkb;

namespace {

constexpr const char* kLinkPath = "C:\\Users\\bob\\Desktop\\App.lnk";

bool Env(std::string_view name, std::string& value) {
    static const std::map<std::string, std::string> vars = {{"PROGRAMFILES", "C:\\Program Files"},
                                                            {"USERPROFILE", "C:\\Users\\bob"}};
    std::string upper(name);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto it = vars.find(upper);
    if (it == vars.end())
        return false;
    value = it->second;
    return true;
}

lnk::ReadContext Context() { return {kLinkPath, Env, {}}; }

std::string Read(const Bytes& b) { return lnk::ReadShortcutTarget(b.data(), b.size(), Context()); }
lnk::ShortcutFields Fields(const Bytes& b) {
    return lnk::ReadShortcutFields(b.data(), b.size(), Context());
}

lnk::Repointed Repoint(const Bytes& b, const std::string& path, bool folder = false) {
    lnk::NewTarget target;
    target.path = path;
    target.folder = folder;
    target.size = 4096;
    target.created = 0x01D0000000000001;
    target.written = 0x01D0000000000002;
    target.volumeSerial = 0xCAFEF00D;
    target.volumeLabel = "Data";
    return lnk::RepointShortcut(b.data(), b.size(), target, Context());
}

std::vector<Bytes> PathItems(const std::string& drive, const std::vector<std::u16string>& names) {
    std::vector<Bytes> items{RootItem(kMyComputer), DriveItem(drive)};
    for (std::size_t i = 0; i < names.size(); ++i)
        items.push_back(
            FileItem("N" + std::to_string(i) + "~1", names[i], 9, i + 1 < names.size()));
    return items;
}

Bytes Tracker() {
    Bytes body;
    U32(body, 0x58);
    U32(body, 0);
    Bytes machine = {'w', 's', '1'};
    machine.resize(16, 0);
    body.insert(body.end(), machine.begin(), machine.end());
    for (int i = 0; i < 64; ++i)
        body.push_back(static_cast<unsigned char>(i + 1));
    return Block(0xA0000003, body);
}
Bytes Console() { return Block(0xA0000002, Bytes(0xCC - 8, 0x5A)); }
Bytes PropertyStore() { return Block(0xA0000009, Bytes(40, 0x77)); }

// The usual shape Windows writes for a program: ID list, LinkInfo, the strings, a console,
// tracker and property store block; the strings name nothing of the target's place.
Link ProgramLink() {
    Link l;
    l.idList = IdList(PathItems("C:\\", {u"Program Files", u"Vendor", u"app.exe"}));
    l.linkInfo = LinkInfo({"C:\\Program Files\\Vendor\\app.exe", "", "", false, {}, {}, {}});
    l.strings = {u"Starts the app", u"", u"C:\\Temp", u"--fast \"x y\"", u"C:\\icons\\app.ico"};
    l.extra = {Console(), Tracker(), PropertyStore()};
    l.attributes = 0x20;
    l.created = 11, l.accessed = 12, l.written = 13, l.fileSize = 1234;
    l.iconIndex = 3, l.showCommand = 7, l.hotKey = 0x0641;
    return l;
}

std::string Slice(const Bytes& b, std::size_t at, std::size_t size) {
    return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + size));
}

// lnkinfo, where it is installed, reads `path` as the local path.
void ExpectLnkInfoPath(const Bytes& b, const std::string& path) {
    if (!HaveLnkInfo())
        return;
    TempDir dir;
    const std::filesystem::path file = dir.Path() / "x.lnk";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    EXPECT_EQ(LnkInfoField(file, "Local path"), path);
}

} // namespace

TEST(Repoint, ProgramShortcutNamesTheNewTargetAndKeepsEveryOtherByte) {
    const Bytes old = ProgramLink().Build();
    ASSERT_EQ(Read(old), "C:\\Program Files\\Vendor\\app.exe");
    const lnk::Repointed r = Repoint(old, "D:\\Apps\\Vendor 2\\app.exe");
    ASSERT_EQ(r.refusal, "");
    const Bytes& now = r.bytes;
    EXPECT_EQ(Read(now), "D:\\Apps\\Vendor 2\\app.exe");

    // The header: the target's record is the new one, everything else as it was.
    EXPECT_EQ(Slice(now, 0, 0x18), Slice(old, 0, 0x18));
    EXPECT_EQ(Slice(now, 0x38, 0x14), Slice(old, 0x38, 0x14)); // icon, show, hot key, reserved
    const lnk::ShortcutFields fields = Fields(now);
    EXPECT_EQ(fields.fileSize, 4096u);
    EXPECT_EQ(fields.creationTime, 0x01D0000000000001u);
    EXPECT_EQ(fields.writeTime, 0x01D0000000000002u);
    EXPECT_EQ(fields.comment, "Starts the app");
    EXPECT_EQ(fields.arguments, "--fast \"x y\"");
    EXPECT_EQ(fields.workingDir, "C:\\Temp");
    EXPECT_EQ(fields.iconLocation, "C:\\icons\\app.ico");

    // Everything after LinkInfo: the strings and blocks byte for byte.
    const lnk::ShortcutFields before = Fields(old);
    const Bytes oldTail = [&] {
        Link l = ProgramLink();
        l.idList.clear();
        l.linkInfo.clear();
        Bytes b = l.Build();
        return Bytes(b.begin() + 0x4C, b.end());
    }();
    ASSERT_GE(now.size(), oldTail.size());
    EXPECT_EQ(Bytes(now.end() - static_cast<long>(oldTail.size()), now.end()), oldTail);
    EXPECT_EQ(before.hotKey, fields.hotKey);

    // The volume: the new drive's, as the search found it.
    const lnk::TargetTraces traces = lnk::ReadTargetTraces(now.data(), now.size());
    EXPECT_TRUE(traces.hasVolume);
    EXPECT_EQ(traces.volumeSerial, 0xCAFEF00Du);
    EXPECT_EQ(traces.volumeLabel, "Data");
    EXPECT_TRUE(traces.hasTracker);

    ExpectLnkInfoPath(now, "D:\\Apps\\Vendor 2\\app.exe");
}

// The strings as Windows writes them, and as Wine's link object does (their lengths count the
// terminating zero).
TEST(Repoint, SameDriveKeepsTheVolumeAndMovesWhatNamedTheOldPlace) {
    for (const std::u16string& end : {std::u16string(), std::u16string(1, u'\0')}) {
        Link l = ProgramLink();
        l.strings = {u"", u"", u"C:\\Program Files\\Vendor" + end, u"",
                     u"C:\\Program Files\\Vendor\\app.exe" + end};
        const Bytes old = l.Build();
        const lnk::Repointed r = Repoint(old, "C:\\Program Files\\Vendor 64\\app.exe");
        ASSERT_EQ(r.refusal, "");
        const lnk::ShortcutFields fields = Fields(r.bytes);
        EXPECT_EQ(fields.target, "C:\\Program Files\\Vendor 64\\app.exe");
        EXPECT_EQ(fields.workingDir, "C:\\Program Files\\Vendor 64");
        EXPECT_EQ(fields.iconLocation, "C:\\Program Files\\Vendor 64\\app.exe");
        // The builder's VolumeID: serial 0x1234, kept as it was.
        EXPECT_EQ(lnk::ReadTargetTraces(r.bytes.data(), r.bytes.size()).volumeSerial, 0x1234u);
    }
}

TEST(Repoint, EnvironmentStringIsReExpressedOrLeftOut) {
    Link l;
    l.extraFlags = kHasExpString;
    l.extra = {TargetBlock(0xA0000001, "%ProgramFiles%\\Old\\a.exe", u"%ProgramFiles%\\Old\\a.exe"),
               Console()};
    const Bytes old = l.Build();
    ASSERT_EQ(Read(old), "C:\\Program Files\\Old\\a.exe");

    // Still below %ProgramFiles%: the variable stays.
    lnk::Repointed r = Repoint(old, "C:\\Program Files\\New\\a.exe");
    ASSERT_EQ(r.refusal, "");
    EXPECT_EQ(Read(r.bytes), "C:\\Program Files\\New\\a.exe");
    const std::u16string wide = u"%ProgramFiles%\\New\\a.exe";
    EXPECT_NE(std::search(r.bytes.begin(), r.bytes.end(),
                          reinterpret_cast<const unsigned char*>(wide.data()),
                          reinterpret_cast<const unsigned char*>(wide.data() + wide.size())),
              r.bytes.end());
    EXPECT_EQ(Bytes(r.bytes.end() - 0xCC - 4, r.bytes.end()),
              Bytes(old.end() - 0xCC - 4, old.end()));

    // Elsewhere: the string is left out and LinkInfo names the target.
    r = Repoint(old, "D:\\a.exe");
    ASSERT_EQ(r.refusal, "");
    EXPECT_EQ(Read(r.bytes), "D:\\a.exe");
    const lnk::ShortcutFields fields = Fields(r.bytes);
    EXPECT_EQ(fields.reading.source, lnk::TargetSource::LocalPath);
    ExpectLnkInfoPath(r.bytes, "D:\\a.exe");
}

TEST(Repoint, RelativeKnownFolderAndUnicodeShapes) {
    {
        Link l; // a relative path alone: rewritten from the shortcut's folder
        l.strings = {u"", u"..\\Old\\a.exe"};
        const lnk::Repointed r = Repoint(l.Build(), "C:\\Users\\bob\\Tools\\a.exe");
        ASSERT_EQ(r.refusal, "");
        EXPECT_EQ(Fields(r.bytes).relativePath, "..\\Tools\\a.exe");
        EXPECT_EQ(Read(r.bytes), "C:\\Users\\bob\\Tools\\a.exe");
    }
    {
        // A known folder's ID list (Documents): the block goes, the ID list names the drive.
        const unsigned char documents[16] = {0xD0, 0x9A, 0xD3, 0xFD, 0x8F, 0x23, 0xAF, 0x46,
                                             0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7};
        const std::vector<Bytes> items =
            PathItems("C:\\", {u"Users", u"bob", u"Documents", u"old.txt"});
        Link l;
        l.idList = IdList(items);
        l.extra = {KnownFolderBlock(documents, ItemOffset(items, 5)), Tracker()};
        const lnk::Repointed r = Repoint(l.Build(), "E:\\Archive\\old.txt");
        ASSERT_EQ(r.refusal, "");
        EXPECT_EQ(Read(r.bytes), "E:\\Archive\\old.txt");
        EXPECT_TRUE(lnk::ReadTargetTraces(r.bytes.data(), r.bytes.size()).hasTracker);
    }
    {
        // A name outside ASCII: LinkInfo's Unicode fields and the items' long names hold it.
        const lnk::Repointed r = Repoint(ProgramLink().Build(), "D:\\Программы\\安装程序.exe");
        ASSERT_EQ(r.refusal, "");
        EXPECT_EQ(Read(r.bytes), "D:\\Программы\\安装程序.exe");
        ExpectLnkInfoPath(r.bytes, "D:\\Программы\\安装程序.exe");
    }
    {
        // A folder target.
        const lnk::Repointed r = Repoint(ProgramLink().Build(), "D:\\Photos", true);
        ASSERT_EQ(r.refusal, "");
        const lnk::ShortcutFields f = Fields(r.bytes);
        EXPECT_EQ(f.target, "D:\\Photos");
        EXPECT_TRUE(f.targetIsFolder);
    }
}

TEST(Repoint, MappedNetworkDriveAndAnsiShapes) {
    {
        // Made on a mapped network drive (LinkInfo with the share alone, the ID list spelling
        // the letter): re-pointed to a local drive, LinkInfo names the local path only.
        Link l;
        l.idList = IdList(PathItems("Z:\\", {u"Tools", u"t.exe"}));
        l.linkInfo = LinkInfo({"", "\\\\server\\share", "Tools\\t.exe", false, {}, {}, {}});
        const Bytes old = l.Build();
        ASSERT_EQ(lnk::ReadTarget(old.data(), old.size(), Context()).source,
                  lnk::TargetSource::NetworkShare);
        const lnk::Repointed r = Repoint(old, "D:\\Tools\\t.exe");
        ASSERT_EQ(r.refusal, "");
        const lnk::TargetReading now = lnk::ReadTarget(r.bytes.data(), r.bytes.size(), Context());
        EXPECT_EQ(now.path, "D:\\Tools\\t.exe");
        EXPECT_EQ(now.source, lnk::TargetSource::IdList);
        ExpectLnkInfoPath(r.bytes, "D:\\Tools\\t.exe");
    }
    {
        // ANSI strings: a relative path that ANSI cannot hold is left out, LinkInfo (Unicode)
        // names the target; the comment's bytes stay as they were.
        Link l;
        l.unicodeStrings = false;
        l.strings = {u"Caf\u00e9 tool", u"..\\Old\\a.exe"};
        const Bytes old = l.Build();
        const lnk::Repointed r = Repoint(old, "C:\\Users\\bob\\Café\\a.exe");
        ASSERT_EQ(r.refusal, "");
        const lnk::ShortcutFields f = Fields(r.bytes);
        EXPECT_EQ(f.target, "C:\\Users\\bob\\Café\\a.exe");
        EXPECT_EQ(f.relativePath, "");
        EXPECT_EQ(f.comment, "Café tool");
        // To an ASCII place the relative path is rewritten in ANSI.
        const lnk::Repointed ascii = Repoint(old, "C:\\Users\\bob\\Tools\\a.exe");
        ASSERT_EQ(ascii.refusal, "");
        EXPECT_EQ(Fields(ascii.bytes).relativePath, "..\\Tools\\a.exe");
    }
}

TEST(Repoint, RefusesWhatItCannotRewrite) {
    EXPECT_NE(Repoint(Bytes(10, 0), "D:\\a.exe").refusal, "");
    EXPECT_NE(Repoint(ProgramLink().Build(), "\\\\server\\share\\a.exe").refusal, "");
    Link darwin = ProgramLink();
    darwin.extraFlags = kHasDarwinId;
    darwin.extra.push_back(TargetBlock(0xA0000006, "x", u"x"));
    EXPECT_NE(Repoint(darwin.Build(), "D:\\a.exe").refusal, "");
    // LinkInfo the shortcut says to ignore, and nothing else: no way to name a new target.
    Link ignored;
    ignored.linkInfo = LinkInfo({"C:\\a.exe", "", "", false, {}, {}, {}});
    ignored.extraFlags = kForceNoLinkInfo;
    EXPECT_NE(Repoint(ignored.Build(), "D:\\a.exe").refusal, "");
}

TEST(TargetTraces, VolumeAndTrackerAsStored) {
    const Bytes b = ProgramLink().Build();
    const lnk::TargetTraces t = lnk::ReadTargetTraces(b.data(), b.size());
    ASSERT_TRUE(t.readable);
    EXPECT_EQ(t.size, 1234u);
    EXPECT_EQ(t.created, 11u);
    EXPECT_EQ(t.written, 13u);
    EXPECT_TRUE(t.hasVolume);
    EXPECT_EQ(t.driveType, 3u);
    EXPECT_EQ(t.volumeSerial, 0x1234u);
    EXPECT_TRUE(t.hasTracker);
    EXPECT_EQ(t.volumeId[0], 1);
    EXPECT_EQ(t.objectId[0], 17);
    EXPECT_FALSE(lnk::ReadTargetTraces(b.data(), 40).readable);
}
