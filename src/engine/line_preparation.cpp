#include "engine/line_preparation.h"

#include "engine/ascii_case.h"
#include "support/strings.h"
#include "support/utf8_repair.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tagwright {

namespace {

struct Replacement
{
    std::string_view text;
    char character;
};

// Tag texts between "<" and ">" and their markers.
constexpr std::array<Replacement, 22> kTags{{
    {"b", marker::kBold},
    {"/b", marker::kBoldEnd},
    {"strong", marker::kBold},
    {"/strong", marker::kBoldEnd},
    {"i", marker::kItalic},
    {"/i", marker::kItalicEnd},
    {"em", marker::kItalic},
    {"/em", marker::kItalicEnd},
    {"title", marker::kTitle},
    {"/title", marker::kTitleEnd},
    {"h1", 6},
    {"/h1", marker::kHeadingEnd},
    {"h2", 5},
    {"/h2", marker::kHeadingEnd},
    {"h3", 4},
    {"/h3", marker::kHeadingEnd},
    {"h4", 3},
    {"/h4", marker::kHeadingEnd},
    {"h5", 2},
    {"/h5", marker::kHeadingEnd},
    {"h6", 1},
    {"/h6", marker::kHeadingEnd},
}};

constexpr std::array<Replacement, 5> kMarkedEntities{{
    {"&nbsp;", ' '},
    {"&#160;", ' '},
    {"&quot;", '"'},
    {"&laquo;", '"'},
    {"&raquo;", '"'},
}};

// The entity table: copyright, ampersand, the two no-break spaces, the em dash and the Latin-1
// letters; plus the double quote, which is always decoded.
constexpr std::array<Replacement, 68> kEntities{{
    {"&copy;", '\xA9'},   {"&amp;", '&'},       {"&nbsp;", ' '},      {"&#160;", ' '},
    {"&#8212;", '\x97'},  {"&quot;", '"'},      {"&AElig;", '\xC6'},  {"&Aacute;", '\xC1'},
    {"&Acirc;", '\xC2'},  {"&Agrave;", '\xC0'}, {"&Aring;", '\xC5'},  {"&Atilde;", '\xC3'},
    {"&Auml;", '\xC4'},   {"&Ccedil;", '\xC7'}, {"&ETH;", '\xD0'},    {"&Eacute;", '\xC9'},
    {"&Ecirc;", '\xCA'},  {"&Egrave;", '\xC8'}, {"&Euml;", '\xCB'},   {"&Iacute;", '\xCD'},
    {"&Icirc;", '\xCE'},  {"&Igrave;", '\xCC'}, {"&Iuml;", '\xCF'},   {"&Ntilde;", '\xD1'},
    {"&Oacute;", '\xD3'}, {"&Ocirc;", '\xD4'},  {"&Ograve;", '\xD2'}, {"&Oslash;", '\xD8'},
    {"&Otilde;", '\xD5'}, {"&Ouml;", '\xD6'},   {"&THORN;", '\xDE'},  {"&Uacute;", '\xDA'},
    {"&Ucirc;", '\xDB'},  {"&Ugrave;", '\xD9'}, {"&Uuml;", '\xDC'},   {"&Yacute;", '\xDD'},
    {"&aacute;", '\xE1'}, {"&acirc;", '\xE2'},  {"&aelig;", '\xE6'},  {"&agrave;", '\xE0'},
    {"&aring;", '\xE5'},  {"&atilde;", '\xE3'}, {"&auml;", '\xE4'},   {"&ccedil;", '\xE7'},
    {"&eacute;", '\xE9'}, {"&ecirc;", '\xEA'},  {"&egrave;", '\xE8'}, {"&eth;", '\xF0'},
    {"&euml;", '\xEB'},   {"&iacute;", '\xED'}, {"&icirc;", '\xEE'},  {"&igrave;", '\xEC'},
    {"&iuml;", '\xEF'},   {"&ntilde;", '\xF1'}, {"&oacute;", '\xF3'}, {"&ocirc;", '\xF4'},
    {"&ograve;", '\xF2'}, {"&oslash;", '\xF8'}, {"&otilde;", '\xF5'}, {"&ouml;", '\xF6'},
    {"&szlig;", '\xDF'},  {"&thorn;", '\xFE'},  {"&uacute;", '\xFA'}, {"&ucirc;", '\xFB'},
    {"&ugrave;", '\xF9'}, {"&uuml;", '\xFC'},   {"&yacute;", '\xFD'}, {"&yuml;", '\xFF'},
}};

constexpr std::size_t kLongestTagText = 7; // "/strong"

// A tag text of up to kLongestTagText bytes as one number: its bytes in order and its length in
// the top byte, so that two texts are equal when their numbers are.
constexpr std::uint64_t tagKey(std::string_view text)
{
    std::uint64_t key = static_cast<std::uint64_t>(text.size()) << 56;
    for (std::size_t i = 0; i < text.size(); ++i)
        key |= static_cast<std::uint64_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    return key;
}

constexpr std::array<std::uint64_t, kTags.size()> kTagKeys = [] {
    std::array<std::uint64_t, kTags.size()> keys{};
    for (std::size_t i = 0; i < kTags.size(); ++i)
        keys[i] = tagKey(kTags[i].text);
    return keys;
}();

// Whether the characters after a "<" may start one of the marked tags: most tags (a, p, div, li,
// ...) start with none of their letters, and are told apart here without looking further.
bool mayBeMarkedTag(std::string_view afterLessThan)
{
    const std::size_t nameStart = afterLessThan.starts_with('/') ? 1 : 0;
    if (afterLessThan.size() <= nameStart)
        return false;
    switch (asciiLower(afterLessThan[nameStart])) {
    case 'b':
    case 's':
    case 'i':
    case 'e':
    case 't':
    case 'h':
        return true;
    default:
        return false;
    }
}

// The marker for the text between "<" and ">" (at most kLongestTagText bytes), or 0. A line that
// kept its case also has its tags marked in upper case: <B> <I> <H1> exactly, <STRONG> <EM>
// <TITLE> in any case; since the lower-case forms are marked as well, that is every letter case
// of every tag.
char tagMarker(std::string_view inner, bool lowerCaseMode)
{
    std::uint64_t key = static_cast<std::uint64_t>(inner.size()) << 56;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        const char c = lowerCaseMode ? inner[i] : asciiLower(inner[i]);
        key |= static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * i);
    }
    for (std::size_t i = 0; i < kTagKeys.size(); ++i)
        if (kTagKeys[i] == key)
            return kTags[i].character;
    return 0;
}

