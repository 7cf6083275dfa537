#include "cli/settings_file.h"

#include "cli/usage_error.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace tagwright::cli {

namespace {

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r") + 1 - first));
}

// The line without its comment: "#" at its start or after a blank ("begin = C# notes" keeps it).
std::string_view withoutComment(std::string_view line)
{
    for (std::size_t at = line.find('#'); at != std::string_view::npos; at = line.find('#', at + 1))
        if (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t')
            return line.substr(0, at);
    return line;
}

// A value in double quotes, as a shell would take it from the command line, loses them.
std::string unquoted(std::string value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

std::optional<std::string> settingsFileFor(const std::string& operand)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = fs::absolute(operand == "-" ? "." : operand, error).lexically_normal();
    if (error)
        return std::nullopt;
    if (!fs::is_directory(folder, error))
        folder = folder.parent_path();
    for (;;) {
        const fs::path candidate = folder / kSettingsFileName;
        if (fs::is_regular_file(candidate, error)) {
            // Named as the operand is: relative to the current folder when it lies below it.
            const fs::path below = candidate.lexically_relative(fs::current_path(error));
            const bool relative = !fs::path(operand).is_absolute() && !error && !below.empty() &&
                                  *below.begin() != "..";
            return relative ? below.string() : candidate.string();
        }
        if (!folder.has_relative_path())
            return std::nullopt;
        folder = folder.parent_path();
    }
}

void addSettingsFile(const std::string& path, const std::vector<OptionGroup>& groups,
                     const std::vector<OptionGroup>& known, ParsedOptions& options)
{
    std::ifstream file(path);
    if (!file)
        throw UsageError(path + ": " + std::strerror(errno));
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        const std::string place = path + ":" + std::to_string(number);
        const std::string text = trimmed(withoutComment(line));
        if (text.empty())
            continue;
        const auto equals = text.find('=');
        const std::string name = trimmed(std::string_view(text).substr(0, equals));
        const OptionSpec* option = findOption(groups, name);
        const OptionSpec* anyOption = option ? option : findOption(known, name);
        if (anyOption == nullptr || name == "help" || name == "version" || name == "no-config")
            throw UsageError(place + ": unknown option '" + name + "'");
        if (anyOption->takesValue() && equals == std::string::npos)
            throw UsageError(place + ": option '" + name + "' needs a value (" + name + " = " +
                             anyOption->valueName + ")");
        if (!anyOption->takesValue() && equals != std::string::npos)
            throw UsageError(place + ": option '" + name + "' takes no value");
        if (option == nullptr || options.has(name))
            continue;
        options.setFromFile(
            name, equals == std::string::npos ? std::string() : unquoted(trimmed(text.substr(equals + 1))),
            place);
    }
    if (file.bad())
        throw UsageError(path + ": " + std::strerror(errno));
}

} // namespace tagwright::cli
