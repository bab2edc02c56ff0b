// The program entry: one copy per executable name, the title from the settings file, the
// icon, COM, the main window and its message loop.
#include "base/com_ref.h"
#include "base/errors.h"
#include "base/handles.h"
#include "base/system_error.h"
#include "platform/instance.h"
#include "platform/program_files.h"
#include "platform/startup.h"
#include "settings/settings.h"
#include "windows/main_form.h"

#include <windows.h>

#include <string>

namespace {

HICON LoadApplicationIcon(const std::string& path) {
    RequireReadableFile(path);
    auto icon = static_cast<HICON>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
    if (!icon)
        throw Exception("Icon image is not valid");
    return icon;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string exePath = GetExecutablePath();
    if (!AcquireInstanceLock(InstanceMutexName(exePath))) {
        // "already run in memory" is the program's own wording.
        ::MessageBoxA(nullptr, kAlreadyRunningText, DefaultTitle(exePath).c_str(),
                      MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    TMainFormSetup setup;
    setup.programFolder = GetProgramFolder();
    TIcon icon;
    try {
        setup.title = ReadSettingsFile().ReadString(kSettingsSection, "Name", "");
        icon.reset(LoadApplicationIcon(setup.programFolder + "icon.ico"));
    } catch (...) {
        return ReportStartupError(std::current_exception());
    }
    // The application's own top-level window text holds at most 255 characters.
    if (setup.title.size() > 255)
        setup.title.resize(255);
    setup.icon = icon.get();

    // The window's thread in a single-threaded apartment until the window is gone.
    const TComApartment com;
    return RunMainWindow(setup);
}
