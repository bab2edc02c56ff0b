#include "base/text.h"

std::string Windows1252UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        const unsigned char b = static_cast<unsigned char>(c);
        unsigned char u = b;
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            u = static_cast<unsigned char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            u = static_cast<unsigned char>(b - 0x10);
        else if (b == 0xFF)
            u = 0x9F;
        c = static_cast<char>(u);
    }
    return result;
}
