#include "analysis_fixture.h"
#include "engine/input_checks.h"

#include <sys/stat.h>

namespace tagwright::test {
namespace {

TextKind kindOf(const std::string& path)
{
    return isTextFile(path, 16384, 0.1, true).kind;
}

bool declaresUtf8(const std::string& path)
{
    return isTextFile(path, 16384, 0.1, true).utf8;
}

TEST(InputChecks, ControlBytesAboveTheShareMakeAFileNotText)
{
    TempFolder folder;
    std::string page(1000, 'a');
    page[119] = '\0';
    page[500] = '\0';
    const TextCheck twoNuls = isTextFile(folder.write("two.htm", page), 16384, 0.1, true);
    EXPECT_EQ(twoNuls.kind, TextKind::NotText);
    EXPECT_EQ(twoNuls.offendingByte, 0);
    EXPECT_EQ(twoNuls.position, 120);

    std::string large(16384, 'a');
    large[10] = '\0';
    EXPECT_EQ(kindOf(folder.write("one.htm", large)), TextKind::Text);

    std::string short3000(3000, 'a');
    for (const int at : {100, 200, 300, 400})
        short3000[static_cast<std::size_t>(at)] = '\0';
    EXPECT_EQ(kindOf(folder.write("four.htm", short3000)), TextKind::NotText);

    // After the first fifth of the maximum, a running share above ten times the limit fails.
    std::string early(10000, 'a');
    for (std::size_t at = 0; at < 40; ++at)
        early[at] = '\x01';
    EXPECT_EQ(isTextFile(folder.write("early.htm", early), 16384, 0.1, true).percent,
              40 * 100.0 / 3277);
}

TEST(InputChecks, KindsTellLineEndsEncodingsAndFailures)
{
    TempFolder folder;
    EXPECT_EQ(kindOf(folder.write("dos.htm", "one\r\ntwo\nthree\r\n")), TextKind::Text);
    EXPECT_EQ(kindOf(folder.write("unix.htm", "one\ntwo\n")), TextKind::UnixText);
    EXPECT_EQ(kindOf(folder.write("mac.htm", "one\rtwo\r")), TextKind::MacintoshText);
    EXPECT_EQ(kindOf(folder.write("short.htm", "abcd")), TextKind::TooShort);
    EXPECT_EQ(kindOf(folder.write("empty.htm", "")), TextKind::Empty);
    EXPECT_EQ(kindOf(folder.write("doc.htm", "{\\rtf1 text}")), TextKind::Rtf);
    EXPECT_EQ(kindOf(folder.write("wide.htm", std::string("\xFF\xFE<\0h\0", 6))),
              TextKind::Utf16Or32);
    EXPECT_EQ(kindOf(folder.write("wide.xml", std::string("<\0?\0x\0", 6))), TextKind::Utf16Or32);
    EXPECT_EQ(kindOf(folder.path("missing.htm")), TextKind::NotFound);
    EXPECT_EQ(kindOf(""), TextKind::EmptyPath);

    const TextCheck bom =
        isTextFile(folder.write("bom.htm", "\xEF\xBB\xBFtext\n"), 16384, 0.1, true);
    EXPECT_EQ(bom.kind, TextKind::Text);
    EXPECT_TRUE(bom.utf8);
    // The charset is looked up only in files with a text extension.
    EXPECT_TRUE(
        isTextFile(folder.write("meta.htm", "<meta charset=\"utf-8\">\r\n"), 16384, 0.1, true)
            .utf8);
    EXPECT_FALSE(
        isTextFile(folder.write("meta.dat", "<meta charset=\"utf-8\">\r\n"), 16384, 0.1, true)
            .utf8);
}

// The charset look reads the top of a page only: ten non-empty lines, and at most 64 KiB of a
// page without line ends, however large the page.
TEST(InputChecks, TheCharsetIsLookedForAtTheTopOfThePage)
{
    TempFolder folder;
    const std::string declaration = "<meta charset=utf-8>";
    const std::string filler(1024, 'a');
    std::string tenLines;
    for (int i = 0; i < 10; ++i)
        tenLines += "\r\n\r\n" + filler;
    EXPECT_TRUE(declaresUtf8(folder.write("tenth.htm", tenLines + declaration)));
    EXPECT_FALSE(declaresUtf8(folder.write("eleventh.htm", tenLines + "\r\n" + declaration)));

    const auto oneLine = [&](std::size_t before) {
        std::string page(before, 'a');
        page += declaration;
        page.resize(3 << 20, 'a');
        return page;
    };
    EXPECT_TRUE(declaresUtf8(folder.write("top.htm", oneLine(64 * 1024 - declaration.size()))));
    EXPECT_FALSE(declaresUtf8(folder.write("late.htm", oneLine(64 * 1024))));
}

TEST(InputChecks, APageThatDeclaresNoCharsetIsUtf8WhenAllItsBytesAre)
{
    TempFolder folder;
    const std::string title = "<title>Caf\xC3\xA9 cr\xC3\xA8me \xC3\xA0 Z\xC3\xBCrich</title>\r\n";
    EXPECT_TRUE(declaresUtf8(folder.write("utf8.htm", "<html><head>" + title)));
    EXPECT_FALSE(declaresUtf8(folder.write("cp1252.htm", "<title>Caf\xE9 cr\xE8me</title>\r\n")));
    EXPECT_FALSE(declaresUtf8(folder.write("ascii.htm", "<title>Cafe creme</title>\r\n")));
    // A declaration decides, whatever the bytes; single quotes declare UTF-8 too.
    EXPECT_FALSE(declaresUtf8(
        folder.write("latin.htm", "<meta charset=\"ISO-8859-1\">\r\n" + title)));
    EXPECT_TRUE(declaresUtf8(folder.write("quoted.htm", "<meta charset='UTF-8'>\r\n<p>x</p>\r\n")));
    // In any letter case, among other attributes, on a line that is the whole top of an LF page.
    EXPECT_TRUE(declaresUtf8(folder.write(
        "mixed.htm", "<html lang=en>\n<meta http-equiv=Content-Type content=\"text/html; "
                     "CharSet=\"Utf-8\"\">\n<p>x</p>\n")));
    EXPECT_FALSE(declaresUtf8(folder.write(
        "spaced.htm", "<meta charset = \"utf-8\" data-charset=\"latin1\">\n" + title)));

    // All its bytes: far beyond the sample, a character split between two blocks of the
    // reading is whole, and a byte that is not UTF-8 at the very end tells.
    const std::string ascii(200 * 1024, 'a');
    const auto at = [&](std::size_t offset, const std::string& bytes) {
        std::string page = ascii;
        return page.replace(offset, bytes.size(), bytes);
    };
    EXPECT_TRUE(declaresUtf8(folder.write("split.htm", at(64 * 1024 - 1, "\xC3\xA9"))));
    EXPECT_FALSE(declaresUtf8(folder.write("late.htm", at(0, "\xC3\xA9") + "\xE9")));
    for (const std::string malformed : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(declaresUtf8(folder.write("bad.htm", "<p>x" + malformed + "</p>")))
            << malformed.size();
    EXPECT_FALSE(declaresUtf8(folder.write("cut.htm", "<p>caf\xC3\xA9\xC3")));
}

TEST(InputChecks, OnlyRegularFilesAreEverRead)
{
    TempFolder folder;
    const std::string fifo = folder.path("pipe.htm");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(kindOf(fifo), TextKind::NotFound);
    EXPECT_EQ(kindOf("/dev/zero"), TextKind::NotFound);
    EXPECT_EQ(kindOf(folder.path()), TextKind::NotFound);
    EXPECT_EQ(validateInputFile(fifo),
              (UserMessage{"File not found", "Input file does not exist.", MessageIcon::Warning}));
}

TEST(InputChecks, InputPathsNeedAnHtmExtensionAndAFile)
{
    TempFolder folder;
    EXPECT_EQ(
        validateInputFile(folder.path("noextension")),
        (UserMessage{"Invalid input", "Invalid input file specification", MessageIcon::Warning}));
    EXPECT_EQ(
        validateInputFile("/tmp/a.b/name"),
        (UserMessage{"Invalid input", "Invalid input file specification", MessageIcon::Warning}));
    EXPECT_EQ(
        validateInputFile(folder.write("notes.txt", "text")),
        (UserMessage{"Invalid input", "Input file name must have an extension containing 'htm'.",
                     MessageIcon::None}));
    EXPECT_EQ(validateInputFile(folder.write("page.HTM", "text")), std::nullopt);
    EXPECT_EQ(validateInputFile(folder.write("page.xhtml", "text")), std::nullopt);
}

TEST(InputChecks, LineEndingWarnings)
{
    EXPECT_EQ(
        showLineEndingWarning(TextKind::UnixText, "/data/list.txt", true),
        (UserMessage{"Warning", "This file has Unix/Linux line endings.\r\n\r\n/data/list.txt",
                     MessageIcon::None}));
    EXPECT_EQ(showLineEndingWarning(TextKind::MacintoshText, "", false),
              (UserMessage{"Warning", "This file has Macintosh line endings.\r\n\r\n",
                           MessageIcon::Warning}));
    EXPECT_EQ(showLineEndingWarning(TextKind::Rtf, "x", false).text,
              "This file has line endings of an unknown type.\r\n\r\nx");
    EXPECT_EQ(showLineEndingWarning(TextKind::Empty, "x", true),
              (UserMessage{"Warning", "This is a zero-length file.", MessageIcon::Warning}));
}

} // namespace
} // namespace tagwright::test
