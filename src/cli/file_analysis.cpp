#include "cli/file_analysis.h"

#include "cli/analysis_options.h"
#include "cli/command_failure.h"
#include "cli/standard_input_page.h"
#include "engine/analysis.h"
#include "output/common_word_lists.h"
#include "support/data_dir.h"
#include "support/quoted_name.h"

namespace tagwright::cli {

CommonWords chosenCommonWords(const ParsedOptions& options, const AnalysisSettings& settings,
                              const Console& console)
{
    CommonWords commonWords;
    if (!settings.ignoreCommonWords)
        return commonWords;
    const std::string folder = options.value("data-dir").value_or(programDataFolder());
    CommonWordList& list = commonWords.list(settings.language);
    const CommonWordFileReading reading = readCommonWordFile(folder, settings.language, list);
    for (const UserMessage& warning : reading.warnings)
        console.printMessage(warning.text);
    // Without its list every page would get common words for keywords: no page is touched.
    if (!list.available())
        throw CommandFailure(shellQuotedName(commonWordFilePath(folder, settings.language)) +
                             ": " + reading.failure);
    return commonWords;
}

std::string fileOperand(const ParsedOptions& options)
{
    return options.soleOperand("FILE", "Input file not specified.");
}

std::optional<FileAnalysis> analyseFile(const ParsedOptions& options, const Console& console,
                                        StandardInput standardInput)
{
    const std::string named = fileOperand(options);
    FileAnalysis analysis{analysisSettingsFrom(options), {}};
    std::optional<StandardInputPage> input;
    if (named == "-" && standardInput == StandardInput::Read)
        input.emplace();
    // Messages name the page as given.
    const std::string path = input ? input->path() : named;
    if (const auto message = inputFileMessage(path)) {
        console.printFileMessage(named, message->text);
        return std::nullopt;
    }
    const CommonWords commonWords = chosenCommonWords(options, analysis.settings, console);
    SilentAnalysisHost host;
    const AnalysisOutcome outcome =
        doFile(path, analysis.settings, commonWords, host, analysis.table);
    // The number of a failure does not say why; the system's description does.
    if (const auto message = analysisResultMessage(outcome))
        console.printFileMessage(named, message->text, outcome.causeText());
    else if (!outcome.causeText().empty())
        console.printFileMessage(named, outcome.causeText());
    if (outcome.result != kAnalysisDone)
        return std::nullopt;
    return analysis;
}

} // namespace tagwright::cli
