// The manual page names every command and option that --help names, and no other.

#include "../support/temp_folder.h"
#include "help_table.h"

#include <regex>
#include <set>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using testing::matches;

// "--dry-run" as roff writes it: "\-\-dry\-run".
std::string inRoff(const std::string& option)
{
    return std::regex_replace(option, std::regex("-"), "\\-");
}

TEST(ManPage, NamesEveryCommandAndOptionOfTheHelpAndNoOther)
{
    test::TempFolder folder;
    const std::string page =
        test::readBytes(std::string(TAGWRIGHT_TEST_DATA_DIR) + "/../dist/unix/tagwright-cli.1.in");
    ASSERT_FALSE(page.empty());
    const testing::HelpTable table = testing::helpTable(folder.path());
    ASSERT_EQ(table.commands.size(), 7u);
    for (const std::string& command : table.commands) {
        EXPECT_NE(page.find(".SS \"" + command + " "), std::string::npos) << command;
        for (const std::string& option : table.optionsOf.at(command))
            EXPECT_NE(page.find(inRoff(option)), std::string::npos) << option;
    }
    std::string roffOptions = std::regex_replace(page, std::regex(R"(\\-)"), "-");
    for (const std::string& named : matches(roffOptions, R"(--([a-z][a-z-]*[a-z]))"))
        EXPECT_TRUE(table.allOptions.contains("--" + named)) << "the page names --" << named;
}

} // namespace
} // namespace tagwright
