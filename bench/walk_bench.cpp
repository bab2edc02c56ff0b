// Walk speed of the finder with the scan's settings against `find -iname '*.lnk'` over the
// same generated tree, and the finder's heap and open listings on a flat folder and a deep
// chain. Prints figures; the tree lives under /tmp and is removed afterwards.
#include "base/file_descriptor.h"
#include "finder/di_file_finder.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

void Touch(const std::string& path) {
    const TFileDescriptor file(::open(path.c_str(), O_CREAT | O_WRONLY, 0644));
}

std::string ProgramForm(const fs::path& p) {
    std::string s = p.string();
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

// Folders nested up to depth 8, files spread over them, about 3% shortcuts.
size_t MakeTree(const fs::path& root, size_t entries) {
    std::mt19937 rng(7);
    struct Folder {
        fs::path path;
        int depth;
    };
    std::vector<Folder> folders{{root, 0}};
    fs::create_directories(root);
    const size_t folderCount = entries / 50;
    for (size_t k = 1; k < folderCount; ++k) {
        Folder parent;
        do
            parent = folders[rng() % folders.size()];
        while (parent.depth >= 8);
        Folder f{parent.path / ("dir" + std::to_string(k)), parent.depth + 1};
        fs::create_directory(f.path);
        folders.push_back(f);
    }
    size_t made = folders.size() - 1;
    for (size_t k = 0; made < entries; ++k, ++made) {
        const Folder& f = folders[rng() % folders.size()];
        const bool lnk = rng() % 100 < 3;
        Touch((f.path / ("file" + std::to_string(k) + (lnk ? ".lnk" : ".dat"))).string());
    }
    return made;
}

struct WalkResult {
    double seconds;
    size_t examined, found;
};

WalkResult WalkTree(const fs::path& root) {
    TDIWildFileFinder f;
    f.SetSearchFolder(ProgramForm(root));
    f.SetFileFilter(true);
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    f.IncludeFilters() = {"*.lnk"};
    f.ExcludeFilters() = {"*$*"};
    size_t events = 0, found = 0;
    f.SetOnProgress([&](TDICustomFileFinder&) { ++events; });
    const auto t0 = Clock::now();
    while (f.Next())
        ++found;
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    return {s, events + found, found};
}

WalkResult FindTree(const fs::path& root) {
    const std::string cmd = "find '" + root.string() + "' -iname '*.lnk'";
    const auto t0 = Clock::now();
    FILE* p = ::popen(cmd.c_str(), "r");
    size_t lines = 0;
    char buf[4096];
    while (p && std::fgets(buf, sizeof buf, p))
        ++lines;
    if (p)
        ::pclose(p);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    return {s, 0, lines};
}

// Counts open listings over the system's.
struct CountingListing : IDirListing {
    int open = 0, maxOpen = 0;
    TFindHandle FindFirst(const std::string& p, TFindData& d, std::uint32_t w) override {
        TFindHandle h = SystemDirListing().FindFirst(p, d, w);
        if (h)
            maxOpen = std::max(maxOpen, ++open);
        return h;
    }
    bool FindNext(TFindHandle h, TFindData& d) override {
        return SystemDirListing().FindNext(h, d);
    }
    void FindClose(TFindHandle h) override {
        SystemDirListing().FindClose(h);
        --open;
    }
};

void Memory(const char* label, const fs::path& root) {
    CountingListing listing;
    TDIWildFileFinder f(listing);
    f.SetSearchFolder(ProgramForm(root));
    f.SetFolderFilter(true);
    f.SetRecurse(true);
    f.IncludeFilters() = {"*.lnk"};
    f.ExcludeFilters() = {"*$*"};
    const size_t before = ::mallinfo2().uordblks;
    size_t peak = before, events = 0, found = 0;
    auto sample = [&] { peak = std::max(peak, ::mallinfo2().uordblks); };
    f.SetOnProgress([&](TDICustomFileFinder&) {
        if (++events % 64 == 0)
            sample();
    });
    while (f.Next()) {
        ++found;
        sample();
    }
    sample();
    std::printf("%-28s %8zu entries  peak heap %7.1f KiB above start  open listings %d\n", label,
                events + found, (peak - before) / 1024.0, listing.maxOpen);
}

} // namespace

int main() {
    const fs::path base =
        fs::temp_directory_path() / ("sweeper-walkbench-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(base, ec);

    const fs::path tree = base / "tree";
    const size_t entries = MakeTree(tree, 200000);
    std::printf("tree: %zu entries, folders nested up to depth 8\n", entries);

    WalkResult best{1e9, 0, 0}, bestFind{1e9, 0, 0};
    WalkTree(tree); // warm the cache
    for (int run = 0; run < 5; ++run) {
        const WalkResult w = WalkTree(tree);
        const WalkResult fr = FindTree(tree);
        if (w.seconds < best.seconds)
            best = w;
        if (fr.seconds < bestFind.seconds)
            bestFind = fr;
    }
    std::printf("finder walk: %7.1f ms  %10.0f entries/s  (%zu examined, %zu shortcuts)\n",
                best.seconds * 1e3, entries / best.seconds, best.examined, best.found);
    std::printf("find -iname: %7.1f ms  %10.0f entries/s  (%zu shortcuts)\n",
                bestFind.seconds * 1e3, entries / bestFind.seconds, bestFind.found);
    std::printf("ratio walk/find: %.2f (target <= 1.20)\n", best.seconds / bestFind.seconds);
    fs::remove_all(tree, ec);

    const fs::path flat = base / "flat";
    fs::create_directories(flat);
    for (int k = 0; k < 200000; ++k)
        Touch((flat / ("f" + std::to_string(k) + (k % 30 == 0 ? ".lnk" : ".dat"))).string());
    Memory("flat folder, 200000 files:", flat);
    fs::remove_all(flat, ec);

    fs::path chain = base / "chain";
    for (int k = 0; k < 200; ++k) {
        chain /= "d";
        fs::create_directories(chain);
        Touch((chain / "x.lnk").string());
    }
    Memory("chain of 200 folders:", base / "chain");
    fs::remove_all(base, ec);
    return 0;
}
