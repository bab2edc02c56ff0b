// Re-pointing a shortcut file where it lies, restorably: the new file is written beside the
// old one and read back before anything else happens, the original goes to the recycle bin
// (the trash on Linux: restoring it there brings back the exact old file), and only then the
// new file takes its name. A step that fails leaves the original where it was (once the
// original is in the bin, the new file stays beside its old name and the user is told).
#pragma once

#include "lnk/lnk_repoint.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The file operations of a repair, each on one path of the program's form.
class IRepairFiles {
public:
    virtual ~IRepairFiles() = default;
    // The whole file; false when it cannot be read.
    virtual bool Read(const std::string& path, std::vector<unsigned char>& bytes) = 0;
    // Creates the file (never over an existing one) holding `bytes`; false with the reason.
    virtual bool Create(const std::string& path, const std::vector<unsigned char>& bytes,
                        std::string& reason) = 0;
    // Moves the file to the recycle bin (the trash); false with the reason, the file kept.
    virtual bool Recycle(const std::string& path, std::string& reason) = 0;
    // Gives `from` the name `to` (where no file is); false with the reason.
    virtual bool Rename(const std::string& from, const std::string& to, std::string& reason) = 0;
    // Removes a file this repair created.
    virtual void Remove(const std::string& path) = 0;
    // The platform's own reading of the new file names `target` (the shell link object where
    // it is trusted); true where there is no second reader.
    virtual bool Confirm(const std::string& path, const std::string& target) {
        (void)path;
        (void)target;
        return true;
    }
};

struct TRepairResult {
    bool repaired = false;
    std::string reason; // why not, for the user
};

// The name the new file has while it is checked: beside the shortcut, never a "*.lnk".
std::string RepairScratchPath(const std::string& shortcut);

// Re-points the shortcut at `shortcut` to `target`; `context` is its reading context.
TRepairResult RepairShortcutFile(IRepairFiles& files, const std::string& shortcut,
                                 const lnk::NewTarget& target, const lnk::ReadContext& context);

// Moves the file to the recycle bin (the trash); false with the reason, the file kept.
using TRecycleFile = std::function<bool(const std::string& path, std::string& reason)>;

// The Windows file operations of a repair (Windows builds only), the original recycled by
// `recycle`: the window's recycle bin call or the command line's trash. Before the original
// goes, the shell link object must read the new file as the program does (not under Wine,
// whose link object the program does not trust).
std::unique_ptr<IRepairFiles> CreateSystemRepairFiles(TRecycleFile recycle);
