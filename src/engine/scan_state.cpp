#include "engine/scan_state.h"

namespace tagwright {

float ScanState::occurrenceValue(const AnalysisSettings& settings) const
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

} // namespace tagwright
