// Writes shortcuts in the shapes real Windows machines write, byte by byte from the published
// format, with the targets some of them need, for the comparison of the three readers
// (real_shapes.sh):  real_shapes.exe FOLDER
// FOLDER\links holds the shortcuts; FOLDER\expected.tsv says, for each by name, the verdict
// and reason every reader must give in a fresh Wine prefix; FOLDER\lnkinfo.tsv says, for the
// ones an independent parser can check, which of its lines names which stored path.
#include "base/handles.h"
#include "base/text.h"
#include "lnk/lnk_builder.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace lnkb;

namespace {

bool WriteFile(const std::string& path, const Bytes& bytes) {
    const TKernelHandle file(::CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

void MakeFolder(const std::string& path) { ::CreateDirectoryW(WidenUtf8(path).c_str(), nullptr); }

// The items of a drive path, each name long and short (the short one made up).
std::vector<Bytes> PathItems(const std::string& drive, const std::vector<std::u16string>& names,
                             int version = 9) {
    std::vector<Bytes> items{RootItem(kMyComputer), DriveItem(drive)};
    for (std::size_t i = 0; i < names.size(); ++i)
        items.push_back(
            FileItem("N" + std::to_string(i) + "~1", names[i], version, i + 1 < names.size()));
    return items;
}

Bytes EnvironmentOnly(const std::u16string& target) {
    Link l;
    l.extraFlags = kHasExpString;
    l.extra = {TargetBlock(0xA0000001, "", target)};
    return l.Build();
}

Bytes LinkInfoOnly(const std::string& local, const std::string& net = "") {
    Link l;
    l.linkInfo = LinkInfo({local, net, "", false, {}, {}, {}});
    return l.Build();
}

// {FDD39AD0-238F-46AF-ADB4-6C85480369C7}, Documents; {905E63B6-C1BF-494E-B29C-65B732D3D21A},
// Program Files; {031E4825-...}: root items of the libraries; the Control Panel's.
constexpr unsigned char kDocuments[16] = {0xD0, 0x9A, 0xD3, 0xFD, 0x8F, 0x23, 0xAF, 0x46,
                                          0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7};
constexpr unsigned char kProgramFiles[16] = {0xB6, 0x63, 0x5E, 0x90, 0xBF, 0xC1, 0x4E, 0x49,
                                             0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A};

struct Shape {
    std::string file; // below FOLDER\links
    Bytes bytes;
    bool invalid;
    std::string reason;
    std::string lnkinfo = {}; // "Field:value" an independent parser must report, or ""
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: real_shapes FOLDER\n");
        return 2;
    }
    const std::string root = argv[1];
    const std::string targets = root + "\\targets";
    const std::string links = root + "\\links";
    for (const std::string& dir :
         {root, targets, targets + "\\Sub Folder", links, links + "\\deep", links + "\\deep\\er"})
        MakeFolder(dir);
    for (const char* name : {"app.exe", "安装程序（拦截请允许）.exe", "café.exe"})
        if (!WriteFile(targets + "\\" + name, {'x'}))
            return 1;

    // The folder's own names as the ID lists and LinkInfo spell them ("C:\real-shapes").
    const std::string drive = root.substr(0, 3);
    const std::u16string top = [&] {
        const std::wstring wide = WidenUtf8(root.substr(3));
        return std::u16string(wide.begin(), wide.end());
    }();

    std::vector<Shape> shapes;
    // Environment strings alone, as installers and Windows' own tools write them.
    shapes.push_back(
        {"env windir.lnk", EnvironmentOnly(u"%windir%\\notepad.exe"), false, "target found"});
    shapes.push_back({"env gone.lnk", EnvironmentOnly(u"%ProgramFiles%\\Gone Vendor\\gone.exe"),
                      true, "target not found on C:"});
    shapes.push_back({"env unknown.lnk", EnvironmentOnly(u"%SWEEPER_NOT_SET%\\x.exe"), false,
                      "environment variable %SWEEPER_NOT_SET% unknown"});
    shapes.push_back(
        {"env appdata.lnk", EnvironmentOnly(u"%APPDATA%\\Microsoft"), false, "target found"});
    {
        // The environment wins over an ID list written where Windows lived in D:\WINNT.
        Link l;
        l.extraFlags = kHasExpString;
        l.idList = IdList(PathItems("D:\\", {u"WINNT", u"notepad.exe"}, 0));
        l.extra = {TargetBlock(0xA0000001, "%windir%\\notepad.exe", u"%windir%\\notepad.exe")};
        shapes.push_back({"env and id list.lnk", l.Build(), false, "target found"});
    }
    // Relative paths alone, against the shortcut's own folder, the climb held at the root.
    {
        Link l;
        l.strings = {u"", u"..\\..\\..\\targets\\app.exe"};
        shapes.push_back({"deep\\er\\relative.lnk", l.Build(), false, "target found",
                          "Relative path:..\\..\\..\\targets\\app.exe"});
        l.strings = {u"", u"..\\..\\..\\..\\..\\..\\..\\..\\windows\\notepad.exe"};
        shapes.push_back({"deep\\er\\relative climb.lnk", l.Build(), false, "target found"});
        l.strings = {u"", u"..\\..\\targets\\gone.exe"};
        shapes.push_back({"deep\\relative gone.lnk", l.Build(), true, "target not found on C:"});
    }
    // ID lists alone, long names in the extension blocks of every version.
    {
        std::vector<std::u16string> names{top, u"targets", u"安装程序（拦截请允许）.exe"};
        Link l;
        l.idList = IdList(PathItems(drive, names, 8));
        shapes.push_back({"id list unicode.lnk", l.Build(), false, "target found"});
        names = {top, u"gone", u"x.exe"};
        l.idList = IdList(PathItems(drive, names, 3));
        shapes.push_back({"id list gone.lnk", l.Build(), true, "target not found on C:"});
    }
    // Known folders: a document of another user's Documents, rebased to this user's; a
    // program below Program Files that is gone.
    {
        const std::vector<Bytes> items = {
            RootItem(kMyComputer), DriveItem("C:\\"), FileItem("Users", u"Users", 9, true),
            FileItem("alice", u"alice", 9, true), FileItem("DOCUME~1", u"Documents", 9, true)};
        Link l;
        l.idList = IdList(items);
        l.linkInfo = LinkInfo({"C:\\Users\\alice\\Documents", "", "", false, {}, {}, {}});
        l.extra = {
            KnownFolderBlock(kDocuments, static_cast<std::uint32_t>(IdList(items).size() - 2))};
        shapes.push_back({"known documents.lnk", l.Build(), false, "target found",
                          "Local path:C:\\Users\\alice\\Documents"});
        const std::vector<Bytes> program = {RootItem(kMyComputer), DriveItem("C:\\"),
                                            FileItem("PROGRA~1", u"Program Files", 9, true),
                                            FileItem("GONEVE~1", u"Gone Vendor", 9, true),
                                            FileItem("GONE.EXE", u"gone.exe", 9)};
        Link p;
        p.idList = IdList(program);
        p.extra = {KnownFolderBlock(kProgramFiles, ItemOffset(program, 3))};
        shapes.push_back({"known gone.lnk", p.Build(), true, "target not found on C:"});
    }
    {
        // A Vista "Links" favorite copied out of its profile: rooted at the user's files;
        // its relative path would climb elsewhere.
        Link l;
        l.idList = IdList({RootItem(kUsersFiles), FileItem("AppData", u"AppData", 7, true)});
        l.strings = {u"", u"..\\AppData"};
        shapes.push_back({"links favorite.lnk", l.Build(), false, "target found"});
        l.idList = IdList({RootItem(kLibraries), FileItem("DOCUME~1", u"Documents", 7, true)});
        shapes.push_back({"library.lnk", l.Build(), false, "shell folder Libraries"});
        Link panel;
        panel.idList = IdList({RootItem(kControlPanel)});
        shapes.push_back({"control panel.lnk", panel.Build(), false, "shell folder Control Panel"});
    }
    // A mapped network drive: LinkInfo knows only the share; the ID list spells Z:, which is
    // Wine's view of / here.
    {
        Link l;
        l.idList = IdList(PathItems("Z:\\", {u"no-such-folder-of-the-test", u"x.xls"}));
        l.linkInfo = LinkInfo(
            {"", "\\\\10.0.0.150\\data", "no-such-folder-of-the-test\\x.xls", false, {}, {}, {}});
        shapes.push_back({"mapped drive.lnk", l.Build(), false, "network share, not probed",
                          "Network path:\\\\10.0.0.150\\data\\no-such-folder-of-the-test\\x.xls"});
        shapes.push_back({"shared folder.lnk",
                          LinkInfoOnly(root + "\\targets\\app.exe", "\\\\HOST\\shared"), false,
                          "target found", "Local path:" + root + "\\targets\\app.exe"});
    }
    // Short names: Windows' own, which Wine does not make; and an ID list without long names
    // beside LinkInfo's long ones.
    shapes.push_back({"short name.lnk", LinkInfoOnly("C:\\PROGRA~1\\GONEVE~1\\gone.exe"), false,
                      "short name not found under Wine"});
    {
        Link l;
        l.idList =
            IdList({RootItem(kMyComputer), DriveItem(drive), FileItem("REAL-S~1", u"", 0, true),
                    FileItem("TARGETS", u"", 0, true), FileItem("APP.EXE", u"", 0)});
        l.linkInfo = LinkInfo({root + "\\targets\\app.exe", "", "", false, {}, {}, {}});
        shapes.push_back({"short id list.lnk", l.Build(), false, "target found"});
    }
    // ANSI text in the system's code page (Windows-1252 in a fresh prefix), a target in the
    // 32-bit program folder, a letter with no volume, and a file that is no shortcut.
    shapes.push_back(
        {"ansi.lnk", LinkInfoOnly(root + "\\targets\\caf\xE9.exe"), false, "target found"});
    shapes.push_back(
        {"x86.lnk", LinkInfoOnly(root + "\\targets (x86)\\app.exe"), false, "found without (x86)"});
    shapes.push_back(
        {"no volume.lnk", LinkInfoOnly("Q:\\Tools\\tool.exe"), false, "drive Q: has no volume"});
    {
        Bytes cut = LinkInfoOnly("C:\\x.exe");
        cut.resize(0x50);
        shapes.push_back({"corrupt.lnk", cut, false, "shortcut could not be read"});
    }
    shapes.push_back(
        {"Zürich – 東京.lnk", LinkInfoOnly(root + "\\gone.exe"), true, "target not found on C:"});
    // A shortcut below a path longer than MAX_PATH.
    std::string deep = links;
    for (int i = 0; i < 6; ++i) {
        deep += "\\" + std::string(50, static_cast<char>('a' + i));
        ::CreateDirectoryW(LongPathForm(deep).c_str(), nullptr);
    }
    shapes.push_back({deep.substr(links.size() + 1) + "\\deep.lnk",
                      LinkInfoOnly(root + "\\targets\\app.exe"), false, "target found"});

    std::string expected, lnkinfo;
    for (const Shape& s : shapes) {
        if (!WriteFile(links + "\\" + s.file, s.bytes)) {
            std::fprintf(stderr, "real_shapes: cannot write %s\n", s.file.c_str());
            return 1;
        }
        const std::size_t start = s.file.find_last_of('\\') + 1; // npos + 1 is 0
        const std::string name = s.file.substr(start, s.file.size() - 4 - start);
        expected += name + "\t" + (s.invalid ? "true" : "false") + "\t" + s.reason + "\n";
        if (!s.lnkinfo.empty())
            lnkinfo += s.file + "\t" + s.lnkinfo + "\n";
    }
    // A '$' in the folder a user chooses (a profile "ca$h"), and "$Recycle.Bin" below it.
    MakeFolder(root + "\\ca$h");
    MakeFolder(root + "\\ca$h\\$Recycle.Bin");
    if (!WriteFile(root + "\\ca$h\\found.lnk", LinkInfoOnly(root + "\\targets\\app.exe")) ||
        !WriteFile(root + "\\ca$h\\$Recycle.Bin\\binned.lnk", LinkInfoOnly("C:\\x.exe")))
        return 1;
    if (!WriteFile(root + "\\expected.tsv", Bytes(expected.begin(), expected.end())) ||
        !WriteFile(root + "\\lnkinfo.tsv", Bytes(lnkinfo.begin(), lnkinfo.end())))
        return 1;
    return 0;
}
