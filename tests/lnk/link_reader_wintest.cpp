// The system's link reader under Wine, which is the program's own reader there: shortcuts the
// shell link object writes read the same both ways, and shortcuts built byte by byte the way
// Windows writes them read as Windows reads them, which Wine's link object often does not.
#include "base/handles.h"
#include "base/text.h"
#include "lnk/link_reader.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"

#include "lnk/lnk_builder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <vector>

using namespace lnkb;

namespace {

bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The shell's answer in UTF-8 whatever the process code page is.
std::string ToUtf8(const std::string& acp) {
    if (::GetACP() == CP_UTF8 || acp.empty())
        return acp;
    return NarrowUtf8(WidenAnsi(acp));
}

std::string Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? NarrowUtf8(std::wstring_view(value, n)) : std::string();
}

// The ID list items of a drive path as Windows writes them: My Computer, the drive, then
// a folder item (with its long name) per segment.
std::vector<Bytes> PathItems(const std::string& path) {
    std::vector<Bytes> items{RootItem(kMyComputer), DriveItem(path.substr(0, 3))};
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string segment = path.substr(start, end - start);
        const std::u16string wide(segment.begin(), segment.end()); // ASCII segments
        items.push_back(FileItem("ITEM~1", wide, 9, true));
        start = end + 1;
    }
    return items;
}

// {905E63B6-C1BF-494E-B29C-65B732D3D21A} and {FDD39AD0-238F-46AF-ADB4-6C85480369C7} as stored.
constexpr unsigned char kProgramFilesFolder[16] = {0xB6, 0x63, 0x5E, 0x90, 0xBF, 0xC1, 0x4E, 0x49,
                                                   0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A};
constexpr unsigned char kDocumentsFolder[16] = {0xD0, 0x9A, 0xD3, 0xFD, 0x8F, 0x23, 0xAF, 0x46,
                                                0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7};
constexpr std::uint32_t kCsidlPersonal = 0x05, kCsidlProgramFiles = 0x26;

class SystemLinkReader : public ::testing::Test {
protected:
    TComApartment com;
    TempDir dir;
    std::unique_ptr<ILinkReader> reader = CreateSystemLinkReader();
    std::unique_ptr<ILinkReader> shell = CreateShellLinkReader();

    std::string Shell(const std::string& lnkPath) { return ToUtf8(shell->ReadTarget(lnkPath)); }
    std::string Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir.Path() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return dir.Native(name);
    }
};

