#include "support/strings.h"

#include "support/cp1252.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

// Test texts are written in UTF-8 and handed over in Windows-1252.
std::string w(std::string_view utf8)
{
    return utf8ToCp1252(utf8);
}

TEST(Strings, LeftPart)
{
    EXPECT_EQ(leftPart("abc", 0), "");
    EXPECT_EQ(leftPart("abc", -4), "");
    EXPECT_EQ(leftPart("abc", 2), "ab");
    EXPECT_EQ(leftPart("abc", 3), "abc");
    EXPECT_EQ(leftPart("abc", 99), "abc");
}

TEST(Strings, LowerCaseAccented)
{
    EXPECT_EQ(lowerCaseAccented(w("ÉCOLE")), w("école"));
    EXPECT_EQ(lowerCaseAccented("ABC xyz 123"), "abc xyz 123");
    EXPECT_EQ(lowerCaseAccented(w("STRAßE")), w("straße"));
    EXPECT_EQ(lowerCaseAccented(w("ŠŒŸÆÞ ÀÖØÝ × ÷")), w("šœÿæþ àöøý × ÷"));
    EXPECT_EQ(lowerCaseAccented(w("ŒUVRE")), w("œuvre"));

    // Long texts are lowered eight ASCII bytes at a time: the same as piece by piece, for every
    // byte (but Ž, whose rule looks at the whole text) at every place in a block.
    std::string text;
    for (int round = 0; round < 9; ++round) {
        text += std::string(static_cast<std::size_t>(round), 'Q');
        for (int c = 0; c < 256; ++c)
            if (c != 0x8E)
                text += static_cast<char>(c);
        text += "ASCII ONLY RUN OF CAPITALS @[`{ AZaz";
    }
    const auto inPiecesOfFive = [](std::string_view whole) {
        std::string pieces;
        for (std::size_t at = 0; at < whole.size(); at += 5)
            pieces += lowerCaseAccented(whole.substr(at, 5));
        return pieces;
    };
    EXPECT_EQ(lowerCaseAccented(text), inPiecesOfFive(text));
    // The bytes after the last whole block are lowered as the last eight when those are ASCII.
    for (std::size_t at = 0; at + 24 <= text.size(); at += 7)
        for (std::size_t length = 8; length <= 24; ++length) {
            const std::string_view part = std::string_view(text).substr(at, length);
            EXPECT_EQ(lowerCaseAccented(part), inPiecesOfFive(part)) << at << " " << length;
        }
}

TEST(Strings, CapitalZCaronFollowsTheWholeTextRule)
{
    // Without accented letters the whole text is lower-cased, Ž included; the letter table used
    // for texts with accented letters has no Ž.
    EXPECT_EQ(lowerCaseAccented(w("ŽENA")), w("žena"));
    EXPECT_EQ(lowerCaseAccented(w("ŽENÉ")), w("Žené"));
    // The same rule for texts that lower-casing leaves as they are.
    EXPECT_TRUE(isLowerCaseAccented(w("žena été")));
    EXPECT_TRUE(isLowerCaseAccented(w("Žené")));
    EXPECT_FALSE(isLowerCaseAccented(w("Žena")));
    EXPECT_FALSE(isLowerCaseAccented(w("été Été")));
}

TEST(Strings, HasNoAccentedLetters)
{
    EXPECT_TRUE(hasNoAccentedLetters("plain text"));
    EXPECT_TRUE(hasNoAccentedLetters(w("ÆæŒœÞþßð")));
    EXPECT_FALSE(hasNoAccentedLetters(w("café")));
    EXPECT_FALSE(hasNoAccentedLetters(w("Ÿ")));
}

TEST(Strings, FindNoCase)
{
    EXPECT_EQ(findNoCase(1, "Hello World", "world"), 7u);
    EXPECT_EQ(findNoCase(1, w("Une ÉCOLE"), w("école")), 5u);
    EXPECT_EQ(findNoCase(8, "abcabc abc", "ABC"), 8u);
    EXPECT_EQ(findNoCase(9, "abcabc abc", "ABC"), 0u);
    EXPECT_EQ(findNoCase(0, "abc", "a"), 1u);
    EXPECT_EQ(findNoCase(1, "abc", "x"), 0u);
    EXPECT_EQ(findNoCase(5, "abc", "a"), 0u);
}