// The first c in [pos, end), or end.
std::size_t findBefore(std::string_view line, char c, std::size_t pos, std::size_t end)
{
    return std::min(line.substr(0, end).find(c, pos), end);
}

// The end of the stride of a search from pos: no search reads further before a look.
std::size_t reachFrom(std::string_view line, std::size_t pos)
{
    return std::min(pos + kBytesPerLook, line.size());
}

// The positions of the next "<" and the next "&", each searched again only once passed, and
// only as far as one stride: when neither is within it, the end of the stride is the answer,
// where the caller looks at Stop and goes on.
class TagOrEntityFinder
{
  public:
    explicit TagOrEntityFinder(std::string_view line)
        : line_(line), lessThan_(findBefore(line, '<', 0, reachFrom(line, 0))),
          ampersand_(findBefore(line, '&', 0, reachFrom(line, 0)))
    {
    }

    std::size_t next(std::size_t pos)
    {
        const std::size_t reach = reachFrom(line_, pos);
        if (lessThan_ < pos)
            lessThan_ = findBefore(line_, '<', pos, reach);
        if (ampersand_ < pos)
            ampersand_ = findBefore(line_, '&', pos, reach);
        return std::min(lessThan_, ampersand_);
    }

  private:
    std::string_view line_;
    std::size_t lessThan_;
    std::size_t ampersand_;
};

// Copies the kept stretches of a line down over the replaced ones, in place: every replacement
// is shorter than what it replaces, so the line is never written ahead of where it is read.
class Compaction
{
  public:
    explicit Compaction(std::string& line) : line_(line) {}
    Compaction(const Compaction&) = delete;
    Compaction& operator=(const Compaction&) = delete;
    ~Compaction() = default;

