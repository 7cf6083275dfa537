#include "../support/marker_text.h"
#include "batch_fixture.h"
#include "faulty_file_system.h"

#include <sys/stat.h>

namespace tagwright {
namespace {

using namespace testing;

const std::string kMarkerToday = "<meta name=\"QOVA done\" content=\"2024-03-05\">";

TEST_F(BatchRunTest, TakesTickedExtensionsLeavesBackupsAndLogsEachFile)
{
    for (const char* name : {"a.htm", "b.HTML", "c.shtml", "d.bak.htm", "e.txt"})
        writeBytes(file(name), page("Tomatoes"));
    const BatchCounts counts = run();

    const std::string a = test::withoutFingerprints(readBytes(file("a.htm")));
    const std::string tagA = keywordsLine(a);
    ASSERT_FALSE(tagA.empty());
    EXPECT_EQ(occurrences(a, kMarkerToday), 1u);
    EXPECT_EQ(readBytes(file("c.shtml")), page("Tomatoes"));
    EXPECT_EQ(readBytes(file("d.bak.htm")), page("Tomatoes"));
    EXPECT_EQ(counts.filesExamined, 2);
    EXPECT_EQ(counts.filesInserted, 2);
    EXPECT_EQ(host.filesStarted, (std::vector<std::string>{file("a.htm"), file("b.HTML")}));

    const std::string folderPath = folder.path();
    EXPECT_EQ(log.text(), "Folder: " + folderPath + "\r\n" +
                              "\r\nFile: a.htm\r\nNEW: " + tagA + "\r\n" +
                              "\r\nFile: b.HTML\r\nNEW: " + tagA + "\r\n" +
                              "\r\nA keywords meta tag was inserted in the following 2 files:\r\n\r\n" +
                              file("a.htm") + "\r\n" + file("b.HTML") + "\r\n\r\n");
    EXPECT_EQ(analysisHost.box, "A keywords meta tag was inserted in the following 2 files:\r\n\r\n" + file("a.htm") +
                                    "\r\n" + file("b.HTML") + "\r\n");
    EXPECT_EQ(host.resultText, "A keywords meta tag was inserted in 2 files in 1 folder.");
    EXPECT_EQ(host.progress, std::vector<std::string>{"Keywords meta tag inserted in 2 of 2 files."});
}

TEST_F(BatchRunTest, SkipsPagesDoneRecently)
{
    writeBytes(file("a.htm"), page("Tomatoes", kMarkerToday + "\r\n"));
    settings.skipDone = true;
    const BatchCounts counts = run();
    EXPECT_EQ(counts.filesExamined, 1);
    EXPECT_EQ(readBytes(file("a.htm")), page("Tomatoes", kMarkerToday + "\r\n"));
    EXPECT_EQ(log.text(), "Folder: " + folder.path() + "\r\n" +
                              "\r\nFile: a.htm  ---  Done already on 2024-03-05.\r\n" + "\r\n" + texts.text(25) +
                              "\r\n");
    EXPECT_EQ(analysisHost.box, "No files were processed (perhaps because all done already).\r\n"
                                "You could repeat with operations logged in the report window.");
    EXPECT_EQ(host.resultText, "");

    settings.dontLogDone = true;
    run();
    EXPECT_EQ(log.text(), "Folder: " + folder.path() + "\r\n\r\n" + texts.text(25) + "\r\n");
}

TEST_F(BatchRunTest, ATagEqualToTheOldOneIsNotWrittenAgain)
{
    writeBytes(file("a.htm"), page("Tomatoes"));
    run();
    const std::string once = readBytes(file("a.htm"));
    today = kToday + 10;
    const BatchCounts counts = run();
    EXPECT_EQ(counts.filesInserted, 0);
    EXPECT_EQ(readBytes(file("a.htm")), once);
    EXPECT_NE(log.text().find("\r\nFile: a.htm  ---  New keywords meta tag is the same as the existing one.\r\n"),
              std::string::npos);
}

TEST_F(BatchRunTest, LogsAnalysisFailuresAndGoesOn)
{
    std::string binary = page("Tomatoes");
    binary[20] = '\0';
    binary[40] = '\0';
    writeBytes(file("a.htm"), binary);
    writeBytes(file("b.htm"), page("Tomatoes"));
    const BatchCounts counts = run();
    EXPECT_EQ(counts.filesInserted, 1);
    EXPECT_EQ(readBytes(file("a.htm")), binary);
    EXPECT_NE(log.text().find("\r\nFile: a.htm  ---  Not a text file (byte 21 is 0).\r\n"), std::string::npos);
}

TEST_F(BatchRunTest, RefusedInsertionsAreLoggedByTheirCauseAndNotCounted)
{
    const std::string noHeadEnd = "<html>\r\n<head>\r\n<title>Tomatoes</title>\r\n<body>\r\n<p>tomatoes</p>\r\n";
    const std::string openOldTag = page("Tomatoes", "<meta name=\"keywords\" content=\"old,\r\nmore\">\r\n");
    writeBytes(file("a.htm"), noHeadEnd);
    writeBytes(file("b.htm"), openOldTag);
    writeBytes(file("c.htm"), page("Tomatoes"));
    settings.includeNewMetaTag = false;
    settings.confirm = true;
    host.answer = [](const InspectRequest& request) {
        InspectAnswer answer;
        answer.tag = request.filePath.ends_with("c.htm") ? "tomatoes" : request.newTag;
        return answer;
    };
    const BatchCounts counts = run();

    EXPECT_EQ(counts.filesInserted, 0);
    EXPECT_EQ(readBytes(file("a.htm")), noHeadEnd);
    EXPECT_EQ(readBytes(file("b.htm")), openOldTag);
    EXPECT_EQ(readBytes(file("c.htm")), page("Tomatoes"));
    const std::string& text = log.text();
    EXPECT_NE(text.find("\r\nFile: a.htm  ---  Keywords meta tag not inserted because </head> is missing.\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nFile: b.htm  ---  Keywords meta tag not inserted because existing meta tag occupies "
                        "more than one line.\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nFile: c.htm  ---  No keywords meta tag to insert.\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n" + texts.text(25) + "\r\n"));
}

TEST_F(BatchRunTest, EditMetaTagWindowDecidesTagMarkerAndStop)
{
    writeBytes(file("a.htm"), page("Tomatoes", "<meta name=\"keywords\" content=\"old\">\r\n"));
    writeBytes(file("b.htm"), page("Tomatoes"));
    writeBytes(file("c.htm"), page("Tomatoes"));
    settings.confirm = true;
    host.answer = [](const InspectRequest& request) -> InspectAnswer {
        if (request.filePath.ends_with("a.htm"))
            return {false, request.newTag, true, false}; // marker only
        if (request.filePath.ends_with("b.htm"))
            return {true, "<meta name=\"keywords\" content=\"edited\">", false, true}; // edited, then stop
        return {true, request.newTag, true, false};
    };
    const BatchCounts counts = run();

    ASSERT_EQ(host.inspected.size(), 2u);
    EXPECT_EQ(host.inspected[0].oldTag, "<meta name=\"keywords\" content=\"old\">");
    EXPECT_EQ(host.inspected[1].oldTag, "No keywords meta tag found.");
    EXPECT_EQ(test::withoutFingerprints(readBytes(file("a.htm"))),
              page("Tomatoes", "<meta name=\"keywords\" content=\"old\">\r\n" +
                                                             kMarkerToday + "\r\n"));
    EXPECT_EQ(keywordsLine(readBytes(file("b.htm"))), "<meta name=\"keywords\" content=\"edited\">");
    EXPECT_EQ(occurrences(readBytes(file("b.htm")), "QOVA done"), 0u);
    EXPECT_EQ(readBytes(file("c.htm")), page("Tomatoes"));
    EXPECT_EQ(counts.filesInserted, 1);
    EXPECT_NE(log.text().find("File: a.htm  ---  " + texts.text(29) + "\r\n"), std::string::npos);
    EXPECT_NE(log.text().find("NEW: <meta name=\"keywords\" content=\"edited\">\r\n\r\n\r\n"
                              "Operation stopped at user's request.\r\n"),
              std::string::npos);
}

TEST_F(BatchRunTest, AMarkerOnlyRewriteThatFailsIsReportedAsAFailure)
{
    const std::string headless = "<html>\r\n<body>\r\n<p>tomatoes</p>\r\n";
    writeBytes(file("a.htm"), headless);
    writeBytes(file("b.htm"), page("Tomatoes"));
    settings.confirm = true;
    host.answer = [](const InspectRequest& request) -> InspectAnswer {
        return {false, request.newTag, true, false}; // marker only
    };
    FaultyFileSystem full(Step::Write, 1, ENOSPC);
    const BatchCounts counts = run(folder.path(), full);

    EXPECT_EQ(readBytes(file("a.htm")), headless);
    EXPECT_EQ(readBytes(file("b.htm")), page("Tomatoes"));
    EXPECT_NE(log.text().find("File: a.htm  ---  " + texts.text(29) +
                              "  ---  Done meta tag not inserted because </head> is missing.\r\n"),
              std::string::npos);
    EXPECT_NE(log.text().find("File: b.htm  ---  " + texts.text(29) +
                              "  ---  An error (-7) occurred during done meta tag insertion.\r\n"),
              std::string::npos);
    ASSERT_EQ(counts.failures.size(), 1u);
    EXPECT_EQ(counts.failures[0].path, file("b.htm"));
    EXPECT_EQ(counts.failures[0].cause, "No space left on device");
}

TEST_F(BatchRunTest, DecliningAndStoppingInTheEditMetaTagWindowEndsTheRun)
{
    writeBytes(file("a.htm"), page("Tomatoes"));
    writeBytes(file("b.htm"), page("Tomatoes"));
    settings.confirm = true;
    host.answer = [](const InspectRequest& request) -> InspectAnswer { return {false, request.newTag, false, true}; };
    run();
    EXPECT_EQ(readBytes(file("a.htm")), page("Tomatoes"));
    EXPECT_EQ(host.inspected.size(), 1u);
    EXPECT_NE(log.text().find("File: a.htm  ---  " + texts.text(29) + "\r\n\r\n" + texts.text(30) + "\r\n\r\n" +
                              texts.text(25)),
              std::string::npos);
}

TEST_F(BatchRunTest, StopThenNoEndsTheWholeRun)
{
    std::filesystem::create_directory(std::filesystem::path(folder.path()) / "sub");
    writeBytes(file("a.htm"), page("Tomatoes"));
    writeBytes(file("b.htm"), page("Tomatoes"));
    writeBytes(file("sub/c.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;
    analysisHost.stopIn = {file("a.htm")};
    host.goOn = false;
    const BatchCounts counts = run();
    EXPECT_EQ(host.goOnQuestions, 1);
    EXPECT_EQ(counts.filesExamined, 1);
    EXPECT_EQ(readBytes(file("b.htm")), page("Tomatoes"));
    EXPECT_EQ(readBytes(file("sub/c.htm")), page("Tomatoes"));
    EXPECT_NE(log.text().find("\r\nFile: a.htm  ---  Operation on this file stopped.\r\n\r\n"
                              "Operation stopped at user's request.\r\n"),
              std::string::npos);

    // With Yes the stopped file gets no tag and the run goes on.
    host.goOn = true;
    EXPECT_EQ(run().filesInserted, 2);
    EXPECT_EQ(keywordsLine(readBytes(file("a.htm"))), "");
}

TEST_F(BatchRunTest, WalksSubfoldersDepthFirstAndCountsEveryFolder)
{
    for (const char* sub : {"one", "one/deep", "two"})
        std::filesystem::create_directory(std::filesystem::path(folder.path()) / sub);
    writeBytes(file("one/deep/x.htm"), page("Tomatoes"));
    writeBytes(file("one/note.txt"), "no page");
    writeBytes(file("two/only.bak.htm"), page("Tomatoes"));
    writeBytes(file("two/y.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;
    const BatchCounts counts = run();
    EXPECT_EQ(counts.foldersWalked, 4);
    EXPECT_EQ(host.resultText, "A keywords meta tag was inserted in 2 files in 4 folders.");
    const std::string& text = log.text();
    EXPECT_EQ(text.find("Folder: " + file("one") + "\r\n"), std::string::npos);
    const auto deep = text.find("\r\nFolder: " + file("one/deep") + "\r\n\r\nFile: x.htm");
    const auto two = text.find("\r\nFolder: " + file("two") + "\r\n\r\nFile: y.htm");
    EXPECT_NE(deep, std::string::npos);
    EXPECT_NE(two, std::string::npos);
    EXPECT_LT(deep, two);
}

TEST_F(BatchRunTest, KeptReportGetsASeparatorAndLoggingOffWritesNothing)
{
    writeBytes(file("a.htm"), page("Tomatoes"));
    settings.includeNewMetaTag = false;
    run();
    EXPECT_NE(log.text().find("\r\nFile: a.htm  ---  Keywords meta tag inserted.\r\n"), std::string::npos);
    const std::string first = log.text();
    settings.clearReportAtStart = false;
    run();
    const std::string dashes(folder.path().size() + 8, '-');
    EXPECT_TRUE(log.text().starts_with(first + "\r\n" + dashes + "\r\nFolder: "));

    settings.logOperations = false;
    settings.clearReportAtStart = true;
    const std::string before = log.text();
    run();
    EXPECT_EQ(log.text(), before);
}

TEST_F(BatchRunTest, AFailureEscapingTheWalkStillEndsInASummary)
{
    writeBytes(file("a.htm"), page("Tomatoes"));
    settings.confirm = true;
    host.answer = [](const InspectRequest&) -> InspectAnswer { throw std::runtime_error("window lost"); };
    run();
    EXPECT_EQ(host.errors, std::vector<std::string>{"window lost"});
    EXPECT_TRUE(log.text().ends_with("\r\nTerminated due to an error occurring.\r\n\r\n" + texts.text(25) + "\r\n"));
    EXPECT_EQ(readBytes(file("a.htm")), page("Tomatoes"));
}

TEST_F(BatchRunTest, WalkSurvivesLinksPipesVanishingPagesAndOddNames)
{
    std::filesystem::create_directory(std::filesystem::path(folder.path()) / "sub");
    std::filesystem::create_directory_symlink("..", std::filesystem::path(folder.path()) / "sub" / "loop");
    ::mkfifo(file("pipe.htm").c_str(), 0600);
    writeBytes(file("a.htm"), page("Tomatoes"));
    writeBytes(file("gone.htm"), page("Tomatoes"));
    writeBytes(file("caf\xE9.htm"), page("Tomatoes")); // Latin-1 byte: not UTF-8
    writeBytes(file("sub/b.htm"), page("Tomatoes"));
    std::filesystem::create_symlink("a.htm", std::filesystem::path(folder.path()) / "link.htm");
    host.onFile = [this](const std::string& path) {
        if (path.ends_with("gone.htm"))
            std::filesystem::remove(path);
    };
    settings.includeAllSubfolders = true;
    const BatchCounts counts = run();

    EXPECT_EQ(counts.foldersWalked, 2); // the link to ".." is no folder of the walk
    EXPECT_FALSE(std::filesystem::exists(file("gone.htm")));
    EXPECT_NE(log.text().find("\r\nFile: gone.htm  --- Unexpected error:"), std::string::npos);
    EXPECT_NE(log.text().find("\r\nFile: $'caf\\351.htm'\r\nNEW: "), std::string::npos);
    EXPECT_FALSE(keywordsLine(readBytes(file("caf\xE9.htm"))).empty());
    EXPECT_FALSE(keywordsLine(readBytes(file("sub/b.htm"))).empty());
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::path(folder.path()) / "link.htm"));
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::path(folder.path()) / "pipe.htm"));
    EXPECT_EQ(occurrences(readBytes(file("a.htm")), "<meta name=\"keywords\""), 1u);
}

TEST_F(BatchRunTest, UnreadableSubfolderIsLeftOutAsAFailure)
{
    if (runningAsRoot())
        GTEST_SKIP() << "permissions are bypassed when running as root";
    std::filesystem::create_directory(std::filesystem::path(folder.path()) / "closed");
    writeBytes(file("closed/a.htm"), page("Tomatoes"));
    writeBytes(file("b.htm"), page("Tomatoes"));
    ::chmod(file("closed").c_str(), 0);
    settings.includeAllSubfolders = true;
    const BatchCounts counts = run();
    ::chmod(file("closed").c_str(), 0755);
    EXPECT_EQ(counts.filesInserted, 1);
    EXPECT_EQ(readBytes(file("closed/a.htm")), page("Tomatoes"));
    ASSERT_EQ(counts.failures.size(), 1u);
    EXPECT_EQ(counts.failures[0].path, file("closed"));
    EXPECT_EQ(counts.failures[0].cause, "Permission denied");
}

} // namespace
} // namespace tagwright
