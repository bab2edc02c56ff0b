#include "base/errors.h"
#include "base/system_error.h"
#include "platform/program_files.h"

#include <windows.h>

#include <memory>

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

} // namespace

std::string GetExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2); // cut short: try again with more room
    }
}

std::string ReadSharedFile(const std::string& path) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        throw EFOpenError(CannotOpenFileMessage(path, SystemErrorText(GetLastError())));
    }
    std::string content;
    char chunk[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            throw EReadError(CannotReadFileMessage(path, SystemErrorText(GetLastError())));
        if (got == 0)
            return content;
        content.append(chunk, got);
    }
}
