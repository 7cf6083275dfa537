#pragma once

// Word tables made to order for the tests of the output module.

#include "engine/word_table.h"

#include <string>
#include <utility>
#include <vector>

namespace tagwright::testing {

struct CountedWord
{
    std::string text;
    float keyValue = 1;
    int frequency = 1;
};

// The words in the order given (give non-increasing key values to keep that order), with
// totalWords taken words in all.
inline WordTable tableOf(const std::vector<CountedWord>& words, int totalWords = 1000)
{
    WordTable table;
    for (const CountedWord& word : words)
        for (int i = 0; i < word.frequency; ++i) {
            std::string text = word.text;
            table.countOccurrence(text, word.keyValue / static_cast<float>(word.frequency), false);
        }
    for (int i = 0; i < totalWords; ++i)
        table.addTakenWord();
    return table;
}

} // namespace tagwright::testing
