// The release zip as a Windows user meets it, checked from inside Wine. release_test.sh
// unpacks the zip and runs this with SWEEPER_RELEASE_FOLDER (the unpacked folder) and
// SWEEPER_RELEASE_ZIP (the zip's file name) set: the executable's version resource must
// carry the project's version and the shipped settings' name and holder text, and the
// program must start from that folder, refuse a second copy and end cleanly. Every box the
// program shows is answered here.
#include "base/handles.h"
#include "base/text.h"
#include "settings/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Env(const wchar_t* name) {
    // Read in UTF-16 and converted to the ANSI code page here: Wine's GetEnvironmentVariableA
    // cuts a value under the UTF-8 code page to its length in characters.
    wchar_t wide[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(name, wide, MAX_PATH))
        return "";
    return NarrowAnsi(wide);
}

std::string Folder() { return Env(L"SWEEPER_RELEASE_FOLDER"); }
std::string Program() { return AddTrailingBackslash(Folder()) + "ShortcutSweeper.exe"; }

std::string Setting(const char* key) {
    return ReadSettingsFileAt(SettingsFileNameIn(Folder())).ReadString(kSettingsSection, key, "");
}

// The version resource of a file, read the way Explorer's Details page reads it.
class VersionInfo {
public:
    explicit VersionInfo(const std::string& file) {
        DWORD ignored = 0;
        data_.resize(::GetFileVersionInfoSizeA(file.c_str(), &ignored));
        if (!data_.empty() &&
            !::GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data()))
            data_.clear();
    }
    bool Found() const { return !data_.empty(); }

    const VS_FIXEDFILEINFO* Fixed() const {
        return static_cast<const VS_FIXEDFILEINFO*>(Query("\\"));
    }

    // A value of the string table that the first translation names.
    std::string Text(const std::string& key) const {
        const auto* lang = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation"));
        if (!lang)
            return "<no translation>";
        char block[64];
        std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", lang[0], lang[1]);
        const auto* text = static_cast<const char*>(Query(block + key));
        return text ? text : "<no " + key + ">";
    }

private:
    const void* Query(const std::string& path) const {
        void* value = nullptr;
        UINT size = 0;
        if (!Found() || !::VerQueryValueA(data_.data(), path.c_str(), &value, &size) || !size)
            return nullptr;
        return value;
    }
    std::vector<char> data_;
};

// The project's version "a.b.c" as the four numbers of a version resource.
std::vector<WORD> VersionNumbers(const std::string& version) {
    std::vector<WORD> numbers;
    std::istringstream in(version);
    for (std::string part; std::getline(in, part, '.');)
        numbers.push_back(static_cast<WORD>(std::stoi(part)));
    numbers.resize(4, 0);
    return numbers;
}

TEST(Release, VersionResourceCarriesTheProjectVersionAndTheShippedSettings) {
    EXPECT_EQ(Env(L"SWEEPER_RELEASE_ZIP"), "ShortcutSweeper-" SWEEPER_VERSION "-win64.zip");

    const VersionInfo info(Program());
    ASSERT_TRUE(info.Found()) << Program();
    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const std::vector<WORD> v = VersionNumbers(SWEEPER_VERSION);
    const DWORD ms = MAKELONG(v[1], v[0]), ls = MAKELONG(v[3], v[2]);
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(info.Text("FileVersion"), SWEEPER_VERSION);
    EXPECT_EQ(info.Text("ProductVersion"), SWEEPER_VERSION);
    EXPECT_EQ(info.Text("ProductName"), Setting("Name"));
    EXPECT_EQ(info.Text("LegalCopyright"), Setting("Copyright"));
    EXPECT_EQ(info.Text("OriginalFilename"), "ShortcutSweeper.exe");
    EXPECT_EQ(info.Text("FileDescription").rfind(Setting("Name"), 0), 0u);
}

class Process {
public:
    explicit Process(const std::string& exe) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string line = "\"" + exe + "\"";
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &si, &pi))
            << exe;
        process_.reset(pi.hProcess);
        thread_.reset(pi.hThread);
        id_ = pi.dwProcessId;
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.get(), 99);
    }

    // Its visible top-level window of class `cls`, waited for while the process runs.
    HWND Window(const char* cls, DWORD ms = 30000) const {
        const DWORD start = ::GetTickCount();
        do {
            for (HWND w = ::FindWindowExA(nullptr, nullptr, cls, nullptr); w;
                 w = ::FindWindowExA(nullptr, w, cls, nullptr)) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(w, &pid);
                if (pid == id_ && ::IsWindowVisible(w))
                    return w;
            }
        } while (process_ && ::WaitForSingleObject(process_.get(), 100) == WAIT_TIMEOUT &&
                 ::GetTickCount() - start < ms);
        return nullptr;
    }

    // The exit code once the process has ended (259, STILL_ACTIVE, when it has not).
    DWORD Exit(DWORD ms = 30000) const {
        DWORD code = STILL_ACTIVE;
        if (process_) {
            ::WaitForSingleObject(process_.get(), ms);
            ::GetExitCodeProcess(process_.get(), &code);
        }
        return code;
    }

private:
    TKernelHandle process_, thread_;
    DWORD id_ = 0;
};

std::string TextOf(HWND hwnd) {
    char text[1024] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

bool ShowsText(HWND box, const std::string& text) {
    for (HWND c = ::FindWindowExA(box, nullptr, "Static", nullptr); c;
         c = ::FindWindowExA(box, c, "Static", nullptr))
        if (TextOf(c) == text)
            return true;
    return false;
}

TEST(Release, StartsFromTheUnpackedFolderRefusesASecondCopyAndEndsCleanly) {
    // What this test is about: a folder name that a narrow-character program could lose.
    const std::string folder = Folder();
    ASSERT_NE(folder.find(' '), std::string::npos) << folder;
    ASSERT_TRUE(std::any_of(folder.begin(), folder.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80;
    })) << folder;

    Process first(Program());
    HWND main = first.Window("TMainForm");
    ASSERT_TRUE(main) << "no main window; a box: \"" << TextOf(first.Window("#32770", 0))
                      << "\"; exit code " << first.Exit(0);
    EXPECT_EQ(TextOf(main), Setting("Name"));

    Process second(Program());
    HWND box = second.Window("#32770");
    ASSERT_TRUE(box) << "the second copy showed no box; exit code " << second.Exit(0);
    EXPECT_TRUE(ShowsText(box, "This program already run in memory."));
    EXPECT_FALSE(second.Window("TMainForm", 0));
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.Exit(), 0u);

    EXPECT_TRUE(::IsWindow(main));
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Exit(), 0u);
}

} // namespace
