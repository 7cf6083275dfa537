// The command line where the machine works against it: whatever fails ends with the system's
// message on stderr and a non-zero exit, never a false success or a partial file.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <utility>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::TempFolder;
using testing::CliResult;
using testing::runCli;

const std::string kPage = "<html><head><title>Garden</title></head><body>\r\n"
                          "<p>garden tomatoes garden tomatoes</p>\r\n</body></html>\r\n";

TEST(HostileCli, APageThatCannotBeReadFailsWithItsErrorNumber)
{
    TempFolder folder;
    const std::string page = folder.write("private.htm", kPage);
    ASSERT_EQ(::chmod(page.c_str(), 0), 0);
    for (const char* command : {"list", "generate"}) {
        const CliResult result = runCli({command, "private.htm"}, folder.path(), {}, true);
        EXPECT_EQ(result.exitStatus, 1) << command;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_EQ(result.err,
                  "tagwright-cli: private.htm: An error of an unknown kind has occurred: 70: "
                  "Permission denied\n")
            << command;
    }
}

TEST(HostileCli, AnInsertionThatCannotBeWrittenSaysWhy)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path("closed"));
    const std::string page = folder.write("closed/page.htm", kPage);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(page.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder.path("closed").c_str(), 0555), 0);
    const CliResult result = runCli({"insert", "closed/page.htm"}, folder.path(), {}, true);
    ::chmod(folder.path("closed").c_str(), 0777);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(
        result.err.starts_with("tagwright-cli: closed/page.htm: An unknown error has occurred: "))
        << result.err;
    EXPECT_EQ(test::readBytes(page), kPage);
}

TEST(HostileCli, AFolderThatCannotBeReadIsAFailureOfEveryWalk)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.path("site/closed"));
    folder.write("site/a.htm", kPage);
    folder.write("site/closed/b.htm", kPage);
    if (::geteuid() == 0) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path()))
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(folder.path().c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chmod(folder.path("site/closed").c_str(), 0), 0);
    // batch tags a.htm, so that check finds nothing else to fail and restore no pair.
    for (const char* command : {"batch", "check", "restore"}) {
        SCOPED_TRACE(command);
        const CliResult result = runCli({command, "site", "--recursive"}, folder.path(), {}, true);
        EXPECT_EQ(result.exitStatus, 1) << result.out;
        EXPECT_NE(result.err.find("site/closed: Permission denied\n"), std::string::npos)
            << result.err;
    }
    ::chmod(folder.path("site/closed").c_str(), 0755);
    EXPECT_EQ(test::readBytes(folder.path("site/closed/b.htm")), kPage);
}

TEST(HostileCli, OperandsBeginningWithADashAreReachedAfterDoubleDash)
{
    TempFolder folder;
    folder.write("-page.htm", kPage);
    std::filesystem::create_directory(folder.path("-site"));
    folder.write("-site/-index.htm", kPage);
    EXPECT_EQ(runCli({"show", "--", "-page.htm"}, folder.path()).exitStatus, 0);
    const CliResult inserted = runCli({"insert", "--today", "2024-03-05", "--", "-page.htm"}, folder.path());
    EXPECT_EQ(inserted.exitStatus, 0) << inserted.err;
    EXPECT_NE(test::readBytes(folder.path("-page.htm")).find("<meta name=\"keywords\""), std::string::npos);
    const CliResult batch = runCli({"batch", "--today", "2024-03-05", "--", "-site"}, folder.path());
    EXPECT_EQ(batch.exitStatus, 0) << batch.err;
    EXPECT_NE(test::readBytes(folder.path("-site/-index.htm")).find("<meta name=\"keywords\""), std::string::npos);
    // Without "--" the name is an unknown option: a usage error that touches nothing.
    EXPECT_EQ(runCli({"insert", "-page.htm"}, folder.path()).exitStatus, 2);
}

