#include "cli/options.h"

#include <CLI/CLI.hpp>

namespace {

const char* const kDescription =
    "Finds broken shortcuts (*.lnk files whose target is gone) in each FOLDER and the whole "
    "tree below it, and prints them. A shortcut is invalid only when the file system answers "
    "that its target is not there; what cannot be judged (no target, a network path, a web "
    "address, a drive that is not there) counts as valid.";

const char* const kStatusText =
    "Exit status: 0 when no invalid shortcut was found, 1 when some were (also when they were "
    "moved to the trash), 2 on a usage or input error, 130 when interrupted (Ctrl+C: the walk "
    "stops and what was found so far is printed).\n"
    "Progress shows on standard error while it is a terminal. A folder that cannot be read is "
    "named on standard error with the reason, skipped, and counted in the summary; a FOLDER "
    "that cannot be read at all gives status 2.";

const char* const kDriveText =
    "\nTargets are Windows paths (C:\\Program Files\\...). A drive letter is judged only when "
    "it is mapped to a local folder, by --drive or by a Wine prefix (given with --wine-prefix, "
    "or found by itself when a FOLDER lies inside one); targets on other letters are valid. "
    "Names are matched without regard to case, as Windows does; a short name (PROGRA~1) that "
    "matches no name cannot be judged and counts as valid.";

} // namespace

std::optional<TDriveMapping> ParseDriveMapping(const std::string& text) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq + 1 == text.size())
        return std::nullopt;
    const std::string letter = text.substr(0, eq);
    if (letter.empty() || letter.size() > 2 || (letter.size() == 2 && letter[1] != ':'))
        return std::nullopt;
    char c = letter[0];
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z')
        return std::nullopt;
    return TDriveMapping{c, text.substr(eq + 1)};
}

std::optional<TCliOptions> ParseCommandLine(int argc, const char* const* argv, bool driveOptions,
                                            std::ostream& out, std::ostream& err, int& exitCode) {
    TCliOptions o;
    std::string format;
    std::vector<std::string> drives;

    CLI::App app(kDescription, "shortcut-sweeper");
    app.footer(std::string(kStatusText) + (driveOptions ? kDriveText : ""));
    app.set_version_flag("--version", "shortcut-sweeper " SWEEPER_VERSION);
    app.add_option("FOLDER", o.folders,
                   "Folders to walk (or shortcut files to judge); each folder once, however "
                   "many FOLDERs or links lead to it")
        ->required()
        ->type_name("");
    app.add_flag("-a,--all", o.all, "Print every shortcut with its state, not only invalid ones");
    app.add_option("-f,--format", format,
                   "Output format: table (the default), csv (RFC 4180), tsv, or json (JSON "
                   "Lines: one object per shortcut with Name, Target, Location, Shortcut, "
                   "Invalid)")
        ->check(CLI::IsMember({"table", "csv", "tsv", "json"}))
        ->type_name("FORMAT");
    app.add_option("-o,--output", o.output,
                   "Write the shortcuts to FILE instead of standard output");
    app.add_flag("--recycle", o.recycle,
                 "Move the invalid shortcuts found to the trash (the recycle bin on Windows), "
                 "never deleting one for good; asks once on a terminal");
    app.add_flag("-y,--yes", o.yes, "With --recycle: do not ask (for scripts)");
    if (driveOptions) {
        app.add_option("--drive", drives,
                       "Map a drive letter to a local folder, as C:=/mnt/windows (repeatable; "
                       "wins over the prefix's letters)")
            ->type_name("X:=DIR");
        app.add_option("--wine-prefix", o.winePrefix,
                       "Take the drive letters from this Wine prefix's dosdevices links")
            ->type_name("DIR");
        app.add_flag("--no-follow", o.noFollow,
                     "Walk real folders only: do not enter symbolic links to folders (by "
                     "default they are entered, as Wine and Explorer show them, each folder "
                     "once)");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) { // --help, --version
            exitCode = app.exit(e, out, err);
            return std::nullopt;
        }
        err << "shortcut-sweeper: " << e.what()
            << "\nTry 'shortcut-sweeper --help' for more information.\n";
        exitCode = kExitUsage;
        return std::nullopt;
    }
    if (!format.empty())
        o.format = ParseOutputFormat(format);
    for (const std::string& d : drives) {
        std::optional<TDriveMapping> mapping = ParseDriveMapping(d);
        if (!mapping) {
            err << "shortcut-sweeper: --drive " << d
                << ": expected a letter, '=' and a folder, as C:=/mnt/windows\n";
            exitCode = kExitUsage;
            return std::nullopt;
        }
        o.drives.push_back(*mapping);
    }
    if (o.yes && !o.recycle) {
        err << "shortcut-sweeper: --yes only answers --recycle's question\n";
        exitCode = kExitUsage;
        return std::nullopt;
    }
    exitCode = 0;
    return o;
}
