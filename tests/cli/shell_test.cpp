// shortcut-sweeper among other commands: in a pipe that closes early, with an output that
// fails, with the options and documents a user of find, fd and ripgrep expects.
#include "cli/child.h"
#include "cli/option_table.h"
#include "cli/support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A tree whose report is far larger than any buffer between the program and its reader
// (3,000 broken shortcuts), and behind it, as a second FOLDER, one more whose shortcut the
// walk must never reach once a write failed.
struct BigTreeThenTrap {
    TempDir dir;
    fs::path big = dir.Path() / "big", trap = dir.Path() / "trap";
    BigTreeThenTrap() {
        for (int i = 0; i < 3000; ++i)
            WriteLink(big / ("f" + std::to_string(i % 30)) /
                          ("broken " + std::to_string(i) + ".lnk"),
                      "C:\\Gone\\" + std::to_string(i) + ".exe");
        WriteLink(trap / "never reached.lnk", "C:\\Gone\\never.exe");
    }
    std::vector<std::string> Args(std::vector<std::string> options) const {
        options.insert(options.end(), {"--all", "-f", "csv", "--drive", "C:=" + dir.Path().string(),
                                       big.string(), trap.string()});
        return options;
    }
};

// Waits for the child's end (10 s at most); a child still walking is stopped and fails.
Result WaitOrStop(Child& child) {
    for (int i = 0; i < 1000; ++i) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(child.Pid()), &info, WEXITED | WNOHANG | WNOWAIT) ==
                0 &&
            info.si_pid == child.Pid())
            return child.Wait();
        ::usleep(10000);
    }
    ::kill(child.Pid(), SIGKILL);
    Result r = child.Wait();
    ADD_FAILURE() << "still walking: it did not stop at the first write that failed";
    return r;
}

// `| head -1`: the reader takes one line and goes. The program stops at the next write,
// says nothing, and ends with 141, by SIGPIPE itself unless its caller ignores SIGPIPE.
TEST(Shell, AReaderThatGoesAwayStopsTheWalkQuietly) {
    BigTreeThenTrap t;
    for (const bool ignorePipe : {false, true}) {
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        ChildSetup setup;
        setup.out = pipe[1];
        setup.ignorePipe = ignorePipe;
        Child child(t.Args({}), setup);
        ::close(pipe[1]);
        char line[64];
        ASSERT_GT(::read(pipe[0], line, sizeof line), 0); // head -1 read its line
        ::close(pipe[0]);
        const Result r = WaitOrStop(child);
        EXPECT_EQ(r.status, 141) << r.err;
        EXPECT_EQ(r.signal, ignorePipe ? 0 : SIGPIPE);
        EXPECT_EQ(r.err, "");
    }
}

// An output that fails for another reason stops the walk at once and is named with the
// system's reason.
TEST(Shell, AFailedWriteNamesThePathAndTheReason) {
    BigTreeThenTrap t;
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ChildSetup setup;
    setup.out = full;
    Child child(t.Args({}), setup);
    ::close(full);
    const Result r = WaitOrStop(child);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "shortcut-sweeper: cannot write /dev/full: No space left on device\n");
    Child named(t.Args({"-o", "/dev/full"}));
    const Result o = WaitOrStop(named);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "shortcut-sweeper: cannot write /dev/full: No space left on device\n");
}

// A Start menu of three levels: two broken shortcuts, one working one, a broken one in a
// folder to leave out, and a program for the working one on C:.
struct Menu {
    TempDir dir;
    fs::path c = dir.Path() / "c", menu = dir.Path() / "menu";
    std::string drive = "C:=" + c.string();
    Menu() {
        fs::create_directories(c / "App");
        std::ofstream(c / "App" / "app.exe") << "x";
        WriteLink(menu / "App.lnk", "C:\\App\\app.exe");
        WriteLink(menu / "Gone.lnk", "C:\\Gone\\gone.exe");
        WriteLink(menu / "Games" / "Old" / "Deep.lnk", "C:\\Gone\\deep.exe");
        WriteLink(menu / "Startup" / "Run.lnk", "C:\\Gone\\run.exe");
    }
    std::vector<std::string> Names(std::vector<std::string> options) const {
        options.insert(options.end(), {"--drive", drive, "-f", "json", menu.string()});
        std::vector<std::string> names;
        for (const nlohmann::json& o : JsonLines(Sweeper(options).out))
            names.push_back(o["Name"]);
        std::sort(names.begin(), names.end());
        return names;
    }
};

