// Delete through the window against the real recycle bin (run it inside Xvfb, with
// XDG_DATA_HOME pointing at a folder of its own: bench/recycle_bench.sh does both):
//   the window's Delete of 10,000 checked rows whose shortcut files exist, against the same
//   files moved by one shell call (the in-run baseline), and one shell call per file (the way
//   Delete went before) over 1,000 of them.
#include "base/com_ref.h"
#include "base/handles.h"
#include "inventory/shortcut_item.h"
#include "platform/util_funcs.h"
#include "windows/main_form.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// `count` small shortcut files under `folder`, spread over folders of 500.
std::vector<std::string> MakeFiles(const std::string& folder, int count) {
    std::vector<std::string> paths;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string dir = folder + "d" + std::to_string(i / 500) + "\\";
        if (i % 500 == 0)
            ::CreateDirectoryA(dir.c_str(), nullptr);
        paths.push_back(dir + "s" + std::to_string(i) + ".lnk");
        const TKernelHandle file(::CreateFileA(paths.back().c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), "L", 1, &written, nullptr);
    }
    return paths;
}

int Present(const std::vector<std::string>& paths) {
    int n = 0;
    for (const std::string& p : paths)
        n += ::GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
    return n;
}

} // namespace

int Run() {
    const TComApartment com;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "sweeper-recycle-bench\\";
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    ::CreateDirectoryA(root.c_str(), nullptr);
    constexpr int kFiles = 10000;

    // The window's Delete first: the window is made before the shell has run.
    std::vector<std::string> files = MakeFiles(root + "window\\", kFiles);
    TMainFormSetup setup;
    setup.title = "Bench";
    setup.programFolder = root; // no UI.bmp or settings there: one error box, answered here
    int boxes = 0;
    setup.messageBox = [&boxes](WindowHandle, const std::string& text, const std::string&,
                                unsigned) {
        if (++boxes > 2)
            std::printf("box: %s\n", text.c_str());
        return IDYES;
    };
    TMainForm form(setup);
    form.Show();
    for (const std::string& f : files) {
        const std::size_t slash = f.rfind('\\');
        form.Inventory().AddShortcutItem(std::make_unique<TShortcutItem>(
            f.substr(slash + 1), "C:\\gone.exe", f.substr(0, slash + 1), f, true));
    }
    form.Idle();
    auto t = Clock::now();
    form.ExecuteAction(TActionId::Delete);
    const double window = Seconds(t, Clock::now());
    const int filesLeft = Present(files), rowsLeft = form.Rows().Count();

    // Baseline: the same files moved by one shell call.
    files = MakeFiles(root + "one\\", kFiles);
    t = Clock::now();
    MoveToRecycleBin(nullptr, files, false);
    const double one = Seconds(t, Clock::now());
    std::printf("baseline: one shell call for %d files    %8.2f s (%d left)\n", kFiles, one,
                Present(files));

    // The same in calls of 200 files, as the window makes them.
    files = MakeFiles(root + "groups\\", kFiles);
    t = Clock::now();
    for (std::size_t i = 0; i < files.size(); i += 200)
        MoveToRecycleBin(
            nullptr,
            std::vector<std::string>(
                files.begin() + static_cast<std::ptrdiff_t>(i),
                files.begin() + static_cast<std::ptrdiff_t>(std::min(files.size(), i + 200))),
            false);
    const double groups = Seconds(t, Clock::now());
    std::printf("calls of 200 files for %d files          %8.2f s (%d left)\n", kFiles, groups,
                Present(files));

    // Before: one call per file, over a tenth of them.
    files = MakeFiles(root + "each\\", kFiles / 10);
    t = Clock::now();
    for (const std::string& f : files)
        MoveToRecycleBin(nullptr, {f}, false);
    const double each = Seconds(t, Clock::now());
    std::printf("one call per file for %d files            %8.2f s (%d left; %.1f s for %d)\n",
                kFiles / 10, each, Present(files), each * 10, kFiles);

    std::printf("the window's Delete of %d checked rows  %8.2f s (%d files left, %d rows "
                "left), %.2f x baseline\n",
                kFiles, window, filesLeft, rowsLeft, window / one);

    form.Inventory().Clear();
    std::filesystem::remove_all(root, ec);
    return 0;
}

int main() {
    try {
        return Run();
    } catch (const std::exception& e) {
        std::printf("error: %s\n", e.what());
        return 1;
    }
}
