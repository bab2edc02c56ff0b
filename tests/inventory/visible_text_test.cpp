#include "inventory/visible_text.h"

#include <gtest/gtest.h>

namespace {

TEST(VisibleText, EveryBidiControlIsShownAsItsCodePointAndNothingElseChanges) {
    // "Invoice", RIGHT-TO-LEFT OVERRIDE, "txt.exe": read as "Invoiceexe.txt" when drawn.
    EXPECT_EQ(VisibleBidi("Invoice\xE2\x80\xAEtxt.exe"), "Invoice<U+202E>txt.exe");
    const char* const all[] = {"\xE2\x80\xAA", "\xE2\x80\xAB", "\xE2\x80\xAC",
                               "\xE2\x80\xAD", "\xE2\x80\xAE", "\xE2\x81\xA6",
                               "\xE2\x81\xA7", "\xE2\x81\xA8", "\xE2\x81\xA9"};
    const char* const shown[] = {"<U+202A>", "<U+202B>", "<U+202C>", "<U+202D>", "<U+202E>",
                                 "<U+2066>", "<U+2067>", "<U+2068>", "<U+2069>"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(VisibleBidi(std::string("a") + all[i] + "b" + all[i]),
                  std::string("a") + shown[i] + "b" + shown[i]);
    // Their neighbours stay: U+2029, U+202F, U+2065, U+206A, other three-byte letters, a
    // truncated sequence at the end.
    for (const char* kept : {"\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\xA5", "\xE2\x81\xAA",
                             "Caf\xC3\xA9 \xE2\x82\xAC", "end\xE2\x80", ""})
        EXPECT_EQ(VisibleBidi(kept), kept);
}

} // namespace
