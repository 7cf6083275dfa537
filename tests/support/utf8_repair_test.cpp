#include "support/utf8_repair.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tagwright {
namespace {

std::string repaired(void (*repairs)(std::string&), std::string line)
{
    repairs(line);
    return line;
}

TEST(Utf8Repair, Latin1FormsBecomeSingleBytes)
{
    EXPECT_EQ(repaired(repairUtf8Latin1, "caf\xC3\xA9 \xC3\x80 \xC3\xBF"), "caf\xE9 \xC0 \xFF");
    EXPECT_EQ(repaired(repairUtf8Latin1, "\xC2\xA9 2024\xC2\xA0x"), "\xA9 2024\xA0x");
    EXPECT_EQ(repaired(repairUtf8Latin1, "a\xC2\x85z\xC2\x9F"), "az"); // C1 controls dropped
}

TEST(Utf8Repair, LeadBytesWithoutContinuationStay)
{
    EXPECT_EQ(repaired(repairUtf8Latin1, "\xC2x\xC3\xC3\xA9\xC2"), "\xC2x\xC3\xE9\xC2");
    EXPECT_EQ(repaired(repairUtf8Latin1, "\xC3\xC0\xC2\xC2\xB0"), "\xC3\xC0\xC2\xB0");
}

TEST(Utf8Repair, Punctuation)
{
    EXPECT_EQ(repaired(repairUtf8Punctuation, "don\xE2\x80\x99t"), "don't");
    EXPECT_EQ(repaired(repairUtf8Punctuation,
                       "\xE2\x80\x98q\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\x90\xE2\x80\x93\xE2\x80\x94"
                       "\xE2\x80\xA6\xE2\x80\xA2\xE2\x80\x86"),
              "'q\"\"----... .  ... ");
    // Other characters and the Latin-1 forms are left to their own repairs.
    EXPECT_EQ(repaired(repairUtf8Punctuation, "\xE2\x82\xAC\xC3\xA9\xE2\x80"),
              "\xE2\x82\xAC\xC3\xA9\xE2\x80");
}

TEST(Utf8Repair, WindowsHighCharactersKeepWordsWhole)
{
    EXPECT_EQ(repaired(repairUtf8Line, "\xC5\x93uvre c\xC5\x93ur"), "\x9Cuvre c\x9Cur");
    EXPECT_EQ(
        repaired(repairUtf8Line, "5 \xE2\x82\xAC, \xE2\x84\xA2, \xC5\xA0, \xC5\xBE, \xC5\xB8"),
        "5 \x80, \x99, \x8A, \x9E, \x9F");
    // Characters without a Windows-1252 byte are left as they are.
    EXPECT_EQ(repaired(repairUtf8Line, "\xE2\x86\x92 \xCE\xB1"), "\xE2\x86\x92 \xCE\xB1");
}

TEST(Utf8Repair, EachSequenceIsReadAsItCame)
{
    // A dropped control character does not hide the character after it.
    EXPECT_EQ(repaired(repairUtf8Line, "\xC2\x93\xC2\xA9"), "\xA9");
    // Å then a no-break space is not Š; Ë then a dagger is not a circumflex accent.
    EXPECT_EQ(repaired(repairUtf8Line, "\xC3\x85\xC2\xA0"), "\xC5\xA0");
    EXPECT_EQ(repaired(repairUtf8Line, "\xC3\x8B\xE2\x80\xA0"), "\xCB\x86");
    // Doubly encoded "é" comes out as the two characters it encodes, wherever it stands.
    EXPECT_EQ(repaired(repairUtf8Line, "\xC3\x83\xC2\xA9 \xC3\xA9"), "\xC3\xA9 \xE9");
}

// The rules read literally, as successive replacements over the whole line.
void replaceAll(std::string& line, std::string_view from, std::string_view to)
{
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = line.find(from, pos)) != std::string::npos;
         pos = hit + from.size())
        out.append(line, pos, hit - pos).append(to);
    line = out.append(line, pos);
}

