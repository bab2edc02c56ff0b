// The shell services over the Windows shell.
#include "platform/util_funcs.h"

#include "base/com_ref.h"
#include "base/text.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

namespace {

// Memory the shell's task allocator handed out, freed through it on every way out.
class ShellMemory {
public:
    ShellMemory(IMalloc& allocator, void* block) : allocator_(allocator), block_(block) {}
    ShellMemory(const ShellMemory&) = delete;
    ShellMemory& operator=(const ShellMemory&) = delete;
    ~ShellMemory() {
        if (block_)
            allocator_.Free(block_);
    }
    void* get() const { return block_; }

private:
    IMalloc& allocator_;
    void* block_;
};

// Called by the picker from inside the system's frames: nothing may unwind through them.
int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM param, LPARAM data) noexcept {
    try {
        return BrowseCallback(dialog, message, static_cast<std::intptr_t>(param),
                              static_cast<std::intptr_t>(data));
    } catch (...) {
        return 0;
    }
}

// The path of an identifier list in a buffer of `size` bytes; empty when it has none.
std::string PathOfIdList(LPCITEMIDLIST list, char* buffer) {
    buffer[0] = '\0';
    if (list == nullptr || !::SHGetPathFromIDListA(list, buffer))
        buffer[0] = '\0';
    buffer[MAX_PATH - 1] = '\0';
    return std::string(buffer);
}

// The whole path of an identifier list as UTF-8, of any length and in any script (the ANSI
// call gives at most MAX_PATH - 1 characters, with '?' for letters outside the code page
// where the system's code page is not UTF-8); empty when it has none.
std::string WholePathOfIdList(LPCITEMIDLIST list) {
    std::wstring path(32768, L'\0');
    if (list == nullptr || !::SHGetPathFromIDListEx(
                               list, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
        return {};
    path.resize(std::char_traits<wchar_t>::length(path.c_str()));
    return NarrowUtf8(path);
}

class SystemScreenCursor final : public IScreenCursor {
public:
    void SetCursor(int cursor) override {
        if (cursor != crDefault) {
            ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            return;
        }
        // Let the window under the mouse choose its own cursor again.
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        POINT at;
        if (!::GetCursorPos(&at))
            return;
        HWND under = ::WindowFromPoint(at);
        if (under && ::GetWindowThreadProcessId(under, nullptr) == ::GetCurrentThreadId()) {
            const LRESULT hit = ::SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
            ::SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                           MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
        }
    }
};

SystemScreenCursor& SystemCursor() {
    static SystemScreenCursor cursor;
    return cursor;
}

TBusyCounter& ProcessBusy() {
    static TBusyCounter busy(&SystemCursor());
    return busy;
}

// The token Wow64DisableWow64FsRedirection stores, handed back by the revert.
PVOID g_redirectionOldValue = nullptr;

using Wow64DisableFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFn = BOOL(WINAPI*)(PVOID);

FARPROC Kernel32Function(const char* name) {
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    return kernel ? ::GetProcAddress(kernel, name) : nullptr;
}

// Ends a busy section also when the call inside it fails.
class BusySection {
public:
    BusySection() { BeginBusy(); }
    BusySection(const BusySection&) = delete;
    BusySection& operator=(const BusySection&) = delete;
    ~BusySection() { EndBusy(); }
};

} // namespace

bool BrowseForFolder(WindowHandle owner, std::string& path, const std::string& title,
                     std::uint32_t flags, const std::string& root) {
    bool result = false;
    BROWSEINFOA info;
    std::memset(&info, 0, sizeof info);

    ComRef<IMalloc> allocator;
    if (::SHGetMalloc(allocator.out()) != S_OK || !allocator.get())
        return false;

    ShellMemory displayName(*allocator.get(), allocator->Alloc(MAX_PATH));
    if (!displayName.get())
        return false;
    char* buffer = static_cast<char*>(displayName.get());
    buffer[0] = '\0';

    HWND window = owner;
    ComRef<IShellFolder> desktop;
    LPITEMIDLIST rootList = nullptr;
    if (!root.empty() && ::SHGetDesktopFolder(desktop.out()) == S_OK && desktop.get()) {
        std::wstring wideRoot = WidenAnsi(root);
        ULONG eaten = 0;
        if (wideRoot.empty() || FAILED(desktop->ParseDisplayName(window, nullptr, wideRoot.data(),
                                                                 &eaten, &rootList, nullptr)))
            rootList = nullptr;
    }
    ShellMemory rootMemory(*allocator.get(), rootList);

    // The callback reads the start folder while the dialog runs; keep our own copy.
    const std::string start = path;
    info.hwndOwner = window;
    info.pidlRoot = rootList;
    info.pszDisplayName = buffer;
    info.lpszTitle = title.c_str();
    info.ulFlags = flags;
    info.lpfn = BrowseCallbackProc;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());

    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    result = chosen != nullptr;
    if (result) {
        ShellMemory chosenMemory(*allocator.get(), chosen);
        path = WholePathOfIdList(chosen);
    }
    return result;
}

