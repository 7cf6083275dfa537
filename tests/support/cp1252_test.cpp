#include "support/cp1252.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

bool isUndefined(int byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

TEST(Cp1252, EveryDefinedByteSurvivesTheRoundTrip)
{
    for (int byte = 0; byte < 256; ++byte) {
        const std::string original(1, static_cast<char>(byte));
        const std::string utf8 = cp1252ToUtf8(original);
        if (isUndefined(byte)) {
            EXPECT_EQ(utf8, "?") << byte;
        } else {
            EXPECT_EQ(utf8ToCp1252(utf8), original) << byte;
            EXPECT_EQ(utf8.size() == 1, byte < 0x80) << byte;
        }
    }
}

TEST(Cp1252, HighRangeIsNotLatin1)
{
    EXPECT_EQ(cp1252ToUtf8("\x80\x9C\x85"), "€œ…");
    EXPECT_EQ(cp1252ToUtf8("caf\xE9"), "café");
    EXPECT_EQ(utf8ToCp1252("œuvre – Ÿ ž €"), "\x9Cuvre \x96 \x9F \x9E \x80");
    // The C1 control characters of Unicode have no place in Windows-1252.
    EXPECT_EQ(utf8ToCp1252("\xC2\x80"), "?");
    EXPECT_FALSE(cp1252Byte(0x81));
    EXPECT_EQ(cp1252CodePoint(0x92), char32_t{0x2019});
}

TEST(Cp1252, UnmappableAndMalformedBecomeQuestionMarks)
{
    EXPECT_EQ(utf8ToCp1252("a→b😀c"), "a?b?c");
    EXPECT_EQ(utf8ToCp1252("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(utf8ToCp1252("\xC3"), "?");           // cut off at the end
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "??");      // overlong
    EXPECT_EQ(utf8ToCp1252("\xED\xA0\x80"), "???"); // surrogate
    EXPECT_EQ(utf8ToCp1252("\xE2\x82x"), "??x");    // broken in the middle
}

TEST(Cp1252, Utf8EncodingOfEveryLength)
{
    std::string out;
    appendUtf8(out, U'A');
    appendUtf8(out, U'é');
    appendUtf8(out, U'€');
    appendUtf8(out, U'😀');
    EXPECT_EQ(out, "Aé€😀");
}

} // namespace
} // namespace tagwright
