#pragma once

// The texts that "List words" writes into the output box (CR LF between lines).

#include "engine/analysis_settings.h"
#include "engine/word_table.h"

#include <functional>
#include <string>
#include <string_view>

namespace tagwright {

// The ranked list: a heading, then one line per word with rank, key value, frequency and
// density; words whose key value rounds to 0 are left out and named in a closing note. An
// empty table gives the no-words message. A long list is shown as it grows: shown receives the
// text so far after each batch of a tenth of the words (at least 10).
std::string showWordList(const WordTable& table, const AnalysisSettings& settings,
                         const std::function<void(std::string_view textSoFar)>& shown = {});

// What is said when no word qualified, in terms of the short-word and frequency limits.
std::string showNoWordsMessage(const AnalysisSettings& settings);

} // namespace tagwright
