#include "engine/scanner.h"

#include "engine/ascii_case.h"
#include "engine/line_preparation.h"
#include "engine/overflow.h"
#include "engine/word_rules.h"
#include "support/byte_blocks.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tagwright {

namespace {

// The longest leading decimal number (digits with an optional point), 0 when there is none.
double leadingNumber(std::string_view text)
{
    double number = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        number = number * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.')
        for (double scale = 0.1; ++i < text.size() && text[i] >= '0' && text[i] <= '9'; scale /= 10)
            number += (text[i] - '0') * scale;
    return number;
}

// Whether the characters after a "<" may be those of a table, div or span tag or of their end
// tags: most tags are told apart from all of them there.
bool mayBeBlockTag(char first, char second)
{
    const auto isInitial = [](char c) {
        c = asciiLower(c);
        return c == 't' || c == 'd' || c == 's';
    };
    return isInitial(first) || (first == '/' && isInitial(second));
}

constexpr std::string_view kSizeAttribute = "size";
constexpr std::string_view kFontWord = "font";
constexpr std::string_view kDescriptionName = "name=\"description\"";
constexpr std::string_view kKeywordsName = "name=\"keywords\"";

} // namespace

// One line being scanned, with the searches the scan makes on it. The scan only moves forward on
// a line, so every search is a forward search from the scan position, and each keeps its last
// answer: the next match found from one position serves every later position up to it. A byte is
// thus read at most once per kind of search, and a line costs time in proportion to its length
// (a page without line ends is one line; searching the rest of it again from every "&" or tag
// made such a page quadratic). The tests on the text lower-cased and without blanks read only as
// far as they need: to the end of the meta tag, to the next "font".
//
// A search that goes far looks at Stop once per kBytesPerLook bytes (one step of the scan can
// search the rest of a line as long as the file); once Stop is taken, it and every later search
// of the line find nothing, which ends the step without a word.
class Scanner::Line
{
  public:
    // Every byte a search reads is added to `searched`.
    Line(std::string_view text, std::uint64_t& searched, Scanner& scanner)
        : text_(text), searched_(searched), scanner_(scanner)
    {
    }

    std::size_t size() const { return text_.size(); }
    char at(std::size_t pos) const { return pos < text_.size() ? text_[pos] : '\0'; }
    std::string_view rest(std::size_t pos) const
    {
        return pos < text_.size() ? text_.substr(pos) : std::string_view();
    }

    // The text at pos, lower-cased, starts with the (lower-case) pattern.
    bool startsWithNoCase(std::size_t pos, std::string_view pattern) const
    {
        if (pos >= text_.size() || text_.size() - pos < pattern.size())
            return false;
        for (std::size_t i = 0; i < pattern.size(); ++i)
            if (asciiLower(text_[pos + i]) != pattern[i])
                return false;
        return true;
    }

    // The first position at or after pos of the (lower-case) pattern ignoring case, or size().
    std::size_t findNoCase(std::size_t pos, std::string_view pattern)
    {
        return remembered(Search::NoCase, pattern, pos, [&](std::size_t from, std::size_t to) {
            for (; from < to; ++from) {
                from = findAnyCaseOf(from, to, pattern[0]);
                if (from < to && startsWithNoCase(from, pattern))
                    return from;
            }
            return to;
        });
    }

    // The first position at or after pos of the pattern exactly, or size().
    std::size_t find(std::size_t pos, std::string_view pattern)
    {
        return remembered(Search::Exact, pattern, pos, [&](std::size_t from, std::size_t to) {
            // A match that starts before `to` may end after it.
            const std::string_view piece = text_.substr(0, to + pattern.size() - 1);
            return std::min(piece.find(pattern, from), to);
        });
    }

    // The first position at or after pos of a ";" or a blank, or size().
    std::size_t findSemicolonOrBlank(std::size_t pos)
    {
        return rememberedIn(semicolonOrBlank_, pos, [&](std::size_t from, std::size_t to) {
            return findEither(from, to, ';', ' ');
        });
    }

