#pragma once

// The commands and options that the program's --help lists, read from the real program: what
// the manual page and the completions are held to.

#include "cli_process.h"

#include <map>
#include <regex>
#include <set>
#include <string>

namespace tagwright::testing {

// The first group of every match of pattern in text.
inline std::set<std::string> matches(const std::string& text, const std::string& pattern)
{
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression);
         it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

struct HelpTable
{
    std::set<std::string> commands;
    std::map<std::string, std::set<std::string>> optionsOf; // "--name" of each command
    std::set<std::string> allOptions;
    std::set<std::string> valueOptions; // those that take a value
};

// The table as `tagwright-cli --help` and `tagwright-cli COMMAND --help` give it, run in folder.
inline HelpTable helpTable(const std::string& folder)
{
    HelpTable table;
    table.commands = matches(runCli({"--help"}, folder).out, "\n  ([a-z]+) [A-Z]");
    for (const std::string& command : table.commands) {
        const std::string help = runCli({command, "--help"}, folder).out;
        table.optionsOf[command] = matches(help, "\n  (--[a-z-]+)");
        for (const std::string& option : matches(help, "\n  (--[a-z-]+) [A-Z]"))
            table.valueOptions.insert(option);
        table.allOptions.insert(table.optionsOf[command].begin(), table.optionsOf[command].end());
    }
    return table;
}

} // namespace tagwright::testing
