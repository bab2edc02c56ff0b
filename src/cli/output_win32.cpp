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
    while (size != 0) {
        const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
        const int n = ::_write(fd, data, chunk);
        if (n < 0) {
            error = errno;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
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
