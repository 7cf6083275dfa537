#include "engine/line_preparation.h"
#include "support/strings.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tagwright {
namespace {

// The rules as they read: one replace-all after the other over the whole line.
void replaceAll(std::string& line, const std::string& sought, char marker, bool ignoreCase)
{
    std::string result;
    std::size_t from = 0;
    const std::string lowerSought = lowerCaseAccented(sought);
    while (true) {
        std::size_t at = std::string::npos;
        for (std::size_t i = from; i + sought.size() <= line.size(); ++i) {
            const std::string candidate = line.substr(i, sought.size());
            if (ignoreCase ? lowerCaseAccented(candidate) == lowerSought : candidate == sought) {
                at = i;
                break;
            }
        }
        if (at == std::string::npos)
            break;
        result += line.substr(from, at - from);
        result += marker;
        from = at + sought.size();
    }
    line = result + line.substr(from);
}

void plainMarkTags(std::string& line, bool lowerCaseMode)
{
    for (const auto& [sought, marker] : std::vector<std::pair<std::string, char>>{
             {"&nbsp;", ' '}, {"&#160;", ' '}, {"&quot;", '"'}, {"&laquo;", '"'}, {"&raquo;", '"'}})
        replaceAll(line, sought, marker, false);
    const std::vector<std::pair<std::string, char>> tags = {
        {"b", 11},  {"/b", 12},  {"strong", 11}, {"/strong", 12}, {"i", 16}, {"/i", 17},
        {"em", 16}, {"/em", 17}, {"title", 14},  {"/title", 15},  {"h1", 6}, {"/h1", 7},
        {"h2", 5},  {"/h2", 7},  {"h3", 4},      {"/h3", 7},      {"h4", 3}, {"/h4", 7},
        {"h5", 2},  {"/h5", 7},  {"h6", 1},      {"/h6", 7}};
    for (const auto& [tag, marker] : tags)
        replaceAll(line, "<" + tag + ">", marker, false);
    if (lowerCaseMode)
        return;
    for (const auto& [tag, marker] :
         std::vector<std::pair<std::string, char>>{{"B", 11}, {"/B", 12}, {"I", 16}, {"/I", 17}})
        replaceAll(line, "<" + tag + ">", marker, false);
    for (const auto& [tag, marker] : std::vector<std::pair<std::string, char>>{{"STRONG", 11},
                                                                               {"/STRONG", 12},
                                                                               {"EM", 16},
                                                                               {"/EM", 17},
                                                                               {"TITLE", 14},
                                                                               {"/TITLE", 15}})
        replaceAll(line, "<" + tag + ">", marker, true);
    for (int level = 1; level <= 6; ++level) {
        replaceAll(line, "<H" + std::to_string(level) + ">", static_cast<char>(7 - level), false);
        replaceAll(line, "</H" + std::to_string(level) + ">", 7, false);
    }
}

void plainDecodeEntities(std::string& line)
{
    static const std::vector<std::pair<std::string, char>> table = {
        {"&copy;", '\xA9'},   {"&amp;", '&'},      {"&nbsp;", ' '},
        {"&#160;", ' '},      {"&#8212;", '\x97'}, {"&eacute;", '\xE9'},
        {"&Eacute;", '\xC9'}, {"&szlig;", '\xDF'}, {"&yuml;", '\xFF'}};
    std::size_t a = 0;
    while (true) {
        const std::size_t b = line.find('&', a);
        if (b == std::string::npos)
            return;
        const std::size_t e = line.find(';', b);
        if (e == std::string::npos)
            return;
        const std::string t = line.substr(b, e - b + 1);
        char replacement = 0;
        if (t == "&quot;")
            replacement = '"';
        for (const auto& [name, character] : table)
            if (t == name)
                replacement = character;
        if (replacement != 0) {
            line.replace(b, t.size(), 1, replacement);
            a = b + 1;
        } else {
            a = e + 1;
        }
    }
}

std::string randomLine(std::mt19937& random)
{
    static const std::vector<std::string> pieces = {
        "<",      ">",      "/",      "&",      ";",     " ",     "b",     "B",     "i",
        "I",      "strong", "STRONG", "Strong", "em",    "EM",    "title", "Title", "h1",
        "H2",     "h6",     "H7",     "nbsp",   "#160",  "quot",  "laquo", "raquo", "amp",
        "eacute", "Eacute", "szlig",  "copy",   "#8212", "yuml",  "x",     "word",  "<b>",
        "</i>",   "&amp;",  "&nbsp;", "<h3>",   "</H3>", "&quot;"};
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(1, 30);
    std::string line;
    for (int n = length(random); n > 0; --n)
        line += pieces[piece(random)];
    return line;
}

TEST(LinePreparation, OnePassMatchesTheSuccessiveReplacementsOnRandomLines)
{
    std::mt19937 random(7);
    for (int run = 0; run < 5000; ++run) {
        const std::string line = randomLine(random);
        for (const bool lowerCaseMode : {true, false}) {
            std::string fast = line;
            std::string plain = line;
            markTags(fast, lowerCaseMode);
            plainMarkTags(plain, lowerCaseMode);
            ASSERT_EQ(fast, plain)
                << "markTags of " << line << " lower-case mode " << lowerCaseMode;
        }
        std::string fast = line;
        std::string plain = line;
        decodeEntities(fast);
        plainDecodeEntities(plain);
        ASSERT_EQ(fast, plain) << "decodeEntities of " << line;

        // Both in a row, as a line's preparation makes them: it leaves out the decoding of a
        // line whose marking met no "&".
        std::string prepared = line;
        const std::size_t first = line.find_first_not_of(' ');
        const bool kept = prepareLine(prepared, LinePreparation{false, false, false});
        ASSERT_EQ(kept, first != std::string::npos) << line;
        if (!kept)
            continue;
        plain = line.substr(first, line.find_last_not_of(' ') + 1 - first);
        plainMarkTags(plain, false);
        plainDecodeEntities(plain);
        ASSERT_EQ(prepared, plain + ' ') << "prepareLine of " << line;
    }
}

// A line longer than a stride (a page without line ends is one line) is searched a stride at a
// time, with what it keeps moved before each look: the same result, also where a tag or an entity
// and its ";" lie strides apart or straddle the end of a stride.
TEST(LinePreparation, OnePassMatchesTheSuccessiveReplacementsOnLongLines)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> fillerLength(0, 2 * kBytesPerLook);
    for (int run = 0; run < 3; ++run) {
        std::string line;
        while (line.size() < 6 * kBytesPerLook)
            line += randomLine(random) + std::string(fillerLength(random), 'x');
        for (const bool lowerCaseMode : {true, false}) {
            std::string fast = line;
            std::string plain = line;
            markTags(fast, lowerCaseMode);
            plainMarkTags(plain, lowerCaseMode);
            ASSERT_TRUE(fast == plain) << "markTags, run " << run;
        }
        std::string fast = line;
        std::string plain = line;
        decodeEntities(fast);
        plainDecodeEntities(plain);
        ASSERT_TRUE(fast == plain) << "decodeEntities, run " << run;
    }
}

} // namespace
} // namespace tagwright
