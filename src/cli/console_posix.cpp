#include "cli/console.h"

#include "base/posix_path.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

} // namespace

namespace console {

void Init() {}

bool IsTerminal(TStream stream) {
    return ::isatty(stream == TStream::In ? 0 : stream == TStream::Out ? 1 : 2) == 1;
}

int Width() {
    struct winsize ws {};
    if (!IsTerminal(TStream::Out) || ::ioctl(1, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0)
        return 0;
    return ws.ws_col;
}

void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() { return interrupted != 0; }

std::string ProgramPath(const std::string& typed) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(typed, ec);
    std::string s = (ec ? std::filesystem::path(typed) : p.lexically_normal()).string();
    for (char& c : s)
        if (c == '/')
            c = '\\';
    return s;
}

std::string UserPath(const std::string& programPath) { return ToPosixPath(programPath); }

bool ReadLine(std::string& line) { return static_cast<bool>(std::getline(std::cin, line)); }

} // namespace console
