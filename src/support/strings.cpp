#include "support/strings.h"

#include "support/byte_blocks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tagwright {

namespace {

using ByteTable = std::array<unsigned char, 256>;
using ByteSet = std::array<bool, 256>;

constexpr unsigned char kCapitalZCaron = 0x8E;
constexpr unsigned char kSmallZCaron = 0x9E;

// The letter table: A-Z, Š Œ Ÿ and À-Þ without × map to their small letters; ß has no capital.
constexpr ByteTable makeLowerTable()
{
    ByteTable table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = static_cast<unsigned char>(c - 'A' + 'a');
    table[0x8A] = 0x9A; // Š
    table[0x8C] = 0x9C; // Œ
    table[0x9F] = 0xFF; // Ÿ
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) // ×
            table[c] = static_cast<unsigned char>(c + 0x20);
    return table;
}

// Accented letters whose presence sends a text through the letter table.
constexpr ByteSet makeTriggerSet()
{
    ByteSet set{};
    set[0x8A] = set[0x9F] = set[0x9A] = set[0xFF] = true; // Š Ÿ š ÿ
    for (int c = 0xC0; c <= 0xDD; ++c)
        set[c] = c != 0xC6 && c != 0xD7; // À-Ý without Æ and ×
    for (int c = 0xE0; c <= 0xFD; ++c)
        set[c] = c != 0xE6 && c != 0xF0 && c != 0xF7; // à-ý without æ, ð and ÷
    return set;
}

constexpr ByteTable kLower = makeLowerTable();
constexpr ByteSet kTrigger = makeTriggerSet();

unsigned char byteOf(char c)
{
    return static_cast<unsigned char>(c);
}

ByteSet membersOf(std::string_view set)
{
    ByteSet members{};
    for (const char c : set)
        members[byteOf(c)] = true;
    return members;
}

// The letters met so far in a text that is lowered piece by piece.
struct LoweredSoFar
{
    bool trigger = false;
    bool capitalZCaron = false;
};

void lowerPiece(char* text, std::size_t size, LoweredSoFar& seen)
{
    const auto lowerOne = [&](char& c) {
        const unsigned char b = byteOf(c);
        seen.trigger = seen.trigger || kTrigger[b];
        seen.capitalZCaron = seen.capitalZCaron || b == kCapitalZCaron;
        c = static_cast<char>(kLower[b]);
    };
    // Eight bytes at a time while they are ASCII, where only A-Z change (and none is a trigger
    // or Ž): bit 7 of each byte marks, through one addition, whether it lies above Z or at or
    // above A, and an upper-case letter gains 0x20.
    namespace blocks = byte_blocks;
    // Lowers the ASCII block at `at`; false, and nothing changed, when it holds another byte.
    const auto lowerAsciiBlock = [&](std::size_t at) {
        std::uint64_t block = blocks::load(text + at);
        if (!blocks::isAscii(block))
            return false;
        const std::uint64_t aboveZ = block + blocks::kEachByte * (0x7F - 'Z');
        const std::uint64_t fromA = block + blocks::kEachByte * (0x80 - 'A');
        block |= (fromA & ~aboveZ & blocks::kHighBits) >> 2;
        blocks::store(text + at, block);
        return true;
    };
    std::size_t i = 0;
    for (; i + blocks::kBytes <= size; i += blocks::kBytes)
        if (!lowerAsciiBlock(i))
            for (std::size_t k = i; k < i + blocks::kBytes; ++k)
                lowerOne(text[k]);
    // The last bytes as the last eight when those are ASCII: lowering lowered ASCII again
    // changes nothing.
    if (i < size && size >= blocks::kBytes && lowerAsciiBlock(size - blocks::kBytes))
        return;
    for (; i < size; ++i)
        lowerOne(text[i]);
}

// Calls work(at, size) for the pieces of a text of `size` bytes, asking keepGoing between them.
template <typename Work>
bool inPieces(std::size_t size, const KeepGoing& keepGoing, const Work& work)
{
    for (std::size_t at = 0; at < size; at += kBytesPerLook) {
        if (at > 0 && keepGoing && !keepGoing())
            return false;
        work(at, std::min(kBytesPerLook, size - at));
    }
    return true;
}

} // namespace

std::string leftPart(std::string_view text, std::ptrdiff_t n)
{
    if (n <= 0)
        return {};
    return std::string(text.substr(0, static_cast<std::size_t>(n)));
}

bool hasNoAccentedLetters(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) { return kTrigger[byteOf(c)]; });
}

void lowerCaseAccentedInPlace(std::string& text)
{
    lowerCaseAccentedInPlace(text, {});
}

