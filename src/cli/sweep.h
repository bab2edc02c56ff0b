// The command-line program's walk: the window's scan (the same finder settings, reader and
// validity rule) over one folder after another, handing each shortcut on as it is found and
// counting what it met. Nothing is kept but the counts.
#pragma once

#include "finder/di_file_finder.h"
#include "inventory/shortcut_item.h"

#include <cstdint>
#include <functional>
#include <string>

class ILinkReader;
class IFileProbes;

struct TSweepCounts {
    std::uint64_t folders = 0;   // folders whose listing was asked for
    std::uint64_t skipped = 0;   // of them, folders that could not be read
    std::uint64_t entries = 0;   // files and folders listed ("." and ".." not counted)
    std::uint64_t shortcuts = 0; // records made
    std::uint64_t invalid = 0;   // of them, invalid ones
};

class TSweep {
public:
    TSweep(IDirListing& listing, ILinkReader& reader, IFileProbes& probes);
    TSweep(const TSweep&) = delete;
    TSweep& operator=(const TSweep&) = delete;

    // Each record as it is made.
    std::function<void(const TShortcutItem&)> OnRecord;
    // Once per examined entry, from inside the walk.
    std::function<void(const TSweepCounts&)> OnProgress;
    // Asked between entries; true stops the walk (every later Walk returns at once).
    std::function<bool()> StopRequested;

    // Walks the folder (the program's path form) and everything below it. Drive kinds are
    // asked once for the whole object, as for one scan.
    void Walk(const std::string& folder);

    const TSweepCounts& Counts() const { return counts_; }
    bool Stopped() const { return stopped_; }

private:
    // The finder's listing, counted.
    class CountingListing final : public IDirListing {
    public:
        CountingListing(IDirListing& inner, TSweepCounts& counts)
            : inner_(inner), counts_(counts) {}
        TFindHandle FindFirst(const std::string& pattern, TFindData& data,
                              std::uint32_t wanted) override;
        bool FindNext(TFindHandle handle, TFindData& data) override;
        void FindClose(TFindHandle handle) override { inner_.FindClose(handle); }

    private:
        void Count(const TFindData& data);
        IDirListing& inner_;
        TSweepCounts& counts_;
    };

    bool StopNow();

    TSweepCounts counts_;
    CountingListing listing_;
    ILinkReader& reader_;
    TValidityRule rule_;
    TDIWildFileFinder finder_;
    bool stopped_ = false;
};
