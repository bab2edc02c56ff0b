#include "cli/console.h"

#include "base/posix_path.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interruptedBy = 0; // the signal's number, 0 while none came

extern "C" void OnInterrupt(int signal) { interruptedBy = signal; }

// Whether the signal was ignored when the program started.
bool IgnoredAtStart(int signal) {
    struct sigaction action {};
    return ::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

bool pipeIgnoredAtStart = false;

} // namespace

namespace console {

void Init() {
    pipeIgnoredAtStart = IgnoredAtStart(SIGPIPE);
    std::signal(SIGPIPE, SIG_IGN);
}

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
    // No SA_RESTART: a read of the terminal (the question before --recycle) ends at once.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM})
        if (!IgnoredAtStart(signal))
            ::sigaction(signal, &action, nullptr);
}

bool Interrupted() { return interruptedBy != 0; }

int InterruptedStatus() { return 128 + (interruptedBy != 0 ? interruptedBy : SIGINT); }

int ExitStatus(int status) {
    const int signal = status - 128;
    if (signal != SIGINT && signal != SIGTERM && signal != SIGPIPE)
        return status;
    if (signal == SIGPIPE ? pipeIgnoredAtStart : IgnoredAtStart(signal))
        return status;
    std::cout.flush();
    std::cerr.flush();
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
    return status; // not reached while the signal's default action ends the process
}

std::string ProgramPath(const std::string& typed) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(typed, ec);
    return FromPosixPath((ec ? std::filesystem::path(typed) : p.lexically_normal()).string());
}

std::string UserPath(const std::string& programPath) { return ToPosixPath(programPath); }

// A name holds no separator; its '/' stands for a '\' (base/posix_path.h).
std::string UserName(const std::string& name) { return FromPosixPath(name); }

// The wait looks at the interrupt between short polls: a Ctrl+C that came just before the
// read began (after the question was printed) would otherwise leave the read waiting for good.
bool ReadLine(std::string& line) {
    line.clear();
    while (!Interrupted()) {
        pollfd in{0, POLLIN, 0};
        const int ready = ::poll(&in, 1, 100);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        char c = 0;
        const ssize_t n = ::read(0, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return !line.empty();
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

} // namespace console
