// shortcut-sweeper --wine-launchers on homes made in temporary folders: launchers, menu files,
// folder entries and icons written as Wine's winemenubuilder writes them, shortcuts written
// byte by byte, and the prefixes they start deleted piece by piece.
#include "cli/child.h"
#include "cli/launchers.h"
#include "cli/record_writer.h"
#include "cli/support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A path as winemenubuilder puts it on an Exec line: each backslash written as four, a blank
// or another character the shell would take as its own behind two.
std::string WineEscaped(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '\\')
            out += "\\\\\\\\";
        else if (std::string_view(" \t\"'><~|%&$;*?#()`").find(c) != std::string_view::npos)
            out += std::string("\\\\") + c;
        else
            out += c;
    }
    return out;
}

// A launcher's text as Wine writes it, around an Exec line's arguments after "wine".
std::string DesktopEntry(const std::string& name, const std::string& prefix,
                         const std::string& args, const std::string& icon = "") {
    std::string text = "[Desktop Entry]\nName=" + name + "\nExec=";
    text += prefix.empty() ? std::string() : "env WINEPREFIX=\"" + prefix + "\" ";
    text += "wine " + args + "\nType=Application\nStartupNotify=true\n";
    if (!icon.empty())
        text += "Icon=" + icon + "\n";
    return text + "StartupWMClass=" + name + ".exe\n";
}

// A menu file as Wine writes one for a launcher below applications/wine/.
std::string MenuFile(const std::vector<std::string>& ids) {
    std::string text = "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                       "\"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
                       "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n"
                       "    <Name>wine-wine</Name>\n"
                       "    <Directory>wine-wine.directory</Directory>\n  <Menu>\n"
                       "    <Name>wine-Programs</Name>\n"
                       "    <Directory>wine-Programs.directory</Directory>\n  <Menu>\n"
                       "    <Name>wine-Programs-App</Name>\n"
                       "    <Directory>wine-Programs-App.directory</Directory>\n";
    for (const std::string& id : ids)
        text += "    <Include><Filename>" + id + "</Filename></Include>\n";
    return text + "  </Menu>\n  </Menu>\n  </Menu>\n</Menu>\n";
}

// A user's home with a Wine prefix: a program installed and a Start menu, Desktop and menu
// launchers for its shortcuts.
struct Home {
    TempDir dir;
    fs::path home = dir.Path() / "home";
    fs::path data = home / "data";
    fs::path config = home / "config";
    fs::path desktop = home / "Desktop";
    fs::path prefix = home / "games prefix";
    fs::path drive = prefix / "drive_c";
    fs::path programs = drive / "users" / "me" / "Start Menu" / "Programs";
    fs::path menu = data / "applications" / "wine" / "Programs";
    std::map<std::string, std::string> env = {{"HOME", home.string()},
                                              {"XDG_DATA_HOME", data.string()},
                                              {"XDG_CONFIG_HOME", config.string()}};

