// What a run judges targets with: the probes and the reader of the Windows its shortcuts
// belong to. On Windows (and under Wine) the system's own; on Linux the drive mapping of
// drive_map.h, from --drive, --wine-prefix or the prefix a folder lies in, with that prefix's
// environment and user folders (or Windows' defaults for a mapped partition) for the reader.
#pragma once

#include "cli/options.h"
#include "lnk/link_reader.h"
#include "platform/fs_probes.h"
#include "platform/search_fs.h"

#include <memory>
#include <string>
#include <vector>

// Whether this platform's targets need --drive and --wine-prefix.
extern const bool kTargetsNeedDriveMapping;

struct TTargetSystem {
    std::unique_ptr<IFileProbes> probes;
    std::unique_ptr<ILinkReader> reader;
    // What the program's own reader sees of the shortcuts and their Windows, and the file
    // system the search for moved targets reads (--suggest, --repair).
    std::unique_ptr<IShortcutFiles> files;
    std::unique_ptr<ISearchFileSystem> search;
};

// The probes and reader for the folders (the program's path form); false with a message for
// the user when the options cannot be followed (a prefix that is not one, folders in two
// prefixes).
bool CreateTargetSystem(const TCliOptions& options, const std::vector<std::string>& folders,
                        TTargetSystem& system, std::string& error);
