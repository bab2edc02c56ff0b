// The probes that judge the targets of a run: on Windows the system's own; on Linux the
// drive mapping of drive_map.h, from --drive, --wine-prefix or the prefix a folder lies in.
#pragma once

#include "cli/options.h"
#include "platform/fs_probes.h"

#include <memory>
#include <string>
#include <vector>

// Whether this platform's targets need --drive and --wine-prefix.
extern const bool kTargetsNeedDriveMapping;

// The probes for the folders (the program's path form); nullptr with a message for the user
// when the options cannot be followed (a prefix that is not one, folders in two prefixes).
std::unique_ptr<IFileProbes> CreateTargetProbes(const TCliOptions& options,
                                                const std::vector<std::string>& folders,
                                                std::string& error);
