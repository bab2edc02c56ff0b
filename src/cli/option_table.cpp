#include "cli/option_table.h"

namespace {

using K = TValueKind;
using O = TOptionId;

constexpr TOptionDef kOptions[] = {
    {O::All, "-a", "--all", "", K::None, "", false, false,
     "Print every shortcut with its state, not only the invalid ones."},
    {O::Format, "-f", "--format", "FORMAT", K::Choice, "table csv tsv json", false, false,
     "How to print the shortcuts: table (the default), csv, tsv or json (see FORMATS)."},
    {O::Output, "-o", "--output", "FILE", K::File, "", false, false,
     "Write the shortcuts to FILE instead of standard output. A shortcut file (a name ending "
     "in .lnk, or a file that is a shortcut) is never overwritten."},
    {O::Print0, "-0", "--print0", "", K::None, "", false, false,
     "Print only the shortcut files' paths, each followed by a NUL byte, for xargs -0."},
    {O::Quiet, "-q", "--quiet", "", K::None, "", false, false,
     "Print nothing: the exit status alone says whether an invalid shortcut was found, and "
     "the walk stops at the first one."},
    {O::Stats, "", "--stats", "", K::None, "", false, false,
     "At the end, print the counts on standard error as one line of NAME=VALUE pairs for "
     "scripts: stats: folders= entries= shortcuts= invalid= unreadable= unjudged= seconds= "
     "(and moved= kept= with --recycle)."},
    {O::MaxDepth, "", "--max-depth", "N", K::Number, "", false, false,
     "Look no deeper than N levels below each FOLDER: 1 examines the FOLDER's own entries "
     "only."},
    {O::Exclude, "", "--exclude", "GLOB", K::Pattern, "", true, false,
     "Leave out the files and folders below each FOLDER that GLOB matches; a folder left out "
     "is not entered (repeatable). A GLOB without '/' is matched against every name, one with "
     "'/' against the path below the FOLDER. '*' is any run of characters within a name, '?' "
     "one character; case does not matter."},
    {O::Recycle, "", "--recycle", "", K::None, "", false, false,
     "Move the invalid shortcuts found to the trash (the recycle bin on Windows), never "
     "deleting one for good. Asks once on a terminal."},
    {O::Suggest, "", "--suggest", "", K::None, "", false, false,
     "For each invalid shortcut, look for where its target went and print the candidate, its "
     "strength and the evidence (see MOVED TARGETS). Nothing is changed."},
    {O::Repair, "", "--repair", "", K::None, "", false, false,
     "Re-point the invalid shortcuts whose target was found with exact or strong evidence "
     "(see MOVED TARGETS), the original of each moved to the trash (the recycle bin on "
     "Windows) first. Asks once on a terminal."},
    {O::Yes, "-y", "--yes", "", K::None, "", false, false,
     "With --recycle or --repair: do not ask (for scripts)."},
    {O::Drive, "", "--drive", "X:=DIR", K::Drive, "", true, true,
     "Judge the targets on drive letter X below the folder DIR, as C:=/mnt/windows "
     "(repeatable, one mapping each; wins over a Wine prefix's letter)."},
    {O::WinePrefix, "", "--wine-prefix", "DIR", K::Folder, "", false, true,
     "Take the drive letters, the environment and the user folders from this Wine prefix."},
    {O::NoFollow, "", "--no-follow", "", K::None, "", false, true,
     "Walk real folders only. By default a symbolic link to a folder is entered, as Wine and "
     "Explorer show it (a prefix's Desktop is one), each folder once however many links and "
     "FOLDERs lead to it."},
    {O::WineLaunchers, "", "--wine-launchers", "", K::None, "", false, true,
     "Instead of walking FOLDERs, judge the launchers Wine made in the Linux menu "
     "($XDG_DATA_HOME/applications/wine) and on the Desktop for the shortcuts of its "
     "prefixes (see WINE LAUNCHERS). The same formats, --all, -0, -q, --output, --recycle "
     "and exit statuses apply, a dead launcher counting as an invalid shortcut."},
    {O::Help, "-h", "--help", "", K::None, "", false, false, "Print this help and exit."},
    {O::Version, "-V", "--version", "", K::None, "", false, false, "Print the version and exit."},
};

constexpr TExample kExamples[] = {
    {"shortcut-sweeper ~/.wine/drive_c/users",
     "The invalid shortcuts of a Wine prefix's users; the prefix's drive letters are found by "
     "themselves.",
     true},
    {"shortcut-sweeper --drive C:=/mnt/windows /mnt/windows/Users",
     "The invalid shortcuts of a Windows partition mounted at /mnt/windows.", true},
    {"shortcut-sweeper --all --format csv --output shortcuts.csv DIR",
     "Every shortcut with its state, as CSV for a spreadsheet.", false},
    {"shortcut-sweeper -0 DIR | xargs -0 ls -l", "The invalid shortcut files, to another command.",
     false},
    {"shortcut-sweeper --exclude Startup --max-depth 3 DIR",
     "Three levels deep at most, and not inside folders named Startup.", false},
    {"shortcut-sweeper --recycle DIR",
     "Moves the invalid shortcuts to the trash after asking once (--yes: without asking).", false},
    {"shortcut-sweeper --suggest DIR",
     "The invalid shortcuts with where each target went, and why the program thinks so.", false},
    {"shortcut-sweeper --repair DIR",
     "Re-points the shortcuts whose targets were found for certain, after asking once; the "
     "originals go to the trash.",
     false},
    {"shortcut-sweeper --wine-launchers --recycle",
     "The dead launchers Wine left in the Linux menu and on the Desktop, moved to the trash "
     "after asking once.",
     true},
    {"shortcut-sweeper -q DIR || echo 'broken shortcuts in DIR'",
     "The exit status only, in a script.", false},
};

constexpr TExitStatus kExitStatuses[] = {
    {0, "No invalid shortcut was found."},
    {1, "Invalid shortcuts were found (also when they were moved to the trash)."},
    {2, "A usage or input error: a wrong option, a FOLDER that is not there or cannot be read, "
        "an output that cannot be written."},
    {130, "Interrupted by Ctrl+C (SIGINT): the walk or the moving stops after the file in "
          "hand, and what was found so far is printed."},
    {141, "Standard output's reader went away (as with | head): the walk stops at the first "
          "write that fails, quietly."},
    {143, "Stopped by SIGTERM, as by Ctrl+C."},
};

constexpr const char* kVerdict[] = {
    "A shortcut is invalid only when the file system, on a volume that is present, answered "
    "that its target is not there. Each verdict comes with its reason (the Reason field): "
    "\"target not found on C:\" for an invalid one; for a valid one \"target found\", "
    "\"found without (x86)\", \"network share, not probed\", \"network drive Z:, not "
    "probed\", \"drive D: has no volume\" (no folder mapped to the letter), \"web "
    "address\", \"no answer from the file system\" (access denied, a device error), "
    "\"short name not found under Wine\" (or \"on Linux\": 8.3 names such as PROGRA~1 are "
    "Windows' own), \"environment variable %X% unknown\", \"known folder X unknown here\", "
    "\"shell folder\" (Control Panel, Libraries: no file-system target), \"relative path on "
    "no Windows drive\", \"no file-system target\", \"shortcut could not be read\", "
    "\"target too long\".",
    "The target is read as Windows reads it: an environment string (%windir%\\...) "
    "expanded with the environment of the Windows the shortcut belongs to, else the ID list "
    "(a known folder such as Documents followed to where it is for that user), else the path "
    "stored in LinkInfo; a relative path only when nothing else names the target, against "
    "the shortcut's own folder and never above its drive. On Linux that Windows is the Wine "
    "prefix (its registry) or, for --drive, Windows' defaults with each user's values from "
    "the profile the shortcut lies in; never the Linux process's environment.",
    "Files and folders whose name below a FOLDER holds a '$' (such as $Recycle.Bin) are not "
    "examined. A FOLDER may also be a shortcut file, which is then judged.",
};

constexpr const char* kFormats[] = {
    "table: for a person: a header, then one line per shortcut with its state, name, target, "
    "reason and shortcut file. On a terminal each line fits its width, long texts shortened in the "
    "middle; otherwise the table is written when the walk ends, each column as wide as its "
    "widest text. Control characters show as escapes (\\n, \\x1b).",
    "csv: RFC 4180: a header line, CR LF line ends, a field in double quotes when it holds a "
    "comma, a quote, CR or LF, a quote inside doubled. The fields: Name, Target, Location, "
    "Shortcut, Invalid (true or false), Reason.",
    "tsv: a header line, LF line ends, one tab between the same fields. Within a field the "
    "four characters that would break the format are escaped, as is usual for TSV: a "
    "backslash is written \\\\, a tab \\t, a line feed \\n, a carriage return \\r; every "
    "other byte is written as it is.",
    "json: JSON Lines, one object per shortcut with the same fields in order (strings, and "
    "Invalid true or false). A field whose bytes are not UTF-8 (a file name written in "
    "another encoding) shows U+FFFD for them, and the object then also holds the exact bytes, "
    "in Base64, under the field's name followed by Bytes (NameBytes, LocationBytes, "
    "ShortcutBytes, TargetBytes), so a script can still name the file.",
    "Names and paths are written as stored, in UTF-8 where the system stores UTF-8.",
};

constexpr const char* kDriveLetters[] = {
    "Targets are Windows paths (C:\\Program Files\\...). On Linux a drive letter is judged "
    "only when it is mapped to a local folder: by --drive, or by a Wine prefix, named with "
    "--wine-prefix or found by itself when a FOLDER lies inside one (its dosdevices links; a "
    "letter its registry marks as a network drive stays unmapped). Targets on other letters "
    "count as valid, and the program says how many there were.",
    "Names are matched without regard to case, as Windows does.",
};

constexpr const char* kSignals[] = {
    "Progress shows on standard error while it is a terminal, and a summary at the end. A "
    "folder that cannot be read is named on standard error with the reason (as find does), "
    "skipped and counted. Ctrl+C stops the walk after the file "
    "in hand and prints what was found; at --recycle's question it moves nothing; while "
    "moving, it stops after the file in hand and says how many were moved and how many not.",
};

constexpr const char* kMovedTargets[] = {
    "A broken shortcut's target has often moved rather than gone: a program folder moved to "
    "another drive, a drive that now has another letter, a renamed folder. --suggest and "
    "--repair look for it as Windows does when a shortcut is opened, for every invalid "
    "shortcut at once: from the nearest folder of the old path that still exists, that folder "
    "and four levels below it, then up to three of its parents with four levels each, the "
    "user's Desktop, and each fixed drive's root (on Linux, each mapped letter but one mapped "
    "to the Linux root), each folder read once for all the shortcuts.",
    "Strength: exact when the volume the shortcut names (by its serial number) is now at "
    "another letter and holds the same path, or (on Windows, on NTFS) the link-tracking "
    "object ID finds it; strong when a file of the same name has the size and the creation or "
    "write time the shortcut stored; weak for the same name only, or when two places match "
    "equally. --repair re-points only exact and strong ones.",
    "Re-pointing changes only what names the target (the ID list, LinkInfo, the relative path, "
    "an environment string that no longer expands to it, the target's size, times and "
    "attributes, and a working folder or icon that named the old place); every other byte is "
    "copied. The new file is written beside the old one and read back; then the original goes "
    "to the trash, from where restoring it brings back the exact old file, and the new one "
    "takes its name. A shortcut whose repair fails at any step is left as it was, and named.",
};

constexpr const char* kWineLaunchers[] = {
    "For each shortcut a Windows program puts in a Start menu or on a Desktop, Wine writes a "
    "launcher: a .desktop file under $XDG_DATA_HOME/applications/wine/ (or on the Linux "
    "Desktop), a menu file under $XDG_CONFIG_HOME/menus/applications-merged/, folder entries "
    "under desktop-directories/ and icons under icons/hicolor/; for a file association, "
    "applications/wine-extension-EXT.desktop and mime/packages/x-wine-extension-EXT.xml. "
    "They stay when the program or the whole prefix is removed. --wine-launchers finds the "
    "launchers Wine made (by their place and the Exec line Wine writes: the shortcut by its "
    "Windows path, wine start /unix with its Linux path, the program itself, or wine start "
    "/ProgIDOpen for an association) and judges each: \"Wine prefix gone\", \"shortcut file "
    "gone\", \"file association gone\" (the prefix's registry opens the ProgID with nothing), "
    "or the verdict and reason of the shortcut (of the program an association opens), judged "
    "with the prefix's drive letters, environment and user folders. Names are matched "
    "without regard to case, as Wine does. Any other launcher is never touched. A launcher "
    "whose prefix is there but cannot be read is live.",
    "The fields: Launcher, Prefix, Shortcut, Target, Verdict (dead or live), Reason. A "
    "launcher that cannot be read, is not text, is too large, or names a prefix or shortcut "
    "the system gives no answer about (a link loop, access denied) is named on standard "
    "error with the reason and left alone.",
    "With --recycle each dead launcher goes to the trash with what belongs only to it: the "
    "menu file naming it (or, where the menu file names other launchers too, its line, "
    "after a copy of the file's old text went to the trash), its icons when no live launcher "
    "uses them, and the folder entry of a menu folder it leaves empty; a dead association "
    "goes with its MIME type's package and icon when no live association opens that type, "
    "and the "
    "MIME and launcher databases found there are rebuilt with update-mime-database and "
    "update-desktop-database, as Wine does (or said not to be). Nothing is deleted for good.",
};

constexpr TSection kSections[] = {
    {"WHAT INVALID MEANS", kVerdict, false},  {"FORMATS", kFormats, false},
    {"DRIVE LETTERS", kDriveLetters, true},   {"MOVED TARGETS", kMovedTargets, false},
    {"WINE LAUNCHERS", kWineLaunchers, true}, {"PROGRESS AND SIGNALS", kSignals, false},
};

} // namespace

std::span<const TOptionDef> OptionTable() { return kOptions; }
std::span<const TExample> Examples() { return kExamples; }
std::span<const TExitStatus> ExitStatuses() { return kExitStatuses; }

namespace option_text {

const char* const kSummary = "find broken Windows shortcuts (*.lnk) in folder trees";

const char* const kDescription =
    "Finds broken shortcuts (*.lnk files whose target is gone) in each FOLDER and the whole "
    "tree below it, and prints them as they are found. On Linux it judges the shortcuts of a "
    "Wine prefix or of a mounted Windows partition without starting any Windows program.";

const char* const kFolder =
    "A folder to walk, with everything below it, or a shortcut file to judge (one or more).";

std::span<const TSection> Sections() { return kSections; }

} // namespace option_text
