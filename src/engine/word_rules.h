#pragma once

#include "engine/analysis_settings.h"
#include "engine/common_words.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace tagwright {

namespace detail {
constexpr std::array<bool, 256> makeLetterTable()
{
    std::array<bool, 256> letters{};
    for (int c = 'A'; c <= 'Z'; ++c)
        letters[static_cast<std::size_t>(c)] = letters[static_cast<std::size_t>(c + 32)] = true;
    for (int c = 0xC0; c <= 0xFF; ++c)
        letters[static_cast<std::size_t>(c)] = c != 0xD7 && c != 0xF7;
    for (const int c : {0x8A, 0x9A, 0x8C, 0x9C, 0x8E, 0x9E, 0x9F}) // Š š Œ œ Ž ž Ÿ
        letters[static_cast<std::size_t>(c)] = true;
    return letters;
}
inline constexpr std::array<bool, 256> kLetters = makeLetterTable();
} // namespace detail

// The letter test without digits or extra characters, as the scanner asks it at every step.
inline bool isLetter(char c)
{
    return detail::kLetters[static_cast<unsigned char>(c)];
}

// The letter test: A-Z, a-z, the Latin-1 letters (not x and division sign) and the
// Windows-1252 letters Š š Œ œ Ž ž Ÿ; digits only when allowed; and any character of `extra`.
bool isWordChar(char c, bool digitsAllowed, std::string_view extra);

// Whether a word taken from the text is a keyword candidate: not short, not over-long, not one
// letter repeated, not to be ignored, not a Roman numeral, not without vowels, not an English
// contraction stem, not a common word, not an adverb or past form in "ly"/"ed". `lower` is the
// word in lower case (the word itself when it comes from a lower-cased line), `lowerHash` its
// hash (WordIndex::hashOf).
bool isKeywordCandidate(std::string_view word, std::string_view lower, std::uint64_t lowerHash,
                        const AnalysisSettings& settings, const CommonWords& commonWords);

} // namespace tagwright
