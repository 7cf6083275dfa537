#pragma once

// What of a page's head is live markup, line after line: everything but HTML comments and the
// content of script and style elements. A "<!--" inside a script or style opens no comment
// (a script may well write one), and a tag inside a comment or a script is no tag of the page.

#include <string>
#include <string_view>

namespace tagwright {

class LiveMarkup
{
  public:
    // The lower-cased line with every byte that is not live blanked to NUL: a comment with its
    // delimiters, and a script or style element from its start tag up to its end tag. What is
    // open at the end of the line stays open at the start of the next.
    std::string liveBytes(std::string_view lowerLine);

    // Whether a comment is open at the end of the last line given.
    bool inComment() const { return in_ == In::Comment; }

  private:
    enum class In { Markup, Comment, Script, Style };

    In in_ = In::Markup;
};

} // namespace tagwright
