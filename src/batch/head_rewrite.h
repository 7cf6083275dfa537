#pragma once

// The line-by-line rewrite of a page's head shared by tag insertion and the done-marker-only
// rewrite. Up to "</head>", old done markers are dropped and, when asked, each keywords meta tag
// is replaced by the new block; the new block goes before "</head>" unless it was already
// written. The page's own lines stay, empty ones included; a line goes only when nothing but
// blanks is left of it once its tags and markers are taken out. From "</head>" on the page is
// copied byte for byte. Lines written end with LF in an LF page, with CR LF in every other page.
// Each keywords tag in the head is reported as replaced, but the block is written once, in
// place of the first, so that a page never ends up with two keywords tags or two markers.
// Lines inside or opening an HTML comment are copied as they stand: a commented-out tag, like
// one inside a script or style element, is neither replaced nor removed; a "<!--" inside a
// script or style opens no comment.

#include "batch/page_io.h"
#include "batch/safe_replace.h"

#include <functional>
#include <string_view>

namespace tagwright {

inline constexpr int kHeadRewritten = 0;
inline constexpr int kOldTagNotClosed = -4;
inline constexpr int kHeadEndMissing = -5;

struct HeadEdit {
    bool replaceKeywordsTags = false;
    // Writes the new lines: the keywords tag and/or the done marker.
    std::function<void(PageWriter&)> writeBlock;
    // Told of each keywords tag replaced, with its letters as they stand in the page.
    std::function<void(std::string_view)> oldTagReplaced;
};

// kHeadRewritten, kOldTagNotClosed (a keywords tag without ">" on its line) or kHeadEndMissing.
// A read failure shows in reader.errorNumber().
int rewriteHead(LineReader& reader, PageWriter& writer, const HeadEdit& edit);

// rewriteHead as the new content of a safe replace: the reader's failure when the page could not
// be read to its end, whatever the head gave. Reader and edit must outlive the producer.
ContentProducer headRewriteOf(LineReader& reader, const HeadEdit& edit);

} // namespace tagwright
