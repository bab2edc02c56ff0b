#include "platform/search_fs.h"

#include "base/handles.h"
#include "base/text.h"

#include <windows.h>

#include <cstring>

namespace {

std::uint64_t Time(const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

class Win32SearchFileSystem final : public ISearchFileSystem {
public:
    // One listing call gives the sizes and times too.
    bool List(const std::string& folder, std::vector<TSearchEntry>& entries) override {
        std::string pattern = folder;
        if (pattern.empty() || pattern.back() != '\\')
            pattern += '\\';
        WIN32_FIND_DATAW data;
        HANDLE h = ::FindFirstFileExW(LongPathForm(pattern + "*").c_str(), FindExInfoBasic, &data,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        do {
            if (std::wcscmp(data.cFileName, L".") == 0 || std::wcscmp(data.cFileName, L"..") == 0)
                continue;
            TSearchEntry e;
            e.name = NarrowUtf8(data.cFileName);
            e.attributes = data.dwFileAttributes;
            e.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            // A link to a folder is not entered: it leads to a place searched on its own.
            if (e.folder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                e.folder = false;
            e.detailed = true;
            e.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            e.created = Time(data.ftCreationTime);
            e.written = Time(data.ftLastWriteTime);
            entries.push_back(std::move(e));
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
        return true;
    }

    bool Details(const std::string& path, TSearchEntry& entry) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!::GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data))
            return false;
        entry.attributes = data.dwFileAttributes;
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.created = Time(data.ftCreationTime);
        entry.written = Time(data.ftLastWriteTime);
        return true;
    }

    // Fixed and removable volumes with media; network drives, optical drives (which can
    // spin up for seconds) and empty drives are left out.
    std::vector<TSearchVolume> Volumes() override {
        std::vector<TSearchVolume> volumes;
        const DWORD mask = ::GetLogicalDrives();
        const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
        for (int i = 0; i < 26; ++i) {
            if ((mask & (1u << i)) == 0)
                continue;
            const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
            const UINT type = ::GetDriveTypeW(root);
            if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE)
                continue;
            wchar_t label[MAX_PATH + 1] = {};
            DWORD serial = 0;
            if (!::GetVolumeInformationW(root, label, MAX_PATH + 1, &serial, nullptr, nullptr,
                                         nullptr, 0))
                continue;
            volumes.push_back({static_cast<char>('A' + i), serial, NarrowUtf8(label), type, true});
        }
        ::SetErrorMode(oldMode);
        return volumes;
    }

    // OpenFileById on each fixed volume (the object ID is unique on its volume; the volume's
    // own object ID is not asked, which needs administrator rights).
    bool FindByObjectId(const std::array<unsigned char, 16>& volumeId,
                        const std::array<unsigned char, 16>& objectId, std::string& path) override {
        (void)volumeId;
        FILE_ID_DESCRIPTOR id = {};
        id.dwSize = sizeof id;
        id.Type = ObjectIdType;
        std::memcpy(&id.ObjectId, objectId.data(), sizeof id.ObjectId);
        for (const TSearchVolume& v : Volumes()) {
            if (v.driveType != DRIVE_FIXED)
                continue;
            const wchar_t root[] = {static_cast<wchar_t>(v.letter), L':', L'\\', 0};
            const TKernelHandle volume(
                ::CreateFileW(root, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            if (!volume)
                continue;
            const TKernelHandle file(::OpenFileById(
                volume.get(), &id, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                nullptr, FILE_FLAG_BACKUP_SEMANTICS));
            if (!file)
                continue;
            wchar_t name[32768];
            const DWORD length = ::GetFinalPathNameByHandleW(
                file.get(), name, 32768, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (length == 0 || length >= 32768)
                continue;
            std::wstring wide(name, length);
            if (wide.rfind(L"\\\\?\\", 0) == 0 && wide.size() > 6 && wide[5] == L':')
                wide.erase(0, 4);
            path = NarrowUtf8(wide);
            return true;
        }
        return false;
    }
};

} // namespace

std::unique_ptr<ISearchFileSystem> CreateSystemSearchFileSystem() {
    return std::make_unique<Win32SearchFileSystem>();
}
