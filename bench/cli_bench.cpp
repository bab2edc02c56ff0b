// shortcut-sweeper over a tree of 200,000 entries (2,000 folders) with 20,000 shortcuts, half
// of them broken, against `find DIR -iname '*.lnk' -print0 | xargs -0 cat > /dev/null` over the
// same tree: the cost of reading every shortcut file, as the baseline. Both run warm, best of
// three. Then the program's peak memory (maxrss) over the same tree with 20,000 and with 2,000
// shortcuts (the others renamed to plain files), which should not differ. Targets are
// Windows paths on C:, mapped to a folder of programs beside the tree. The tree lives under
// /tmp and is removed afterwards.
#include "../tests/cli/support.h"
#include "base/file_descriptor.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFolders = 2000;
constexpr int kEntriesPerFolder = 100; // the folder itself counts as one of the 200,000
constexpr int kShortcutsPerFolder = 10;
constexpr int kPrograms = 50;

struct Run {
    double seconds = 0;
    long maxRssKb = 0;
    int status = -1;
};

// Runs `argv` with standard output and error to /dev/null; its time and peak memory.
Run Measure(const std::vector<std::string>& argv) {
    const Clock::time_point t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    Run r;
    r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    r.maxRssKb = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

Run Best(const std::vector<std::string>& argv) {
    Measure(argv); // warm the caches
    Run best = Measure(argv);
    for (int i = 0; i < 2; ++i) {
        const Run r = Measure(argv);
        if (r.seconds < best.seconds)
            best = r;
    }
    return best;
}

void Touch(const fs::path& path) {
    const TFileDescriptor file(::open(path.c_str(), O_CREAT | O_WRONLY, 0644));
}

// A shortcut as the shell writes one: an ID list of the path, LinkInfo, relative path and
// working folder.
lnkb::Bytes Shortcut(const std::string& program, bool broken) {
    using namespace lnkb;
    const std::string folder = (broken ? "Gone " : "App ") + program;
    const std::u16string wide(folder.begin(), folder.end());
    Link l;
    l.idList = IdList({RootItem(kMyComputer), DriveItem("C:\\"),
                       FileItem("PROGRA~1", u"Program Files", 9, true),
                       FileItem("APP~1", wide, 9, true), FileItem("APP~1.EXE", u"app.exe", 9)});
    l.linkInfo =
        LinkInfo({"C:\\Program Files\\" + folder + "\\app.exe", "", "", false, {}, {}, {}});
    l.strings = {u"", u"..\\..\\Program Files\\" + wide + u"\\app.exe",
                 u"C:\\Program Files\\" + wide, u"", u""};
    return l.Build();
}

} // namespace

int main() {
    const fs::path base =
        fs::temp_directory_path() / ("sweeper-cli-bench-" + std::to_string(::getpid()));
    const fs::path tree = base / "tree";
    const fs::path drive = base / "c";
    for (int p = 0; p < kPrograms; ++p) {
        fs::create_directories(drive / "Program Files" / ("App " + std::to_string(p)));
        Touch(drive / "Program Files" / ("App " + std::to_string(p)) / "app.exe");
    }
    std::vector<fs::path> shortcuts;
    for (int f = 0; f < kFolders; ++f) {
        const fs::path dir =
            tree / ("group" + std::to_string(f % 40)) / ("folder" + std::to_string(f));
        fs::create_directories(dir);
        for (int e = 0; e < kEntriesPerFolder - 1; ++e) {
            if (e < kShortcutsPerFolder) {
                const int n = f * kShortcutsPerFolder + e;
                const lnkb::Bytes bytes = Shortcut(std::to_string(n % kPrograms), n % 2 == 1);
                shortcuts.push_back(dir / ("link" + std::to_string(e) + ".lnk"));
                std::FILE* out = std::fopen(shortcuts.back().c_str(), "wb");
                std::fwrite(bytes.data(), 1, bytes.size(), out);
                std::fclose(out);
            } else {
                Touch(dir / ("file" + std::to_string(e) + ".dat"));
            }
        }
    }
    std::printf("tree: %d folders, %d entries, %zu shortcuts (half broken)\n", kFolders,
                kFolders * kEntriesPerFolder, shortcuts.size());

    const std::vector<std::string> program = {
        SWEEPER_CLI_PROGRAM, "--drive", "C:=" + drive.string(), "--format", "csv", tree.string()};
    const Run sweep = Best(program);
    const Run find =
        Best({"/bin/sh", "-c",
              "find '" + tree.string() + "' -iname '*.lnk' -print0 | xargs -0 cat > /dev/null"});
    std::printf("shortcut-sweeper:  %.3f s (exit status %d), peak memory %ld KB\n", sweep.seconds,
                sweep.status, sweep.maxRssKb);
    std::printf("find | xargs cat:  %.3f s (baseline)\n", find.seconds);
    std::printf("ratio:             %.2fx the baseline (target: at most 1.5x)\n",
                sweep.seconds / find.seconds);

    // A tenth of the shortcuts: the other nine of each ten become plain files.
    for (std::size_t i = 0; i < shortcuts.size(); ++i)
        if (i % 10 != 0)
            fs::rename(shortcuts[i], fs::path(shortcuts[i]).replace_extension(".dat"));
    const Run fewer = Best(program);
    std::printf("peak memory:       %ld KB with %zu shortcuts, %ld KB with %zu (same entries)\n",
                sweep.maxRssKb, shortcuts.size(), fewer.maxRssKb, shortcuts.size() / 10);
    fs::remove_all(base);
    return 0;
}
