// Listing doubles for the finder tests.
#pragma once

#include "finder/dir_listing.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

// An in-memory tree: folders by path in the program's form (with the trailing '\', "" for
// the current folder), each with its entries in listing order. Counts open handles.
class FakeListing : public IDirListing {
public:
    struct Entry {
        std::string name;
        std::uint32_t attributes;
        std::uint32_t tag = 0; // reparse tag
    };
    std::map<std::string, std::vector<Entry>> folders;
    std::map<std::string, std::string> failures; // folders that fail to list, with the reason
    int open = 0, maxOpen = 0;
    std::vector<std::string> started; // every FindFirst pattern
    std::string failure;              // the reason of the last FindFirst

    void File(const std::string& folder, const std::string& name,
              std::uint32_t attr = kAttrArchive) {
        folders[folder].push_back({name, attr});
    }
    // Adds the folder's entry to its parent and "." and ".." to the folder itself.
    void Folder(const std::string& parent, const std::string& name, std::uint32_t attr = 0) {
        folders[parent].push_back({name, kAttrDirectory | attr});
        auto& own = folders[parent + name + "\\"];
        own.insert(own.begin(), {{".", kAttrDirectory}, {"..", kAttrDirectory}});
    }

    TFindHandle FindFirst(const std::string& pattern, TFindData& data, std::uint32_t) override {
        started.push_back(pattern);
        const std::string folder = pattern.substr(0, pattern.size() - 1);
        const auto failed = failures.find(folder);
        failure = failed == failures.end() ? std::string() : failed->second;
        auto it = folders.find(folder);
        if (it == folders.end() || it->second.empty())
            return nullptr;
        auto* h = new Handle{&it->second, 0};
        Fill(*h, data);
        maxOpen = std::max(maxOpen, ++open);
        return h;
    }
    bool FindNext(TFindHandle handle, TFindData& data) override {
        auto* h = static_cast<Handle*>(handle);
        if (++h->index >= h->entries->size())
            return false;
        Fill(*h, data);
        return true;
    }
    void FindClose(TFindHandle handle) override {
        delete static_cast<Handle*>(handle);
        --open;
    }
    std::string FailureReason() const override { return failure; }

private:
    struct Handle {
        const std::vector<Entry>* entries;
        size_t index;
    };
    static void Fill(const Handle& h, TFindData& data) {
        const Entry& e = (*h.entries)[h.index];
        data.dwFileAttributes = e.attributes;
        data.dwReserved0 = e.tag;
        std::strncpy(data.cFileName, e.name.c_str(), sizeof data.cFileName - 1);
    }
};

// The system listing, except that the folders named in `refuse` cannot be listed; counts
// open handles.
class RefusingListing : public IDirListing {
public:
    std::set<std::string> refuse; // patterns, e.g. folder + "*"
    int open = 0, maxOpen = 0;

    TFindHandle FindFirst(const std::string& pattern, TFindData& data,
                          std::uint32_t wanted) override {
        if (refuse.count(pattern))
            return nullptr;
        TFindHandle h = SystemDirListing().FindFirst(pattern, data, wanted);
        if (h)
            maxOpen = std::max(maxOpen, ++open);
        return h;
    }
    bool FindNext(TFindHandle handle, TFindData& data) override {
        return SystemDirListing().FindNext(handle, data);
    }
    void FindClose(TFindHandle handle) override {
        SystemDirListing().FindClose(handle);
        --open;
    }
};
