#include "engine/input_checks.h"

#include "support/byte_blocks.h"
#include "support/files.h"
#include "support/line_reader.h"
#include "support/strings.h"
#include "support/utf8_sequences.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tagwright {

namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A file open for reading, closed when it goes out of scope.
class ReadOnlyFile
{
  public:
    explicit ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int fd() const { return fd_; }

  private:
    int fd_;
};

constexpr std::array<std::string_view, 11> kTextExtensions = {
    "prn", "csv", "xhtml", "xhtm", "shtml", "shtm", "html", "htm", "xml", "log", "txt"};

std::int16_t code(TextKind kind)
{
    return static_cast<std::int16_t>(kind);
}

std::int16_t code(Encoding encoding)
{
    return static_cast<std::int16_t>(encoding);
}

TextKind readFailure(int error, TextKind otherwise)
{
    return error == EACCES || error == EPERM ? TextKind::AccessRefused : otherwise;
}

// The first bytes of a regular file, at most `limit`; the file's length in `length`.
struct Head
{
    std::unique_ptr<unsigned char[]> read; // as the file gave them: not cleared first
    std::size_t size = 0;
    long long length = 0;
    int error = 0;

    std::span<const unsigned char> bytes() const { return {read.get(), size}; }
};

Head readHead(const std::string& path, std::size_t limit)
{
    Head head;
    const ReadOnlyFile file(path);
    struct stat status
    {
    };
    if (file.fd() < 0 || ::fstat(file.fd(), &status) != 0) {
        head.error = errno;
        return head;
    }
    head.length = status.st_size;
    head.size = std::min<std::size_t>(limit, static_cast<std::size_t>(head.length));
    head.read = std::make_unique_for_overwrite<unsigned char[]>(head.size);
    // A file may give fewer bytes than asked for at once; one that ends before its length
    // (shortened meanwhile) fails as a short read would.
    for (std::size_t got = 0; got < head.size;) {
        const ssize_t count = ::read(file.fd(), head.read.get() + got, head.size - got);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            head.error = count < 0 ? errno : EIO;
            return head;
        }
        got += static_cast<std::size_t>(count);
    }
    return head;
}

// A charset declaration stands at the top of a page: the look reads the first ten non-empty lines
// and never more than the first 64 KiB, so that a page without line ends (a Unix-type page is
// one line) is not read whole before its analysis starts.
constexpr std::size_t kCharsetLookBytes = 64 * 1024;
constexpr int kCharsetLookLines = 10;

enum class Charset { Undeclared, Utf8, Other };

// The charset that a line declares, its letters compared in lower case. The line is looked at
// only where an "=" stands: a line may be the whole top of a page (an LF page has no CR), which
// is not lowered whole.
Charset charsetOfLine(std::string_view line)
{
    constexpr std::string_view kName = "charset";
    Charset declared = Charset::Undeclared;
    for (std::size_t equals = line.find('=', kName.size()); equals != std::string_view::npos;
         equals = line.find('=', equals + 1)) {
        if (lowerCaseAccented(line.substr(equals - kName.size(), kName.size())) != kName)
            continue;
        declared = Charset::Other;
        const std::string value = lowerCaseAccented(line.substr(equals + 1, 7));
        for (const std::string_view utf8 : {"utf-8", "\"utf-8\"", "'utf-8'"})
            if (value.starts_with(utf8))
                return Charset::Utf8;
    }
    return declared;
}

// The charset declared at the top of the page, `head` (its first kCharsetLookBytes). UTF-8 is
// recognised in any letter case and with double, single or no quotes: today's pages write it in
// lower case far more often than not.
Charset declaredCharset(const Head& head)
{
    // The ten lines mostly stand in the first few KB: the top is handed to the reader in pieces,
    // so that only what the look reads is copied.
    constexpr std::size_t kCharsetLookPiece = 4096;
    std::size_t offset = 0;
    LineReader reader(
        [&head, &offset](char* buffer, std::size_t size) -> long {
            const std::size_t count = std::min(size, head.size - offset);
            std::copy_n(head.bytes().begin() + static_cast<std::ptrdiff_t>(offset), count, buffer);
            offset += count;
            return static_cast<long>(count);
        },
        LineEnds::CarriageReturn, kCharsetLookPiece);
    // No pattern holds a line end, so each line may be searched on its own.
    std::string line;
    Charset declared = Charset::Undeclared;
    for (int lines = 0; lines < kCharsetLookLines && reader.readLine(line);) {
        if (line.empty())
            continue;
        ++lines;
        const Charset ofLine = charsetOfLine(line);
        if (ofLine == Charset::Utf8)
            return ofLine;
        if (ofLine == Charset::Other)
            declared = ofLine;
    }
    return declared;
}

