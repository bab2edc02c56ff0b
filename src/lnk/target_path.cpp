#include "lnk/target_path.h"

#include <vector>

namespace lnk {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The length of the root that starts `path` ("X:\", "\\server\share\", "\"), 0 when it has
// none. A share root with nothing after it counts, its last '\' implied.
std::size_t RootLength(std::string_view path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]))
        return 3;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t i = 2;
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
    if (!path.empty() && IsSeparator(path[0]))
        return 1;
    return 0;
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

// Adds the segments of `text` to `segments`: empty and "." ones skipped, ".." dropping the
// last one (never below the root).
void AddSegments(std::string_view text, std::vector<std::string_view>& segments) {
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t j = i;
        while (j < text.size() && !IsSeparator(text[j]))
            ++j;
        const std::string_view segment = text.substr(i, j - i);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        i = j + 1;
    }
}

} // namespace

bool IsFullPath(std::string_view path) {
    return (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) ||
           (!path.empty() && IsSeparator(path[0]));
}

std::string JoinPath(std::string first, std::string_view second) {
    if (second.empty())
        return first;
    if (!first.empty() && first.back() != '\\')
        first += '\\';
    first.append(second);
    return first;
}

std::string ResolveRelativePath(std::string_view linkPath, std::string_view relative) {
    if (relative.empty() || (relative.size() >= 2 && relative[1] == ':' && !IsFullPath(relative)))
        return {}; // nothing, or a drive's own current folder, which a shortcut cannot know
    if (relative.size() >= 2 && IsSeparator(relative[0]) && IsSeparator(relative[1]) &&
        RootLength(relative) == 0)
        return {}; // a server without a share
    std::string_view root;
    std::vector<std::string_view> segments;
    if (const std::size_t own = RootLength(relative); own > 1) {
        root = relative.substr(0, own);
        relative.remove_prefix(own);
    } else {
        const std::size_t linkRoot = RootLength(linkPath);
        if (linkRoot == 0)
            return {};
        root = linkPath.substr(0, linkRoot);
        if (own == 0) { // below the shortcut's own folder
            std::string_view folder = linkPath.substr(linkRoot);
            std::size_t last = folder.size();
            while (last > 0 && !IsSeparator(folder[last - 1]))
                --last;
            AddSegments(folder.substr(0, last), segments);
        }
    }
    AddSegments(relative, segments);
    std::string path = RootText(root);
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (k > 0)
            path += '\\';
        path.append(segments[k]);
    }
    if (!segments.empty() && !relative.empty() && IsSeparator(relative.back()))
        path += '\\';
    return path;
}

} // namespace lnk
