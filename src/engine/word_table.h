#pragma once

#include "engine/overflow.h"
#include "engine/word_index.h"

#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// One counted word.
struct WordEntry
{
    std::string text;             // as listed: lower case unless case is preserved
    std::int16_t frequency = 0;   // occurrences
    float keyValue = 0;           // summed occurrence values; scaled to a maximum of 100 at the end
    bool thresholdExempt = false; // first counted in the title, a meta content or a heading

    bool operator==(const WordEntry&) const = default;
};

// The counted words of one analysis, kept in rank order: positions 1..count() hold
// non-increasing key values, and among equal values the entry that reached its value first
// stands first.
//
// Counting is a hash look-up plus a time stamp per value change; the rank order is the order of
// (key value descending, stamp ascending), sorted when it is read. This gives exactly the order
// that moving each grown entry up past every smaller entry gives, at a fraction of the cost.
class WordTable
{
  public:
    static constexpr int kMaxWordLength = 100;

    // Empties the table for a new analysis.
    void clear();

    std::int16_t count() const { return static_cast<std::int16_t>(entries_.size()); }

    // Words the scanner took from the text, counted or not: the denominator of the density.
    std::int32_t totalWordCount() const { return totalWordCount_; }
    void addTakenWord() { totalWordCount_ = checkedAdd(totalWordCount_, 1); }

    // The entry at a rank position, 1..count().
    const WordEntry& at(int position) const;
    // All entries in rank order (position 1 first).
    const std::vector<WordEntry>& entries() const;

    // Counts one occurrence of a word that passed the word filters: merges it with a singular or
    // plural already in the table (which may shorten `word`, or rename the entry), then adds the
    // occurrence to the word's entry or appends a new one. Returns true when a new entry was made.
    // Raises Overflow for a 32768th entry or a frequency beyond 32767.
    bool countOccurrence(std::string& word, float value, bool thresholdExempt);
    // The same for a word whose hashes were built as it was read; the word's text is only read.
    bool countOccurrence(std::string_view word, const WordIndex::Hashes& hashes, float value,
                         bool thresholdExempt);

    // An entry that takes every occurrence of exactly its own text, as a counted word's
    // occurrence handed to countOccurrence found or made it; kNoEntry when the word found none.
    using EntryId = WordIndex::Id;
    static constexpr EntryId kNoEntry = WordIndex::kNone;
    EntryId lastDirectEntry() const { return lastDirect_; }
    // Counts an occurrence of such an entry's text, a word of the given length, straight into
    // it, if it still has that text (it has not been renamed since) and takes every occurrence
    // of it (no entry has been renamed near it since); false otherwise, and nothing is counted.
    bool countDirect(EntryId id, std::size_t length, float value)
    {
        // A rename takes a final "s" away, so a text of the word's length is still the word's.
        if (id == kNoId || static_cast<std::size_t>(id) >= entries_.size() ||
            mayHavePartner_[static_cast<std::size_t>(id)] ||
            entries_[static_cast<std::size_t>(id)].text.size() != length)
            return false;
        assert(isAlone(id));
        rankView_ = RankView::Stale;
        grow(id, value);
        return true;
    }

    // The steps that finish a table after counting, in the order the analysis calls them.
    // Drops entries below the minimum frequency (1..9) that are not threshold-exempt.
    void applyMinimumFrequency(int minimum);
    // Joins entries that differ only in the case of their first letter into the lower-case one.
    void mergeCaseVariants();
    // Scales the key values so that the largest becomes 100.
    void normaliseKeyValues();

  private:
    using Id = WordIndex::Id;
    static constexpr Id kNoId = WordIndex::kNone;

    // What counting an occurrence did: made a new entry, or counted the word as its singular.
    struct Counted
    {
        bool added = false;
        bool singular = false;
    };
    Counted count(std::string_view word, const WordIndex::Hashes& hashes, float value,
                  bool thresholdExempt);

    // What the fast paths (the first look-up of count, lastDirect_ and countDirect) rest on: an
    // entry that mayHavePartner_ leaves unmarked is alone, the only entry of its text, and no
    // entry is its text plus "s" or less a final "s", so every occurrence of its text is its
    // own. Only rename gives an entry a partner, and it marks the entries it touches (see there).
    // A debug build checks it wherever a fast path counts.
    bool isAlone(Id id) const;
    bool ranksBefore(Id a, Id b) const;
    // The ids of the entries in rank order.
    std::vector<Id> rankOrder() const;
    // The best-ranked entry whose text (of the given hash) is `text`, or kNoId.
    Id find(std::string_view text, std::uint64_t hash) const;
    // Enters an entry under its text, whose hash is given.
    void link(Id id, std::uint64_t hash);
    void unlink(Id id);
    void grow(Id id, float value)
    {
        WordEntry& entry = entries_[static_cast<std::size_t>(id)];
        entry.frequency = checkedAdd(entry.frequency, 1);
        const float grown = entry.keyValue + value;
        // An entry that keeps its value keeps its place; one that grows goes behind the entries
        // that reached the new value before it.
        if (grown != entry.keyValue) {
            entry.keyValue = grown;
            stamps_[static_cast<std::size_t>(id)] = ++clock_;
        }
    }
    void rename(Id id, const std::string& text);
    // Replaces the contents by entries already in rank order.
    void assignRanked(std::vector<WordEntry> ranked);
    // The entries in rank order, to be taken apart and handed to assignRanked: the table is not
    // whole until then.
    std::vector<WordEntry>& rankedForReplacing();

    std::string_view textOf(Id id) const { return entries_[static_cast<std::size_t>(id)].text; }

    // Entries by arrival; stamps, text hashes and same-text chains alongside.
    std::vector<WordEntry> entries_;
    std::vector<std::uint64_t> stamps_;
    std::vector<std::uint64_t> hashes_;
    std::vector<Id> nextSameText_;
    // False only for an entry that isAlone; true when it may have a partner.
    std::vector<bool> mayHavePartner_;
    WordIndex index_; // text -> first entry of its chain
    std::uint64_t clock_ = 0;
    std::string plural_; // the word plus "s", kept to spare an allocation per word
    std::int32_t totalWordCount_ = 0;
    Id lastDirect_ = kNoId; // the entry the last occurrence counted went to directly

    // The rank order: sorted on demand from the stamps into ranked_, or entries_ itself when the
    // entries were handed over in rank order and have not been counted into since.
    enum class RankView {
        Stale,
        Sorted,
        Arrival,
    };
    mutable std::vector<WordEntry> ranked_;
    mutable RankView rankView_ = RankView::Arrival;
};

} // namespace tagwright
