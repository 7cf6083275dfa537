// Line preparation on any bytes: the UTF-8 repair, tag marking and entity decoding never grow
// a line beyond what their replacements allow, leave plain ASCII text alone, and the prepared
// line always ends with the one blank that the scanner relies on.

#include "fuzz_checks.h"
#include "input_bytes.h"

#include "engine/line_preparation.h"
#include "support/utf8_repair.h"

namespace tagwright::fuzz {

namespace {

bool plainText(std::string_view text)
{
    for (const char c : text) {
        if (c == '&' || c == '<' || static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            return false;
    }
    return true;
}

} // namespace

std::string checkLinePreparation(std::string_view input)
{
    InputBytes bytes(input);
    LinePreparation how;
    how.unixFile = bytes.flag();
    how.utf8 = bytes.flag();
    how.lowerCaseMode = bytes.flag();
    const std::string_view text = bytes.rest();

    std::string repaired(text);
    repairUtf8Line(repaired);
    // The widest repair turns a three-byte space into " ... ".
    if (repaired.size() > text.size() * 5 / 3 + 2)
        return "the UTF-8 repair grew a line from " + std::to_string(text.size()) + " to " +
               std::to_string(repaired.size());

    std::string marked(text);
    markTags(marked, how.lowerCaseMode);
    if (marked.size() > text.size())
        return "marking tags grew the line";
    std::string decoded(text);
    decodeEntities(decoded);
    if (decoded.size() > text.size())
        return "decoding entities grew the line";
    if (plainText(text) && (marked != text || decoded != text || repaired != text))
        return "plain text was changed";

    std::string line(text);
    if (prepareLine(line, how) && (line.empty() || line.back() != ' '))
        return "a prepared line does not end with a blank";
    return {};
}

} // namespace tagwright::fuzz
