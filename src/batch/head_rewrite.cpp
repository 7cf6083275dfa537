#include "batch/head_rewrite.h"

#include "batch/meta_tag_positions.h"
#include "support/strings.h"

#include <string>

namespace tagwright {

namespace {

std::string_view trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The line after a tag that ends at the 1-based position end; nothing when the tag does not
// close on its line.
std::string restAfter(const std::string& line, std::size_t end)
{
    return end == 0 ? std::string() : std::string(trimSpaces(std::string_view(line).substr(end)));
}

// The parts of a lower-cased line outside HTML comments, given whether a comment is open at its
// start; open tells whether one is open at its end.
std::string outsideComments(std::string_view line, bool& open)
{
    std::string outside;
    std::size_t at = 0;
    for (;;) {
        const auto next = line.find(open ? "-->" : "<!--", at);
        if (!open)
            outside.append(line.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos)
            return outside;
        at = next + (open ? 3 : 4);
        open = !open;
    }
}

} // namespace

int rewriteHead(PageLineReader& reader, PageWriter& writer, const HeadEdit& edit)
{
    bool blockWritten = false;
    bool inComment = false;
    std::string line;
    while (reader.next(line)) {
        std::string lower = lowerCaseAccented(line);
        // Commented-out markup is not live: a line that a comment touches stays as it is, unless
        // the head ends on it or it holds a live tag or marker outside the comment.
        const bool commentTouched = inComment || lower.find("<!--") != std::string::npos;
        const std::string live = outsideComments(lower, inComment);
        if (commentTouched && lower.find("</head>") == std::string::npos &&
            (!edit.replaceKeywordsTags || findKeywordsMetaTag(live).start == 0) &&
            findDoneMetaTag(live).start == 0) {
            writer.writeLine(line);
            continue;
        }
        if (edit.replaceKeywordsTags) {
            const TagSpan tag = findKeywordsMetaTag(lower);
            if (tag.start > 0) {
                if (tag.end == 0)
                    return kOldTagNotClosed;
                if (tag.start > 1)
                    writer.writeLine(std::string_view(line).substr(0, tag.start - 1));
                if (edit.oldTagReplaced)
                    edit.oldTagReplaced(std::string_view(line).substr(tag.start - 1, tag.end - tag.start + 1));
                // A second keywords tag goes without a replacement: a page carries one tag.
                if (!blockWritten)
                    edit.writeBlock(writer);
                blockWritten = true;
                line = restAfter(line, tag.end);
                lower = lowerCaseAccented(line);
            }
        }
        const TagSpan marker = findDoneMetaTag(lower);
        if (marker.start > 0) {
            if (marker.start > 1)
                writer.writeLine(std::string_view(line).substr(0, marker.start - 1));
            line = restAfter(line, marker.end);
            lower = lowerCaseAccented(line);
        }
        const auto headEnd = lower.find("</head>");
        if (headEnd != std::string::npos) {
            if (headEnd > 0)
                writer.writeLine(std::string_view(line).substr(0, headEnd));
            if (!blockWritten)
                edit.writeBlock(writer);
            writer.writeLine(std::string_view(line).substr(headEnd, 7));
            const std::string_view rest = trimSpaces(std::string_view(line).substr(headEnd + 7));
            if (!rest.empty())
                writer.writeLine(rest);
            while (reader.next(line))
                writer.writeLine(line);
            return kHeadRewritten;
        }
        if (!line.empty())
            writer.writeLine(line);
    }
    return kHeadEndMissing;
}

} // namespace tagwright
