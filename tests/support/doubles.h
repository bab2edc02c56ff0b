// Test doubles for the platform seams that the toolkit-free code uses.
#pragma once

#include "lnk/link_reader.h"
#include "platform/fs_probes.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// Files and folders that "exist", by exact path, paths the file system cannot tell about,
// and drive kinds (Local unless given); every probe and drive question is recorded.
class FakeProbes : public IFileProbes {
public:
    std::set<std::string> files, folders, unknown;
    std::map<char, TDriveKind> drives;
    std::vector<std::string> probed;
    std::string drivesAsked;

    bool FileExists(const std::string& path) override {
        probed.push_back(path);
        return files.count(path) != 0;
    }
    TPathState ProbePath(const std::string& path) override {
        probed.push_back(path);
        if (files.count(path) || folders.count(path))
            return TPathState::Exists;
        return unknown.count(path) ? TPathState::Unknown : TPathState::Absent;
    }
    TDriveKind DriveKind(char letter) override {
        drivesAsked += letter;
        const auto it = drives.find(letter);
        return it == drives.end() ? TDriveKind::Local : it->second;
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
