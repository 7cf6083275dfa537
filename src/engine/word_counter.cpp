#include "engine/word_counter.h"

#include "engine/word_rules.h"
#include "support/strings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace tagwright {

namespace {

constexpr std::size_t kLongestRun = 65000;
constexpr std::size_t kShownWordsChunk = 100;
constexpr std::string_view kWordsFound = "Number of words found: ";
// Enough for the distinct words of large documents; beyond it the rules are asked each time.
constexpr std::size_t kMostVerdicts = 1 << 16;
static_assert(kMostVerdicts * kLongestRun <= std::numeric_limits<std::uint32_t>::max() &&
                  kLongestRun <= std::numeric_limits<std::uint16_t>::max(),
              "where a kept word starts and its length must fit the bits kept for them");

} // namespace

WordCounter::WordCounter(const AnalysisSettings& settings, const CommonWords& commonWords,
                         AnalysisHost& host, WordTable& table)
    : settings_(settings), commonWords_(commonWords), host_(host), table_(table),
      showWords_(settings.singleFile || settings.displayWords), wordCountText_(kWordsFound)
{
    const std::string_view extra = settings.language == LanguageIndex::French ? "-'" : "";
    for (std::size_t c = 0; c < wordChars_.size(); ++c)
        wordChars_[c] = isWordChar(static_cast<char>(c), false, extra);
}

bool WordCounter::takeWord(ScanState& state, std::string_view line)
{
    const std::size_t start = state.pos;
    const std::size_t limit = std::min(line.size(), start + kLongestRun);
    // The word is hashed as it is read, for the look-up of its verdict.
    std::uint64_t hashState = WordIndex::kHashStart;
    std::size_t end = start;
    for (; end < limit && wordChars_[static_cast<unsigned char>(line[end])]; ++end)
        hashState = WordIndex::hashStep(hashState, line[end]);

    // "don't", "can't": the stem, the apostrophe and the letter go uncounted. A following "s"
    // ("it's") is a word of its own.
    const auto at = [&](std::size_t i) { return i < line.size() ? line[i] : '\0'; };
    if (at(end) == '\'' && isLetter(at(end + 1)) && at(end + 1) != 's' && at(end + 1) != 'S' &&
        at(end + 2) == ' ') {
        state.pos = end + 3;
        return false;
    }
    state.pos = end;

    // One function from reading to counting, the look-ups of a word seen before inlined: every
    // function between them saved and restored its registers once per word.
    const std::string_view word = line.substr(start, end - start);
    const std::uint64_t hash = WordIndex::hashFinish(hashState);
    const auto words = [this](WordIndex::Id id) -> std::string_view {
        const KnownWord& known = known_[static_cast<std::size_t>(id)];
        return {verdictText_.data() + known.start, known.length};
    };
    const WordIndex::Id id = verdictIndex_.find(word, hash, words);
    KnownWord& known =
        id != WordIndex::kNone ? known_[static_cast<std::size_t>(id)] : learnWord(word, hash);
    if (!known.candidate)
        return true;
    // A word seen before usually goes straight to the entry it went to last time.
    const float value = state.occurrenceValue(settings_);
    if (!table_.countDirect(known.entry, word.size(), value))
        countIntoTable(known, word, value, state.thresholdExempt());
    return true;
}

void WordCounter::countIntoTable(KnownWord& known, std::string_view word, float value,
                                 bool thresholdExempt)
{
    // The table's look-ups of the word, its singular and its plural take their hashes from one
    // pass, made here rather than for every word read.
    WordIndex::Hashes hashes;
    for (const char c : word)
        hashes.add(c);
    const bool added = table_.countOccurrence(word, hashes, value, thresholdExempt);
    known.entry = table_.lastDirectEntry();
    if (added)
        showNewWord(word);
}

WordCounter::KnownWord& WordCounter::learnWord(std::string_view word, std::uint64_t hash)
{
    // Without kept case the line, and so the word, is lower case already.
    std::string_view lower = word;
    std::uint64_t lowerHash = hash;
    if (settings_.preserveCase) {
        lowered_.assign(word);
        lowerCaseAccentedInPlace(lowered_);
        lower = lowered_;
        lowerHash = WordIndex::hashOf(lower);
    }
    const bool candidate = isKeywordCandidate(word, lower, lowerHash, settings_, commonWords_);
    const std::size_t kept = known_.size();
    if (kept >= kMostVerdicts) {
        unkept_ = {WordTable::kNoEntry, 0, 0, candidate};
        return unkept_;
    }
    verdictIndex_.insert(static_cast<WordIndex::Id>(kept), hash);
    const auto start = static_cast<std::uint32_t>(verdictText_.size());
    verdictText_ += word;
    return known_.emplace_back(
        KnownWord{WordTable::kNoEntry, start, static_cast<std::uint16_t>(word.size()), candidate});
}

void WordCounter::showNewWord(std::string_view word)
{
    showWordCount(table_.count());
    if (firstNewWord_) {
        // Only the run itself writes the box from here on, so the status text can be there only
        // before the first new word.
        firstNewWord_ = false;
        if (host_.outputText() == kNowProcessing)
            host_.setOutputText("");
    }
    if (!showWords_)
        return;
    shownWords_ += word;
    shownWords_ += ' ';
    if (shownWords_.size() > kShownWordsChunk)
        flushShownWords();
}

void WordCounter::showWordCount(int count)
{
    // Written into one buffer behind the label, which stays: a new word is frequent in a page of
    // distinct words, and one more than the count shown is its last digits counted up.
    if (count == shownCount_ + 1 && shownCount_ > 0) {
        std::size_t at = wordCountText_.size();
        while (at > kWordsFound.size() && wordCountText_[at - 1] == '9')
            wordCountText_[--at] = '0';
        if (at == kWordsFound.size())
            wordCountText_.insert(at, 1, '1');
        else
            ++wordCountText_[at - 1];
    } else {
        std::array<char, 8> digits{};
        const char* const written =
            std::to_chars(digits.data(), digits.data() + digits.size(), count).ptr;
        wordCountText_.resize(kWordsFound.size());
        wordCountText_.append(digits.data(), static_cast<std::size_t>(written - digits.data()));
    }
    shownCount_ = count;
    host_.setWordCountText(wordCountText_);
}

void WordCounter::flushShownWords()
{
    if (shownWords_.empty())
        return;
    host_.appendOutputText(shownWords_);
    shownWords_.clear();
}

} // namespace tagwright
