// The shipped common-word lists: one lower-case word a line in Windows-1252, CR LF line ends,
// at most 2000 distinct words, the combined list being the union of the six languages.

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tagwright {
namespace {

constexpr std::size_t kMaxCommonWords = 2000;

bool isSmallLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 0xDF && c <= 0xF6) || c >= 0xF8;
}

std::set<std::string> wordsOf(const std::string& code)
{
    const std::string path = std::string(TAGWRIGHT_TEST_DATA_DIR) + "/cwds_" + code + ".txt";
    const std::string bytes = test::readBytes(path);
    EXPECT_TRUE(bytes.ends_with("\r\n")) << path;
    std::set<std::string> words;
    for (std::size_t begin = 0, end; (end = bytes.find("\r\n", begin)) != std::string::npos;
         begin = end + 2) {
        const std::string word = bytes.substr(begin, end - begin);
        EXPECT_FALSE(word.empty()) << path;
        for (const char c : word)
            EXPECT_TRUE(isSmallLetter(static_cast<unsigned char>(c))) << path << ": " << word;
        EXPECT_TRUE(words.insert(word).second) << path << " repeats " << word;
    }
    EXPECT_GT(words.size(), 100u) << path;
    EXPECT_LE(words.size(), kMaxCommonWords) << path;
    return words;
}

TEST(DataFiles, CommonWordLists)
{
    std::set<std::string> all;
    for (const std::string code : {"en", "fr", "de", "it", "pt", "es"}) {
        const std::set<std::string> words = wordsOf(code);
        all.insert(words.begin(), words.end());
    }
    EXPECT_EQ(wordsOf("en_de_es_pt_it_fr"), all);
    EXPECT_TRUE(wordsOf("en").contains("the"));
    EXPECT_TRUE(wordsOf("fr").contains("\xE9t\xE9")); // été
    EXPECT_TRUE(wordsOf("de").contains("f\xFCr"));    // für
}

} // namespace
} // namespace tagwright
