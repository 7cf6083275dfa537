#include "support/files.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace tagwright {
namespace {

namespace fs = std::filesystem;

TEST(Files, FileExistsOnlyForRegularFiles)
{
    const test::TempFolder folder;
    const std::string page = folder.write("page.htm", "x");
    fs::create_symlink(page, folder.path("link.htm"));
    fs::create_symlink(folder.path("gone.htm"), folder.path("dangling.htm"));
    fs::create_directory(folder.path("dir.htm"));
    ASSERT_EQ(mkfifo(folder.path("fifo.htm").c_str(), 0600), 0);

    EXPECT_FALSE(fileExists(""));
    EXPECT_TRUE(fileExists(page));
    EXPECT_TRUE(fileExists(folder.path("link.htm")));
    EXPECT_FALSE(fileExists(folder.path("dangling.htm")));
    EXPECT_FALSE(fileExists(folder.path("dir.htm")));
    EXPECT_FALSE(fileExists(folder.path("fifo.htm")));
    EXPECT_FALSE(fileExists(folder.path("missing.htm")));
}

TEST(Files, IsDirectoryIgnoresBlanksAtTheEnds)
{
    const test::TempFolder folder;
    EXPECT_TRUE(isDirectory("  " + folder.path() + " "));
    EXPECT_FALSE(isDirectory(folder.write("f", "x")));
    EXPECT_FALSE(isDirectory(folder.path("missing")));
    EXPECT_FALSE(isDirectory("  "));
}

TEST(Files, AppDataFilePathMakesItsFolder)
{
    const test::TempFolder folder;
    const std::string path = appDataFilePath("state.txt", "Tagwright", folder.path() + "/");
    EXPECT_EQ(path, folder.path() + "/Tagwright/state.txt");
    EXPECT_TRUE(isDirectory(folder.path("Tagwright")));
    // Without a data folder the home folder stands in.
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("HOME", folder.path().c_str(), 1);
    EXPECT_EQ(appDataFilePath("s", "Other", ""), folder.path() + "/Other/s");
    setenv("HOME", home.c_str(), 1);
    EXPECT_TRUE(isDirectory(folder.path("Other")));
    // A folder that cannot be made is not reported here; writing the file fails later.
    EXPECT_EQ(appDataFilePath("s", "x", folder.path("missing/deeper")),
              folder.path("missing/deeper") + "/x/s");
}

TEST(Files, PathParts)
{
    EXPECT_EQ(fileExtension("/web/Page.HTM", true), "htm");
    EXPECT_EQ(fileExtension("/web/Page.HTM", false), "HTM");
    EXPECT_EQ(fileExtension("/a.b/name", true), "");
    EXPECT_EQ(fileExtension("name.", true), "");
    EXPECT_EQ(fileExtension("archive.tar.gz", true), "gz");
    EXPECT_EQ(fileNamePart("/web/Index.HTM", true), "index.htm");
    EXPECT_EQ(fileNamePart("Index.htm", false), "");
    EXPECT_EQ(folderPart("/Web/Index.htm", true), "/Web/");
    EXPECT_EQ(folderPart("Index.htm", false), "");
    EXPECT_EQ(normalisePathCase("/Web/Index.HTM"), "/Web/Index.HTM");
}

TEST(Files, SizeTexts)
{
    EXPECT_EQ(kilobyteText(0), "0 KB");
    EXPECT_EQ(kilobyteText(1), "1 KB");
    EXPECT_EQ(kilobyteText(1024), "1 KB");
    EXPECT_EQ(kilobyteText(2048), "2 KB");
    EXPECT_EQ(kilobyteText(2049), "3 KB");
    EXPECT_EQ(kilobyteText(1024LL * 1024 * 1024 + 1), "1,048,577 KB");
    EXPECT_EQ(byteCountText(0, false), "0 bytes");
    EXPECT_EQ(byteCountText(999, false), "999 bytes");
    EXPECT_EQ(byteCountText(1234567, true), "1,234,567 Bytes");
    EXPECT_EQ(byteCountText(-1, false), "");
    EXPECT_EQ(sizeText(1025, false), "1,025 bytes (2 KB)");
    EXPECT_EQ(sizeText(45678, false), "45,678 bytes (45 KB)");
    EXPECT_EQ(sizeText(-5, true), "");
}

TEST(Files, MatchFileName)
{
    EXPECT_TRUE(matchFileName("a.htm", "*.HTM", false));
    EXPECT_TRUE(matchFileName("INDEX.HTM", "*.htm", false));
    EXPECT_FALSE(matchFileName("INDEX.HTM", "*.htm", true));
    EXPECT_FALSE(matchFileName("index.html", "*.htm", false));
    EXPECT_FALSE(matchFileName("a", "*.htm", false));
    EXPECT_TRUE(matchFileName("a", "a.*", false));
    EXPECT_FALSE(matchFileName("a.b", "a", false));
    EXPECT_TRUE(matchFileName("a", "*", false));
    EXPECT_FALSE(matchFileName("a.htm", "*", false));
    EXPECT_TRUE(matchFileName("a.htm", "*.*", false));
    EXPECT_TRUE(matchFileName("a", "*.*", false));
    EXPECT_TRUE(matchFileName("page.bak.htm", "*.htm", false));
    EXPECT_TRUE(matchFileName("x.htm", "  ", false));
    EXPECT_TRUE(matchFileName("x.htm", " *.htm ", false));
    EXPECT_FALSE(matchFileName("x*.htm", "*.htm", false));
    EXPECT_FALSE(matchFileName("sub/x.htm", "*.htm", false));
}

TEST(Files, WildcardMatch)
{
    EXPECT_TRUE(wildcardMatch("", "***", true));
    EXPECT_FALSE(wildcardMatch("", "*?", true));
    EXPECT_TRUE(wildcardMatch("abc", "", true));
    EXPECT_TRUE(wildcardMatch("abc", "a?c", true));
    EXPECT_FALSE(wildcardMatch("ab", "a?c", true));
    EXPECT_FALSE(wildcardMatch("abcd", "abc", true));
    EXPECT_TRUE(wildcardMatch("axbyb", "a*b*", true));
    EXPECT_TRUE(wildcardMatch("axb", "a*b", true));
    EXPECT_FALSE(wildcardMatch("axbyb", "a*b", true)); // the star does not backtrack
    EXPECT_TRUE(wildcardMatch("ABC", "a*", false));
    EXPECT_FALSE(wildcardMatch("ABC", "a*", true));
    EXPECT_TRUE(wildcardMatch("\xC9T\xC9", "\xE9t\xE9", false)); // ÉTÉ, été
}

TEST(Files, CountMatchingFiles)
{
    const test::TempFolder folder;
    folder.write("a.htm", "12345");
    folder.write("B.HTM", "123");
    folder.write("c.html", "1");
    folder.write("readme", "1");
    fs::create_directory(folder.path("sub.htm"));
    folder.write("sub.htm/inner.htm", "1");

    std::string error = "old";
    EXPECT_EQ(countMatchingFiles(folder.path(), "*.htm", false, error), 2);
    EXPECT_EQ(error, "");
    EXPECT_EQ(countMatchingFiles(folder.path(), "*.htm", true, error), 1);
    EXPECT_EQ(countMatchingFiles(folder.path(), "*.*", false, error), 4);
    EXPECT_EQ(countMatchingFiles(folder.path(), "*.shtml", false, error), 0);
    std::uint64_t size = 99;
    EXPECT_EQ(countMatchingFiles(folder.path(), "*.htm", false, error, &size), 2);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(countMatchingFiles(folder.path(), "*.*", false, error, &size), 4);
    EXPECT_EQ(size, 10u);

    EXPECT_EQ(countMatchingFiles(folder.path("missing"), "*.htm", false, error, &size), -1);
    EXPECT_EQ(error, "No such file or directory");
}

TEST(Files, ReadTextLines)
{
    const test::TempFolder folder;
    const std::string path =
        folder.write("p.htm", "one\r\n\r\ncaf\xC3\xA9 don\xE2\x80\x99t\r\n\rfour\nstill\r\nfive");
    TextLines all = readTextLines(path, {});
    EXPECT_EQ(all.text, "one\r\n\r\ncaf\xC3\xA9 don\xE2\x80\x99t\r\n\r\nfour\nstill\r\nfive");
    EXPECT_EQ(all.lineCount, 6);

    TextLines some = readTextLines(path, {.skipEmpty = true, .maxLines = 2, .decode = true});
    EXPECT_EQ(some.text, "one\r\ncaf\xE9 don\xE2\x80\x99t");
    EXPECT_EQ(some.lineCount, 2);
    some = readTextLines(path, {.skipEmpty = true, .maxLines = 2, .decode = true, .tidy = true});
    EXPECT_EQ(some.text, "one\r\ncaf\xE9 don't");

    const TextLines missing = readTextLines(folder.path("missing.htm"), {});
    EXPECT_EQ(missing.text, "");
    EXPECT_EQ(missing.lineCount, 0);
    ASSERT_TRUE(missing.failure);
    EXPECT_EQ(missing.failure->error, ENOENT);
    EXPECT_EQ(missing.failure->text, "No such file or directory");
}

TEST(Files, WriteTextToFile)
{
    const test::TempFolder folder;
    const std::string path = folder.path("report.txt");
    EXPECT_EQ(writeTextToFile("first", path, true, false), "");
    EXPECT_EQ(writeTextToFile("second", path, false, true), "");
    EXPECT_EQ(test::readBytes(path), "first\r\n\"second\"\r\n");
    EXPECT_EQ(writeTextToFile("only", path, true, false), "");
    EXPECT_EQ(test::readBytes(path), "only\r\n");
    EXPECT_EQ(writeTextToFile("x", folder.path("missing/report.txt"), true, false),
              "No such file or directory");
    EXPECT_EQ(writeTextToFile("x", folder.path(), true, false), "Is a directory");
}

} // namespace
} // namespace tagwright
