// The manual page names every command and option that --help names, and no other.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <regex>
#include <set>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using testing::runCli;

// "--dry-run" as roff writes it: "\-\-dry\-run".
std::string inRoff(const std::string& option)
{
    return std::regex_replace(option, std::regex("-"), "\\-");
}

std::set<std::string> matches(const std::string& text, const std::string& pattern)
{
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression);
         it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

TEST(ManPage, NamesEveryCommandAndOptionOfTheHelpAndNoOther)
{
    test::TempFolder folder;
    const std::string page =
        test::readBytes(std::string(TAGWRIGHT_TEST_DATA_DIR) + "/../dist/unix/tagwright-cli.1.in");
    ASSERT_FALSE(page.empty());
    const std::string help = runCli({"--help"}, folder.path()).out;
    const std::set<std::string> commands = matches(help, "\n  ([a-z]+) [A-Z|.]+ ");
    ASSERT_EQ(commands.size(), 7u) << help;

    std::set<std::string> options;
    for (const std::string& command : commands) {
        EXPECT_NE(page.find(".SS \"" + command + " "), std::string::npos) << command;
        for (const std::string& option :
             matches(runCli({command, "--help"}, folder.path()).out, "\n  --([a-z-]+)")) {
            EXPECT_NE(page.find(inRoff("--" + option)), std::string::npos) << option;
            options.insert(option);
        }
    }
    std::string roffOptions = std::regex_replace(page, std::regex(R"(\\-)"), "-");
    for (const std::string& named : matches(roffOptions, R"(--([a-z][a-z-]*[a-z]))"))
        EXPECT_TRUE(options.contains(named)) << "the page names --" << named;
}

} // namespace
} // namespace tagwright
