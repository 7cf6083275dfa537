#pragma once

#include "support/fnv1a.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// Finds entries of the word table by their text: an open-addressing hash index over entry ids,
// whose texts it reads from the table's own storage. One slot per distinct text; entries that
// share a text are chained by the table itself.
class WordIndex
{
  public:
    using Id = std::int32_t;
    static constexpr Id kNone = -1;

    // The hash of a text, built a character at a time, so that the hashes of a word, of the word
    // without its last character and of the word plus "s" come from one pass.
    static constexpr std::uint64_t kHashStart = fnv1a::kStart;
    static std::uint64_t hashStep(std::uint64_t state, char c) { return fnv1a::step(state, c); }
    static std::uint64_t hashFinish(std::uint64_t state) { return state ^ (state >> 29); }
    static std::uint64_t hashOf(std::string_view text);

    // The hash of a word and of the word without its last character, built as the word is read.
    struct Hashes
    {
        std::uint64_t state = kHashStart;
        std::uint64_t withoutLast = kHashStart;

        void add(char c)
        {
            withoutLast = state;
            state = hashStep(state, c);
        }
        std::uint64_t hash() const { return hashFinish(state); }
    };

    // Whether two texts are equal. A word of up to 16 bytes (most words) is compared in two
    // overlapping loads from each text, without a call: the library comparison of a short word
    // cost more in its call and its tests of length than in comparing.
    static bool sameText(std::string_view a, std::string_view b)
    {
        const std::size_t n = a.size();
        if (b.size() != n)
            return false;
        if (n >= 8 && n <= 16)
            return load<std::uint64_t>(a, 0) == load<std::uint64_t>(b, 0) &&
                   load<std::uint64_t>(a, n - 8) == load<std::uint64_t>(b, n - 8);
        if (n >= 4 && n < 8)
            return load<std::uint32_t>(a, 0) == load<std::uint32_t>(b, 0) &&
                   load<std::uint32_t>(a, n - 4) == load<std::uint32_t>(b, n - 4);
        if (n < 4)
            return n == 0 || (a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1]);
        return std::memcmp(a.data(), b.data(), n) == 0;
    }

    // The id stored for the text, or kNone. `texts` gives the text of an id.
    template <typename Texts>
    Id find(std::string_view text, std::uint64_t hash, const Texts& texts) const
    {
        if (slots_.empty())
            return kNone;
        for (std::size_t i = hash & mask(); slots_[i].id != kNone; i = (i + 1) & mask())
            if (slots_[i].tag == tagOf(hash) && sameText(texts(slots_[i].id), text))
                return slots_[i].id;
        return kNone;
    }

    // Stores an id for a text that has none yet.
    void insert(Id id, std::uint64_t hash);
    // Changes the id stored for a text.
    template <typename Texts>
    void replace(std::string_view text, std::uint64_t hash, Id id, const Texts& texts)
    {
        slots_[slotOf(text, hash, texts)].id = id;
    }
    // Removes a text that is stored.
    template <typename Texts>
    void erase(std::string_view text, std::uint64_t hash, const Texts& texts)
    {
        removeSlot(slotOf(text, hash, texts));
    }

    void clear() { slots_.clear(), size_ = 0; }
    // Makes room for this many texts in all, so that storing them does not grow the index step
    // by step.
    void reserve(std::size_t texts);

  private:
    // Small slots keep the index in the cache: the id, and the low half of the hash, which
    // gives the slot's home and skips most texts that differ.
    struct Slot
    {
        Id id = kNone;
        std::uint32_t tag = 0;
    };
    static std::uint32_t tagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash); }
    template <typename Int> static Int load(std::string_view text, std::size_t at)
    {
        Int value;
        std::memcpy(&value, text.data() + at, sizeof value);
        return value;
    }

    std::size_t mask() const { return slots_.size() - 1; }
    template <typename Texts>
    std::size_t slotOf(std::string_view text, std::uint64_t hash, const Texts& texts) const
    {
        std::size_t i = hash & mask();
        while (!(slots_[i].tag == tagOf(hash) && sameText(texts(slots_[i].id), text)))
            i = (i + 1) & mask();
        return i;
    }
    void removeSlot(std::size_t i);
    void place(const Slot& slot);
    void grow();
    void rehash(std::size_t slots);

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

} // namespace tagwright
