#include "base/errors.h"
#include "base/handles.h"
#include "base/path_rules.h"
#include "base/system_error.h"
#include "platform/program_files.h"

#include <windows.h>

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
    const TKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EFOpenError(CannotOpenFileMessage(path, SystemErrorText(GetLastError())));
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
