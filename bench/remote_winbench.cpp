// Drives a running ShortcutSweeper.exe from another process, for the scripts that measure the
// real program (bench/idle_cpu.sh, bench/cold_starts.sh):
//   remote_winbench.exe wait-window SECONDS   exit 0 once the main window is visible
//   remote_winbench.exe scan MIN_ROWS          click Scan, accept the picker (C:\), wait until
//                                              the list holds at least MIN_ROWS rows and the
//                                              count has stopped changing; print the count
//   remote_winbench.exe close                  close the main window
//   remote_winbench.exe write-link LNK TARGET  write one shortcut with the shell link object
#include "windows/main_form_layout.h"

#include "shell_link.h"

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND FindMain() { return ::FindWindowA("TMainForm", nullptr); }

HWND WaitFor(HWND (*find)(), int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        HWND w = find();
        if (w && ::IsWindowVisible(w))
            return w;
        ::Sleep(100);
    }
    return nullptr;
}

HWND g_owner = nullptr;
HWND FindPicker() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            char cls[16] = {};
            ::GetClassNameA(w, cls, sizeof cls);
            if (std::string(cls) == "#32770" && ::GetWindow(w, GW_OWNER) == g_owner) {
                *reinterpret_cast<HWND*>(lp) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int Rows(HWND main) {
    return static_cast<int>(
        ::SendMessageA(::GetDlgItem(main, kIdListViewFiles), LVM_GETITEMCOUNT, 0, 0));
}

int Scan(int minRows) {
    HWND main = WaitFor(FindMain, 30);
    if (!main)
        return 2;
    g_owner = main;
    ::PostMessageA(::GetDlgItem(main, kIdActionBase + static_cast<int>(TActionId::ScanShortcuts)),
                   BM_CLICK, 0, 0);
    HWND picker = WaitFor(FindPicker, 30);
    if (!picker)
        return 3;
    ::Sleep(500); // the picker selects its start folder after it shows
    ::PostMessageA(picker, WM_COMMAND, IDOK, 0);
    int last = -1, stable = 0;
    for (int i = 0; i < 6000 && stable < 10; ++i) {
        ::Sleep(100);
        const int rows = Rows(main);
        stable = rows == last && rows >= minRows ? stable + 1 : 0;
        last = rows;
    }
    std::printf("%d\n", last);
    return last >= minRows ? 0 : 4;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "wait-window" && argc > 2)
        return WaitFor(FindMain, std::atoi(argv[2])) ? 0 : 1;
    if (command == "scan" && argc > 2)
        return Scan(std::atoi(argv[2]));
    if (command == "close") {
        HWND main = FindMain();
        if (main)
            ::PostMessageA(main, WM_CLOSE, 0, 0);
        return main ? 0 : 1;
    }
    if (command == "write-link" && argc > 3) {
        const TComApartment com;
        return WriteLink(argv[2], argv[3]) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: see the top of bench/remote_winbench.cpp\n");
    return 2;
}
