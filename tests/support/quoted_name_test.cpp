// Quoted names lead back to their files: the shell reads a quoted name back to the very bytes,
// and a diff header names a file as GNU diff names it, which patch reads back.

#include "support/quoted_name.h"
#include "support/utf8_sequences.h"
#include "temp_folder.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

// What bash writes on its stdout running the script in the folder; none when it cannot run.
std::optional<std::string> bashOutput(const test::TempFolder& folder, const std::string& script)
{
    const std::string file = folder.write("script.sh", script);
    const std::string command = "cd '" + folder.path() + "' && bash script.sh";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return std::nullopt;
    std::string out;
    char buffer[256];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, got);
    return out;
}

// Every byte in octal: how the test hands bash a name whatever it holds.
std::string octalWord(std::string_view name)
{
    std::string word = "$'";
    for (const char c : name) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned char>(c));
        word += octal;
    }
    return word + "'";
}

const std::vector<std::string> kHostileNames = {"new\nline.htm",
                                                "tab\there.htm",
                                                "esc\x1b[31mred.htm",
                                                "bad\xffname.htm",
                                                "c1\xc2\x9bx.htm",
                                                "$'quoted'.htm",
                                                "it's\\ caf\xc3\xa9\r.htm",
                                                "del\x7f.htm",
                                                "9\x01"
                                                "7.htm"};

TEST(QuotedName, PrintableNamesStayAsTheyAreAndTheShellReadsEveryQuotedOneBack)
{
    EXPECT_EQ(shellQuotedName("Modern UI/caf\xc3\xa9 cr\xc3\xa8me.htm"),
              "Modern UI/caf\xc3\xa9 cr\xc3\xa8me.htm");
    EXPECT_EQ(shellQuotedName("new\nline.htm"), "$'new\\nline.htm'");
    EXPECT_EQ(shellQuotedName("it's\\.htm"), "it's\\.htm");
    EXPECT_EQ(shellQuotedName("esc\x1b[31mred.htm"), "$'esc\\033[31mred.htm'");
    const test::TempFolder folder;
    for (const std::string& name : kHostileNames) {
        const std::string quoted = shellQuotedName(name);
        for (const char c : quoted)
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f) << quoted;
        EXPECT_TRUE(quoted.starts_with("$'")) << quoted;
        const auto echoed = bashOutput(folder, "printf %s " + quoted);
        ASSERT_TRUE(echoed) << quoted;
        EXPECT_EQ(*echoed, name) << quoted;
    }
}

TEST(QuotedName, DiffHeadersQuoteNamesAsGnuDiffDoes)
{
    if (std::system("diff --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "diff is not installed";
    const test::TempFolder folder;
    folder.write("other", "b\n");
    // DEL aside: GNU diff leaves it bare, this program writes it in octal; patch reads both.
    std::vector<std::string> names = {"plain.htm", "with space.html", "q\"d.htm", "back\\slash.htm",
                                      "it's.htm"};
    for (const std::string& name : kHostileNames)
        if (name.find('\x7f') == std::string::npos)
            names.push_back(name);
    for (const std::string& name : names) {
        folder.write(name, "a\n");
        const auto diff = bashOutput(folder, "diff -u -- " + octalWord(name) + " other");
        ASSERT_TRUE(diff) << name;
        EXPECT_TRUE(diff->starts_with("--- " + diffQuotedName(name) + "\t")) << *diff;
    }
}

TEST(Utf8Sequences, OnlyTheShortestFormOfACharacterIsWellFormed)
{
    EXPECT_TRUE(isValidUtf8("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8c\xb1"));
    for (const char* invalid : {"\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                                "\xc3", "\xe2\x82", "\xff", "\x80"})
        EXPECT_FALSE(isValidUtf8(invalid)) << invalid;
}

} // namespace
} // namespace tagwright