    // The `length` characters at `at` become `character`.
    void replace(std::size_t at, std::size_t length, char character)
    {
        keepUpTo(at);
        line_[written_++] = character;
        read_ = at + length;
    }

    // Cuts the line to what was written, once the whole line has been read.
    void finish()
    {
        keepUpTo(line_.size());
        line_.resize(written_);
    }

    // Keeps the line up to `at`, past what was replaced. Done before every look too, so that no
    // single move copies more than the stretch since the last one.
    void keepUpTo(std::size_t at)
    {
        if (written_ != read_)
            std::memmove(line_.data() + written_, line_.data() + read_, at - read_);
        written_ += at - read_;
        read_ = at;
    }

  private:
    std::string& line_;
    std::size_t read_ = 0;    // what lies before has been kept or replaced
    std::size_t written_ = 0; // the end of the line so far
};

// Asks whether to go on once per kBytesPerLook bytes that a pass over the line has passed over,
// and between the steps of a line that long; an ordinary line costs one comparison per place
// of work and is never asked about.
class Looks
{
  public:
    explicit Looks(const KeepPreparing& keepPreparing) : keepPreparing_(keepPreparing) {}

    // Whether to go on at `pos` of the current pass.
    bool keepGoingAt(std::size_t pos)
    {
        if (pos < next_)
            return true;
        next_ = pos + kBytesPerLook;
        return ask();
    }

    // The same in a pass that compacts the line: before a look the line is kept up to pos.
    bool keepGoingAt(std::size_t pos, Compaction& compaction)
    {
        if (pos < next_)
            return true;
        compaction.keepUpTo(pos);
        return keepGoingAt(pos);
    }

    // Whether to go on to the next step; the next pass starts from the line's beginning.
    bool keepGoingBetweenSteps(std::size_t lineSize)
    {
        next_ = kBytesPerLook;
        return lineSize < kBytesPerLook || ask();
    }

  private:
    bool ask() const { return !keepPreparing_ || keepPreparing_(); }

    const KeepPreparing& keepPreparing_;
    std::size_t next_ = kBytesPerLook;
};

// One pass from left to right does what the successive replace-alls of the rules do: no
// replacement can form or break another match, since every pattern is a whole "<...>" or
// "&...;" without the characters that replacements produce. False when given up. ampersands
// tells whether the line held a "&" that a marked entity did not replace: without one, decoding
// entities has nothing to do.
bool markTags(std::string& line, bool lowerCaseMode, Looks& looks, bool& ampersands)
{
    ampersands = false;
    Compaction compaction(line);
    TagOrEntityFinder finder(line);
    for (std::size_t pos = finder.next(0); pos < line.size(); pos = finder.next(pos)) {
        if (!looks.keepGoingAt(pos, compaction))
            return false;
        const std::string_view rest = std::string_view(line).substr(pos);
        std::size_t length = 0;
        char character = 0;
        if (rest[0] == '<') {
            const std::size_t close = mayBeMarkedTag(rest.substr(1))
                                          ? rest.substr(0, kLongestTagText + 2).find('>')
                                          : std::string_view::npos;
            if (close != std::string_view::npos)
                character = tagMarker(rest.substr(1, close - 1), lowerCaseMode);
            if (character != 0)
                length = close + 1;
        } else if (rest[0] == '&') {
            for (const Replacement& entity : kMarkedEntities)
                if (rest.starts_with(entity.text)) {
                    character = entity.character;
                    length = entity.text.size();
                    break;
                }
            ampersands = ampersands || length == 0;
        }
        if (length == 0) {
            ++pos;
            continue;
        }
        compaction.replace(pos, length, character);
        pos += length;
    }
    compaction.finish();
    return true;
}

