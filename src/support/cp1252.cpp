#include "support/cp1252.h"

#include <array>

namespace tagwright {

namespace {

// Code points of 0x80-0x9F; 0 marks the undefined bytes.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98-9F
};

constexpr char kUnknown = '?';

// Decodes one well-formed UTF-8 sequence at text[i] and advances i past it; on a malformed
// sequence advances i by one byte and gives none.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        minimum = 0x10000;
    }
    if (length == 0 || i + length > text.size()) {
        ++i;
        return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0u) != 0x80u) {
            ++i;
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++i;
        return std::nullopt;
    }
    i += length;
    return codePoint;
}

} // namespace

std::optional<char32_t> cp1252CodePoint(unsigned char byte)
{
    if (byte < 0x80 || byte > 0x9F)
        return byte;
    const char32_t codePoint = kHighControlRange[byte - 0x80];
    if (codePoint == 0)
        return std::nullopt;
    return codePoint;
}

std::optional<unsigned char> cp1252Byte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (std::size_t k = 0; k < kHighControlRange.size(); ++k)
        if (kHighControlRange[k] == codePoint && codePoint != 0)
            return static_cast<unsigned char>(0x80 + k);
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t codePoint)
{
    const auto put = [&](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::string cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto codePoint = cp1252CodePoint(static_cast<unsigned char>(c));
        if (codePoint)
            appendUtf8(out, *codePoint);
        else
            out += kUnknown;
    }
    return out;
}

std::string utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto codePoint = decodeUtf8(text, i);
        const auto byte = codePoint ? cp1252Byte(*codePoint) : std::nullopt;
        out += byte ? static_cast<char>(*byte) : kUnknown;
    }
    return out;
}

} // namespace tagwright
