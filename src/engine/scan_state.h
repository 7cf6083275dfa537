#pragma once

#include "engine/analysis_settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tagwright {

// The context of the scan, carried from line to line of one document.
struct ScanState
{
    static constexpr std::int16_t kDefaultFontSize = 3;

    std::size_t pos = 0; // 0-based position in the line being scanned

    bool inTag = false;        // a "<" has not been closed yet, also across lines
    std::int16_t tagDepth = 0; // nesting of "<" inside tags
    bool inComment = false;
    bool inStyle = false;
    bool inScript = false;
    bool bold = false;
    bool italic = false;
    bool inTitle = false;
    bool inDescriptionContent = false; // after "content" of the description meta tag, up to ">"
    bool inKeywordsContent = false;    // after "content" of an existing keywords meta tag
    bool fontTagContinues = false;     // a font tag's ">" was not on its line
    std::int16_t headingWeight = 0;    // 5 x (7 - level) inside a heading
    std::int16_t tableDepth = 0;
    std::int16_t divDepth = 0;
    std::int16_t spanDepth = 0;
    std::int16_t fontSize = kDefaultFontSize; // 1..7
    std::vector<std::int16_t> fontStack = std::vector<std::int16_t>(17);
    std::int16_t fontStackDepth = 0;

    // The value of an occurrence in this context.
    float occurrenceValue(const AnalysisSettings& settings) const
    {
        if (inTitle)
            return static_cast<float>(settings.titleWeight);
        if (inDescriptionContent)
            return static_cast<float>(settings.descriptionWeight);
        if (inKeywordsContent)
            return static_cast<float>(settings.existingKeywordsWeight);
        // Nesting does not multiply: a word in three nested tables gets the table weight once.
        int value = fontSize + headingWeight;
        if (bold)
            value += settings.boldWeight;
        if (italic)
            value += settings.italicWeight;
        if (tableDepth > 0)
            value += settings.tableWeight;
        if (divDepth > 0)
            value += settings.divWeight;
        if (spanDepth > 0)
            value += settings.spanWeight;
        return static_cast<float>(value);
    }
    // Whether a word first counted here survives the minimum frequency.
    bool thresholdExempt() const
    {
        return inTitle || inDescriptionContent || inKeywordsContent || headingWeight > 0;
    }
};

} // namespace tagwright
