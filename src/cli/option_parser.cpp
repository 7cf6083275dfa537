#include "cli/option_parser.h"

#include "cli/usage_error.h"

namespace tagwright::cli {

const OptionSpec* findOption(const std::vector<OptionGroup>& groups, std::string_view name)
{
    for (const OptionGroup& group : groups)
        for (const OptionSpec& option : group.options)
            if (option.name == name)
                return &option;
    return nullptr;
}

namespace {

// Whether arg is one of the options, as "--name" or "--name=VALUE".
bool namesOption(const std::vector<OptionGroup>& groups, const std::string& arg)
{
    if (!arg.starts_with("--"))
        return false;
    const std::size_t equals = arg.find('=');
    return findOption(groups, arg.substr(2, equals == std::string::npos ? equals : equals - 2)) !=
           nullptr;
}

} // namespace

std::string ParsedOptions::soleOperand(std::string_view kind, const std::string& missing) const
{
    if (operands_.empty())
        throw UsageError(missing);
    if (operands_.size() > 1)
        throw UsageError("one " + std::string(kind) + " expected, but '" + operands_[1] +
                         "' follows '" + operands_[0] + "' (put '--' before a " +
                         std::string(kind) + " that begins with '-')");
    return operands_.front();
}

void ParsedOptions::setFromFile(const std::string& name, std::string value, std::string place)
{
    set(name, std::move(value));
    places_[name] = std::move(place);
}

std::string ParsedOptions::placed(const std::string& message) const
{
    for (const auto& [name, place] : places_) {
        const std::string option = "--" + name;
        if (message.starts_with(option) &&
            (message.size() == option.size() || message[option.size()] == ' ' ||
             message[option.size()] == ':'))
            return place + ": " + message;
    }
    return message;
}

bool ParsedOptions::has(std::string_view name) const
{
    return values_.find(name) != values_.end();
}

std::optional<std::string> ParsedOptions::value(std::string_view name) const
{
    const auto found = values_.find(name);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

ParsedOptions parseOptions(const std::vector<std::string>& args,
                           const std::vector<OptionGroup>& groups)
{
    ParsedOptions parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.addOperand(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" && findOption(groups, "help") != nullptr) {
            parsed.set("help", "");
            continue;
        }
        if (arg[1] != '-')
            throw UsageError("unknown option '" + arg + "'");

        const std::size_t equals = arg.find('=');
        const std::string name =
            arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionSpec* option = findOption(groups, name);
        if (option == nullptr)
            throw UsageError("unknown option '--" + name + "'");
        if (!option->takesValue()) {
            if (equals != std::string::npos)
                throw UsageError("option '--" + name + "' takes no value");
            parsed.set(name, "");
        } else if (equals != std::string::npos) {
            parsed.set(name, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            // "--report --no-done" forgot the value; "--report=--no-done" names such a file.
            if (namesOption(groups, args[i + 1]))
                throw UsageError("option '--" + name + "' needs a value (" + option->valueName +
                                 "), not the option '" + args[i + 1] + "'");
            parsed.set(name, args[++i]);
        } else {
            throw UsageError("option '--" + name + "' needs a value (" + option->valueName + ")");
        }
    }
    return parsed;
}

} // namespace tagwright::cli
