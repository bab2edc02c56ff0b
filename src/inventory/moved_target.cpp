#include "inventory/moved_target.h"

#include "base/text.h"
#include "base/windows_path.h"
#include "lnk/known_folders.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kLevels = 4;  // levels below each searched folder
constexpr int kParents = 3; // parents of the nearest folder searched
// FAT keeps times to 2 seconds; a copy to or from such a volume rounds them so.
constexpr std::uint64_t kTimeSlack = 2 * 10000000ull;
constexpr std::uint32_t kDirectory = 0x10;
constexpr const char* kDesktop = "{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}";

bool SameTime(std::uint64_t stored, std::uint64_t found) {
    return stored != 0 && found != 0 &&
           (stored > found ? stored - found : found - stored) <= kTimeSlack;
}

// FNV-1a over the name with its ASCII letters in upper case, as Windows compares names.
std::uint64_t NameKey(std::string_view name) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(AsciiUpper(c));
        hash *= 0x100000001b3u;
    }
    return hash;
}

std::string SerialText(std::uint32_t serial) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFF);
    return text;
}

} // namespace

const char* StrengthName(TMoveStrength strength) {
    switch (strength) {
    case TMoveStrength::Exact:
        return "exact";
    case TMoveStrength::Strong:
        return "strong";
    case TMoveStrength::Weak:
        return "weak";
    case TMoveStrength::None:
        break;
    }
    return "";
}

TMoveSearch::TMoveSearch(ISearchFileSystem& fs) : fs_(fs) {
    for (std::uint32_t& drive : drives_)
        drive = kNone;
}

std::uint32_t TMoveSearch::Drive(char letter) {
    std::uint32_t& drive = drives_[letter - 'A'];
    if (drive == kNone) {
        drive = static_cast<std::uint32_t>(nodes_.size());
        Node root;
        root.entry.name = std::string(1, letter) + ":";
        root.entry.folder = true;
        nodes_.push_back(std::move(root));
    }
    return drive;
}

std::string TMoveSearch::PathOf(std::uint32_t node) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t n = node; n != kNone; n = nodes_[n].parent)
        chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path = path.empty() ? nodes_[*it].entry.name + "\\"
                            : winpath::Join(path, nodes_[*it].entry.name);
    return path;
}

void TMoveSearch::List(std::uint32_t node) {
    if (nodes_[node].listed || stopped_)
        return;
    if (StopRequested && StopRequested()) {
        stopped_ = true;
        return;
    }
    nodes_[node].listed = true;
    ++listed_;
    std::vector<TSearchEntry> entries;
    if (!fs_.List(PathOf(node), entries))
        return;
    nodes_[node].children.reserve(entries.size());
    for (TSearchEntry& entry : entries) {
        const auto index = static_cast<std::uint32_t>(nodes_.size());
        byName_[NameKey(entry.name)].push_back(index);
        nodes_.push_back({std::move(entry), node, false, 0, {}});
        nodes_[node].children.push_back(index);
    }
}

void TMoveSearch::Expand(std::uint32_t node, int depth) {
    if (nodes_[node].depth >= depth || stopped_)
        return;
    List(node);
    nodes_[node].depth = depth;
    if (depth <= 1)
        return;
    const std::vector<std::uint32_t> children = nodes_[node].children;
    for (std::uint32_t child : children)
        if (nodes_[child].entry.folder)
            Expand(child, depth - 1);
}

std::uint32_t TMoveSearch::Child(std::uint32_t node, std::string_view name, bool wantFolder) {
    List(node);
    std::uint32_t found = kNone;
    for (std::uint32_t child : nodes_[node].children) {
        const TSearchEntry& c = nodes_[child].entry;
        if ((wantFolder && !c.folder) || !winpath::SameName(c.name, name))
            continue;
        if (c.name == name) // an exact match first, as a case-sensitive folder may hold both
            return child;
        if (found == kNone)
            found = child;
    }
    return found;
}