TEST(Strings, NextNonBlank)
{
    EXPECT_EQ(nextNonBlank("a   b", 1), 5u);
    EXPECT_EQ(nextNonBlank("a   b", 0), 1u);
    EXPECT_EQ(nextNonBlank("ab  ", 2), 5u);
    EXPECT_EQ(nextNonBlank("ab", 9), 3u);
}

TEST(Strings, FindFirstOfSet)
{
    std::size_t member = 99;
    EXPECT_EQ(findFirstOfSet("a<b>c", 1, "><", member), 2u);
    EXPECT_EQ(member, 2u);
    EXPECT_EQ(findFirstOfSet("a<b>c", 3, "><", member), 4u);
    EXPECT_EQ(member, 1u);
    EXPECT_EQ(findFirstOfSet("a<b>c", 0, "<"), 2u);
    EXPECT_EQ(findFirstOfSet("abc", 1, "xyz", member), 0u);
    EXPECT_EQ(member, 0u);
    EXPECT_EQ(findFirstOfSet("", 1, "a"), 0u);
    EXPECT_EQ(findFirstOfSet("abc", 1, ""), 0u);
    EXPECT_EQ(findFirstOfSet(w("xé"), 1, w("é")), 2u);
}

TEST(Strings, FindFirstNotInSet)
{
    EXPECT_EQ(findFirstNotInSet("  ab", 1, " "), 3u);
    EXPECT_EQ(findFirstNotInSet("ab  ", 3, " "), 0u);
    EXPECT_EQ(findFirstNotInSet("abc", 2, ""), 1u);
    EXPECT_EQ(findFirstNotInSet("", 1, " "), 0u);
    EXPECT_EQ(findFirstNotInSet("xab", 0, "x"), 2u);
}

TEST(Strings, RemovingCharacters)
{
    EXPECT_EQ(removeBlanks("  a b  c  "), "abc");
    EXPECT_EQ(removeCharsOfSet("a,b;;c,", ",;", 1), "abc");
    EXPECT_EQ(removeCharsOfSet(",a,b,", ",", 3), ",ab");
    EXPECT_EQ(removeCharsOfSet(",a,", ",", 0), "a");
    EXPECT_EQ(removeCharsOfSet("abc", ",", 9), "abc");
    std::string text = "1.000.000";
    stripCharsOfSet(text, ".");
    EXPECT_EQ(text, "1000000");
}

TEST(Strings, ReplaceCharsOfSet)
{
    std::string text = "a\tb\nc";
    replaceCharsOfSet(text, "\t\n", "  ");
    EXPECT_EQ(text, "a  b  c");
    replaceCharsOfSet(text, "", "x");
    EXPECT_EQ(text, "a  b  c");
    replaceCharsOfSet(text, " ", "");
    EXPECT_EQ(text, "abc");
}

TEST(Strings, TrimControlChars)
{
    std::string text = "\t\t a\tb \r\n";
    trimControlChars(text);
    EXPECT_EQ(text, "a\tb");
    text = "\x01\r\n \x1F";
    trimControlChars(text);
    EXPECT_EQ(text, "");
    text = w(" é ");
    trimControlChars(text);
    EXPECT_EQ(text, w("é")); // bytes above 127 are not control characters
}

TEST(Strings, KeepSignedDigits)
{
    const auto kept = [](std::string text, bool allowMinus) {
        keepSignedDigits(text, allowMinus);
        return text;
    };
    EXPECT_EQ(kept("+12", false), "+12");
    EXPECT_EQ(kept("12+", false), "12");
    EXPECT_EQ(kept("1,000", false), "1000");
    EXPECT_EQ(kept("12 345", false), "12345");
    EXPECT_EQ(kept("-5", false), "5");
    EXPECT_EQ(kept("-5", true), "-5");
    EXPECT_EQ(kept("--5-", true), "-5");
    EXPECT_EQ(kept("5-3", true), "53");
    EXPECT_EQ(kept("abc", true), "");
}

} // namespace
} // namespace tagwright
