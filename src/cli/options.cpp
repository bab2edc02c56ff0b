#include "cli/options.h"

#include "cli/option_docs.h"
#include "cli/option_table.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <sstream>

namespace {

// The names CLI11 wants: "-a,--all", or "--stats".
std::string Names(const TOptionDef& d) {
    return *d.shortName != '\0' ? std::string(d.shortName) + ',' + d.longName : d.longName;
}

std::vector<std::string> Words(const char* text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// Where the value of each option goes, and its checks.
CLI::Option* Add(CLI::App& app, const TOptionDef& d, TCliOptions& o, std::string& format,
                 std::vector<std::string>& drives, bool& help, bool& version) {
    const std::string names = Names(d);
    switch (d.id) {
    case TOptionId::All:
        return app.add_flag(names, o.all);
    case TOptionId::Format:
        return app.add_option(names, format)->check(CLI::IsMember(Words(d.choices)));
    case TOptionId::Output:
        return app.add_option(names, o.output);
    case TOptionId::Print0:
        return app.add_flag(names, o.print0);
    case TOptionId::Quiet:
        return app.add_flag(names, o.quiet);
    case TOptionId::Stats:
        return app.add_flag(names, o.stats);
    case TOptionId::MaxDepth:
        return app.add_option(names, o.maxDepth)->check(CLI::NonNegativeNumber);
    case TOptionId::Exclude:
        return app.add_option(names, o.excludes);
    case TOptionId::Recycle:
        return app.add_flag(names, o.recycle);
    case TOptionId::Suggest:
        return app.add_flag(names, o.suggest);
    case TOptionId::Repair:
        return app.add_flag(names, o.repair);
    case TOptionId::Yes:
        return app.add_flag(names, o.yes);
    case TOptionId::Drive:
        return app.add_option(names, drives);
    case TOptionId::WinePrefix:
        return app.add_option(names, o.winePrefix);
    case TOptionId::NoFollow:
        return app.add_flag(names, o.noFollow);
    case TOptionId::WineLaunchers:
        return app.add_flag(names, o.wineLaunchers);
    case TOptionId::Help:
        return app.add_flag(names, help);
    case TOptionId::Version:
        return app.add_flag(names, version);
    }
    return nullptr;
}

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
                                            int helpWidth, std::ostream& out, std::ostream& err,
                                            int& exitCode) {
    TCliOptions o;
    std::string format, generate;
    std::vector<std::string> drives;
    bool help = false, version = false;

    CLI::App app;
    app.set_help_flag();
    app.add_option("FOLDER", o.folders);
    std::map<TOptionId, CLI::Option*> added;
    for (const TOptionDef& d : OptionTable()) {
        if (d.driveMapping && !driveOptions)
            continue;
        CLI::Option* option = Add(app, d, o, format, drives, help, version);
        // One value per occurrence, so the folders after "--drive C:=/x" stay folders.
        if (*d.value != '\0')
            option->allow_extra_args(false);
        added[d.id] = option;
    }
    added[TOptionId::Print0]->excludes(added[TOptionId::Format])->excludes(added[TOptionId::Quiet]);
    for (TOptionId id : {TOptionId::All, TOptionId::Format, TOptionId::Output, TOptionId::Recycle,
                         TOptionId::Suggest, TOptionId::Repair})
        added[TOptionId::Quiet]->excludes(added[id]);
    added[TOptionId::Print0]->excludes(added[TOptionId::Suggest]);
    added[TOptionId::Repair]->excludes(added[TOptionId::Recycle]);
    // The manual page and the completions, written from the same table (for packaging).
    app.add_option("--generate", generate)->check(CLI::IsMember(GeneratedDocKinds()))->group("");

    const auto usageError = [&](const std::string& message) {
        err << "shortcut-sweeper: " << message
            << "\nTry 'shortcut-sweeper --help' for more information.\n";
        exitCode = kExitUsage;
        return std::nullopt;
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return usageError(e.what());
    }
    exitCode = 0;
    if (help) {
        out << HelpText(driveOptions, helpWidth);
        return std::nullopt;
    }
    if (version) {
        out << "shortcut-sweeper " SWEEPER_VERSION "\n";
        return std::nullopt;
    }
    if (!generate.empty()) {
        out << GeneratedDoc(generate);
        return std::nullopt;
    }
    if (o.wineLaunchers && (o.suggest || o.repair))
        return usageError("--suggest and --repair look for shortcuts' targets, not launchers'");
    if (o.wineLaunchers && !o.folders.empty())
        return usageError("--wine-launchers looks where Wine puts launchers and takes no FOLDER");
    if (o.folders.empty() && !o.wineLaunchers)
        return usageError("FOLDER is required");
    if (!format.empty())
        o.format = ParseOutputFormat(format);
    for (const std::string& d : drives) {
        std::optional<TDriveMapping> mapping = ParseDriveMapping(d);
        if (!mapping)
            return usageError("--drive " + d + ": expected a letter, '=' and a folder, as " +
                              "C:=/mnt/windows");
        std::error_code ec;
        if (!std::filesystem::is_directory(mapping->folder, ec))
            return usageError(
                "--drive " + d + ": " +
                (std::filesystem::exists(mapping->folder, ec) ? "not a folder" : "no such folder"));
        o.drives.push_back(*mapping);
    }
    if (o.yes && !o.recycle && !o.repair)
        return usageError("--yes only answers the question of --recycle or --repair");
    return o;
}
