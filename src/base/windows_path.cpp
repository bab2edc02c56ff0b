#include "base/windows_path.h"

#include "base/text.h"

namespace winpath {
namespace {

constexpr bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "\\?\" or "\\.\": the device forms that turn off Windows' own path parsing.
bool HasDevicePrefix(std::string_view path) {
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           (path[2] == '?' || path[2] == '.') && IsSeparator(path[3]);
}

// "X:" at the start of `path`.
bool StartsWithDrive(std::string_view path) {
    return path.size() >= 2 && IsLetter(path[0]) && path[1] == ':';
}

// The length of "server\share" with its following separator, starting at `at`; 0 when the
// server or the share is missing.
std::size_t ShareRootLength(std::string_view path, std::size_t at) {
    std::size_t i = at;
    for (int part = 0; part < 2; ++part) { // server, then share
        const std::size_t start = i;
        while (i < path.size() && !IsSeparator(path[i]))
            ++i;
        if (i == start)
            return 0;
        if (i < path.size())
            ++i;
    }
    return i;
}

std::string RootText(std::string_view root) {
    std::string text(root);
    for (char& c : text)
        if (c == '/')
            c = '\\';
    if (text.back() != '\\')
        text += '\\';
    return text;
}

// The number of letters (code points) of UTF-8 text; a stray byte counts as one.
std::size_t Letters(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

bool IsAsciiAlnum(char c) { return IsLetter(c) || (c >= '0' && c <= '9'); }

} // namespace

char DriveLetter(std::string_view path) {
    if (HasDevicePrefix(path))
        path.remove_prefix(4);
    return StartsWithDrive(path) ? AsciiUpper(path[0]) : 0;
}

bool IsSharePath(std::string_view path) {
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           DriveLetter(path) == 0;
}

std::size_t RootLength(std::string_view path) {
    if (HasDevicePrefix(path)) {
        const std::string_view rest = path.substr(4);
        if (StartsWithDrive(rest))
            return rest.size() >= 3 && IsSeparator(rest[2]) ? 7 : 0;
        if (rest.size() >= 4 && SameName(rest.substr(0, 3), "UNC") && IsSeparator(rest[3])) {
            const std::size_t share = ShareRootLength(path, 8);
            return share == 0 ? 0 : share;
        }
        const std::size_t device = ShareRootLength(path, 4); // "\\.\pipe\name"
        return device == 0 ? 0 : device;
    }
    if (path.size() >= 3 && StartsWithDrive(path) && IsSeparator(path[2]))
        return 3;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return ShareRootLength(path, 2);
    if (!path.empty() && IsSeparator(path[0]))
        return 1;
    return 0;
}

bool IsFullPath(std::string_view path) { return RootLength(path) != 0; }

std::string_view VolumeOf(std::string_view path) {
    if (StartsWithDrive(path))
        return path.substr(0, 2);
    if (IsSharePath(path) && !HasDevicePrefix(path)) {
        std::size_t end = RootLength(path);
        if (end == 0)
            return {};
        if (IsSeparator(path[end - 1]))
            --end;
        return path.substr(0, end);
    }
    return {};
}

std::string Join(std::string first, std::string_view second) {
    if (second.empty())
        return first;
    if (!first.empty() && first.back() != '\\')
        first += '\\';
    first.append(second);
    return first;
}

std::vector<std::string_view> Names(std::string_view text) {
    std::vector<std::string_view> names;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t j = i;
        while (j < text.size() && !IsSeparator(text[j]))
            ++j;
        const std::string_view name = text.substr(i, j - i);
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        i = j + 1;
    }
    return names;
}

std::string ResolveRelative(std::string_view linkPath, std::string_view relative) {
    if (relative.empty() || (StartsWithDrive(relative) && !IsFullPath(relative)))
        return {}; // nothing, or a drive's own current folder, which a shortcut cannot know
    if (relative.size() >= 2 && IsSeparator(relative[0]) && IsSeparator(relative[1]) &&
        RootLength(relative) == 0)
        return {}; // a server without a share
    std::string_view root;
    std::string_view folder;
    if (const std::size_t own = RootLength(relative); own > 1) {
        root = relative.substr(0, own);
        relative.remove_prefix(own);
    } else {
        const std::size_t linkRoot = RootLength(linkPath);
        if (linkRoot == 0)
            return {};
        root = linkPath.substr(0, linkRoot);
        if (own == 0) { // below the shortcut's own folder
            folder = linkPath.substr(linkRoot);
            std::size_t last = folder.size();
            while (last > 0 && !IsSeparator(folder[last - 1]))
                --last;
            folder = folder.substr(0, last);
        }
    }
    std::string joined(folder);
    if (!joined.empty())
        joined += '\\';
    joined.append(relative);
    const std::vector<std::string_view> names = Names(joined);
    std::string path = RootText(root);
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0)
            path += '\\';
        path.append(names[k]);
    }
    if (!names.empty() && !relative.empty() && IsSeparator(relative.back()))
        path += '\\';
    return path;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

bool IsInFolder(std::string_view path, std::string_view folder) {
    while (!folder.empty() && IsSeparator(folder.back()))
        folder.remove_suffix(1);
    if (folder.empty() || path.size() < folder.size() ||
        !SameName(path.substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || IsSeparator(path[folder.size()]);
}

bool IsShortName(std::string_view name) {
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (Letters(base) < 3 || Letters(base) > 8 || Letters(ext) > 3 ||
        ext.find('.') != std::string_view::npos)
        return false;
    const std::size_t tilde = base.rfind('~');
    if (tilde == std::string_view::npos || tilde == 0 || tilde + 1 == base.size())
        return false;
    // Windows numbers them (PROGRA~1); Wine makes them from a hash (PROGR~3T).
    for (std::size_t i = tilde + 1; i < base.size(); ++i)
        if (!IsAsciiAlnum(base[i]))
            return false;
    return true;
}

bool HasShortName(std::string_view path) {
    if (path.find('~') == std::string_view::npos)
        return false; // the usual case, decided without splitting
    const std::size_t root = RootLength(path);
    for (const std::string_view name : Names(path.substr(root)))
        if (IsShortName(name))
            return true;
    return false;
}

bool HasX86(std::string_view path) { return path.find(" (x86)") != std::string_view::npos; }

std::string WithoutX86(std::string_view path) {
    constexpr std::string_view kX86 = " (x86)";
    std::string result;
    result.reserve(path.size());
    std::size_t i = 0;
    while (i < path.size()) {
        if (path.size() - i >= kX86.size() && SameName(path.substr(i, kX86.size()), kX86)) {
            i += kX86.size();
            continue;
        }
        result += path[i++];
    }
    return result;
}

} // namespace winpath
