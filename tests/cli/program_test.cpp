// shortcut-sweeper itself, run as a child process on temporary trees.
#include "cli/child.h"
#include "cli/support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A Wine prefix with a program, a Start menu of shortcuts to it and to things long gone.
struct Menu {
    TempDir dir;
    fs::path prefix = dir.Path() / "wine";
    fs::path menu = prefix / "drive_c" / "users" / "me" / "Start Menu";
    Menu() {
        fs::create_directories(prefix / "dosdevices");
        fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::create_directories(prefix / "drive_c" / "Program Files" / "App");
        std::ofstream(prefix / "drive_c" / "Program Files" / "App" / "app.exe") << "x";
        WriteLink(menu / "App.lnk", "C:\\PROGRAM FILES\\app\\App.exe");
        WriteLink(menu / "Short.lnk", "C:\\PROGRA~1\\Gone\\gone.exe");
        WriteLink(menu / "Other drive.lnk", "Q:\\Tools\\tool.exe");
        WriteLink(menu / "Old" / "Gone.lnk", "C:\\Program Files\\Gone\\gone.exe");
        WriteLink(menu / "Old" / "a, \"b\"\nc – ü.lnk", "C:\\Program Files\\Gone\\x.exe");
        WriteLink(menu / "Old" / "skipped$.lnk", "C:\\Program Files\\Gone\\x.exe");
    }
};

