// The command-line program's walk: the window's scan (the same finder settings, reader and
// validity rule) over one folder after another, handing each shortcut on as it is found and
// counting what it met. Nothing is kept but the counts.
#pragma once

#include "finder/di_file_finder.h"
#include "inventory/shortcut_item.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class ILinkReader;
class IFileProbes;

struct TSweepCounts {
    std::uint64_t folders = 0;   // folders whose listing was asked for
    std::uint64_t skipped = 0;   // of them, folders that could not be read (an error named)
    std::uint64_t entries = 0;   // files and folders listed ("." and ".." not counted)
    std::uint64_t shortcuts = 0; // records made
    std::uint64_t invalid = 0;   // of them, invalid ones
};

// What a walk leaves out below each folder it walks.
struct TWalkLimits {
    // How many levels below the folder are examined: 1 is the folder's own entries, 0
    // nothing; negative for no limit. A folder below the limit is not listed.
    int maxDepth = -1;
    // Patterns of what is not examined. A pattern without a separator ('/' or '\') is
    // matched against the name of every file and folder; one with separators against the
    // path below the walked folder, name by name. '*' stands for any run of characters in a
    // name, '?' for one character; letters match without regard to case, as Windows names
    // do. A folder that matches is not entered.
    std::vector<std::string> excludes;
};

class TSweep {
public:
    TSweep(IDirListing& listing, ILinkReader& reader, IFileProbes& probes,
           const TWalkLimits& limits = {});
    TSweep(const TSweep&) = delete;
    TSweep& operator=(const TSweep&) = delete;

    // Each record as it is made.
    std::function<void(const TShortcutItem&)> OnRecord;
    // Once per examined entry, from inside the walk.
    std::function<void(const TSweepCounts&)> OnProgress;
    // Asked between entries; true stops the walk (every later Walk returns at once).
    std::function<bool()> StopRequested;
    // Each folder that could not be listed (the program's path form, ending in '\'), with
    // the system's reason.
    std::function<void(const std::string& folder, const std::string& reason)> OnFolderError;
    // Asked of each shortcut file before it is read; true leaves it out unread and uncounted
    // (the program's own report, met under another name).
    std::function<bool(const std::string& path)> Ignore;

    // Enters links to folders (where the platform tells folders apart), each folder once.
    void SetFollowLinks(bool follow) { finder_.SetFollowLinks(follow); }

    // Walks the folder (the program's path form) and everything below it; a folder walked
    // before in this object (or reached again through a link) is not walked again. False
    // when the folder itself could not be listed. Drive kinds are asked once for the whole
    // object, as for one scan.
    bool Walk(const std::string& folder);
    // Judges one shortcut file given by name, unless a walk of this object has met it.
    void Judge(const std::string& shortcut);

    const TSweepCounts& Counts() const { return counts_; }
    bool Stopped() const { return stopped_; }

private:
    // The finder's listing, counted. A folder the limits leave out lists as empty, unread.
    class CountingListing final : public IDirListing {
    public:
        CountingListing(IDirListing& inner, TSweep& sweep) : inner_(inner), sweep_(sweep) {}
        TFindHandle FindFirst(const std::string& pattern, TFindData& data,
                              std::uint32_t wanted) override;
        bool FindNext(TFindHandle handle, TFindData& data) override;
        void FindClose(TFindHandle handle) override;
        std::string FailureReason() const override { return inner_.FailureReason(); }
        bool FolderIdentity(const std::string& folder, TFolderId& id) override;

    private:
        void Count(const TFindData& data);
        IDirListing& inner_;
        TSweep& sweep_;
        char leftOut_ = 0; // its address is the handle of a listing left out
    };

    bool StopNow();
    void Report(std::unique_ptr<TShortcutItem> record);
    // Whether the limits leave out the path below the walked folder ('' between names).
    bool LeftOut(std::string_view below) const;
    bool FolderLeftOut(std::string_view below) const;

    TSweepCounts counts_;
    int maxDepth_;
    std::vector<std::vector<std::string>> excludes_; // each pattern's names
    std::string root_;                               // the walked folder, ending in '\'
    CountingListing listing_;
    ILinkReader& reader_;
    TValidityRule rule_;
    TDIWildFileFinder finder_;
    bool stopped_ = false;
    bool rootFailed_ = false;
    std::vector<std::string> walked_; // the folders walked, as given
};
