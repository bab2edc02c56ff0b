// Start-up as separate processes: one copy per executable name, the unhandled-error report
// for missing files, and the box for a missing background picture. Every box a process
// shows is found and answered here.
#include "base/errors.h"
#include "base/handles.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "windows/main_form.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The build gives the program's path as the build machine sees it; under Wine a path
// starting with '/' lives on drive Z:.
std::string ProgramPath() {
    std::string path = SWEEPER_PROGRAM;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void WriteIcon(const std::filesystem::path& path) {
    const int size = 16;
    std::string image;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = size;
    info.biHeight = size * 2;
    info.biPlanes = 1;
    info.biBitCount = 32;
    image.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int i = 0; i < size * size; ++i)
        image += std::string("\xD0\x60\x20\xFF", 4);
    image.append(static_cast<std::size_t>(size * 4), '\0'); // AND mask: all opaque
    std::string file;
    const WORD head[3] = {0, 1, 1};
    file.append(reinterpret_cast<const char*>(head), sizeof head);
    const BYTE dims[4] = {size, size, 0, 0};
    file.append(reinterpret_cast<const char*>(dims), 4);
    const WORD planes[2] = {1, 32};
    file.append(reinterpret_cast<const char*>(planes), sizeof planes);
    const DWORD where[2] = {static_cast<DWORD>(image.size()), 22};
    file.append(reinterpret_cast<const char*>(where), sizeof where);
    std::ofstream(path, std::ios::binary) << file << image;
}

void WriteBitmap(const std::filesystem::path& path) {
    const int width = 8, height = 8, stride = 24;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out << std::string(static_cast<std::size_t>(stride * height), '\x80');
}

// A folder holding the program under `exeName` and the files that go beside it.
struct Install {
    TempDir dir;
    std::string exe;
    Install(const std::string& exeName, bool settings, bool icon, bool background) {
        exe = dir.Native(exeName);
        EXPECT_TRUE(::CopyFileA(ProgramPath().c_str(), exe.c_str(), FALSE)) << ProgramPath();
        if (settings)
            std::ofstream(dir.Path() / "lamecore.dll", std::ios::binary)
                << InvertBytes("[SYSTEM]") << "\r\n"
                << InvertBytes("Name=Startup Test") << "\r\n";
        if (icon)
            WriteIcon(dir.Path() / "icon.ico");
        if (background)
            WriteBitmap(dir.Path() / "UI.bmp");
    }
};

struct Process {
    TKernelHandle process, thread;
    DWORD id = 0;
    explicit Process(const std::string& exe, const std::string& arguments = "") {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &si, &pi));
        process.reset(pi.hProcess);
        thread.reset(pi.hThread);
        id = pi.dwProcessId;
    }
    ~Process() {
        if (process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process.get(), 99);
    }
    // Exit code after the process ends (or 259 when it did not within the time).
    DWORD Exit(DWORD ms = 20000) {
        ::WaitForSingleObject(process.get(), ms);
        DWORD code = 0;
        ::GetExitCodeProcess(process.get(), &code);
        return code;
    }
};

struct Found {
    DWORD pid;
    const char* cls;
    HWND hwnd;
};

// A visible top-level window of the process with this class, waiting up to `ms`.
HWND WaitWindow(const Process& p, const char* cls, DWORD ms = 20000) {
    const DWORD start = ::GetTickCount();
    do {
        Found f{p.id, cls, nullptr};
        ::EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* f = reinterpret_cast<Found*>(lp);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(hwnd, &pid);
                char cls[64] = {};
                ::GetClassNameA(hwnd, cls, sizeof cls);
                if (pid == f->pid && ::IsWindowVisible(hwnd) && std::string(cls) == f->cls) {
                    f->hwnd = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&f));
        if (f.hwnd)
            return f.hwnd;
        if (::WaitForSingleObject(p.process.get(), 100) != WAIT_TIMEOUT)
            return nullptr;
    } while (::GetTickCount() - start < ms);
    return nullptr;
}

std::string TextOf(HWND hwnd) {
    char text[1024] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// The longest static text inside a message box.
std::string BoxText(HWND box) {
    std::string best;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* best = reinterpret_cast<std::string*>(lp);
            char cls[32] = {};
            ::GetClassNameA(child, cls, sizeof cls);
            std::string text = TextOf(child);
            if (std::string(cls) == "Static" && text.size() > best->size())
                *best = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&best));
    return best;
}

void Answer(HWND box) { ::PostMessageA(box, WM_COMMAND, IDOK, 0); }