std::uint32_t TMoveSearch::Walk(const std::string& path, bool& whole) {
    whole = false;
    const char letter = winpath::DriveLetter(path);
    if (letter == 0 || winpath::RootLength(path) != 3)
        return kNone;
    std::uint32_t node = Drive(letter);
    const std::vector<std::string_view> names = winpath::Names(std::string_view(path).substr(3));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::uint32_t next = Child(node, names[i], i + 1 < names.size());
        if (next == kNone)
            return node;
        node = next;
    }
    whole = true;
    return node;
}

std::size_t TMoveSearch::TreeOf(std::uint32_t node, const std::vector<std::uint32_t>& trees) const {
    std::size_t best = trees.size();
    std::uint32_t n = nodes_[node].parent;
    for (int level = 1; level <= kLevels && n != kNone; ++level, n = nodes_[n].parent)
        for (std::size_t i = 0; i < best; ++i)
            if (trees[i] == n)
                best = i;
    return best;
}

const TSearchEntry& TMoveSearch::Details(std::uint32_t node) {
    Node& n = nodes_[node];
    if (!n.entry.detailed) {
        n.entry.detailed = true;
        if (!fs_.Details(PathOf(node), n.entry))
            n.entry.size = n.entry.created = n.entry.written = 0;
    }
    return n.entry;
}

lnk::NewTarget TMoveSearch::TargetOf(std::uint32_t node) {
    const TSearchEntry& entry = Details(node);
    lnk::NewTarget target;
    target.path = PathOf(node);
    target.folder = entry.folder;
    target.attributes = entry.attributes;
    target.size = entry.size;
    target.created = entry.created;
    target.written = entry.written;
    for (const TSearchVolume& v : volumes_)
        if (v.letter == winpath::DriveLetter(target.path)) {
            target.driveType = v.driveType;
            target.volumeSerial = v.serial;
            target.volumeLabel = v.label;
        }
    return target;
}

bool TMoveSearch::FindOnVolume(const std::string& oldTarget, const lnk::TargetTraces& traces,
                               TMoveFinding& finding) {
    const char letter = winpath::DriveLetter(oldTarget);
    if (traces.hasVolume && traces.volumeSerial != 0 && letter != 0)
        for (const TSearchVolume& v : volumes_) {
            if (v.letter == letter || v.serial != traces.volumeSerial)
                continue;
            bool whole = false;
            const std::uint32_t node = Walk(std::string(1, v.letter) + oldTarget.substr(1), whole);
            if (!whole)
                continue;
            finding.strength = TMoveStrength::Exact;
            finding.evidence =
                "the volume " +
                (traces.volumeLabel.empty() ? "" : "\"" + traces.volumeLabel + "\" ") + "(serial " +
                SerialText(v.serial) + ") is now " + v.letter + ": and holds the same path";
            finding.target = TargetOf(node);
            return true;
        }
    std::string path;
    if (traces.hasTracker && fs_.FindByObjectId(traces.volumeId, traces.objectId, path)) {
        bool whole = false;
        const std::uint32_t node = Walk(path, whole);
        if (whole) {
            finding.strength = TMoveStrength::Exact;
            finding.evidence = "its link-tracking object ID names it";
            finding.target = TargetOf(node);
            return true;
        }
    }
    return false;
}

std::vector<TMoveSearch::Hit> TMoveSearch::Hits(const std::string& name, bool wantFolder,
                                                const lnk::TargetTraces& traces,
                                                const std::vector<std::uint32_t>& trees) {
    std::vector<Hit> found;
    const auto hits = byName_.find(NameKey(name));
    if (hits == byName_.end())
        return found;
    for (std::uint32_t node : hits->second) {
        // A shortcut that stores attributes says whether its target was a folder.
        const bool folder = nodes_[node].entry.folder;
        if (traces.attributes != 0 && folder != wantFolder)
            continue;
        if (!winpath::SameName(nodes_[node].entry.name, name))
            continue;
        const std::size_t tree = TreeOf(node, trees);
        if (tree == trees.size())
            continue;
        Hit hit{node, tree, TMoveStrength::Weak, "the same name only"};
        if (traces.size != 0 || traces.created != 0 || traces.written != 0) {
            const TSearchEntry& e = Details(node);
            const bool size = folder || static_cast<std::uint32_t>(e.size) == traces.size;
            const bool created = SameTime(traces.created, e.created);
            const bool written = SameTime(traces.written, e.written);
            if (size && (created || written)) {
                hit.strength = TMoveStrength::Strong;
                hit.evidence =
                    std::string("the same name, ") +
                    (folder ? "" : "size (" + std::to_string(traces.size) + " bytes) and ") +
                    (created && written ? "creation and write times"
                     : created          ? "creation time"
                                        : "write time");
            }
        }
        found.push_back(std::move(hit));
    }
    return found;
}