    // The first position at or after pos of a tag bracket, or size().
    std::size_t findBracket(std::size_t pos)
    {
        return rememberedIn(bracket_, pos, [&](std::size_t from, std::size_t to) {
            return findEither(from, to, '<', '>');
        });
    }

    // The first position at or after pos of a sign or digit, or size().
    std::size_t findSignOrDigit(std::size_t pos)
    {
        return rememberedIn(signOrDigit_, pos, [&](std::size_t from, std::size_t to) {
            return findFirst(from, to, isSignOrDigit);
        });
    }

    std::size_t firstNonBlank(std::size_t pos)
    {
        if (pos < text_.size() && text_[pos] != ' ') // as at most steps
            return pos;
        const std::size_t found = inPieces(pos, [&](std::size_t from, std::size_t to) {
            return std::min(text_.substr(0, to).find_first_not_of(' ', from), to);
        });
        searched_ += found - std::min(pos, found);
        return found;
    }

    // Where the first match of a (lower-case) pattern starts in the text from pos to end,
    // lower-cased and without blanks; as a position in the line, or end when there is none. A
    // match that starts before end but ends after it is not seen, so end must be a character
    // that the pattern does not hold (or the end of the line).
    std::size_t findInBlankFreeText(std::size_t pos, std::size_t end, std::string_view pattern)
    {
        if (stopped())
            return end;
        std::array<char, kRing> recent{};        // last characters, as a ring
        std::array<std::size_t, kRing> origin{}; // their positions in the line
        std::size_t seen = 0;
        std::size_t found = end;
        std::size_t i = pos;
        for (std::size_t nextLook = pos + kBytesPerLook; i < end; ++i) {
            if (i == nextLook) {
                if (!scanner_.keepScanning())
                    break;
                nextLook += kBytesPerLook;
            }
            if (text_[i] == ' ')
                continue;
            recent[seen % kRing] = asciiLower(text_[i]);
            origin[seen % kRing] = i;
            ++seen;
            if (seen < pattern.size() || recent[(seen - 1) % kRing] != pattern.back())
                continue;
            const std::size_t first = seen - pattern.size();
            bool match = true;
            for (std::size_t k = 0; match && k < pattern.size(); ++k)
                match = recent[(first + k) % kRing] == pattern[k];
            if (match) {
                found = origin[first % kRing];
                ++i;
                break;
            }
        }
        searched_ += i - std::min(pos, i);
        return found;
    }

    // Once Stop is taken, searches find nothing: the step ends without a word.
    bool stopped() const { return scanner_.stopped_; }

  private:
    enum class Search { Exact, NoCase };

    // The last answer of one search: no match in [from, found), a match at found (or none at all
    // when found is size()); none yet while from is past found.
    struct Answer
    {
        std::size_t from = 1;
        std::size_t found = 0;
    };
    // The answer of a search for a pattern, which tells it from the others.
    struct PatternAnswer
    {
        Search search;
        std::string_view pattern;
        Answer answer;
    };

    static bool isSignOrDigit(char c) { return c == '+' || c == '-' || (c >= '0' && c <= '9'); }

    template <typename Test>
    std::size_t findFirst(std::size_t pos, std::size_t to, const Test& test) const
    {
        while (pos < to && !test(text_[pos]))
            ++pos;
        return pos;
    }

    // The first position in [pos, to) of a or b, or to.
    std::size_t findEither(std::size_t pos, std::size_t to, char a, char b) const
    {
        return byte_blocks::findEither(text_.substr(0, to), pos, a, b);
    }

    // Runs search(from, to), which answers a match in [from, to) or else `to`, over the rest of
    // the line from pos in pieces of kBytesPerLook bytes, looking at Stop between them; size()
    // when there is no match or Stop was taken.
    template <typename Search> std::size_t inPieces(std::size_t pos, const Search& search)
    {
        while (pos < text_.size()) {
            if (stopped())
                return text_.size();
            const std::size_t to = std::min(pos + kBytesPerLook, text_.size());
            const std::size_t found = search(pos, to);
            if (found < to)
                return found;
            pos = to;
            if (pos < text_.size() && !scanner_.keepScanning())
                return text_.size();
        }
        return text_.size();
    }

