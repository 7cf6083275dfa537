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
    const auto place = std::lower_bound(words_.begin(), words_.end(), lower, std::less<std::string_view>());
    if (place != words_.end() && *place == lower)
        return AddResult::AlreadyPresent;
    if (words_.size() >= kMaxCommonWords)
        return AddResult::Full;
    words_.insert(place, std::move(lower));
    return AddResult::Added;
}

bool CommonWordList::contains(std::string_view word) const
{
    return containsLowerCase(lowerCaseAccented(word));
}

bool CommonWordList::containsLowerCase(std::string_view lowerCaseWord) const
{
    return std::binary_search(words_.begin(), words_.end(), lowerCaseWord, std::less<std::string_view>());
}

} // namespace tagwright
