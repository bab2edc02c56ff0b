// The program entry: one copy per executable name, the title from the settings file, the
// icon, COM, the main window and its message loop.
#include "app/instance.h"
#include "app/settings.h"
#include "app/settings_errors.h"
#include "app/settings_platform.h"
#include "app/startup.h"
#include "ui/main_form.h"

#include <windows.h>
#include <objbase.h>

#include <string>

namespace {

std::string ErrorClassOf(const std::exception& e) {
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->ClassName();
    return "Exception";
}

// The unhandled-error report: a task-modal box, then exit code 1.
int ReportStartupError(const std::exception& e, const std::string& exePath) {
    const auto offset = reinterpret_cast<std::uintptr_t>(&ReportStartupError) -
                        reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr));
    const std::string text = UnhandledErrorReport(
        ErrorClassOf(e), std::string(ExtractFileName(exePath)), offset, e.what());
    ::MessageBoxA(nullptr, text.c_str(), kUnhandledErrorCaption,
                  MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
}

HICON LoadApplicationIcon(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        char* text = nullptr;
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
        std::string system = TrimSystemText(text ? text : "");
        if (text)
            ::LocalFree(text);
        throw EFOpenError(CannotOpenFileMessage(path, system));
    }
    ::CloseHandle(file);
    auto icon = static_cast<HICON>(::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0,
                                                LR_LOADFROMFILE | LR_DEFAULTSIZE));
    if (!icon)
        throw Exception("Icon image is not valid");
    return icon;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string exePath = GetExecutablePath();
    if (!AcquireInstanceLock(InstanceMutexName(exePath))) {
        ::MessageBoxA(nullptr, kAlreadyRunningText, DefaultTitle(exePath).c_str(),
                      MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    const std::string folder = GetProgramFolder();
    std::string title;
    HICON icon = nullptr;
    try {
        title = ReadSettingsFile().ReadString(kSettingsSection, "Name", "");
        icon = LoadApplicationIcon(folder + "icon.ico");
    } catch (const std::exception& e) {
        return ReportStartupError(e, exePath);
    }
    // The application's own top-level window text holds at most 255 characters.
    if (title.size() > 255)
        title.resize(255);

    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    int code = 0;
    try {
        TMainFormSetup setup;
        setup.title = title;
        setup.programFolder = folder;
        setup.icon = icon;
        TMainForm form(setup);
        form.Show();
        code = RunMessageLoop(form);
    } catch (const std::exception& e) {
        code = ReportStartupError(e, exePath);
    }
    if (com)
        ::CoUninitialize();
    ::DestroyIcon(icon);
    return code;
}
