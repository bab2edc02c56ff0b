#include "base/path_rules.h"

#include "base/text.h"

namespace {

std::size_t FileNameStart(std::string_view path) {
    const std::size_t sep = path.find_last_of("\\:");
    return sep == std::string_view::npos ? 0 : sep + 1;
}

} // namespace

std::string_view ExtractFileName(std::string_view path) { return path.substr(FileNameStart(path)); }

std::string_view ExtractFilePath(std::string_view path) {
    return path.substr(0, FileNameStart(path));
}

std::string_view ExtractFileExt(std::string_view path) {
    const std::string_view name = ExtractFileName(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string RemoveExtension(std::string_view text) {
    return std::string(text.substr(0, text.size() - ExtractFileExt(text).size()));
}

std::string AddTrailingBackslash(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != '\\')
        result.push_back('\\');
    return result;
}

bool IsShortcutExtension(std::string_view extension) { return AsciiLowerCase(extension) == ".lnk"; }
