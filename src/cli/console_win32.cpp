#include "cli/console.h"

#include "base/com_ref.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>

namespace {

volatile LONG interrupted = 0;

BOOL WINAPI OnControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        ::InterlockedExchange(&interrupted, 1);
        return TRUE;
    }
    return FALSE;
}

} // namespace

namespace console {

void Init() {
    // The manifest makes the ANSI code page UTF-8; the console's own code page follows.
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
    // The bytes as written, so a CSV file keeps its CR LF and nothing gets a second CR.
    _setmode(_fileno(stdout), _O_BINARY);
    // The shell link object and the recycle bin want a single-threaded apartment, kept for
    // the whole process.
    static const TComApartment com;
}

bool IsTerminal(TStream stream) {
    const int fd = stream == TStream::In ? 0 : stream == TStream::Out ? 1 : 2;
    return _isatty(fd) != 0;
}

int Width() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!IsTerminal(TStream::Out) ||
        !::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info))
        return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void CatchInterrupt() { ::SetConsoleCtrlHandler(OnControl, TRUE); }

bool Interrupted() { return ::InterlockedCompareExchange(&interrupted, 0, 0) != 0; }

int InterruptedStatus() { return 130; }

int ExitStatus(int status) { return status; }

std::string ProgramPath(const std::string& typed) {
    std::string s = typed;
    for (char& c : s)
        if (c == '/')
            c = '\\';
    const DWORD size = ::GetFullPathNameA(s.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return s;
    std::string full(size, '\0');
    const DWORD length = ::GetFullPathNameA(s.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return s;
    full.resize(length);
    return full;
}

std::string UserPath(const std::string& programPath) { return programPath; }

std::string UserName(const std::string& name) { return name; }

bool ReadLine(std::string& line) { return static_cast<bool>(std::getline(std::cin, line)); }

} // namespace console
