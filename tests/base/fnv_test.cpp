// The fingerprint is FNV-1a as its authors define it: their published values, one of them
// over bytes above 0x7F, which must count as unsigned whatever the platform's char is.
#include "base/fnv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Fnv1a64, GivesThePublishedValues) {
    EXPECT_EQ(Fnv1a64(""), 0xcbf29ce484222325u);
    EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cu);
    EXPECT_EQ(Fnv1a64("foobar"), 0x85944171f73967e8u);
    EXPECT_EQ(Fnv1a64(std::string("\xff\x00\x00\x01", 4)), 0x6961196491cc682du);
}

} // namespace
