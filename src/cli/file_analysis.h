#pragma once

// The analysis of one FILE as the single-file commands of the desktop program run it, without
// a person: the file is checked, the common-word list of the chosen language is read, and the
// file is analysed. Failures are printed in the system's own words.

#include "cli/console.h"
#include "cli/option_parser.h"
#include "engine/analysis_settings.h"
#include "engine/common_words.h"
#include "engine/word_table.h"

#include <optional>
#include <string>

namespace tagwright::cli {

struct FileAnalysis
{
    AnalysisSettings settings; // as the run used them
    WordTable table;           // ranked and finished
};

// The one FILE operand; throws UsageError when there is none or more than one.
std::string fileOperand(const ParsedOptions& options);

// The list of the chosen language, as the desktop program has it after start-up, its reading
// warnings shown. A list that is not available throws CommandFailure, which names the file and
// why: the desktop program warns and goes on, a command fails before it touches any page.
CommonWords chosenCommonWords(const ParsedOptions& options, const AnalysisSettings& settings,
                              const Console& console);

// Whether a FILE operand '-' is standard input (list, generate) or a file of that name.
enum class StandardInput { Read, NotRead };

// Empty after a failure, whose message has been printed.
std::optional<FileAnalysis> analyseFile(const ParsedOptions& options, const Console& console,
                                        StandardInput standardInput = StandardInput::NotRead);

} // namespace tagwright::cli
