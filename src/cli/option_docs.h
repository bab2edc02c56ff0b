// The documents made from the option table: --help, the manual page shortcut-sweeper(1) and
// the completions of bash, zsh and fish. Each names every option of the table (the drive
// mapping's only where `driveOptions` is set; the manual page and completions are Linux's
// and always name them).
#pragma once

#include <string>
#include <vector>

// --help, each paragraph wrapped to `width` columns (0: 80).
std::string HelpText(bool driveOptions, int width);

// What --generate writes: "man", "complete-bash", "complete-zsh", "complete-fish".
std::vector<std::string> GeneratedDocKinds();
// The document of that kind; "" for another kind.
std::string GeneratedDoc(const std::string& kind);