    template <typename Searcher>
    std::size_t remembered(Search search, std::string_view pattern, std::size_t pos,
                           const Searcher& searcher)
    {
        // A search is known by its pattern's text; the same literal is the same text at once.
        PatternAnswer* const end = answers_.data() + answerCount_;
        PatternAnswer* answer = answers_.data();
        while (answer != end &&
               !(answer->search == search && answer->pattern.data() == pattern.data() &&
                 answer->pattern.size() == pattern.size()))
            ++answer;
        if (answer == end) {
            answer = answers_.data();
            while (answer != end && !(answer->search == search && answer->pattern == pattern))
                ++answer;
        }
        if (answer == end && answerCount_ < answers_.size()) {
            *answer = PatternAnswer{search, pattern, {}};
            ++answerCount_;
        }
        Answer unkept;
        return rememberedIn(answer != answers_.data() + answers_.size() ? answer->answer : unkept,
                            pos, searcher);
    }

    // The answer kept if it holds for pos, else the answer of a new search from pos, kept.
    template <typename Searcher>
    std::size_t rememberedIn(Answer& answer, std::size_t pos, const Searcher& searcher)
    {
        if (answer.from <= pos && pos <= answer.found)
            return answer.found;
        const std::size_t found = inPieces(pos, searcher);
        searched_ += found - std::min(pos, found);
        answer = {pos, found};
        return found;
    }

    // The first position in [pos, to) of the letter in either case, or to.
    std::size_t findAnyCaseOf(std::size_t pos, std::size_t to, char lower) const
    {
        const std::string_view piece = text_.substr(0, to);
        if (lower < 'a' || lower > 'z')
            return std::min(piece.find(lower, pos), to);
        const char upper = static_cast<char>(lower - 'a' + 'A');
        const char both[] = {lower, upper};
        return std::min(piece.find_first_of(std::string_view(both, 2), pos), to);
    }

    static constexpr std::size_t kRing = 32; // a power of two above the longest pattern

    std::string_view text_;
    std::array<PatternAnswer, 16> answers_; // the first answerCount_ are in use
    std::size_t answerCount_ = 0;
    // The searches for any of a few characters, made at every tag or entity, have their own.
    Answer semicolonOrBlank_;
    Answer bracket_;
    Answer signOrDigit_;
    std::uint64_t& searched_;
    Scanner& scanner_;
};

Scanner::Scanner(const AnalysisSettings& settings, AnalysisHost& host, WordCounter& counter,
                 WordTable& table, std::string path)
    : settings_(settings), host_(host), counter_(counter), table_(table), path_(std::move(path))
{
}

void Scanner::endLine()
{
    state_.tagDepth = std::max<std::int16_t>(state_.tagDepth, 0);
    state_.fontStackDepth = std::max<std::int16_t>(state_.fontStackDepth, 0);
}

bool Scanner::keepScanning()
{
    if (!stopped_ && host_.stopRequested())
        stopped_ = true;
    return !stopped_;
}

bool Scanner::keepScanningPast(std::size_t pos, std::size_t& nextLook)
{
    if (pos < nextLook)
        return !stopped_;
    nextLook = pos + kBytesPerLook;
    return keepScanning();
}