int BrowseCallback(WindowHandle dialog, unsigned message, std::intptr_t param, std::intptr_t data) {
    HWND window = dialog;
    switch (message) {
    case BFFM_INITIALIZED:
        ::SendMessageA(window, BFFM_SETSELECTIONA, 1, static_cast<LPARAM>(data));
        break;
    case BFFM_SELCHANGED: {
        char selected[MAX_PATH + 1] = {};
        PathOfIdList(reinterpret_cast<LPCITEMIDLIST>(param), selected);
        ::SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(selected));
        if (selected[0] == '\0')
            ::SendMessageA(window, BFFM_ENABLEOK, 0, 0);
        break;
    }
    default:
        break;
    }
    return 0;
}

namespace {

// The shell tells a file the user kept in its warning ("No") and an operation the user
// cancelled alike (fAnyOperationsAborted), and Wine's shell also stops at a kept file. The
// answer itself is watched while the shell works: the command a dialog box of this thread is
// sent or posted (a button, Escape) or its closing.
thread_local bool g_answeredCancel = false;

void NoteAnswer(HWND window, UINT message, WPARAM wp) {
    char name[16] = {};
    if (!window || !::GetClassNameA(window, name, sizeof name) || lstrcmpA(name, "#32770") != 0)
        return;
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wp) == IDCANCEL))
        g_answeredCancel = true;
}

LRESULT CALLBACK WatchSent(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp);
        NoteAnswer(sent->hwnd, sent->message, sent->wParam);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK WatchPosted(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        const auto* posted = reinterpret_cast<const MSG*>(lp);
        NoteAnswer(posted->hwnd, posted->message, posted->wParam);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

// The hooks of one shell call, removed when it returns.
class AnswerWatch {
public:
    AnswerWatch()
        : sent_(::SetWindowsHookExA(WH_CALLWNDPROC, WatchSent, nullptr, ::GetCurrentThreadId())),
          posted_(
              ::SetWindowsHookExA(WH_GETMESSAGE, WatchPosted, nullptr, ::GetCurrentThreadId())) {
        g_answeredCancel = false;
    }
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;
    ~AnswerWatch() {
        if (sent_)
            ::UnhookWindowsHookEx(sent_);
        if (posted_)
            ::UnhookWindowsHookEx(posted_);
    }
    bool Cancelled() const { return g_answeredCancel; }

private:
    HHOOK sent_, posted_;
};

// SHFileOperation's answers to a cancel (ERROR_CANCELLED, and the older DE_OPCANCELLED).
constexpr int kOperationCancelled = 0x75;

} // namespace

bool MoveToRecycleBin(WindowHandle owner, const std::vector<std::string>& paths, bool confirm) {
    // A list of names, each ended by a zero, the list by an empty name. A file that is not
    // there is left out: Wine's shell takes it for one it cannot recycle, and asks.
    std::wstring from;
    for (const std::string& path : paths) {
        const std::wstring wide = WidenUtf8(path); // the program's paths are UTF-8
        if (wide.empty() || ::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        from += wide;
        from.push_back(L'\0');
    }
    if (from.empty())
        return true;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op;
    std::memset(&op, 0, sizeof op);
    op.hwnd = owner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    // FOF_WANTNUKEWARNING overrides FOF_NOCONFIRMATION where the shell would delete a file
    // for good instead of recycling it: it asks first. A file the shell cannot move is the
    // caller's to report (once, after every call), not an error box of its own per file.
    op.fFlags = FOF_ALLOWUNDO | FOF_SILENT | FOF_WANTNUKEWARNING | FOF_NOERRORUI;
    if (!confirm)
        op.fFlags |= FOF_NOCONFIRMATION;
    const AnswerWatch watch;
    const int result = ::SHFileOperationW(&op);
    // A file kept in the shell's warning is no reason to stop; a cancel is.
    return !(result == ERROR_CANCELLED || result == kOperationCancelled || watch.Cancelled());
}

// The wide call, so a shortcut whose name lies outside the system's code page is the one
// whose sheet opens.
void ShowFileProperties(const std::string& path) {
    const std::wstring file = WidenUtf8(path);
    SHELLEXECUTEINFOW info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = L"Properties";
    info.lpFile = file.c_str();
    ::ShellExecuteExW(&info);
}

void OpenLink(const std::string& link) {
    BusySection busy;
    ::ShellExecuteA(nullptr, "Open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SetScreenCursorSink(IScreenCursor* cursor) {
    ProcessBusy().SetCursorSink(cursor ? cursor : &SystemCursor());
}
int ScreenCursor() { return ProcessBusy().Cursor(); }
void BeginBusy() { ProcessBusy().Begin(); }
void EndBusy() { ProcessBusy().End(); }
std::int32_t BusyCount() { return ProcessBusy().Count(); }

bool DisableFsRedirection() {
    try {
        FARPROC proc = Kernel32Function("Wow64DisableWow64FsRedirection");
        if (proc)
            reinterpret_cast<Wow64DisableFn>(reinterpret_cast<void (*)()>(proc))(
                &g_redirectionOldValue);
        return true;
    } catch (...) {
        return false;
    }
}

bool RevertFsRedirection() {
    try {
        FARPROC proc = Kernel32Function("Wow64RevertWow64FsRedirection");
        if (proc)
            reinterpret_cast<Wow64RevertFn>(reinterpret_cast<void (*)()>(proc))(
                g_redirectionOldValue);
        return true;
    } catch (...) {
        return false;
    }
}

void* RedirectionOldValue() { return g_redirectionOldValue; }
