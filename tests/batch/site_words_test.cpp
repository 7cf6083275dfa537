// Site words: the words in the tags of more than a share of a run's pages are found before the
// run and left out of every tag it writes, the same on one job and on several.

#include "batch_fixture.h"

#include "batch/site_word_survey.h"
#include "batch/site_words.h"
#include "faulty_file_system.h"

#include <filesystem>

namespace tagwright {
namespace {

using namespace testing;

namespace fs = std::filesystem;

const std::vector<std::string> kSubjects = {"apricot", "bramble",   "cherry",     "damson",
                                            "elderberry", "fig",     "gooseberry", "huckleberry",
                                            "jujube",  "kumquat",   "loquat",     "medlar"};

// A page of a site whose every page shares a sidebar; "glossary" stands on 7 of the 12 pages,
// "appendix" on 6.
std::string sitePage(std::size_t number)
{
    const std::string& subject = kSubjects[number];
    std::string body = "<p>" + subject + " " + subject + " " + subject + "</p>\r\n";
    if (number < 7)
        body += "<p>glossary</p>\r\n";
    if (number % 2 == 0)
        body += "<p>appendix</p>\r\n";
    return "<html>\r\n<head>\r\n<title>" + subject + "</title>\r\n</head>\r\n<body>\r\n" +
           "<div>sidebar navigation previous chapter</div>\r\n" + body + "</body>\r\n</html>\r\n";
}

class SiteWordsTest : public BatchRunTest
{
  protected:
    SiteWordsTest()
    {
        fs::create_directories(fs::path(folder.path()) / "more");
        for (std::size_t number = 0; number < kSubjects.size(); ++number)
            writeBytes(pagePath(number), sitePage(number));
        // Neither a backup nor a page done recently, which the run passes over, is tallied.
        writeBytes(file("apricot.bak.htm"), sitePage(0));
        writeBytes(file("done.htm"),
                   page("done", "<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n"));
        settings.includeAllSubfolders = true;
        settings.skipDone = true;
        settings.siteWords = 50;
    }

