// shortcut-sweeper --wine-launchers over 1,000 launchers that Wine's menu builder would have
// written for three prefixes (menu launchers by Windows path and by start /unix, Desktop
// launchers naming the program, one in twenty a file association opened through the
// prefix's registry, which is as large as a fresh prefix's; a third of the targets gone),
// against a plain walk of the same folders that reads every launcher (`find ... -name
// '*.desktop' -print0 | xargs -0 cat`) in the same run. Both run warm, best of three. The
// home lives under /tmp and is removed afterwards.
#include "../tests/cli/support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kLaunchers = 1000;
constexpr int kPrefixes = 3;
// A registry of a fresh prefix's size (8,700 keys, 1.7 MB), 400 of them open commands.
constexpr int kRegistryKeys = 8700;
constexpr int kOpenCommands = 400;

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Backslashes as four and blanks behind two, as the menu builder writes a path.
std::string Escaped(const std::string& path) {
    std::string out;
    for (char c : path)
        out += c == '\\'  ? std::string("\\\\\\\\")
               : c == ' ' ? std::string("\\\\ ")
                          : std::string(1, c);
    return out;
}

double BestOfThree(const std::string& command) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const Clock::time_point t0 = Clock::now();
        if (std::system(command.c_str()) == -1)
            return -1;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}

} // namespace

int main() {
    const fs::path home =
        fs::temp_directory_path() / ("launcher-bench-" + std::to_string(::getpid()));
    const fs::path data = home / ".local" / "share", desktop = home / "Desktop";
    for (int p = 0; p < kPrefixes; ++p) {
        const fs::path prefix = home / ("prefix " + std::to_string(p));
        fs::create_directories(prefix / "dosdevices");
        fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
        Write(prefix / "drive_c" / "Program Files" / "App" / "app.exe", "MZ");
        std::string reg = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
        for (int k = 0; k < kRegistryKeys; ++k) {
            const std::string n = std::to_string(k);
            if (k < kOpenCommands)
                reg += "[Software\\\\Classes\\\\Bench.File." + n +
                       "\\\\shell\\\\open\\\\command] "
                       "1700000000\n#time=1da0000000000000\n@=\"\\\"C:\\\\" +
                       (k % 3 == 0 ? "Program Files\\\\Gone\\\\gone.exe"
                                   : "Program Files\\\\App\\\\app.exe") +
                       "\\\" \\\"%1\\\"\"\n\n";
            else
                reg +=
                    "[Software\\\\Classes\\\\CLSID\\\\{00000000-0000-0000-C000-0000" +
                    std::string(8 - n.size(), '0') + n +
                    "}\\\\InprocServer32] 1700000000\n#time=1da0000000000000\n"
                    "@=\"C:\\\\windows\\\\system32\\\\ole32.dll\"\n\"ThreadingModel\"=\"Both\"\n\n";
        }
        Write(prefix / "system.reg", reg);
    }
    for (int i = 0; i < kLaunchers; ++i) {
        const int p = i % kPrefixes;
        const fs::path prefix = home / ("prefix " + std::to_string(p));
        const std::string name = "App " + std::to_string(i);
        const std::string below = "users\\me\\Start Menu\\Programs\\App\\" + name + ".lnk";
        const std::string target =
            i % 3 == 0 ? "C:\\Program Files\\Gone\\gone.exe" : "C:\\Program Files\\App\\app.exe";
        WriteLink(prefix / "drive_c" / "users" / "me" / "Start Menu" / "Programs" / "App" /
                      (name + ".lnk"),
                  target);
        std::string exec = "env WINEPREFIX=\"" + prefix.string() + "\" wine ";
        fs::path launcher =
            data / "applications" / "wine" / "Programs" / "App" / (name + ".desktop");
        if (i % 20 == 19) {
            exec += "start /ProgIDOpen Bench.File." + std::to_string(i % kOpenCommands) + " %f";
            launcher =
                data / "applications" / ("wine-extension-e" + std::to_string(i) + ".desktop");
        } else if (i % 10 == 9) {
            exec += Escaped(target);
            launcher = desktop / (name + ".desktop");
        } else if (i % 2 == 0) {
            exec += Escaped("C:\\" + below);
        } else {
            exec += "start /unix " + Escaped((prefix / "dosdevices" / "c:" / "users" / "me" /
                                              "Start Menu" / "Programs" / "App" / (name + ".lnk"))
                                                 .string());
        }
        Write(launcher, "[Desktop Entry]\nName=" + name + "\nExec=" + exec +
                            "\nType=Application\nStartupNotify=true\nIcon=1A2B_app.0\n");
    }
    const std::string env = "HOME='" + home.string() + "' XDG_DATA_HOME= XDG_CONFIG_HOME= ";
    const std::string sweep = env + SWEEPER_CLI_PROGRAM " --wine-launchers --all -f json";
    const std::string walk = "find '" + (data / "applications").string() + "' '" +
                             desktop.string() +
                             "' -name '*.desktop' -print0 | xargs -0 cat > /dev/null";
    std::system((sweep + " > /dev/null").c_str()); // warm
    std::system(("printf 'dead: '; (" + sweep + ") | grep -c '\"dead\"'").c_str());
    const double judged = BestOfThree(sweep + " > /dev/null");
    const double walked = BestOfThree(walk);
    std::printf("%d Wine launchers over %d prefixes judged: %.3f s\n", kLaunchers, kPrefixes,
                judged);
    std::printf("plain walk reading the same launchers (find | xargs cat): %.3f s (x%.1f)\n",
                walked, walked > 0 ? judged / walked : 0.0);
    fs::remove_all(home);
}
