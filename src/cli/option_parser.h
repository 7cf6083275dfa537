#pragma once

// One parser for the options of every command: "--name", "--name VALUE" or "--name=VALUE";
// "--" ends the options, so that later arguments are operands even when they begin with "-".

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright::cli {

struct OptionSpec
{
    std::string name;      // without the leading "--"
    std::string valueName; // empty for a flag
    std::string help;

    bool takesValue() const { return !valueName.empty(); }
};

struct OptionGroup
{
    std::string title;
    std::vector<OptionSpec> options;
};

// The option of that name (without "--") in the groups; none when no group has it.
const OptionSpec* findOption(const std::vector<OptionGroup>& groups, std::string_view name);

class ParsedOptions
{
  public:
    bool has(std::string_view name) const;
    // The value given last for an option that takes one.
    std::optional<std::string> value(std::string_view name) const;
    const std::vector<std::string>& operands() const { return operands_; }
    // The one operand of a command that takes one `kind` (FILE, FOLDER); a usage error, with
    // the `missing` text when there is none, and when more follow.
    std::string soleOperand(std::string_view kind, const std::string& missing) const;

    void set(const std::string& name, std::string value) { values_[name] = std::move(value); }
    // A value from a settings file, with its place there ("FILE:LINE").
    void setFromFile(const std::string& name, std::string value, std::string place);
    // A usage error's message about a value, headed by the value's place when it came from a
    // settings file: such messages begin with the option's name ("--language must be ...").
    std::string placed(const std::string& message) const;
    void addOperand(std::string operand) { operands_.push_back(std::move(operand)); }
    // The same options with that one operand.
    ParsedOptions withSoleOperand(std::string operand) const
    {
        ParsedOptions one = *this;
        one.operands_ = {std::move(operand)};
        return one;
    }

  private:
    std::map<std::string, std::string, std::less<>> values_;
    std::map<std::string, std::string, std::less<>> places_;
    std::vector<std::string> operands_;
};

// Reads args against the options of the groups; throws UsageError for an unknown option, a
// missing value or a value given to a flag.
ParsedOptions parseOptions(const std::vector<std::string>& args,
                           const std::vector<OptionGroup>& groups);

} // namespace tagwright::cli
