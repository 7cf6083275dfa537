// Folders built to trip a batch run: links to devices, dangling links, link loops between
// folders, names no person would choose, and pages and subfolders that cannot be read. The run
// always finishes, treats every real page once and leaves everything else as it was.

#include "../support/unprivileged.h"
#include "batch_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tagwright {
namespace {

using namespace testing;
namespace fs = std::filesystem;

using HostileFolder = BatchRunTest;

TEST_F(HostileFolder, LinksToDevicesDanglingLinksAndLoopsAreNeverFollowed)
{
    fs::create_directory(file("a"));
    fs::create_directory(file("b"));
    fs::create_directory_symlink("../b", file("a/to-b"));
    fs::create_directory_symlink("../a", file("b/to-a"));
    fs::create_symlink("/dev/zero", file("zero.htm"));
    fs::create_symlink("nowhere.htm", file("dangling.htm"));
    ASSERT_EQ(::mkfifo(file("a/pipe.htm").c_str(), 0600), 0);
    writeBytes(file("a/one.htm"), page("Tomatoes"));
    writeBytes(file("b/two.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;

    const BatchCounts counts = run();
    EXPECT_EQ(counts.foldersWalked, 3);
    EXPECT_EQ(counts.filesInserted, 2);
    EXPECT_EQ(occurrences(readBytes(file("a/one.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_EQ(occurrences(readBytes(file("b/two.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_EQ(fs::read_symlink(file("zero.htm")), "/dev/zero");
    EXPECT_EQ(fs::read_symlink(file("dangling.htm")), "nowhere.htm");
    EXPECT_TRUE(fs::is_fifo(file("a/pipe.htm")));
    EXPECT_FALSE(fs::exists(file("nowhere.htm")));
}

TEST_F(HostileFolder, NamesWithBlanksLineBreaksDashesAndInvalidUtf8AreTreated)
{
    const std::vector<std::string> names = {"with space.htm", "line\nbreak.htm", "-dash.htm",
                                            "--.htm",         "\xFF\xFE.htm",    "tab\there.html"};
    for (const std::string& name : names)
        writeBytes(file(name), page("Tomatoes"));
    const BatchCounts counts = run();
    EXPECT_EQ(counts.filesInserted, static_cast<std::int32_t>(names.size()));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(occurrences(readBytes(file(name)), "<meta name=\"keywords\""), 1u);
    }
    // Quoted as the shell reads them back: a name keeps to its line and leads to its file.
    EXPECT_NE(log.text().find("\r\nFile: $'\\377\\376.htm'\r\nNEW: "), std::string::npos);
    EXPECT_NE(log.text().find("\r\nFile: $'line\\nbreak.htm'\r\nNEW: "), std::string::npos);
    EXPECT_EQ(namesIn(folder.path()).size(), names.size()); // no temporary file left behind
}

TEST_F(HostileFolder, AnUnreadablePageAndSubfolderAreReportedAndLeftAlone)
{
    fs::create_directory(file("closed"));
    writeBytes(file("closed/inside.htm"), page("Tomatoes"));
    writeBytes(file("private.htm"), page("Tomatoes"));
    writeBytes(file("open.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;
    // As root, everything goes to an ordinary user, who then runs the batch.
    if (runningAsRoot()) {
        for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
            ASSERT_EQ(::lchown(entry.path().c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chown(folder.path().c_str(), test::kNobody, test::kNobody), 0);
    }
    ::chmod(file("private.htm").c_str(), 0);
    ::chmod(file("closed").c_str(), 0);
    const std::string report = file("report.txt");

    const int inserted = test::runUnprivileged([&] {
        const BatchCounts counts = run();
        writeBytes(report, log.text());
        return static_cast<int>(counts.filesInserted);
    });
    ::chmod(file("closed").c_str(), 0755);
    ::chmod(file("private.htm").c_str(), 0644);

    EXPECT_EQ(inserted, 1);
    EXPECT_EQ(occurrences(readBytes(file("open.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_EQ(readBytes(file("private.htm")), page("Tomatoes"));
    EXPECT_EQ(readBytes(file("closed/inside.htm")), page("Tomatoes"));
    EXPECT_NE(readBytes(report).find("\r\nFile: private.htm  --- Unexpected error: 70"),
              std::string::npos)
        << readBytes(report);
}

TEST_F(HostileFolder, NothingIsWrittenBesideAPageThatALinkLeadsToOutOfTheFolder)
{
    fs::create_directories(file("site"));
    fs::create_directory(file("other"));
    writeBytes(file("other/out.htm"), page("Tomatoes"));
    fs::create_symlink("../other/out.htm", file("site/out.htm"));
    for (const char* name : {"a.htm", "b.htm", "c.htm"})
        writeBytes(file("site/" + std::string(name)), page("Tomatoes"));
    // A file created and removed in the other folder would change its modification time.
    const struct timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file("other").c_str(), longAgo, 0), 0);
    jobs = 2; // pages are written ahead of their turn on worker threads

    EXPECT_EQ(run(file("site")).filesInserted, 3);
    EXPECT_EQ(readBytes(file("other/out.htm")), page("Tomatoes"));
    struct stat other
    {
    };
    ASSERT_EQ(::stat(file("other").c_str(), &other), 0);
    EXPECT_EQ(other.st_mtim.tv_sec, longAgo[1].tv_sec);
}

TEST_F(HostileFolder, EachPageIsRewrittenOnceWhateverNamesLeadToIt)
{
    fs::create_directories(file("site/sub"));
    fs::create_directory(file("other"));
    writeBytes(file("site/a.htm"), page("Tomatoes"));
    fs::create_symlink("a.htm", file("site/link.htm"));
    fs::create_symlink("../a.htm", file("site/sub/also.htm"));
    writeBytes(file("other/out.htm"), page("Tomatoes"));
    fs::create_symlink("../other/out.htm", file("site/out.htm"));
    writeBytes(file("site/hard1.htm"), page("Tomatoes"));
    fs::create_hard_link(file("site/hard1.htm"), file("site/hard2.htm"));
    fs::create_directory_symlink("site", file("site-link"));
    settings.includeAllSubfolders = true;
    settings.backup = true;

    const BatchCounts counts = run(file("site-link")); // the walked folder is resolved too
    EXPECT_EQ(counts.filesInserted, 3);
    EXPECT_EQ(occurrences(readBytes(file("site/a.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_TRUE(fs::is_symlink(file("site/link.htm")));
    EXPECT_NE(
        log.text().find(
            "\r\nFile: link.htm  ---  Passed over: another name of a page already treated.\r\n"),
        std::string::npos)
        << log.text();
    EXPECT_NE(log.text().find(
                  "\r\nFile: also.htm  ---  Passed over: another name of a page already treated."),
              std::string::npos);
    EXPECT_NE(log.text().find(
                  "\r\nFile: out.htm  ---  Passed over: a link that leads out of the folder.\r\n"),
              std::string::npos);
    EXPECT_EQ(readBytes(file("other/out.htm")), page("Tomatoes"));
    EXPECT_FALSE(fs::exists(file("other/out.bak.htm")));
    // The backups hold the pages as they were before the run; two hard links are two pages.
    for (const char* name : {"a", "hard1", "hard2"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readBytes(file("site/" + std::string(name) + ".bak.htm")), page("Tomatoes"));
        EXPECT_EQ(occurrences(readBytes(file("site/" + std::string(name) + ".htm")),
                              "<meta name=\"keywords\""),
                  1u);
    }
}

TEST_F(HostileFolder, AFolderThatAnotherRunWritesInIsPassedOverAsAFailure)
{
    fs::create_directory(file("busy"));
    writeBytes(file("a.htm"), page("Tomatoes"));
    writeBytes(file("busy/b.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;
    const int otherRun = ::open(file("busy").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(otherRun, LOCK_EX), 0);

    const BatchCounts counts = run();
    ::close(otherRun);
    EXPECT_EQ(counts.filesInserted, 1);
    EXPECT_EQ(readBytes(file("busy/b.htm")), page("Tomatoes"));
    EXPECT_NE(log.text().find("Folder: " + file("busy") +
                              "\r\n\r\nPassed over: another run is writing in this folder.\r\n"),
              std::string::npos)
        << log.text();
    ASSERT_EQ(counts.failures.size(), 1u);
    EXPECT_EQ(counts.failures[0].path, file("busy"));
    EXPECT_EQ(counts.failures[0].cause, "Another run is writing in this folder.");
}

TEST_F(HostileFolder, LeftoverTemporaryFilesGoWithTheNextRunThatWritesThere)
{
    const pid_t gone = ::fork(); // a process that has ended: its files belong to no live run
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string leftover = ".tagwright-" + std::to_string(gone) + "-0.tmp";
    const std::string live = ".tagwright-" + std::to_string(::getpid()) + "-9.tmp";
    for (const std::string& name : {leftover, live, std::string(".tagwright-notes.tmp")})
        writeBytes(file(name), "left over");
    writeBytes(file("a.htm"),
               page("Tomatoes", "<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n"));
    settings.skipDone = true;

    run(); // writes nothing: leaves everything alone
    EXPECT_TRUE(fs::exists(file(leftover)));
    settings.skipDone = false;
    EXPECT_EQ(run().filesInserted, 1);
    EXPECT_EQ(namesIn(folder.path()),
              (std::set<std::string>{"a.htm", live, ".tagwright-notes.tmp"}));
}

} // namespace
} // namespace tagwright
