// The shell services against the real shell. A watchdog thread closes any dialog box the
// process opens, so a shell error dialog cannot block a run; a test that must not see one
// checks that none came.
#include "shell/util_funcs.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

class DialogWatchdog {
public:
    DialogWatchdog() : thread_([this] { Run(); }) {}
    DialogWatchdog(const DialogWatchdog&) = delete;
    DialogWatchdog& operator=(const DialogWatchdog&) = delete;
    ~DialogWatchdog() {
        stop_ = true;
        thread_.join();
    }
    int Closed() const { return closed_; }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        char cls[16] = {};
        ::GetClassNameA(window, cls, sizeof cls);
        if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
            std::string(cls) == "#32770") {
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            ++reinterpret_cast<DialogWatchdog*>(self)->closed_;
        }
        return TRUE;
    }
    void Run() {
        while (!stop_) {
            ::EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
            ::Sleep(100);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<int> closed_{0};
    std::thread thread_;
};

struct RecordingCursor : IScreenCursor {
    std::vector<int> set;
    void SetCursor(int cursor) override { set.push_back(cursor); }
};

TEST(RecycleBin, MovesTheFileWithoutAskingAndReportsAMissingOne) {
    ComApartment com;
    TempDir dir;
    dir.WriteFile("doomed.lnk", "L");
    const std::string path = dir.Native("doomed.lnk");
    DialogWatchdog watchdog;
    EXPECT_TRUE(MoveToRecycleBin(nullptr, path, false));
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
    EXPECT_FALSE(MoveToRecycleBin(nullptr, dir.Native("never-there.lnk"), false));
    EXPECT_EQ(watchdog.Closed(), 0) << "the shell showed a dialog";
}

TEST(BusyCursor, OpenLinkOfNothingReturnsAndRestoresTheCursor) {
    ComApartment com;
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

TEST(Redirection, BothSwitchesReturnTrue) {
    EXPECT_TRUE(DisableFsRedirection());
    EXPECT_TRUE(RevertFsRedirection());
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
    ComApartment com;
    WNDCLASSA wc{};
    wc.lpfnWndProc = Recorder;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SweeperBrowseRecorder";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_TRUE(window);

    const char start[] = "C:\\";
    EXPECT_EQ(BrowseCallback(window, BFFM_INITIALIZED, 0, reinterpret_cast<std::intptr_t>(start)), 0);

    TempDir dir;
    LPITEMIDLIST folder = nullptr;
    const std::wstring wide = dir.Path().wstring();
    ASSERT_EQ(::SHParseDisplayName(wide.c_str(), nullptr, &folder, 0, nullptr), S_OK);
    EXPECT_EQ(BrowseCallback(window, BFFM_SELCHANGED, reinterpret_cast<std::intptr_t>(folder), 0), 0);
    LPITEMIDLIST drives = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives), S_OK);
    EXPECT_EQ(BrowseCallback(window, BFFM_SELCHANGED, reinterpret_cast<std::intptr_t>(drives), 0), 0);
    EXPECT_EQ(BrowseCallback(window, WM_USER + 77, 0, 0), 0);
    ::CoTaskMemFree(folder);
    ::CoTaskMemFree(drives);
    ::DestroyWindow(window);

    std::string dirPath = dir.Native("");
    dirPath.pop_back(); // the shell reports a folder without its trailing backslash
    EXPECT_EQ(g_sent, (std::vector<std::string>{"select 1 C:\\", "status 0 " + dirPath,
                                                 "status 0 ", "enableok 0 0"}));
}

TEST(BrowseForFolder, CancelReturnsFalseAndKeepsThePath) {
    ComApartment com;
    DialogWatchdog watchdog; // presses Cancel in the dialog
    std::string path = "C:\\";
    EXPECT_FALSE(BrowseForFolder(nullptr, path, "Pick: ", kBifReturnOnlyFsDirs | kBifNewDialogStyle, ""));
    EXPECT_EQ(path, "C:\\");
    EXPECT_GE(watchdog.Closed(), 1);
}

} // namespace
