#pragma once

// A site's own settings: a file named .tagwright in the folder that a command acts on or the
// nearest folder above it, one option a line as on the command line without its dashes
// ("language = en", "ignore = documentation topic next", "recursive"), "#" beginning a comment
// at the start of a line or after a blank. One file serves every command: an option that only
// other commands take is passed over; a name that no command takes is a usage error naming the
// file and the line. Options given on the command line win.

#include "cli/option_parser.h"

#include <optional>
#include <string>
#include <vector>

namespace tagwright::cli {

inline constexpr const char* kSettingsFileName = ".tagwright";

// The settings file that serves an operand: a folder's own, or for anything else (a page, '-')
// that of the folder holding it; searched upwards to the root. Empty when there is none.
std::optional<std::string> settingsFileFor(const std::string& operand);

// Adds the file's options that the command takes (`groups`) and that `options` does not hold
// yet, each remembered with its place ("FILE:LINE"). `known` holds the option groups of every
// command. Throws UsageError for a line that names no option, gives a flag a value or a value
// option none, and when the file cannot be read.
void addSettingsFile(const std::string& path, const std::vector<OptionGroup>& groups,
                     const std::vector<OptionGroup>& known, ParsedOptions& options);

} // namespace tagwright::cli