TEST(HostileCli, AReportThatCannotBeSavedLeavesNoFileBehind)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path("site"));
    folder.write("site/index.htm", kPage);
    std::filesystem::create_directory(folder.path("taken"));
    std::filesystem::create_directory(folder.path("closed"));
    ASSERT_EQ(::chmod(folder.path("closed").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0); // the ordinary user writes the pages
    ASSERT_EQ(::chmod(folder.path("site").c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.path("site/index.htm").c_str(), 0666), 0);

    for (const char* report : {"missing/report.txt", "taken", "closed/report.txt"}) {
        const CliResult result =
            runCli({"batch", "site", "--today", "2024-03-05", "--report", report}, folder.path(), {}, true);
        EXPECT_EQ(result.exitStatus, 1) << report;
        EXPECT_NE(result.err, "") << report;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path("missing")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path("taken")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path("closed")));

    // A run that cannot start writes no report at all.
    const CliResult noFolder = runCli({"batch", "nowhere", "--report", "report.txt"}, folder.path());
    EXPECT_EQ(noFolder.exitStatus, 1);
    EXPECT_NE(noFolder.err, "");
    EXPECT_FALSE(std::filesystem::exists(folder.path("report.txt")));
}

TEST(HostileCli, NamesThatWouldBreakALineOrActOnATerminalAreQuotedAsTheShellReadsThem)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path("site"));
    const std::string red = folder.write("site/esc\x1b[31mred.htm", kPage);
    ASSERT_EQ(::chmod(red.c_str(), 0444), 0); // read-only for everyone: not written, a failure
    folder.write("site/new\nline.htm", kPage);
    folder.write("site/tab\there.htm", kPage);

    const CliResult check = runCli({"check", "site"}, folder.path());
    EXPECT_EQ(check.exitStatus, 1);
    EXPECT_EQ(check.out, "$'site/new\\nline.htm'\tmissing\n$'site/tab\\there.htm'\tmissing\n");
    EXPECT_EQ(check.err,
              "tagwright-cli: $'site/esc\\033[31mred.htm': The file is read-only for everyone.\n");

    const CliResult batch = runCli({"batch", "site", "--today", "2024-03-05"}, folder.path());
    EXPECT_EQ(batch.exitStatus, 1);
    EXPECT_TRUE(batch.err.starts_with(
        "tagwright-cli: $'site/esc\\033[31mred.htm': The file is read-only for everyone.\n"))
        << batch.err;
    EXPECT_NE(batch.out.find("\nFile: $'new\\nline.htm'\n"), std::string::npos) << batch.out;
    for (const std::string& text : {check.out, batch.out, batch.err})
        EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
}

// chattr's flags on a file, taken off again at the end so that the file can be removed.
class FileFlags
{
  public:
    FileFlags(std::string path, const std::string& flags) : path_(std::move(path))
    {
        set_ = std::system(("chattr " + flags + " '" + path_ + "' 2>/dev/null").c_str()) == 0;
    }
    FileFlags(const FileFlags&) = delete;
    FileFlags& operator=(const FileFlags&) = delete;
    ~FileFlags()
    {
        if (set_)
            std::system(("chattr -i -a '" + path_ + "'").c_str());
    }
    bool set() const { return set_; }

  private:
    std::string path_;
    bool set_ = false;
};

TEST(HostileCli, AnImmutableOrAppendOnlyPageIsRefusedAndItsOlderBackupStays)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path("site"));
    const std::string page = folder.write("site/page.htm", kPage);
    const std::string backup = folder.write("site/page.bak.htm", "an older backup");
    {
        const FileFlags immutable(page, "+i");
        if (!immutable.set())
            GTEST_SKIP() << "chattr +i needs root and a file system with inode flags";
        const CliResult batch =
            runCli({"batch", "site", "--backup", "--today", "2024-03-05"}, folder.path());
        EXPECT_EQ(batch.exitStatus, 1);
        EXPECT_EQ(batch.err,
                  "tagwright-cli: site/page.htm: The file is immutable or append-only.\n"
                  "Keywords meta tag inserted in 0 of 1 files. 1 could not be written.\n");
    }
    const FileFlags appendOnly(page, "+a");
    ASSERT_TRUE(appendOnly.set());
    const CliResult insert = runCli({"insert", "site/page.htm", "--backup"}, folder.path());
    EXPECT_EQ(insert.exitStatus, 1);
    EXPECT_EQ(insert.err, "tagwright-cli: site/page.htm: An unknown error has occurred: The file is "
                          "immutable or append-only.\n");
    EXPECT_EQ(test::readBytes(page), kPage);
    EXPECT_EQ(test::readBytes(backup), "an older backup");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path("site")),
                            std::filesystem::directory_iterator()),
              2);
}

