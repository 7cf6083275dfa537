#include "support/line_reader.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace tagwright {
namespace {

std::vector<std::string> linesOf(const std::string& path, std::size_t bufferSize,
                                 LineEnds ends = LineEnds::CarriageReturn)
{
    LineReader reader(path, ends, bufferSize);
    std::vector<std::string> lines;
    std::string line;
    while (reader.readLine(line))
        lines.push_back(line);
    EXPECT_EQ(reader.errorNumber(), 0) << reader.errorText();
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, LineEndsAtCrOrCrLfButNotAtLoneLf)
{
    const test::TempFolder folder;
    const std::string path = folder.write("a.htm", "one\r\ntwo\rthree\nstill three\r\n\r\rlast");
    const Lines expected = {"one", "two", "three\nstill three", "", "", "last"};
    // Every buffer size, so that a CR LF split between two reads and lines longer than the
    // buffer are met.
    for (const std::size_t bufferSize : {1, 2, 3, 5, 7, 64})
        EXPECT_EQ(linesOf(path, bufferSize), expected) << bufferSize;
}

TEST(LineReader, EndOfFile)
{
    const test::TempFolder folder;
    EXPECT_EQ(linesOf(folder.write("empty", ""), 4), Lines{});
    EXPECT_EQ(linesOf(folder.write("cr", "a\r"), 4), Lines{"a"});
    EXPECT_EQ(linesOf(folder.write("crlf", "a\r\n"), 2), Lines{"a"});
    EXPECT_EQ(linesOf(folder.write("lf", "a\n"), 4), Lines{"a\n"});
    EXPECT_EQ(linesOf(folder.write("crcr", "\r\r"), 4), (Lines{"", ""}));
    EXPECT_EQ(linesOf(folder.write("crlfcrlf", "\r\n\r\n"), 1), (Lines{"", ""}));
}

TEST(LineReader, KeepsEveryByte)
{
    const test::TempFolder folder;
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r')
            bytes += static_cast<char>(b);
    EXPECT_EQ(linesOf(folder.write("bytes", bytes + "\r\n" + bytes), 100), (Lines{bytes, bytes}));
}

TEST(LineReader, LongLines)
{
    const test::TempFolder folder;
    const std::string longLine(1'000'000, 'x');
    EXPECT_EQ(linesOf(folder.write("long", longLine + "\r\nshort\r\n" + longLine), 4096),
              (Lines{longLine, "short", longLine}));
}

TEST(LineReader, ReadingCanBeGivenUpInTheMiddleOfALine)
{
    const test::TempFolder folder;
    LineReader reader(folder.write("long", std::string(100'000, 'x') + "\r\nnext\r\n"),
                      LineEnds::CarriageReturn, 4096);
    int reads = 0;
    reader.setKeepReading([&reads] { return ++reads < 3; });
    std::string line;
    EXPECT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, std::string(2 * 4096, 'x'));
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(reader.errorNumber(), 0);
}

TEST(LineReader, AnLfPageEndsItsLinesAtLfAndKeepsItsCarriageReturns)
{
    const test::TempFolder folder;
    // The first 16,384 bytes decide: an LF and no CR make an LF page, whatever comes later.
    const std::string sample = "one\n" + std::string(kLineEndSampleBytes - 4, 'x');
    EXPECT_EQ(linesOf(folder.write("lf", sample + "\r\nthree\rstill\n"), 4096, LineEnds::OfPage),
              (Lines{"one", std::string(kLineEndSampleBytes - 4, 'x') + "\r", "three\rstill"}));
    EXPECT_EQ(linesOf(folder.write("late-cr", sample + "x\rlast"), 1, LineEnds::OfPage),
              (Lines{"one", std::string(kLineEndSampleBytes - 3, 'x') + "\rlast"}));
    // A CR in the sample, or no line end at all, and the page is read by the usual rule.
    EXPECT_EQ(linesOf(folder.write("mixed", "a\nb\r\nc"), 4096, LineEnds::OfPage),
              (Lines{"a\nb", "c"}));
    EXPECT_EQ(linesOf(folder.write("one-line", "a\rb"), 4096, LineEnds::OfPage), (Lines{"a", "b"}));
    // The program's own files keep the usual rule.
    EXPECT_EQ(linesOf(folder.path("lf"), 4096).front(), sample);
}

TEST(LineReader, CopiesTheRestAsItStands)
{
    const test::TempFolder folder;
    for (const std::string bytes :
         {"head\r\nbody\rmore\n", "head\rbody", "head\nbody\r\n", "head"}) {
        LineReader reader(folder.write("page", bytes), LineEnds::OfPage);
        std::string line;
        ASSERT_TRUE(reader.readLine(line));
        std::string rest;
        EXPECT_TRUE(reader.copyRest([&rest](std::string_view part) { rest += part; }));
        EXPECT_EQ(line + rest, bytes);
    }
}

TEST(LineReader, ReportsFailures)
{
    const test::TempFolder folder;
    LineReader missing(folder.path("missing.htm"));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.errorNumber(), ENOENT);
    EXPECT_EQ(missing.errorText(), "No such file or directory");
    std::string line = "old";
    EXPECT_FALSE(missing.readLine(line));
    EXPECT_EQ(line, "");

    LineReader folderAsFile(folder.path());
    EXPECT_FALSE(folderAsFile.readLine(line));
    EXPECT_EQ(folderAsFile.errorNumber(), EISDIR);
}

} // namespace
} // namespace tagwright
