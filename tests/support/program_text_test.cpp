#include "support/program_text.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <regex>

namespace tagwright {
namespace {

std::int32_t loadText(const std::string& bytes)
{
    const test::TempFolder folder;
    ProgramTextStore store;
    return store.load(folder.write("qova.dat", bytes));
}

TEST(ProgramText, TheShippedFileReadsWell)
{
    ProgramTextStore store;
    const std::int32_t count = store.load(programTextFilePath(TAGWRIGHT_TEST_DATA_DIR));
    ASSERT_GE(count, 1) << loadFailureMessage(count, "qova.dat");
    for (const std::int32_t number : {1, 2, 13, 14, 15, 21, 22, 23, 24, 25, 29, 30, 31, 32, 310})
        EXPECT_NE(store.text(number), "") << number;
    EXPECT_EQ(store.text(1), "Tagwright");
    EXPECT_TRUE(store.text(14).starts_with("https://"));
    EXPECT_TRUE(store.text(15).starts_with("https://"));
    // The progress label: text 31, the count, then text 32 with "99" replaced by the total.
    const std::string label =
        store.text(31) + " 777 " + std::regex_replace(store.text(32), std::regex("99"), "999");
    EXPECT_EQ(label, "Keywords meta tag inserted in 777 of 999 files.");
}

TEST(ProgramText, FormatAndLookup)
{
    const test::TempFolder folder;
    ProgramTextStore store;
    const std::string path = folder.write("qova.dat", "# comment\r\n"
                                                      "\r\n"
                                                      "1 Tagwright\r\n"
                                                      "  2\t  tab and blanks  \r\n"
                                                      "3 ~\r"
                                                      "4 caf\xE9\n"
                                                      "[1]\r\n"
                                                      "1 Motmeta\r\n"
                                                      "[0]\r\n"
                                                      "310 last");
    EXPECT_EQ(store.load(path), 6);
    EXPECT_EQ(store.text(1), "Tagwright");
    EXPECT_EQ(store.text(2), "tab and blanks");
    EXPECT_EQ(store.text(3), "");
    EXPECT_EQ(store.text(4), "caf\xE9");
    EXPECT_EQ(store.text(1, 1), "Motmeta");
    EXPECT_EQ(store.text(310), "last");
    EXPECT_EQ(store.text(5), "");
    EXPECT_EQ(store.text(2, 1), "");

    // A failing load keeps the texts held so far; a good one replaces them.
    EXPECT_EQ(store.load(folder.path("missing.dat")), -1);
    EXPECT_EQ(store.text(1), "Tagwright");
    EXPECT_EQ(store.load(folder.write("other.dat", "7 seven\r\n")), 1);
    EXPECT_EQ(store.text(1), "");
    EXPECT_EQ(store.text(7), "seven");
}

TEST(ProgramText, LoadFailures)
{
    EXPECT_EQ(loadText(""), -6);
    EXPECT_EQ(loadText("\r\n# only a comment\r\n"), 0);
    EXPECT_EQ(loadText("1 a\r\n2 b\r\n\r\n1 again\r\n"), -1504);
    EXPECT_EQ(loadText("1 a\r\n[1]\r\n1 other language\r\n2 b\r\n[1]\r\n2 c\r\n"), -1506);
    EXPECT_EQ(loadText("1 a\r\n2 " + std::string(1025, 'x') + "\r\n"), -1002);
    EXPECT_EQ(loadText("1 " + std::string(1024, 'x')), 1);
    EXPECT_EQ(loadText("1 a\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n10\r\n"), -510);
    EXPECT_EQ(loadText("1 a\n2   \n"), -502);
    EXPECT_EQ(loadText("one a\r\n"), -5);
    EXPECT_EQ(loadText("1a text\r\n"), -5);
    EXPECT_EQ(loadText("0 zero\r\n"), -5);
    EXPECT_EQ(loadText("40000 big\r\n"), -5);
    EXPECT_EQ(loadText("[x]\r\n1 a\r\n"), -5);

    std::string many;
    for (int n = 1; n <= 500; ++n)
        many += std::to_string(n) + " t\r\n";
    EXPECT_EQ(loadText(many), 500);
    EXPECT_EQ(loadText(many + "# one line more\r\n"), -3);

    const test::TempFolder folder;
    ProgramTextStore store;
    EXPECT_EQ(store.load(folder.path("absent.dat")), -1);
    EXPECT_EQ(store.load(folder.path()), -7); // a folder opens but cannot be read
}

TEST(ProgramText, FailureMessages)
{
    EXPECT_EQ(loadFailureMessage(-1, "/opt/data/qova.dat"),
              "Cannot open file containing program text.\r\n/opt/data/qova.dat");
    EXPECT_EQ(loadFailureMessage(0, ""), "No program text was read.");
    EXPECT_EQ(loadFailureMessage(-2, ""), "Particular memory allocation error.");
    EXPECT_EQ(loadFailureMessage(-3, ""), "Too much program text.");
    EXPECT_EQ(loadFailureMessage(-4, ""), "Text not recovered.");
    EXPECT_EQ(loadFailureMessage(-5, ""), "Error -5");
    EXPECT_EQ(loadFailureMessage(-6, ""), "File is empty.");
    EXPECT_EQ(loadFailureMessage(-7, ""), "Error reading file.");
    EXPECT_EQ(loadFailureMessage(-8, ""), "General memory allocation error.");
    EXPECT_EQ(loadFailureMessage(-20, ""), "Error -20");
    EXPECT_EQ(loadFailureMessage(-500, ""), "Error -500");
    EXPECT_EQ(loadFailureMessage(-510, ""), "Missing string at line 10.");
    EXPECT_EQ(loadFailureMessage(-1000, ""), "Missing string at line 500.");
    EXPECT_EQ(loadFailureMessage(-1003, ""), "String too long at line 3.");
    EXPECT_EQ(loadFailureMessage(-1500, ""), "String too long at line 500.");
    EXPECT_EQ(loadFailureMessage(-1512, ""), "Duplicate in program text at line 12.");
    EXPECT_EQ(loadFailureMessage(7, ""), "");
}

TEST(ProgramText, FilePath)
{
    EXPECT_EQ(programTextFilePath("/usr/share/tagwright"), "/usr/share/tagwright/qova.dat");
    EXPECT_EQ(programTextFilePath("/usr/share/tagwright/"), "/usr/share/tagwright/qova.dat");
}

} // namespace
} // namespace tagwright
