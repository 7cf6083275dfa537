#include "engine/word_table.h"

#include "engine/overflow.h"
#include "support/strings.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <unordered_map>

namespace tagwright {

namespace {

constexpr int kMaxCount = 32767;

bool tailIsLowerCase(std::string_view text)
{
    const std::string_view tail = text.substr(1);
    return lowerCaseAccented(tail) == tail;
}

} // namespace

void WordTable::clear()
{
    *this = WordTable();
}

const WordEntry& WordTable::at(int position) const
{
    if (position < 1 || position > count())
        throw std::out_of_range("word table position");
    return entries()[static_cast<std::size_t>(position - 1)];
}

const std::vector<WordEntry>& WordTable::entries() const
{
    if (rankView_ == RankView::Stale) {
        ranked_.clear();
        ranked_.reserve(entries_.size());
        for (const Id id : rankOrder())
            ranked_.push_back(entries_[static_cast<std::size_t>(id)]);
        rankView_ = RankView::Sorted;
    }
    return rankView_ == RankView::Arrival ? entries_ : ranked_;
}

std::vector<WordEntry>& WordTable::rankedForReplacing()
{
    if (rankView_ == RankView::Stale) {
        // Moved, not copied: the caller replaces every entry.
        ranked_.clear();
        ranked_.reserve(entries_.size());
        for (const Id id : rankOrder())
            ranked_.push_back(std::move(entries_[static_cast<std::size_t>(id)]));
        rankView_ = RankView::Sorted;
    }
    return rankView_ == RankView::Arrival ? entries_ : ranked_;
}

// Sorted on one number per entry, so that comparing reads no entry and takes one comparison: the
// key value's bits, turned so that a larger value comes first, above the stamp. A stamp fits in
// 32 bits: the clock goes once per occurrence counted (fewer than 2^31, the count of words
// taken) and once per entry when they are handed over.
std::vector<WordTable::Id> WordTable::rankOrder() const
{
    struct RankKey
    {
        std::uint64_t key;
        Id id;
    };
    std::vector<RankKey> keys(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &entries_[i].keyValue, sizeof bits);
        // Ascending as the value ascends, for negative values too; then turned.
        bits = (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
        keys[i] = {std::uint64_t{~bits} << 32 | static_cast<std::uint32_t>(stamps_[i]),
                   static_cast<Id>(i)};
    }
    std::sort(keys.begin(), keys.end(),
              [](const RankKey& a, const RankKey& b) { return a.key < b.key; });
    std::vector<Id> order(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].id;
    return order;
}

bool WordTable::ranksBefore(Id a, Id b) const
{
    const float valueA = entries_[static_cast<std::size_t>(a)].keyValue;
    const float valueB = entries_[static_cast<std::size_t>(b)].keyValue;
    if (valueA != valueB)
        return valueA > valueB;
    return stamps_[static_cast<std::size_t>(a)] < stamps_[static_cast<std::size_t>(b)];
}

bool WordTable::isAlone(Id id) const
{
    const auto texts = [this](Id other) { return textOf(other); };
    const auto firstOf = [&](std::string_view text) {
        return index_.find(text, WordIndex::hashOf(text), texts);
    };
    const std::string_view text = textOf(id);
    if (firstOf(text) != id || nextSameText_[static_cast<std::size_t>(id)] != kNoId)
        return false;
    if (text.size() > 1 && text.back() == 's' && firstOf(text.substr(0, text.size() - 1)) != kNoId)
        return false;
    return firstOf(std::string(text) + 's') == kNoId;
}

WordTable::Id WordTable::find(std::string_view text, std::uint64_t hash) const
{
    const auto texts = [this](Id id) { return textOf(id); };
    Id best = index_.find(text, hash, texts);
    if (best == kNoId)
        return kNoId;
    for (Id id = nextSameText_[static_cast<std::size_t>(best)]; id != kNoId;
         id = nextSameText_[static_cast<std::size_t>(id)])
        if (ranksBefore(id, best))
            best = id;
    return best;
}

void WordTable::link(Id id, std::uint64_t hash)
{
    const auto texts = [this](Id other) { return textOf(other); };
    hashes_[static_cast<std::size_t>(id)] = hash;
    nextSameText_[static_cast<std::size_t>(id)] = kNoId;
    Id last = index_.find(textOf(id), hash, texts);
    if (last == kNoId) {
        index_.insert(id, hash);
        return;
    }
    while (nextSameText_[static_cast<std::size_t>(last)] != kNoId)
        last = nextSameText_[static_cast<std::size_t>(last)];
    nextSameText_[static_cast<std::size_t>(last)] = id;
}

void WordTable::unlink(Id id)
{
    const auto texts = [this](Id other) { return textOf(other); };
    const std::uint64_t hash = hashes_[static_cast<std::size_t>(id)];
    const Id head = index_.find(textOf(id), hash, texts);
    const Id next = nextSameText_[static_cast<std::size_t>(id)];
    if (head == id) {
        if (next == kNoId)
            index_.erase(textOf(id), hash, texts);
        else
            index_.replace(textOf(id), hash, next, texts);
        return;
    }
    Id before = head;
    while (nextSameText_[static_cast<std::size_t>(before)] != id)
        before = nextSameText_[static_cast<std::size_t>(before)];
    nextSameText_[static_cast<std::size_t>(before)] = next;
}

bool WordTable::countOccurrence(std::string& word, float value, bool thresholdExempt)
{
    WordIndex::Hashes hashes;
    for (const char c : word)
        hashes.add(c);
    const Counted counted = count(word, hashes, value, thresholdExempt);
    if (counted.singular)
        word.pop_back();
    return counted.added;
}

bool WordTable::countOccurrence(std::string_view word, const WordIndex::Hashes& hashes, float value,
                                bool thresholdExempt)
{
    return count(word, hashes, value, thresholdExempt).added;
}

WordTable::Counted WordTable::count(std::string_view word, const WordIndex::Hashes& hashes,
                                    float value, bool thresholdExempt)
{
    rankView_ = RankView::Stale;
    std::uint64_t hash = hashes.hash();

    // Most occurrences are of a word already counted that has no singular or plural entry.
    lastDirect_ = kNoId;
    const Id own = find(word, hash);
    if (own != kNoId && !mayHavePartner_[static_cast<std::size_t>(own)]) {
        assert(isAlone(own));
        grow(own, value);
        lastDirect_ = own;
        return {};
    }

    // Singular and plural: the best-ranked entry that is the word less a final "s", or the word
    // plus "s", takes the occurrence.
    const Id singular =
        word.size() > 1 && word.back() == 's'
            ? find(word.substr(0, word.size() - 1), WordIndex::hashFinish(hashes.withoutLast))
            : kNoId;
    plural_.assign(word);
    plural_ += 's';
    const Id pluralId =
        find(plural_, WordIndex::hashFinish(WordIndex::hashStep(hashes.state, 's')));
    const bool toSingular =
        singular != kNoId && (pluralId == kNoId || ranksBefore(singular, pluralId));
    // The entry that takes it: what was found already, unless a rename changed the entries of
    // the word's text.
    Id taker = own;
    if (toSingular) {
        word.remove_suffix(1);
        hash = WordIndex::hashFinish(hashes.withoutLast);
        taker = singular;
    } else if (pluralId != kNoId) {
        rename(pluralId, std::string(word));
        taker = find(word, hash);
    }

    if (taker != kNoId) {
        grow(taker, value);
        return {false, toSingular};
    }
    // A new entry: neither its singular nor its plural is in the table (either would have taken
    // the occurrence).
    if (count() == kMaxCount)
        throw Overflow();
    const Id id = static_cast<Id>(entries_.size());
    entries_.push_back({std::string(word), 1, value, thresholdExempt});
    stamps_.push_back(++clock_);
    hashes_.push_back(hash);
    nextSameText_.push_back(kNoId);
    mayHavePartner_.push_back(false);
    index_.insert(id, hash); // the first of its text, as the look-ups above found
    lastDirect_ = id;        // the only entry of its text, with no singular or plural entry
    return {true, false};
}

// The plural entry takes the singular's text. Entries whose singular or plural it now is have a
// partner from here on, and so have the entries that share its new text. The entry itself has one
// only if such an entry exists: usually it is the word's only entry (its plural was the entry
// renamed), and its later occurrences then go to it directly. No later step gives an unmarked
// entry a partner without a rename, which marks it: a new entry is made only for a text that has
// no entry and whose singular and plural have none. So every unmarked entry isAlone.
void WordTable::rename(Id id, const std::string& text)
{
    unlink(id);
    entries_[static_cast<std::size_t>(id)].text = text;
    link(id, WordIndex::hashOf(text));
    const auto texts = [this](Id other) { return textOf(other); };
    // Marks the entries of a text but `except`; whether there were any.
    const auto markChain = [&](std::string_view partner, Id except) {
        bool found = false;
        for (Id other = index_.find(partner, WordIndex::hashOf(partner), texts); other != kNoId;
             other = nextSameText_[static_cast<std::size_t>(other)])
            if (other != except) {
                mayHavePartner_[static_cast<std::size_t>(other)] = true;
                found = true;
            }
        return found;
    };
    bool partnered = false;
    if (text.size() > 1 && text.back() == 's')
        partnered = markChain(std::string_view(text).substr(0, text.size() - 1), kNoId);
    partnered = markChain(text + 's', kNoId) || partnered;
    partnered = markChain(text, id) || partnered;
    mayHavePartner_[static_cast<std::size_t>(id)] = partnered;
}

void WordTable::assignRanked(std::vector<WordEntry> ranked)
{
    const std::int32_t total = totalWordCount_;
    clear();
    totalWordCount_ = total;
    entries_ = std::move(ranked);
    stamps_.resize(entries_.size());
    hashes_.resize(entries_.size());
    mayHavePartner_.assign(entries_.size(), true);
    nextSameText_.resize(entries_.size());
    index_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        stamps_[i] = ++clock_;
        link(static_cast<Id>(i), WordIndex::hashOf(entries_[i].text));
    }
    // Entries that come in rank order keep it: they are the rank view, without sorting again.
    rankView_ = std::is_sorted(
                    entries_.begin(), entries_.end(),
                    [](const WordEntry& a, const WordEntry& b) { return a.keyValue > b.keyValue; })
                    ? RankView::Arrival
                    : RankView::Stale;
}