bool lowerCaseAccentedInPlace(std::string& text, const KeepGoing& keepGoing)
{
    // A text without trigger letters takes the platform lower-casing, which also knows Ž; the
    // letter table does not. One pass with the table, then Ž for texts without triggers: that
    // depends on the whole text, so a text lowered in pieces has its Ž lowered after them.
    LoweredSoFar seen;
    if (!inPieces(text.size(), keepGoing,
                  [&](std::size_t at, std::size_t size) { lowerPiece(&text[at], size, seen); }))
        return false;
    if (!seen.capitalZCaron || seen.trigger)
        return true;
    return inPieces(text.size(), keepGoing, [&](std::size_t at, std::size_t size) {
        std::replace(text.begin() + static_cast<std::ptrdiff_t>(at),
                     text.begin() + static_cast<std::ptrdiff_t>(at + size),
                     static_cast<char>(kCapitalZCaron), static_cast<char>(kSmallZCaron));
    });
}

bool isLowerCaseAccented(std::string_view text)
{
    bool capitalZCaron = false;
    for (const char c : text) {
        const unsigned char b = byteOf(c);
        if (kLower[b] != b)
            return false;
        capitalZCaron = capitalZCaron || b == kCapitalZCaron;
    }
    // Ž stays only in a text with accented letters.
    return !capitalZCaron || !hasNoAccentedLetters(text);
}

std::string lowerCaseAccented(std::string_view text)
{
    std::string result(text);
    lowerCaseAccentedInPlace(result);
    return result;
}

std::size_t findNoCase(std::size_t start, std::string_view text, std::string_view sought)
{
    const std::size_t from = std::max<std::size_t>(start, 1) - 1;
    if (from >= text.size())
        return 0;
    const std::size_t found = lowerCaseAccented(text).find(lowerCaseAccented(sought), from);
    return found == std::string::npos ? 0 : found + 1;
}

std::size_t nextNonBlank(std::string_view text, std::size_t position)
{
    const std::size_t from = std::min(position, text.size());
    const std::size_t found = text.find_first_not_of(' ', from);
    return found == std::string_view::npos ? text.size() + 1 : found + 1;
}

std::size_t findFirstOfSet(std::string_view text, std::size_t start, std::string_view set,
                           std::size_t& memberIndex)
{
    memberIndex = 0;
    const std::size_t position = findFirstOfSet(text, start, set);
    if (position != 0)
        memberIndex = set.find(text[position - 1]) + 1;
    return position;
}

std::size_t findFirstOfSet(std::string_view text, std::size_t start, std::string_view set)
{
    if (text.empty() || set.empty())
        return 0;
    const ByteSet members = membersOf(set);
    for (std::size_t i = std::max<std::size_t>(start, 1) - 1; i < text.size(); ++i)
        if (members[byteOf(text[i])])
            return i + 1;
    return 0;
}

std::size_t findFirstNotInSet(std::string_view text, std::size_t start, std::string_view set)
{
    if (text.empty())
        return 0;
    if (set.empty())
        return 1;
    const ByteSet members = membersOf(set);
    for (std::size_t i = std::max<std::size_t>(start, 1) - 1; i < text.size(); ++i)
        if (!members[byteOf(text[i])])
            return i + 1;
    return 0;
}

std::string removeCharsOfSet(std::string_view text, std::string_view set, std::size_t start)
{
    const std::size_t kept = std::min(std::max<std::size_t>(start, 1) - 1, text.size());
    const ByteSet members = membersOf(set);
    std::string result(text.substr(0, kept));
    std::copy_if(text.begin() + static_cast<std::ptrdiff_t>(kept), text.end(),
                 std::back_inserter(result), [&](char c) { return !members[byteOf(c)]; });
    return result;
}

void stripCharsOfSet(std::string& text, std::string_view set)
{
    const ByteSet members = membersOf(set);
    std::erase_if(text, [&](char c) { return members[byteOf(c)]; });
}

std::string removeBlanks(std::string_view text)
{
    return removeCharsOfSet(text, " ", 1);
}

void replaceCharsOfSet(std::string& text, std::string_view set, std::string_view replacement)
{
    if (set.empty())
        return;
    const ByteSet members = membersOf(set);
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (members[byteOf(c)])
            result += replacement;
        else
            result += c;
    }
    text = std::move(result);
}

void trimControlChars(std::string& text)
{
    const auto isControl = [](char c) { return byteOf(c) <= ' '; };
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isControl).base();
    text.erase(last, text.end());
    const auto first = std::find_if_not(text.begin(), text.end(), isControl);
    text.erase(text.begin(), first);
}

void keepSignedDigits(std::string& text, bool allowMinus)
{
    bool digit = false;
    bool plus = false;
    bool minus = false;
    std::string kept;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
            kept += c;
        } else if (c == '+' && !digit && !plus) {
            plus = true;
            kept += c;
        } else if (c == '-' && allowMinus && !digit && !minus) {
            minus = true;
            kept += c;
        }
    }
    text = std::move(kept);
}

std::string numberText(long long number)
{
    std::string text = number < 0 ? "" : " ";
    text += std::to_string(number);
    return text;
}

} // namespace tagwright
