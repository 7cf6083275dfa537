#pragma once

#include "engine/analysis_host.h"
#include "engine/analysis_settings.h"
#include "engine/common_words.h"
#include "engine/user_message.h"
#include "engine/word_table.h"
#include "support/expected.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// Result codes of doFile; any positive result is the number of the error that ended the run.
inline constexpr std::int16_t kAnalysisDone = 0;
inline constexpr std::int16_t kNotATextFile = -1;
inline constexpr std::int16_t kAnalysisStopped = -3;
inline constexpr std::int16_t kUnixFileDeclined = -4;
// Error numbers of a run that could not read its file.
inline constexpr std::int16_t kFileNotFoundError = 53;
inline constexpr std::int16_t kPermissionDeniedError = 70;
inline constexpr std::int16_t kDeviceIoError = 57;

struct AnalysisOutcome
{
    std::int16_t result = kAnalysisDone;
    // For kNotATextFile: the first control byte that failed the text check and its 1-based
    // position (32 and 0 when none).
    std::uint8_t offendingByte = 32;
    std::int32_t position = 0;
    // The Unix-file question was answered Cancel: a multiple-files run stops.
    bool stopRun = false;
    // For a failure that struck while the file was read: the system's error and description.
    std::optional<Failure> cause;

    // The cause's description; empty when there is none.
    std::string causeText() const { return cause ? cause->text : std::string(); }
};

// Analyses one file into `table`: checks that it is text, reads it line by line, prepares and
// scans every line, counts the words, and finishes the table (minimum frequency, case variants,
// scaling). Talks to the user only through `host`, naming the file by shownPath when `path`
// reaches it by another way (through a folder's descriptor).
AnalysisOutcome doFile(const std::string& path, const AnalysisSettings& settings,
                       const CommonWords& commonWords, AnalysisHost& host, WordTable& table,
                       std::string_view shownPath = {});

// What the single-file commands show before an analysis: the input box text (already trimmed)
// checked in turn for being empty, valid (input checks) and present. Nothing when it may run.
std::optional<UserMessage> inputFileMessage(std::string_view path);

// What the single-file commands show for a result of doFile: nothing for 0, -3 and -4.
std::optional<UserMessage> analysisResultMessage(const AnalysisOutcome& outcome);

} // namespace tagwright
