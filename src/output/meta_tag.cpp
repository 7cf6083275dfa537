#include "output/meta_tag.h"

#include "output/word_list_report.h"
#include "support/strings.h"

#include <algorithm>

namespace tagwright {

namespace {

constexpr std::string_view kTagBeginning = "<meta name=\"keywords\" content=\"";
constexpr std::string_view kCountMarker = "Number of keywords in meta tag";

std::string trimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The begin phrase as the tag carries it: ", " becomes ",", one trailing comma is dropped and
// the case follows the analysis.
std::string preparedBeginPhrase(std::string_view beginWith, bool preserveCase)
{
    std::string phrase;
    const std::string trimmed = trimBlanks(beginWith);
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        phrase += trimmed[i];
        if (trimmed[i] == ',' && i + 1 < trimmed.size() && trimmed[i + 1] == ' ')
            ++i;
    }
    if (!phrase.empty() && phrase.back() == ',')
        phrase.pop_back();
    return preserveCase ? phrase : lowerCaseAccented(phrase);
}

// The tag up to its last keyword, and the words taken from the table for it.
struct Composition
{
    std::string box;
    int keywords = 0;
    std::vector<std::string_view> taken;
};

Composition composeKeywords(const WordTable& table, const TagSettings& tag, bool preserveCase)
{
    Composition tagSoFar{std::string(kTagBeginning), 0, {}};
    std::string& box = tagSoFar.box;
    int& keywords = tagSoFar.keywords;
    const std::string phrase = preparedBeginPhrase(tag.beginWith, preserveCase);
    box += phrase;
    // A phrase that was only a comma adds no keyword, so the first word needs no separator.
    keywords = phrase.empty() ? 0 : static_cast<int>(std::ranges::count(phrase, ',')) + 1;
    // The lower-cased box text, kept alongside so that each word is tested against it cheaply.
    std::string lowered = lowerCaseAccented(box);
    const std::string_view separator = tag.spaceAfterComma ? ", " : ",";

    for (const WordEntry& entry : table.entries()) {
        const std::string& word = entry.text;
        const std::string lowerWord = lowerCaseAccented(word);
        // A word left out is passed over before the limits, as if the table did not hold it.
        if (tag.leftOut.contains(lowerWord))
            continue;
        if (tag.maxKeywords > 0 && keywords + 1 > tag.maxKeywords)
            break;
        // One character is counted for the separator, even when it is a comma and a blank.
        if (tag.maxBytes > 0 &&
            box.size() + word.size() + 1 > static_cast<std::size_t>(tag.maxBytes))
            break;
        // A word already contained in the tag (also inside a longer keyword) is passed over.
        if (lowered.find(lowerWord) != std::string::npos)
            continue;
        if (keywords > 0) {
            box += separator;
            lowered += separator;
        }
        box += word;
        lowered += lowerWord;
        ++keywords;
        tagSoFar.taken.push_back(word);
    }
    return tagSoFar;
}

} // namespace

std::string generateKeywordMetaTag(const WordTable& table, const TagSettings& tag,
                                   const AnalysisSettings& analysis)
{
    if (table.count() < 1)
        return showNoWordsMessage(analysis);

    Composition composed = composeKeywords(table, tag, analysis.preserveCase);
    std::string& box = composed.box;
    const std::size_t bytes = box.size();
    box += tag.forwardSlash ? "\" />" : "\">";
    if (analysis.singleFile)
        box += "\r\n\r\nNumber of keywords in meta tag: " + std::to_string(composed.keywords) +
               "\r\nNumber of bytes in meta tag: " + std::to_string(bytes);
    return box;
}

std::vector<std::string> tagWords(const WordTable& table, const TagSettings& tag,
                                  const AnalysisSettings& analysis)
{
    const Composition composed = composeKeywords(table, tag, analysis.preserveCase);
    return {composed.taken.begin(), composed.taken.end()};
}

std::string getMetaTag(std::string_view boxText)
{
    std::string text = trimBlanks(boxText);
    const std::size_t counts = text.find(kCountMarker);
    if (counts != std::string::npos)
        text = trimBlanks(std::string_view(text).substr(0, counts));
    trimControlChars(text);
    return text;
}

std::vector<std::string> keywordsOfTag(std::string_view tag)
{
    std::vector<std::string> keywords;
    constexpr std::string_view kContent = "content=\"";
    const std::size_t start = tag.find(kContent);
    if (start == std::string_view::npos)
        return keywords;
    const std::size_t from = start + kContent.size();
    const std::string_view content = tag.substr(from, tag.find('"', from) - from);
    for (std::size_t at = 0; at <= content.size();) {
        const std::size_t end = std::min(content.find(',', at), content.size());
        const std::string_view item = content.substr(at, end - at);
        const std::size_t first = item.find_first_not_of(' ');
        if (first != std::string_view::npos)
            keywords.emplace_back(item.substr(first, item.find_last_not_of(' ') + 1 - first));
        at = end + 1;
    }
    return keywords;
}

std::string composedMetaTag(const WordTable& table, const TagSettings& tag,
                            const AnalysisSettings& analysis)
{
    return getMetaTag(generateKeywordMetaTag(table, tag, analysis));
}

} // namespace tagwright
