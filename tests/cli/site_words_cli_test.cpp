// --site-words through the real command line: the words of a navigation bar that every page
// shares leave the tags, each page's own subject stays.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace tagwright {
namespace {

using nlohmann::json;
using testing::CliResult;
using testing::runCli;
using test::readBytes;
using test::TempFolder;

const std::vector<std::string> kNavigation = {"navigation", "previous", "glossary", "sidebar"};
constexpr int kPages = 40;

// A made-up word of three syllables, different for every page.
std::string subjectOf(int page)
{
    static const std::vector<std::string> syllables = {"ka", "lo", "mi", "ru", "te", "so", "na", "pe"};
    return syllables[page % 8] + syllables[page / 8 % 8] + "v" + syllables[(page + 3) % 8];
}

// A page of a site whose pages share a navigation bar, above and below their own text.
std::string sitePage(int page)
{
    const std::string subject = subjectOf(page);
    const std::string bar = "<div><a>Navigation</a> <a>Previous</a> <a>Glossary</a> "
                            "<a>Sidebar</a></div>\n";
    return "<html>\n<head>\n<title>" + subject + " basket</title>\n</head>\n<body>\n" + bar +
           "<h1>" + subject + "</h1>\n<p>The " + subject + " holds the " + subject +
           " and the basket of baskets.</p>\n" + bar + "</body>\n</html>\n";
}

// The keywords of each page's new tag, from the JSON records of a batch or check.
std::map<std::string, std::string> newTags(const std::string& jsonLines)
{
    std::map<std::string, std::string> tags;
    std::istringstream lines(jsonLines);
    for (std::string line; std::getline(lines, line);) {
        const json record = json::parse(line);
        if (record["type"] == "page" && record["newTag"].is_string())
            tags[record["page"].get<std::string>()] = record["newTag"].get<std::string>();
    }
    return tags;
}

bool holds(const std::string& tag, const std::string& word)
{
    return std::regex_search(tag, std::regex("[\", ]" + word + "[\",]"));
}

class SiteWordsCli : public ::testing::Test
{
  protected:
    SiteWordsCli()
    {
        std::filesystem::create_directories(folder.path("site/more"));
        for (int page = 0; page < kPages; ++page)
            folder.write((page < kPages / 2 ? "site/" : "site/more/") + subjectOf(page) + ".htm",
                         sitePage(page));
    }

    CliResult run(std::vector<std::string> args) const
    {
        args.insert(args.begin() + 1, {"site", "--recursive", "--today", "2024-03-05"});
        return runCli(args, folder.path());
    }

    TempFolder folder;
};

TEST_F(SiteWordsCli, TheNavigationLeavesEveryTagAndEachPagesSubjectStays)
{
    const CliResult before = run({"batch", "--dry-run", "--format", "json"});
    ASSERT_EQ(before.exitStatus, 0) << before.err;
    const std::map<std::string, std::string> plain = newTags(before.out);
    ASSERT_EQ(plain.size(), std::size_t{kPages});
    EXPECT_TRUE(std::ranges::all_of(plain, [](const auto& page) {
        return holds(page.second, "navigation") && holds(page.second, "glossary");
    })) << "the bar's words are in the tags without the rule";

    const CliResult json = run({"batch", "--dry-run", "--format", "json", "--site-words", "50"});
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    EXPECT_EQ(json::parse(json.out.substr(0, json.out.find('\n'))),
              json::parse(R"({"type": "siteWords", "percent": 50, "pagesTagged": 40, "words": [
                  {"word": "basket", "pages": 40}, {"word": "glossary", "pages": 40},
                  {"word": "navigation", "pages": 40}, {"word": "previous", "pages": 40},
                  {"word": "sidebar", "pages": 40}]})"));
    const std::map<std::string, std::string> tags = newTags(json.out);
    ASSERT_EQ(tags.size(), std::size_t{kPages});
    for (int page = 0; page < kPages; ++page) {
        const std::string name = (page < kPages / 2 ? "site/" : "site/more/") + subjectOf(page) + ".htm";
        ASSERT_TRUE(tags.contains(name)) << name;
        EXPECT_TRUE(holds(tags.at(name), subjectOf(page))) << tags.at(name);
        for (const std::string& word : kNavigation)
            EXPECT_FALSE(holds(tags.at(name), word)) << tags.at(name);
    }

