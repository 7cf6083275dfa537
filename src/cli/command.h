#pragma once

// A subcommand of tagwright-cli. Each command lives in its own file and is listed once in
// command_registry.cpp; the front end does the rest (option parsing, --help, usage errors).

#include "cli/console.h"
#include "cli/option_parser.h"

#include <string_view>
#include <vector>

namespace tagwright::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

class Command
{
  public:
    virtual ~Command() = default;

    virtual std::string_view name() const = 0;
    // The operands as the usage line shows them, e.g. "FILE".
    virtual std::string_view operands() const = 0;
    virtual std::string_view summary() const = 0;
    // The command's own options; the common ones (--data-dir, --help, --version) are added by
    // the front end.
    virtual std::vector<OptionGroup> optionGroups() const = 0;
    // Runs with parsed options; returns the exit status. May throw UsageError.
    virtual int run(const ParsedOptions& options, const Console& console) const = 0;
};

} // namespace tagwright::cli