TMoveFinding TMoveSearch::Find(const std::string& oldTarget, const lnk::TargetTraces& traces,
                               const std::vector<std::string>& extraRoots) {
    TMoveFinding finding;
    if (!volumesRead_) {
        volumes_ = fs_.Volumes();
        volumesRead_ = true;
    }
    if (FindOnVolume(oldTarget, traces, finding))
        return finding;

    const std::vector<std::string_view> names = winpath::Names(std::string_view(oldTarget).substr(
        std::min(winpath::RootLength(oldTarget), oldTarget.size())));
    if (names.empty() || winpath::DriveLetter(oldTarget) == 0)
        return finding;
    const std::string name(names.back());

    // The trees in Windows' order: the nearest folder that exists, its parents, the extra
    // folders, the fixed drives' roots.
    std::vector<std::uint32_t> trees;
    bool whole = false;
    const std::size_t cut = oldTarget.find_last_of('\\');
    std::uint32_t nearest =
        Walk(oldTarget.substr(0, cut == std::string::npos ? 0 : cut + 1), whole);
    for (int i = 0; i <= kParents && nearest != kNone; ++i, nearest = nodes_[nearest].parent)
        trees.push_back(nearest);
    for (const std::string& root : extraRoots) {
        const std::uint32_t node = Walk(root, whole);
        if (whole)
            trees.push_back(node);
    }
    for (const TSearchVolume& v : volumes_)
        if (v.driveType == 3 && v.searchRoot)
            trees.push_back(Drive(v.letter));
    // The trees in order, each read when the ones before it hold no strong candidate: the
    // first place in Windows' order wins, as its resolver stops there.
    const bool wantFolder = (traces.attributes & kDirectory) != 0;
    std::vector<Hit> found;
    for (std::size_t searched = 1; searched <= trees.size(); ++searched) {
        Expand(trees[searched - 1], kLevels);
        found = Hits(name, wantFolder, traces,
                     std::vector<std::uint32_t>(trees.begin(), trees.begin() + searched));
        if (std::any_of(found.begin(), found.end(),
                        [](const Hit& hit) { return hit.strength >= TMoveStrength::Strong; }))
            break;
    }
    if (found.empty())
        return finding;
    const Hit* best = &found[0];
    for (const Hit& hit : found)
        if (hit.strength > best->strength ||
            (hit.strength == best->strength && hit.tree < best->tree))
            best = &hit;
    finding.strength = best->strength;
    finding.evidence = best->evidence;
    std::size_t equals = 0;
    for (const Hit& hit : found)
        if (&hit != best && hit.strength == best->strength)
            ++equals;
    if (equals != 0) {
        // Two equally good places: nothing proves which one is the target.
        finding.strength = TMoveStrength::Weak;
        finding.evidence += equals == 1 ? ", as has one other place"
                                        : ", as have " + std::to_string(equals) + " other places";
    }
    finding.target = TargetOf(best->node);
    return finding;
}

TMoveFinding FindShortcutTarget(TMoveSearch& search, IShortcutFiles& files,
                                const std::string& shortcut, const std::string& oldTarget,
                                std::vector<unsigned char>& buffer) {
    if (!files.ReadPrefix(shortcut, buffer))
        return {};
    const std::string windowsPath = files.WindowsPath(shortcut);
    const lnk::ReadContext context = ShortcutContext(files, windowsPath);
    const lnk::TargetTraces traces = lnk::ReadTargetTraces(buffer.data(), buffer.size(), context);
    std::vector<std::string> desktop(1);
    if (!files.KnownFolderPlace(*lnk::FindKnownFolder(kDesktop), windowsPath, desktop[0]))
        desktop.clear();
    return search.Find(oldTarget, traces, desktop);
}
