// shortcut-sweeper: the command-line front end. Walks the folders with the window's scan,
// writes the shortcuts as they are found, and optionally moves the invalid ones to the trash.
#include "base/path_rules.h"
#include "base/text.h"
#include "base/windows_path.h"
#include "cli/console.h"
#include "cli/launcher_sweep.h"
#include "cli/moved_targets.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/path_list_writer.h"
#include "cli/record_writer.h"
#include "cli/sweep.h"
#include "cli/target_probes.h"
#include "cli/trash.h"
#include "finder/dir_listing.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>

namespace {

using Clock = std::chrono::steady_clock;

void Complain(const std::string& message) { std::cerr << "shortcut-sweeper: " << message << '\n'; }

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string Plural(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// The one-line progress display on standard error, redrawn at most ten times a second.
class Progress {
public:
    Progress(bool shown, Clock::time_point start) : shown_(shown), start_(start) {}

    void Update(const TSweepCounts& c, bool force = false) {
        if (!shown_)
            return;
        const Clock::time_point now = Clock::now();
        if (!force && now - drawn_ < std::chrono::milliseconds(100))
            return;
        drawn_ = now;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s", Seconds(start_));
        const std::string line = Plural(c.folders, "folder", "folders") + ", " +
                                 Plural(c.entries, "entry", "entries") + ", " +
                                 Plural(c.shortcuts, "shortcut", "shortcuts") + ", " +
                                 std::to_string(c.invalid) + " invalid, " + seconds;
        const std::size_t length = line.size();
        std::string text = "\r" + line;
        if (length < width_)
            text.append(width_ - length, ' ');
        width_ = length;
        std::cerr << text << std::flush;
    }
    // Removes the line, so other output starts on a clean line.
    void Clear() {
        if (!shown_ || width_ == 0)
            return;
        std::cerr << '\r' << std::string(width_, ' ') << '\r' << std::flush;
        width_ = 0;
        drawn_ = {};
    }

private:
    bool shown_;
    Clock::time_point start_;
    Clock::time_point drawn_{};
    std::size_t width_ = 0; // characters of the line on screen
};

// Targets on drive letters without a folder behind them, which cannot be judged: a hint
// to map the letters, for a folder given outside its Wine prefix or a partition not mapped.
class UnmappedLetters {
public:
    explicit UnmappedLetters(IFileProbes& probes) : probes_(probes) {}
    void Note(const std::string& target) {
        const char letter = winpath::DriveLetter(target);
        if (letter == 0)
            return;
        Letter& l = letters_[static_cast<std::size_t>(letter - 'A')];
        if (!l.asked) {
            l.asked = true;
            l.unmapped = probes_.DriveKind(letter) == TDriveKind::NoVolume;
        }
        if (l.unmapped)
            ++l.targets;
    }
    std::uint64_t Targets() const {
        std::uint64_t targets = 0;
        for (const Letter& l : letters_)
            targets += l.targets;
        return targets;
    }
    void Report() const {
        const std::uint64_t targets = Targets();
        std::string names;
        for (std::size_t i = 0; i < letters_.size(); ++i)
            if (letters_[i].targets != 0)
                names += std::string(names.empty() ? "" : ", ") + static_cast<char>('A' + i) + ':';
        if (targets != 0)
            Complain(Plural(targets, "target", "targets") + " on " + names +
                     " could not be judged and count as valid: no folder is mapped to " +
                     (names.size() > 2 ? "those letters" : "that letter") +
                     " (--drive X:=DIR, or --wine-prefix DIR)");
    }

private:
    struct Letter {
        bool asked = false, unmapped = false;
        std::uint64_t targets = 0;
    };
    IFileProbes& probes_;
    std::array<Letter, 26> letters_{};
};

// The record as the user reads it: the shortcut's own paths in the platform's form.
TShortcutItem ForUser(const TShortcutItem& r) {
    return TShortcutItem(console::UserName(r.Name), r.Target, console::UserPath(r.Location),
                         console::UserPath(r.Shortcut), r.Invalid, r.Reason);
}

bool Confirmed(std::size_t count) {
    return console::AskYes("Move " + Plural(count, "invalid shortcut", "invalid shortcuts") +
                           " to the trash?");
}

struct TRecycled {
    std::size_t moved = 0, kept = 0;
    bool interrupted = false; // by Ctrl+C: at the question, or after the file in hand
};

// A shortcut's path as a line on the terminal shows it: a line break in a name as "\n".
std::string Shown(const std::string& programPath) {
    return VisibleText(console::UserPath(programPath));
}

// Moves the files to the trash, after asking once when `ask`, each named as it goes.
TRecycled Recycle(const std::vector<std::string>& paths, bool ask) {
    TRecycled r;
    if (ask && !Confirmed(paths.size())) {
        r.interrupted = console::Interrupted();
        std::cerr << (r.interrupted ? "\n" : "") << "Nothing was moved.\n";
        return r;
    }
    for (const std::string& path : paths) {
        if (console::Interrupted()) {
            r.interrupted = true;
            break;
        }
        std::string reason;
        if (MoveToTrash(path, reason)) {
            ++r.moved;
            std::cerr << "moved: " << Shown(path) << '\n';
        } else {
            ++r.kept;
            std::cerr << "kept: " << Shown(path) << " (" << reason << ")\n";
        }
    }
    // A line the signal cut short leaves the stream failed; the summary must still be seen.
    std::cerr.clear();
    if (r.interrupted)
        std::cerr << "Interrupted: " << Plural(r.moved, "shortcut", "shortcuts")
                  << " moved to the trash, " << paths.size() - r.moved << " not moved.\n";
    else
        std::cerr << Plural(r.moved, "shortcut", "shortcuts") << " moved to the trash, " << r.kept
                  << " kept.\n";
    return r;
}

// The counts as --stats writes them, for a script.
std::string StatsLine(const TSweepCounts& c, std::uint64_t unjudged, double seconds,
                      const TRecycled* recycled, const TRepaired* repaired) {
    std::ostringstream line;
    line << "stats: folders=" << c.folders << " entries=" << c.entries
         << " shortcuts=" << c.shortcuts << " invalid=" << c.invalid << " unreadable=" << c.skipped
         << " unjudged=" << unjudged;
    if (recycled != nullptr)
        line << " moved=" << recycled->moved << " kept=" << recycled->kept;
    if (repaired != nullptr)
        line << " repaired=" << repaired->repaired << " kept=" << repaired->kept;
    line.precision(3);
    line << std::fixed << " seconds=" << seconds;
    return line.str();
}

int Run(int argc, const char* const* argv) {
    int exitCode = 0;
    std::optional<TCliOptions> parsed = ParseCommandLine(
        argc, argv, kTargetsNeedDriveMapping, console::Width(), std::cout, std::cerr, exitCode);
    if (!parsed)
        return exitCode;
    const TCliOptions& options = *parsed;
    if (options.wineLaunchers)
        return SweepWineLaunchers(options);

    if ((options.recycle || options.repair) && !options.yes &&
        !console::IsTerminal(console::TStream::In)) {
        Complain(options.recycle
                     ? "--recycle asks before it moves anything, and standard input is no "
                       "terminal: add --yes to move the invalid shortcuts without asking"
                     : "--repair asks before it re-points anything, and standard input is no "
                       "terminal: add --yes to re-point the shortcuts without asking");
        return kExitUsage;
    }
    // Folders to walk, and shortcut files given by name to judge.
    std::vector<std::string> folders, files;
    for (const std::string& typed : options.folders) {
        const std::string path = console::ProgramPath(typed);
        IFileProbes& system = SystemFileProbes();
        if (system.FileExists(path)) {
            if (!IsShortcutExtension(ExtractFileExt(path))) {
                Complain(typed + ": not a folder or a shortcut file (*.lnk)");
                return kExitUsage;
            }
            files.push_back(path);
        } else if (system.ProbePath(path) == TPathState::Exists) {
            folders.push_back(path);
        } else {
            Complain(typed + ": no such folder or shortcut file");
            return kExitUsage;
        }
    }
    std::vector<std::string> places = folders;
    for (const std::string& file : files)
        places.emplace_back(ExtractFilePath(file));
    std::string error;
    TTargetSystem targets;
    if (!CreateTargetSystem(options, places, targets, error)) {
        Complain(error);
        return kExitUsage;
    }

    std::unique_ptr<TOutput> output = TOutput::Open(options.output, error);
    if (!output) {
        Complain(error);
        return kExitUsage;
    }
    std::ostream& out = output->Stream();
    const bool toTerminal = output->IsTerminal();
    std::unique_ptr<IRecordWriter> writer;
    if (options.print0)
        writer = CreatePathListWriter(out);
    else if (!options.quiet)
        writer = CreateRecordWriter(options.format.value_or(TOutputFormat::Table), out,
                                    toTerminal ? console::Width() : 0, options.suggest);

    const Clock::time_point start = Clock::now();
    const bool errIsTerminal = console::IsTerminal(console::TStream::Err) && !options.quiet;
    Progress progress(errIsTerminal, start);
    TSweep sweep(SystemDirListing(), *targets.reader, *targets.probes,
                 {options.maxDepth, options.excludes});
    if (output->IsFile())
        sweep.Ignore = [&](const std::string& path) { return output->IsOwnFile(path); };
    std::vector<std::string> toRecycle;
    UnmappedLetters unmapped(*targets.probes);
    std::optional<TMovedTargets> moved;
    if (options.suggest || options.repair) {
        moved.emplace(targets);
        moved->SetStop([] { return console::Interrupted(); });
    }
    sweep.OnRecord = [&](const TShortcutItem& record) {
        unmapped.Note(record.Target);
        if (record.Invalid && options.recycle)
            toRecycle.push_back(record.Shortcut);
        const TSuggestion suggestion = moved ? moved->Suggest(record) : TSuggestion{};
        if (!writer || (!record.Invalid && !options.all))
            return;
        progress.Clear();
        writer->WriteSuggested(ForUser(record), suggestion);
        if (toTerminal)
            out.flush();
    };
    sweep.OnProgress = [&](const TSweepCounts& counts) { progress.Update(counts); };
    // -q: the first invalid shortcut decides the status.
    sweep.StopRequested = [&] {
        return console::Interrupted() || output->Failed() ||
               (options.quiet && sweep.Counts().invalid != 0);
    };
    // Each folder that cannot be read, by name and reason, as find does.
    sweep.OnFolderError = [&](const std::string& folder, const std::string& reason) {
        progress.Clear();
        std::string shown = console::UserPath(folder);
        if (shown.size() > 1 && (shown.back() == '/' || shown.back() == '\\'))
            shown.pop_back();
        Complain(shown + ": " + reason);
    };
    sweep.SetFollowLinks(!options.noFollow);
    console::CatchInterrupt();
    bool unreadable = false; // a folder given that could not be read at all
    for (const std::string& folder : folders)
        unreadable = !sweep.Walk(folder) || unreadable;
    for (const std::string& file : files)
        sweep.Judge(file);
    progress.Clear();
    if (writer)
        writer->Finish();
    out.flush();
    if (output->Failed()) {
        // A reader that went away (`| head`) wants no more, and no word about it.
        if (output->ReaderGone())
            return kExitReaderGone;
        Complain(output->Error());
        return kExitUsage;
    }

    const TSweepCounts& c = sweep.Counts();
    const bool interrupted = console::Interrupted();
    std::cerr.clear(); // as after a line the signal cut short
    if (errIsTerminal || (interrupted && !options.quiet)) {
        std::ostringstream summary;
        summary.precision(2);
        summary << std::fixed << (interrupted ? "Interrupted: " : "")
                << Plural(c.shortcuts, "shortcut", "shortcuts") << ", " << c.invalid
                << " invalid, in " << Plural(c.folders, "folder", "folders") << " ("
                << Plural(c.entries, "entry", "entries") << "), " << Seconds(start) << " s.";
        std::cerr << summary.str() << '\n';
    }
    if (kTargetsNeedDriveMapping)
        unmapped.Report();
    if (c.skipped != 0)
        Complain(Plural(c.skipped, "folder", "folders") + " could not be read and " +
                 (c.skipped == 1 ? "was" : "were") + " skipped");
    TRecycled recycled;
    TRepaired repaired;
    if (interrupted) {
        if (options.recycle)
            std::cerr << "Nothing was moved.\n";
        if (options.repair)
            std::cerr << "Nothing was re-pointed.\n";
    } else if (!toRecycle.empty()) {
        recycled = Recycle(toRecycle, !options.yes);
    } else if (options.repair) {
        repaired = moved->Repair(!options.yes, std::cerr, [] { return console::Interrupted(); });
    }
    if (options.stats)
        std::cerr << StatsLine(c, unmapped.Targets(), Seconds(start),
                               options.recycle ? &recycled : nullptr,
                               options.repair ? &repaired : nullptr)
                  << '\n';
    if (interrupted || recycled.interrupted || repaired.interrupted)
        return console::InterruptedStatus();
    if (unreadable)
        return kExitUsage;
    return c.invalid == 0 ? kExitNoneInvalid : kExitSomeInvalid;
}

} // namespace

int main(int argc, char** argv) {
    console::Init();
    int status = kExitUsage;
    try {
        status = Run(argc, argv);
    } catch (const std::exception& e) {
        Complain(e.what());
    }
    return console::ExitStatus(status);
}
