// --report-html: the site report of batch and check, read back by a strict XML parser and an
// HTML parser (tests/cli/read_site_report.py), as real processes on a made-up site.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using nlohmann::json;
using test::readBytes;
using test::TempFolder;
using testing::CliResult;
using testing::runCli;

const std::string kPage = "<html><head><title>Garden</title></head><body>\n"
                          "<p>garden tomatoes garden tomatoes soil</p>\n</body></html>\n";

// The report as the reader script sees it; fails the test when it is no well-formed page.
json readReport(const std::string& path)
{
    const std::string command =
        "python3 '" TAGWRIGHT_SITE_REPORT_READER "' '" + path + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    const int status = ::pclose(pipe.release());
    EXPECT_EQ(status, 0) << out;
    return status == 0 ? json::parse(out) : json::object();
}

bool hasPython()
{
    return std::system("python3 -c '' >/dev/null 2>&1") == 0;
}

const json* rowNamed(const json& report, const std::string& name)
{
    for (const json& row : report["rows"])
        if (row["name"] == name)
            return &row;
    return nullptr;
}

// Every kind of result: tagged (hostile names among them), the same tag, done already, passed
// over for each reason, and a page that cannot be written.
class SiteReport : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!hasPython())
            GTEST_SKIP() << "python3 reads the report";
        namespace fs = std::filesystem;
        fs::create_directories(folder.path("site/sub"));
        fs::create_directories(folder.path("outside"));
        for (const char* name : {"a.htm", "same.htm", "done.htm", "<b>&\"'.htm",
                                 "javascript:alert(1).htm", "caf\xe9.htm", "sub/readonly.htm"})
            folder.write(std::string("site/") + name, kPage);
        folder.write("site/notes.htm", "no head\n");
        folder.write("site/headless.htm", "<html><head><title>x</title><body><p>garden garden "
                                          "tomatoes tomatoes</p></body></html>\n");
        folder.write("site/binary.htm", std::string("<html><head>\0\1</head></html>", 29));
        folder.write("site/twolines.htm",
                     "<html><head><meta name=\"keywords\"\ncontent=\"old soil\"></head><body>"
                     "<p>garden garden tomatoes tomatoes</p></body></html>\n");
        folder.write("site/changed.htm",
                     "<html><head><meta name=\"keywords\" content=\"soil, garden\"></head><body>"
                     "<p>garden garden tomatoes tomatoes</p></body></html>\n");
        folder.write("outside/away.htm", kPage);
        fs::create_symlink("../outside/away.htm", folder.path("site/link-out.htm"));
        fs::create_symlink("a.htm", folder.path("site/z-alias.htm"));
        ::chmod(folder.path("site/sub/readonly.htm").c_str(), 0444);
        ASSERT_EQ(runCli({"insert", "site/same.htm"}, folder.path()).exitStatus, 0);
        ASSERT_EQ(runCli({"insert", "site/done.htm", "--done", "--today", "2026-12-01"},
                         folder.path())
                      .exitStatus,
                  0);
    }

    TempFolder folder;
};

