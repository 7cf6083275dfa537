#pragma once

#include <cstdint>

namespace tagwright {

// The languages of the common-word lists and the word rules; the value is also the item index
// of the language list of the main window.
enum class LanguageIndex : std::int8_t {
    English = 0,
    French = 1,
    German = 2,
    Italian = 3,
    Portuguese = 4,
    Spanish = 5,
    AllLanguages = 6,
};

inline constexpr int kLanguageCount = 7;

} // namespace tagwright
