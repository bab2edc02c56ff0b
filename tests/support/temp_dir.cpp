#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

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
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::Folder() const { return Native(""); }

std::string TempDir::Native(const std::string& rel) const {
    std::string s = (path_ / rel).string();
    for (char& c : s)
        if (c == '/')
            c = '\\';
    if (rel.empty() && (s.empty() || s.back() != '\\'))
        s.push_back('\\');
    return s;
}

fs::path TempDir::WriteFile(const std::string& rel, const std::string& content) {
    const fs::path p = path_ / rel;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + p.string());
    return p;
}

fs::path TempDir::MakeDir(const std::string& rel) {
    const fs::path p = path_ / rel;
    fs::create_directories(p);
    return p;
}