// The end of the run of ASCII bytes that starts at `at`. Text is mostly ASCII: it is passed
// eight bytes at a time.
std::size_t endOfAscii(std::string_view text, std::size_t at)
{
    namespace blocks = byte_blocks;
    for (; text.size() - at >= blocks::kBytes; at += blocks::kBytes)
        if (!blocks::isAscii(blocks::load(text.data() + at)))
            break;
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80)
        ++at;
    return at;
}

constexpr std::size_t kLongestSequence = 4;

// How far the bytes of a block are well-formed UTF-8: the position up to which they were checked
// (before a sequence that the end of a block that is not the last cuts off), or nothing when a
// byte is not UTF-8.
std::optional<std::size_t> checkedUpTo(std::string_view text, bool last, bool& beyondAscii)
{
    std::size_t at = endOfAscii(text, 0);
    while (at < text.size() && (last || text.size() - at >= kLongestSequence)) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0)
            return std::nullopt;
        beyondAscii = true;
        at = endOfAscii(text, at + length);
    }
    return at;
}

// Whether the whole file is well-formed UTF-8 with some bytes beyond ASCII, its top `head`
// already read (a page of up to 64 KiB, most pages, is not read again). The rest is read in
// blocks, no further than the first byte that is not UTF-8: Windows-1252 text fails at its first
// accent, so that only an ASCII or a UTF-8 page is read to its end.
bool holdsUtf8Text(const std::string& path, const Head& head, int& error)
{
    const std::string_view top(reinterpret_cast<const char*>(head.read.get()), head.size);
    const bool whole = static_cast<long long>(top.size()) >= head.length;
    bool beyondAscii = false;
    std::optional<std::size_t> checked = checkedUpTo(top, whole, beyondAscii);
    if (!checked || whole)
        return checked && beyondAscii;

    const File file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), static_cast<long>(top.size()), SEEK_SET) != 0) {
        error = errno != 0 ? errno : EIO;
        return false;
    }
    std::vector<char> buffer(kCharsetLookBytes + kLongestSequence);
    std::size_t carried = top.size() - *checked; // a sequence that the last block cut off
    std::copy(top.begin() + static_cast<std::ptrdiff_t>(*checked), top.end(), buffer.begin());
    for (;;) {
        const std::size_t count = std::fread(buffer.data() + carried, 1, kCharsetLookBytes, file.get());
        const bool last = count < kCharsetLookBytes;
        if (last && std::ferror(file.get()) != 0) {
            error = errno != 0 ? errno : EIO;
            return false;
        }
        const std::string_view text(buffer.data(), carried + count);
        checked = checkedUpTo(text, last, beyondAscii);
        if (!checked || last)
            return checked && beyondAscii;
        carried = text.size() - *checked;
        std::memmove(buffer.data(), buffer.data() + *checked, carried);
    }
}

// Why a path that is no regular file cannot be read, as the system's error number.
int notARegularFileError(const std::string& path)
{
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0)
        return errno;
    return S_ISDIR(status.st_mode) ? EISDIR : ENOENT;
}

// detectEncoding, with the system's error number behind a negative result of a failure.
std::int16_t detectEncodingOf(const std::string& path, bool checkCharset, int& error)
{
    if (path.empty()) {
        error = ENOENT;
        return code(TextKind::EmptyPath);
    }
    // A FIFO or a device would block or never end: only regular files are read.
    if (!fileExists(path)) {
        error = notARegularFileError(path);
        return code(TextKind::NotFound);
    }
    // The top of a page is read once: its first bytes tell its kind, the rest its charset. A
    // failure to read that far leaves what the first bytes tell as it is.
    const bool looksForCharset = checkCharset && hasTextExtension(path);
    Head head = readHead(path, looksForCharset ? kCharsetLookBytes : 5);
    const bool topRead = looksForCharset && head.error == 0;
    if (head.error != 0 && looksForCharset)
        head = readHead(path, 5);
    error = head.error;
    if (head.error != 0)
        return code(readFailure(head.error, TextKind::OtherReadError));
    if (head.length == 0)
        return code(TextKind::Empty);
    if (head.length < 5)
        return code(TextKind::TooShort);

    const std::span<const unsigned char> b = head.bytes();
    if (std::string_view(reinterpret_cast<const char*>(b.data()), 5) == "{\\rtf")
        return code(Encoding::Rtf);
    if (b[0] == 0xFF && b[1] == 0xFE)
        return code(Encoding::Utf16LittleEndian);
    if (b[0] == 0xFE && b[1] == 0xFF)
        return code(Encoding::Utf16BigEndian);
    if (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return code(Encoding::Utf8);
    if (b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF)
        return code(Encoding::Utf32BigEndian);
    if (fileExtension(path, true) == "xml") {
        if (b[0] == '<')
            return code(b[1] != 0 ? Encoding::Utf8 : Encoding::Utf16LittleEndian);
        if (b[0] == 0 && b[1] == '<')
            return code(Encoding::Utf16BigEndian);
    }
    if (looksForCharset) {
        // A page that declares no charset is UTF-8 when all its bytes are UTF-8 and some are
        // not ASCII (Windows-1252 text with accents is, in practice, never well-formed UTF-8).
        const Head top = topRead ? std::move(head) : readHead(path, kCharsetLookBytes);
        error = top.error;
        if (error == 0) {
            const Charset declared = declaredCharset(top);
            if (declared == Charset::Utf8 ||
                (declared == Charset::Undeclared && holdsUtf8Text(path, top, error)))
                return code(Encoding::Utf8);
        }
        if (error != 0)
            return code(readFailure(error, TextKind::OtherReadError));
    }
    return code(Encoding::Plain);
}

} // namespace

