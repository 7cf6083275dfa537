// The whole analysis of one page written to a real file, under settings drawn from the input:
// it ends with one of its result codes, and a finished table keeps its promises (texts of 1 to
// 100 characters, rank order, the largest key value scaled to 100, frequencies in range).

#include "fuzz_checks.h"
#include "input_bytes.h"
#include "scratch_folder.h"

#include "engine/analysis.h"
#include "engine/overflow.h"

#include <cmath>

namespace tagwright::fuzz {

namespace {

AnalysisSettings drawSettings(InputBytes& bytes)
{
    AnalysisSettings settings;
    settings.titleWeight = 10 * bytes.inRange(0, 9);
    settings.descriptionWeight = 10 * bytes.inRange(0, 9);
    settings.existingKeywordsWeight = 10 * bytes.inRange(0, 9);
    settings.boldWeight = bytes.inRange(0, 9);
    settings.italicWeight = bytes.inRange(0, 9);
    settings.tableWeight = bytes.inRange(0, 9);
    settings.divWeight = bytes.inRange(0, 9);
    settings.spanWeight = bytes.inRange(0, 9);
    settings.ignoreShortWords = bytes.flag();
    settings.shortWordSize = bytes.inRange(1, 9);
    settings.minimumFrequency = bytes.inRange(1, 9);
    settings.ignoreCommonWords = bytes.flag();
    settings.language = static_cast<LanguageIndex>(bytes.inRange(0, kLanguageCount - 1));
    settings.preserveCase = bytes.flag();
    settings.singleFile = bytes.flag();
    settings.dialogForInvalidEndFontTag = bytes.flag();
    settings.wordsToIgnore = wordsToIgnoreList(bytes.field());
    return settings;
}

CommonWords someCommonWords()
{
    CommonWords words;
    for (int language = 0; language < kLanguageCount; ++language) {
        for (const char* word : {"the", "and", "les", "und", "che", "que", "\xe9t\xe9"})
            words.list(static_cast<LanguageIndex>(language)).add(word);
    }
    return words;
}

std::string checkTable(const WordTable& table, const AnalysisSettings& settings)
{
    const auto& entries = table.entries();
    if (entries.size() != static_cast<std::size_t>(table.count()))
        return "the count is not the number of entries";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const WordEntry& entry = entries[i];
        if (entry.text.empty() || entry.text.size() > WordTable::kMaxWordLength)
            return "an entry of " + std::to_string(entry.text.size()) + " characters";
        if (entry.frequency < 1 || (entry.frequency < settings.minimumFrequency && !entry.thresholdExempt))
            return "entry '" + entry.text + "' has frequency " + std::to_string(entry.frequency);
        if (!std::isfinite(entry.keyValue) || entry.keyValue < 0 || entry.keyValue > 100.0001F)
            return "entry '" + entry.text + "' has key value " + std::to_string(entry.keyValue);
        if (i > 0 && entries[i - 1].keyValue < entry.keyValue)
            return "the table is not in rank order at position " + std::to_string(i + 1);
    }
    if (!entries.empty() && entries.front().keyValue > 0 && std::abs(entries.front().keyValue - 100) > 0.001F)
        return "the largest key value is " + std::to_string(entries.front().keyValue);
    if (table.totalWordCount() < 0)
        return "a negative total word count";
    return {};
}

} // namespace

std::string checkAnalysis(std::string_view input)
{
    InputBytes bytes(input);
    const AnalysisSettings settings = drawSettings(bytes);
    const ScratchFolder folder;
    const std::string path = folder.write("page.htm", bytes.rest());

    SilentAnalysisHost host;
    WordTable table;
    const AnalysisOutcome outcome = doFile(path, settings, someCommonWords(), host, table);
    switch (outcome.result) {
    case kAnalysisDone:
        return checkTable(table, settings);
    case kNotATextFile:
        if (outcome.position < 1 || outcome.position > static_cast<std::int32_t>(bytes.rest().size()) ||
            static_cast<unsigned char>(bytes.rest()[outcome.position - 1]) != outcome.offendingByte)
            return "the offending byte is not where the outcome says";
        return {};
    case kOverflowError:
        return {};
    default:
        return "unexpected result " + std::to_string(outcome.result);
    }
}

} // namespace tagwright::fuzz
