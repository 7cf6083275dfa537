#pragma once

#include "engine/word_table.h"

#include <string>
#include <vector>

namespace tagwright::testing {

// The word table exactly as the rules state it, with nothing made fast: linear look-ups, entries
// moved one place at a time, blank entries closed up by copying. The reference that the real
// table must match.
class LiteralWordTable
{
  public:
    std::vector<WordEntry> entries() const;
    bool countOccurrence(std::string& word, float value, bool thresholdExempt);
    void applyMinimumFrequency(int minimum);
    void mergeCaseVariants();
    void normaliseKeyValues();

  private:
    WordEntry& at(int position);
    void repositionWord();
    void removeBlankEntries();
    static void blank(WordEntry& entry);

    std::vector<WordEntry> slots_{WordEntry{}}; // position 0 unused; blanks may follow count_
    int count_ = 0;
};

} // namespace tagwright::testing
