#pragma once

// Draws small choices (flags, numbers in a range) from the front of a fuzz input and hands the
// rest over as the document, so that one input decides both the settings and the text.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tagwright::fuzz {

class InputBytes {
public:
    explicit InputBytes(std::string_view data) : data_(data) {}

    // The next byte, 0 once the input is used up.
    std::uint8_t byte()
    {
        if (data_.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(data_.front());
        data_.remove_prefix(1);
        return value;
    }
    bool flag() { return (byte() & 1) != 0; }
    // A number in first..last.
    int inRange(int first, int last) { return first + byte() % (last - first + 1); }
    // The next `count` bytes (fewer at the end).
    std::string_view take(std::size_t count)
    {
        const std::string_view part = data_.substr(0, count);
        data_.remove_prefix(part.size());
        return part;
    }
    // Up to the next NUL byte (dropped), or everything that is left.
    std::string_view field()
    {
        const auto end = data_.find('\0');
        const std::string_view part = data_.substr(0, end);
        data_.remove_prefix(end == std::string_view::npos ? data_.size() : end + 1);
        return part;
    }
    std::string_view rest() const { return data_; }

private:
    std::string_view data_;
};

} // namespace tagwright::fuzz
