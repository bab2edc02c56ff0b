// settings-codec: turns the plain settings text into the stored form and back.
//
//   settings-codec encode PLAIN.ini STORED     complement every byte of every line
//   settings-codec decode STORED [PLAIN.ini]   the reverse, to a file or standard output
//
// Line breaks (CR, LF) stay as they are; every other byte b is stored as b XOR 0xFF. The
// reader stops at a zero byte and splits lines before complementing, so a plain text that
// holds a zero byte or the bytes 0xF2, 0xF5 or 0xFF (stored as CR, LF or zero) cannot be
// stored; encode refuses it. Decode stops at the first zero byte, as the program does.
//
// Built with the build machine's compiler, also in a cross build: standard C++ only.
#include "tool_files.h"

#include <iostream>
#include <string>

namespace {

char Complement(char c) {
    if (c == '\r' || c == '\n')
        return c;
    return static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
}

int Usage() {
    std::cerr << "usage: settings-codec encode PLAIN STORED\n"
                 "       settings-codec decode STORED [PLAIN]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string mode = argv[1];
    const bool encode = mode == "encode";
    if ((!encode && mode != "decode") || (encode && argc != 4) || argc > 4)
        return Usage();

    std::string data;
    if (!ReadAll(argv[2], data)) {
        std::cerr << "settings-codec: cannot read " << argv[2] << "\n";
        return 1;
    }
    if (encode) {
        std::size_t line = 1;
        for (const char c : data) {
            const unsigned char b = static_cast<unsigned char>(c);
            if (b == 0x00 || b == 0xF2 || b == 0xF5 || b == 0xFF) {
                std::cerr << "settings-codec: " << argv[2] << ":" << line << ": byte 0x" << std::hex
                          << static_cast<unsigned>(b) << " cannot be stored in a settings file\n";
                return 1;
            }
            if (c == '\n')
                ++line;
        }
    } else {
        data = data.substr(0, data.find('\0'));
    }
    for (char& c : data)
        c = Complement(c);

    if (argc == 4) {
        if (!WriteAll(argv[3], data)) {
            std::cerr << "settings-codec: cannot write " << argv[3] << "\n";
            return 1;
        }
    } else {
        std::cout.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
    return std::cout ? 0 : 1;
}
