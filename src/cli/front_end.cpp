#include "cli/front_end.h"

#include "cli/command_registry.h"
#include "cli/usage_error.h"
#include "support/version.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <string_view>

namespace tagwright::cli {

namespace {

constexpr const char* kProgram = "tagwright-cli";

OptionGroup commonOptionGroup()
{
    return {"Common options",
            {{"data-dir", "DIR", "folder of the common-word lists (cwds_*.txt)"},
             {"help", "", "show this help and exit"},
             {"version", "", "show the version and exit"}}};
}

// One line of a two-column listing.
std::string listingLine(std::string left, std::string_view right)
{
    left.resize(std::max<std::size_t>(left.size() + 2, 28), ' ');
    return left + std::string(right) + "\n";
}

std::string optionLines(const OptionGroup& group)
{
    std::string text = group.title + ":\n";
    for (const OptionSpec& option : group.options)
        text += listingLine("  --" + option.name +
                                (option.takesValue() ? " " + option.valueName : std::string()),
                            option.help);
    return text;
}

std::string programHelp(const std::vector<std::unique_ptr<Command>>& commands)
{
    std::string text = std::string("Usage: ") + kProgram +
                       " COMMAND OPERAND [options]\n"
                       "Writes the keywords meta tag of HTML documents.\n\nCommands:\n";
    for (const auto& command : commands)
        text += listingLine(
            std::string("  ").append(command->name()).append(" ").append(command->operands()),
            command->summary());
    text += "\n";
    text +=
        optionLines(commonOptionGroup()) + "\nRun '" + kProgram +
        " COMMAND --help' for the options of a command.\n"
        "Put '--' before an operand that begins with '-'.\n"
        "Without --data-dir the lists come from $TAGWRIGHT_DATA_DIR, the installed data folder\n"
        "or data/ of the source tree.\n"
        "Exit status: 0 success; 1 failure (batch: a page could not be written; check: a page\n"
        "fails; restore: a pair was left alone); 2 usage error.\n";
    return text;
}

std::string commandHelp(const Command& command)
{
    std::string text = std::string("Usage: ") + kProgram + " " + std::string(command.name()) + " " +
                       std::string(command.operands()) + " [options]\n" +
                       std::string(command.summary()) + ".\n";
    for (const OptionGroup& group : command.optionGroups())
        text.append("\n").append(optionLines(group));
    return text.append("\n").append(optionLines(commonOptionGroup()));
}

std::string versionLine()
{
    return std::string(kProgram) + " " + versionText() + "\n";
}

const Command* findCommand(const std::vector<std::unique_ptr<Command>>& commands,
                           std::string_view name)
{
    for (const auto& command : commands)
        if (command->name() == name)
            return command.get();
    return nullptr;
}

int runCommand(const Command& command, const std::vector<std::string>& args, const Console& console)
{
    std::vector<OptionGroup> groups = command.optionGroups();
    groups.push_back(commonOptionGroup());
    const ParsedOptions options = parseOptions(args, groups);
    if (options.has("help")) {
        console.printPlain(commandHelp(command));
        return kExitSuccess;
    }
    if (options.has("version")) {
        console.printPlain(versionLine());
        return kExitSuccess;
    }
    return command.run(options, console);
}

// Options before the command name: --help and --version answer at once, --data-dir is handed
// on to the command.
int dispatch(const std::vector<std::string>& args, const Console& console)
{
    const auto commands = allCommands();
    std::vector<std::string> carried;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help") {
            console.printPlain(programHelp(commands));
            return kExitSuccess;
        }
        if (arg == "--version") {
            console.printPlain(versionLine());
            return kExitSuccess;
        }
        if (arg.starts_with("--data-dir=")) {
            carried.push_back(arg);
        } else if (arg == "--data-dir" && i + 1 < args.size()) {
            carried.push_back(arg);
            carried.push_back(args[++i]);
        } else if (arg == "--data-dir") {
            throw UsageError("option '--data-dir' needs a value (DIR)");
        } else {
            throw UsageError("unknown option '" + arg + "' before the command");
        }
    }
    if (i == args.size())
        throw UsageError(std::string("no command given; run '") + kProgram + " --help'");
    const Command* command = findCommand(commands, args[i]);
    if (command == nullptr)
        throw UsageError("unknown command '" + args[i] + "'; run '" + std::string(kProgram) +
                         " --help'");
    carried.insert(carried.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    return runCommand(*command, carried, console);
}

} // namespace

int runCommandLine(const std::vector<std::string>& args, const Console& console)
{
    try {
        const int status = dispatch(args, console);
        if (!console.outputWritten()) {
            console.printMessage(std::string(kProgram) +
                                 ": standard output: " + std::strerror(errno));
            return kExitFailure;
        }
        return status;
    } catch (const UsageError& error) {
        console.printMessage(std::string(kProgram) + ": " + error.what());
        return kExitUsage;
    } catch (const std::exception& error) {
        // A command's own failure before it touched anything (CommandFailure), and whatever
        // else escapes a command (memory, the file system), ends in a message.
        console.printMessage(std::string(kProgram) + ": " + error.what());
        return kExitFailure;
    }
}

} // namespace tagwright::cli