// A site that the ordinary user may write, except its subfolder "zz".
void makeSiteWithClosedSubfolder(const TempFolder& folder, int pages)
{
    std::filesystem::create_directories(folder.path("site/zz"));
    const std::string longName(200, 'p');
    for (int i = 0; i < pages; ++i)
        folder.write("site/" + longName + std::to_string(i) + ".htm", kPage);
    folder.write("site/zz/page.htm", kPage);
    // The pages belong to the ordinary user who runs the batch: a page of another owner is
    // refused, since its owner would change.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        ::chmod(entry.path().c_str(), entry.is_directory() ? 0777 : 0666);
        if (::geteuid() == 0) {
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        }
    }
    ::chmod(folder.path().c_str(), 0777);
    ::chmod(folder.path("site/zz").c_str(), 0555);
}

TEST(HostileCli, BatchExitsWithOneAndNamesEachPageNotWrittenWhateverTheReportHolds)
{
    TempFolder folder;
    makeSiteWithClosedSubfolder(folder, 200);
    const CliResult result = runCli({"batch", "site", "--recursive", "--today", "2024-03-05"},
                                    folder.path(), {}, true);
    ::chmod(folder.path("site/zz").c_str(), 0777);
    EXPECT_EQ(result.exitStatus, 1);
    // The report is whole, far past the window's 50,000 characters, and ends with its summary.
    ASSERT_GT(result.out.size(), 60000u);
    EXPECT_EQ(result.out.find("[Report buffer is full."), std::string::npos);
    EXPECT_NE(result.out.find("\nFolder: site/zz\n\nFile: page.htm  ---  An error (-7) occurred"),
              std::string::npos);
    EXPECT_TRUE(result.out.ends_with("site/" + std::string(200, 'p') + "99.htm\n\n"))
        << result.out.substr(result.out.size() - 500);
    EXPECT_EQ(result.err, "tagwright-cli: site/zz/page.htm: Permission denied\n"
                          "Keywords meta tag inserted in 200 of 201 files. 1 could not be written.\n");

    // Pages passed over by rule are no failure.
    folder.write("site/zz/page.htm", "<html><title>Garden</title><p>garden tomatoes</p>\r\n");
    EXPECT_EQ(runCli({"batch", "site/zz"}, folder.path()).exitStatus, 0);
}

TEST(HostileCli, TheReportDestinationIsCheckedBeforeAnyPageIsTouched)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.path("site/sub"));
    const std::string page = folder.write("site/index.htm", kPage);
    const std::string subPage = folder.write("site/sub/index.htm", kPage);
    std::filesystem::create_symlink("site/index.htm", folder.path("report.txt"));
    for (const char* report :
         {"site/index.htm", "site/sub/index.htm", "report.txt", "missing/report.txt", "site"}) {
        const CliResult refused = runCli({"batch", "site", "--recursive", "--report", report}, folder.path());
        EXPECT_EQ(refused.exitStatus, 1) << report;
        EXPECT_NE(refused.err.find(report), std::string::npos) << refused.err;
        EXPECT_EQ(test::readBytes(page), kPage) << report;
        EXPECT_EQ(test::readBytes(subPage), kPage) << report;
    }

    // The process's own stdout, named through a link, is written through, once; the link stays.
    std::filesystem::create_symlink("/proc/self/fd/1", folder.path("stdout"));
    const std::string outPath = folder.path("out.txt");
    const CliResult through = runCli({"batch", "site", "--report", "stdout"}, folder.path(), outPath);
    EXPECT_EQ(through.exitStatus, 0) << through.err;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path("stdout")));
    const std::string out = test::readBytes(outPath);
    EXPECT_NE(out.find("Folder: site\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Folder: site\n"), out.rfind("Folder: site\n")) << out;

    if (::geteuid() != 0)
        return;
    ASSERT_EQ(::mknod(folder.path("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    EXPECT_EQ(runCli({"batch", "site", "--report", "null"}, folder.path()).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_character_file(folder.path("null")));
}

} // namespace
} // namespace tagwright