void WordTable::applyMinimumFrequency(int minimum)
{
    if (minimum == 1)
        return;
    std::vector<WordEntry> kept;
    for (WordEntry& entry : rankedForReplacing())
        if (entry.frequency >= minimum || entry.thresholdExempt)
            kept.push_back(std::move(entry));
    assignRanked(std::move(kept));
}

void WordTable::normaliseKeyValues()
{
    // Scaling may make neighbouring values equal, so the positions are fixed before it.
    float largest = 0;
    for (const WordEntry& entry : entries_)
        largest = std::max(largest, entry.keyValue);
    if (largest <= 0)
        return;
    const auto scaled = [largest](float value) {
        return static_cast<float>(static_cast<double>(value) * 100 / largest);
    };
    if (rankView_ != RankView::Arrival) {
        std::vector<WordEntry> ranked = std::move(rankedForReplacing());
        for (WordEntry& entry : ranked)
            entry.keyValue = scaled(entry.keyValue);
        assignRanked(std::move(ranked));
        return;
    }
    // Entries in rank order stay so when scaled; they are stamped again in that order and keep
    // their texts, so the index stands. What assignRanked would make of them again, at once.
    clock_ = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        entries_[i].keyValue = scaled(entries_[i].keyValue);
        stamps_[i] = ++clock_;
    }
    mayHavePartner_.assign(entries_.size(), true);
    lastDirect_ = kNoId;
}

