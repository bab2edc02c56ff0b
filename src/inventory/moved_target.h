// Where did a broken shortcut's target go: candidates found as Windows' own resolver looks,
// for many shortcuts at once, each with its evidence and how much it proves. Nothing is
// changed by searching.
//
// Strength of a candidate:
//   exact   the volume LinkInfo names (its serial number) is present at another letter and
//           holds the same path; or the link-tracking object ID (TrackerDataBlock) opens a file
//           on a present volume (where the platform can look it up);
//   strong  an entry of the same name and kind whose size (for a file) and creation or write
//           time match what the shortcut stores (times within FAT's 2 seconds);
//   weak    the same name only; also a strong match that is not alone in the first place it
//           was found (two equally good files: the user decides).
// The name search follows Windows' order and bounds: from the nearest folder of the old path
// that still exists, that folder and four levels below it, then up to three of its parents
// with four levels below each, then the given extra folders (the Desktop), then each fixed
// drive's root, each with four levels below. The first place in that order wins among equals,
// and a place is read only when those before it hold no strong candidate, as Windows' resolver
// stops at the first.
//
// Each folder is listed once per search object, however many shortcuts and trees reach it, and
// every name listed goes into one index: a shortcut's search is a look-up in the index and a
// check of where each hit lies, never a walk of its own.
#pragma once

#include "lnk/link_reader.h"
#include "lnk/lnk_repoint.h"
#include "platform/search_fs.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

enum class TMoveStrength { None, Weak, Strong, Exact };

// "exact", "strong", "weak"; "" for None.
const char* StrengthName(TMoveStrength strength);

struct TMoveFinding {
    TMoveStrength strength = TMoveStrength::None;
    std::string evidence;  // why, for the user; "" when nothing was found
    lnk::NewTarget target; // the candidate, as the writer takes it (path "" when none)
};

class TMoveSearch {
public:
    explicit TMoveSearch(ISearchFileSystem& fs);

    // Where the target (the old full Windows path) went, from what the shortcut keeps of it.
    // `extraRoots`: folders searched after the parents (the shortcut's user's Desktop).
    TMoveFinding Find(const std::string& oldTarget, const lnk::TargetTraces& traces,
                      const std::vector<std::string>& extraRoots = {});

    // Asked before each folder is listed; true stops the search (what was found stays).
    std::function<bool()> StopRequested;
    bool Stopped() const { return stopped_; }
    std::uint64_t FoldersListed() const { return listed_; }

private:
    static constexpr std::uint32_t kNone = ~0u;
    struct Node {
        TSearchEntry entry; // its name and kind; size and times once known
        std::uint32_t parent = kNone;
        bool listed = false;
        int depth = 0; // how many levels below are listed
        std::vector<std::uint32_t> children;
    };

    std::uint32_t Drive(char letter);
    std::string PathOf(std::uint32_t node) const;
    void List(std::uint32_t node);
    void Expand(std::uint32_t node, int depth);
    std::uint32_t Child(std::uint32_t node, std::string_view name, bool wantFolder);
    // The node at the path, or the nearest folder on its way that exists (`whole` false).
    std::uint32_t Walk(const std::string& path, bool& whole);
    // Which of the trees (root, 4 levels) holds the node first; trees.size() for none.
    std::size_t TreeOf(std::uint32_t node, const std::vector<std::uint32_t>& trees) const;
    const TSearchEntry& Details(std::uint32_t node);
    // A found entry of the name: the first tree holding it, how strong, and why.
    struct Hit {
        std::uint32_t node;
        std::size_t tree;
        TMoveStrength strength;
        std::string evidence;
    };
    // The entries of the name in the trees that match the shortcut's traces.
    std::vector<Hit> Hits(const std::string& name, bool wantFolder, const lnk::TargetTraces& traces,
                          const std::vector<std::uint32_t>& trees);
    lnk::NewTarget TargetOf(std::uint32_t node);
    bool FindOnVolume(const std::string& oldTarget, const lnk::TargetTraces& traces,
                      TMoveFinding& finding);

    ISearchFileSystem& fs_;
    std::vector<Node> nodes_;
    // The nodes by a hash of their names in upper case (a hit is checked by name).
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> byName_;
    std::uint32_t drives_[26];
    std::vector<TSearchVolume> volumes_;
    bool volumesRead_ = false;
    bool stopped_ = false;
    std::uint64_t listed_ = 0;
};

// Where the target `oldTarget` of the shortcut file at `shortcut` (the program's path) went:
// its traces read through `files` (into `buffer`), the shortcut's user's Desktop searched after
// the parents. Nothing found for a shortcut that cannot be read.
TMoveFinding FindShortcutTarget(TMoveSearch& search, IShortcutFiles& files,
                                const std::string& shortcut, const std::string& oldTarget,
                                std::vector<unsigned char>& buffer);
