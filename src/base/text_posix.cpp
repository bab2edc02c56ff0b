// The host has no system code page of Windows: its ANSI text is read as Windows-1252.
#include "base/text.h"

std::string AnsiUpperCase(std::string_view text) { return Windows1252UpperCase(text); }
