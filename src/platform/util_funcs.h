// Shell services as free functions: folder picker, recycle bin, Properties sheet, opening a
// link under a busy cursor, the file-system redirection switches, and the path string rules
// (which live in base/path_rules.h and are re-exported here).
//
// The Win32 implementations are in util_funcs_win32.cpp; a host build gets stand-ins from
// util_funcs_posix.cpp (no folder dialog, no recycle bin, nothing to open). The busy
// counting is shared by both (util_funcs.cpp).
#pragma once

#include "base/path_rules.h"
#include "platform/shell_services.h"

#include <cstdint>
#include <string>
#include <vector>

// Browse flags (SHBrowseForFolder's values): the program's picker passes both.
constexpr std::uint32_t kBifReturnOnlyFsDirs = 0x1;
constexpr std::uint32_t kBifNewDialogStyle = 0x40;

// A modal folder dialog owned by `owner`, opening with `path` selected, below `root` (the
// desktop when empty or unparsable). True when a folder was chosen: `path` is then its
// file-system path. On false (cancelled, or the shell allocator is unavailable and no dialog
// was shown) `path` is unchanged.
bool BrowseForFolder(WindowHandle owner, std::string& path, const std::string& title,
                     std::uint32_t flags, const std::string& root);

// The folder dialog's callback: on initialisation selects the path given as `data` (a
// NUL-terminated byte string); on a selection change shows the selected item's path as the
// status text and disables OK when the item has no file-system path. Always returns 0.
int BrowseCallback(WindowHandle dialog, unsigned message, std::intptr_t param, std::intptr_t data);

// Moves the files to the recycle bin in one shell operation, without a progress window; the
// shell asks to confirm the move only when `confirm` is true. It never destroys a file for
// good without asking: where a file cannot be recycled (a volume without a recycle bin, a
// failing trash) the shell warns first, and a file the user keeps stays. Which files went is
// not reported: the file system tells. False when the user cancelled the operation (Cancel,
// Escape or closing the warning), which leaves the files not yet handled where they are; a
// file kept with No is no cancel. The shell may stop at a file it cannot move (one held open
// elsewhere) or one the user kept, leaving the rest where they are too.
bool MoveToRecycleBin(WindowHandle owner, const std::vector<std::string>& paths, bool confirm);

// Opens the shell's Properties sheet of the file, ignoring failure.
void ShowFileProperties(const std::string& path);

// Opens a link or document with the shell verb "Open" inside a busy section; failure (an
// empty link, no handler) is ignored, and the cursor is always restored.
void OpenLink(const std::string& link);

// The application's screen cursor. While it is not crDefault it overrides the cursor of
// every window of the application: a window procedure handling WM_SETCURSOR should then set
// the hourglass and report the message handled.
constexpr int crDefault = 0;
constexpr int crHourGlass = -11;

// Where the screen cursor goes. The platform's own unless a test installed another.
class IScreenCursor {
public:
    virtual ~IScreenCursor() = default;
    virtual void SetCursor(int cursor) = 0;
};
// Installs `cursor` (not owned; nullptr restores the platform's).
void SetScreenCursorSink(IScreenCursor* cursor);
// The cursor value set last (crDefault at start).
int ScreenCursor();

// Busy sections nest: every BeginBusy counts up and sets the hourglass; EndBusy counts down
// (never below 0) and restores crDefault when the count reaches 0.
void BeginBusy();
void EndBusy();
std::int32_t BusyCount();

// Switches file-system redirection of a 32-bit process on 64-bit Windows off for the
// calling thread, keeping the system's token in RedirectionOldValue(); RevertFsRedirection
// hands the token back. One token for the process, so they work as one pair. Both return
// true, also where the system has no such switch; false only when the call failed
// abnormally.
bool DisableFsRedirection();
bool RevertFsRedirection();
void* RedirectionOldValue();

// The busy counter behind BeginBusy/EndBusy, separate so it can be used with any cursor.
class TBusyCounter {
public:
    explicit TBusyCounter(IScreenCursor* cursor = nullptr) : cursor_(cursor) {}
    void SetCursorSink(IScreenCursor* cursor) { cursor_ = cursor; }
    void Begin();
    void End();
    std::int32_t Count() const { return count_; }
    int Cursor() const { return value_; }

private:
    void Set(int value);

    IScreenCursor* cursor_;
    std::int32_t count_ = 0;
    int value_ = crDefault;
};
