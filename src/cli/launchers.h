// The launchers Wine writes on Linux for the shortcuts of a prefix (winemenubuilder): a
// .desktop file under $XDG_DATA_HOME/applications/wine/ for each shortcut in a Start menu,
// one on the Linux Desktop for each shortcut on a Windows Desktop, and the menu file under
// $XDG_CONFIG_HOME/menus/applications-merged/ that puts a menu launcher in the menu. This
// part reads their text and reports them; it touches no file. A launcher is Wine's only when
// its Exec line has one of the forms Wine writes:
//
//   env WINEPREFIX="/home/u/.wine" wine C:\\\\users\\\\Public\\\\Desktop\\\\X.lnk
//                           the shortcut by its Windows path (the menu form)
//   env WINEPREFIX="/home/u/.wine" wine start /unix /home/u/.wine/dosdevices/c:/.../X.lnk
//                           the shortcut by its Linux path (also through
//                           C:\\\\windows\\\\command\\\\start.exe /Unix)
//   env WINEPREFIX="/home/u/.wine" wine "C:\\\\Program Files\\\\X\\\\x.exe" ARGS
//                           the shortcut's program itself (a shortcut of all users'
//                           Desktop)
//
//   env WINEPREFIX="/home/u/.wine" wine start /ProgIDOpen txtfile %f
//                           a file association (applications/wine-extension-EXT.desktop,
//                           with its MIME type in mime/packages/x-wine-extension-EXT.xml):
//                           the program the prefix's registry opens the ProgID with
//
// each also without "env WINEPREFIX=..." (the prefix is then ~/.wine).
#pragma once

#include "inventory/shortcut_item.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

enum class TLauncherForm {
    WindowsShortcut, // the shortcut by its Windows path
    UnixShortcut,    // the shortcut by its Linux path (start /unix)
    Program,         // the program the shortcut starts
    Association,     // a file association, by its ProgID
};

struct TWineLauncher {
    TLauncherForm form = TLauncherForm::WindowsShortcut;
    std::string prefix; // WINEPREFIX as written; "" when the line sets none
    std::string path;   // the shortcut (Windows or Linux path), the program (Windows path) or
                        // the association's ProgID
    std::string icon;   // the Icon key, "" when there is none
    std::vector<std::string> mimeTypes; // an association's MimeType list
};

// The words of a Desktop Entry Exec value as the key's text holds it: the value's escapes
// (\s \n \t \r \\) undone, then split at blanks, a word quoted with "..." or a character
// escaped with a backslash kept whole.
std::vector<std::string> ExecWords(std::string_view value);

// The launcher the text of a .desktop file describes, when Wine made it for a shortcut;
// nothing for any other file.
std::optional<TWineLauncher> ParseWineLauncher(std::string_view text);

// Why the bytes of a .desktop file cannot be taken as one: "" when they can; "not a text
// file" when they hold a NUL byte or are not UTF-8.
std::string TextProblem(std::string_view bytes);

// One launcher judged.
struct TLauncherReport {
    std::string launcher; // the .desktop file
    std::string prefix;   // the Wine prefix it starts
    std::string shortcut; // the shortcut file it starts, "" for the program and association
    std::string target;   // the shortcut's target (or the program), "" when unknown
    bool dead = false;
    std::string reason; // "Wine prefix gone", "shortcut file gone", "file association gone",
                        // or the shortcut's (the program's) verdict
};

constexpr const char* kPrefixGone = "Wine prefix gone";
constexpr const char* kShortcutGone = "shortcut file gone";
constexpr const char* kAssociationGone = "file association gone";

// The program a registry's open command starts: its first word, quoted or ending at ".exe"
// (any case) or at a blank; "" when the command is empty.
std::string CommandProgram(std::string_view command);

// Writes the reports in one of the program's formats, with the fields Launcher, Prefix,
// Shortcut, Target, Verdict ("dead" or "live") and Reason.
class ILauncherWriter {
public:
    virtual ~ILauncherWriter() = default;
    virtual void Write(const TLauncherReport& report) = 0;
    virtual void Finish() = 0;
};

enum class TOutputFormat;
// `print0`: only the launchers' paths, each followed by a NUL byte. `tableWidth`: the
// terminal's columns, which each line of the table fits; 0 when nothing is shortened.
std::unique_ptr<ILauncherWriter> CreateLauncherWriter(TOutputFormat format, bool print0,
                                                      std::ostream& out, int tableWidth);
