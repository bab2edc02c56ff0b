#include "inventory/scan_settings.h"

void SetUpShortcutScan(TDIWildFileFinder& finder, std::string_view folder) {
    finder.SetSearchFolder(folder);
    finder.SetFileFilter(true);
    finder.SetFolderFilter(true);
    finder.SetRecurse(true);
    finder.SetArchiveFilter(afIgnore);
    finder.SetCompressedFilter(afIgnore);
    finder.SetHiddenFilter(afIgnore);
    finder.SetReadOnlyFilter(afIgnore);
    finder.SetSystemFilter(afIgnore);
    finder.SetWildChar('*');
    finder.SetMaskChar('?');
    finder.IncludeFilters().assign({"*.lnk"});
    // "*$*" keeps out the recycle bin ("$Recycle.Bin") and its kind; the other two the
    // desktop trash of Linux, which Wine's user folders lead into and which holds the
    // shortcuts moved there already.
    finder.ExcludeFilters().assign({"*$*", "*.local\\share\\Trash\\*", "*.Trash-*\\*"});
    // "$Recycle.Bin" and its kind inside the tree; a '$' in the chosen folder's own path (a
    // profile "ca$h", a share "D$") excludes nothing.
    finder.SetExcludeBelowRoot(true);
}
