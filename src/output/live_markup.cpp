#include "output/live_markup.h"

#include <algorithm>

namespace tagwright {

namespace {

constexpr auto npos = std::string_view::npos;
constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
constexpr std::string_view kScriptOpen = "<script";
constexpr std::string_view kScriptClose = "</script";
constexpr std::string_view kStyleOpen = "<style";
constexpr std::string_view kStyleClose = "</style";

// Whether a tag name ends at `at`: a blank, "/", ">" or the end of the line follows it.
bool endsName(std::string_view text, std::size_t at)
{
    return at == text.size() || std::string_view(" \t\r\n\f/>").find(text[at]) != npos;
}

// Where an element's start tag `open` (without its ">") is first found from `from`, or npos.
std::size_t findStartTag(std::string_view lower, std::string_view open, std::size_t from)
{
    for (auto at = lower.find(open, from); at != npos; at = lower.find(open, at + 1))
        if (endsName(lower, at + open.size()))
            return at;
    return npos;
}

} // namespace

std::string LiveMarkup::liveBytes(std::string_view lower)
{
    std::string live(lower);
    std::size_t at = 0;
    std::size_t hiddenFrom = 0;
    // The next opening of each kind from `at` on; each is looked for again only once passed,
    // so that a line costs time in proportion to its length.
    std::size_t comment = lower.find(kCommentOpen);
    std::size_t script = findStartTag(lower, kScriptOpen, 0);
    std::size_t style = findStartTag(lower, kStyleOpen, 0);
    for (;;) {
        if (in_ == In::Markup) {
            if (comment != npos && comment < at)
                comment = lower.find(kCommentOpen, at);
            if (script != npos && script < at)
                script = findStartTag(lower, kScriptOpen, at);
            if (style != npos && style < at)
                style = findStartTag(lower, kStyleOpen, at);
            hiddenFrom = std::min({comment, script, style});
            if (hiddenFrom == npos)
                return live;
            if (hiddenFrom == comment) {
                in_ = In::Comment;
                at = hiddenFrom + kCommentOpen.size();
            } else {
                in_ = hiddenFrom == script ? In::Script : In::Style;
                at = hiddenFrom + (in_ == In::Script ? kScriptOpen.size() : kStyleOpen.size());
            }
            continue;
        }
        const std::string_view closing = in_ == In::Comment  ? kCommentClose
                                         : in_ == In::Script ? kScriptClose
                                                             : kStyleClose;
        const auto close = lower.find(closing, at);
        // A comment goes with its "-->"; an element's end tag is live markup again.
        const std::size_t hiddenTo =
            close == npos ? lower.size() : close + (in_ == In::Comment ? closing.size() : 0);
        std::fill(live.begin() + static_cast<std::ptrdiff_t>(hiddenFrom),
                  live.begin() + static_cast<std::ptrdiff_t>(hiddenTo), '\0');
        if (close == npos)
            return live;
        in_ = In::Markup;
        at = close + closing.size();
    }
}

} // namespace tagwright