TEST(Startup, SecondCopyIsRefusedAlsoUnderAnotherCaseAndFolder) {
    Install first("SweepStart.exe", true, true, true);
    Process running(first.exe);
    HWND main = WaitWindow(running, "TMainForm");
    ASSERT_TRUE(main);
    EXPECT_EQ(TextOf(main), "Startup Test");

    for (const char* name : {"SweepStart.exe", "SWEEPSTART.EXE"}) {
        SCOPED_TRACE(name);
        Install other(name, true, true, true);
        Process second(other.exe);
        HWND box = WaitWindow(second, "#32770");
        ASSERT_TRUE(box);
        EXPECT_EQ(TextOf(box), "Sweepstart"); // the default title, never the settings one
        EXPECT_EQ(BoxText(box), "This program already run in memory.");
        Answer(box);
        EXPECT_EQ(second.Exit(), 0u);
    }
    // Another file name runs beside the first.
    Install beside("SweepOther.exe", true, true, true);
    Process third(beside.exe);
    HWND thirdMain = WaitWindow(third, "TMainForm");
    EXPECT_TRUE(thirdMain);
    if (thirdMain)
        ::PostMessageA(thirdMain, WM_CLOSE, 0, 0);
    EXPECT_EQ(third.Exit(), 0u);

    // The first copy went on undisturbed and ends normally.
    EXPECT_TRUE(::IsWindow(main));
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(running.Exit(), 0u);
}

TEST(Startup, MissingSettingsOrIconEndsWithTheErrorReport) {
    const struct {
        bool settings, icon;
        const char* file;
    } cases[] = {{false, true, "lamecore.dll"}, {true, false, "icon.ico"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Install install("SweepBroken.exe", c.settings, c.icon, true);
        Process p(install.exe);
        HWND box = WaitWindow(p, "#32770");
        ASSERT_TRUE(box);
        EXPECT_EQ(TextOf(box), "Application Error");
        const std::string text = BoxText(box);
        EXPECT_EQ(text.rfind("Exception EFOpenError in module SweepBroken.exe at ", 0), 0u) << text;
        EXPECT_NE(text.find("Cannot open file \"" + install.dir.Native(c.file) + "\"."),
                  std::string::npos)
            << text;
        EXPECT_FALSE(WaitWindow(p, "TMainForm", 0));
        Answer(box);
        EXPECT_EQ(p.Exit(), 1u);
    }
}

TEST(Startup, MissingBackgroundShowsTheBoxThenTheWindow) {
    Install install("SweepPlain.exe", true, true, false);
    Process p(install.exe);
    HWND box = WaitWindow(p, "#32770");
    ASSERT_TRUE(box);
    EXPECT_EQ(TextOf(box), "Startup Test");
    EXPECT_NE(BoxText(box).find("UI.bmp"), std::string::npos);
    EXPECT_FALSE(WaitWindow(p, "TMainForm", 0)); // not shown before the box is answered
    Answer(box);
    HWND main = WaitWindow(p, "TMainForm");
    ASSERT_TRUE(main);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.Exit(), 0u);
}

// Run in a process of its own by the test below: the main window's start-up path with an
// error box that fails, so the error raised while the window is created escapes its
// creation handler. The child ends with the start-up path's exit code, or 3 when a main
// window was left behind; the parent checks the report and the code.
constexpr const char* kChildVariable = "SWEEPER_STARTUP_CHILD";

TEST(StartupChild, CreationErrorRunsTheStartupPath) {
    char folder[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA(kChildVariable, folder, sizeof folder))
        GTEST_SKIP() << "runs only as the child of CreationErrorEndsWithTheReport";
    TMainFormSetup setup;
    setup.title = "Child";
    setup.programFolder = folder; // settings, no UI.bmp: FormCreate shows an error box ...
    setup.messageBox = [](WindowHandle, const std::string&, const std::string&, unsigned) -> int {
        throw EReadError("The error box failed"); // ... and showing it fails
    };
    const int code = RunMainWindow(setup);
    std::exit(::FindWindowA("TMainForm", nullptr) ? 3 : code);
}

TEST(Startup, CreationErrorEndsWithTheReport) {
    Install install("SweepChild.exe", true, true, false);
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    ::SetEnvironmentVariableA(kChildVariable, install.dir.Folder().c_str());
    Process child(self, "--gtest_filter=StartupChild.*");
    ::SetEnvironmentVariableA(kChildVariable, nullptr);
    HWND box = WaitWindow(child, "#32770");
    ASSERT_TRUE(box);
    EXPECT_EQ(TextOf(box), "Application Error");
    const std::string text = BoxText(box);
    EXPECT_EQ(text.rfind("Exception EReadError in module startup_wintest.exe at ", 0), 0u) << text;
    EXPECT_NE(text.find("The error box failed."), std::string::npos) << text;
    EXPECT_FALSE(WaitWindow(child, "TMainForm", 0));
    Answer(box);
    EXPECT_EQ(child.Exit(), 1u);
}

} // namespace
