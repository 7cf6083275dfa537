#include "cli/analysis_options.h"

#include "cli/option_values.h"
#include "cli/usage_error.h"

#include <array>
#include <string_view>

namespace tagwright::cli {

namespace {

// The codes of --language, in the order of LanguageIndex.
constexpr std::array<std::string_view, kLanguageCount> kLanguageCodes = {"en", "fr", "de", "it",
                                                                         "pt", "es", "all"};

LanguageIndex languageFrom(const ParsedOptions& options)
{
    const auto code = options.value("language");
    if (!code)
        return AnalysisSettings().language;
    for (std::size_t i = 0; i < kLanguageCodes.size(); ++i)
        if (kLanguageCodes[i] == *code)
            return static_cast<LanguageIndex>(i);
    throw UsageError("--language must be one of en, fr, de, it, pt, es, all, not '" + *code + "'");
}

int contextWeight(const ParsedOptions& options, std::string_view name, int fallback)
{
    return wholeNumberOption(options, name, 0, 9, fallback);
}

int contentWeight(const ParsedOptions& options, std::string_view name, int fallback)
{
    return wholeNumberOption(options, name, 0, 90, fallback, 10);
}

} // namespace

OptionGroup analysisOptionGroup()
{
    return {
        "Analysis options",
        {{"language", "CODE", "common words and word rules: en fr de it pt es all (en)"},
         {"keep-case", "", "keep upper and lower case"},
         {"no-common-words", "", "count common words too"},
         {"short-words", "N", "drop words of N letters or less, 1..9 (2)"},
         {"keep-short-words", "", "keep short words"},
         {"min-frequency", "N", "minimum frequency of a word, 1..9 (2)"},
         {"ignore", "WORDS", "words to ignore, separated by blanks or commas"},
         {"weight-title", "N", "weight in the title: 0, 10, ..., 90 (90)"},
         {"weight-description", "N", "weight in the description: 0, 10, ..., 90 (50)"},
         {"weight-keywords", "N", "weight in existing keywords: 0, 10, ..., 90; 0 skips them (50)"},
         {"weight-bold", "N", "added in bold or strong, 0..9 (4)"},
         {"weight-italic", "N", "added in italic or emphasis, 0..9 (4)"},
         {"weight-table", "N", "added in a table, 0..9; 0 skips tables (1)"},
         {"weight-div", "N", "added in a div, 0..9; 0 skips divs (2)"},
         {"weight-span", "N", "added in a span, 0..9; 0 skips spans (2)"}}};
}

AnalysisSettings analysisSettingsFrom(const ParsedOptions& options)
{
    AnalysisSettings settings;
    settings.language = languageFrom(options);
    settings.preserveCase = options.has("keep-case");
    settings.ignoreCommonWords = !options.has("no-common-words");
    settings.ignoreShortWords = !options.has("keep-short-words");
    settings.shortWordSize =
        wholeNumberOption(options, "short-words", 1, 9, settings.shortWordSize);
    settings.minimumFrequency =
        wholeNumberOption(options, "min-frequency", 1, 9, settings.minimumFrequency);
    if (options.has("ignore"))
        settings.wordsToIgnore = wordsToIgnoreList(textOption(options, "ignore"));
    settings.titleWeight = contentWeight(options, "weight-title", settings.titleWeight);
    settings.descriptionWeight =
        contentWeight(options, "weight-description", settings.descriptionWeight);
    settings.existingKeywordsWeight =
        contentWeight(options, "weight-keywords", settings.existingKeywordsWeight);
    settings.boldWeight = contextWeight(options, "weight-bold", settings.boldWeight);
    settings.italicWeight = contextWeight(options, "weight-italic", settings.italicWeight);
    settings.tableWeight = contextWeight(options, "weight-table", settings.tableWeight);
    settings.divWeight = contextWeight(options, "weight-div", settings.divWeight);
    settings.spanWeight = contextWeight(options, "weight-span", settings.spanWeight);
    return settings;
}

} // namespace tagwright::cli
