#include "base/system_error.h"

#include "base/handles.h"

#include <windows.h>

std::string SystemErrorText(unsigned long code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length)
                                        : "System error code " + std::to_string(code) + ".";
    if (buffer)
        ::LocalFree(buffer);
    return TrimSystemText(std::move(text));
}

std::string LastSystemErrorText() { return SystemErrorText(::GetLastError()); }

void RaiseLastOSError(const std::string& what) {
    const DWORD code = ::GetLastError();
    throw EOSError(what + ". " + SystemErrorText(code));
}

void RequireReadableFile(const std::string& path) {
    const TKernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    if (!file)
        throw EFOpenError(CannotOpenFileMessage(path, LastSystemErrorText()));
}
