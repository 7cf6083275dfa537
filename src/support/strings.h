#pragma once

// Small string routines over Windows-1252 text, one byte a character. Positions are 1-based and
// 0 means "none"; "a set" is a string whose characters are its members.

#include "support/looks.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tagwright {

// The first n characters: empty when n <= 0, the whole text when n reaches its length.
std::string leftPart(std::string_view text, std::ptrdiff_t n);

// True when no character is one of the accented letters that need the letter table.
bool hasNoAccentedLetters(std::string_view text);

// Lower case covering the accented Western letters (ÉCOLE -> école; ß stays ß).
std::string lowerCaseAccented(std::string_view text);
void lowerCaseAccentedInPlace(std::string& text);
// The same, asking keepGoing once per kBytesPerLook bytes of a long text; false when it answered
// false (the text is then partly lowered).
bool lowerCaseAccentedInPlace(std::string& text, const KeepGoing& keepGoing);
// Whether lowerCaseAccented leaves the text as it is, without building the lowered text.
bool isLowerCaseAccented(std::string_view text);

// Position of sought in text at or after start, both compared in lower case; 0 when absent.
std::size_t findNoCase(std::size_t start, std::string_view text, std::string_view sought);

// Position of the first non-blank after position; text length + 1 when only blanks follow.
std::size_t nextNonBlank(std::string_view text, std::size_t position);

// First position at or after start (0 counts as 1) holding a member of set; 0 when none.
// memberIndex receives the member's position in set (0 when none).
std::size_t findFirstOfSet(std::string_view text, std::size_t start, std::string_view set,
                           std::size_t& memberIndex);
std::size_t findFirstOfSet(std::string_view text, std::size_t start, std::string_view set);

// First position at or after start (0 counts as 1) not holding a member of set; 0 when the
// text is empty or only members follow; 1 when the set is empty.
std::size_t findFirstNotInSet(std::string_view text, std::size_t start, std::string_view set);

// The text without the members of set from position start on.
std::string removeCharsOfSet(std::string_view text, std::string_view set, std::size_t start);
void stripCharsOfSet(std::string& text, std::string_view set);
std::string removeBlanks(std::string_view text);

// Every member of set in text becomes replacement; an empty set changes nothing.
void replaceCharsOfSet(std::string& text, std::string_view set, std::string_view replacement);

// Removes every character of code 32 or below from both ends.
void trimControlChars(std::string& text);

// Keeps what may stand in a whole-number field: digits, one leading "+" and, when allowMinus,
// one leading "-".
void keepSignedDigits(std::string& text, bool allowMinus);

// A number as messages and log lines show it: one leading blank, or the minus sign instead.
std::string numberText(long long number);

} // namespace tagwright
