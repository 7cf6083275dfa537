#include "cli/front_end.h"

#include "cli/command_registry.h"
#include "cli/settings_file.h"
#include "cli/usage_error.h"
#include "support/version.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <string_view>

namespace tagwright::cli {

namespace {

constexpr std::size_t kHelpWidth = 80;
constexpr std::size_t kHelpColumn = 28;

OptionGroup commonOptionGroup()
{
    return {"Common options",
            {{"data-dir", "DIR", "folder of the common-word lists (cwds_*.txt)"},
             {"help", "", "show this help and exit (also -h)"},
             {"version", "", "show the version and exit"},
             {"no-config", "", "read no .tagwright settings file"}}};
}

// The words of text filled into lines of at most kHelpWidth columns, the first continuing
// `line` as it stands, the others beginning with `indent` blanks. A word longer than a line
// stands alone on its line.
std::string filled(std::string line, std::string_view text, std::size_t indent)
{
    std::string lines;
    bool lineHasWords = false;
    for (std::size_t at = text.find_first_not_of(' '); at != std::string_view::npos;
         at = text.find_first_not_of(' ', at)) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        if (lineHasWords && line.size() + 1 + word.size() > kHelpWidth) {
            lines.append(line).append("\n");
            line.assign(indent, ' ');
        } else if (lineHasWords) {
            line += ' ';
        }
        line.append(word);
        lineHasWords = true;
        at = end;
    }
    return lines.append(line).append("\n");
}

// One entry of a two-column listing: the right column begins at kHelpColumn and goes on there.
std::string listingLine(std::string left, std::string_view right)
{
    left.resize(std::max(left.size() + 2, kHelpColumn), ' ');
    return filled(std::move(left), right, kHelpColumn);
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
    std::string text = "Usage: " + std::string(kProgramName) +
                       " COMMAND OPERAND [options]\n"
                       "Writes the keywords meta tag of HTML documents.\n\nCommands:\n";
    for (const auto& command : commands)
        text += listingLine(
            std::string("  ").append(command->name()).append(" ").append(command->operands()),
            command->summary());
    text += "\n";
    text += optionLines(commonOptionGroup()) + "\n";
    for (const std::string& paragraph :
         {"Run '" + std::string(kProgramName) + " COMMAND --help' for the options of a command. "
          "Put '--' before an operand that begins with '-'.",
          std::string("Without --data-dir the lists come from $TAGWRIGHT_DATA_DIR, the installed "
                      "data folder or data/ of the source tree."),
          std::string("list, generate, show, insert and check take several FILEs, each "
                      "result headed by its file; list and generate read '-' from standard "
                      "input."),
          std::string("Settings: a .tagwright file in the folder acted on, or the nearest "
                      "folder above it, gives options one a line as here without the dashes "
                      "('language = en', 'recursive'); '#' begins a comment; options given "
                      "here win; --no-config reads none."),
          std::string("Exit status: 0 success; 1 failure (batch: a page could not be written; "
                      "check: a page fails; restore: a pair was left alone); 2 usage error.")})
        text += filled({}, paragraph, 0);
    return text;
}

std::string commandHelp(const Command& command)
{
    std::string text = "Usage: " + std::string(kProgramName) + " " + std::string(command.name()) +
                       " " + std::string(command.operands()) + " [options]\n" +
                       filled({}, std::string(command.summary()) + ".", 0);
    for (const OptionGroup& group : command.optionGroups())
        text.append("\n").append(optionLines(group));
    return text.append("\n").append(optionLines(commonOptionGroup()));
}

std::string versionLine()
{
    return std::string(kProgramName) + " " + projectVersion() + "\n";
}

const Command* findCommand(const std::vector<std::unique_ptr<Command>>& commands,
                           std::string_view name)
{
    for (const auto& command : commands)
        if (command->name() == name)
            return command.get();
    return nullptr;
}

// The option groups of every command, which a settings file may name.
std::vector<OptionGroup> everyOptionGroup(const std::vector<std::unique_ptr<Command>>& commands)
{
    std::vector<OptionGroup> groups{commonOptionGroup()};
    for (const auto& command : commands)
        for (OptionGroup& group : command->optionGroups())
            groups.push_back(std::move(group));
    return groups;
}

int runCommand(const Command& command, const std::vector<std::string>& args, const Console& console,
               const std::vector<std::unique_ptr<Command>>& commands)
{
    std::vector<OptionGroup> groups = command.optionGroups();
    groups.push_back(commonOptionGroup());
    ParsedOptions options = parseOptions(args, groups);
    if (options.has("help")) {
        console.printPlain(commandHelp(command));
        return kExitSuccess;
    }
    if (options.has("version")) {
        console.printPlain(versionLine());
        return kExitSuccess;
    }
    if (!options.has("no-config"))
        if (const auto settings =
                settingsFileFor(options.operands().empty() ? "." : options.operands().front()))
            addSettingsFile(*settings, groups, everyOptionGroup(commands), options);
    try {
        return command.run(options, console);
    } catch (const UsageError& error) {
        throw UsageError(options.placed(error.what()));
    }
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
        if (arg == "--help" || arg == "-h") {
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
        throw UsageError("no command given; run '" + std::string(kProgramName) + " --help'");
    const Command* command = findCommand(commands, args[i]);
    if (command == nullptr)
        throw UsageError("unknown command '" + args[i] + "'; run '" + std::string(kProgramName) +
                         " --help'");
    carried.insert(carried.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    return runCommand(*command, carried, console, commands);
}

} // namespace

int runCommandLine(const std::vector<std::string>& args, const Console& console)
{
    try {
        const int status = dispatch(args, console);
        if (!console.outputWritten()) {
            console.printMessage(std::string("standard output: ") + std::strerror(errno));
            return kExitFailure;
        }
        return status;
    } catch (const UsageError& error) {
        console.printMessage(error.what());
        return kExitUsage;
    } catch (const std::exception& error) {
        // A command's own failure before it touched anything (CommandFailure), and whatever
        // else escapes a command (memory, the file system), ends in a message.
        console.printMessage(error.what());
        return kExitFailure;
    }
}

} // namespace tagwright::cli
