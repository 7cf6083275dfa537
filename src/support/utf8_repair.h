#pragma once

// Repair of UTF-8 text that was read one byte a character, so that each visible letter of a
// UTF-8 document is one Windows-1252 character for the analysis.

#include "support/looks.h"

#include <string>

namespace tagwright {

// The two-byte forms of U+0080..U+00FF become their single bytes; those of the C1 control
// characters U+0080..U+009F are dropped.
void repairUtf8Latin1(std::string& line);

// Typographic quotes, dashes, the ellipsis, the bullet and the six-per-em space become plain
// ASCII ("'", "\"", "-", "--", "...", " . ", " ... ").
void repairUtf8Punctuation(std::string& line);

// What line preparation of a UTF-8 document uses, in one pass: both repairs above, and then the
// characters of Windows-1252's 0x80-0x9F range that the punctuation repair leaves (€ Š œ ž Ÿ ...)
// become their single bytes, so that "œuvre" stays one word.
//
// Every sequence is read from the line as it came, once: the repairs never join the bytes they
// produce into new sequences, and a dropped control character does not hide the character after
// it. (Read as successive replacements over the whole line, the rules would leave "Â©" after a
// dropped control character, would turn "Å" followed by a no-break space into "Š", and would
// make such results depend on what comes later in the line.)
void repairUtf8Line(std::string& line);
// The same, asking keepGoing once per kBytesPerLook bytes of a line that needs repairing (a page
// without line ends is one line as long as the file); once it answers false the repair is given up
// and the result is false, the line unchanged.
bool repairUtf8Line(std::string& line, const KeepGoing& keepGoing);

} // namespace tagwright
