#pragma once

// 64-bit FNV-1a, a byte at a time: the word index's hash and the pages' fingerprints are built
// from it.

#include <cstdint>

namespace tagwright::fnv1a {

inline constexpr std::uint64_t kStart = 14695981039346656037ull;

inline std::uint64_t step(std::uint64_t state, char byte)
{
    return (state ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
}

} // namespace tagwright::fnv1a
