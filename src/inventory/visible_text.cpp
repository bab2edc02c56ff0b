#include "inventory/visible_text.h"

std::string VisibleBidi(std::string_view text) {
    // In UTF-8 the characters are E2 80 AA..AE (U+202A..U+202E) and E2 81 A6..A9
    // (U+2066..U+2069).
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t from = 0;
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) != 0xE2)
            continue;
        const auto second = static_cast<unsigned char>(text[i + 1]);
        const auto third = static_cast<unsigned char>(text[i + 2]);
        const bool embedding = second == 0x80 && third >= 0xAA && third <= 0xAE;
        const bool isolate = second == 0x81 && third >= 0xA6 && third <= 0xA9;
        if (!embedding && !isolate)
            continue;
        const unsigned code = 0x2000u | ((second & 0x0Fu) << 6) | (third & 0x3Fu);
        out.append(text, from, i - from);
        out += "<U+";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += kHex[(code >> shift) & 0xFu];
        out += '>';
        i += 2;
        from = i + 1;
    }
    if (from == 0)
        return std::string(text);
    out.append(text, from);
    return out;
}
