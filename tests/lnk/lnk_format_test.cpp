// The shortcut-file reader: where each target comes from, which source wins, and input that
// is broken on purpose.
#include "lnk/lnk_format.h"

#include "lnk/lnk_builder.h"

#include <gtest/gtest.h>

#include <map>

using namespace lnkb;

namespace {

std::string Read(const Bytes& b, const lnk::EnvLookup& env = {}, std::string_view linkPath = {}) {
    return lnk::ReadShortcutTarget(b.data(), b.size(), {linkPath, env, {}});
}

Bytes DriveList(const std::vector<Bytes>& fileItems, const std::string& drive = "C:\\") {
    std::vector<Bytes> items{RootItem(kMyComputer), DriveItem(drive)};
    items.insert(items.end(), fileItems.begin(), fileItems.end());
    return IdList(items);
}

Bytes WithIdList(const Bytes& list) {
    Link l;
    l.idList = list;
    return l.Build();
}

TEST(LnkHeader, OnlyAWellFormedHeaderIsRead) {
    Link good;
    good.idList = DriveList({FileItem("A.TXT", u"a.txt")});
    const Bytes bytes = good.Build();
    EXPECT_EQ(Read(bytes), "C:\\a.txt");

    Bytes badSize = bytes;
    badSize[0] = 0x4D;
    EXPECT_EQ(Read(badSize), "");
    Bytes badClass = bytes;
    badClass[4] ^= 1;
    EXPECT_EQ(Read(badClass), "");
    EXPECT_EQ(Read(Bytes(bytes.begin(), bytes.begin() + 0x4B)), "");
    EXPECT_EQ(lnk::ReadShortcutTarget(nullptr, 0), "");
    EXPECT_EQ(Read(Link{}.Build()), ""); // a header and nothing else names nothing
}

TEST(LnkIdList, JoinsDriveFoldersAndFilesPreferringLongNames) {
    // Long names in every extension block version the shell writes.
    EXPECT_EQ(Read(WithIdList(DriveList({FileItem("PROGRA~1", u"Program Files", 3, true),
                                         FileItem("MYTOOL~1", u"My Tool", 8, true),
                                         FileItem("TOOL~1.EXE", u"tool v2.exe", 9)}))),
              "C:\\Program Files\\My Tool\\tool v2.exe");
    EXPECT_EQ(Read(WithIdList(DriveList({FileItem("A", u"Long A", 7, true)}, "D:\\"))),
              "D:\\Long A");
    EXPECT_EQ(Read(WithIdList(DriveList({FileItem("A", u"Wine's long name", -1)}))),
              "C:\\Wine's long name");
    // No extension block: the primary name is all there is.
    EXPECT_EQ(Read(WithIdList(DriveList({FileItem("SHORT.TXT", u"", 0)}))), "C:\\SHORT.TXT");
    // A drive alone is a path; My Computer alone is not.
    EXPECT_EQ(Read(WithIdList(DriveList({}))), "C:\\");
    EXPECT_EQ(Read(WithIdList(IdList({RootItem(kMyComputer)}))), "");
}

TEST(LnkIdList, NonAsciiNamesComeOutAsUtf8) {
    EXPECT_EQ(Read(WithIdList(DriveList(
                  {FileItem("CAF~1", u"Café", 9, true), FileItem("X~1.TXT", u"日本語 𝄞.txt", 9)}))),
              "C:\\Café\\日本語 𝄞.txt");
    // A lone surrogate cannot be encoded and becomes U+FFFD.
    std::u16string lone = u"a";
    lone += char16_t(0xD800);
    EXPECT_EQ(Read(WithIdList(DriveList({FileItem("A~1", lone)}))), "C:\\a\xEF\xBF\xBD");
    // An ANSI primary name is Windows-1252.
    EXPECT_EQ(Read(WithIdList(DriveList({FileItem("\x80\xE9", u"", 0)}))), "C:\\€é");
}

TEST(LnkIdList, NetworkItemsGiveTheSharePath) {
    EXPECT_EQ(Read(WithIdList(IdList({RootItem(kNetwork), NetworkItem(0x42, "\\\\server"),
                                      NetworkItem(0xC3, "\\\\server\\share"),
                                      FileItem("DOC~1.TXT", u"doc file.txt")}))),
              "\\\\server\\share\\doc file.txt");
    // A server is not a file-system path.
    EXPECT_EQ(Read(WithIdList(IdList({RootItem(kNetwork), NetworkItem(0x42, "\\\\server")}))), "");
}

TEST(LnkIdList, ItemsWithoutAFileSystemPathGiveNothing) {
    EXPECT_EQ(Read(WithIdList(IdList({RootItem(kControlPanel)}))), "");
    EXPECT_EQ(Read(WithIdList(IdList({RootItem(kControlPanel), FileItem("A", u"a")}))), "");
    // A file item straight under the desktop is relative to a folder this reader cannot know.
    EXPECT_EQ(Read(WithIdList(IdList({FileItem("A", u"a")}))), "");
    // An unknown item inside a path ends it.
    Bytes odd = Item(Bytes{0x74, 0, 1, 2, 3});
    EXPECT_EQ(Read(WithIdList(DriveList({FileItem("A", u"a", 9, true), odd}))), "");
}

TEST(LnkLinkInfo, LocalPathsPreferUnicodeAndDecodeAnsiAsWindows1252) {
    Link l;
    l.linkInfo = LinkInfo({"C:\\Daten\\\xE9t\xE9 \x80.txt", "", "", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build()), "C:\\Daten\\été €.txt");

    l.linkInfo = LinkInfo({"C:\\ANSI.TXT", "", "", true, u"C:\\Ünïcode.txt", u"", u""});
    EXPECT_EQ(Read(l.Build()), "C:\\Ünïcode.txt");

    // The common path suffix is joined with one backslash.
    l.linkInfo = LinkInfo({"C:\\Base", "", "rest\\file.txt", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build()), "C:\\Base\\rest\\file.txt");
    l.linkInfo = LinkInfo({"C:\\", "", "file.txt", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build()), "C:\\file.txt");
}

TEST(LnkLinkInfo, NetworkLinksJoinNetNameAndSuffix) {
    Link l;
    l.linkInfo = LinkInfo({"", "\\\\SERVER\\share", "dir\\file.txt", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build()), "\\\\SERVER\\share\\dir\\file.txt");
    l.linkInfo = LinkInfo({"", "\\\\SERVER\\share", "", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build()), "\\\\SERVER\\share");
    l.linkInfo = LinkInfo({"", "\\\\A", "x", true, {}, u"\\\\Sërver\\share", u"dïr"});
    EXPECT_EQ(Read(l.Build()), "\\\\Sërver\\share\\dïr");
}

// Each precedence rule of the reader, one source against the next, as the shell loads a
// link: the environment string, else the ID list; LinkInfo only where the ID list names
// nothing this reader knows; the relative path only without an ID list.
TEST(LnkPrecedence, EnvironmentThenIdListThenLocalThenNetworkThenRelativePath) {
    const Bytes list = DriveList({FileItem("FROMID~1", u"from id list")});
    const Bytes both = LinkInfo({"Z:\\mapped", "\\\\srv\\share", "", false, {}, {}, {}});
    const Bytes env = TargetBlock(0xA0000001, "%ROOT%\\ansi", u"%ROOT%\\wide");
    const lnk::EnvLookup lookup = [](std::string_view name, std::string& value) {
        if (name != "ROOT")
            return false;
        value = "C:\\Root";
        return true;
    };
    const std::string_view linkPath = "C:\\Links\\a.lnk";

    Link l;
    l.idList = list;
    l.linkInfo = both;
    l.strings = {u"", u"..\\relative.exe"};
    l.extra = {env};
    l.extraFlags = kHasExpString;
    EXPECT_EQ(Read(l.Build(), lookup, linkPath), "C:\\Root\\wide"); // 1: environment target

    l.extraFlags = 0;
    EXPECT_EQ(Read(l.Build(), lookup, linkPath),
              "C:\\from id list"); // without the flag the block is unused

    // Items this reader does not know: LinkInfo's local path, then its share.
    l.idList = IdList({RootItem(kMyComputer), Item(Bytes{0x74, 0, 1, 2, 3})});
    EXPECT_EQ(Read(l.Build(), lookup, linkPath), "Z:\\mapped");
    l.linkInfo = LinkInfo({"", "\\\\srv\\share", "", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build(), lookup, linkPath), "\\\\srv\\share");

    // A virtual item has no target, whatever else the file holds.
    l.idList = IdList({RootItem(kControlPanel)});
    EXPECT_EQ(Read(l.Build(), lookup, linkPath), "");

    // The relative path, only without an ID list and without LinkInfo.
    l.idList.clear();
    l.extraFlags = kForceNoLinkInfo;
    EXPECT_EQ(Read(l.Build(), lookup, linkPath), "C:\\relative.exe");
    EXPECT_EQ(Read(l.Build(), lookup), ""); // no shortcut path to resolve it against
}

lnk::TargetReading Reading(const Bytes& b, const lnk::ReadContext& context = {}) {
    return lnk::ReadTarget(b.data(), b.size(), context);
}

TEST(LnkPrecedence, AnUnknownVariableIsNeverGuessed) {
    const lnk::EnvLookup root = [](std::string_view name, std::string& value) {
        value = "C:\\Root";
        return name == "ROOT";
    };
    Link l;
    l.extraFlags = kHasExpString;
    l.extra = {TargetBlock(0xA0000001, "%ROOT%\\%Missing%\\\xE9.exe", u"")};
    const lnk::TargetReading only = Reading(l.Build(), {{}, root, {}, {}});
    EXPECT_EQ(only.path, "");
    EXPECT_EQ(only.gap, lnk::TargetGap::UnknownVariable);
    EXPECT_EQ(only.detail, "Missing");
    // The other sources decide where they name the target.
    l.idList = DriveList({FileItem("A", u"a")});
    EXPECT_EQ(Read(l.Build()), "C:\\a");
    l.extra = {TargetBlock(0xA0000001, "", u"")};
    EXPECT_EQ(Read(l.Build(), root), "C:\\a");
    // A target on the root folder alone lies on the shortcut's own drive.
    l.idList.clear();
    l.extra = {TargetBlock(0xA0000001, "", u"%ROOT%")};
    const lnk::EnvLookup homePath = [](std::string_view name, std::string& value) {
        value = "\\Users\\bob\\x.exe";
        return name == "ROOT";
    };
    EXPECT_EQ(Read(l.Build(), homePath, "D:\\Links\\a.lnk"), "D:\\Users\\bob\\x.exe");
    EXPECT_EQ(Reading(l.Build(), {{}, homePath, {}, {}}).gap, lnk::TargetGap::NoPlace);
}

// The shapes real machines write, each with what the shell reports for it.
TEST(LnkRealShapes, KnownFoldersMoveWithTheirUser) {
    constexpr unsigned char kDocuments[16] = {0xD0, 0x9A, 0xD3, 0xFD, 0x8F, 0x23, 0xAF, 0x46,
                                              0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7};
    const lnk::EnvLookup bob = [](std::string_view name, std::string& value) {
        value = name == "USERPROFILE" ? "C:\\Users\\bob" : "";
        return !value.empty();
    };
    // A link made in alice's Documents, read where bob is the user: the known folder block
    // rebases the items below it.
    const std::vector<Bytes> items = {RootItem(kMyComputer),
                                      DriveItem("C:\\"),
                                      FileItem("Users", u"Users", 9, true),
                                      FileItem("alice", u"alice", 9, true),
                                      FileItem("DOCUME~1", u"Documents", 9, true),
                                      FileItem("REPORT~1.DOC", u"report 2019.doc")};
    Link l;
    l.idList = IdList(items);
    l.linkInfo =
        LinkInfo({"C:\\Users\\alice\\Documents\\report 2019.doc", "", "", false, {}, {}, {}});
    l.extra = {KnownFolderBlock(kDocuments, ItemOffset(items, 5))};
    const lnk::TargetReading r = Reading(l.Build(), {{}, bob, {}, {}});
    EXPECT_EQ(r.path, "C:\\Users\\bob\\Documents\\report 2019.doc");
    EXPECT_EQ(r.source, lnk::TargetSource::KnownFolder);
    // Windows XP's special folder block, in a profile under "Documents and Settings".
    const lnk::EnvLookup xp = [](std::string_view name, std::string& value) {
        value = name == "USERPROFILE" ? "C:\\Documents and Settings\\bob" : "";
        return !value.empty();
    };
    l.extra = {SpecialFolderBlock(0x05, ItemOffset(items, 5))};
    EXPECT_EQ(Read(l.Build(), xp),
              "C:\\Documents and Settings\\bob\\My Documents\\report 2019.doc");
    // A folder this system cannot place: the ID list as stored decides.
    EXPECT_EQ(Read(l.Build()), "C:\\Users\\alice\\Documents\\report 2019.doc");
    // The platform's own answer comes first.
    const lnk::TargetReading platform =
        Reading(l.Build(), {{}, {}, {}, [](const lnk::KnownFolder& f, std::string& place) {
                                place = std::string("E:\\") + f.name;
                                return true;
                            }});
    EXPECT_EQ(platform.path, "E:\\Documents\\report 2019.doc");

    // A Vista "Links" favorite: an ID list rooted at the user's files, copied out of its
    // profile. Its relative path would climb to C:\Documents; the shell reports the user's.
    Link links;
    links.idList = IdList({RootItem(kUsersFiles), FileItem("DOCUME~1", u"Documents", 7, true)});
    links.strings = {u"", u"..\\Documents"};
    EXPECT_EQ(Read(links.Build(), bob, "C:\\Backup\\Links\\Documents.lnk"),
              "C:\\Users\\bob\\Documents");
    const lnk::TargetReading unplaced =
        Reading(links.Build(), {"C:\\Backup\\Links\\Documents.lnk", {}, {}, {}});
    EXPECT_EQ(unplaced.path, "");
    EXPECT_EQ(unplaced.gap, lnk::TargetGap::UnknownFolder);
    EXPECT_EQ(unplaced.detail, "User files");
    // Libraries, the Control Panel: virtual, never a target.
    links.idList = IdList({RootItem(kLibraries), FileItem("DOCUME~1", u"Documents", 7, true)});
    const lnk::TargetReading library = Reading(links.Build(), {{}, bob, {}, {}});
    EXPECT_EQ(library.gap, lnk::TargetGap::ShellFolder);
    EXPECT_EQ(library.detail, "Libraries");
}

TEST(LnkRealShapes, MappedNetworkDrivesShortNamesAndRelativeOnly) {
    // A mapped drive: LinkInfo holds only the share; the ID list spells Z:.
    Link mapped;
    mapped.idList =
        DriveList({FileItem("Data", u"Data", 9, true), FileItem("X.XLS", u"x.xls")}, "Z:\\");
    mapped.linkInfo = LinkInfo({"", "\\\\10.0.0.150\\data", "Data\\x.xls", false, {}, {}, {}});
    const lnk::TargetReading share = Reading(mapped.Build());
    EXPECT_EQ(share.path, "Z:\\Data\\x.xls");
    EXPECT_EQ(share.source, lnk::TargetSource::NetworkShare);
    // A local folder that was shared: its local path.
    mapped.linkInfo = LinkInfo({"Z:\\Data\\x.xls", "\\\\10.0.0.150\\data", "", false, {}, {}, {}});
    EXPECT_EQ(Reading(mapped.Build()).source, lnk::TargetSource::IdList);

    // An old installer's link: short names in an ID list without extension blocks; LinkInfo's
    // long names where it has them.
    Link old;
    old.idList = DriveList({FileItem("PROGRA~1", u"", 0, true), FileItem("APP.EXE", u"", 0)});
    old.linkInfo = LinkInfo({"C:\\Program Files\\App.exe", "", "", false, {}, {}, {}});
    EXPECT_EQ(Read(old.Build()), "C:\\Program Files\\App.exe");
    old.linkInfo = LinkInfo({"C:\\PROGRA~1\\APP.EXE", "", "", false, {}, {}, {}});
    EXPECT_EQ(Read(old.Build()), "C:\\PROGRA~1\\APP.EXE");

    // Relative only, written with '/' and climbing past the root.
    Link relative;
    relative.strings = {u"", u"../../../../Windows/system32/notepad.exe"};
    EXPECT_EQ(Read(relative.Build(), {}, "C:\\Users\\bob\\Desktop\\n.lnk"),
              "C:\\Windows\\system32\\notepad.exe");
}

TEST(LnkRealShapes, UnicodeLongNamesInEveryExtensionVersion) {
    const std::u16string chinese = u"安装程序（拦截请允许）.exe";
    for (const int version : {3, 7, 8, 9})
        EXPECT_EQ(
            Read(WithIdList(DriveList({FileItem("\xB0\xB2\xD7\xB0~1.EXE", chinese, version)}))),
            "C:\\安装程序（拦截请允许）.exe")
            << version;
}

TEST(LnkPrecedence, AdvertisedShortcutsReportTheirStoredPath) {
    Link l;
    l.extraFlags = kHasDarwinId;
    l.extra = {TargetBlock(0xA0000006, "w~]Product>Feature", u"w~]Product>Feature")};
    EXPECT_EQ(Read(l.Build()), "");
    l.idList =
        DriveList({FileItem("WINDOWS", u"Windows", 9, true),
                   FileItem("INSTAL~1", u"Installer", 9, true), FileItem("ICON.EXE", u"icon.exe")});
    EXPECT_EQ(Read(l.Build()), "C:\\Windows\\Installer\\icon.exe");
}

TEST(LnkStrings, AreSkippedInBothEncodingsToReachTheExtraData) {
    Link l;
    l.extraFlags = kHasExpString;
    l.extra = {TargetBlock(0xA0000001, "C:\\env.exe", u"")};
    l.strings = {u"comment", u".\\rél.exe", u"C:\\work", u"--arg \"x\"", u"C:\\icon.ico"};
    EXPECT_EQ(Read(l.Build()), "C:\\env.exe");
    l.unicodeStrings = false;
    EXPECT_EQ(Read(l.Build()), "C:\\env.exe");
    // The relative path, in either encoding, when nothing else names a target.
    l.extra.clear();
    l.extraFlags = 0;
    EXPECT_EQ(Read(l.Build(), {}, "C:\\Links\\a.lnk"), "C:\\Links\\rél.exe");
    l.unicodeStrings = true;
    EXPECT_EQ(Read(l.Build(), {}, "C:\\Links\\a.lnk"), "C:\\Links\\rél.exe");
}

lnk::ShortcutFields Fields(const Bytes& b, std::string_view linkPath = {}) {
    return lnk::ReadShortcutFields(b.data(), b.size(), {linkPath, {}, {}});
}

TEST(LnkFields, EveryStringAndHeaderFieldAsStoredInBothEncodings) {
    Link l;
    l.idList = DriveList({FileItem("TOOL.EXE", u"tool.exe")});
    l.strings = {u"Starts the tool", u".\\tool.exe", u"C:\\Work Dir", u"--mode \"x y\"",
                 u"%SystemRoot%\\icons.dll"};
    l.attributes = 0x20;
    l.created = 0x01D0000000000001ull;
    l.accessed = 0x01D0000000000002ull;
    l.written = 0x01D0000000000003ull;
    l.fileSize = 123456;
    l.iconIndex = 0xFFFFFFFD; // -3: a resource id
    l.showCommand = 3;
    l.hotKey = 0x0641; // Ctrl+Alt+A
    for (const bool unicode : {true, false}) {
        SCOPED_TRACE(unicode);
        l.unicodeStrings = unicode;
        const lnk::ShortcutFields f = Fields(l.Build());
        EXPECT_TRUE(f.readable);
        EXPECT_EQ(f.target, "C:\\tool.exe");
        EXPECT_EQ(f.comment, "Starts the tool");
        EXPECT_EQ(f.relativePath, ".\\tool.exe"); // as stored, not resolved
        EXPECT_EQ(f.workingDir, "C:\\Work Dir");
        EXPECT_EQ(f.arguments, "--mode \"x y\"");
        EXPECT_EQ(f.iconLocation, "%SystemRoot%\\icons.dll"); // never expanded
        EXPECT_EQ(f.iconIndex, -3);
        EXPECT_EQ(f.fileAttributes, 0x20u);
        EXPECT_EQ(f.creationTime, 0x01D0000000000001ull);
        EXPECT_EQ(f.accessTime, 0x01D0000000000002ull);
        EXPECT_EQ(f.writeTime, 0x01D0000000000003ull);
        EXPECT_EQ(f.fileSize, 123456u);
        EXPECT_EQ(f.showCommand, 3u);
        EXPECT_EQ(f.hotKey, 0x0641);
    }
}

TEST(LnkFields, AbsentStringsAreEmptyAndUnicodeAndAnsiTextIsUtf8) {
    const lnk::ShortcutFields none = Fields(Link{}.Build());
    EXPECT_TRUE(none.readable); // a header alone is a shortcut to nothing
    EXPECT_EQ(none.target, "");
    for (const std::string* s :
         {&none.comment, &none.relativePath, &none.workingDir, &none.arguments, &none.iconLocation})
        EXPECT_EQ(*s, "");
    EXPECT_EQ(none.hotKey, 0);
    EXPECT_EQ(none.showCommand, 0u);

    // Only some strings: each lands in its own field whatever is left out before it.
    Link some;
    some.strings = {u"", u"", u"", u"-v"};
    const lnk::ShortcutFields args = Fields(some.Build());
    EXPECT_EQ(args.arguments, "-v");
    EXPECT_EQ(args.comment, "");
    EXPECT_EQ(args.workingDir, "");

    Link text;
    text.strings = {u"Café 日本語 𝄞", u"", u"C:\\Ünï"};
    const lnk::ShortcutFields wide = Fields(text.Build());
    EXPECT_EQ(wide.comment, "Café 日本語 𝄞");
    EXPECT_EQ(wide.workingDir, "C:\\Ünï");
    text.unicodeStrings = false;
    text.strings = {u"\x80\xE9"}; // ANSI bytes: Windows-1252 unless the caller decodes
    EXPECT_EQ(Fields(text.Build()).comment, "€é");
    const Bytes ansi = text.Build();
    const lnk::AnsiDecoder upper = [](std::string_view, std::string& out) {
        out = "decoded";
        return true;
    };
    EXPECT_EQ(lnk::ReadShortcutFields(ansi.data(), ansi.size(), {{}, {}, upper}).comment,
              "decoded");
}

TEST(LnkFields, IconEnvironmentBlockOnlyWithItsFlagAndWithoutAStoredIcon) {
    Link l;
    l.extra = {TargetBlock(0xA0000007, "%ProgramFiles%\\a.ico", u"%ProgramFiles%\\w.ico")};
    EXPECT_EQ(Fields(l.Build()).iconLocation, ""); // no HasExpIcon flag
    l.extraFlags = kHasExpIcon;
    EXPECT_EQ(Fields(l.Build()).iconLocation, "%ProgramFiles%\\w.ico");
    l.extra = {TargetBlock(0xA0000007, "%ProgramFiles%\\a.ico", u"")};
    EXPECT_EQ(Fields(l.Build()).iconLocation, "%ProgramFiles%\\a.ico");
    l.strings = {u"", u"", u"", u"", u"C:\\stored.ico"};
    EXPECT_EQ(Fields(l.Build()).iconLocation, "C:\\stored.ico");
    // An icon block is never a target, nor does it change the target's source.
    l.strings.clear();
    l.extraFlags = kHasExpIcon | kHasExpString;
    EXPECT_EQ(Fields(l.Build()).target, "");
}

TEST(LnkFields, AFolderTargetBySeenAttributesOrByItsIdList) {
    Link l;
    l.idList = DriveList({FileItem("WINDOWS", u"Windows", 9, true)});
    EXPECT_TRUE(Fields(l.Build()).targetIsFolder); // no attributes stored, as Wine writes it
    l.idList = DriveList({FileItem("A.TXT", u"a.txt")});
    EXPECT_FALSE(Fields(l.Build()).targetIsFolder);
    l.attributes = 0x10;
    EXPECT_TRUE(Fields(l.Build()).targetIsFolder);
    l.attributes = 0;
    l.idList = DriveList({});
    EXPECT_TRUE(Fields(l.Build()).targetIsFolder); // a drive
    // A folder item in an ID list that does not give the target says nothing.
    l.idList = DriveList({FileItem("DIR", u"dir", 9, true)});
    l.extraFlags = kHasExpString;
    l.extra = {TargetBlock(0xA0000001, "C:\\env.exe", u"")};
    const lnk::ShortcutFields env = Fields(l.Build());
    EXPECT_EQ(env.target, "C:\\env.exe");
    EXPECT_FALSE(env.targetIsFolder);
}

TEST(LnkFields, UnreadableBytesGiveNoFields) {
    Link l;
    l.strings = {u"comment", u"", u"C:\\work"};
    l.hotKey = 0x41;
    Bytes bytes = l.Build();
    bytes[0] = 0x4D; // wrong header size
    const lnk::ShortcutFields f = Fields(bytes);
    EXPECT_FALSE(f.readable);
    EXPECT_EQ(f.comment, "");
    EXPECT_EQ(f.hotKey, 0);
    // A string that runs past the end: nothing of the file is kept, not even what came first.
    Bytes cut = l.Build();
    cut.resize(cut.size() - 8);
    const lnk::ShortcutFields c = Fields(cut);
    EXPECT_FALSE(c.readable);
    EXPECT_EQ(c.comment, "");
}

// ANSI text goes to the caller's decoder (the system's code page), ASCII never does.
TEST(LnkAnsi, NonAsciiTextGoesToTheCallersDecoder) {
    std::vector<std::string> asked;
    const lnk::AnsiDecoder cp1251 = [&](std::string_view bytes, std::string& utf8) {
        asked.emplace_back(bytes);
        utf8 = bytes == "\xE0\xE1.txt" ? "аб.txt" : "?";
        return true;
    };
    Link l;
    l.linkInfo = LinkInfo({"C:\\Dir", "", "\xE0\xE1.txt", false, {}, {}, {}});
    const Bytes b = l.Build();
    EXPECT_EQ(lnk::ReadShortcutTarget(b.data(), b.size(), {{}, {}, cp1251}), "C:\\Dir\\аб.txt");
    EXPECT_EQ(asked, std::vector<std::string>{"\xE0\xE1.txt"});
    const lnk::AnsiDecoder declines = [](std::string_view, std::string&) { return false; };
    EXPECT_EQ(lnk::ReadShortcutTarget(b.data(), b.size(), {{}, {}, declines}), "C:\\Dir\\àá.txt");
}

TEST(LnkLimits, LongTargetsComeWholeNeverCut) {
    Link l;
    l.linkInfo = LinkInfo({"C:\\" + std::string(300, 'a'), "", "\xE9.txt", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build()), "C:\\" + std::string(300, 'a') + "\\é.txt");
    // Longer than any path the system opens: nothing rather than a part of it.
    l.linkInfo =
        LinkInfo({"C:\\" + std::string(lnk::kMaxTargetBytes, 'a'), "", "", false, {}, {}, {}});
    EXPECT_EQ(Read(l.Build()), "");
}

TEST(LnkExpansion, FollowsTheEnvironmentStringRule) {
    const std::map<std::string, std::string> vars{{"A", "x"}, {"B", "%A%"}};
    const lnk::EnvLookup env = [&](std::string_view n, std::string& v) {
        auto it = vars.find(std::string(n));
        if (it == vars.end())
            return false;
        v = it->second;
        return true;
    };
    EXPECT_EQ(lnk::ExpandEnvironmentReferences("%A%\\%A%", env), "x\\x");
    EXPECT_EQ(lnk::ExpandEnvironmentReferences("%B%", env), "%A%"); // values are not re-expanded
    EXPECT_EQ(lnk::ExpandEnvironmentReferences("%none%%A%", env), "%none%x");
    EXPECT_EQ(lnk::ExpandEnvironmentReferences("100%", env), "100%");
    EXPECT_EQ(lnk::ExpandEnvironmentReferences("%%A%", env), "%%A%");
    EXPECT_EQ(lnk::ExpandEnvironmentReferences("%A%", {}), "%A%");
}

// A full file with every section: every prefix of it must be handled, and those cut inside
// the strictly read sections give nothing.
TEST(LnkBadInput, EveryTruncationIsHandled) {
    Link l;
    l.idList = DriveList({FileItem("A", u"a", 9, true), FileItem("B", u"b")});
    l.linkInfo = LinkInfo({"C:\\a\\b", "\\\\s\\x", "", true, u"C:\\a\\b", u"\\\\s\\x", u""});
    l.strings = {u"n", u"r", u"w", u"a", u"i"};
    l.extra = {TargetBlock(0xA0000001, "C:\\env", u"C:\\env")};
    l.extraFlags = kHasExpString;
    const Bytes full = l.Build();
    ASSERT_EQ(Read(full), "C:\\env");
    const std::size_t extraStart = full.size() - 4 - 0x314;
    for (std::size_t n = 0; n < full.size(); ++n) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        const std::string got = Read(cut);
        // The fields follow the same rule: readable exactly when the target could be.
        const lnk::ShortcutFields fields = lnk::ReadShortcutFields(cut.data(), cut.size());
        EXPECT_EQ(fields.readable, n >= extraStart) << n;
        EXPECT_EQ(fields.target, got) << n;
        if (n < extraStart)
            EXPECT_EQ(got, "") << n;
        else if (n < full.size() - 4)
            EXPECT_EQ(got, "C:\\a\\b") << n; // the environment block is cut off: ignored
        else
            EXPECT_EQ(got, "C:\\env") << n; // only the terminal block is missing
    }
}

