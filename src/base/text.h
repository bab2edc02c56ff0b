// Text rules shared by every layer: byte strings in the ANSI code page (UTF-8 under the
// program's manifest), their case rules and their conversions.
#pragma once

#include <string>
#include <string_view>

// Windows-1252 upper-casing: a-z, the accented letters 0xE0-0xFE (not 0xF7, the division
// sign) to 0xC0-0xDE, and the pairs 0x9A/0x8A, 0x9C/0x8C, 0x9E/0x8E and 0xFF/0x9F. Letters
// whose capital is outside the code page (0xB5, 0xDF) and every other byte stay as they are.
std::string Windows1252UpperCase(std::string_view text);
