#include "inventory/shortcut_repair.h"

#include "base/windows_path.h"

std::string RepairScratchPath(const std::string& shortcut) { return shortcut + ".repair"; }

TRepairResult RepairShortcutFile(IRepairFiles& files, const std::string& shortcut,
                                 const lnk::NewTarget& target, const lnk::ReadContext& context) {
    std::vector<unsigned char> original;
    if (!files.Read(shortcut, original))
        return {false, "the shortcut could not be read"};
    if (original.size() >= lnk::kMaxShortcutBytes)
        return {false, "the shortcut is larger than any shortcut Windows writes"};
    const lnk::Repointed repointed =
        lnk::RepointShortcut(original.data(), original.size(), target, context);
    if (repointed.bytes.empty())
        return {false, repointed.refusal};

    const std::string scratch = RepairScratchPath(shortcut);
    std::string reason;
    if (!files.Create(scratch, repointed.bytes, reason))
        return {false, "the new shortcut could not be written beside it (" + reason + ")"};
    std::vector<unsigned char> written;
    const bool same =
        files.Read(scratch, written) && written == repointed.bytes &&
        winpath::SameName(lnk::ReadShortcutTarget(written.data(), written.size(), context),
                          target.path) &&
        files.Confirm(scratch, target.path);
    if (!same) {
        files.Remove(scratch);
        return {false, "the new shortcut did not read back as written"};
    }
    if (!files.Recycle(shortcut, reason)) {
        files.Remove(scratch);
        return {false, "the shortcut could not be moved to the recycle bin (" + reason + ")"};
    }
    if (!files.Rename(scratch, shortcut, reason))
        return {false,
                "the original is in the recycle bin, and the new shortcut could not take its "
                "name: it is " +
                    scratch + " (" + reason + ")"};
    return {true, {}};
}
