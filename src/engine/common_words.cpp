#include "engine/common_words.h"

#include "support/strings.h"

#include <algorithm>
#include <functional>

namespace tagwright {

// std::string_view compares through char_traits<char>, which orders bytes as unsigned values:
// plain byte order whatever the signedness of char.

CommonWordList::AddResult CommonWordList::add(std::string_view word)
{
    std::string lower = lowerCaseAccented(word);
    const auto place =
        std::lower_bound(words_.begin(), words_.end(), lower, std::less<std::string_view>());
    if (place != words_.end() && *place == lower)
        return AddResult::AlreadyPresent;
    if (words_.size() >= kMaxCommonWords)
        return AddResult::Full;
    index_.insert(static_cast<WordIndex::Id>(arrived_.size()), WordIndex::hashOf(lower));
    arrived_.push_back(lower);
    words_.insert(place, std::move(lower));
    return AddResult::Added;
}

bool CommonWordList::contains(std::string_view word) const
{
    const std::string lower = lowerCaseAccented(word);
    return containsLowerCase(lower, WordIndex::hashOf(lower));
}

bool CommonWordList::containsLowerCase(std::string_view lowerCaseWord, std::uint64_t hash) const
{
    const auto texts = [this](WordIndex::Id id) -> std::string_view {
        return arrived_[static_cast<std::size_t>(id)];
    };
    return index_.find(lowerCaseWord, hash, texts) != WordIndex::kNone;
}

} // namespace tagwright