using Names = std::vector<std::string>;

TEST(Shell, OptionsAsFdAndRipgrepUsersExpectThem) {
    Menu m;
    // One value per --drive: the folders after it stay folders.
    const Result drive = Sweeper({"--drive", m.drive, m.menu.string(), "--all"});
    EXPECT_EQ(drive.status, 1) << drive.err;
    EXPECT_NE(drive.out.find("valid    App "), std::string::npos) << drive.out;

    EXPECT_EQ(m.Names({}), (Names{"Deep", "Gone", "Run"}));
    EXPECT_EQ(m.Names({"--max-depth", "1"}), (Names{"Gone"}));
    EXPECT_EQ(m.Names({"--max-depth", "2", "--all"}), (Names{"App", "Gone", "Run"}));
    EXPECT_EQ(m.Names({"--exclude", "startup", "--exclude", "Games/Old"}), (Names{"Gone"}));

    // -0: the paths alone, as xargs -0 reads them.
    const Result zero = Sweeper({"-0", "--drive", m.drive, m.menu.string()});
    EXPECT_EQ(zero.status, 1);
    std::set<std::string> paths;
    for (std::size_t at = 0, end; (end = zero.out.find('\0', at)) != std::string::npos;
         at = end + 1)
        paths.insert(zero.out.substr(at, end - at));
    EXPECT_EQ(paths, (std::set<std::string>{(m.menu / "Gone.lnk").string(),
                                            (m.menu / "Games" / "Old" / "Deep.lnk").string(),
                                            (m.menu / "Startup" / "Run.lnk").string()}))
        << zero.out;
    EXPECT_EQ(zero.out.back(), '\0');

    // -q: the status alone.
    const Result quiet = Sweeper({"-q", "--drive", m.drive, m.menu.string()});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out + quiet.err, "");
    EXPECT_EQ(Sweeper({"-q", "--drive", m.drive, (m.c / "App").string()}).status, 0);

    // --stats: one line a script can read, with the same counts as the records.
    const Result stats = Sweeper({"--stats", "--all", "-f", "json", "--drive", m.drive, "--exclude",
                                  "Startup", m.menu.string()});
    std::smatch match;
    ASSERT_TRUE(std::regex_search(stats.err, match,
                                  std::regex("^stats: folders=(\\d+) entries=(\\d+) "
                                             "shortcuts=(\\d+) invalid=(\\d+) unreadable=0 "
                                             "unjudged=0 seconds=[0-9.]+\\n")))
        << stats.err;
    EXPECT_EQ(match[1].str(), "3"); // menu, Games, Old: Startup is left out unlisted
    EXPECT_EQ(match[2].str(), "6"); // App.lnk, Gone.lnk, Games, Startup, Old, Deep.lnk
    EXPECT_EQ(std::stoul(match[3].str()), JsonLines(stats.out).size());
    EXPECT_EQ(match[4].str(), "2");

    const Result version = Sweeper({"-V"});
    EXPECT_EQ(version.out, "shortcut-sweeper " SWEEPER_VERSION "\n");
}

