#include "batch/text_hash.h"

#include "batch/text_fingerprint.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tagwright {
namespace {

// The hash as its rule says it, one line after another.
std::uint64_t plainHash(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ULL;
    const auto mix = [&hash](char byte) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    };
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (const auto first = line.find_first_not_of(" \t"); first != std::string_view::npos) {
            for (const char byte : line.substr(first, line.find_last_not_of(" \t") + 1 - first))
                mix(byte);
            mix('\n');
        }
        start = end + 1;
    }
    return hash;
}

std::uint64_t hashInPieces(std::string_view text, const std::vector<std::size_t>& cuts)
{
    LineTextHash hash;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        hash.take(text.substr(from, cut - from));
        from = cut;
    }
    hash.take(text.substr(from));
    return hash.value();
}

TEST(LineTextHashTest, GivesThePlainRulesHashWhereverTheTextIsCut)
{
    // Blanks, line ends of every kind, bytes beyond ASCII and NUL, in lines short and long.
    const std::string alphabet = std::string("ab  \t\t\r\n\xe9\xff<>") + '\0';
    std::mt19937 random(20261208);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % (round % 10 == 0 ? 3000 : 40), ' ');
        for (char& byte : text)
            byte = alphabet[random() % alphabet.size()];
        std::vector<std::size_t> cuts(random() % 5);
        for (std::size_t& cut : cuts)
            cut = text.empty() ? 0 : random() % (text.size() + 1);
        std::sort(cuts.begin(), cuts.end());
        ASSERT_EQ(hashInPieces(text, cuts), plainHash(text)) << ::testing::PrintToString(text);
    }
}

TEST(LineTextHashTest, EveryCutOfLinesEndsAndBlanksGivesTheSameHash)
{
    for (const std::string text :
         {"", " \t ", "\r\n\r\n", "a", " a \t", "a\r\n b", "a \r\n\tb\t\r", "a\n\n \nb \t c \n",
          "\t\tone  two\t \rthree\r\n\r\n  \r\n four \t", "x\r\r\n\ny \t\r\n"}) {
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            for (std::size_t second = cut; second <= text.size(); ++second)
                ASSERT_EQ(hashInPieces(text, {cut, second}), plainHash(text))
                    << ::testing::PrintToString(text) << " cut at " << cut << " and " << second;
        }
    }
}

TEST(LineTextHashTest, APagesFingerprintStaysWhatEarlierRunsWroteInItsMarker)
{
    // The marker that a run of an earlier version wrote into this page carried this value.
    testing::TempFolder folder;
    testing::writeBytes(folder.path("p.htm"),
                        "<html><head><title>T</title><meta name=\"keywords\" content=\"old\">"
                        "<meta name=\"x\">\r\n<meta name=\"QOVA done\" content=\"2020-01-01\">"
                        "<style>p{}</style></head>\r\n<body><p>tomatoes</p>\t \r\n\t  two  words "
                        "\t\r\n</body>\r\n");
    FileSystem fs;
    EXPECT_EQ(textFingerprint(fs, folder.path("p.htm")), "f9f1a70cbd231bd9");
}

} // namespace
} // namespace tagwright
