#include "batch/head_rewrite.h"

#include "batch/page_blanks.h"
#include "output/live_markup.h"
#include "output/meta_tag_positions.h"
#include "support/strings.h"

#include <algorithm>
#include <string>

namespace tagwright {

namespace {

// A line being rewritten, with its lower-cased copy and its live markup (LiveMarkup), so that
// the tag finders see only tags that are neither commented out nor inside a script or style.
// The three stay aligned byte for byte.
struct LinePiece {
    std::string line;
    std::string lower;
    std::string live;

    // Keeps what follows position `end` (0-based, one past a tag), without spaces at either
    // end; a line that goes on past the end of the head keeps its end as it stands.
    void keepAfter(std::size_t end)
    {
        const auto first = line.find_first_not_of(' ', end);
        if (first == std::string::npos) {
            keepRange(0, 0);
            return;
        }
        const bool headEnds = lower.find("</head>", first) != std::string::npos;
        keepRange(first, headEnds ? line.size() : line.find_last_not_of(' ') + 1);
    }
    // The first position from `from` on where a comment, script or style begins, or `limit`.
    std::size_t liveUntil(std::size_t from, std::size_t limit) const
    {
        const auto differ = std::mismatch(live.begin() + static_cast<std::ptrdiff_t>(from),
                                          live.begin() + static_cast<std::ptrdiff_t>(limit),
                                          lower.begin() + static_cast<std::ptrdiff_t>(from));
        return static_cast<std::size_t>(differ.first - live.begin());
    }
    void keepRange(std::size_t from, std::size_t to)
    {
        line = line.substr(from, to - from);
        lower = lower.substr(from, to - from);
        live = live.substr(from, to - from);
    }
};

} // namespace

int rewriteHead(LineReader& reader, PageWriter& writer, const HeadEdit& edit)
{
    writer.setLineFeedEnds(reader.lineFeedEnds());
    bool blockWritten = false;
    LiveMarkup markup;
    LinePiece piece;
    while (reader.readLine(piece.line)) {
        piece.lower = lowerCaseAccented(piece.line);
        piece.live = markup.liveBytes(piece.lower);
        // Every live keywords tag and done marker before the end of the head goes, however many
        // share the line: the first keywords tag gives way to the one new block, so that tags and
        // markers never pile up; commented-out markup stays as it stands.
        bool changed = false;
        for (;;) {
            const std::string_view head = std::string_view(piece.live).substr(0, piece.lower.find("</head>"));
            const TagSpan tag = edit.replaceKeywordsTags ? findKeywordsMetaTag(head) : TagSpan{};
            const TagSpan marker = findDoneMetaTag(head);
            const bool isTag = tag.start > 0 && (marker.start == 0 || tag.start <= marker.start);
            const TagSpan found = isTag ? tag : marker;
            if (found.start == 0)
                break;
            if (isTag && tag.end == 0)
                return kOldTagNotClosed;
            changed = true;
            if (const std::string_view before = std::string_view(piece.line).substr(0, found.start - 1);
                !holdsOnlyPageBlanks(before))
                writer.writeLine(before);
            if (isTag) {
                if (edit.oldTagReplaced)
                    edit.oldTagReplaced(std::string_view(piece.line).substr(tag.start - 1, tag.end - tag.start + 1));
                if (!blockWritten)
                    edit.writeBlock(writer);
                blockWritten = true;
            }
            // A marker left open takes the rest of the head part of its line with it, up to a
            // comment that opens there, which stays.
            if (found.end > 0)
                piece.keepAfter(found.end);
            else
                piece.keepRange(piece.liveUntil(found.start, head.size()), piece.line.size());
        }
        const auto headEnd = piece.lower.find("</head>");
        if (headEnd != std::string::npos) {
            // The block goes on a line of its own before "</head>". Text before it on its line
            // stays on a line of its own; mere indentation stays where it is, in front of
            // "</head>", so that the line is not split for nothing.
            const std::string_view before = std::string_view(piece.line).substr(0, headEnd);
            const bool indentation = holdsOnlyPageBlanks(before);
            if (!indentation)
                writer.writeLine(before);
            if (!blockWritten)
                edit.writeBlock(writer);
            // From the end of the head on, the page is copied byte for byte.
            writer.writeBytes(std::string_view(piece.line).substr(indentation && !changed ? 0 : headEnd));
            reader.copyRest([&writer](std::string_view bytes) { writer.writeBytes(bytes); });
            return kHeadRewritten;
        }
        // The page's own lines stay, empty ones too (a template string in a script may hold
        // them); a line that held only the tags and markers taken out goes with them.
        if (!changed || !holdsOnlyPageBlanks(piece.line))
            writer.writeLine(piece.line);
    }
    return kHeadEndMissing;
}

ContentProducer headRewriteOf(LineReader& reader, const HeadEdit& edit)
{
    return [&reader, &edit](PageWriter& writer) -> Expected<int> {
        const int result = rewriteHead(reader, writer, edit);
        if (reader.errorNumber() != 0)
            return Failure::ofError(reader.errorNumber());
        return result;
    };
}

} // namespace tagwright
