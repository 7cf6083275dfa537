// A dry run changes nothing on the disk, and its diff is exactly the change of the real run.

#include "../support/marker_text.h"
#include "../support/temp_folder.h"
#include "cli_process.h"
#include "tree_contents.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::readBytes;
using test::TempFolder;
using testing::CliResult;
using testing::runCli;
namespace fs = std::filesystem;

// Every entry of a tree with its bytes and modification time.
std::map<std::string, std::string> snapshot(const std::string& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat status
        {
        };
        ::lstat(entry.path().c_str(), &status);
        entries[fs::relative(entry.path(), root).string()] =
            std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec) +
            (entry.is_regular_file() ? readBytes(entry.path().string()) : std::string());
    }
    return entries;
}

TEST(DryRun, ChangesNothingAndItsDiffGivesTheTreeOfTheRealRun)
{
    TempFolder folder;
    fs::create_directories(folder.path("work/site/sub"));
    folder.write("work/site/index.htm",
                 "<html>\r\n<head>\r\n<title>Garden tomatoes</title>\r\n"
                 "<meta name=\"keywords\" content=\"old\">\r\n<meta charset=\"utf-8\">\r\n"
                 "</head>\r\n<body>\r\n<p>garden tomatoes garden soil</p>\r\n</body>\r\n</html>");
    folder.write("work/site/sub/soil.html", "<html><head><title>Soil</title></head><body>\r\n"
                                            "<p>soil soil worms</p>\r\n</body></html>\r\n");
    folder.write("work/site/headless.htm", "<p>no head here</p>\r\n");
    // Names that patch reads only up to a tab, or only in quotes.
    fs::create_directories(folder.path("work/site/Modern UI"));
    const std::string plainPage = "<html><head><title>Worms</title></head><body>\n"
                                  "<p>worms soil worms</p>\n</body></html>\n";
    for (const char* name : {"Modern UI/Readme.html", "with space.html", "tab\there.htm",
                             "caf\xc3\xa9 \"cr\xc3\xa8me\".htm", "back\\slash.htm"})
        folder.write(std::string("work/site/") + name, plainPage);
    // Met before its target, the link leads the rewrite; patch writes through no link.
    fs::create_symlink("index.htm", folder.path("work/site/a-link.htm"));
    fs::copy(folder.path("work"), folder.path("copy"),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    const auto before = snapshot(folder.path("work"));

    const std::vector<std::string> run = {"batch", "site", "--recursive", "--today", "2024-03-05"};
    std::vector<std::string> dryRun = run;
    dryRun.insert(dryRun.end(), {"--dry-run", "--diff"});
    // Another run writing in the folder does not stop a dry run, which takes no lock.
    const int held = ::open(folder.path("work/site").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const CliResult previewed = runCli(dryRun, folder.path("work"), folder.path("change.diff"));
    ::close(held);
    EXPECT_EQ(previewed.exitStatus, 0) << previewed.err;
    EXPECT_EQ(snapshot(folder.path("work")), before);
    const std::string diff = readBytes(folder.path("change.diff"));
    EXPECT_TRUE(diff.starts_with("--- a/site/index.htm\t")) << diff;
    EXPECT_NE(diff.find("\n--- \"a/site/Modern UI/Readme.html\"\t"), std::string::npos) << diff;
    EXPECT_NE(diff.find("\n+++ b/site/index.htm\t"), std::string::npos) << diff;

    const CliResult single =
        runCli({"insert", "site/sub/soil.html", "--dry-run", "--diff"}, folder.path("work"));
    EXPECT_EQ(single.exitStatus, 0) << single.err;
    EXPECT_TRUE(single.out.starts_with("--- a/site/sub/soil.html\t")) << single.out;
    EXPECT_EQ(snapshot(folder.path("work")), before);

    if (std::system("patch --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "patch is not installed";
    // --batch: a header that names no file fails instead of asking for one.
    const std::string patch =
        "cd '" + folder.path("copy") + "' && patch -p1 -s --batch -i ../change.diff </dev/null";
    ASSERT_EQ(std::system(patch.c_str()), 0);
    EXPECT_EQ(runCli(run, folder.path("work")).exitStatus, 0);
    EXPECT_EQ(test::treeContents(folder.path("copy")), test::treeContents(folder.path("work")));
}

// The lines a diff changes: those that begin with "-" or "+", without the file headers, each
// without the CR of a CR LF page.
std::vector<std::string> changedLines(const std::string& diff)
{
    std::vector<std::string> changed;
    std::size_t start = 0;
    for (std::size_t end = diff.find('\n'); end != std::string::npos;
         start = end + 1, end = diff.find('\n', start)) {
        std::string line = diff.substr(start, end - start);
        if (line.ends_with('\r'))
            line.pop_back();
        if ((line.starts_with('-') && !line.starts_with("--- ")) ||
            (line.starts_with('+') && !line.starts_with("+++ ")))
            changed.push_back(line);
    }
    return changed;
}

TEST(DryRun, TheDiffOfAPageWithATagHoldsOnlyTheTagsLines)
{
    // The head's own empty lines stay, in a template string too; the lines of the old tag and
    // marker are all that goes, in an LF page as in a CR LF page.
    const std::string lines[] = {
        "<html>", "<head>", "", "<title>Garden tomatoes</title>", "",
        "<script>const t = `first", "", "second`;</script>",
        "  <meta name=\"keywords\" content=\"old\">",
        "<meta name=\"QOVA done\" content=\"2020-01-01\">", "", "  </head>",
        "<body><p>garden tomatoes garden soil</p></body>", "</html>"};
    TempFolder folder;
    fs::create_directory(folder.path("site"));
    for (const auto& [name, lineEnd] : {std::pair{"lf.htm", "\n"}, std::pair{"crlf.htm", "\r\n"}}) {
        std::string page;
        for (const std::string& line : lines)
            page += line + lineEnd;
        folder.write(std::string("site/") + name, page);
    }
    const CliResult previewed = runCli(
        {"batch", "site", "--today", "2024-03-05", "--jobs", "1", "--dry-run", "--diff"},
        folder.path());
    EXPECT_EQ(previewed.exitStatus, 0) << previewed.err;
    const std::vector<std::string> changed = changedLines(previewed.out);
    ASSERT_EQ(changed.size(), 8u) << previewed.out;
    for (std::size_t page = 0; page < 2; ++page) {
        EXPECT_EQ(changed[page * 4], "-  <meta name=\"keywords\" content=\"old\">");
        EXPECT_EQ(changed[page * 4 + 1], "-<meta name=\"QOVA done\" content=\"2020-01-01\">");
        EXPECT_TRUE(changed[page * 4 + 2].starts_with("+<meta name=\"keywords\" content=\"garden"))
            << changed[page * 4 + 2];
        EXPECT_EQ(test::withoutFingerprints(changed[page * 4 + 3]),
                  "+<meta name=\"QOVA done\" content=\"2024-03-05\">");
    }
}

} // namespace
} // namespace tagwright