    // The report says so in its first line; the run writes the tags its dry run showed.
    const CliResult dry = run({"batch", "--dry-run", "--site-words", "50"});
    const CliResult written = run({"batch", "--site-words", "50"});
    EXPECT_EQ(written.exitStatus, 0) << written.err;
    EXPECT_TRUE(written.out.starts_with(
        "Site words, on more than 50% of the 40 pages tagged, left out of every tag: basket 100%, "
        "glossary 100%, navigation 100%, previous 100%, sidebar 100%.\n\nFolder: site\n"))
        << written.out;
    EXPECT_EQ(dry.out, written.out);
    const std::string page = readBytes(folder.path("site/" + subjectOf(0) + ".htm"));
    EXPECT_NE(page.find("<meta name=\"keywords\" content=\"" + subjectOf(0) + "\">"),
              std::string::npos)
        << page;
}

TEST_F(SiteWordsCli, TheSettingsFileAsksForThemAndABadShareIsAUsageError)
{
    folder.write("site/.tagwright", "site-words = 50\n");
    const CliResult checked = run({"check", "--format", "json"});
    EXPECT_EQ(checked.exitStatus, 1) << "every page lacks a tag";
    EXPECT_TRUE(checked.out.starts_with("{\"pagesTagged\":40,\"percent\":50,\"type\":\"siteWords\""))
        << checked.out;
    for (const auto& [name, tag] : newTags(checked.out))
        EXPECT_FALSE(holds(tag, "navigation")) << name << ": " << tag;

    const CliResult zero = run({"batch", "--site-words", "0"});
    EXPECT_EQ(zero.exitStatus, 2);
    EXPECT_EQ(zero.err, "tagwright-cli: --site-words must be a whole number from 1 to 99, not '0'\n");
    folder.write("site/.tagwright", "site-words = 100%\n");
    const CliResult fromFile = run({"batch"});
    EXPECT_EQ(fromFile.exitStatus, 2);
    EXPECT_EQ(fromFile.err, "tagwright-cli: site/.tagwright:1: --site-words must be a whole number "
                            "from 1 to 99, not '100%'\n");
    EXPECT_EQ(readBytes(folder.path("site/" + subjectOf(0) + ".htm")), sitePage(0));
}

// Debian's Python manual, where it is installed: the sidebar's words leave the tags while the
// words of the pages' titles stay as often as without the rule. Read only: check writes nothing.
TEST(SiteWordsOnARealManual, TheSidebarLeavesTheTagsAndTheTitlesStay)
{
    const std::string manual = "/usr/share/doc/python3.11/html";
    if (!std::filesystem::is_directory(manual))
        GTEST_SKIP() << manual << " is not installed";
    TempFolder folder;
    const std::vector<std::string> check = {"check", manual, "--recursive", "--format", "json"};
    const std::map<std::string, std::string> before = newTags(runCli(check, folder.path()).out);
    std::vector<std::string> withRule = check;
    withRule.insert(withRule.end(), {"--site-words", "50"});
    const std::string records = runCli(withRule, folder.path()).out;
    const std::map<std::string, std::string> after = newTags(records);
    std::set<std::string> siteWords;
    const json found = json::parse(records.substr(0, records.find('\n')));
    for (const json& word : found["words"])
        siteWords.insert(word["word"].get<std::string>());
    EXPECT_TRUE(siteWords.contains("navigation")) << records.substr(0, records.find('\n'));
    ASSERT_GT(before.size(), 400u);
    ASSERT_EQ(after.size(), before.size());
    int navigationBefore = 0;
    int navigationAfter = 0;
    int titleBefore = 0;
    int titleAfter = 0;
    const std::regex titleWord("[a-z]{3,}");
    for (const auto& [page, tag] : before) {
        const auto hasNavigation = [](const std::string& tagged) {
            return holds(tagged, "navigation") || holds(tagged, "previous");
        };
        navigationBefore += hasNavigation(tag);
        navigationAfter += hasNavigation(after.at(page));
        const std::string bytes = readBytes(page);
        const auto open = bytes.find("<title>");
        std::string title = bytes.substr(open + 7, bytes.find("</title>") - open - 7);
        std::ranges::transform(title, title.begin(), [](unsigned char c) { return std::tolower(c); });
        // The page's own subject: the first word of its title that stands in its tag without
        // the rule and is no site word.
        for (auto word = std::sregex_iterator(title.begin(), title.end(), titleWord);
             word != std::sregex_iterator(); ++word) {
            const std::string subject = word->str();
            if (holds(tag, subject) && !siteWords.contains(subject)) {
                ++titleBefore;
                titleAfter += holds(after.at(page), subject);
                break;
            }
        }
    }
    EXPECT_GT(navigationBefore, static_cast<int>(before.size()) / 2);
    EXPECT_LE(navigationAfter, static_cast<int>(before.size()) / 20);
    EXPECT_GE(titleAfter, titleBefore);
}

} // namespace
} // namespace tagwright