    Home() {
        fs::create_directories(prefix / "dosdevices");
        fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::create_symlink("/", prefix / "dosdevices" / "z:");
        std::ofstream(prefix / "system.reg")
            << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
               "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
               "#time=1da0000000000000\n\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n";
        fs::create_directories(drive / "Program Files" / "App");
        std::ofstream(drive / "Program Files" / "App" / "app.exe") << "MZ";
        fs::create_directories(desktop);
        fs::create_directories(config / "menus" / "applications-merged");
    }
    void Write(const fs::path& path, const std::string& text) const {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // A shortcut whose target is named only by an environment string, as installers write.
    void WriteEnvironmentLink(const fs::path& path, const std::string& target) const {
        lnkb::Link link;
        link.extra = {
            lnkb::TargetBlock(0xA0000001, target, std::u16string(target.begin(), target.end()))};
        link.extraFlags = lnkb::kHasExpString;
        const lnkb::Bytes bytes = link.Build();
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    // The Exec arguments of each form for a shortcut below programs.
    std::string WindowsForm(const std::string& below) const {
        return WineEscaped("C:\\users\\me\\Start Menu\\Programs\\" + below);
    }
    std::string UnixForm(const std::string& below) const {
        return "start /unix " + WineEscaped((prefix / "dosdevices" / "c:" / "users" / "me" /
                                             "Start Menu" / "Programs" / below)
                                                .string());
    }
};

std::map<std::string, nlohmann::json> ByLauncher(const std::string& out) {
    std::map<std::string, nlohmann::json> result;
    for (const nlohmann::json& o : JsonLines(out)) {
        const fs::path launcher = o["Launcher"].get<std::string>();
        result[(launcher.parent_path().filename() / launcher.filename()).string()] = o;
    }
    return result;
}

TEST(WineLaunchers, ExecLinesAreSplitAsWineWritesThem) {
    EXPECT_EQ(ExecWords("env WINEPREFIX=\"/home/a b/.wine\" wine "
                        "C:\\\\\\\\users\\\\\\\\Start\\\\ Menu\\\\\\\\X\\\\ \\\\(1\\\\).lnk"),
              (std::vector<std::string>{"env", "WINEPREFIX=/home/a b/.wine", "wine",
                                        "C:\\users\\Start Menu\\X (1).lnk"}));
    EXPECT_EQ(ExecWords("wine \"C:\\\\\\\\a \\\\\"b\\\\\".exe\" -x\\s%f"),
              (std::vector<std::string>{"wine", "C:\\a \"b\".exe", "-x", "%f"}));
    // Only Wine's forms for a shortcut are Wine's launchers.
    for (const char* other :
         {"[Desktop Entry]\nExec=firefox %u\n", "[Desktop Entry]\nExec=wine notepad\n",
          "[Desktop Entry]\nExec=env WINEPREFIX=\"/p\" wine start /max notepad\n",
          "[Other]\nExec=wine C:\\\\\\\\x.lnk\n", "Exec=wine C:\\\\\\\\x.lnk\n"})
        EXPECT_FALSE(ParseWineLauncher(other)) << other;
    for (const char* wine : {"wine", "wine64", "/usr/bin/wine-stable", "wine-development"})
        EXPECT_TRUE(
            ParseWineLauncher(std::string("[Desktop Entry]\nExec=") + wine + " C:\\\\\\\\x.lnk\n"))
            << wine;
    EXPECT_FALSE(ParseWineLauncher("[Desktop Entry]\nExec=winecfg C:\\\\\\\\x.lnk\n"));
    const auto launcher = ParseWineLauncher(
        "[Desktop Entry]\nExec=/usr/bin/wine64 C:\\\\\\\\windows\\\\\\\\command\\\\\\\\start.exe "
        "/Unix /p/dosdevices/c:/X.lnk\nIcon=1234_x.0\n[Desktop Action New]\nExec=other\n");
    ASSERT_TRUE(launcher);
    EXPECT_EQ(launcher->form, TLauncherForm::UnixShortcut);
    EXPECT_EQ(launcher->path, "/p/dosdevices/c:/X.lnk");
    EXPECT_EQ(launcher->prefix, "");
    EXPECT_EQ(launcher->icon, "1234_x.0");
    const auto association =
        ParseWineLauncher("[Desktop Entry]\nMimeType=text/x-a;application/x-wine-extension-a;\n"
                          "Exec=env WINEPREFIX=\"/p\" wine start /ProgIDOpen A\\\\ B.1 %f\n");
    ASSERT_TRUE(association);
    EXPECT_EQ(association->form, TLauncherForm::Association);
    EXPECT_EQ(association->path, "A B.1");
    EXPECT_EQ(association->mimeTypes,
              (std::vector<std::string>{"text/x-a", "application/x-wine-extension-a"}));
    EXPECT_EQ(CommandProgram("\"C:\\P F\\a.exe\" \"%1\""), "C:\\P F\\a.exe");
    EXPECT_EQ(CommandProgram("C:\\P F\\A.EXE /open %1"), "C:\\P F\\A.EXE");
    EXPECT_EQ(CommandProgram("rundll32 x.dll,Open %1"), "rundll32");
}

TEST(WineLaunchers, EachFormIsJudgedWithItsPrefixAndOtherLaunchersAreLeftAlone) {
    Home h;
    WriteLink(h.programs / "App" / "App.lnk", "C:\\Program Files\\App\\app.exe");
    WriteLink(h.programs / "App" / "Old (1).lnk", "C:\\Program Files\\Gone\\gone.exe");
    h.WriteEnvironmentLink(h.programs / "App" / "Env.lnk", "%ProgramFiles%\\Gone\\env.exe");
    const std::string p = h.prefix.string();
    h.Write(h.menu / "App" / "App.desktop", DesktopEntry("App", p, h.WindowsForm("App\\App.lnk")));
    h.Write(h.menu / "App" / "Old.desktop", DesktopEntry("Old", p, h.UnixForm("App/Old (1).lnk")));
    h.Write(h.menu / "App" / "Env.desktop",
            DesktopEntry("Env", p,
                         WineEscaped("C:\\windows\\command\\start.exe") + " /Unix " +
                             WineEscaped((h.programs / "App" / "Env.lnk").string())));
    // Wine finds a file whatever the case of its name.
    h.Write(h.menu / "App" / "Case.desktop",
            DesktopEntry("Case", p, h.WindowsForm("app\\APP.LNK")));
    h.Write(h.menu / "App" / "Unix case.desktop",
            DesktopEntry("Unix case", p, h.UnixForm("APP/old (1).LNK")));
    h.Write(h.menu / "App" / "Removed.desktop",
            DesktopEntry("Removed", p, h.WindowsForm("App\\Removed.lnk")));
    h.Write(h.desktop / "App.desktop",
            DesktopEntry("App", p, WineEscaped("C:\\Program Files\\App\\app.exe") + " -x"));
    h.Write(h.desktop / "Gone.desktop",
            DesktopEntry("Gone", p, WineEscaped("C:\\Program Files\\Gone\\gone.exe")));
    h.Write(h.desktop / "Deleted prefix.desktop",
            DesktopEntry("X", (h.home / "deleted").string(), h.WindowsForm("X.lnk")));
    h.Write(h.desktop / "Default prefix.desktop", DesktopEntry("Y", "", h.WindowsForm("Y.lnk")));
    // Not Wine's: never reported, never touched.
    h.Write(h.desktop / "firefox.desktop", "[Desktop Entry]\nExec=firefox %u\nType=Application\n");
    h.Write(h.menu / "Tool.desktop", "[Desktop Entry]\nExec=/opt/tool/run C:\\\\\\\\x.lnk\n");
    h.Write(h.menu / "wine-extension-txt.desktop",
            DesktopEntry("Notepad", p, "start /ProgIDOpen txtfile %f"));

    const Result r = Sweeper({"--wine-launchers", "--all", "--format", "json"}, h.env);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "");
    const std::map<std::string, nlohmann::json> all = ByLauncher(r.out);
    const std::map<std::string, std::pair<std::string, std::string>> expected = {
        {"App/App.desktop", {"live", "target found"}},
        {"App/Case.desktop", {"live", "target found"}},
        {"App/Unix case.desktop", {"dead", "target not found on C:"}},
        {"Desktop/App.desktop", {"live", "target found"}},
        {"App/Old.desktop", {"dead", "target not found on C:"}},
        {"App/Env.desktop", {"dead", "target not found on C:"}},
        {"App/Removed.desktop", {"dead", kShortcutGone}},
        {"Desktop/Gone.desktop", {"dead", "target not found on C:"}},
        {"Desktop/Deleted prefix.desktop", {"dead", kPrefixGone}},
        {"Desktop/Default prefix.desktop", {"dead", kPrefixGone}}};
    ASSERT_EQ(all.size(), expected.size()) << r.out;
    for (const auto& [name, verdict] : expected) {
        ASSERT_TRUE(all.count(name)) << name;
        EXPECT_EQ(all.at(name)["Verdict"], verdict.first) << name;
        EXPECT_EQ(all.at(name)["Reason"], verdict.second) << name;
    }
    EXPECT_EQ(all.at("App/Env.desktop")["Target"], "C:\\Program Files\\Gone\\env.exe");
    EXPECT_EQ(all.at("App/Env.desktop")["Prefix"], p);
    EXPECT_EQ(all.at("Desktop/Default prefix.desktop")["Prefix"], (h.home / ".wine").string());
    EXPECT_EQ(all.at("App/Case.desktop")["Shortcut"], (h.programs / "App" / "App.lnk").string());
    EXPECT_EQ(all.at("App/Unix case.desktop")["Shortcut"],
              (h.prefix / "dosdevices" / "c:" / "users" / "me" / "Start Menu" / "Programs" / "App" /
               "Old (1).lnk")
                  .string());
    EXPECT_EQ(all.at("App/Removed.desktop")["Shortcut"],
              (h.programs / "App" / "Removed.lnk").string());

    // The other formats and statuses, as for shortcuts.
    const Result csv = Sweeper({"--wine-launchers", "--format", "csv"}, h.env);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "Launcher,Prefix,Shortcut,Target,Verdict,Reason\r");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 8);
    const Result tsv = Sweeper({"--wine-launchers", "--format", "tsv"}, h.env);
    EXPECT_EQ(tsv.out.substr(0, tsv.out.find('\n')),
              "Launcher\tPrefix\tShortcut\tTarget\tVerdict\tReason");
    const Result paths = Sweeper({"--wine-launchers", "-0"}, h.env);
    EXPECT_EQ(std::count(paths.out.begin(), paths.out.end(), '\0'), 7);
    const Result table = Sweeper({"--wine-launchers"}, h.env);
    EXPECT_NE(table.out.find("dead   shortcut file gone"), std::string::npos) << table.out;
    EXPECT_EQ(Sweeper({"--wine-launchers", "-q"}, h.env).status, 1);
    EXPECT_EQ(Sweeper({"--wine-launchers", "DIR"}, h.env).status, 2);

    // Only live launchers left: status 0, and --recycle touches nothing that is not Wine's.
    const Result recycled = Sweeper({"--wine-launchers", "--recycle", "--yes"}, h.env);
    EXPECT_EQ(recycled.status, 1) << recycled.err;
    EXPECT_TRUE(fs::exists(h.desktop / "firefox.desktop"));
    EXPECT_TRUE(fs::exists(h.menu / "Tool.desktop"));
    EXPECT_TRUE(fs::exists(h.menu / "wine-extension-txt.desktop"));
    EXPECT_TRUE(fs::exists(h.menu / "App" / "App.desktop"));
    EXPECT_EQ(Sweeper({"--wine-launchers"}, h.env).status, 0);
    EXPECT_TRUE(fs::exists(h.data / "Trash" / "files" / "Gone.desktop"));
}

