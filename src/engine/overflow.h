#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace tagwright {

// Raised when a 16-bit count of the analysis (distinct words, a frequency, a nesting depth)
// would pass 32767; the analysis driver turns it into error 6.
class Overflow : public std::overflow_error
{
  public:
    Overflow() : std::overflow_error("Overflow") {}
};

inline constexpr std::int16_t kOverflowError = 6;

// a + b for the analysis' counters, raising Overflow beyond the type's range.
template <typename Int> Int checkedAdd(Int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    if (sum > std::numeric_limits<Int>::max() || sum < std::numeric_limits<Int>::min())
        throw Overflow();
    return static_cast<Int>(sum);
}

} // namespace tagwright
