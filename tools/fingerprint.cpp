// fingerprint: writes a C++ header with the size and FNV-1a fingerprint of a file, so the
// program can tell that file from any other (base/fnv.h).
//
//   fingerprint FILE NAME HEADER     HEADER declares kNAMESize and kNAMEFnv1a
//
// Built with the build machine's compiler, also in a cross build: standard C++ only.
#include "base/fnv.h"
#include "tool_files.h"

#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: fingerprint FILE NAME HEADER\n";
        return 2;
    }
    std::string bytes;
    if (!ReadAll(argv[1], bytes)) {
        std::cerr << "fingerprint: cannot read " << argv[1] << '\n';
        return 1;
    }
    const std::string name = argv[2];
    std::ostringstream text;
    text << "// Written by the build (tools/fingerprint) from " << argv[1] << ".\n"
         << "#pragma once\n\n#include <cstdint>\n\n"
         << "inline constexpr std::uint64_t k" << name << "Size = " << bytes.size() << "u;\n"
         << "inline constexpr std::uint64_t k" << name << "Fnv1a = 0x" << std::hex << Fnv1a64(bytes)
         << "u;\n";
    if (WriteAll(argv[3], text.str()))
        return 0;
    std::cerr << "fingerprint: cannot write " << argv[3] << '\n';
    return 1;
}
