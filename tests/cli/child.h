// shortcut-sweeper run as a child process, as a shell runs it: its standard streams, its
// environment, a controlling terminal, and its exit status as the shell shows it.
#pragma once

#include "support/temp_dir.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Result {
    int status = -1; // as a shell shows it: 128 + the signal's number after a signal
    int signal = 0;  // the signal that ended the process, 0 when it exited
    std::string out, err;
};

// How the child's standard streams and signals are set up; a descriptor of -1 is the
// default (standard input from /dev/null, standard output and error to files).
struct ChildSetup {
    std::map<std::string, std::string> env; // added to the environment
    int in = -1, out = -1, err = -1;
    int terminal = -1;       // made the child's controlling terminal (a new session)
    bool ignorePipe = false; // SIGPIPE ignored, as some callers start their children
};

class Child {
public:
    explicit Child(const std::vector<std::string>& args, const ChildSetup& setup = {})
        : out_(dir_.Path() / "out"), errFile_(dir_.Path() / "err") {
        pid_ = ::fork();
        if (pid_ != 0)
            return;
        if (setup.terminal >= 0) {
            ::setsid();
            ::ioctl(setup.terminal, TIOCSCTTY, 0);
        }
        if (setup.ignorePipe)
            std::signal(SIGPIPE, SIG_IGN);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(setup.in >= 0 ? setup.in : null, 0);
        ::dup2(setup.out >= 0 ? setup.out
                              : ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
               1);
        ::dup2(setup.err >= 0 ? setup.err
                              : ::open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
               2);
        for (int fd = 3; fd < 256; ++fd)
            ::close(fd);
        for (const auto& [name, value] : setup.env)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(SWEEPER_CLI_PROGRAM)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    pid_t Pid() const { return pid_; }
    Result Wait() {
        Result r;
        int status = 0;
        ::waitpid(pid_, &status, 0);
        r.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + r.signal;
        r.out = Slurp(out_);
        r.err = Slurp(errFile_);
        return r;
    }

private:
    TempDir dir_;
    std::filesystem::path out_, errFile_;
    pid_t pid_;
};

inline Result Sweeper(const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env = {}) {
    return Child(args, {env}).Wait();
}

inline std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> objects;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        objects.push_back(nlohmann::json::parse(line));
    return objects;
}

// A pseudo-terminal: the child's end for its streams and as its controlling terminal, the
// other end read as a screen and typed into.
class Terminal {
public:
    explicit Terminal(unsigned short columns = 80) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = columns;
        ::openpty(&master_, &slave_, nullptr, nullptr, &size);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;
    ~Terminal() {
        CloseChildsEnd();
        ::close(master_);
    }
    // The setup of a child on this terminal: every stream and the controlling terminal.
    ChildSetup Setup(std::map<std::string, std::string> env = {}) const {
        ChildSetup s;
        s.env = std::move(env);
        s.in = s.out = s.err = s.terminal = slave_;
        return s;
    }
    // Once the child runs: it has its own copy, and the screen ends when the child does.
    void CloseChildsEnd() {
        if (slave_ >= 0)
            ::close(slave_);
        slave_ = -1;
    }
    // Reads the screen until it shows `what` (10 s at most); "" reads until the child is gone.
    bool ReadUntil(const std::string& what) {
        for (int i = 0; i < 100 && (what.empty() || screen_.find(what) == std::string::npos); ++i) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            screen_.append(buffer, static_cast<std::size_t>(n));
        }
        return !what.empty() && screen_.find(what) != std::string::npos;
    }
    void Type(const std::string& keys) {
        [[maybe_unused]] const ssize_t n = ::write(master_, keys.data(), keys.size());
    }
    const std::string& Screen() const { return screen_; }

private:
    int master_ = -1, slave_ = -1;
    std::string screen_;
};

// Waits (10 s at most) until the child blocks writing to a full pipe whose reader reads
// nothing: a place in the walk the test knows, since the walk writes each shortcut as it
// finds it.
inline bool WaitForFullPipe(const Child& child) {
    const std::string wchan = "/proc/" + std::to_string(child.Pid()) + "/wchan";
    const auto blocked = [&] {
        const std::string where = Slurp(wchan);
        return where == "pipe_write" || where == "anon_pipe_write" || where == "pipe_wait";
    };
    for (int i = 0; i < 1000 && !blocked(); ++i)
        ::usleep(10000);
    return blocked();
}
