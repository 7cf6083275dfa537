#include "analysis_fixture.h"
#include "engine/line_preparation.h"

namespace tagwright::test {
namespace {

std::string marked(std::string line, bool lowerCaseMode)
{
    markTags(line, lowerCaseMode);
    return line;
}

std::string decoded(std::string line)
{
    decodeEntities(line);
    return line;
}

TEST(LinePreparation, SimpleTagsBecomeMarkersOnlyWhenWrittenExactly)
{
    EXPECT_EQ(marked("<b>x</b><strong>y</strong><i>z</i><em>w</em>", true),
              "\x0Bx\x0C\x0By\x0C\x10z\x11\x10w\x11");
    EXPECT_EQ(marked("<title>t</title><h1>a</h1><h6>b</h6>", true), "\x0Et\x0F\x06"
                                                                    "a\x07\x01"
                                                                    "b\x07");
    EXPECT_EQ(marked("<b class=x>a</b ><h1 id=y>b<h1 >", true), "<b class=x>a</b ><h1 id=y>b<h1 >");
    // Kept case: upper-case forms are marked as well; lower-cased lines have none left.
    EXPECT_EQ(marked("<B>a</B><Strong>b</STRONG><TITLE>c</Title><H2>d</H2>", false), "\x0B"
                                                                                     "a\x0C\x0B"
                                                                                     "b\x0C\x0E"
                                                                                     "c\x0F\x05"
                                                                                     "d\x07");
    EXPECT_EQ(marked("<B>a</B>", true), "<B>a</B>");
    EXPECT_EQ(marked("a&nbsp;b&#160;c&quot;d&laquo;e&raquo;f&NBSP;", true), "a b c\"d\"e\"f&NBSP;");
}

TEST(LinePreparation, EntitiesOfTheTableAreDecodedOnceAndExactly)
{
    EXPECT_EQ(decoded("&eacute;t&eacute;"), "\xE9t\xE9");
    EXPECT_EQ(decoded("&copy; &amp; &#8212; &szlig; &THORN; &yuml;"), "\xA9 & \x97 \xDF \xDE \xFF");
    EXPECT_EQ(decoded("&amp;lt; &amp;amp; &AMP;"), "&lt; &amp; &AMP;");
    // An unknown entity is passed over up to its ";", whatever stands inside.
    EXPECT_EQ(decoded("&foo &amp; bar"), "&foo &amp; bar");
    EXPECT_EQ(decoded("Fish &amp; chips &lt;"), "Fish & chips &lt;");
}

TEST(LinePreparation, LinesAreTrimmedRepairedLowerCasedAndEndWithABlank)
{
    std::string line = "   ";
    EXPECT_FALSE(prepareLine(line, {}));

    line = "  <B>Caf\xC3\xA9\xE2\x80\x99s</B>\n&Eacute;T\xC3\x89  ";
    ASSERT_TRUE(
        prepareLine(line, LinePreparation{.unixFile = true, .utf8 = true, .lowerCaseMode = true}));
    EXPECT_EQ(line, "\x0B"
                    "caf\xE9's\x0C \xE9t\xE9 ");

    line = "<B>&AMP;&Eacute;</B>";
    ASSERT_TRUE(prepareLine(line, LinePreparation{.lowerCaseMode = false}));
    EXPECT_EQ(line, "\x0B&AMP;\xC9\x0C ");
}

TEST(LinePreparation, ALongLineIsPreparedAsBeforeAndCanBeGivenUpWhilePrepared)
{
    // A page without line ends is one line: while it is prepared, Stop is looked at in the
    // steps' passes, and a Stop there gives the line up. Short lines are never asked about.
    std::string piece = "<B>Caf&eacute;</B> &nbsp;<H2>Pr\xC3\x89s</H2> &foo; a&amp;b ";
    std::string longLine;
    while (longLine.size() < 40 * kBytesPerLook)
        longLine += piece;
    const LinePreparation how{.utf8 = true, .lowerCaseMode = true};

    int looks = 0;
    const KeepPreparing counting = [&looks] { return ++looks > 0; };
    std::string line = piece;
    std::string expected = piece;
    ASSERT_TRUE(prepareLine(line, how, counting));
    ASSERT_TRUE(prepareLine(expected, how));
    EXPECT_EQ(line, expected);
    EXPECT_EQ(looks, 0);

    line = expected = longLine;
    ASSERT_TRUE(prepareLine(line, how, counting));
    ASSERT_TRUE(prepareLine(expected, how));
    EXPECT_EQ(line, expected);
    EXPECT_GE(looks, 40); // at least once per stride of the line, not only between the steps

    // A UTF-8 line without tags or entities: the looks come from the repair.
    line.clear();
    while (line.size() < 40 * kBytesPerLook)
        line += "\xC3\xA9t\xC3\xA9 ";
    looks = 0;
    ASSERT_TRUE(prepareLine(line, how, counting));
    EXPECT_GE(looks, 40);

    // Blanks around the text are dropped a stride at a time too; an indented line is moved down.
    const std::string blanks(40 * kBytesPerLook, ' ');
    line = blanks + "word" + blanks;
    looks = 0;
    ASSERT_TRUE(prepareLine(line, how, counting));
    EXPECT_EQ(line, "word ");
    EXPECT_GE(looks, 70);
    line = "   " + longLine;
    expected = longLine;
    ASSERT_TRUE(prepareLine(line, how, counting));
    ASSERT_TRUE(prepareLine(expected, how));
    EXPECT_TRUE(line == expected);

    // Plain words, their case kept: the looks come from the searches for tags and entities,
    // which go a stride at a time, and from turning a Unix page's LF characters into blanks.
    for (const bool unixFile : {false, true}) {
        line.clear();
        while (line.size() < 40 * kBytesPerLook)
            line += "plain words\n";
        looks = 0;
        ASSERT_TRUE(prepareLine(line, {.unixFile = unixFile, .lowerCaseMode = false}, counting));
        EXPECT_GE(looks, 40) << unixFile;
    }

    // A line of capitals without tags or entities: the looks come from the lower-casing. Ž is
    // lowered only in a text without other accented capitals, which the line decides as a whole:
    // here by its last letter, far beyond the first pieces.
    const LinePreparation lowering{.lowerCaseMode = true};
    const std::string capitalZCaron = "\x8E", smallZCaron = "\x9E";
    std::string capitals;
    while (capitals.size() < 40 * kBytesPerLook)
        capitals += capitalZCaron + "AR ";
    for (const bool accentedAtEnd : {false, true}) {
        const std::string lowered = (accentedAtEnd ? capitalZCaron : smallZCaron) + "ar ";
        std::string expected;
        while (expected.size() < capitals.size())
            expected += lowered;
        expected += accentedAtEnd ? "\xE9t\xE9 " : lowered;
        line = capitals + (accentedAtEnd ? "\xC9T\xC9" : capitalZCaron + "AR");
        looks = 0;
        ASSERT_TRUE(prepareLine(line, lowering, counting));
        EXPECT_TRUE(line == expected) << accentedAtEnd; // not printed: 640 KiB
        EXPECT_GE(looks, 40);
    }
    for (const int stopAt : {1, 2, 3, 10}) {
        int asked = 0;
        line = capitals;
        EXPECT_FALSE(prepareLine(line, lowering, [&] { return ++asked < stopAt; })) << stopAt;
        EXPECT_EQ(asked, stopAt);
    }

    for (const int stopAt : {1, 2, 3, 4, 10, 60}) {
        int asked = 0;
        line = longLine;
        EXPECT_FALSE(prepareLine(line, how, [&] { return ++asked < stopAt; })) << stopAt;
        EXPECT_EQ(asked, stopAt);
    }
}

using DocumentTest = AnalysisTest;

TEST_F(DocumentTest, Utf8PagesAreRepairedWhateverTheCaseOfTheirCharset)
{
    const std::string body =
        "\r\n<p>L'\xC5\x93uvre \xC3\xA9t\xC3\xA9 don\xE2\x80\x99t stop</p>\r\n";
    for (const std::string charset :
         {"charset=utf-8", "charset=\"UTF-8\"", "CHARSET=Utf-8", "charset=UTF-8"}) {
        ASSERT_EQ(analyse("<meta http-equiv=\"Content-Type\" content=\"text/html; " + charset +
                          "\">" + body)
                      .result,
                  0)
            << charset;
        EXPECT_EQ(words(), (std::vector<std::string>{"\x9Cuvre", "\xE9t\xE9", "stop"})) << charset;
    }
    // Without a declaration the bytes decide; another charset makes them Windows-1252 characters.
    ASSERT_EQ(analyse("<p>caf\xC3\xA9 stop</p>\r\n").result, 0);
    EXPECT_EQ(words(), (std::vector<std::string>{"caf\xE9", "stop"}));
    ASSERT_EQ(analyse("<meta charset=\"windows-1252\">\r\n<p>caf\xC3\xA9 stop</p>\r\n").result, 0);
    EXPECT_EQ(words(), (std::vector<std::string>{"caf\xE3", "stop"}));
    // The byte-order mark makes a page UTF-8 too.
    ASSERT_EQ(analyse("\xEF\xBB\xBF<p>caf\xC3\xA9 stop</p>\r\n").result, 0);
    EXPECT_EQ(words(), (std::vector<std::string>{"caf\xE9", "stop"}));
}

} // namespace
} // namespace tagwright::test
