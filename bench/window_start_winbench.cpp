// The starting half of bench/window_start.sh: starts a program and reports when its first
// window shows, and is itself the empty program the figures are compared with.
//   window_start_winbench.exe launch SECONDS PROGRAM [ARGS...]
//       starts PROGRAM (in its own folder), waits until a top-level window of that process is
//       visible, prints the milliseconds from the start to then and exits 0; the program
//       keeps running. Exit 1 when no window showed within SECONDS.
//   window_start_winbench.exe empty SECONDS
//       an empty window with a message loop, for SECONDS or until it is closed: the smallest
//       start of a Wine program that shows a window (it links nothing of the program's).
//   window_start_winbench.exe close
//       closes the program's main window and the empty windows.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK OfferWindow(HWND window, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != s->process || !::IsWindowVisible(window))
        return TRUE;
    s->found = window;
    return FALSE;
}

std::string Quoted(const char* argument) { return std::string("\"") + argument + "\""; }

int Launch(int seconds, int argc, char** argv) {
    std::string command = Quoted(argv[0]);
    for (int i = 1; i < argc; ++i)
        command += " " + Quoted(argv[i]);
    std::string folder = argv[0];
    const auto slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? "." : folder.substr(0, slash);

    LARGE_INTEGER frequency, start, shown;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ::QueryPerformanceCounter(&start);
    // Detached: a console program started so would end with the starter's console.
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                          nullptr, folder.c_str(), &startup, &child)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[0], ::GetLastError());
        return 2;
    }
    ::CloseHandle(child.hThread);
    Search s{child.dwProcessId, nullptr};
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (!s.found && ::GetTickCount64() < deadline &&
           ::WaitForSingleObject(child.hProcess, 2) == WAIT_TIMEOUT)
        ::EnumWindows(OfferWindow, reinterpret_cast<LPARAM>(&s));
    ::QueryPerformanceCounter(&shown);
    ::CloseHandle(child.hProcess);
    if (!s.found)
        return 1;
    std::printf("%.0f\n", 1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    return 0;
}

const char kEmptyClass[] = "WindowStartEmpty";

LRESULT CALLBACK EmptyProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_DESTROY)
        ::PostQuitMessage(0);
    return ::DefWindowProcA(window, message, wp, lp);
}

int Empty(int seconds) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = EmptyProc;
    cls.hInstance = ::GetModuleHandleA(nullptr);
    cls.lpszClassName = kEmptyClass;
    ::RegisterClassA(&cls);
    HWND w = ::CreateWindowExA(0, kEmptyClass, "empty window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                               0, 300, 200, nullptr, nullptr, cls.hInstance, nullptr);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.wParam == timer)
            ::DestroyWindow(w);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

// Asks each window to close and waits up to 5 s for them to be gone.
int Close() {
    for (int attempt = 0; attempt < 500; ++attempt) {
        HWND w = ::FindWindowA("TMainForm", nullptr);
        if (!w)
            w = ::FindWindowA(kEmptyClass, nullptr);
        if (!w)
            return 0;
        ::PostMessageA(w, WM_CLOSE, 0, 0);
        ::Sleep(10);
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "launch" && argc > 3)
        return Launch(std::atoi(argv[2]), argc - 3, argv + 3);
    if (command == "empty" && argc > 2)
        return Empty(std::atoi(argv[2]));
    if (command == "close")
        return Close();
    std::fprintf(stderr, "usage: see the top of bench/window_start_winbench.cpp\n");
    return 2;
}
