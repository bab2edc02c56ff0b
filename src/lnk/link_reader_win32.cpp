// The shell link object as the reader of shortcut targets; the file, environment and code
// page access of the program's own reader; and which of the two the platform uses.
#include "lnk/link_reader.h"

#include "base/com_ref.h"
#include "base/handles.h"
#include "base/text.h"
#include "lnk/lnk_format.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

namespace {

// The longest path the system opens, with its terminating zero.
constexpr DWORD kLongPathUnits = 32768;

// The path of the link's ID list at any length; empty when it has none.
std::wstring LongPathOfIdList(IShellLinkW& link) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (link.GetIDList(&list) != S_OK || !list)
        return {};
    std::wstring path(kLongPathUnits, L'\0');
    const BOOL ok = ::SHGetPathFromIDListEx(list, path.data(), kLongPathUnits, GPFIDL_DEFAULT);
    ::CoTaskMemFree(list);
    path.resize(ok ? std::char_traits<wchar_t>::length(path.c_str()) : 0);
    return path;
}

// What GetPath reports, whole. GetPath reports at most MAX_PATH - 1 characters; a report
// that fills them is taken only when the ID list's own path (which has no such limit)
// continues it, and a target that cannot be had whole gives "" (unjudged) rather than a part
// of it, which names another file.
class ShellLinkReader final : public ILinkReader {
public:
    std::string ReadTarget(const std::string& shortcutPath) override {
        // Declared in this order so the IPersistFile view is released first.
        ComRef<IShellLinkW> link;
        if (FAILED(ComCreate(CLSID_ShellLink, IID_PPV_ARGS(link.out()))) || !link)
            return {};
        ComRef<IPersistFile> file;
        if (FAILED(link.Query(IID_PPV_ARGS(file.out()))) || !file)
            return {};

        wchar_t widePath[MAX_PATH];
        if (!WidenAnsiPath(shortcutPath, widePath))
            return {};
        file->Load(widePath, STGM_READ);

        wchar_t reported[MAX_PATH] = {};
        // No find-data record: Wine's GetPath copies the name of a target longer than
        // MAX_PATH into it past its end.
        link->GetPath(reported, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
        reported[MAX_PATH - 1] = L'\0';
        std::wstring target(reported);
        if (target.size() == MAX_PATH - 1) { // may be cut: only the ID list's own path tells
            const std::wstring whole = LongPathOfIdList(*link.get());
            if (!whole.starts_with(target))
                return {};
            target = whole;
        }
        return NarrowAnsi(target); // the process code page, UTF-8 under the manifest
    }

    lnk::TargetReading Read(const std::string& shortcutPath) override;

private:
    std::vector<unsigned char> buffer_;
};

// The program's own reader gives UTF-8, the process code page the manifest sets, which Wine
// (where this reader runs) honours.
class Win32ShortcutFiles final : public IShortcutFiles {
public:
    bool ReadPrefix(const std::string& path, std::vector<unsigned char>& bytes) override {
        bytes.clear();
        const std::wstring widePath = LongPathForm(path); // at any depth
        if (widePath.empty())
            return false;
        // Shared for reading and writing as the shell's own file stream is, so a shortcut
        // another program holds open for writing is still read.
        const TKernelHandle file(::CreateFileW(widePath.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size{};
        if (!file || !::GetFileSizeEx(file.get(), &size))
            return false;
        std::size_t want = lnk::kMaxShortcutBytes;
        if (size.QuadPart < static_cast<LONGLONG>(want))
            want = static_cast<std::size_t>(size.QuadPart);
        bytes.resize(want);
        std::size_t got = 0;
        while (got < want) { // the file may also shrink meanwhile
            DWORD n = 0;
            if (!::ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(want - got), &n,
                            nullptr) ||
                n == 0)
                break;
            got += n;
        }
        bytes.resize(got);
        return true;
    }

    bool LookupEnvironment(std::string_view name, std::string_view, std::string& value) override {
        const std::wstring wideName = WidenUtf8(name);
        if (wideName.empty())
            return false;
        std::wstring buffer(MAX_PATH, L'\0');
        DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), buffer.data(),
                                            static_cast<DWORD>(buffer.size()));
        if (n >= buffer.size()) { // too small: n is the size it needs
            buffer.resize(n);
            n = ::GetEnvironmentVariableW(wideName.c_str(), buffer.data(),
                                          static_cast<DWORD>(buffer.size()));
        }
        if (n == 0 || n >= buffer.size())
            return false;
        value = NarrowUtf8(std::wstring_view(buffer.data(), n));
        return true;
    }

    // The shell's own answer; a shell folder class that is no known folder (the user's files
    // as a root item, say) has its usual place.
    bool KnownFolderPlace(const lnk::KnownFolder& folder, std::string_view linkPath,
                          std::string& place) override {
        GUID id{};
        PWSTR path = nullptr;
        if (SUCCEEDED(::CLSIDFromString(WidenUtf8(folder.id).c_str(), &id)) &&
            SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) {
            place = NarrowUtf8(path);
            ::CoTaskMemFree(path);
            return !place.empty();
        }
        ::CoTaskMemFree(path);
        return IShortcutFiles::KnownFolderPlace(folder, linkPath, place);
    }

    // The code page of the system's locale, which the ANSI strings of shortcut files are
    // written in.
    bool DecodeAnsi(std::string_view bytes, std::string& utf8) override {
        return SystemAnsiToUtf8(bytes, utf8);
    }
};

// The shell's path, with what the file itself says of it: where it came from, why there is
// none, and for a link whose only stored place is a share, that share, whatever letter its ID
// list spells (a mapped drive where the link was made, perhaps a local disk here).
lnk::TargetReading ShellLinkReader::Read(const std::string& shortcutPath) {
    Win32ShortcutFiles files;
    lnk::TargetReading own = ReadShortcutFile(files, shortcutPath, buffer_);
    if (own.source == lnk::TargetSource::NetworkShare)
        return own;
    lnk::TargetReading reading;
    reading.path = ReadTarget(shortcutPath);
    if (!reading.path.empty()) {
        reading.source = own.source;
        reading.gap = lnk::TargetGap::None;
    } else {
        reading.gap = own.gap == lnk::TargetGap::None ? lnk::TargetGap::NoTarget : own.gap;
        reading.detail = own.detail;
    }
    return reading;
}

class Win32Platform final : public ILinkReaderPlatform {
public:
    bool RunsUnderWine() override { return ::RunsUnderWine(); }
    std::unique_ptr<ILinkReader> CreateShellLinkReader() override {
        return ::CreateShellLinkReader();
    }
    std::unique_ptr<IShortcutFiles> CreateShortcutFiles() override {
        return std::make_unique<Win32ShortcutFiles>();
    }
};

} // namespace

std::unique_ptr<ILinkReader> CreateShellLinkReader() { return std::make_unique<ShellLinkReader>(); }

std::unique_ptr<IShortcutFiles> CreateSystemShortcutFiles() {
    return std::make_unique<Win32ShortcutFiles>();
}

std::unique_ptr<ILinkReader> CreateSystemLinkReader() {
    Win32Platform platform;
    return SelectLinkReader(platform);
}
