// The shell services against the real shell. A watchdog thread closes any dialog box the
// process opens, so a shell error dialog cannot block a run; a test that must not see one
// checks that none came.
#include "base/handles.h"
#include "platform/util_funcs.h"
#include "support/dialog_watchdog_win32.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

struct RecordingCursor : IScreenCursor {
    std::vector<int> set;
    void SetCursor(int cursor) override { set.push_back(cursor); }
};

TEST(RecycleBin, MovesTheFileWithoutAskingAndReportsAMissingOne) {
    TComApartment com;
    TempDir dir;
    dir.WriteFile("doomed.lnk", "L");
    const std::string path = dir.Native("doomed.lnk");
    DialogWatchdog watchdog;
    EXPECT_TRUE(MoveToRecycleBin(nullptr, {path}, false));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "doomed.lnk"));
    // The run sets the desktop trash to a folder of its own: the file must be in there.
    char xdg[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("XDG_DATA_HOME", xdg, MAX_PATH) > 0 && xdg[0] == '/') {
        const std::string trash = std::string("Z:") + xdg + "/Trash/files";
        bool found = false;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(trash, ec))
            found = found || e.path().filename().string().rfind("doomed", 0) == 0;
        EXPECT_TRUE(found) << "not in " << trash;
    }
    // A missing file is nothing to move, and no reason to ask.
    EXPECT_TRUE(MoveToRecycleBin(nullptr, {dir.Native("never-there.lnk")}, false));
    // Many files in one call.
    std::vector<std::string> many;
    for (int i = 0; i < 50; ++i) {
        dir.WriteFile("many" + std::to_string(i) + ".lnk", "L");
        many.push_back(dir.Native("many" + std::to_string(i) + ".lnk"));
    }
    EXPECT_TRUE(MoveToRecycleBin(nullptr, many, false));
    for (const std::string& path : many)
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(path))) << path;
    EXPECT_EQ(watchdog.Closed(), 0) << "the shell showed a dialog";
}

// Where the trash cannot take a file, the shell asks before it destroys it, and a file the
// user keeps stays. Run in a child process whose desktop trash cannot be made (its
// XDG_DATA_HOME is below /dev/null); the watchdog answers the warning with Cancel.
TEST(RecycleBin, NeverDestroysAFileItCannotRecycleWithoutAsking) {
    char child[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("SWEEPER_NO_TRASH_FILE", child, MAX_PATH) > 0) {
        TComApartment com;
        DialogWatchdog watchdog;
        const bool goOn = MoveToRecycleBin(nullptr, {child}, false);
        const bool kept = std::filesystem::exists(std::filesystem::path(child));
        std::printf("child: kept %d, go on %d, asked %d\n", kept, goOn, watchdog.Closed());
        ::ExitProcess(kept && !goOn && watchdog.Closed() > 0 ? 0 : 3);
    }
    TempDir dir;
    dir.WriteFile("keep.lnk", "L");
    const std::string keep = dir.Native("keep.lnk");
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    char xdg[MAX_PATH] = {};
    ::GetEnvironmentVariableA("XDG_DATA_HOME", xdg, MAX_PATH);
    ASSERT_TRUE(::SetEnvironmentVariableA("SWEEPER_NO_TRASH_FILE", keep.c_str()));
    ASSERT_TRUE(::SetEnvironmentVariableA("XDG_DATA_HOME", "/dev/null/no-trash"));
    std::string command = std::string("\"") + self + "\" --gtest_filter=RecycleBin.NeverDestroys*";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableA("SWEEPER_NO_TRASH_FILE", nullptr);
    ::SetEnvironmentVariableA("XDG_DATA_HOME", xdg[0] ? xdg : nullptr);
    const TKernelHandle process(pi.hProcess), thread(pi.hThread);
    ASSERT_TRUE(started);
    ::WaitForSingleObject(process.get(), 60000);
    DWORD code = 1;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "keep.lnk"));
}

TEST(BusyCursor, OpenLinkOfNothingReturnsAndRestoresTheCursor) {
    TComApartment com;
    RecordingCursor cursor;
    SetScreenCursorSink(&cursor);
    OpenLink("");
    SetScreenCursorSink(nullptr);
    EXPECT_EQ(cursor.set, (std::vector<int>{crHourGlass, crDefault}));
    EXPECT_EQ(BusyCount(), 0);

    // With the system's cursor: nested sections, then the arrow again.
    BeginBusy();
    BeginBusy();
    EndBusy();
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_WAIT));
    EXPECT_EQ(ScreenCursor(), crHourGlass);
    EndBusy();
    EndBusy();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(ScreenCursor(), crDefault);
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW));
}

// The picker's callback, driven against a plain window that records what it is sent.
std::vector<std::string> g_sent;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == BFFM_SETSELECTIONA)
        g_sent.push_back("select " + std::to_string(w) + " " + reinterpret_cast<const char*>(l));
    else if (message == BFFM_SETSTATUSTEXTA)
        g_sent.push_back("status " + std::to_string(w) + " " + reinterpret_cast<const char*>(l));
    else if (message == BFFM_ENABLEOK)
        g_sent.push_back("enableok " + std::to_string(w) + " " + std::to_string(l));
    return ::DefWindowProcA(window, message, w, l);
}

TEST(BrowseCallback, SelectsTheStartFolderAndDisablesOkForVirtualItems) {
    TComApartment com;
    WNDCLASSA wc{};
    wc.lpfnWndProc = Recorder;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SweeperBrowseRecorder";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_TRUE(window);

    const char start[] = "C:\\";
    EXPECT_EQ(BrowseCallback(window, BFFM_INITIALIZED, 0, reinterpret_cast<std::intptr_t>(start)),
              0);

    TempDir dir;
    LPITEMIDLIST folder = nullptr;
    const std::wstring wide = dir.Path().wstring();
    ASSERT_EQ(::SHParseDisplayName(wide.c_str(), nullptr, &folder, 0, nullptr), S_OK);
    EXPECT_EQ(BrowseCallback(window, BFFM_SELCHANGED, reinterpret_cast<std::intptr_t>(folder), 0),
              0);
    LPITEMIDLIST drives = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives), S_OK);
    EXPECT_EQ(BrowseCallback(window, BFFM_SELCHANGED, reinterpret_cast<std::intptr_t>(drives), 0),
              0);
    EXPECT_EQ(BrowseCallback(window, WM_USER + 77, 0, 0), 0);
    ::CoTaskMemFree(folder);
    ::CoTaskMemFree(drives);
    ::DestroyWindow(window);

    std::string dirPath = dir.Native("");
    dirPath.pop_back(); // the shell reports a folder without its trailing backslash
    EXPECT_EQ(g_sent, (std::vector<std::string>{"select 1 C:\\", "status 0 " + dirPath, "status 0 ",
                                                "enableok 0 0"}));
}

TEST(BrowseForFolder, CancelReturnsFalseAndKeepsThePath) {
    TComApartment com;
    DialogWatchdog watchdog; // presses Cancel in the dialog
    std::string path = "C:\\";
    EXPECT_FALSE(
        BrowseForFolder(nullptr, path, "Pick: ", kBifReturnOnlyFsDirs | kBifNewDialogStyle, ""));
    EXPECT_EQ(path, "C:\\");
    EXPECT_GE(watchdog.Closed(), 1);
}

} // namespace
