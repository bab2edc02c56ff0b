// The Windows a run judges on Linux: the environment and user folders of a Wine prefix (from
// registry texts as Wine writes them) or of a partition (Windows' defaults, each user's from
// the profile a shortcut lies in), and the Windows path of a shortcut file below a drive.
#include "cli/drive_map.h"
#include "cli/windows_env.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// As a Wine prefix made by wineboot holds them, cut to what the environment is made of.
constexpr std::string_view kSystemReg = R"REG(WINE REGISTRY Version 2
;; All keys relative to \\Machine

[Software\\Microsoft\\Windows\\CurrentVersion] 1796823186
#time=1dd87e1d29cd752
"CommonFilesDir"="C:\\Program Files\\Common Files"
"CommonFilesDir (x86)"="C:\\Program Files (x86)\\Common Files"
"FirstInstallDateTime"=hex:21,81,7c,23
"ProgramFilesDir"="C:\\Program Files"
"ProgramFilesDir (x86)"="C:\\Program Files (x86)"

[Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList] 1796823186
"ProfilesDirectory"=str(2):"C:\\users"
"ProgramData"=str(2):"C:\\ProgramData"
"Public"=str(2):"C:\\users\\Public"

[System\\CurrentControlSet\\Control\\Nls\\CodePage] 1796823182
"ACP"="1251"

[System\\CurrentControlSet\\Control\\Session Manager\\Environment] 1796823183
"ComSpec"=str(2):"%SystemRoot%\\system32\\cmd.exe"
"NUMBER_OF_PROCESSORS"="2"
"TEMP"=str(2):"%SystemRoot%\\temp"
"windir"=str(2):"%SystemRoot%"
"LOOP"=str(2):"%LOOP%x"
)REG";

constexpr std::string_view kUserReg = R"REG(WINE REGISTRY Version 2

[Environment] 1796823181
"TEMP"="C:\\users\\j\xfcrgen\\Temp"
"Quoted"="say \"hi\"\\now"
"Tokyo"="C:\\\x6771\x4eac"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders] 1796823181
"Personal"="C:\\users\\j\xfcrgen\\Mes documents"
"{374DE290-123F-4565-9164-39C4925E467B}"="C:\\users\\j\xfcrgen\\Downloads"

[Volatile Environment] 1796823186
"APPDATA"="C:\\users\\j\xfcrgen\\AppData\\Roaming"
"USERNAME"="j\xfcrgen"
"USERPROFILE"="C:\\users\\j\xfcrgen"
)REG";

std::string Value(const TWindowsEnvironment& env, std::string_view name,
                  std::string_view linkPath = "C:\\x.lnk") {
    std::string value;
    return env.Lookup(name, linkPath, value) ? value : "<unknown>";
}

std::string Place(const TWindowsEnvironment& env, const char* id,
                  std::string_view linkPath = "C:\\x.lnk") {
    std::string place;
    const lnk::KnownFolder* folder = lnk::FindKnownFolder(id);
    return folder && env.FolderPlace(*folder, linkPath, place) ? place : "<unknown>";
}

TEST(WindowsEnvironment, AWinePrefixsOwnValuesFromItsRegistry) {
    const TWindowsEnvironment env = TWindowsEnvironment::FromWineRegistry(kSystemReg, kUserReg);
    // What Wine derives, then the environment keys: the system's, the user's, the volatile.
    EXPECT_EQ(Value(env, "SystemRoot"), "C:\\windows");
    EXPECT_EQ(Value(env, "WINDIR"), "C:\\windows");
    EXPECT_EQ(Value(env, "comspec"), "C:\\windows\\system32\\cmd.exe");
    EXPECT_EQ(Value(env, "ProgramFiles"), "C:\\Program Files");
    EXPECT_EQ(Value(env, "ProgramFiles(x86)"), "C:\\Program Files (x86)");
    EXPECT_EQ(Value(env, "CommonProgramFiles"), "C:\\Program Files\\Common Files");
    EXPECT_EQ(Value(env, "ProgramData"), "C:\\ProgramData");
    EXPECT_EQ(Value(env, "ALLUSERSPROFILE"), "C:\\ProgramData");
    EXPECT_EQ(Value(env, "PUBLIC"), "C:\\users\\Public");
    EXPECT_EQ(Value(env, "TEMP"), "C:\\users\\jürgen\\Temp"); // the user's over the system's
    EXPECT_EQ(Value(env, "USERPROFILE"), "C:\\users\\jürgen");
    EXPECT_EQ(Value(env, "USERNAME"), "jürgen");
    EXPECT_EQ(Value(env, "Tokyo"), "C:\\東京");
    EXPECT_EQ(Value(env, "Quoted"), "say \"hi\"\\now");
    // The prefix's user, wherever the shortcut lies; nothing else is guessed.
    EXPECT_EQ(Value(env, "USERPROFILE", "C:\\users\\other\\Desktop\\x.lnk"), "C:\\users\\jürgen");
    EXPECT_EQ(Value(env, "LOCALAPPDATA"), "<unknown>");
    EXPECT_EQ(Value(env, "LOOP"), "<unknown>");
    EXPECT_EQ(Value(env, "HOME"), "<unknown>");
    EXPECT_EQ(env.AnsiCodePage(), 1251);
    // Known folders: the user's Shell Folders, by their old names or their GUID; the others
    // at their usual place.
    EXPECT_EQ(Place(env, "{FDD39AD0-238F-46AF-ADB4-6C85480369C7}"),
              "C:\\users\\jürgen\\Mes documents");
    EXPECT_EQ(Place(env, "{374de290-123f-4565-9164-39c4925e467b}"), "C:\\users\\jürgen\\Downloads");
    EXPECT_EQ(Place(env, "{3EB685DB-65F9-4CF6-A03A-E3EF65729F3D}"),
              "C:\\users\\jürgen\\AppData\\Roaming");
    EXPECT_EQ(Place(env, "{82A74AEB-AEB4-465C-A014-D097EE346D63}"), "<unknown>"); // virtual
}

