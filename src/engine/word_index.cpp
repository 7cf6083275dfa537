#include "engine/word_index.h"

#include <algorithm>

namespace tagwright {

std::uint64_t WordIndex::hashOf(std::string_view text)
{
    // FNV-1a: quick on words of a few letters, and spreads them well enough for linear probing.
    std::uint64_t state = kHashStart;
    for (const char c : text)
        state = hashStep(state, c);
    return hashFinish(state);
}

void WordIndex::insert(Id id, std::uint64_t hash)
{
    if ((size_ + 1) * 2 > slots_.size())
        grow();
    place({id, tagOf(hash)});
}

// The tag is the low half of the hash, which holds every bit the slot's home takes.
void WordIndex::place(const Slot& slot)
{
    std::size_t i = slot.tag & mask();
    while (slots_[i].id != kNone)
        i = (i + 1) & mask();
    slots_[i] = slot;
    ++size_;
}

// Backward-shift deletion: later slots of the same probe run move up, so no tombstones remain.
void WordIndex::removeSlot(std::size_t i)
{
    std::size_t hole = i;
    for (std::size_t next = (i + 1) & mask(); slots_[next].id != kNone;
         next = (next + 1) & mask()) {
        const std::size_t home = slots_[next].tag & mask();
        // The slot may fill the hole when its home does not lie cyclically in (hole, next].
        const bool homeAfterHole =
            hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!homeAfterHole) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole] = Slot{};
    --size_;
}

void WordIndex::grow()
{
    rehash(slots_.empty() ? 1024 : slots_.size() * 2);
}

void WordIndex::reserve(std::size_t texts)
{
    std::size_t slots = std::max<std::size_t>(slots_.size(), 1024);
    while (texts * 2 > slots)
        slots *= 2;
    if (slots != slots_.size())
        rehash(slots);
}

void WordIndex::rehash(std::size_t slots)
{
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slots, Slot{});
    size_ = 0;
    for (const Slot& slot : old)
        if (slot.id != kNone)
            place(slot);
}

} // namespace tagwright