TEST_F(SiteReport, OfABatchRunHoldsEveryPageItsResultAndTheKeywordsOfTheSite)
{
    const CliResult run = runCli({"batch", "site", "--recursive", "--skip-done", "7", "--today",
                                  "2026-12-02", "--max-keywords", "30", "--report-html",
                                  "report.html", "--quiet"},
                                 folder.path());
    EXPECT_EQ(run.exitStatus, 1) << run.err; // the read-only page
    const json report = readReport(folder.path("report.html"));
    EXPECT_TRUE(report["outside"].empty()) << report["outside"];
    EXPECT_EQ(report["run"], "2026-12-02 \u00b7 subfolders included; pages done less than 7 days "
                             "ago skipped; at most 30 keywords");

    // One row a page examined, with a relative link that leads to it.
    ASSERT_EQ(report["rows"].size(), 14u) << report["rows"];
    for (const json& row : report["rows"]) {
        const std::string href = row["href"];
        EXPECT_TRUE(href.starts_with("./site/")) << href;
        EXPECT_EQ(href.find_first_of(":?#&<>\"' "), std::string::npos) << href;
    }
    const auto cells = [&](const std::string& name) {
        const json* row = rowNamed(report, name);
        return row ? (*row)["cells"] : json();
    };
    EXPECT_EQ(cells("<b>&\"'.htm"),
              (json{"tagged", "No keywords meta tag found.", "garden, tomatoes"}));
    EXPECT_EQ((*rowNamed(report, "<b>&\"'.htm"))["href"], "./site/%3Cb%3E%26%22%27.htm");
    EXPECT_EQ((*rowNamed(report, "javascript:alert(1).htm"))["href"],
              "./site/javascript%3Aalert%281%29.htm");
    // A name that is no UTF-8 is shown as a shell reads it back and linked by its own bytes.
    ASSERT_NE(rowNamed(report, "$'caf\\351.htm'"), nullptr);
    EXPECT_EQ((*rowNamed(report, "$'caf\\351.htm'"))["href"], "./site/caf%E9.htm");
    EXPECT_EQ(cells("same.htm"), (json{"same tag", "the same", "garden, tomatoes"}));
    EXPECT_EQ(cells("done.htm")[0], "done already");
    EXPECT_EQ(cells("binary.htm")[0], "passed over: not a text file");
    EXPECT_EQ(cells("notes.htm")[0], "passed over: no keywords meta tag to insert");
    EXPECT_EQ(cells("headless.htm")[0], "passed over: </head> is missing");
    EXPECT_EQ(cells("twolines.htm")[0], "passed over: existing meta tag on more than one line");
    EXPECT_EQ(cells("link-out.htm")[0], "passed over: a link that leads out of the folder");
    EXPECT_EQ(cells("z-alias.htm")[0], "passed over: another name of a page already treated");
    EXPECT_EQ(cells("sub/readonly.htm")[0], "failed: The file is read-only for everyone.");
    // The change of a tag: the word added and the word dropped are marked.
    const json& changed = *rowNamed(report, "changed.htm");
    EXPECT_EQ(changed["cells"], (json{"tagged", "soil, garden", "garden, soil, tomatoes"}));
    EXPECT_EQ(changed["inserted"], json{"tomatoes"});
    EXPECT_EQ(changed["deleted"], json::array());

    // The five pages now tagged "garden, tomatoes" stand together, first.
    ASSERT_EQ(report["groups"].size(), 1u);
    EXPECT_EQ(report["groups"][0], (json{{"heading", "The very same tag on 5 pages"}, {"rows", 5}}));
    EXPECT_EQ(report["rows"][0]["class"], "written");

    EXPECT_EQ(report["counts"]["Pages examined"], "14");
    EXPECT_EQ(report["counts"]["Tagged"], "5");
    EXPECT_EQ(report["counts"]["Same tag"], "1");
    EXPECT_EQ(report["counts"]["Done already"], "1");
    EXPECT_TRUE(report["counts"]["Passed over"].get<std::string>().starts_with("6"));
    EXPECT_EQ(report["counts"]["Failed"], "1");
    EXPECT_EQ(report["failures"], json{"sub/readonly.htm: The file is read-only for everyone."});

    // A bar for each keyword, by the pages whose tag holds it.
    EXPECT_EQ(report["charts"]["keywords"],
              (json{{{"label", "garden"}, {"value", "6"}, {"bars", 1}},
                    {{"label", "tomatoes"}, {"value", "6"}, {"bars", 1}},
                    {{"label", "soil"}, {"value", "1"}, {"bars", 1}}}));

    const std::string page = readBytes(folder.path("report.html"));
    EXPECT_NE(page.find("@media (prefers-color-scheme:dark)"), std::string::npos);
    EXPECT_NE(page.find("@media print"), std::string::npos);
}