TEST(LnkBadInput, SizesAndOffsetsOutsideTheirStructure) {
    Link l;
    l.linkInfo = LinkInfo(
        {"C:\\base", "\\\\srv\\share", "sfx", true, u"C:\\base", u"\\\\srv\\share", u"sfx"});
    const Bytes good = l.Build();
    ASSERT_EQ(Read(good), "C:\\base\\sfx");
    // Every 32-bit field of LinkInfo (sizes and offsets) set to values that point outside it
    // or overflow when added.
    const std::size_t infoAt = 0x4C;
    for (std::size_t field = 0; field < 0x24; field += 4) {
        for (std::uint32_t v : {0x0u, 0x3u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
            Bytes bad = good;
            PutU32(bad, infoAt + field, v);
            (void)Read(bad); // must neither crash nor read outside (checked under sanitizers)
        }
    }
    // A LinkInfo size past the end of the file makes the file unreadable.
    Bytes big = good;
    PutU32(big, infoAt, 0xFFFFFFFF);
    EXPECT_EQ(Read(big), "");
    // A string left unterminated at the end of LinkInfo (the Unicode suffix comes last).
    Bytes unterminated = good;
    const std::size_t infoEnd = infoAt + (good[infoAt] | (good[infoAt + 1] << 8));
    unterminated[infoEnd - 2] = 'x';
    unterminated[infoEnd - 1] = 0;
    EXPECT_EQ(Read(unterminated), "");
}

TEST(LnkBadInput, ZeroAndOversizedItemsAndBlocks) {
    // An ID list item of size 1 or one running past the list.
    Bytes list = DriveList({FileItem("A", u"a")});
    Bytes tiny = list;
    tiny[0] = 1;
    tiny[1] = 0;
    EXPECT_EQ(Read(WithIdList(tiny)), "");
    Bytes over = list;
    over[0] = 0xFF;
    over[1] = 0xFF;
    EXPECT_EQ(Read(WithIdList(over)), "");
    // A list size past the file.
    Bytes file = WithIdList(list);
    file[0x4C] = 0xFF;
    file[0x4D] = 0xFF;
    EXPECT_EQ(Read(file), "");
    // An extension block that claims more than its item, and one of size zero.
    Bytes item = FileItem("SHORT", u"long");
    for (unsigned char size : {0x00, 0x07, 0xF0}) {
        Bytes bad = item;
        bad[14 + 6] = size; // low byte of the extension block's size (after "SHORT\0")
        EXPECT_EQ(Read(WithIdList(DriveList({bad}))), "C:\\SHORT") << int(size);
    }
    // Extra data: a block of size 4..7 ends the chain, a block past the end is ignored.
    Link l;
    l.idList = list;
    l.extraFlags = kHasExpString;
    Bytes small;
    U32(small, 5);
    U32(small, 0xA0000001);
    l.extra = {small, TargetBlock(0xA0000001, "C:\\env", u"")};
    EXPECT_EQ(Read(l.Build()), "C:\\a");
    Bytes huge;
    U32(huge, 0xFFFFFFFF);
    U32(huge, 0xA0000001);
    l.extra = {huge};
    l.terminal = false;
    EXPECT_EQ(Read(l.Build()), "C:\\a");
}

} // namespace
