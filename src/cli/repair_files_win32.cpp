#include "cli/repair_files.h"

#include "cli/trash.h"

std::unique_ptr<IRepairFiles> CreateRepairFiles() {
    return CreateSystemRepairFiles(MoveAllToTrash);
}
