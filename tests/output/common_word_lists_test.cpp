#include "output/common_word_lists.h"

#include "../support/temp_folder.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::TempFolder;

struct ReadList
{
    CommonWordList list;
    std::vector<UserMessage> warnings;
    std::string failure;
};

ReadList readList(const TempFolder& folder, LanguageIndex language)
{
    ReadList read;
    CommonWordFileReading reading = readCommonWordFile(folder.path(), language, read.list);
    read.warnings = std::move(reading.warnings);
    read.failure = std::move(reading.failure);
    return read;
}

std::vector<std::string> wordsOf(const std::string& fileName, const std::string& content,
                                 LanguageIndex language)
{
    const TempFolder folder;
    folder.write(fileName, content);
    const ReadList read = readList(folder, language);
    EXPECT_TRUE(read.warnings.empty());
    EXPECT_EQ(read.failure, "");
    return read.list.words();
}

TEST(CommonWordLists, AnyLayoutGivesTheSortedLowerCaseDistinctWords)
{
    const std::vector<std::string> oneAPerLine =
        wordsOf("cwds_en.txt", "about\r\nbetween\r\nthe\r\n\xE9t\xE9\r\n", LanguageIndex::English);
    EXPECT_EQ(oneAPerLine, (std::vector<std::string>{"about", "between", "the", "\xE9t\xE9"}));
    EXPECT_EQ(wordsOf("cwds_en.txt", "  The, BETWEEN;about\r\n\r\n\xC9T\xC9 the\tabout\r\n",
                      LanguageIndex::English),
              oneAPerLine);
}

TEST(CommonWordLists, DigitsAndHyphensStartNoWordAndFrenchKeepsItsJoinedWords)
{
    const std::string text = "aujourd'hui peut-\xEAtre 1er -avec\r\n";
    EXPECT_EQ(wordsOf("cwds_fr.txt", text, LanguageIndex::French),
              (std::vector<std::string>{"aujourd'hui", "avec", "er", "peut-\xEAtre"}));
    EXPECT_EQ(wordsOf("cwds_de.txt", text, LanguageIndex::German),
              (std::vector<std::string>{"aujourd", "avec", "er", "hui", "peut", "\xEAtre"}));
}

TEST(CommonWordLists, TwoThousandWordsFitAndOneMoreIsTooMany)
{
    // Distinct words of three letters from a to t: 20 x 20 x 5 = 2000.
    std::string words;
    for (char a = 'a'; a < 'a' + 20; ++a)
        for (char b = 'a'; b < 'a' + 20; ++b)
            for (char c = 'a'; c < 'a' + 5; ++c)
                words += std::string{a, b, c} + " " + std::string{a, b, c} + "\r\n";
    const TempFolder folder;
    const std::string path = folder.write("cwds_it.txt", words);
    const ReadList full = readList(folder, LanguageIndex::Italian);
    EXPECT_TRUE(full.warnings.empty());
    EXPECT_EQ(full.list.count(), 2000);

    folder.write("cwds_it.txt", words + "zzz\r\n");
    const ReadList tooMany = readList(folder, LanguageIndex::Italian);
    EXPECT_EQ(tooMany.list.count(), 2000);
    EXPECT_FALSE(tooMany.list.contains("zzz"));
    ASSERT_EQ(tooMany.warnings.size(), 1u);
    EXPECT_EQ(tooMany.warnings[0].title, "Too many common words");
    EXPECT_EQ(tooMany.warnings[0].text,
              "The file " + path + " contains too many common words in Italian.");
}

TEST(CommonWordLists, UnixLineEndsAreReadAfterAWarning)
{
    const TempFolder folder;
    folder.write("cwds_en.txt", "the\nand\nof\n");
    const ReadList read = readList(folder, LanguageIndex::English);
    EXPECT_EQ(read.list.words(), (std::vector<std::string>{"and", "of", "the"}));
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings[0].title, "Warning");
    EXPECT_EQ(read.warnings[0].text.find("This file has Unix/Linux line endings."), 0u);
}

TEST(CommonWordLists, AUtf8ListGivesTheWordsThatTheAnalysisCompares)
{
    EXPECT_EQ(wordsOf("cwds_fr.txt", "\xC3\xA9t\xC3\xA9\n\xC5\x92uvre d\xC3\xA9j\xC3\xA0\n",
                      LanguageIndex::French),
              (std::vector<std::string>{"d\xE9j\xE0", "\x9Cuvre", "\xE9t\xE9"}));
}

TEST(CommonWordLists, MissingEmptyBinaryOrWordlessFilesLeaveTheListUnavailableSayingWhy)
{
    const TempFolder folder;
    folder.write("cwds_fr.txt", "");
    folder.write("cwds_de.txt", std::string("der\0\0\0die\0\0\0das\0\0\0", 18));
    folder.write("cwds_it.txt", "1 2 3\r\n");
    std::filesystem::create_directory(folder.path("cwds_es.txt"));
    for (const auto& [language, failure] :
         {std::pair{LanguageIndex::English, "No such file or directory"},
          std::pair{LanguageIndex::French, "This is a zero-length file."},
          std::pair{LanguageIndex::German, "This file is not a text file."},
          std::pair{LanguageIndex::Italian, "The file holds no words."},
          std::pair{LanguageIndex::Spanish, "Is a directory"}}) {
        const ReadList read = readList(folder, language);
        EXPECT_FALSE(read.list.available());
        EXPECT_TRUE(read.warnings.empty());
        EXPECT_EQ(read.failure, failure);
    }
    const UserMessage message = commonWordsNotAvailable(folder.path(), LanguageIndex::AllLanguages);
    EXPECT_EQ(message.title, "Common words not available");
    EXPECT_EQ(message.text, "Common words in another language could not be read from file\r\n" +
                                folder.path() + "/cwds_en_de_es_pt_it_fr.txt.");
}

TEST(CommonWordLists, LoadingReadsAllSevenListsAndReportsProgressAndWarnings)
{
    const TempFolder folder;
    folder.write("cwds_en.txt", "the\r\n");
    folder.write("cwds_pt.txt", "de\nque\n");
    folder.write("cwds_en_de_es_pt_it_fr.txt", "the\r\nder\r\nque\r\n");
    CommonWords lists;
    std::string progress;
    const auto warnings =
        loadCommonWordLists(folder.path(), lists, [&](std::string_view line) { progress += line; });
    EXPECT_EQ(progress, "Reading common words in English\r\nReading common words in French\r\n"
                        "Reading common words in German\r\nReading common words in Italian\r\n"
                        "Reading common words in Portuguese\r\nReading common words in Spanish\r\n"
                        "Reading common words in all six languages\r\n");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].text.find("Unix/Linux"), std::string::npos);
    EXPECT_TRUE(lists.isCommonWord("The", LanguageIndex::English));
    EXPECT_FALSE(lists.isCommonWord("th\xE9", LanguageIndex::English));
    EXPECT_FALSE(lists.isCommonWord("the", LanguageIndex::French));
    EXPECT_TRUE(lists.isCommonWord("que", LanguageIndex::Portuguese));
    EXPECT_TRUE(lists.isCommonWord("DER", LanguageIndex::AllLanguages));
}

TEST(CommonWordLists, ShippedListsLoadWithoutWarnings)
{
    CommonWords lists;
    EXPECT_TRUE(loadCommonWordLists(TAGWRIGHT_TEST_DATA_DIR, lists).empty());
    for (int i = 0; i < kLanguageCount; ++i)
        EXPECT_TRUE(lists.list(static_cast<LanguageIndex>(i)).available()) << i;
}

} // namespace
} // namespace tagwright
