// The shortcut-file reader against the shell link object: shortcuts written by the shell
// itself, and hand-built ones, read both ways and compared string for string.
#include "shell/link_reader.h"
#include "shell/lnk_format.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"

#include "shell/lnk_builder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <vector>

using namespace lnkb;

namespace {

bool WindowsEnvironment(std::string_view name, std::string& value) {
    char buf[32768];
    const DWORD n = ::GetEnvironmentVariableA(std::string(name).c_str(), buf, sizeof buf);
    if (n == 0 || n >= sizeof buf)
        return false;
    value.assign(buf, n);
    return true;
}

// The shell's answer in UTF-8 whatever the process code page is.
std::string ToUtf8(const std::string& acp) {
    if (::GetACP() == CP_UTF8 || acp.empty())
        return acp;
    wchar_t wide[MAX_PATH * 2];
    const int n = ::MultiByteToWideChar(CP_ACP, 0, acp.c_str(), -1, wide, MAX_PATH * 2);
    char utf8[MAX_PATH * 4];
    if (n <= 0 || ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr) <= 0)
        return {};
    return utf8;
}

std::vector<unsigned char> FileBytes(const std::string& path) {
    std::vector<unsigned char> bytes;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(lnk::kMaxShortcutBytes);
    DWORD got = 0;
    if (!::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    ::CloseHandle(h);
    return bytes;
}

class LnkDifferential : public ::testing::Test {
protected:
    ComApartment com;
    TempDir dir;
    std::unique_ptr<ILinkReader> shell = CreateSystemLinkReader();

    std::string Shell(const std::string& lnkPath) { return ToUtf8(shell->ReadTarget(lnkPath)); }
    std::string Parsed(const std::string& lnkPath) {
        const std::vector<unsigned char> b = FileBytes(lnkPath);
        return lnk::ReadShortcutTarget(b.data(), b.size(), {lnkPath, WindowsEnvironment, {}});
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir.Native(name);
        std::ofstream(dir.Path() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

TEST_F(LnkDifferential, ShortcutsWrittenByTheShellReadTheSame) {
    const bool utf8 = ::GetACP() == CP_UTF8;
    dir.WriteFile("app/tool.exe");
    dir.WriteFile("docs/A long file name with spaces.document.txt");
    dir.MakeDir("folder with a long name");
    if (utf8) { // names in the process code page, which is UTF-8 here
        ASSERT_TRUE(::CreateDirectoryA(dir.Native("données").c_str(), nullptr));
        HANDLE h = ::CreateFileA(dir.Native("données/café ünï 日本語.txt").c_str(), GENERIC_WRITE,
                                 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ::CloseHandle(h);
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
        {dir.Native("app/tool.exe"), "--flag \"quoted arg\"", dir.Native("docs"),
         dir.Native("app/tool.exe"), {}},
        {dir.Native("app/tool.exe"), {}, {}, {}, "..\\app\\tool.exe"},
        {dir.Native("missing/never.exe"), {}, {}, {}, {}},
        {dir.Native(deepFile), {}, {}, {}, {}},
        {"C:\\windows\\system32\\notepad.exe", "file.txt", "C:\\", "C:\\windows\\system32\\shell32.dll", {}},
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
        EXPECT_EQ(Parsed(lnkPath), fromShell) << "target " << specs[i].target;
        EXPECT_FALSE(fromShell.empty()) << "target " << specs[i].target;
    }
    EXPECT_EQ(written, static_cast<int>(specs.size()));
}

TEST_F(LnkDifferential, HandBuiltFilesTheWriterCannotMake) {
    const std::string local = dir.Native("app/tool.exe");
    dir.WriteFile("app/tool.exe");
    const std::u16string localW(local.begin(), local.end()); // ASCII temp path

    struct Case {
        const char* name;
        Bytes bytes;
    };
    Link infoOnly;
    infoOnly.linkInfo = LinkInfo({local, "", "", false, {}, {}, {}});
    Link infoUnicode;
    infoUnicode.linkInfo = LinkInfo({"C:\\ANSI", "", "", true, localW, u"", u""});
    Link listOnly;
    listOnly.idList = IdList({RootItem(kMyComputer), DriveItem("C:\\"),
                              FileItem("WINDOWS", u"windows", 9, true),
                              FileItem("NOTEPAD.EXE", u"notepad.exe")});
    Link env;
    env.extraFlags = kHasExpString;
    env.extra = {TargetBlock(0xA0000001, "%WINDIR%\\notepad.exe", u"%WINDIR%\\notepad.exe")};
    Link tooLong; // a stored path longer than the 259 characters GetPath can report
    tooLong.linkInfo = LinkInfo({"C:\\" + std::string(300, 'p'), "", "", false, {}, {}, {}});
    Link garbage;
    garbage.linkInfo = LinkInfo({local, "", "", false, {}, {}, {}});
    Bytes truncated = garbage.Build();
    truncated.resize(truncated.size() - 20);

    // Wine and Windows agree on these.
    const std::vector<Case> same = {
        {"info_only.lnk", infoOnly.Build()},
        {"truncated.lnk", truncated},
        {"too_long.lnk", tooLong.Build()},
        {"empty.lnk", Bytes{}},
    };
    for (const Case& c : same) {
        const std::string path = Write(c.name, c.bytes);
        EXPECT_EQ(Parsed(path), Shell(path)) << c.name;
    }
    EXPECT_EQ(Parsed(dir.Native("info_only.lnk")), local);
    EXPECT_EQ(Parsed(dir.Native("truncated.lnk")), "");
    EXPECT_EQ(Parsed(dir.Native("too_long.lnk")).size(), 259u);

    // Wine's link object reports only LinkInfo's ANSI local path: it gives "C:\ANSI" for the
    // first file and nothing for the other two. Windows prefers the Unicode path, resolves the
    // ID list, and expands the environment target; the reader follows Windows.
    const std::string unicode = Write("info_unicode.lnk", infoUnicode.Build());
    const std::string list = Write("list_only.lnk", listOnly.Build());
    const std::string expand = Write("env.lnk", env.Build());
    EXPECT_EQ(Parsed(unicode), local);
    EXPECT_EQ(Parsed(list), "C:\\windows\\notepad.exe");
    char windir[MAX_PATH];
    ASSERT_GT(::GetEnvironmentVariableA("WINDIR", windir, MAX_PATH), 0u);
    EXPECT_EQ(Parsed(expand), std::string(windir) + "\\notepad.exe");
    std::printf("shell: unicode LinkInfo '%s', ID list only '%s', environment '%s'\n",
                Shell(unicode).c_str(), Shell(list).c_str(), Shell(expand).c_str());
}

// Network LinkInfo: SLGP_UNCPRIORITY is documented as unsupported, so the share path is
// reported only when no local path is stored beside it. Wine ignores the network part and
// reports the local base path (without the suffix) or nothing.
TEST_F(LnkDifferential, NetworkLinkInfo) {
    Link netOnly;
    netOnly.linkInfo = LinkInfo({"", "\\\\SERVER\\share", "dir\\file.txt", false, {}, {}, {}});
    Link netAndLocal;
    netAndLocal.linkInfo = LinkInfo({"C:\\Shared", "\\\\HOST\\Shared", "dir\\file.txt",
                                     false, {}, {}, {}});
    const std::string a = Write("net_only.lnk", netOnly.Build());
    const std::string b = Write("net_local.lnk", netAndLocal.Build());
    EXPECT_EQ(Parsed(a), "\\\\SERVER\\share\\dir\\file.txt");
    EXPECT_EQ(Parsed(b), "C:\\Shared\\dir\\file.txt");
    std::printf("shell: net only '%s', net and local '%s'\n", Shell(a).c_str(), Shell(b).c_str());
}

// Advertised shortcuts: Windows reports the stored ID list path (the icon in the installer
// cache). Wine reports nothing for them.
TEST_F(LnkDifferential, AdvertisedShortcut) {
    Link darwin;
    darwin.extraFlags = kHasDarwinId;
    darwin.idList = IdList({RootItem(kMyComputer), DriveItem("C:\\"),
                            FileItem("WINDOWS", u"windows", 9, true),
                            FileItem("NOTEPAD.EXE", u"notepad.exe")});
    darwin.extra = {TargetBlock(0xA0000006, "w~]Product>Feature", u"w~]Product>Feature")};
    const std::string path = Write("darwin.lnk", darwin.Build());
    EXPECT_EQ(Parsed(path), "C:\\windows\\notepad.exe");
    std::printf("shell: advertised '%s'\n", Shell(path).c_str());
}

} // namespace
