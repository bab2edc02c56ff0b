// The text rules against the host's own converter (iconv) and its Unicode case mapping, byte
// by byte: the hand-written Windows-1252 tables are where a wrong value would hide.
#include "base/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>
#include <iconv.h>

namespace {

// `bytes` converted by iconv from `from` to `to`; false when iconv rejects them.
bool Iconv(const char* to, const char* from, std::string_view bytes, std::string& out) {
    const iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in(bytes);
    out.assign(4 * in.size() + 8, '\0');
    char* ip = in.data();
    char* op = out.data();
    std::size_t il = in.size(), ol = out.size();
    const bool ok = ::iconv(cd, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    out.resize(out.size() - ol);
    return ok;
}

// UTF-16 units as the little-endian bytes a file stores.
std::string LeBytes(std::u16string_view units) {
    std::string le;
    for (const char16_t u : units) {
        le += static_cast<char>(u & 0xFF);
        le += static_cast<char>(u >> 8);
    }
    return le;
}

std::string Utf16Le(std::u16string_view units) {
    const std::string le = LeBytes(units);
    std::string out;
    AppendUtf16LeAsUtf8(out, reinterpret_cast<const unsigned char*>(le.data()), units.size());
    return out;
}

} // namespace

TEST(TextCasing, AsciiCasingLeavesOtherBytes) {
    EXPECT_EQ(AsciiUpperCase("abz\xE9\xFF"), "ABZ\xE9\xFF");
    EXPECT_EQ(AsciiLowerCase("ABZ\xC9@["), "abz\xC9@[");
}

// Every byte's capital as Unicode names it, where the code page holds that capital.
TEST(TextCasing, Windows1252UpperCasingFollowsUnicodeWithinTheCodePage) {
    ASSERT_TRUE(std::setlocale(LC_CTYPE, "C.UTF-8"));
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string utf8, utf32;
        unsigned char expected = static_cast<unsigned char>(b);
        if (Iconv("UTF-32LE", "CP1252", byte, utf32)) {
            const auto at = [&](int k) { return static_cast<unsigned char>(utf32[k]); };
            const std::wint_t c = at(0) | (at(1) << 8) | (at(2) << 16);
            const std::wint_t upper = std::towupper(c);
            std::string capital;
            const char32_t u = static_cast<char32_t>(upper);
            if (upper != c &&
                Iconv("CP1252", "UTF-32LE", std::string_view(reinterpret_cast<const char*>(&u), 4),
                      capital) &&
                capital.size() == 1)
                expected = static_cast<unsigned char>(capital[0]);
        }
        EXPECT_EQ(static_cast<unsigned char>(Windows1252Upper(byte[0])), expected) << b;
    }
    EXPECT_EQ(Windows1252UpperCase("az\xE0\xFE\xF7\x9C"), "AZ\xC0\xDE\xF7\x8C");
    std::setlocale(LC_CTYPE, "C");
}

TEST(TextDecoding, Windows1252AsTheSystemDecodesIt) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string expected;
        if (!Iconv("UTF-8", "CP1252", byte, expected)) {
            // Undefined in the code page: MultiByteToWideChar gives the C1 control.
            EXPECT_TRUE(b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) << b;
            expected = {static_cast<char>(0xC2), static_cast<char>(b)};
        }
        EXPECT_EQ(Windows1252ToUtf8(byte), expected) << b;
    }
    EXPECT_EQ(Windows1252ToUtf8(std::string_view("a\0\x80", 3)), std::string("a\0\xE2\x82\xAC", 5));
}

TEST(TextDecoding, Utf16PairsDecodeAndLoneSurrogatesBecomeReplacements) {
    const std::u16string valid = u"a\u00E9\u65E5\U0001D11E\uFFFF\U0010FFFF";
    std::string expected;
    ASSERT_TRUE(Iconv("UTF-8", "UTF-16LE", LeBytes(valid), expected));
    EXPECT_EQ(Utf16Le(valid), expected);
    EXPECT_EQ(Utf16Le(std::u16string(u"a\0b", 3)), std::string("a\0b", 3)); // zeros are kept

    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf16Le(u"\xD800"), replacement);                        // high at the end
    EXPECT_EQ(Utf16Le(u"\xD800x"), replacement + "x");                 // high before no low
    EXPECT_EQ(Utf16Le(u"\xDBFF\xE000"), replacement + "\xEE\x80\x80"); // nor just past one
    EXPECT_EQ(Utf16Le(u"\xDC00x"), replacement + "x");                 // low alone
    EXPECT_EQ(Utf16Le(u"\xDC00\xD800"), replacement + replacement);    // the wrong order
    EXPECT_EQ(Utf16Le(u"\xD800\xD834\xDD1E"), replacement + "\xF0\x9D\x84\x9E");
}
