// A watchdog thread that answers every dialog box the process opens with Cancel, so a shell
// dialog cannot block a run; a test that must not see one checks that none came, or reads
// the texts of those it answered.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
    // The texts of the static controls of each dialog answered, joined by '|'.
    std::vector<std::string> Texts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }

private:
    static BOOL CALLBACK Text(HWND child, LPARAM out) {
        char text[512] = {};
        char cls[16] = {};
        ::GetClassNameA(child, cls, sizeof cls);
        if (std::string(cls) == "Static" && ::GetWindowTextA(child, text, sizeof text) > 0)
            *reinterpret_cast<std::string*>(out) += std::string(text) + "|";
        return TRUE;
    }
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        char cls[16] = {};
        ::GetClassNameA(window, cls, sizeof cls);
        if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
            std::string(cls) == "#32770") {
            auto* dog = reinterpret_cast<DialogWatchdog*>(self);
            std::string text;
            ::EnumChildWindows(window, Text, reinterpret_cast<LPARAM>(&text));
            {
                std::lock_guard<std::mutex> lock(dog->mutex_);
                dog->texts_.push_back(text);
            }
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            ++dog->closed_;
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
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};
