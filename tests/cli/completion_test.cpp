// The bash and zsh completions offer what the program's option table holds: bash completion is
// run in a real bash over a folder with files in it.

#include "../support/temp_folder.h"
#include "help_table.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using testing::matches;

const std::string kDist = std::string(TAGWRIGHT_TEST_DATA_DIR) + "/../dist/unix/";

// What the bash completion offers for each line of words (the word being completed last), one
// line of output per line of words.
std::vector<std::string> bashOffers(const std::vector<std::string>& lines, const std::string& folder)
{
    std::string script = "source '" + kDist + "bash-completion/tagwright-cli'\n"
                         "cd '" + folder + "'\n"
                         "offer() { COMP_WORDS=(\"$@\"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                         "COMPREPLY=(); _tagwright_cli; echo \"${COMPREPLY[*]}\"; }\n";
    for (const std::string& line : lines)
        script += "offer '" + std::string(TAGWRIGHT_CLI_PATH) + "' " + line + "\n";
    test::TempFolder scripts;
    const std::string path = scripts.write("complete.sh", script);
    const std::unique_ptr<FILE, int (*)(FILE*)> bash(::popen(("bash " + path).c_str(), "r"),
                                                      ::pclose);
    std::vector<std::string> offers;
    std::string offer;
    for (int c; bash && (c = std::fgetc(bash.get())) != EOF;)
        if (c == '\n')
            offers.push_back(std::exchange(offer, {}));
        else
            offer += static_cast<char>(c);
    return offers;
}

class Completion : public ::testing::Test
{
  protected:
    Completion()
    {
        folder.write("page.htm", "<html></html>\n");
        std::filesystem::create_directory(folder.path("site"));
    }

    test::TempFolder folder;
    const testing::HelpTable table = testing::helpTable(folder.path());
    const std::set<std::string>& commands = table.commands;
    const std::map<std::string, std::set<std::string>>& optionsOf = table.optionsOf;
    const std::set<std::string>& allOptions = table.allOptions;
    const std::set<std::string>& valueOptions = table.valueOptions;
};

TEST_F(Completion, TheScriptsNameOnlyOptionsOfTheTable)
{
    ASSERT_EQ(commands.size(), 7u);
    for (const char* script : {"bash-completion/tagwright-cli", "zsh/_tagwright-cli"})
        for (const std::string& option : matches(test::readBytes(kDist + script),
                                                 "[^a-z-](--[a-z][a-z-]*[a-z])"))
            EXPECT_TRUE(allOptions.contains(option)) << script << " names " << option;
}

TEST_F(Completion, BashOffersEachCommandsOptionsAndNoFileNamesAfterAnOptionsValue)
{
    // Options whose values are names of their own, files or folders.
    const std::set<std::string> named = {"--format", "--language", "--ext", "--report",
                                         "--report-html", "--data-dir"};
    std::vector<std::string> lines;
    std::vector<std::string> expected;
    for (const std::string& command : commands) {
        lines.push_back(command + " --");
        std::string options;
        for (const std::string& option : optionsOf.at(command))
            options += (options.empty() ? "" : " ") + option;
        expected.push_back(options);
        for (const std::string& option : optionsOf.at(command))
            if (valueOptions.contains(option) && !named.contains(option)) {
                lines.push_back(command + " site " + option + " ''");
                expected.push_back("");
            }
    }
    for (const auto& [line, offer] : std::vector<std::pair<std::string, std::string>>{
             {"''", "batch check generate insert list restore show"},
             {"--data-dir site b", "batch"},
             {"--data-dir=site ch", "check"},
             {"--data-dir site batch --no-w", "--no-wait"},
             {"--data-dir site batch s", "site"},
             {"batch site --format ''", "text json"},
             {"list p", "page.htm"}}) {
        lines.push_back(line);
        expected.push_back(offer);
    }
    const std::vector<std::string> offers = bashOffers(lines, folder.path());
    ASSERT_EQ(offers.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::istringstream words(offers[i]);
        std::set<std::string> offered{std::istream_iterator<std::string>(words), {}};
        std::istringstream wanted(expected[i]);
        EXPECT_EQ(offered, (std::set<std::string>{std::istream_iterator<std::string>(wanted), {}}))
            << lines[i];
    }
}

} // namespace
} // namespace tagwright
