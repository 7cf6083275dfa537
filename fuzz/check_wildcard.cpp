// The wildcard matcher of the folder walk, on any name and pattern: it never reads out of
// bounds and keeps the few promises that hold whatever the star's no-backtracking rule.

#include "fuzz_checks.h"
#include "input_bytes.h"

#include "support/files.h"

namespace tagwright::fuzz {

std::string checkWildcard(std::string_view input)
{
    InputBytes bytes(input);
    const bool caseSensitive = bytes.flag();
    const std::string_view pattern = bytes.field();
    const std::string_view text = bytes.rest();

    wildcardMatch(text, pattern, caseSensitive);
    matchFileName(text, pattern, caseSensitive);

    if (!wildcardMatch(text, text, caseSensitive))
        return "a text does not match itself";
    if (!wildcardMatch(text, "*", caseSensitive))
        return "\"*\" does not match everything";
    if (!wildcardMatch(text, std::string(text.size(), '?'), caseSensitive))
        return "one \"?\" a character does not match";
    if (wildcardMatch(text, std::string(text.size() + 1, '?'), caseSensitive))
        return "more \"?\" than characters match";
    if (!pattern.empty() && pattern.find_first_of("*?") == std::string_view::npos &&
        caseSensitive && wildcardMatch(text, pattern, true) != (text == pattern))
        return "a pattern without wildcards matches another text";
    if (text.find_first_of("?*/") == std::string_view::npos && !matchFileName(text, "*.*", caseSensitive))
        return "\"*.*\" does not take a plain name";
    return {};
}

} // namespace tagwright::fuzz
