#pragma once

// Well-formed UTF-8: each character one sequence of the shortest form, no surrogate halves, no
// code point above U+10FFFF.

#include <cstddef>
#include <string_view>

namespace tagwright {

// The length of the well-formed sequence that starts at `at` (1 to 4); 0 when the bytes there
// are no such sequence.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);

// The code point of the well-formed sequence of `length` bytes at `at`.
char32_t utf8CodePoint(std::string_view text, std::size_t at, std::size_t length);

bool isValidUtf8(std::string_view text);

} // namespace tagwright
