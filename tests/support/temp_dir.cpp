#include "support/temp_dir.h"

#include "base/text.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// Narrow strings are in the ANSI code page, as the program's own are (UTF-8 under the
// manifest); std::filesystem's own narrow conversion does not follow it on every runtime.
fs::path FromNarrow(const std::string& text) {
#ifdef _WIN32
    return fs::path(WidenAnsi(text));
#else
    return fs::path(text);
#endif
}

std::string ToNarrow(const fs::path& path) {
#ifdef _WIN32
    return NarrowAnsi(path.native());
#else
    return path.string();
#endif
}

} // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() /
                     ("sweeper-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Unreadable folders a test left behind must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(
             path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::Folder() const { return Native(""); }

std::string TempDir::Native(const std::string& rel) const {
    std::string s = ToNarrow(path_ / FromNarrow(rel));
    for (char& c : s)
        if (c == '/')
            c = '\\';
    if (rel.empty() && (s.empty() || s.back() != '\\'))
        s.push_back('\\');
    return s;
}

fs::path TempDir::WriteFile(const std::string& rel, const std::string& content) {
    const fs::path p = path_ / FromNarrow(rel);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + p.string());
    return p;
}

fs::path TempDir::MakeDir(const std::string& rel) {
    const fs::path p = path_ / FromNarrow(rel);
    fs::create_directories(p);
    return p;
}
