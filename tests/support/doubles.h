// Test doubles for the platform seams that the toolkit-free code uses.
#pragma once

#include "shell/fs_probes.h"
#include "shell/link_reader.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// Files and folders that "exist", by exact path; every probe is recorded.
class FakeProbes : public IFileProbes {
public:
    std::set<std::string> files, folders;
    std::vector<std::string> probed;

    bool FileExists(const std::string& path) override {
        probed.push_back(path);
        return files.count(path) != 0;
    }
    bool FolderExists(const std::string& path) override {
        probed.push_back(path);
        return folders.count(path) != 0;
    }
};

// Targets by shortcut path; unknown shortcuts read as "".
class FakeLinkReader : public ILinkReader {
public:
    std::map<std::string, std::string> targets;
    std::vector<std::string> read;

    std::string ReadTarget(const std::string& path) override {
        read.push_back(path);
        auto it = targets.find(path);
        return it == targets.end() ? std::string() : it->second;
    }
};
