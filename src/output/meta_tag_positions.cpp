#include "output/meta_tag_positions.h"

#include <algorithm>
#include <string>

namespace tagwright {

namespace {

constexpr std::string_view kMetaOpen = "<meta ";
constexpr std::string_view kNameAttribute = "name";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The position just before the blanks that end at `at` (exclusive), scanning back to `floor`.
std::size_t skipBlanksBack(std::string_view text, std::size_t at, std::size_t floor)
{
    while (at > floor && isBlank(text[at - 1]))
        --at;
    return at;
}

// Whether the quoted value that begins at `quote` is the value of a name attribute that stands
// after a blank inside the tag opened at `open`: `name`, blanks, "=", blanks, the value.
bool isNameValue(std::string_view line, std::size_t open, std::size_t quote)
{
    // The blank of "<meta " may be the one before the attribute.
    const std::size_t floor = open + kMetaOpen.size() - 1;
    const std::size_t equals = skipBlanksBack(line, quote, floor);
    if (equals <= floor || line[equals - 1] != '=')
        return false;
    const std::size_t nameEnd = skipBlanksBack(line, equals - 1, floor);
    if (nameEnd < floor + 1 + kNameAttribute.size())
        return false;
    const std::size_t nameStart = nameEnd - kNameAttribute.size();
    return line.substr(nameStart, kNameAttribute.size()) == kNameAttribute &&
           isBlank(line[nameStart - 1]);
}

} // namespace

TagSpan findNamedMetaTag(std::string_view lowerLine, std::string_view name)
{
    constexpr auto npos = std::string_view::npos;
    std::string quoted = "\"";
    quoted.append(name).append("\"");
    // Each "<meta " owns the text up to the next ">" or the next "<meta ", whichever comes
    // first; every byte is looked at a bounded number of times, however the line is made.
    std::size_t close = lowerLine.find('>');
    for (auto open = lowerLine.find(kMetaOpen); open != npos;) {
        const auto next = lowerLine.find(kMetaOpen, open + 1);
        if (close != npos && close < open)
            close = lowerLine.find('>', open);
        const std::size_t ownEnd = std::min({close, next, lowerLine.size()});
        const std::string_view own = lowerLine.substr(open, ownEnd - open);
        for (auto at = own.find(quoted); at != npos; at = own.find(quoted, at + 1)) {
            const std::size_t quote = open + at;
            if (!isNameValue(lowerLine, open, quote))
                continue;
            return {open + 1, close == npos ? 0 : close + 1};
        }
        open = next;
    }
    return {};
}

TagSpan findKeywordsMetaTag(std::string_view lowerLine)
{
    return findNamedMetaTag(lowerLine, "keywords");
}

TagSpan findDoneMetaTag(std::string_view lowerLine)
{
    return findNamedMetaTag(lowerLine, "qova done");
}

} // namespace tagwright
