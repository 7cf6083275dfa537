#pragma once

// The hash a page's fingerprint is made of: 64-bit FNV-1a over each line that holds more than
// blanks (spaces and tabs), without the blanks at either end, followed by LF. CR and LF both end
// a line. The text may come in pieces cut anywhere, a line end's CR and LF apart included.
// (FNV-1a: a change of any byte changes it; nothing here needs to withstand a forger.)

#include "support/fnv1a.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tagwright {

class LineTextHash
{
  public:
    void take(std::string_view text);
    // The hash of the text taken so far, as if a line end followed it.
    std::uint64_t value() const;
    // The value as the 16 lower-case hexadecimal digits that a done marker carries.
    std::string digits() const;

  private:
    std::uint64_t hash_ = fnv1a::kStart;
    bool inText_ = false; // within a line, after its first byte that is no blank
    // The blanks that end the text taken so far within a line: mixed in only when text follows
    // them in a later piece.
    std::string blanks_;
};

} // namespace tagwright