void literalRepair(std::string& line)
{
    for (const unsigned char lead : {0xC2, 0xC3}) {
        for (std::size_t pos = 0;;) {
            const std::size_t p = line.find(static_cast<char>(lead), pos);
            if (p == std::string::npos || p + 1 == line.size())
                break;
            const auto c = static_cast<unsigned char>(line[p + 1]);
            const std::string pair{static_cast<char>(lead), static_cast<char>(c)};
            if (lead == 0xC2 && c >= 128 && c <= 159)
                replaceAll(line, pair, "");
            else if (lead == 0xC2 && c >= 160 && c <= 191)
                replaceAll(line, pair, std::string(1, static_cast<char>(c)));
            else if (lead == 0xC3 && c >= 128 && c <= 191)
                replaceAll(line, pair, std::string(1, static_cast<char>(c + 64)));
            pos = p + 1;
        }
    }
    const std::pair<const char*, const char*> punctuation[] = {
        {"\xE2\x80\x98", "'"},    {"\xE2\x80\x99", "'"},   {"\xE2\x80\x9C", "\""},
        {"\xE2\x80\x9D", "\""},   {"\xE2\x80\x90", "-"},   {"\xE2\x80\x93", "-"},
        {"\xE2\x80\x94", "--"},   {"\xE2\x80\xA6", "..."}, {"\xE2\x80\xA2", " . "},
        {"\xE2\x80\x86", " ... "}};
    for (const auto& [from, to] : punctuation)
        replaceAll(line, from, to);
    const std::pair<const char*, const char*> high[] = {
        {"\xE2\x82\xAC", "\x80"}, {"\xE2\x80\x9A", "\x82"}, {"\xC6\x92", "\x83"},
        {"\xE2\x80\x9E", "\x84"}, {"\xE2\x80\xA0", "\x86"}, {"\xE2\x80\xA1", "\x87"},
        {"\xCB\x86", "\x88"},     {"\xE2\x80\xB0", "\x89"}, {"\xC5\xA0", "\x8A"},
        {"\xE2\x80\xB9", "\x8B"}, {"\xC5\x92", "\x8C"},     {"\xC5\xBD", "\x8E"},
        {"\xCB\x9C", "\x98"},     {"\xE2\x84\xA2", "\x99"}, {"\xC5\xA1", "\x9A"},
        {"\xE2\x80\xBA", "\x9B"}, {"\xC5\x93", "\x9C"},     {"\xC5\xBE", "\x9E"},
        {"\xC5\xB8", "\x9F"}};
    for (const auto& [from, to] : high)
        replaceAll(line, from, to);
}

// Random lines of well-formed UTF-8 over every character the repairs know and some they do not.
// A character whose repair could join with what follows is followed by a letter, since there
// the literal reading depends on the rest of the line.
std::string randomLine(std::mt19937& random)
{
    std::vector<std::string> tokens = {"a",
                                       "Z",
                                       " ",
                                       "<",
                                       "\xC5\x93",
                                       "\xC6\x92",
                                       "\xCB\x86",
                                       "\xCB\x9C",
                                       "\xE2\x82\xAC",
                                       "\xE2\x84\xA2",
                                       "\xCE\xB1",
                                       "\xE2\x86\x92",
                                       "\xF0\x9F\x98\x80"};
    for (int third = 0x80; third <= 0xBF; ++third)
        tokens.push_back(std::string("\xE2\x80") + static_cast<char>(third));
    for (int c = 0x80; c <= 0xBF; ++c) {
        tokens.push_back(std::string("\xC2") + static_cast<char>(c));
        tokens.push_back(std::string("\xC3") + static_cast<char>(c));
        tokens.push_back(std::string("\xC5") + static_cast<char>(c));
    }
    const auto joins = [](const std::string& t) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(t[k]); };
        return t.size() == 2 && ((b(0) == 0xC2 && b(1) <= 0x9F) ||
                                 (b(0) == 0xC3 && (b(1) == 0x83 || b(1) == 0x85 || b(1) == 0x86 ||
                                                   b(1) == 0x8B || b(1) == 0xA2)));
    };
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
    std::string line;
    const int length = std::uniform_int_distribution<int>(0, 40)(random);
    for (int k = 0; k < length; ++k) {
        const std::string& token = tokens[pick(random)];
        line += token;
        if (joins(token))
            line += 'x';
    }
    return line;
}

// A page without line ends is one line: its repair is given up at a look, also while it is only
// looked through for bytes to repair.
TEST(Utf8Repair, ALongLineIsLookedAtOncePerStride)
{
    std::string plain;
    while (plain.size() < 40 * kBytesPerLook)
        plain += "plain words ";
    for (const std::string& line : {plain, plain + "\xC3\xA9t\xC3\xA9"}) {
        int looks = 0;
        std::string repaired = line;
        EXPECT_TRUE(repairUtf8Line(repaired, [&] { return ++looks > 0; }));
        EXPECT_GE(looks, 39);
        looks = 0;
        repaired = line;
        EXPECT_FALSE(repairUtf8Line(repaired, [&] { return ++looks < 3; }));
        EXPECT_EQ(looks, 3);
        EXPECT_TRUE(repaired == line);
    }
}

TEST(Utf8Repair, SameAsTheLiteralRulesOnWellFormedText)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round) {
        const std::string line = randomLine(random);
        std::string expected = line;
        literalRepair(expected);
        ASSERT_EQ(repaired(repairUtf8Line, line), expected) << testing::PrintToString(line);
    }
}

// Runs of ASCII are passed eight bytes at a time: sequences at every place of a block.
TEST(Utf8Repair, SameAsTheLiteralRulesBetweenRunsOfAscii)
{
    std::mt19937 random(54321);
    for (int round = 0; round < 5000; ++round) {
        std::string line;
        for (int piece = 0; piece < 4; ++piece)
            line += std::string(random() % 20, "ab <"[random() % 4]) + randomLine(random);
        std::string expected = line;
        literalRepair(expected);
        ASSERT_EQ(repaired(repairUtf8Line, line), expected) << testing::PrintToString(line);
    }
}

} // namespace
} // namespace tagwright
