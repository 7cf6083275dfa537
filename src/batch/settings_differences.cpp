#include "batch/settings_differences.h"

#include <array>
#include <string_view>
#include <tuple>
#include <utility>

namespace tagwright {

namespace {

constexpr std::array<std::string_view, kLanguageCount> kLanguageNames{
    "English", "French", "German", "Italian", "Portuguese", "Spanish", "all languages"};

std::string extensionsText(const BatchSettings& batch)
{
    std::string text;
    for (const auto& [ticked, name] : {std::pair{batch.htm, "htm"}, std::pair{batch.html, "html"},
                                       std::pair{batch.shtm, "shtm"},
                                       std::pair{batch.shtml, "shtml"}})
        if (ticked)
            text.append(text.empty() ? "" : ", ").append(name);
    return text;
}

void addBatchDifferences(const BatchSettings& batch, std::vector<std::string>& out)
{
    const BatchSettings defaults;
    if (extensionsText(batch) != extensionsText(defaults))
        out.push_back("extensions: " + extensionsText(batch));
    if (batch.includeAllSubfolders)
        out.emplace_back("subfolders included");
    if (batch.backup)
        out.emplace_back("backups kept");
    if (!batch.addDone)
        out.emplace_back("no done marker");
    if (batch.skipDone)
        out.push_back("pages done less than " + std::to_string(batch.lessThanNDaysOld + 1) +
                      " days ago skipped");
    if (batch.siteWords > 0)
        out.push_back("site words: on more than " + std::to_string(batch.siteWords) +
                      "% of the pages");
}

void addAnalysisDifferences(const AnalysisSettings& analysis, std::vector<std::string>& out)
{
    const AnalysisSettings defaults;
    const std::array<std::tuple<int, int, std::string_view>, 8> weights{{
        {analysis.titleWeight, defaults.titleWeight, "title"},
        {analysis.descriptionWeight, defaults.descriptionWeight, "description"},
        {analysis.existingKeywordsWeight, defaults.existingKeywordsWeight, "existing keywords"},
        {analysis.boldWeight, defaults.boldWeight, "bold"},
        {analysis.italicWeight, defaults.italicWeight, "italic"},
        {analysis.tableWeight, defaults.tableWeight, "table"},
        {analysis.divWeight, defaults.divWeight, "div"},
        {analysis.spanWeight, defaults.spanWeight, "span"},
    }};
    for (const auto& [weight, standard, name] : weights)
        if (weight != standard)
            out.push_back("weight of " + std::string(name) + ": " + std::to_string(weight));
    if (!analysis.ignoreShortWords)
        out.emplace_back("short words kept");
    else if (analysis.shortWordSize != defaults.shortWordSize)
        out.push_back("words of up to " + std::to_string(analysis.shortWordSize) +
                      " letters left out");
    if (analysis.minimumFrequency != defaults.minimumFrequency)
        out.push_back("minimum frequency: " + std::to_string(analysis.minimumFrequency));
    if (!analysis.ignoreCommonWords)
        out.emplace_back("common words kept");
    if (analysis.language != defaults.language)
        out.push_back("language: " +
                      std::string(kLanguageNames.at(static_cast<std::size_t>(analysis.language))));
    if (analysis.preserveCase)
        out.emplace_back("letter case kept");
    if (!analysis.wordsToIgnore.empty()) {
        std::string words = analysis.wordsToIgnore;
        words.pop_back(); // the list's closing comma
        out.push_back("ignored words: " + words);
    }
}

void addTagDifferences(const TagSettings& tag, std::vector<std::string>& out)
{
    const TagSettings defaults;
    if (tag.maxKeywords != defaults.maxKeywords)
        out.push_back(tag.maxKeywords > 0 ? "at most " + std::to_string(tag.maxKeywords) +
                                                " keywords"
                                          : "no keyword limit");
    if (tag.maxBytes != defaults.maxBytes)
        out.push_back(tag.maxBytes > 0 ? "at most " + std::to_string(tag.maxBytes) + " bytes"
                                       : "no byte limit");
    if (!tag.beginWith.empty())
        out.push_back("tags begin with: " + tag.beginWith);
    if (!tag.spaceAfterComma)
        out.emplace_back("no blank after commas");
    if (tag.forwardSlash)
        out.emplace_back("tags closed with />");
}

} // namespace

std::vector<std::string> settingsDifferences(const BatchSettings& batch,
                                             const AnalysisSettings& analysis,
                                             const TagSettings& tag)
{
    std::vector<std::string> differences;
    addBatchDifferences(batch, differences);
    addAnalysisDifferences(analysis, differences);
    addTagDifferences(tag, differences);
    return differences;
}

} // namespace tagwright
