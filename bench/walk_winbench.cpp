// The walk of shortcut-sweeper.exe (and of the window's scan, which walks and judges the same
// way) under Windows or Wine, against the least a program can do over the same tree in the
// same run: list with FindFirstFileExW (basic information, large fetch), read the first 4 KB
// of each shortcut, probe the one target path its LinkInfo names.
//   walk_winbench [ENTRIES]   a tree of ENTRIES files and folders (200,000), one in ten a
//                             shortcut, half of them to a target that exists
// The tree is made under the temporary folder and removed afterwards.
#include "base/text.h"
#include "cli/sweep.h"
#include "cli/target_probes.h"
#include "finder/dir_listing.h"

#include "lnk_corpus.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

bool WriteWhole(const std::wstring& path, const void* data, DWORD size) {
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = size == 0 || (::WriteFile(h, data, size, &written, nullptr) && written == size);
    ::CloseHandle(h);
    return ok;
}

// A shortcut naming `target` in its LinkInfo, with the usual strings.
lnkb::Bytes Shortcut(const std::string& target) {
    using namespace lnkb;
    Link l;
    l.linkInfo = LinkInfo({target, "", "", false, {}, {}, {}});
    l.strings = {u"", u"", u"", u"--start", u""};
    return l.Build();
}

struct Tree {
    std::vector<std::string> folders; // each ending in '\'
    std::size_t entries = 0, shortcuts = 0;
};

// Folders of 50 entries nested up to eight deep; every tenth file a shortcut to a file of
// the tree (every other one to a file that is not there).
bool MakeTree(const std::string& root, std::size_t entries, Tree& tree) {
    tree.folders = {root + "\\"};
    std::vector<int> depth = {0};
    std::uint32_t seed = 7;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    const std::size_t folderCount = entries / 50;
    for (std::size_t k = 1; k < folderCount; ++k) {
        std::size_t parent;
        do
            parent = next() % tree.folders.size();
        while (depth[parent] >= 8);
        tree.folders.push_back(tree.folders[parent] + "dir" + std::to_string(k) + "\\");
        depth.push_back(depth[parent] + 1);
        if (!::CreateDirectoryW(WidenUtf8(tree.folders.back()).c_str(), nullptr))
            return false;
    }
    tree.entries = folderCount - 1;
    std::string lastFile; // the file made last, the target of every other shortcut
    for (std::size_t i = 0; tree.entries < entries; ++i, ++tree.entries) {
        const std::string& folder = tree.folders[next() % tree.folders.size()];
        if (i % 10 == 9) {
            const std::string target =
                i % 20 == 9 ? lastFile : folder + "gone" + std::to_string(i) + ".txt";
            const lnkb::Bytes b = Shortcut(target);
            if (!WriteWhole(WidenUtf8(folder + "s" + std::to_string(i) + ".lnk"), b.data(),
                            static_cast<DWORD>(b.size())))
                return false;
            ++tree.shortcuts;
        } else {
            lastFile = folder + "file" + std::to_string(i) + ".txt";
            if (!WriteWhole(WidenUtf8(lastFile), "", 0))
                return false;
        }
    }
    return true;
}

// The target path LinkInfo names (its local base path, ANSI), or "".
std::string LinkInfoPath(const unsigned char* b, DWORD size) {
    const auto u16 = [&](DWORD at) { return at + 2 <= size ? b[at] | b[at + 1] << 8 : 0u; };
    const auto u32 = [&](DWORD at) { return at + 4 <= size ? u16(at) | u16(at + 2) << 16 : 0u; };
    if (size < 0x4C)
        return {};
    const DWORD flags = u32(0x14);
    DWORD at = 0x4C;
    if (flags & 0x1) // an ID list before it
        at += 2 + u16(at);
    if ((flags & 0x2) == 0 || at + 20 > size)
        return {};
    const DWORD base = at + u32(at + 16);
    std::string path;
    for (DWORD i = base; i < size && b[i] != 0; ++i)
        path.push_back(static_cast<char>(b[i]));
    return path;
}

struct Counts {
    std::size_t shortcuts = 0, missing = 0;
};

void MinimalWalk(const std::wstring& folder, Counts& counts) {
    WIN32_FIND_DATAW found;
    const HANDLE h = ::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const wchar_t* name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (std::wcscmp(name, L".") != 0 && std::wcscmp(name, L"..") != 0)
                MinimalWalk(folder + name + L"\\", counts);
            continue;
        }
        const std::size_t n = std::wcslen(name);
        if (n < 4 || ::_wcsicmp(name + n - 4, L".lnk") != 0)
            continue;
        const HANDLE file = ::CreateFileW((folder + name).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        unsigned char bytes[4096];
        DWORD got = 0;
        const BOOL read = ::ReadFile(file, bytes, sizeof bytes, &got, nullptr);
        ::CloseHandle(file);
        if (!read)
            continue;
        ++counts.shortcuts;
        const std::string target = LinkInfoPath(bytes, got);
        if (target.empty() || ::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES)
            ++counts.missing;
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(h, &found));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t entries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200000;
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    const std::string root =
        NarrowUtf8(tmp) + "walk-winbench-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryW(WidenUtf8(root).c_str(), nullptr);
    Tree tree;
    const auto made = Clock::now();
    if (!MakeTree(root, entries, tree)) {
        std::fprintf(stderr, "cannot make the tree in %s\n", root.c_str());
        RemoveTree(WidenUtf8(root + "\\"));
        return 1;
    }
    std::printf("tree: %zu entries, %zu folders, %zu shortcuts (made in %.1f s)\n", tree.entries,
                tree.folders.size(), tree.shortcuts,
                std::chrono::duration<double>(Clock::now() - made).count());

    double minimal = 1e9, program = 1e9;
    Counts least;
    TSweepCounts ours;
    for (int round = 0; round < 3; ++round) {
        auto t0 = Clock::now();
        least = {};
        MinimalWalk(WidenUtf8(root + "\\"), least);
        minimal = std::min(minimal, std::chrono::duration<double>(Clock::now() - t0).count());

        t0 = Clock::now();
        TTargetSystem system;
        std::string error;
        CreateTargetSystem({}, {root}, system, error);
        TSweep sweep(SystemDirListing(), *system.reader, *system.probes);

        sweep.SetFollowLinks(true);
        sweep.Walk(root);
        ours = sweep.Counts();
        program = std::min(program, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    std::printf("FindFirstFileExW + 4 KB read + one probe: %7.2f s  (%zu shortcuts, %zu missing)\n",
                minimal, least.shortcuts, least.missing);
    std::printf("shortcut-sweeper's walk and verdicts:     %7.2f s  (%llu shortcuts, %llu "
                "invalid)\n",
                program, static_cast<unsigned long long>(ours.shortcuts),
                static_cast<unsigned long long>(ours.invalid));
    std::printf("ratio: %.2f (target <= 1.5)\n", program / minimal);
    RemoveTree(WidenUtf8(root + "\\"));
    return least.shortcuts == ours.shortcuts && least.missing == ours.invalid ? 0 : 1;
}