TEST_F(SystemLinkReader, ShortcutsWrittenByTheShellReadTheSame) {
    const bool utf8 = ::GetACP() == CP_UTF8;
    dir.WriteFile("app/tool.exe");
    dir.WriteFile("docs/A long file name with spaces.document.txt");
    dir.MakeDir("folder with a long name");
    if (utf8) { // names in the process code page, which is UTF-8 here
        ASSERT_TRUE(::CreateDirectoryA(dir.Native("données").c_str(), nullptr));
        ASSERT_TRUE(
            TKernelHandle(::CreateFileA(dir.Native("données/café ünï 日本語.txt").c_str(),
                                        GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
        ASSERT_TRUE(::CreateDirectoryA(dir.Native("Ωμέγα").c_str(), nullptr));
    }
    // A deep path: as close to 259 characters as a file name allows.
    std::string deep = "deep";
    while (dir.Native(deep).size() < 200)
        deep += "/segment_" + std::to_string(deep.size());
    dir.MakeDir(deep);
    std::string deepFile = deep + "/";
    deepFile += std::string(258 - dir.Native(deepFile).size(), 'f');
    dir.WriteFile(deepFile);
    ASSERT_EQ(dir.Native(deepFile).size(), 258u);

    std::vector<ShortcutFields> specs = {
        {dir.Native("app/tool.exe"), {}, {}, {}, {}},
        {dir.Native("app"), {}, {}, {}, {}},
        {dir.Native("docs/A long file name with spaces.document.txt"), {}, {}, {}, {}},
        {dir.Native("folder with a long name"), {}, {}, {}, {}},
        {dir.Native("app/tool.exe"),
         "--flag \"quoted arg\"",
         dir.Native("docs"),
         dir.Native("app/tool.exe"),
         {}},
        {dir.Native("app/tool.exe"), {}, {}, {}, "..\\app\\tool.exe"},
        {dir.Native("missing/never.exe"), {}, {}, {}, {}},
        {dir.Native(deepFile), {}, {}, {}, {}},
        {"C:\\windows\\system32\\notepad.exe",
         "file.txt",
         "C:\\",
         "C:\\windows\\system32\\shell32.dll",
         {}},
        {"\\\\server\\share\\folder\\file.txt", {}, {}, {}, {}},
        {"\\\\server\\share", {}, {}, {}, {}},
        {"Z:\\not\\mounted\\x.exe", {}, {}, {}, {}},
    };
    if (utf8) {
        specs.push_back({dir.Native("données/café ünï 日本語.txt"), {}, {}, {}, {}});
        specs.push_back({dir.Native("Ωμέγα"), {}, {}, {}, {}});
    }
    int written = 0;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const std::string lnkPath = dir.Native("corpus" + std::to_string(i) + ".lnk");
        if (!WriteShortcut(lnkPath, specs[i])) {
            ADD_FAILURE() << "the shell could not write " << specs[i].target;
            continue;
        }
        ++written;
        const std::string fromShell = Shell(lnkPath);
        EXPECT_EQ(reader->ReadTarget(lnkPath), fromShell) << "target " << specs[i].target;
        EXPECT_FALSE(fromShell.empty()) << "target " << specs[i].target;
    }
    EXPECT_EQ(written, static_cast<int>(specs.size()));
}

// Files that Wine and Windows read alike: a LinkInfo path alone, a cut file, an empty file;
// and a path longer than GetPath can report.
TEST_F(SystemLinkReader, BrokenAndPlainFilesReadAsTheShellReadsThem) {
    const std::string local = dir.Native("app/tool.exe");
    Link infoOnly;
    infoOnly.linkInfo = LinkInfo({local, "", "", false, {}, {}, {}});
    Bytes truncated = infoOnly.Build();
    truncated.resize(truncated.size() - 20);
    Link tooLong;
    tooLong.linkInfo = LinkInfo({"C:\\" + std::string(300, 'p'), "", "", false, {}, {}, {}});
    const std::string paths[] = {Write("info_only.lnk", infoOnly.Build()),
                                 Write("truncated.lnk", truncated),
                                 Write("too_long.lnk", tooLong.Build()), Write("empty.lnk", {})};
    for (const std::string& path : {paths[0], paths[1], paths[3]})
        EXPECT_EQ(reader->ReadTarget(path), Shell(path)) << path;
    EXPECT_EQ(reader->ReadTarget(paths[0]), local);
    // A target longer than MAX_PATH comes whole, never cut: a part of a path names another
    // file. The shell link object gives it whole or not at all.
    const std::string whole = "C:\\" + std::string(300, 'p');
    EXPECT_EQ(reader->ReadTarget(paths[2]), whole);
    const std::string fromShell = CreateShellLinkReader()->ReadTarget(paths[2]);
    EXPECT_TRUE(fromShell.empty() || fromShell == whole) << fromShell;
}

TEST_F(SystemLinkReader, ShortcutsAsWindowsWritesThemReadAsWindowsDoes) {
    struct Case {
        std::string name;
        Bytes bytes;
        std::string expected;
    };
    std::vector<Case> cases;

    // A Start menu entry of Windows 10: ID list with long names, LinkInfo, relative path and
    // working folder, tracker, special-folder and known-folder blocks.
    const std::vector<Bytes> program = {
        RootItem(kMyComputer), DriveItem("C:\\"), FileItem("PROGRA~1", u"Program Files", 9, true),
        FileItem("VENDOR~1", u"Vendor Tool", 9, true), FileItem("TOOL~1.EXE", u"tool.exe", 9)};
    Link start;
    start.idList = IdList(program);
    start.linkInfo =
        LinkInfo({"C:\\Program Files\\Vendor Tool\\tool.exe", "", "", false, {}, {}, {}});
    start.strings = {u"", u"..\\..\\..\\..\\..\\..\\Program Files\\Vendor Tool\\tool.exe",
                     u"C:\\Program Files\\Vendor Tool", u"", u""};
    start.extra = {Block(0xA0000003, Bytes(0x58, 0)),
                   SpecialFolderBlock(kCsidlProgramFiles, ItemOffset(program, 3)),
                   KnownFolderBlock(kProgramFilesFolder, ItemOffset(program, 3))};
    cases.push_back({"start.lnk", start.Build(), "C:\\Program Files\\Vendor Tool\\tool.exe"});

    // A document in the user's own Documents as Windows XP writes it: the oldest extension
    // blocks, ANSI-only LinkInfo, the special-folder block; Vista adds the known folder.
    wchar_t docsWide[MAX_PATH];
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, docsWide), S_OK);
    const std::string docs = NarrowUtf8(docsWide);
    std::vector<Bytes> report = PathItems(docs);
    report.push_back(FileItem("REPORT~1.DOC", u"report 2004.doc", 3));
    Link xp;
    xp.idList = IdList(report);
    xp.linkInfo = LinkInfo({docs + "\\report 2004.doc", "", "", false, {}, {}, {}});
    xp.unicodeStrings = false;
    xp.strings = {u"", u"..\\..\\Documents\\report 2004.doc"};
    xp.extra = {SpecialFolderBlock(kCsidlPersonal, ItemOffset(report, report.size() - 1)),
                KnownFolderBlock(kDocumentsFolder, ItemOffset(report, report.size() - 1))};
    cases.push_back({"xp_document.lnk", xp.Build(), docs + "\\report 2004.doc"});

    // A file on a share: network items in the ID list, the share in LinkInfo.
    Link share;
    share.idList = IdList({RootItem(kNetwork), NetworkItem(0x42, "\\\\SERVER"),
                           NetworkItem(0xC3, "\\\\SERVER\\share"), FileItem("DIR", u"dir", 9, true),
                           FileItem("FILE.TXT", u"file.txt")});
    share.linkInfo = LinkInfo({"",
                               "\\\\SERVER\\share",
                               "dir\\file.txt",
                               true,
                               {},
                               u"\\\\SERVER\\share",
                               u"dir\\file.txt"});
    cases.push_back({"share.lnk", share.Build(), "\\\\SERVER\\share\\dir\\file.txt"});

    // A file in a folder this machine shares: LinkInfo has the local and the network path.
    // SLGP_UNCPRIORITY is unsupported, so the path as the link names it wins, from the ID
    // list and, without one, from LinkInfo's local part.
    Link shared;
    shared.idList =
        IdList({RootItem(kMyComputer), DriveItem("C:\\"), FileItem("SHARED", u"Shared", 9, true),
                FileItem("FILE.TXT", u"file.txt")});
    shared.linkInfo = LinkInfo({"C:\\Shared", "\\\\HOST\\Shared", "file.txt", false, {}, {}, {}});
    cases.push_back({"shared.lnk", shared.Build(), "C:\\Shared\\file.txt"});
    shared.idList.clear();
    cases.push_back({"shared_info.lnk", shared.Build(), "C:\\Shared\\file.txt"});

    // An environment target written on a machine whose Windows lived in D:\WINNT: the
    // variable is expanded here and wins over the stored ID list.
    Link env;
    env.extraFlags = kHasExpString;
    env.idList = IdList({RootItem(kMyComputer), DriveItem("D:\\"), FileItem("WINNT", u"", 0, true),
                         FileItem("SYSTEM32", u"", 0, true), FileItem("CALC.EXE", u"", 0)});
    env.extra = {
        TargetBlock(0xA0000001, "%windir%\\system32\\calc.exe", u"%windir%\\system32\\calc.exe")};
    cases.push_back({"env.lnk", env.Build(), Environment(L"windir") + "\\system32\\calc.exe"});

    // Relative paths alone, against the shortcut's own folder; the climb stops at the drive
    // root. The targets need not exist.
    dir.MakeDir("links/deep");
    Link relative;
    relative.strings = {u"", u"..\\..\\app\\.\\tool.exe"};
    cases.push_back({"links/deep/rel.lnk", relative.Build(), dir.Native("app/tool.exe")});
    std::u16string climb;
    for (int i = 0; i < 16; ++i)
        climb += u"..\\";
    relative.strings = {u"", climb + u"Windows\\System32\\calc.exe"};
    cases.push_back({"links/deep/climb.lnk", relative.Build(),
                     dir.Native("").substr(0, 3) + "Windows\\System32\\calc.exe"});

    // An ANSI-only name outside ASCII, in the system's code page (Windows-1252 here).
    Link ansi;
    ansi.linkInfo = LinkInfo({"C:\\Dokumente und Einstellungen\\J\xFCrgen\\Bericht \x80.doc",
                              "",
                              "",
                              false,
                              {},
                              {},
                              {}});
    UINT codePage = 0;
    ::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t));
    if (codePage == 1252)
        cases.push_back(
            {"ansi.lnk", ansi.Build(), "C:\\Dokumente und Einstellungen\\Jürgen\\Bericht €.doc"});

    for (const Case& c : cases) {
        const std::string path = Write(c.name, c.bytes);
        EXPECT_EQ(reader->ReadTarget(path), c.expected) << c.name;
        std::printf("%-22s Wine's shell link object: '%s'\n", c.name.c_str(), Shell(path).c_str());
    }
}

// Wine's link object reports nothing for an environment target alone, so a broken one would
// never be flagged; the system reader reports it.
TEST_F(SystemLinkReader, WhereWinesLinkObjectFails) {
    Link env;
    env.extraFlags = kHasExpString;
    env.extra = {TargetBlock(0xA0000001, "%windir%\\notepad.exe", u"%windir%\\notepad.exe")};
    const std::string path = Write("env_only.lnk", env.Build());
    const std::string expected = Environment(L"windir") + "\\notepad.exe";
    EXPECT_EQ(reader->ReadTarget(path), expected);
    if (UnderWine()) {
        EXPECT_NE(Shell(path), expected);
    }
}

// A shortcut another program holds open for writing (sharing only reading) is still read.
TEST_F(SystemLinkReader, ReadsAShortcutOpenForWriting) {
    Link l;
    l.linkInfo = LinkInfo({"C:\\open.exe", "", "", false, {}, {}, {}});
    const std::string path = Write("open.lnk", l.Build());
    const TKernelHandle writer(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_EQ(reader->ReadTarget(path), "C:\\open.exe");
}

} // namespace
