#include "engine/input_checks.h"

#include "support/files.h"
#include "support/line_reader.h"
#include "support/strings.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace tagwright {

namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

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
    std::vector<unsigned char> bytes;
    long long length = 0;
    int error = 0;
};

Head readHead(const std::string& path, std::size_t limit)
{
    Head head;
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        head.error = errno;
        return head;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0 || (head.length = std::ftell(file.get())) < 0 ||
        std::fseek(file.get(), 0, SEEK_SET) != 0) {
        head.error = errno != 0 ? errno : EIO;
        return head;
    }
    head.bytes.resize(std::min<std::size_t>(limit, static_cast<std::size_t>(head.length)));
    if (std::fread(head.bytes.data(), 1, head.bytes.size(), file.get()) != head.bytes.size())
        head.error = errno != 0 ? errno : EIO;
    return head;
}

// A charset declaration stands at the top of a page: the look reads the first ten non-empty lines
// and never more than the first 64 KiB, so that a page without line ends (a Unix-type page is
// one line) is not read whole before its analysis starts.
constexpr std::size_t kCharsetLookBytes = 64 * 1024;
constexpr int kCharsetLookLines = 10;

// The charset declared at the top of the page. UTF-8 is recognised in any letter case and with or
// without quotes: today's pages write it in lower case far more often than not.
bool declaresUtf8(const std::string& path, int& error)
{
    const Head head = readHead(path, kCharsetLookBytes);
    error = head.error;
    if (error != 0)
        return false;
    std::size_t offset = 0;
    LineReader reader(
        [&head, &offset](char* buffer, std::size_t size) -> long {
            const std::size_t count = std::min(size, head.bytes.size() - offset);
            std::copy_n(head.bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer);
            offset += count;
            return static_cast<long>(count);
        },
        LineEnds::CarriageReturn, kCharsetLookBytes);
    // Neither pattern holds a line end, so each line may be searched on its own.
    std::string line;
    for (int lines = 0; lines < kCharsetLookLines && reader.readLine(line);) {
        if (line.empty())
            continue;
        ++lines;
        const std::string lower = lowerCaseAccented(line);
        if (lower.find("charset=utf-8") != std::string::npos ||
            lower.find("charset=\"utf-8\"") != std::string::npos)
            return true;
    }
    return false;
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
    if (path.empty())
        return code(TextKind::EmptyPath);
    // A FIFO or a device would block or never end: only regular files are read.
    if (!fileExists(path))
        return code(TextKind::NotFound);
    const Head head = readHead(path, 5);
    if (head.error != 0)
        return code(readFailure(head.error, TextKind::OtherReadError));
    if (head.length == 0)
        return code(TextKind::Empty);
    if (head.length < 5)
        return code(TextKind::TooShort);

    const std::vector<unsigned char>& b = head.bytes;
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
    if (checkCharset && hasTextExtension(path)) {
        int error = 0;
        if (declaresUtf8(path, error))
            return code(Encoding::Utf8);
        if (error != 0)
            return code(readFailure(error, TextKind::OtherReadError));
    }
    return code(Encoding::Plain);
}

TextCheck isTextFile(const std::string& path, std::int32_t maxBytes, double maxPercent,
                     bool checkCharset)
{
    TextCheck check;
    const std::int16_t encoding = detectEncoding(path, checkCharset);
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
    std::size_t examined = head.bytes.size();
    bool carriageReturn = false;
    bool lineFeed = false;
    for (std::size_t i = 1; i <= head.bytes.size(); ++i) {
        const unsigned char b = head.bytes[i - 1];
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