// Walks the positions exactly as the plain double loop over positions i < j would, but finds
// the j that match the entry at i through an index of lower-cased texts instead of comparing
// every pair. Positions move while it walks (a merged entry leaves its place and the entry at i
// may climb), and the walk follows those moves: after a merge at j it goes on at j + 1, so the
// entry that moved into j is not revisited for the same i.
void WordTable::mergeCaseVariants()
{
    // Entries merge when their texts are equal lower-cased; with every text in lower case that
    // means equal texts, which the index chains.
    const bool sharedTexts = std::any_of(nextSameText_.begin(), nextSameText_.end(),
                                         [](Id next) { return next != kNoId; });
    if (!sharedTexts && std::all_of(entries_.begin(), entries_.end(), [](const WordEntry& entry) {
            return isLowerCaseAccented(entry.text);
        }))
        return;

    std::vector<WordEntry> words = entries();
    std::vector<Id> order(words.size()); // position (0-based) -> word
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::size_t> place(words.size()); // word -> position
    std::iota(place.begin(), place.end(), std::size_t{0});
    std::unordered_map<std::string, std::vector<Id>> variants;
    for (std::size_t id = 0; id < words.size(); ++id)
        variants[lowerCaseAccented(words[id].text)].push_back(static_cast<Id>(id));

    const auto renumberFrom = [&](std::size_t first, std::size_t last) {
        for (std::size_t p = first; p <= last && p < order.size(); ++p)
            place[static_cast<std::size_t>(order[p])] = p;
    };
    const auto nextMatch = [&](Id current, std::size_t from, std::size_t bound) {
        const std::string_view text = words[static_cast<std::size_t>(current)].text;
        const auto group = variants.find(lowerCaseAccented(text));
        std::size_t best = bound + 1;
        if (group == variants.end())
            return best;
        for (const Id other : group->second) {
            const std::size_t p = place[static_cast<std::size_t>(other)];
            if (p >= from && p < best &&
                std::string_view(words[static_cast<std::size_t>(other)].text).substr(1) ==
                    text.substr(1))
                best = p;
        }
        return best;
    };

    try {
        const std::size_t initialCount = order.size();
        for (std::size_t i = 0; i + 1 < initialCount && i < order.size(); ++i) {
            const std::string_view first = words[static_cast<std::size_t>(order[i])].text;
            if (first.size() <= 2 || !tailIsLowerCase(first))
                continue;
            const std::size_t bound = order.size() - 1;
            for (std::size_t j = nextMatch(order[i], i + 1, bound); j <= bound;
                 j = nextMatch(order[i], j + 1, bound)) {
                const Id keeper = order[i];
                const Id merged = order[j];
                WordEntry& entry = words[static_cast<std::size_t>(keeper)];
                const WordEntry& gone = words[static_cast<std::size_t>(merged)];
                entry.frequency = checkedAdd(entry.frequency, gone.frequency);
                entry.keyValue += gone.keyValue;
                lowerCaseAccentedInPlace(entry.text);
                auto& group = variants[lowerCaseAccented(gone.text)];
                group.erase(std::find(group.begin(), group.end(), merged));
                order.erase(order.begin() + static_cast<std::ptrdiff_t>(j));
                renumberFrom(j, order.size() - 1);

                // The grown entry at i climbs behind the last entry of at least its value.
                if (i > 0 &&
                    entry.keyValue > words[static_cast<std::size_t>(order[i - 1])].keyValue) {
                    std::size_t target = 0;
                    while (words[static_cast<std::size_t>(order[target])].keyValue >=
                           entry.keyValue)
                        ++target;
                    std::rotate(order.begin() + static_cast<std::ptrdiff_t>(target),
                                order.begin() + static_cast<std::ptrdiff_t>(i),
                                order.begin() + static_cast<std::ptrdiff_t>(i) + 1);
                    renumberFrom(target, i);
                }
            }
        }
    } catch (const Overflow&) {
        std::vector<WordEntry> ranked;
        for (const Id id : order)
            ranked.push_back(words[static_cast<std::size_t>(id)]);
        assignRanked(std::move(ranked));
        throw;
    }
    std::vector<WordEntry> ranked;
    ranked.reserve(order.size());
    for (const Id id : order)
        ranked.push_back(std::move(words[static_cast<std::size_t>(id)]));
    assignRanked(std::move(ranked));
}

} // namespace tagwright