TEST(WindowsEnvironment, APartitionsValuesAreWindowsDefaultsAndTheProfileTheShortcutLiesIn) {
    const TWindowsEnvironment env;
    EXPECT_EQ(Value(env, "windir"), "C:\\Windows");
    EXPECT_EQ(Value(env, "ProgramFiles(x86)"), "C:\\Program Files (x86)");
    EXPECT_EQ(Value(env, "USERPROFILE"), "<unknown>"); // in no profile
    const std::string_view desktop = "D:\\Users\\Anna\\Desktop\\x.lnk";
    EXPECT_EQ(Value(env, "USERPROFILE", desktop), "D:\\Users\\Anna");
    EXPECT_EQ(Value(env, "USERNAME", desktop), "Anna");
    EXPECT_EQ(Value(env, "HOMEPATH", desktop), "\\Users\\Anna");
    EXPECT_EQ(Value(env, "LOCALAPPDATA", desktop), "D:\\Users\\Anna\\AppData\\Local");
    EXPECT_EQ(Value(env, "USERPROFILE", "C:\\Users\\Public\\Desktop\\x.lnk"), "<unknown>");
    EXPECT_EQ(Place(env, "{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", desktop),
              "D:\\Users\\Anna\\Documents");
    // Windows XP: its profile folder, its names, no ProgramData or Public.
    const std::string_view xp = "C:\\Documents and Settings\\Bob\\Start Menu\\x.lnk";
    EXPECT_EQ(Value(env, "APPDATA", xp), "C:\\Documents and Settings\\Bob\\Application Data");
    EXPECT_EQ(Value(env, "ALLUSERSPROFILE", xp), "C:\\Documents and Settings\\All Users");
    EXPECT_EQ(Value(env, "ProgramData", xp), "<unknown>");
    EXPECT_EQ(Place(env, "{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", xp),
              "C:\\Documents and Settings\\Bob\\My Documents");
}

TEST(WindowsEnvironment, AShortcutsWindowsPathIsFoundBelowTheDeepestDrive) {
    TempDir t;
    const fs::path prefix = t.Path() / "wine";
    fs::create_directories(prefix / "drive_c" / "users" / "me" / "Desktop");
    TDriveRoots roots;
    roots['C' - 'A'] = (prefix / "dosdevices" / ".." / "drive_c").string();
    roots['Z' - 'A'] = "/";
    const auto files = CreateMappedShortcutFiles(roots, TWindowsEnvironment());
    const auto windows = [&](const fs::path& p) {
        std::string program = p.string();
        for (char& c : program)
            if (c == '/')
                c = '\\';
        return files->WindowsPath(program);
    };
    EXPECT_EQ(windows(prefix / "drive_c" / "users" / "me" / "Desktop" / "a.lnk"),
              "C:\\users\\me\\Desktop\\a.lnk");
    EXPECT_EQ(windows(prefix / "drive_c"), "C:\\");
    EXPECT_EQ(
        windows(t.Path() / "elsewhere" / "b.lnk"), "Z:" + [&] {
            std::string s = (t.Path() / "elsewhere" / "b.lnk").string();
            for (char& c : s)
                if (c == '/')
                    c = '\\';
            return s;
        }());
    roots['Z' - 'A'].clear();
    EXPECT_EQ(CreateMappedShortcutFiles(roots, TWindowsEnvironment())->WindowsPath("\\tmp\\x.lnk"),
              "");
    // Text in the prefix's code page.
    std::string utf8;
    const auto cyrillic = CreateMappedShortcutFiles(
        roots, TWindowsEnvironment::FromWineRegistry(kSystemReg, kUserReg));
    ASSERT_TRUE(cyrillic->DecodeAnsi("\xC4\xE0", utf8));
    EXPECT_EQ(utf8, "Да");
    EXPECT_FALSE(files->DecodeAnsi("\xC4", utf8)); // 1252: the reader's own decoding
}

} // namespace
