#include "cli/output_platform.h"

#include "base/handles.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace output_platform {

namespace {

std::optional<TFileId> IdOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return TFileId(info.dwVolumeSerialNumber,
                   (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

} // namespace

int Open(const std::string& path, int& error) {
    const int fd = ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                           _S_IREAD | _S_IWRITE);
    error = fd < 0 ? errno : 0;
    return fd;
}

bool Write(int fd, const char* data, std::size_t size, int& error) {
    // WriteFile itself, whose error tells a pipe without a reader from other failures (the C
    // library's write gives EINVAL for it; Wine answers ERROR_PIPE_NOT_CONNECTED).
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    while (size != 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr)) {
            const DWORD last = ::GetLastError();
            error = last == ERROR_NO_DATA || last == ERROR_BROKEN_PIPE ||
                            last == ERROR_PIPE_NOT_CONNECTED
                        ? EPIPE
                    : last == ERROR_DISK_FULL || last == ERROR_HANDLE_DISK_FULL ? ENOSPC
                                                                                : EIO;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void Close(int fd) { ::_close(fd); }

std::string StandardOutputName() { return "standard output"; }

std::optional<TFileId> IdOf(int fd) {
    return IdOfHandle(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
}

std::optional<TFileId> IdOf(const std::string& programPath) {
    const TKernelHandle file(::CreateFileA(
        programPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? IdOfHandle(file.get()) : std::nullopt;
}

} // namespace output_platform
