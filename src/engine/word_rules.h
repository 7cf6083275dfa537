#pragma once

#include "engine/analysis_settings.h"
#include "engine/common_words.h"

#include <string_view>

namespace tagwright {

// The letter test: A-Z, a-z, the Latin-1 letters (not x and division sign) and the
// Windows-1252 letters Š š Œ œ Ž ž Ÿ; digits only when allowed; and any character of `extra`.
bool isWordChar(char c, bool digitsAllowed, std::string_view extra);

// Whether a word taken from the text is a keyword candidate: not short, not over-long, not one
// letter repeated, not to be ignored, not a Roman numeral, not without vowels, not an English
// contraction stem, not a common word, not an adverb or past form in "ly"/"ed".
bool isKeywordCandidate(std::string_view word, const AnalysisSettings& settings, const CommonWords& commonWords);

} // namespace tagwright
