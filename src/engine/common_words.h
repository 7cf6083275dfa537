#pragma once

#include "engine/language_index.h"
#include "engine/word_index.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// The common words of one language entry: lower-case, distinct, in ascending byte order, at most
// kMaxCommonWords of them. An empty list is "not available".
class CommonWordList
{
  public:
    static constexpr int kMaxCommonWords = 2000;

    enum class AddResult { Added, AlreadyPresent, Full };

    // Adds one word (lower-cased here) in its sorted place. A word already present is ignored;
    // a new word when the list holds kMaxCommonWords is refused with Full.
    AddResult add(std::string_view word);

    std::int16_t count() const { return static_cast<std::int16_t>(words_.size()); }
    bool available() const { return !words_.empty(); }
    const std::vector<std::string>& words() const { return words_; }

    // True when the lower-cased word is in the list; an unavailable list knows no word.
    bool contains(std::string_view word) const;
    // The same for a word already in lower case, with its hash (WordIndex::hashOf).
    bool containsLowerCase(std::string_view lowerCaseWord, std::uint64_t hash) const;

  private:
    std::vector<std::string> words_;
    // The same words in the order they came, indexed for the look-up of every word of a document.
    std::vector<std::string> arrived_;
    WordIndex index_;
};

// The seven loaded lists, handed to the analysis.
class CommonWords
{
  public:
    CommonWordList& list(LanguageIndex language) { return lists_[index(language)]; }
    const CommonWordList& list(LanguageIndex language) const { return lists_[index(language)]; }

    // True when the lower-cased word is in the list of that language entry (AllLanguages is the
    // combined list of its own file).
    bool isCommonWord(std::string_view word, LanguageIndex language) const
    {
        return list(language).contains(word);
    }

  private:
    static std::size_t index(LanguageIndex language) { return static_cast<std::size_t>(language); }

    std::array<CommonWordList, kLanguageCount> lists_;
};

} // namespace tagwright
