// Shortcuts read per second under Windows (or Wine) over the same 10,000 files: the shell link
// object (one object per file, as the scan uses it) and, as the in-run comparison, the
// shortcut-file reader on the bytes read with ReadFile.
#include "shell/link_reader.h"
#include "shell/lnk_format.h"

#include "lnk_corpus.h"

#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

std::string ParseFile(const std::string& path, std::vector<unsigned char>& buf) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    LARGE_INTEGER size{};
    DWORD got = 0;
    if (::GetFileSizeEx(h, &size)) {
        buf.resize(static_cast<std::size_t>(
            size.QuadPart < static_cast<LONGLONG>(lnk::kMaxShortcutBytes) ? size.QuadPart
                                                                           : lnk::kMaxShortcutBytes));
        if (!::ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr))
            got = 0;
    }
    ::CloseHandle(h);
    return lnk::ReadShortcutTarget(buf.data(), got);
}

} // namespace

int main() {
    if (FAILED(::CoInitialize(nullptr)))
        return 1;
    char tmp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + "lnk-winbench-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);
    if (!lnkbench::WriteCorpus(dir, '\\')) {
        std::fprintf(stderr, "cannot write the corpus in %s\n", dir.c_str());
        return 1;
    }
    std::vector<std::string> paths;
    for (int i = 0; i < lnkbench::kFiles; ++i)
        paths.push_back(dir + "\\" + lnkbench::FileName(i));

    auto shell = CreateSystemLinkReader();
    std::vector<unsigned char> buf;
    std::size_t checksum = 0;
    int mismatches = 0;
    for (const std::string& p : paths) // warm the cache, and check both agree
        if (shell->ReadTarget(p) != ParseFile(p, buf))
            ++mismatches;

    auto time = [](auto&& f) {
        const auto t0 = Clock::now();
        f();
        return lnkbench::kFiles / std::chrono::duration<double>(Clock::now() - t0).count();
    };
    const double shellRate = time([&] {
        for (const std::string& p : paths)
            checksum += shell->ReadTarget(p).size();
    });
    double parserRate = 0;
    for (int round = 0; round < 3; ++round)
        parserRate = std::max(parserRate, time([&] {
            for (const std::string& p : paths)
                checksum += ParseFile(p, buf).size();
        }));

    std::printf("corpus: %d shortcut files, %d where the two readers disagree\n", lnkbench::kFiles,
                mismatches);
    std::printf("shell link object:          %10.0f shortcuts/s\n", shellRate);
    std::printf("shortcut-file reader here:  %10.0f shortcuts/s  (%.1fx)\n", parserRate,
                parserRate / shellRate);
    std::printf("RATE wine_shell %.0f\n", shellRate);
    std::printf("(checksum %zu)\n", checksum);
    for (const std::string& p : paths)
        ::DeleteFileA(p.c_str());
    ::RemoveDirectoryA(dir.c_str());
    ::CoUninitialize();
    return mismatches == 0 ? 0 : 1;
}