TEST(SiteReportOfSiteWords, ShowsTheWordsLeftOutOfEveryTag)
{
    if (!hasPython())
        GTEST_SKIP() << "python3 reads the report";
    TempFolder folder;
    std::filesystem::create_directories(folder.path("site"));
    const std::vector<std::string> subjects{"apple", "birch", "cedar", "daisy", "elder", "fig",
                                            "grape", "hazel", "iris", "juniper", "kale", "lime"};
    for (const std::string& subject : subjects)
        folder.write("site/" + subject + ".htm",
                     "<html><head><title>" + subject + "</title></head><body>\n<p>Sidebar "
                     "glossary</p><p>" + subject + " " + subject + " " + subject +
                     "</p><p>Sidebar glossary</p>\n</body></html>\n");
    const CliResult run = runCli(
        {"batch", "site", "--site-words", "50", "--report-html", "r.html", "--quiet"},
        folder.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const json report = readReport(folder.path("r.html"));
    EXPECT_EQ(report["charts"]["site-words"],
              (json{{{"label", "glossary"}, {"value", "12 (100%)"}, {"bars", 1}},
                    {{"label", "sidebar"}, {"value", "12 (100%)"}, {"bars", 1}}}));
    ASSERT_EQ(report["charts"]["keywords"].size(), 12u);
    for (const json& bar : report["charts"]["keywords"])
        EXPECT_EQ(bar["value"], "1") << bar;
    EXPECT_NE(report["run"].get<std::string>().find("site words: on more than 50% of the pages"),
              std::string::npos);
}

// A large site's rows go in tables of 500; a group of pages that share their tag goes on
// across them.
TEST(SiteReportOfALargeSite, KeepsEveryRowAndEveryGroupAcrossItsTables)
{
    if (!hasPython())
        GTEST_SKIP() << "python3 reads the report";
    TempFolder folder;
    std::filesystem::create_directories(folder.path("site"));
    for (int page = 0; page < 1100; ++page) {
        // Made-up words, each its own, none the plural of another.
        std::string subject = page < 600 ? "shared" : "own";
        for (int n = page; page >= 600 && n > 0; n /= 26)
            subject += static_cast<char>('a' + n % 26);
        subject += page < 600 ? "" : "x";
        folder.write("site/p" + std::to_string(10000 + page) + ".htm",
                     "<html><head><title>" + subject + "</title></head><body><p>" + subject +
                         " garden " + subject + " garden</p></body></html>\n");
    }
    const CliResult run =
        runCli({"batch", "site", "--dry-run", "--quiet", "--report-html", "r.html"}, folder.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const json report = readReport(folder.path("r.html"));
    EXPECT_EQ(report["rows"].size(), 1100u);
    EXPECT_EQ(report["groups"],
              (json{{{"heading", "The very same tag on 600 pages"}, {"rows", 600}}}));
    EXPECT_EQ(report["rows"][600]["name"], "p10600.htm");
    EXPECT_EQ(report["counts"]["Would be tagged"], "1,100");
}

TEST_F(SiteReport, OfACheckJudgesEachPage)
{
    const CliResult run =
        runCli({"check", "site", "--report-html", "check.html"}, folder.path());
    EXPECT_EQ(run.exitStatus, 1);
    const json report = readReport(folder.path("check.html"));
    EXPECT_EQ(report["title"], "Check over site - Tagwright");
    ASSERT_NE(rowNamed(report, "a.htm"), nullptr);
    EXPECT_EQ((*rowNamed(report, "a.htm"))["cells"][0], "missing");
    EXPECT_EQ((*rowNamed(report, "a.htm"))["cells"][1], "would be tagged");
    EXPECT_EQ((*rowNamed(report, "done.htm"))["cells"][0], "passes");
    EXPECT_EQ(report["counts"]["Passing"], "9");
    EXPECT_EQ(report["counts"]["Failing"], "4missing: 4");
}

TEST_F(SiteReport, ThatCannotBeWrittenFailsTheRunAndSaysWhy)
{
    // A run that wrote its pages all the same.
    std::filesystem::remove(folder.path("site/sub/readonly.htm"));
    const CliResult full =
        runCli({"batch", "site", "--report-html", "/dev/full", "--quiet"}, folder.path());
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_NE(full.err.find("tagwright-cli: /dev/full: The web page report could not be "
                            "written: No space left on device"),
              std::string::npos)
        << full.err;
    EXPECT_NE(readBytes(folder.path("site/a.htm")).find("content=\"garden, tomatoes\""),
              std::string::npos);

    // Refused before any page is touched: a folder, a page of the run, standard output.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--report-html", "site"},
          std::vector<std::string>{"--report-html", "site/sub/new.htm"}}) {
        std::vector<std::string> command{"batch", "site/sub"};
        command.insert(command.end(), args.begin(), args.end());
        EXPECT_EQ(runCli(command, folder.path()).exitStatus, 1);
    }
    EXPECT_EQ(runCli({"batch", "site", "--report-html", "-"}, folder.path()).exitStatus, 2);
    EXPECT_EQ(runCli({"batch", "site", "--report", "r.html", "--report-html", "r.html"},
                     folder.path())
                  .exitStatus,
              2);
    EXPECT_EQ(runCli({"check", "site", "site/a.htm", "--report-html", "r.html"}, folder.path())
                  .exitStatus,
              2);
}

} // namespace
} // namespace tagwright
