#include "cli/command_registry.h"

namespace tagwright::cli {

// Each command's file defines its factory; a new command adds its line here.
std::unique_ptr<Command> makeListCommand();
std::unique_ptr<Command> makeGenerateCommand();
std::unique_ptr<Command> makeShowCommand();
std::unique_ptr<Command> makeInsertCommand();
std::unique_ptr<Command> makeBatchCommand();
std::unique_ptr<Command> makeCheckCommand();
std::unique_ptr<Command> makeRestoreCommand();

std::vector<std::unique_ptr<Command>> allCommands()
{
    std::vector<std::unique_ptr<Command>> commands;
    for (const auto make :
         {makeListCommand, makeGenerateCommand, makeShowCommand, makeInsertCommand,
          makeBatchCommand, makeCheckCommand, makeRestoreCommand})
        commands.push_back(make());
    return commands;
}

} // namespace tagwright::cli