TEST(Program, JudgesAWinePrefixFoundByItselfAndWritesEveryFormat) {
    Menu m;
    const Result all = Sweeper({"--all", "--format", "json", m.menu.string()});
    EXPECT_EQ(all.status, 1) << all.err;
    std::map<std::string, bool> invalid;
    std::map<std::string, std::string> reasons;
    for (const nlohmann::json& o : JsonLines(all.out)) {
        invalid[o["Name"]] = o["Invalid"];
        reasons[o["Name"]] = o["Reason"];
        EXPECT_EQ(o["Shortcut"], (fs::path(o["Location"].get<std::string>()) /
                                  (o["Name"].get<std::string>() + ".lnk"))
                                     .string());
    }
    const std::map<std::string, bool> expected = {{"App", false},
                                                  {"Short", false},
                                                  {"Other drive", false},
                                                  {"Gone", true},
                                                  {"a, \"b\"\nc – ü", true}};
    EXPECT_EQ(invalid, expected) << all.out;
    const std::map<std::string, std::string> why = {{"App", "target found"},
                                                    {"Short", "short name not found under Wine"},
                                                    {"Other drive", "drive Q: has no volume"},
                                                    {"Gone", "target not found on C:"},
                                                    {"a, \"b\"\nc – ü", "target not found on C:"}};
    EXPECT_EQ(reasons, why) << all.out;

    // The default: the invalid ones only, the same through --output.
    const fs::path file = m.dir.Path() / "report.csv";
    const Result csv = Sweeper({"-f", "csv", "-o", file.string(), m.menu.string()});
    EXPECT_EQ(csv.status, 1);
    EXPECT_EQ(csv.out, "");
    const std::string text = Slurp(file);
    EXPECT_EQ(text.rfind("Name,Target,Location,Shortcut,Invalid,Reason\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n\"a, \"\"b\"\"\nc – ü\",C:\\Program Files\\Gone\\x.exe,"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("App"), std::string::npos);
    EXPECT_EQ(Sweeper({"-f", "tsv", m.menu.string()}).out,
              Sweeper({"-f", "tsv", m.menu.string()}).out);

    // Mapped by hand instead: C: of this prefix, and Q: found too.
    fs::create_directories(m.dir.Path() / "q" / "tools");
    std::ofstream(m.dir.Path() / "q" / "tools" / "TOOL.EXE") << "x";
    const Result mapped =
        Sweeper({"--all", "-f", "json", "--drive", "q=" + (m.dir.Path() / "q").string(),
                 "--wine-prefix", m.prefix.string(), m.menu.string()});
    for (const nlohmann::json& o : JsonLines(mapped.out))
        EXPECT_EQ(o["Invalid"], expected.at(o["Name"])) << o;

    // The table: a header and one line per invalid shortcut.
    const Result table = Sweeper({(m.menu / "Old").string()});
    EXPECT_EQ(table.out.substr(0, 5), "State");
    EXPECT_NE(table.out.find("invalid  Gone "), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("a, \"b\"\\nc – ü"), std::string::npos) << table.out;
}

// A prefix's Desktop is a link into the Linux home, as Wine makes it: the walk enters it,
// walks each folder once however many links and arguments lead there, ends where a loop of
// links closes, and never waits on a FIFO named like a shortcut (one that cannot be read).
// --no-follow keeps to real folders.
TEST(Program, TheWalkFollowsLinksToFoldersOnceAndNeverBlocks) {
    Menu m;
    const fs::path home = m.dir.Path() / "home";
    fs::create_directories(home / "Desktop" / "sub");
    WriteLink(home / "Desktop" / "Gone too.lnk", "C:\\Program Files\\Gone\\x.exe");
    fs::create_symlink(home / "Desktop", m.prefix / "drive_c" / "users" / "me" / "Desktop");
    fs::create_symlink("..", home / "Desktop" / "sub" / "up"); // a loop
    ASSERT_EQ(::mkfifo((home / "Desktop" / "fifo.lnk").c_str(), 0600), 0);

    const fs::path users = m.prefix / "drive_c" / "users";
    const Result r = Sweeper({"--all", "-f", "tsv", users.string(), m.menu.string(),
                              (users / "me" / "Desktop" / "sub").string()});
    EXPECT_EQ(r.status, 1) << r.err;
    std::map<std::string, int> seen;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        ++seen[line.substr(0, line.find('\t'))];
    EXPECT_EQ(seen["Gone too"], 1) << r.out;
    EXPECT_EQ(seen["Gone"], 1) << r.out;
    EXPECT_EQ(seen["App"], 1) << r.out;
    // Opened without waiting for a writer, and no shortcut.
    EXPECT_NE(r.out.find("fifo\t\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("shortcut could not be read"), std::string::npos) << r.out;

    const Result real = Sweeper({"--all", "-f", "tsv", "--no-follow", users.string()});
    EXPECT_EQ(real.out.find("Gone too"), std::string::npos) << real.out;
    EXPECT_NE(real.out.find("App"), std::string::npos) << real.out;
}

// Every name the file system returns, at any depth: a '\' in the name of a file, of a folder
// and of the argument, and a shortcut 200 folders down a 5,000-byte path (more levels than
// listings are kept open at once, and longer than a path the system takes in one piece).
TEST(Program, TheWalkFindsEveryNameAtAnyDepth) {
    TempDir t;
    WriteLink(t.Path() / "back\\slash" / "a\\b.lnk", "C:\\gone\\x.exe");
    int dir = ::open(t.Path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const std::string name(24, 'd');
    for (int level = 0; level < 200 && dir >= 0; ++level) {
        ::mkdirat(dir, name.c_str(), 0755);
        const int next = ::openat(dir, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::close(dir);
        dir = next;
    }
    ASSERT_GE(dir, 0);
    lnkb::Link link;
    link.linkInfo = lnkb::LinkInfo({"C:\\gone\\deep.exe", "", "", false, {}, {}, {}});
    const lnkb::Bytes bytes = link.Build();
    const int file = ::openat(dir, "deep.lnk", O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ::close(dir);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);

    const std::string drive = "C:=" + t.Path().string();
    const Result r = Sweeper({"--all", "-f", "json", "--drive", drive, t.Path().string()});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "");
    std::map<std::string, std::string> shortcuts;
    for (const nlohmann::json& o : JsonLines(r.out))
        shortcuts[o["Name"]] = o["Shortcut"];
    ASSERT_EQ(shortcuts.size(), 2u) << r.out;
    EXPECT_EQ(shortcuts["a\\b"], (t.Path() / "back\\slash" / "a\\b.lnk").string());
    EXPECT_GT(shortcuts["deep"].size(), 5000u);

    const Result arg =
        Sweeper({"--all", "-f", "json", "--drive", drive, (t.Path() / "back\\slash").string()});
    EXPECT_EQ(arg.status, 1) << arg.err;
    EXPECT_EQ(JsonLines(arg.out).at(0)["Name"], "a\\b") << arg.out;
}

TEST(Program, ExitStatusSaysWhetherAnythingIsBrokenOrTheInputIsWrong) {
    Menu m;
    EXPECT_EQ(Sweeper({(m.menu / "Old").string()}).status, 1);
    const Result clean = Sweeper({m.menu.string() + "/../../../Program Files"});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");
    // Valid shortcuts only: 0; a folder of another letter is not judged.
    TempDir t;
    WriteLink(t.Path() / "x.lnk", "C:\\nowhere\\x.exe");
    EXPECT_EQ(Sweeper({t.Path().string()}).status, 0);
    // A shortcut file given by name is judged.
    std::ofstream(t.Path() / "x.txt") << "x";
    EXPECT_EQ(Sweeper({"--drive", "C:=" + t.Path().string(), (t.Path() / "x.lnk").string()}).status,
              1);
    EXPECT_EQ(Sweeper({"--drive", "C:=" + t.Path().string(), t.Path().string()}).status, 1);

    struct Bad {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Bad> bad = {
        {{(t.Path() / "missing").string()}, "missing: no such folder or shortcut file"},
        {{(t.Path() / "x.txt").string()}, "x.txt: not a folder or a shortcut file"},
        {{}, "FOLDER is required"},
        {{"--frobnicate", t.Path().string()}, "--frobnicate"},
        {{"--format", "xml", t.Path().string()}, "xml"},
        {{"-o", (t.Path() / "no" / "such" / "file").string(), t.Path().string()}, "cannot write"},
        {{"--drive", "CC=/x", t.Path().string()}, "--drive CC=/x"},
        {{"--wine-prefix", t.Path().string(), t.Path().string()}, "no Wine prefix"},
        {{"--yes", t.Path().string()}, "--yes"},
    };
    for (const Bad& b : bad) {
        const Result r = Sweeper(b.args);
        EXPECT_EQ(r.status, 2) << b.message;
        EXPECT_NE(r.err.find(b.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    const Result help = Sweeper({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--recycle"), std::string::npos);
}

// The trash of a temporary home, and a shortcut on another file system (a tmpfs): moved
// where GIO can move it, restorable from there, and otherwise left where it was; never gone.
TEST(Program, RecycleMovesInvalidShortcutsToTheTrashAndNeverDeletesOne) {
    Menu m;
    const fs::path home = m.dir.Path() / "home";
    fs::create_directories(home);
    const std::map<std::string, std::string> env = {{"HOME", home.string()},
                                                    {"XDG_DATA_HOME", (home / "data").string()}};
    char shmTemplate[] = "/dev/shm/sweeper-test-XXXXXX";
    ASSERT_NE(::mkdtemp(shmTemplate), nullptr);
    const fs::path shm = shmTemplate;
    WriteLink(shm / "On tmpfs.lnk", "C:\\Program Files\\Gone\\t.exe");

    // Without a terminal it asks nobody and moves nothing.
    const Result refused = Sweeper({"--recycle", m.menu.string()}, env);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--yes"), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::exists(m.menu / "Old" / "Gone.lnk"));

    const Result r = Sweeper(
        {"--recycle", "--yes", "--wine-prefix", m.prefix.string(), m.menu.string(), shm.string()},
        env);
    EXPECT_EQ(r.status, 1) << r.err;
    const fs::path trash = home / "data" / "Trash";
    for (const char* name : {"Gone.lnk", "a, \"b\"\nc – ü.lnk"}) {
        const fs::path original = m.menu / "Old" / name;
        EXPECT_FALSE(fs::exists(original)) << name;
        EXPECT_TRUE(fs::exists(trash / "files" / name)) << name;
        const std::string info = Slurp(trash / "info" / (std::string(name) + ".trashinfo"));
        EXPECT_NE(info.find("[Trash Info]"), std::string::npos);
        // A line break in a name shows as "\\n", as in the table: one line per file.
        std::string shown = original.string();
        if (const std::size_t at = shown.find('\n'); at != std::string::npos)
            shown.replace(at, 1, "\\n");
        EXPECT_NE(r.err.find("moved: " + shown + "\n"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::exists(m.menu / "App.lnk"));
    EXPECT_TRUE(fs::exists(m.menu / "Old" / "skipped$.lnk"));

    const fs::path onTmpfs = shm / "On tmpfs.lnk";
    if (fs::exists(onTmpfs)) {
        EXPECT_NE(r.err.find("kept: " + onTmpfs.string() + " ("), std::string::npos) << r.err;
    } else {
        // In the trash of the tmpfs itself, with the way back.
        bool restorable = false;
        for (const auto& e : fs::directory_iterator("/dev/shm"))
            if (e.path().filename().string().rfind(".Trash", 0) == 0)
                for (const auto& info : fs::recursive_directory_iterator(e.path()))
                    if (info.path().extension() == ".trashinfo" &&
                        Slurp(info.path()).find("sweeper-test-") != std::string::npos)
                        restorable = true;
        EXPECT_TRUE(restorable);
    }
    fs::remove_all(shm);
}

// Ctrl+C or SIGTERM while the walk waits to write (its reader holds a full pipe and reads
// no more for a while): the walk stops cleanly after the shortcut in hand, with what was
// found, and the program ends by the signal itself, so the shell shows 130 or 143 and a
// script's loop stops with it.
TEST(Program, CtrlCAndSigtermStopTheWalkKeepWhatWasFoundAndEndByTheSignal) {
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        Menu m;
        TempDir big; // far more report than a pipe holds
        for (int i = 0; i < 3000; ++i)
            WriteLink(big.Path() / ("f" + std::to_string(i % 30)) /
                          ("broken " + std::to_string(i) + ".lnk"),
                      "C:\\Gone\\" + std::to_string(i) + ".exe");
        TempDir later;
        WriteLink(later.Path() / "zz-after.lnk", "C:\\Gone\\after.exe");

        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        ChildSetup setup;
        setup.out = pipe[1];
        Child child({"--all", "-f", "json", "--recycle", "--yes", "--wine-prefix",
                     m.prefix.string(), (m.menu / "Old").string(), big.Path().string(),
                     later.Path().string()},
                    setup);
        ::close(pipe[1]);
        ASSERT_TRUE(WaitForFullPipe(child));
        ::kill(child.Pid(), signal);
        std::string out; // the reader comes back
        char buffer[65536];
        for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        ::close(pipe[0]);
        const Result r = child.Wait();
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ(r.signal, signal);
        EXPECT_NE(r.err.find("Interrupted: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Nothing was moved."), std::string::npos) << r.err;
        EXPECT_TRUE(fs::exists(m.menu / "Old" / "Gone.lnk"));
        const std::vector<nlohmann::json> found = JsonLines(out);
        EXPECT_GT(found.size(), 2u);
        EXPECT_LT(found.size(), 3002u); // stopped inside the big folder
        for (const nlohmann::json& o : found)
            EXPECT_NE(o["Name"], "zz-after"); // nothing after it
    }
}

// On a terminal: a progress line on standard error, and one question before anything moves;
// Ctrl+C typed at the question moves nothing and ends as Ctrl+C does.
TEST(Program, OnATerminalItShowsProgressAndAsksOnce) {
    for (const std::string answer : {"y\n", "\x03"}) {
        Menu m;
        const fs::path home = m.dir.Path() / "home";
        fs::create_directories(home);
        Terminal terminal;
        Child child(
            {"--recycle", m.menu.string()},
            terminal.Setup({{"HOME", home.string()}, {"XDG_DATA_HOME", (home / "data").string()}}));
        terminal.CloseChildsEnd();
        EXPECT_TRUE(terminal.ReadUntil("[y/N] ")) << terminal.Screen();
        const std::string& screen = terminal.Screen();
        EXPECT_NE(screen.find("5 shortcuts, 2 invalid, in "), std::string::npos) << screen;
        EXPECT_NE(screen.find("Move 2 invalid shortcuts to the trash?"), std::string::npos);
        terminal.Type(answer);
        terminal.ReadUntil("");
        const Result r = child.Wait();
        if (answer == "y\n") {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(screen.find("2 shortcuts moved to the trash, 0 kept."), std::string::npos)
                << screen;
            EXPECT_FALSE(fs::exists(m.menu / "Old" / "Gone.lnk"));
            EXPECT_TRUE(fs::exists(home / "data" / "Trash" / "files" / "Gone.lnk"));
        } else {
            EXPECT_EQ(r.status, 130) << screen;
            EXPECT_EQ(r.signal, SIGINT);
            EXPECT_NE(screen.find("Nothing was moved."), std::string::npos) << screen;
            EXPECT_TRUE(fs::exists(m.menu / "Old" / "Gone.lnk"));
            EXPECT_FALSE(fs::exists(home / "data" / "Trash"));
        }
    }
}

// Ctrl+C while the shortcuts are being moved: the file in hand is finished, the rest stay
// where they are, and one line says how many went; every file is either in the trash, with
// its way back, or in its place.
TEST(Program, CtrlCWhileMovingStopsAfterTheFileInHand) {
    TempDir t;
    const fs::path home = t.Path() / "home", tree = t.Path() / "tree";
    fs::create_directories(home);
    constexpr int kShortcuts = 2000;
    for (int i = 0; i < kShortcuts; ++i)
        WriteLink(tree / ("broken " + std::to_string(i) + ".lnk"), "C:\\Gone\\x.exe");
    Terminal terminal;
    ChildSetup setup =
        terminal.Setup({{"HOME", home.string()}, {"XDG_DATA_HOME", (home / "data").string()}});
    setup.out = -1; // the report to a file; the terminal shows what moves
    Child child({"--recycle", "--yes", "--drive", "C:=" + t.Path().string(), tree.string()}, setup);
    terminal.CloseChildsEnd();
    // The terminal holds a few lines only: the program waits on it until they are read.
    ASSERT_TRUE(terminal.ReadUntil("moved: ")) << terminal.Screen();
    terminal.Type("\x03");
    terminal.ReadUntil("");
    const Result r = child.Wait();
    const std::string& screen = terminal.Screen();
    EXPECT_EQ(r.status, 130) << screen;
    std::smatch summary;
    ASSERT_TRUE(std::regex_search(
        screen, summary,
        std::regex("Interrupted: (\\d+) shortcuts? moved to the trash, (\\d+) not moved\\.")))
        << screen.substr(screen.size() > 2000 ? screen.size() - 2000 : 0);
    const int moved = std::stoi(summary[1].str()), notMoved = std::stoi(summary[2].str());
    EXPECT_EQ(moved + notMoved, kShortcuts);
    EXPECT_GT(notMoved, 0);
    EXPECT_EQ(screen.find("kept: "), std::string::npos);
    EXPECT_EQ(screen.find("Interrupted: ", summary.position(0) + 1), std::string::npos);
    const auto count = [](const fs::path& dir) {
        return fs::exists(dir) ? std::distance(fs::directory_iterator(dir), {}) : 0;
    };
    EXPECT_EQ(count(tree), notMoved);
    EXPECT_EQ(count(home / "data" / "Trash" / "files"), moved);
    EXPECT_EQ(count(home / "data" / "Trash" / "info"), moved);
}

} // namespace
