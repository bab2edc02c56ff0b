// The window's scan without the window: the same walk, reader, probes and rule over a folder,
// one line per shortcut (Name, Target, Invalid, Reason, tab-separated, as shortcut-sweeper's
// TSV has them), for the comparison of the three readers (real_shapes.sh):
//   core_verdicts.exe FOLDER
#include "base/com_ref.h"
#include "finder/dir_listing.h"
#include "inventory/scan_settings.h"
#include "inventory/shortcut_item.h"
#include "lnk/link_reader.h"
#include "platform/fs_probes.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: core_verdicts FOLDER\n");
        return 2;
    }
    TComApartment com; // the shell link object, where the platform reads with it
    const std::unique_ptr<ILinkReader> reader = CreateSystemLinkReader();
    TValidityRule rule(SystemFileProbes());
    TDIWildFileFinder finder(SystemDirListing());
    SetUpShortcutScan(finder, argv[1]);
    std::string out;
    while (finder.Next()) {
        const std::unique_ptr<TShortcutItem> record =
            ProcessShortcutFile(finder.FileName(), *reader, rule);
        if (record)
            out += record->Name + "\t" + record->Target + "\t" +
                   (record->Invalid ? "true" : "false") + "\t" + record->Reason + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
