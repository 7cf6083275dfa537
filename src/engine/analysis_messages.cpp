#include "engine/analysis.h"

#include "engine/input_checks.h"
#include "support/files.h"
#include "support/strings.h"

namespace tagwright {

std::optional<UserMessage> inputFileMessage(std::string_view path)
{
    if (path.empty())
        return UserMessage{"Error", "Input file not specified.", MessageIcon::Warning};
    if (auto invalid = validateInputFile(std::string(path)))
        return invalid;
    if (!fileExists(std::string(path)))
        return UserMessage{"File not found", "Input file not found.", MessageIcon::Warning};
    return std::nullopt;
}

std::optional<UserMessage> analysisResultMessage(const AnalysisOutcome& outcome)
{
    switch (outcome.result) {
    case kAnalysisDone:
    case kAnalysisStopped:
    case kUnixFileDeclined:
        return std::nullopt;
    case kNotATextFile:
        return UserMessage{"Not a text file",
                           "This file is not a text file.\r\nThe byte at position" +
                               numberText(outcome.position) + " with value" +
                               numberText(outcome.offendingByte) +
                               "\r\n is neither text nor whitespace.",
                           MessageIcon::Information};
    default:
        return UserMessage{"Error",
                           "An error of an unknown kind has occurred:" + numberText(outcome.result),
                           MessageIcon::Warning};
    }
}

} // namespace tagwright
