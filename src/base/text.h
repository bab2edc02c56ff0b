// Text rules shared by every layer: byte strings in the ANSI code page (UTF-8 under the
// program's manifest), their case rules and their conversions.
//
// Case rules, each touching only the letters it names; every other byte stays as it is.
// Decoding into UTF-8: Windows-1252 and UTF-16LE as stored in files, on every platform.
// Conversions to and from UTF-16 through the system (text_win32.cpp): Windows builds only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Casing of the ASCII letters A-Z and a-z only.
constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiUpperCase(std::string_view text);
std::string AsciiLowerCase(std::string_view text);

// Windows-1252 upper-casing, fixed whatever the locale: a-z, the accented letters 0xE0-0xFE
// (not 0xF7, the division sign) to 0xC0-0xDE, and the pairs 0x9A/0x8A, 0x9C/0x8C, 0x9E/0x8E
// and 0xFF/0x9F. Letters whose capital is outside the code page (0xB5, 0xDF) stay as they are.
constexpr char Windows1252Upper(char c) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
        return static_cast<char>(b - 0x20);
    if (b == 0x9A || b == 0x9C || b == 0x9E)
        return static_cast<char>(b - 0x10);
    if (b == 0xFF)
        return static_cast<char>(0x9F);
    return c;
}
std::string Windows1252UpperCase(std::string_view text);

// Upper-casing in the system's ANSI code page, non-ASCII letters included. Windows:
// CharUpperBuffA, with ASCII casing where it cannot convert the text. POSIX: the Windows-1252
// rules.
std::string AnsiUpperCase(std::string_view text);

// True when no byte is above 0x7F: the same text in every ANSI code page.
bool IsAscii(std::string_view bytes);

// The UTF-8 form of a code point (at most U+10FFFF; surrogates are not checked), appended.
void AppendUtf8(std::string& out, char32_t codePoint);

// Windows-1252 text as UTF-8, as MultiByteToWideChar decodes code page 1252: the five bytes
// the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the
// same value.
std::string Windows1252ToUtf8(std::string_view bytes);

// `units` UTF-16LE code units at `bytes` (2 * units bytes) as UTF-8, appended. A surrogate
// that is not half of a pair becomes U+FFFD; zero units are kept.
void AppendUtf16LeAsUtf8(std::string& out, const unsigned char* bytes, std::size_t units);

// Windows builds only (text_win32.cpp). Each converts the whole view, zeros included, and
// gives "" when the system cannot convert it.
//   Ansi: the process's ANSI code page (CP_ACP); Utf8: CP_UTF8.
std::wstring WidenAnsi(std::string_view text);
std::string NarrowAnsi(std::wstring_view text);
std::wstring WidenUtf8(std::string_view text);
std::string NarrowUtf8(std::wstring_view text);

// A path (UTF-8, the program's form) as the wide-character file calls take it at any length:
// one too long for MAX_PATH gets the "\\?\" prefix (which also turns off the name parsing,
// so '/' is made '\' first), a share path "\\?\UNC\". "" when the text cannot be converted.
// Windows builds only.
std::wstring LongPathForm(std::string_view path);

// The UTF-16 units of a path buffer the shell fills or takes (MAX_PATH), its zero included.
constexpr std::size_t kMaxPathUnits = 260;

// `path` up to its first zero, from the ANSI code page with MB_PRECOMPOSED into `wide`, zero
// included: the form the shell link object is given a file name in. False when it does not
// fit with its terminating zero or cannot be converted. Windows builds only.
bool WidenAnsiPath(const std::string& path, wchar_t (&wide)[kMaxPathUnits]);

// Text in the default ANSI code page of the system's locale, which need not be the process's
// (the manifest makes that UTF-8), as UTF-8. False when the locale has no ANSI code page or the
// bytes do not convert. Windows builds only.
bool SystemAnsiToUtf8(std::string_view bytes, std::string& utf8);