void Scanner::scanLine(std::string_view text)
{
    Line line(text, bytesSearched_, *this);
    ScanState& s = state_;
    s.pos = 0;
    while (s.pos < line.size()) {
        if (!keepScanning())
            return;
        s.pos = line.firstNonBlank(s.pos);
        if (s.pos == line.size())
            return;

        // Most steps start at a word of plain text, where none of the tests below applies.
        if (isLetter(line.at(s.pos)) && inPlainText()) {
            takeWordsOfPlainText(line, text);
            continue;
        }

        // The content of a zero-weight table, div or span that goes on from an earlier line.
        if (settings_.tableWeight == 0 && s.tableDepth > 0 &&
            !skipBlockContent(line, "<table", "</table>", s.tableDepth))
            return;
        if (settings_.divWeight == 0 && s.divDepth > 0 &&
            !skipBlockContent(line, "<div", "</div>", s.divDepth))
            return;
        if (settings_.spanWeight == 0 && s.spanDepth > 0 &&
            !skipBlockContent(line, "<span", "</span>", s.spanDepth))
            return;

        if (s.fontTagContinues) {
            const std::size_t close = line.find(s.pos, ">");
            if (close + 1 < line.size()) {
                s.tagDepth = checkedAdd(s.tagDepth, -1);
                s.pos = close + 1;
            } else {
                s.pos = close;
            }
            s.fontTagContinues = false;
            s.inTag = false;
        }

        const bool atTag = line.at(s.pos) == '<';
        if (atTag && mayBeBlockTag(line.at(s.pos + 1), line.at(s.pos + 2)) &&
            (!followBlockTag(line, "<table", "</table>", s.tableDepth, settings_.tableWeight) ||
             !followBlockTag(line, "<div", "</div>", s.divDepth, settings_.divWeight) ||
             !followBlockTag(line, "<span", "</span>", s.spanDepth, settings_.spanWeight)))
            return;

        // The letter after a "<" tells most tags from a comment, a style and a script at once.
        const char afterTag = atTag ? asciiLower(line.at(s.pos + 1)) : '\0';
        if (s.inComment || (afterTag == '!' && line.startsWithNoCase(s.pos, "<!--"))) {
            s.inComment = !skipToEndMarker(line, "-->");
            if (s.inComment)
                return;
            continue;
        }
        if (s.inStyle || (afterTag == 's' && line.startsWithNoCase(s.pos, "<style"))) {
            s.inStyle = !skipToEndMarker(line, "</style>");
            if (s.inStyle)
                return;
            continue;
        }
        if (s.inScript || (afterTag == 's' && line.startsWithNoCase(s.pos, "<script"))) {
            s.inScript = !skipToEndMarker(line, "</script>");
            if (s.inScript)
                return;
            continue;
        }

        const char c = line.at(s.pos);
        if (s.inTag || c == '<') {
            s.inTag = true;
            handleTag(line);
            continue;
        }
        switch (c) {
        case '>':
            s.fontTagContinues = false;
            s.inDescriptionContent = false;
            s.inKeywordsContent = false;
            ++s.pos;
            if (s.tagDepth >= 1)
                --s.tagDepth;
            continue;
        case marker::kBold:
        case marker::kBoldEnd:
            s.bold = c == marker::kBold;
            ++s.pos;
            continue;
        case marker::kItalic:
        case marker::kItalicEnd:
            s.italic = c == marker::kItalic;
            ++s.pos;
            continue;
        case marker::kTitle:
        case marker::kTitleEnd:
            s.inTitle = c == marker::kTitle;
            ++s.pos;
            continue;
        case marker::kHeadingEnd:
            s.headingWeight = 0;
            ++s.pos;
            continue;
        default:
            break;
        }
        if (c >= marker::kHeading6 && c <= marker::kHeading1) {
            s.headingWeight = static_cast<std::int16_t>(5 * c);
            ++s.pos;
            continue;
        }
        // An entity that line preparation did not decode is skipped whole.
        if (c == '&') {
            const std::size_t end = line.findSemicolonOrBlank(s.pos);
            if (line.at(end) == ';') {
                s.pos = end + 1;
                continue;
            }
        }
        if (isLetter(c)) {
            takeWord(text);
            continue;
        }
        ++s.pos;
    }
}

// Outside every tag, comment, style and script, and not skipping a zero-weight block: a letter
// here starts a word.
bool Scanner::inPlainText() const
{
    const ScanState& s = state_;
    return !s.inTag && !s.inComment && !s.inStyle && !s.inScript && !s.fontTagContinues &&
           !(settings_.tableWeight == 0 && s.tableDepth > 0) &&
           !(settings_.divWeight == 0 && s.divDepth > 0) &&
           !(settings_.spanWeight == 0 && s.spanDepth > 0);
}