    std::string pagePath(std::size_t number) const
    {
        return file((number < 6 ? "" : "more/") + kSubjects[number] + ".htm");
    }
};

TEST_F(SiteWordsTest, WordsOnMoreThanTheShareAreLeftOutOfEveryTagAndNamedAtTheReportsStart)
{
    const BatchCounts counts = run();

    EXPECT_EQ(counts.filesInserted, 12);
    const std::string found = "Site words, on more than 50% of the 12 pages tagged, left out of "
                              "every tag: chapter 100%, navigation 100%, previous 100%, "
                              "sidebar 100%, glossary 58%.\r\n";
    EXPECT_TRUE(log.text().starts_with(found + "\r\nFolder: ")) << log.text();
    EXPECT_EQ(occurrences(log.text(), "Site words"), 1u);
    ASSERT_TRUE(counts.siteWords);
    EXPECT_EQ(counts.siteWords->pagesTagged, 12);
    EXPECT_EQ(counts.siteWords->words.size(), 5u);
    for (std::size_t number = 0; number < kSubjects.size(); ++number) {
        const std::string tag = keywordsLine(readBytes(pagePath(number)));
        for (const std::string word : {"sidebar", "navigation", "previous", "chapter", "glossary"})
            EXPECT_EQ(tag.find(word), std::string::npos) << tag;
        EXPECT_NE(tag.find(kSubjects[number]), std::string::npos) << tag;
        // On exactly half the pages: not more than the share.
        EXPECT_EQ(tag.find("appendix") != std::string::npos, number % 2 == 0) << tag;
    }

    // A report kept from the run before gets the line after its dashes; pages that keep their
    // tags are tallied as well, and so is the page done recently, no longer skipped.
    settings.clearReportAtStart = false;
    settings.skipDone = false;
    run();
    EXPECT_EQ(occurrences(log.text(), "-\r\nSite words, on more than 50% of the 13 pages tagged"), 1u)
        << log.text();
    EXPECT_EQ(occurrences(log.text(), "is the same as the existing one."), 12u);
}

TEST_F(SiteWordsTest, SeveralJobsFindAndLeaveOutTheSameWordsAsOne)
{
    const BatchCounts one = run();
    const std::string report = log.text();
    std::vector<std::string> pages;
    for (std::size_t number = 0; number < kSubjects.size(); ++number) {
        pages.push_back(readBytes(pagePath(number)));
        writeBytes(pagePath(number), sitePage(number));
    }
    jobs = 3;
    const BatchCounts several = run();
    EXPECT_EQ(several.siteWords, one.siteWords);
    EXPECT_EQ(log.text(), report);
    for (std::size_t number = 0; number < kSubjects.size(); ++number)
        EXPECT_EQ(readBytes(pagePath(number)), pages[number]) << kSubjects[number];
}

TEST_F(SiteWordsTest, OnSeveralJobsEachHeadIsReadOnceForTheTestOfPagesDoneRecently)
{
    // The workers read the heads (through the file system) to leave done pages unanalysed:
    // the survey takes what they read instead of reading the heads again. The analysis opens
    // the page by the path through its folder, which the file system does not see.
    BatchJob job{folder.path(), settings, analysis, tag, commonWords, texts, today};
    FaultyFileSystem oneJob;
    const std::optional<SiteWords> one = findSiteWords(job, host, analysisHost, oneJob);
    job.jobs = 2;
    FaultyFileSystem twoJobs;
    const std::optional<SiteWords> two = findSiteWords(job, host, analysisHost, twoJobs);
    ASSERT_TRUE(one);
    EXPECT_EQ(two, one);
    std::vector<std::string> pages = {file("done.htm")};
    for (std::size_t number = 0; number < kSubjects.size(); ++number)
        pages.push_back(pagePath(number));
    for (const std::string& page : pages) {
        SCOPED_TRACE(page);
        EXPECT_EQ(oneJob.opens(page), 1);
        EXPECT_EQ(twoJobs.opens(page), 1);
    }
}

TEST_F(SiteWordsTest, TheProgressLabelCountsThePagesExaminedWhileTheSiteWordsAreFound)
{
    // The page done recently counts as examined; the backup is no page of the run.
    std::vector<std::string> expected = {"Finding the site words ..."};
    for (int pages = 1; pages <= 13; ++pages)
        expected.push_back("Finding the site words ... " + std::to_string(pages) +
                           (pages == 1 ? " file" : " files") + " examined.");
    expected.emplace_back();
    for (const unsigned jobCount : {1u, 2u}) {
        SCOPED_TRACE(jobCount);
        jobs = jobCount;
        host.progress.clear();
        std::vector<std::string> beforeThePages;
        host.onFile = [&](const std::string&) {
            if (beforeThePages.empty())
                beforeThePages = host.progress;
        };
        run();
        EXPECT_EQ(beforeThePages, expected);
        for (std::size_t number = 0; number < kSubjects.size(); ++number)
            writeBytes(pagePath(number), sitePage(number));
    }
}

// A Stop pressed while the pages are surveyed ends the run before any page is written.
class StopAlways : public ScriptedAnalysisHost
{
  public:
    using ScriptedAnalysisHost::ScriptedAnalysisHost;
    bool stopRequested() override { return true; }
};

TEST_F(SiteWordsTest, StopWhileTheSiteWordsAreFoundEndsTheRunBeforeAnyPage)
{
    // On several jobs too, where the workers keep ahead of the survey.
    StopAlways stopping(host);
    BatchJob job{folder.path(), settings, analysis, tag, commonWords, texts, today};
    for (const unsigned jobCount : {1u, 2u}) {
        SCOPED_TRACE(jobCount);
        job.jobs = jobCount;
        log.clear();
        const BatchCounts counts = runBatch(job, host, stopping, log);
        EXPECT_TRUE(counts.stopRun);
        EXPECT_FALSE(counts.siteWords);
        EXPECT_EQ(counts.filesExamined, 0);
        EXPECT_EQ(log.text().substr(0, log.text().find("\r\n\r\n")),
                  "Operation stopped at user's request.");
        EXPECT_EQ(readBytes(pagePath(0)), sitePage(0));
    }
}

TEST(SiteWordTally, FewerThanTenPagesOrNoWordAboveTheShareFindNone)
{
    SiteWordTally tally;
    for (int page = 0; page < 9; ++page)
        tally.addTag({"Menu", "menu", page < 5 ? "footer" : "body"});
    EXPECT_TRUE(tally.siteWords(10).words.empty());
    EXPECT_EQ(siteWordsReportLine(tally.siteWords(10)),
              "Site words: none, since fewer than 10 pages are tagged (9).\r\n");
    tally.addTag({"menu"});
    const SiteWords found = tally.siteWords(50);
    // Counted once a page, in any case; "footer" stands on exactly half the pages.
    EXPECT_EQ(found.words, (std::vector<SiteWord>{{"menu", 10}}));
    tally.addTag({"body"});
    EXPECT_EQ(siteWordsReportLine(tally.siteWords(95)),
              "Site words: none on more than 95% of the 11 pages tagged.\r\n");
}

TEST(SiteWordTally, AShareJustAboveTheOneAskedForShowsTheDecimalsThatTellItApart)
{
    SiteWordTally tally;
    for (int page = 0; page < 1000; ++page)
        tally.addTag({page < 501 ? "menu" : "body"});
    EXPECT_EQ(siteWordsReportLine(tally.siteWords(50)),
              "Site words, on more than 50% of the 1000 pages tagged, left out of every tag: "
              "menu 50.1%.\r\n");
}

} // namespace
} // namespace tagwright
