#include "base/text.h"

#include <cstdint>

namespace {

// Windows-1252 code points of 0x80..0x9F (0 where the code page leaves the byte undefined;
// those decode as the C1 control of the same value, as MultiByteToWideChar does).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

template <char (*Rule)(char)> std::string Cased(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = Rule(c);
    return result;
}

} // namespace

std::string AsciiUpperCase(std::string_view text) { return Cased<AsciiUpper>(text); }

std::string AsciiLowerCase(std::string_view text) { return Cased<AsciiLower>(text); }

std::string Windows1252UpperCase(std::string_view text) { return Cased<Windows1252Upper>(text); }

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    const auto cp = static_cast<std::uint32_t>(codePoint);
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

void AppendUtf16LeAsUtf8(std::string& out, const unsigned char* bytes, std::size_t units) {
    const auto unitAt = [bytes](std::size_t k) -> std::uint32_t {
        return static_cast<std::uint32_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    };
    for (std::size_t k = 0; k < units; ++k) {
        std::uint32_t u = unitAt(k);
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < units) {
            const std::uint32_t lo = unitAt(k + 1);
            if (lo >= 0xDC00 && lo < 0xE000) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++k;
                continue;
            }
        }
        if (u >= 0xD800 && u < 0xE000)
            u = 0xFFFD;
        AppendUtf8(out, u);
    }
}
