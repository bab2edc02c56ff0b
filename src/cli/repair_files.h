// The file operations of a repair on this platform: the shortcut files read and written
// whole, the original to the trash (trash.h), the new file renamed into its place.
#pragma once

#include "inventory/shortcut_repair.h"

#include <memory>

std::unique_ptr<IRepairFiles> CreateRepairFiles();