// Takes the word at s.pos and the words that follow it, one blank apart: taking a word changes
// nothing of where the scan is, so plain text goes on until another character or a run of
// blanks, which the next step handles. Each word is a step of its own, with its look at Stop.
void Scanner::takeWordsOfPlainText(const Line& line, std::string_view text)
{
    ScanState& s = state_;
    takeWord(text);
    while (true) {
        const std::size_t next = s.pos + (line.at(s.pos) == ' ' ? 1 : 0);
        if (!isLetter(line.at(next)) || !keepScanning())
            return;
        s.pos = next;
        takeWord(text);
    }
}

void Scanner::takeWord(std::string_view text)
{
    if (counter_.takeWord(state_, text))
        table_.addTakenWord();
}

// Steps 6 to 8 of a scan step for one kind of block: an opening tag raises the depth (or, with
// weight 0, skips the whole block), a closing tag lowers it. False when a skipped block goes on
// past the line.
bool Scanner::followBlockTag(Line& line, std::string_view open, std::string_view close,
                             std::int16_t& depth, int weight)
{
    // Most tags are told apart from both at the characters after the "<".
    const char first = asciiLower(line.at(state_.pos + 1));
    if (first != open[1] && (first != '/' || asciiLower(line.at(state_.pos + 2)) != close[2]))
        return true;
    if (line.startsWithNoCase(state_.pos, open)) {
        if (weight > 0)
            depth = checkedAdd(depth, 1);
        else
            return skipBlockContent(line, open, close, depth);
    } else if (line.startsWithNoCase(state_.pos, close) && weight > 0 && depth > 0) {
        --depth;
    }
    return true;
}

bool Scanner::skipBlockContent(Line& line, std::string_view open, std::string_view close,
                               std::int16_t& depth)
{
    std::size_t& pos = state_.pos;
    for (std::size_t nextLook = pos + kBytesPerLook; pos < line.size();) {
        if (!keepScanningPast(pos, nextLook))
            return false;
        if (line.startsWithNoCase(pos, open)) {
            depth = checkedAdd(depth, 1);
            pos += open.size();
        } else if (line.startsWithNoCase(pos, close)) {
            depth = checkedAdd(depth, -1);
            pos += close.size();
            if (depth == 0)
                return true;
        }
        ++pos;
        // Only a "<" can start either tag.
        if (line.at(pos) != '<')
            pos = line.find(pos, "<");
    }
    return false;
}

bool Scanner::skipToEndMarker(Line& line, std::string_view marker)
{
    const std::size_t found = line.findNoCase(state_.pos, marker);
    if (found == line.size()) {
        state_.pos = line.size();
        return false;
    }
    state_.pos = found + marker.size();
    return true;
}

void Scanner::handleTag(Line& line)
{
    ScanState& s = state_;
    // "<<><><>..." stays inside one tag: the step can go on to the end of the line.
    for (std::size_t nextLook = s.pos + kBytesPerLook; s.pos < line.size();) {
        if (!keepScanningPast(s.pos, nextLook))
            return;
        const char c = line.at(s.pos);
        if (c == '>') {
            s.tagDepth = checkedAdd(s.tagDepth, -1);
            ++s.pos;
            if (s.tagDepth == 0) {
                s.inTag = false;
                return;
            }
        } else if (c == '<') {
            s.tagDepth = checkedAdd(s.tagDepth, 1);
            s.pos = line.firstNonBlank(s.pos + 1);
            if (s.pos == line.size())
                return;
            // The letter of the name tells most tags from a meta and a font tag at once.
            const char name = asciiLower(line.at(s.pos));
            if (name == 'm' && line.startsWithNoCase(s.pos, "meta ")) {
                handleMetaTag(line);
                s.inTag = false;
                return;
            }
            if (name == 'f' && line.startsWithNoCase(s.pos, "font")) {
                handleFontTag(line);
                if (!s.inTag)
                    return;
            } else if (name == '/' && line.startsWithNoCase(s.pos, "/font")) {
                handleEndFontTag(line);
                s.tagDepth = checkedAdd(s.tagDepth, -1);
                s.inTag = false;
                return;
            } else {
                ++s.pos;
            }
        } else {
            s.pos = line.findBracket(s.pos);
        }
    }
}

