#pragma once

#include "engine/analysis_host.h"
#include "engine/analysis_settings.h"
#include "engine/common_words.h"
#include "engine/scan_state.h"
#include "engine/word_table.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// Takes the words out of a line for the scanner and counts the candidates into the word table,
// keeping the word-count label and the words shown as found up to date.
class WordCounter
{
  public:
    WordCounter(const AnalysisSettings& settings, const CommonWords& commonWords,
                AnalysisHost& host, WordTable& table);

    // With state.pos on a letter: cuts the word out, counts it unless it is the stem of a
    // contraction such as "don't", and moves state.pos past it. False for such a stem, which is
    // not a word taken.
    bool takeWord(ScanState& state, std::string_view line);

    // Shows the words still waiting in the shown-word buffer.
    void flushShownWords();

  private:
    // Whether the word is a keyword candidate: the rules' answer depends on the word alone, so it
    // is worked out once per distinct word and looked up for every later occurrence.
    // What is known of a distinct word: whether it is a candidate, and the table entry that
    // took its last occurrence directly; with where its text is kept, which a look-up reads in
    // the same place.
    struct KnownWord
    {
        WordTable::EntryId entry = WordTable::kNoEntry;
        std::uint32_t start = 0;  // of its text in verdictText_
        std::uint16_t length = 0; // a word is at most kLongestRun bytes
        bool candidate = false;
    };
    // What is known of a word met for the first time, which it keeps from then on.
    KnownWord& learnWord(std::string_view word, std::uint64_t hash);
    void countIntoTable(KnownWord& known, std::string_view word, float value, bool thresholdExempt);
    void showNewWord(std::string_view word);
    void showWordCount(int count);

    const AnalysisSettings& settings_;
    const CommonWords& commonWords_;
    AnalysisHost& host_;
    WordTable& table_;
    std::array<bool, 256> wordChars_{}; // letters, and the extra word characters of the language
    bool showWords_;
    std::string shownWords_;
    std::string wordCountText_;
    int shownCount_ = 0;     // the count that wordCountText_ shows
    std::string lowered_;    // the word in lower case, when the line kept its case
    WordIndex verdictIndex_; // distinct words met, up to kMostVerdicts
    // Their texts one after the other, and where each starts (and the last ends): dense, so that
    // the words of a large page take few cache lines.
    std::string verdictText_;
    std::vector<KnownWord> known_; // by the ids of verdictIndex_, each with where its text is
    KnownWord unkept_;             // a word met when known_ is full
    bool firstNewWord_ = true;
};

} // namespace tagwright
