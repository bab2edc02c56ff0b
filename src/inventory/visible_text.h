// Texts the windows show of what a shortcut holds (names, targets, fields), with the
// bidirectional control characters made visible: U+202A to U+202E and U+2066 to U+2069
// reorder the text around them, so "Invoice<U+202E>txt.exe" would read as "Invoiceexe.txt".
// Each is shown as its code point ("<U+202E>"), so no name can pose as another. Toolkit-free:
// the window's list, info panel and Properties box show texts through it.
#pragma once

#include <string>
#include <string_view>

// `text` (UTF-8) with every bidirectional embedding, override and isolate character replaced
// by "<U+XXXX>"; everything else unchanged.
std::string VisibleBidi(std::string_view text);