void Scanner::handleMetaTag(Line& line)
{
    ScanState& s = state_;
    s.inDescriptionContent = false;
    s.inKeywordsContent = false;
    s.pos += 5;
    // The name and the content count only inside this tag: in a minified head the rest of the
    // line holds the other meta tags, and a viewport's "width=device-width" is no description.
    const std::size_t close = line.find(s.pos, ">");
    if (line.findInBlankFreeText(s.pos, close, kDescriptionName) < close) {
        const std::size_t content = line.findNoCase(s.pos, "content");
        if (content < close) {
            s.inDescriptionContent = true;
            s.pos = content + 7;
        }
    } else if (line.findInBlankFreeText(s.pos, close, kKeywordsName) < close &&
               settings_.existingKeywordsWeight > 0) {
        const std::size_t content = line.find(s.pos, "content");
        if (content < close) {
            s.inKeywordsContent = true;
            s.pos = content + 7;
        }
    }
    if (!s.inDescriptionContent && !s.inKeywordsContent) {
        if (close + 1 < line.size()) {
            s.pos = close + 1;
            s.tagDepth = checkedAdd(s.tagDepth, -1);
        } else {
            s.pos = close;
        }
    }
}

void Scanner::handleFontTag(Line& line)
{
    ScanState& s = state_;
    s.pos += 4;
    s.fontTagContinues = true;

    if (static_cast<std::size_t>(s.fontStackDepth) >= s.fontStack.size())
        s.fontStack.resize(s.fontStack.size() + 16);
    s.fontStack[static_cast<std::size_t>(s.fontStackDepth)] = s.fontSize;
    s.fontStackDepth = checkedAdd(s.fontStackDepth, 1);

    // The size is honoured only when "size" comes before a later "font" on the line (usually
    // the end tag).
    const std::size_t font = line.findInBlankFreeText(s.pos, line.size(), kFontWord);
    if (font < line.size() && line.findInBlankFreeText(s.pos, font, kSizeAttribute) < font) {
        s.pos = line.findNoCase(s.pos, kSizeAttribute);
        if (s.pos < line.size())
            s.pos += kSizeAttribute.size();
        s.pos = line.findSignOrDigit(s.pos);
        if (s.pos < line.size()) {
            const char sign = line.at(s.pos);
            const double number =
                leadingNumber(line.rest(sign == '+' || sign == '-' ? s.pos + 1 : s.pos));
            const double size = sign == '+'   ? s.fontSize + number
                                : sign == '-' ? s.fontSize - number
                                              : number;
            s.fontSize = static_cast<std::int16_t>(std::clamp(std::nearbyint(size), 1.0, 7.0));
        }
    }

    const std::size_t close = line.find(s.pos, ">");
    if (close + 1 >= line.size())
        return; // the tag goes on to the next line
    s.tagDepth = checkedAdd(s.tagDepth, -1);
    s.fontTagContinues = false;
    s.inTag = false;
    s.pos = close + 1;
}

void Scanner::handleEndFontTag(Line& line)
{
    ScanState& s = state_;
    if (s.fontStackDepth > 0) {
        --s.fontStackDepth;
        s.fontSize = s.fontStack[static_cast<std::size_t>(s.fontStackDepth)];
    } else if (settings_.dialogForInvalidEndFontTag &&
               !host_.askProceedAfterInvalidEndFont(
                   "There appears to be an invalid end-font tag\r\nin the file " + path_ +
                   ".\r\nThis is not a fatal error.  Do you wish to proceed anyway?")) {
        stopped_ = true;
        return;
    }
    s.pos = line.find(s.pos, ">") + 1;
}

} // namespace tagwright
