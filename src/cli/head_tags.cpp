#include "cli/head_tags.h"

#include "output/meta_tag_positions.h"
#include "support/line_reader.h"
#include "support/strings.h"

#include <algorithm>

#include <string_view>

namespace tagwright::cli {

namespace {

// A minified head may hold several tags on one line.
int tagsOnLine(std::string_view lower, TagSpan (*find)(std::string_view))
{
    int count = 0;
    for (;;) {
        const TagSpan tag = find(lower);
        if (tag.start == 0)
            return count;
        ++count;
        if (tag.end == 0)
            return count;
        lower.remove_prefix(tag.end);
    }
}

// The head of a lower-cased page up to "</head>", comments left out: a commented-out tag is
// no tag, and a minified head ends on the line that holds its tags.
std::string liveHead(std::string_view lower)
{
    std::string head;
    for (std::size_t at = 0; at < lower.size();) {
        const std::size_t comment = lower.find("<!--", at);
        const std::size_t end = lower.find("</head>", at);
        if (end != std::string_view::npos && end < comment)
            return head.append(lower.substr(at, end - at));
        head.append(lower.substr(at, comment - at));
        if (comment == std::string_view::npos)
            return head;
        const std::size_t closed = lower.find("-->", comment + 4);
        at = closed == std::string_view::npos ? lower.size() : closed + 3;
    }
    return head;
}

} // namespace

std::optional<HeadTags> headTagsOf(const std::string& path)
{
    LineReader reader(path, LineEnds::OfPage);
    if (!reader.isOpen())
        return std::nullopt;
    std::string lower;
    std::string line;
    while (lower.find("</head>") == std::string::npos && reader.readLine(line))
        lower += lowerCaseAccented(line) + "\n";
    if (reader.errorNumber() != 0)
        return std::nullopt;
    HeadTags tags;
    const std::string head = liveHead(lower);
    for (std::string_view rest = head; !rest.empty();) {
        const std::size_t lineEnd = std::min(rest.find('\n'), rest.size());
        tags.keywordsTags += tagsOnLine(rest.substr(0, lineEnd), findKeywordsMetaTag);
        tags.doneMarkers += tagsOnLine(rest.substr(0, lineEnd), findDoneMetaTag);
        rest.remove_prefix(std::min(lineEnd + 1, rest.size()));
    }
    return tags;
}

} // namespace tagwright::cli