bool hasTextExtension(std::string_view path)
{
    const std::string extension = fileExtension(path, true);
    for (const std::string_view known : kTextExtensions)
        if (extension == known)
            return true;
    return false;
}

std::int16_t detectEncoding(const std::string& path, bool checkCharset)
{
    int error = 0;
    return detectEncodingOf(path, checkCharset, error);
}

bool isUtf8Page(const std::string& path)
{
    return detectEncoding(path, true) == static_cast<std::int16_t>(Encoding::Utf8);
}

TextCheck isTextFile(const std::string& path, std::int32_t maxBytes, double maxPercent,
                     bool checkCharset)
{
    TextCheck check;
    const std::int16_t encoding = detectEncodingOf(path, checkCharset, check.errorNumber);
    if (encoding < 0 || encoding == code(Encoding::Rtf)) {
        check.kind = static_cast<TextKind>(encoding);
        return check;
    }
    if (encoding == code(Encoding::Utf8)) {
        check.utf8 = true;
        check.kind = TextKind::Text;
        return check;
    }
    if (encoding != code(Encoding::Plain)) {
        check.kind = TextKind::Utf16Or32;
        return check;
    }

    const Head head = readHead(path, static_cast<std::size_t>(std::max(maxBytes, 0)));
    check.errorNumber = head.error;
    if (head.error != 0) {
        check.kind = readFailure(head.error, TextKind::ReadError);
        return check;
    }
    if (head.length == 0) {
        check.kind = TextKind::Empty;
        return check;
    }
    // The early verdict starts after a fifth of the maximum, whatever the length of the file.
    const double earlyFrom = maxBytes / 5.0;
    long long controls = 0;
    std::size_t examined = head.size;
    bool carriageReturn = false;
    bool lineFeed = false;
    for (std::size_t i = 1; i <= head.size; ++i) {
        const unsigned char b = head.bytes()[i - 1];
        if (b == '\n') {
            lineFeed = true;
        } else if (b == '\r') {
            carriageReturn = true;
        } else if (b < 32 && b != 12 && b != 9 && b != 8) {
            ++controls;
            if (check.offendingByte == 32) {
                check.offendingByte = b;
                check.position = static_cast<std::int32_t>(i);
            }
        }
        if (static_cast<double>(i) > earlyFrom) {
            examined = i;
            check.percent = static_cast<double>(controls) * 100 / static_cast<double>(i);
            if (check.percent > 10 * maxPercent) {
                check.kind = TextKind::NotText;
                return check;
            }
        }
    }
    check.percent =
        controls > 0 ? static_cast<double>(controls) * 100 / static_cast<double>(examined) : 0;
    if (check.percent > maxPercent)
        check.kind = TextKind::NotText;
    else if (carriageReturn == lineFeed)
        check.kind = TextKind::Text;
    else
        check.kind = lineFeed ? TextKind::UnixText : TextKind::MacintoshText;
    return check;
}

std::optional<UserMessage> validateInputFile(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t separator = path.rfind('/');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return UserMessage{"Invalid input", "Invalid input file specification",
                           MessageIcon::Warning};
    if (lowerCaseAccented(std::string_view(path).substr(dot + 1)).find("htm") == std::string::npos)
        return UserMessage{"Invalid input",
                           "Input file name must have an extension containing 'htm'.",
                           MessageIcon::None};
    if (!fileExists(path))
        return UserMessage{"File not found", "Input file does not exist.", MessageIcon::Warning};
    return std::nullopt;
}

UserMessage showLineEndingWarning(TextKind kind, std::string_view path, bool ask)
{
    if (kind == TextKind::Empty)
        return {"Warning", "This is a zero-length file.", MessageIcon::Warning};
    std::string text = "This file has ";
    text += kind == TextKind::UnixText        ? "Unix/Linux line endings."
            : kind == TextKind::MacintoshText ? "Macintosh line endings."
                                              : "line endings of an unknown type.";
    text += "\r\n\r\n";
    text += path;
    return {"Warning", text, ask ? MessageIcon::None : MessageIcon::Warning};
}

} // namespace tagwright
