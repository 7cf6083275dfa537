#include "output/existing_tags.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tagwright {
namespace {

class ExistingTagsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tagwright-tags-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    ExistingTags show(const std::string& bytes)
    {
        const auto path = folder / "page.htm";
        std::ofstream(path, std::ios::binary) << bytes;
        return existingTagsOfFile(path.string());
    }

    std::filesystem::path folder;
};

TEST_F(ExistingTagsTest, ShowsTagsInFileOrderWithTheirLetters)
{
    const ExistingTags tags = show("<html><head>\r\n  <title>Home\r\n<META NAME=\"Keywords\" CONTENT=\"a, b\">  \r\n"
                                   "<meta name=\"description\" content=\"d\"><meta name=\"x\">\r\n"
                                   "<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n</head>");
    EXPECT_FALSE(tags.refusal);
    EXPECT_EQ(tags.text, "TITLE: Home\r\n\r\n"
                         "KEYWORDS meta tag: <META NAME=\"Keywords\" CONTENT=\"a, b\">\r\n\r\n"
                         "DESCRIPTION meta tag: <meta name=\"description\" content=\"d\">\r\n\r\n"
                         "QOVA meta tag: <meta name=\"QOVA done\" content=\"2024-03-05\">\r\n\r\n");
}

TEST_F(ExistingTagsTest, EachTagIsShownAloneFromAMinifiedHead)
{
    const ExistingTags tags = show(
        "<meta name=\"viewport\" content=\"w\"><title>The \"keywords\" tag</title>"
        "<meta name=\"keywords\" content=\"a, b\"><meta itemprop=\"description\" content=\"no\">"
        "<meta name=\"description\" content=\"d\"><meta name=\"QOVA done\" content=\"2024-03-05\">"
        "<link>\r\n</head>");
    EXPECT_EQ(tags.text, "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a, b\">\r\n\r\n"
                         "DESCRIPTION meta tag: <meta name=\"description\" content=\"d\">\r\n\r\n"
                         "QOVA meta tag: <meta name=\"QOVA done\" content=\"2024-03-05\">\r\n\r\n");
    EXPECT_EQ(
        show("<meta name=\"viewport\" content=\"w\"><title>The \"keywords\" tag</title>\r\n").text,
        "No keywords meta tag found.");
    // The whole head on the line that ends it; nothing after "</head>" counts.
    EXPECT_EQ(show("<html><head><meta name=\"keywords\" content=\"a\"></head><body>"
                   "<meta name=\"description\" content=\"d\"></body>\n")
                  .text,
              "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a\">\r\n\r\n");
}

TEST_F(ExistingTagsTest, TitleRunsToItsEndTagOrTheEndOfTheLine)
{
    EXPECT_EQ(show("<title>A page</title>\r\n</head>").text, "TITLE: A page\r\n\r\nNo keywords meta tag found.");
}

TEST_F(ExistingTagsTest, TagsAfterTheHeadInCommentsOrUnquotedAreNotFound)
{
    EXPECT_EQ(show("<head>\r\n<!-- old\r\n<meta name=\"keywords\" content=\"x\">\r\n-->\r\n"
                   "<meta name=keywords content=\"y\">\r\n</head>\r\n<meta name=\"keywords\" content=\"z\">")
                  .text,
              "No keywords meta tag found.");
}

TEST_F(ExistingTagsTest, LinesOfAnLfPageEndAtLf)
{
    EXPECT_EQ(
        show("<head>\n<title>Home</title>\n<meta name=\"keywords\" content=\"x\">\n</head>\n").text,
        "TITLE: Home\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\" content=\"x\">\r\n\r\n");
}

TEST_F(ExistingTagsTest, CommentOpenToTheEndIsAFailure)
{
    EXPECT_EQ(show("<head>\r\n<!-- never closed\r\n<meta>\r\n").text, "Error when looking for keywords meta tag.");
    // What was found before stays, and a keywords tag found already needs no error line.
    EXPECT_EQ(show("<meta name=\"keywords\" content=\"x\">\r\n<!--\r\n").text,
              "KEYWORDS meta tag: <meta name=\"keywords\" content=\"x\">\r\n\r\n");
}

TEST_F(ExistingTagsTest, Utf8PageIsShownInTheBoxCharacterSet)
{
    EXPECT_EQ(show("<meta charset=\"UTF-8\">\r\n<title>Caf\xC3\xA9</title>\r\n</head>").text,
              "TITLE: Caf\xE9\r\n\r\nNo keywords meta tag found.");
}

TEST_F(ExistingTagsTest, RefusesAnEmptyPathAndAMissingFile)
{
    EXPECT_EQ(existingTagsOfFile("   ").refusal->text, "Input file not specified.");
    const ExistingTags missing = existingTagsOfFile((folder / "missing.htm").string());
    EXPECT_EQ(missing.refusal->title, "File not found");
    EXPECT_EQ(missing.refusal->text, "Input file not found.");
    EXPECT_EQ(existingTagsOfFile(folder.string()).refusal->text, "Input file not found.");
}

} // namespace
} // namespace tagwright
