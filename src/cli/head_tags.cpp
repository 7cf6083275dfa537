#include "cli/head_tags.h"

#include "output/head_lines.h"
#include "output/meta_tag_positions.h"
#include "support/line_reader.h"

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

} // namespace

std::optional<HeadTags> headTagsOf(const std::string& path)
{
    LineReader reader(path, LineEnds::OfPage);
    if (!reader.isOpen())
        return std::nullopt;
    HeadLineScanner scanner(linesOf(reader));
    HeadTags tags;
    std::string line;
    std::string live;
    LineRead status;
    while ((status = scanner.next(line, live)) == LineRead::Line) {
        tags.keywordsTags += tagsOnLine(live, findKeywordsMetaTag);
        tags.doneMarkers += tagsOnLine(live, findDoneMetaTag);
    }
    if (status == LineRead::Failed)
        return std::nullopt;
    return tags;
}

} // namespace tagwright::cli
