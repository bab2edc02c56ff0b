// Wildcard matching of byte strings, used by the file finder's pattern lists.
#pragma once

#include <string_view>

// True when `pattern` describes the whole of `name`. In the pattern the byte `wild` stands
// for any run of bytes (none included), the byte `mask` for exactly one byte, and any other
// byte for one byte equal to it under Windows-1252 upper-casing (independent of the locale).
// `wild` and `mask` are recognised by exact byte; when they are the same byte it is `wild`.
// No allocation, no recursion, no failure.
bool WildcardMatch(std::string_view name, std::string_view pattern, char wild, char mask);
