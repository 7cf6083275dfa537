// --format json and the progress line, as real processes.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using nlohmann::json;
using test::TempFolder;
using testing::CliResult;
using testing::runCli;

const std::string kPage = "<html><head><title>Garden</title></head><body>\r\n"
                          "<p>garden tomatoes garden tomatoes soil</p>\r\n</body></html>\r\n";

std::vector<json> jsonLines(const std::string& out)
{
    std::vector<json> values;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        values.push_back(json::parse(line));
    return values;
}

TEST(JsonOutput, CarriesTheNumbersOfThePlainOutputAndTheBytesOfNamesThatAreNoUtf8)
{
    TempFolder folder;
    folder.write("page.htm", kPage);
    const CliResult plain = runCli({"list", "page.htm"}, folder.path());
    const CliResult listed = runCli({"list", "page.htm", "--format", "json"}, folder.path());
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    const json words = json::parse(listed.out)["words"];
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[1], (json{{"rank", 2},
                              {"value", 6},
                              {"frequency", 2},
                              {"density", 33.33},
                              {"word", "tomatoes"}}));
    EXPECT_NE(plain.out.find("\n   2     6    2  33.33%  tomatoes\n"), std::string::npos)
        << plain.out;
    const CliResult generated =
        runCli({"generate", "page.htm", "--format", "json", "--no-space-after-comma"},
               folder.path());
    EXPECT_EQ(json::parse(generated.out),
              (json{{"tag", "<meta name=\"keywords\" content=\"garden,tomatoes\">"},
                    {"keywords", {"garden", "tomatoes"}},
                    {"keywordCount", 2},
                    {"bytes", 46}}));

    std::filesystem::create_directory(folder.path("site"));
    folder.write("site/caf\xe9.htm", kPage); // a Latin-1 name: invalid UTF-8
    folder.write("site/notes.htm", "no head\r\n");
    folder.write("site/old.htm", "<html><head><meta name=\"keywords\" content=\"soil\"></head>"
                                 "<body><p>garden tomatoes garden tomatoes</p></body></html>\r\n");
    const CliResult batch =
        runCli({"batch", "site", "--format", "json", "--dry-run"}, folder.path());
    EXPECT_EQ(batch.exitStatus, 0) << batch.err;
    const std::vector<json> lines = jsonLines(batch.out);
    ASSERT_EQ(lines.size(), 4u) << batch.out;
    // The name's own bytes, in base64, and the report quotes it.
    EXPECT_EQ(lines[0]["page"], (json{{"bytes", "c2l0ZS9jYWbpLmh0bQ=="}}));
    EXPECT_EQ(lines[0]["result"], "written");
    EXPECT_EQ(lines[0]["oldTag"], nullptr);
    EXPECT_EQ(lines[0]["newTag"], "<meta name=\"keywords\" content=\"garden, tomatoes\">");
    EXPECT_TRUE(lines[0]["report"].get<std::string>().starts_with("File: $'caf\\351.htm'\n"))
        << lines[0]["report"];
    EXPECT_EQ(lines[1]["result"], "passed over");
    EXPECT_EQ(lines[1]["reason"], "no keywords meta tag to insert");
    EXPECT_EQ(lines[1]["report"], "File: notes.htm  ---  No keywords meta tag to insert.");
    // Only a page passed over says why.
    EXPECT_FALSE(lines[0].contains("reason"));
    EXPECT_EQ(lines[2]["page"], "site/old.htm");
    EXPECT_EQ(lines[2]["oldTag"], "<meta name=\"keywords\" content=\"soil\">");
    EXPECT_EQ(lines[2]["newTag"], "<meta name=\"keywords\" content=\"soil, garden, tomatoes\">");
    EXPECT_EQ(lines[3], (json{{"type", "summary"},
                              {"examined", 3},
                              {"inserted", 2},
                              {"folders", 1},
                              {"failed", 0},
                              {"dryRun", true}}));

    const std::vector<json> checked =
        jsonLines(runCli({"check", "site", "--format", "json"}, folder.path()).out);
    ASSERT_EQ(checked.size(), 2u);
    EXPECT_EQ(checked[0], (json{{"type", "page"},
                                {"page", {{"bytes", "c2l0ZS9jYWbpLmh0bQ=="}}},
                                {"reason", "missing"},
                                {"oldTag", nullptr},
                                {"newTag", lines[0]["newTag"]}}));
    EXPECT_EQ(checked[1], (json{{"type", "summary"}, {"examined", 3}, {"failing", 1}, {"errors", 0}}));

    // The report would break the stream of JSON lines.
    const CliResult mixed = runCli({"batch", "site", "--format", "json", "--report", "-"}, folder.path());
    EXPECT_EQ(mixed.exitStatus, 2);
    EXPECT_EQ(mixed.out, "");
}

TEST(Progress, IsShownOnATerminalAndNowhereElse)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path("site"));
    folder.write("site/a.htm", kPage);
    folder.write("site/b.htm", kPage);
    const CliResult piped = runCli({"check", "site"}, folder.path());
    EXPECT_EQ(piped.err, "");

    const std::string command = "cd '" + folder.path() + "' && TAGWRIGHT_DATA_DIR='" +
                                TAGWRIGHT_TEST_DATA_DIR + "' script -qec '" + TAGWRIGHT_CLI_PATH +
                                " check site' /dev/null > terminal.txt";
    ASSERT_EQ(std::system(command.c_str()) >> 8, 1); // both pages carry no keywords tag
    const std::string shown = test::readBytes(folder.path("terminal.txt"));
    EXPECT_NE(shown.find("1 of 2 pages"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\033[K"), std::string::npos) << shown; // erased at the end

    // The search for site words shows its own count first; the run's pages count from 1 again.
    const std::string surveyed = "cd '" + folder.path() + "' && TAGWRIGHT_DATA_DIR='" +
                                 TAGWRIGHT_TEST_DATA_DIR + "' script -qec '" + TAGWRIGHT_CLI_PATH +
                                 " batch site --site-words 50 --dry-run --quiet' /dev/null" +
                                 " > terminal.txt";
    ASSERT_EQ(std::system(surveyed.c_str()) >> 8, 0);
    const std::string passes = test::readBytes(folder.path("terminal.txt"));
    const std::size_t survey = passes.find("\rFinding the site words ... 1 of 2 pages");
    ASSERT_NE(survey, std::string::npos) << passes;
    EXPECT_NE(passes.find("\r1 of 2 pages", survey), std::string::npos) << passes;
}

} // namespace
} // namespace tagwright
