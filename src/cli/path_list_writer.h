// The output of --print0: each shortcut file's path, followed by a NUL byte, as find -print0
// writes paths for xargs -0. Nothing else: no header, no state.
#pragma once

#include "cli/record_writer.h"

std::unique_ptr<IRecordWriter> CreatePathListWriter(std::ostream& out);