// A report never replaces a shortcut and is never read as one, by any of its names.
TEST(Shell, TheReportNeverOverwritesOrReadsAShortcut) {
    Menu m;
    const std::string shortcut = Slurp(m.menu / "Gone.lnk");
    fs::copy_file(m.menu / "Gone.lnk", m.dir.Path() / "renamed.txt");
    for (const fs::path& report : {m.menu / "Gone.lnk", m.menu / "new.LNK", m.menu / "x.lnk. ",
                                   m.dir.Path() / "renamed.txt"}) {
        const Result r = Sweeper({"-o", report.string(), "--drive", m.drive, m.menu.string()});
        EXPECT_EQ(r.status, 2) << report;
        EXPECT_NE(r.err.find("--output " + report.string() + ": a shortcut"), std::string::npos)
            << r.err;
    }
    EXPECT_EQ(Slurp(m.menu / "Gone.lnk"), shortcut);
    EXPECT_EQ(Slurp(m.dir.Path() / "renamed.txt"), shortcut);
    EXPECT_FALSE(fs::exists(m.menu / "new.LNK"));

    // Standard output sent into the tree under a shortcut's name, and a report reached
    // through a link named like a shortcut: neither is read.
    const fs::path inTree = m.menu / "report.lnk";
    const int fd = ::open(inTree.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    fs::create_symlink(m.dir.Path() / "report.csv", m.menu / "Games" / "link.lnk");
    ChildSetup setup;
    setup.out = fd;
    const Result redirected =
        Child({"--all", "-f", "csv", "--drive", m.drive, m.menu.string()}, setup).Wait();
    ::close(fd);
    const std::string redirectedReport = Slurp(inTree);
    fs::remove(inTree);
    const Result named =
        Sweeper({"--all", "-f", "csv", "-o", (m.dir.Path() / "report.csv").string(), "--drive",
                 m.drive, m.menu.string()});
    for (const std::string& report : {redirectedReport, Slurp(m.dir.Path() / "report.csv")}) {
        EXPECT_NE(report.find("App.lnk"), std::string::npos) << report;
        EXPECT_EQ(report.find("report.lnk"), std::string::npos) << report;
        EXPECT_EQ(report.find("link.lnk"), std::string::npos) << report;
    }
    EXPECT_EQ(redirected.status, 1);
    EXPECT_EQ(named.status, 1);
}

TEST(Shell, UsageErrorsSayWhatIsWrongAndPointToHelp) {
    Menu m;
    const std::string file = (m.menu / "App.lnk").string();
    struct Bad {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Bad> bad = {
        {{"--drive", "C:=" + (m.dir.Path() / "missing").string(), m.menu.string()},
         "missing: no such folder"},
        {{"--drive", "C:=" + file, m.menu.string()}, "App.lnk: not a folder"},
        {{"--drive", "C:", m.menu.string()}, "expected a letter"},
        {{"--max-depth", "-1", m.menu.string()}, "--max-depth"},
        {{"--max-depth", "two", m.menu.string()}, "--max-depth"},
        {{"-0", "-f", "csv", m.menu.string()}, "excludes"},
        {{"-q", "--all", m.menu.string()}, "excludes"},
        {{"-q", "--recycle", "--yes", m.menu.string()}, "excludes"},
        {{"--yes", m.menu.string()}, "--yes only answers"},
        {{}, "FOLDER is required"},
    };
    for (const Bad& b : bad) {
        const Result r = Sweeper(b.args);
        EXPECT_EQ(r.status, 2) << b.message;
        EXPECT_NE(r.err.find(b.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Try 'shortcut-sweeper --help'"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// --help on a narrow terminal: wrapped to it, every option with its value's name, the exit
// statuses and examples.
TEST(Shell, HelpFitsTheTerminalAndNamesEveryOption) {
    Terminal terminal(60);
    Child child({"--help"}, terminal.Setup());
    terminal.CloseChildsEnd();
    terminal.ReadUntil("");
    EXPECT_EQ(child.Wait().status, 0);
    std::istringstream screen(terminal.Screen());
    for (std::string line; std::getline(screen, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        EXPECT_LE(line.size(), 60u) << line;
    }
    const std::string& help = terminal.Screen();
    for (const TOptionDef& d : OptionTable()) {
        std::string label = std::string(d.longName) + (*d.value ? std::string(" ") + d.value : "");
        if (*d.shortName)
            label = std::string(d.shortName) + ", " + label;
        EXPECT_NE(help.find(label), std::string::npos) << label;
    }
    EXPECT_NE(help.find("-o, --output FILE"), std::string::npos);
    for (const char* part : {"Exit status:", "  143 ", "Examples:", "--wine-prefix"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
}

// The terminal's progress line and summary in the singular where there is one of a thing.
TEST(Shell, ProgressAndSummarySpeakOfOneThingInTheSingular) {
    TempDir t;
    WriteLink(t.Path() / "only.lnk", "C:\\x.exe");
    Terminal terminal;
    Child child({"--all", t.Path().string()}, terminal.Setup());
    terminal.CloseChildsEnd();
    terminal.ReadUntil("");
    child.Wait();
    EXPECT_NE(terminal.Screen().find("1 shortcut, 0 invalid, in 1 folder (1 entry)"),
              std::string::npos)
        << terminal.Screen();
}

} // namespace
