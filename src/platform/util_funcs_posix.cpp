// Host stand-ins: a build without the Windows shell has no folder dialog, recycle bin,
// Properties sheet or link handler, and no file-system redirection. The busy section and the
// screen cursor value work as on Windows; there is no cursor to show.
#include "platform/util_funcs.h"

namespace {

TBusyCounter& ProcessBusy() {
    static TBusyCounter busy;
    return busy;
}

} // namespace

bool BrowseForFolder(WindowHandle, std::string&, const std::string&, std::uint32_t,
                     const std::string&) {
    return false;
}

int BrowseCallback(WindowHandle, unsigned, std::intptr_t, std::intptr_t) { return 0; }

bool MoveToRecycleBin(WindowHandle, const std::vector<std::string>&, bool) { return true; }

void ShowFileProperties(const std::string&) {}

void OpenLink(const std::string&) {
    BeginBusy();
    EndBusy();
}

void SetScreenCursorSink(IScreenCursor* cursor) { ProcessBusy().SetCursorSink(cursor); }
int ScreenCursor() { return ProcessBusy().Cursor(); }
void BeginBusy() { ProcessBusy().Begin(); }
void EndBusy() { ProcessBusy().End(); }
std::int32_t BusyCount() { return ProcessBusy().Count(); }

bool DisableFsRedirection() { return true; }
bool RevertFsRedirection() { return true; }
void* RedirectionOldValue() { return nullptr; }
