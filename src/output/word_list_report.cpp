#include "output/word_list_report.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace tagwright {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string rightAligned(std::string_view text, std::size_t width)
{
    std::string result(width > text.size() ? width - text.size() : 0, ' ');
    result += text;
    return result;
}

// Rounded to a whole number, halves to even, as the list shows it.
std::string valueText(float keyValue)
{
    return std::to_string(std::llround(std::nearbyint(static_cast<double>(keyValue))));
}

// Share of all words taken from the document, with two decimals and "." whatever the locale.
std::string densityText(int frequency, long long totalWordCount)
{
    const double density =
        totalWordCount > 0 ? frequency * 100.0 / static_cast<double>(totalWordCount) : 0.0;
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, density, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string showWordList(const WordTable& table, const AnalysisSettings& settings,
                         const std::function<void(std::string_view textSoFar)>& shown)
{
    const int count = table.count();
    if (count < 1)
        return showNoWordsMessage(settings);

    const std::size_t rankWidth = std::max<std::size_t>(4, std::to_string(count).size());
    const int batch = std::max(10, static_cast<int>(std::nearbyint(count / 10.0)));
    std::string text = "Rank Value Freq. Density";
    text += kCrLf;
    bool zeroValuesLeftOut = false;
    int rank = 0;
    for (const WordEntry& entry : table.entries()) {
        ++rank;
        const std::string value = valueText(entry.keyValue);
        if (value == "0") {
            zeroValuesLeftOut = true;
        } else {
            text += rightAligned(std::to_string(rank), rankWidth);
            text += ' ';
            text += rightAligned(value, 5);
            text += ' ';
            text += rightAligned(std::to_string(entry.frequency), 4);
            text += "  ";
            text += rightAligned(densityText(entry.frequency, table.totalWordCount()), 4);
            text += "%  ";
            text += entry.text;
            text += kCrLf;
        }
        if (shown && rank % batch == 0)
            shown(text);
    }
    if (zeroValuesLeftOut) {
        text += kCrLf;
        text += "Words with key value 0 not shown.";
        text += kCrLf;
    }
    return text;
}

std::string showNoWordsMessage(const AnalysisSettings& settings)
{
    std::string text = "No words";
    if (settings.ignoreShortWords) {
        text += " with more than " + std::to_string(settings.shortWordSize) + " letter";
        if (settings.shortWordSize > 1)
            text += 's';
    }
    text += " occur at least ";
    switch (settings.minimumFrequency) {
    case 1:
        return text + "once.";
    case 2:
        return text + "twice.";
    default:
        return text + std::to_string(settings.minimumFrequency) + " times.";
    }
}

} // namespace tagwright
