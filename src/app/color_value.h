#pragma once

#include <QColor>

#include <cstdint>

namespace tagwright {

// Colours as the saved state keeps them: 0x00BBGGRR in a 32-bit number.
inline constexpr std::int32_t kLightGreen = 8454016; // 0x80FF80
inline constexpr std::int32_t kLightGrey = 14737632; // 0xE0E0E0

inline QColor colorFromValue(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

} // namespace tagwright