TEST(WineLaunchers, BadInputIsNamedAndLeftAlone) {
    Home h;
    WriteLink(h.programs / "App.lnk", "C:\\Program Files\\App\\app.exe");
    h.Write(h.menu / "Binary.desktop", std::string("[Desktop Entry]\nExec=wine C:\\\\\\\\x.lnk\n") +
                                           std::string("\0\x01\xff", 3));
    h.Write(h.menu / "Huge.desktop",
            DesktopEntry("Huge", (h.home / "deleted").string(), h.WindowsForm("X.lnk")) +
                std::string(1 << 20, '#'));
    h.Write(h.menu / "Locked.desktop",
            DesktopEntry("Locked", h.prefix.string(), h.WindowsForm("App.lnk")));
    fs::permissions(h.menu / "Locked.desktop", fs::perms::none);
    fs::create_symlink("loop-b", h.home / "loop-a");
    fs::create_symlink("loop-a", h.home / "loop-b");
    h.Write(h.menu / "Loop.desktop",
            DesktopEntry("Loop", (h.home / "loop-a").string(), h.WindowsForm("X.lnk")));
    h.Write(h.desktop / "Gone.desktop",
            DesktopEntry("Gone", (h.home / "deleted").string(), h.WindowsForm("X.lnk")));

    const Result r = Sweeper({"--wine-launchers", "--recycle", "--yes", "-f", "json"}, h.env);
    EXPECT_EQ(r.status, 1) << r.err;
    const std::map<std::string, nlohmann::json> all = ByLauncher(r.out);
    EXPECT_EQ(all.size(), 1u) << r.out;
    EXPECT_TRUE(all.count("Desktop/Gone.desktop"));
    for (const auto& [name, reason] : std::map<std::string, std::string>{
             {"Binary.desktop", "not a text file"},
             {"Huge.desktop", "too large for a launcher"},
             {"Loop.desktop", "Too many levels of symbolic links"}}) {
        EXPECT_NE(r.err.find((h.menu / name).string() + ": "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << reason << r.err;
        EXPECT_TRUE(fs::exists(h.menu / name)) << name;
    }
    if (::geteuid() != 0) {
        EXPECT_NE(r.err.find((h.menu / "Locked.desktop").string() + ": Permission denied"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_TRUE(fs::exists(h.menu / "Locked.desktop"));
    EXPECT_FALSE(fs::exists(h.desktop / "Gone.desktop"));
    fs::permissions(h.menu / "Locked.desktop", fs::perms::owner_all);
}

TEST(WineLaunchers, RecycleTakesWhatBelongsOnlyToTheDeadLauncherAndEditsSharedMenus) {
    Home h;
    const std::string p = h.prefix.string();
    WriteLink(h.programs / "App" / "App.lnk", "C:\\Program Files\\App\\app.exe");
    WriteLink(h.programs / "App" / "Gone.lnk", "C:\\Program Files\\App\\gone.exe");
    WriteLink(h.programs / "Old" / "Old.lnk", "C:\\Program Files\\Old\\old.exe");
    h.Write(h.menu / "App" / "App.desktop",
            DesktopEntry("App", p, h.WindowsForm("App\\App.lnk"), "A1B2_app.0"));
    h.Write(h.menu / "App" / "Gone.desktop",
            DesktopEntry("Gone", p, h.WindowsForm("App\\Gone.lnk"), "A1B2_app.0"));
    h.Write(h.menu / "Old" / "Old.desktop",
            DesktopEntry("Old", p, h.WindowsForm("Old\\Old.lnk"), "C3D4_old.0"));
    fs::create_directories(h.menu / "Old" / "Empty"); // left by an uninstalled program
    const fs::path merged = h.config / "menus" / "applications-merged";
    const std::string shared =
        MenuFile({"wine-Programs-App-App.desktop", "wine-Programs-App-Gone.desktop"});
    h.Write(merged / "wine-Programs-App.menu", shared);
    h.Write(merged / "wine-Programs-Old-Old.menu", MenuFile({"wine-Programs-Old-Old.desktop"}));
    const fs::path dirs = h.data / "desktop-directories";
    for (const char* entry :
         {"wine-Programs-App", "wine-Programs-Old", "wine-Programs", "wine-wine"})
        h.Write(dirs / (std::string(entry) + ".directory"),
                "[Desktop Entry]\nType=Directory\nIcon=folder\n");
    for (const char* size : {"16x16", "32x32", "48x48"})
        for (const char* icon : {"A1B2_app.0", "C3D4_old.0"})
            h.Write(h.data / "icons" / "hicolor" / size / "apps" / (std::string(icon) + ".png"),
                    "\x89PNG");

    const Result r = Sweeper({"--wine-launchers", "--recycle", "--yes"}, h.env);
    EXPECT_EQ(r.status, 1) << r.err;
    const fs::path trash = h.data / "Trash" / "files";
    // The dead ones, their own icons, the menu file naming only one, the emptied folder's
    // entry; a copy of the shared menu file's old text.
    for (const char* moved : {"Gone.desktop", "Old.desktop", "wine-Programs-Old-Old.menu",
                              "wine-Programs-Old.directory", "wine-Programs-App.menu.before-edit"})
        EXPECT_TRUE(fs::exists(trash / moved)) << moved << "\n" << r.err;
    std::size_t icons = 0; // each under a name of the trash's choosing
    for (const fs::directory_entry& e : fs::directory_iterator(trash.parent_path() / "info"))
        icons += Slurp(e.path()).find("/apps/C3D4_old.0.png\n") != std::string::npos ? 1 : 0;
    EXPECT_EQ(icons, 3u) << r.err;
    EXPECT_EQ(Slurp(trash / "wine-Programs-App.menu.before-edit"), shared);
    const std::string edited = Slurp(merged / "wine-Programs-App.menu");
    EXPECT_EQ(edited.find("Gone"), std::string::npos) << edited;
    EXPECT_NE(edited.find("<Filename>wine-Programs-App-App.desktop</Filename>"), std::string::npos);
    // The live launcher and all it uses stay.
    EXPECT_TRUE(fs::exists(h.menu / "App" / "App.desktop"));
    EXPECT_TRUE(fs::exists(dirs / "wine-Programs-App.directory"));
    EXPECT_TRUE(fs::exists(dirs / "wine-Programs.directory"));
    EXPECT_TRUE(fs::exists(dirs / "wine-wine.directory"));
    for (const char* size : {"16x16", "32x32", "48x48"}) {
        EXPECT_TRUE(fs::exists(h.data / "icons" / "hicolor" / size / "apps" / "A1B2_app.0.png"));
        EXPECT_FALSE(fs::exists(h.data / "icons" / "hicolor" / size / "apps" / "C3D4_old.0.png"));
    }
    EXPECT_EQ(Sweeper({"--wine-launchers"}, h.env).status, 0);
}

// An association as winemenubuilder writes it: the launcher, and the MIME type's package when
// the desktop knows no type for the extension.
void WriteAssociation(const Home& h, const std::string& extension, const std::string& exec,
                      const std::string& type, const std::string& icon = "") {
    h.Write(h.data / "applications" / ("wine-extension-" + extension + ".desktop"),
            "[Desktop Entry]\nType=Application\nName=A Wine application\nMimeType=" + type +
                ";\nExec=" + exec + " %f\nNoDisplay=true\nStartupNotify=true\n" +
                (icon.empty() ? "" : "Icon=" + icon + "\n"));
    h.Write(h.data / "mime" / "packages" / ("x-wine-extension-" + extension + ".xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<mime-info "
            "xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n  <mime-type "
            "type=\"" +
                type + "\">\n    <glob pattern=\"*." + extension +
                "\"/>\n  </mime-type>\n</mime-info>\n");
}

TEST(WineLaunchers, AssociationsAreJudgedByTheProgramTheirPrefixOpensThemWith) {
    Home h;
    const std::string env = "env WINEPREFIX=\"" + h.prefix.string() + "\" wine start /ProgIDOpen ";
    // The user's classes, then the machine's: a quoted program, an environment string in an
    // expandable value.
    std::ofstream(h.prefix / "user.reg")
        << "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
           "[Software\\\\Classes\\\\App.Document\\\\shell\\\\open\\\\command] 1700000000\n"
           "#time=1da0000000000000\n@=\"\\\"C:\\\\Program Files\\\\App\\\\app.exe\\\" "
           "\\\"%1\\\"\"\n";
    std::ofstream(h.prefix / "system.reg", std::ios::app)
        << "\n[Software\\\\Classes\\\\Gone.File\\\\shell\\\\open\\\\command] 1700000000\n"
           "#time=1da0000000000000\n@=str(2):\"%ProgramFiles%\\\\Gone\\\\gone.exe %1\"\n";
    WriteAssociation(h, "app", env + "App.Document", "application/x-wine-extension-app",
                     "A1B2_app.0");
    WriteAssociation(h, "gone", env + "Gone.File", "application/x-wine-extension-gone",
                     "C3D4_gone.0");
    WriteAssociation(h, "removed", env + "Removed.File", "text/x-shared");
    WriteAssociation(h, "shared", env + "App.Document", "text/x-shared");
    WriteAssociation(h, "old", "wine start /ProgIDOpen Old.File",
                     "application/x-wine-extension-old");
    const fs::path bare = h.home / "bare prefix"; // a registry that cannot be read: live
    fs::create_directories(bare / "dosdevices");
    fs::create_symlink("../drive_c", bare / "dosdevices" / "c:");
    WriteAssociation(h, "bare",
                     "env WINEPREFIX=\"" + bare.string() + "\" wine start /ProgIDOpen Gone.File",
                     "application/x-wine-extension-bare");
    for (const char* icon : {"A1B2_app.0", "C3D4_gone.0", "application-x-wine-extension-gone",
                             "application-x-wine-extension-app", "text-x-shared"})
        h.Write(h.data / "icons" / "hicolor" / "32x32" / "apps" / (std::string(icon) + ".png"),
                "\x89PNG");
    h.Write(h.data / "applications" / "wine-extension-txt.desktop",
            "[Desktop Entry]\nMimeType=text/plain;\nExec=gedit %f\n"); // not Wine's
    h.Write(h.data / "applications" / "mimeinfo.cache", "[MIME Cache]\n");
    h.Write(h.data / "mime" / "mime.cache", "");

    const Result r = Sweeper({"--wine-launchers", "--all", "-f", "json"}, h.env);
    EXPECT_EQ(r.status, 1) << r.err;
    std::map<std::string, nlohmann::json> all;
    for (const auto& [name, o] : ByLauncher(r.out))
        all[fs::path(name).filename().string()] = o;
    const std::map<std::string, std::array<std::string, 3>> expected = {
        {"wine-extension-app.desktop", {"live", "target found", "C:\\Program Files\\App\\app.exe"}},
        {"wine-extension-shared.desktop",
         {"live", "target found", "C:\\Program Files\\App\\app.exe"}},
        {"wine-extension-gone.desktop",
         {"dead", "target not found on C:", "C:\\Program Files\\Gone\\gone.exe"}},
        {"wine-extension-removed.desktop", {"dead", kAssociationGone, ""}},
        {"wine-extension-old.desktop", {"dead", kPrefixGone, ""}},
        {"wine-extension-bare.desktop",
         {"live", "Wine prefix's registry cannot be read (" + bare.string() + "/system.reg)", ""}}};
    ASSERT_EQ(all.size(), expected.size()) << r.out;
    for (const auto& [name, e] : expected) {
        ASSERT_TRUE(all.count(name)) << name;
        EXPECT_EQ(all.at(name)["Verdict"], e[0]) << name;
        EXPECT_EQ(all.at(name)["Reason"], e[1]) << name;
        EXPECT_EQ(all.at(name)["Target"], e[2]) << name;
    }

    // The dead ones go with their own icons and the packages of the types no live
    // association opens; the desktop's databases are rebuilt (or said not to be).
    const Result recycled = Sweeper({"--wine-launchers", "--recycle", "--yes"}, h.env);
    EXPECT_EQ(recycled.status, 1) << recycled.err;
    const fs::path apps = h.data / "applications", packages = h.data / "mime" / "packages";
    for (const fs::path& gone :
         {apps / "wine-extension-gone.desktop", apps / "wine-extension-removed.desktop",
          apps / "wine-extension-old.desktop", packages / "x-wine-extension-gone.xml",
          packages / "x-wine-extension-old.xml",
          h.data / "icons" / "hicolor" / "32x32" / "apps" / "C3D4_gone.0.png",
          h.data / "icons" / "hicolor" / "32x32" / "apps" /
              "application-x-wine-extension-gone.png"})
        EXPECT_FALSE(fs::exists(gone)) << gone << "\n" << recycled.err;
    for (const fs::path& kept :
         {apps / "wine-extension-app.desktop", apps / "wine-extension-shared.desktop",
          apps / "wine-extension-txt.desktop", apps / "wine-extension-bare.desktop",
          packages / "x-wine-extension-bare.xml", packages / "x-wine-extension-app.xml",
          packages / "x-wine-extension-removed.xml", packages / "x-wine-extension-shared.xml",
          h.data / "icons" / "hicolor" / "32x32" / "apps" / "A1B2_app.0.png",
          h.data / "icons" / "hicolor" / "32x32" / "apps" / "application-x-wine-extension-app.png",
          h.data / "icons" / "hicolor" / "32x32" / "apps" / "text-x-shared.png"})
        EXPECT_TRUE(fs::exists(kept)) << kept;
    EXPECT_TRUE(fs::exists(h.data / "Trash" / "files" / "x-wine-extension-gone.xml"));
    EXPECT_NE(recycled.err.find(" (update-mime-database"), std::string::npos) << recycled.err;
    EXPECT_NE(recycled.err.find(" (update-desktop-database"), std::string::npos) << recycled.err;
    EXPECT_EQ(Sweeper({"--wine-launchers"}, h.env).status, 0);
}

TEST(WineLaunchers, TheTableFitsATerminalAndIsWholeElsewhere) {
    const std::string deep = "/home/someone/.local/share/applications/wine/Programs/"
                             "A Publisher With A Long Name/The Program Itself/Uninstall The "
                             "Program Itself.desktop";
    const std::vector<TLauncherReport> reports = {
        {deep, "/home/someone/.wine",
         "/home/someone/.wine/drive_c/users/someone/AppData/Roaming/"
         "Microsoft/Windows/Start Menu/Programs/Ünïcödé 漢字 Program/"
         "Uninstall.lnk",
         "", true, "target not found on C:"},
        {"/home/someone/Desktop/X.desktop", "/gone", "", "", true, kPrefixGone}};
    for (const int width : {0, 60, 100, 400}) {
        std::ostringstream out;
        const auto writer = CreateLauncherWriter(TOutputFormat::Table, false, out, width);
        for (const TLauncherReport& r : reports)
            writer->Write(r);
        writer->Finish();
        std::istringstream lines(out.str());
        std::size_t count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            if (width > 0) {
                EXPECT_LT(DisplayWidth(line), width) << line;
            }
            if (count == 1) { // the end of each path kept, where the file's own name is
                EXPECT_NE(line.find("f.desktop  "), std::string::npos) << line;
                EXPECT_NE(line.find("stall.lnk"), std::string::npos) << line;
            }
        }
        EXPECT_EQ(count, 3u) << out.str();
        EXPECT_EQ(out.str().find(deep) != std::string::npos, width == 0 || width == 400) << width;
        EXPECT_NE(out.str().find("Wine prefix gone"), std::string::npos) << out.str();
    }
}

} // namespace
