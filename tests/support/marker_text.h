#pragma once

// Pages as tests of where tags and markers go compare them: without the fingerprints of their
// done markers, which the tests of the fingerprint itself hold to the page's text.

#include <regex>
#include <string>

namespace tagwright::test {

inline std::string withoutFingerprints(const std::string& text)
{
    static const std::regex attribute(" data-fingerprint=\"[0-9a-f]{16}\"");
    return std::regex_replace(text, attribute, "");
}

} // namespace tagwright::test