// The rules search on after a replaced character, or after the ";" of an unknown entity; both
// are the position after the ";" in the line as it was, so one pass over the original serves.
// False when given up.
bool decodeEntities(std::string& line, Looks& looks)
{
    Compaction compaction(line);
    // Moves pos to the next c, or to the end of the line, searching a stride at a time; false
    // when given up.
    const auto find = [&](char c, std::size_t& pos) {
        while ((pos = findBefore(line, c, pos, reachFrom(line, pos))) < line.size() &&
               line[pos] != c)
            if (!looks.keepGoingAt(pos, compaction))
                return false;
        return true;
    };
    std::size_t from = 0;
    while (true) {
        std::size_t ampersand = from;
        if (!find('&', ampersand) || !looks.keepGoingAt(ampersand, compaction))
            return false;
        if (ampersand == line.size())
            break;
        std::size_t semicolon = ampersand;
        if (!find(';', semicolon))
            return false;
        if (semicolon == line.size())
            break;
        const std::string_view entity =
            std::string_view(line).substr(ampersand, semicolon - ampersand + 1);
        const auto known = std::find_if(kEntities.begin(), kEntities.end(),
                                        [&](const Replacement& r) { return r.text == entity; });
        if (known != kEntities.end())
            compaction.replace(ampersand, entity.size(), known->character);
        from = semicolon + 1;
    }
    compaction.finish();
    return true;
}

// Drops the blanks at both ends of the line, a stride at a time (an indented line as long as the
// file is moved down whole). False when the line is only blanks (it is then left as it is) or
// when given up.
bool trimBlanks(std::string& line, Looks& looks)
{
    std::size_t first = std::string::npos;
    for (std::size_t at = 0; first == std::string::npos && at < line.size(); at += kBytesPerLook) {
        if (!looks.keepGoingAt(at))
            return false;
        first = std::string_view(line).substr(0, reachFrom(line, at)).find_first_not_of(' ', at);
    }
    if (first == std::string::npos)
        return false;
    std::size_t end = line.size();
    for (std::size_t blanks = 1; line[end - 1] == ' '; --end, ++blanks)
        if (blanks % kBytesPerLook == 0 && !looks.keepGoingBetweenSteps(line.size()))
            return false;
    line.resize(end);
    if (first == 0)
        return true;
    if (!looks.keepGoingBetweenSteps(line.size()))
        return false;
    for (std::size_t at = first; at < line.size(); at += kBytesPerLook) {
        if (!looks.keepGoingAt(at - first))
            return false;
        std::memmove(line.data() + at - first, line.data() + at, reachFrom(line, at) - at);
    }
    line.resize(line.size() - first);
    return true;
}

// LF characters inside the line become blanks, a stride at a time; false when given up.
bool blankLineFeeds(std::string& line, Looks& looks)
{
    for (std::size_t at = 0; at < line.size(); at += kBytesPerLook) {
        if (!looks.keepGoingAt(at))
            return false;
        const auto piece = line.begin() + static_cast<std::ptrdiff_t>(at);
        std::replace(piece, piece + static_cast<std::ptrdiff_t>(reachFrom(line, at) - at), '\n',
                     ' ');
    }
    return true;
}

} // namespace

void markTags(std::string& line, bool lowerCaseMode)
{
    const KeepPreparing always;
    Looks never(always);
    bool ampersands = false;
    markTags(line, lowerCaseMode, never, ampersands);
}

void decodeEntities(std::string& line)
{
    const KeepPreparing always;
    Looks never(always);
    decodeEntities(line, never);
}

bool prepareLine(std::string& line, const LinePreparation& how, const KeepPreparing& keepPreparing)
{
    Looks looks(keepPreparing);
    if (!trimBlanks(line, looks))
        return false;
    if (how.unixFile && !blankLineFeeds(line, looks))
        return false;
    if (!looks.keepGoingBetweenSteps(line.size()))
        return false;
    if (how.utf8 && !repairUtf8Line(line, keepPreparing))
        return false;
    if (!looks.keepGoingBetweenSteps(line.size()))
        return false;
    if (how.lowerCaseMode && !lowerCaseAccentedInPlace(line, keepPreparing))
        return false;
    bool ampersands = false;
    if (!looks.keepGoingBetweenSteps(line.size()) ||
        !markTags(line, how.lowerCaseMode, looks, ampersands) ||
        !looks.keepGoingBetweenSteps(line.size()) || (ampersands && !decodeEntities(line, looks)))
        return false;
    line += ' ';
    return true;
}

} // namespace tagwright
