#pragma once

// Text taken eight bytes at a time, as one 64-bit block, for the loops that pass over text that
// is mostly ASCII (the scanner's searches, lower-casing, the UTF-8 check): the block's bytes are
// tested all at once with plain arithmetic. Marks are bit 7 of each byte; on a little-endian
// machine the lowest mark is the first byte in memory.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tagwright::byte_blocks {

inline constexpr std::size_t kBytes = 8;
inline constexpr std::uint64_t kEachByte = 0x0101010101010101u; // 1 in every byte
inline constexpr std::uint64_t kHighBits = kEachByte * 0x80u;
// Whether the lowest mark is the first byte in memory, so that searches may take blocks.
inline constexpr bool kFirstByteLowest = std::endian::native == std::endian::little;

inline std::uint64_t load(const char* bytes)
{
    std::uint64_t block = 0;
    std::memcpy(&block, bytes, kBytes);
    return block;
}

inline void store(char* bytes, std::uint64_t block)
{
    std::memcpy(bytes, &block, kBytes);
}

inline bool isAscii(std::uint64_t block)
{
    return (block & kHighBits) == 0;
}

// Marks the bytes of block equal to byte. The lowest mark is exact (the borrow test can give a
// false mark only above a true one), which is all a search for the first one needs.
inline std::uint64_t bytesEqualTo(std::uint64_t block, unsigned char byte)
{
    const std::uint64_t zeroWhereEqual = block ^ (kEachByte * byte);
    return (zeroWhereEqual - kEachByte) & ~zeroWhereEqual & kHighBits;
}

// The position in the block of its lowest mark; marks must not be 0.
inline std::size_t firstMarked(std::uint64_t marks)
{
    return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
}

// The first position from pos in text of a or b, or text.size(); eight bytes at a time.
inline std::size_t findEither(std::string_view text, std::size_t pos, char a, char b)
{
    for (; kFirstByteLowest && pos + kBytes <= text.size(); pos += kBytes) {
        const std::uint64_t block = load(text.data() + pos);
        const std::uint64_t found = bytesEqualTo(block, static_cast<unsigned char>(a)) |
                                    bytesEqualTo(block, static_cast<unsigned char>(b));
        if (found != 0)
            return pos + firstMarked(found);
    }
    while (pos < text.size() && text[pos] != a && text[pos] != b)
        ++pos;
    return pos;
}

} // namespace tagwright::byte_blocks
