#include "batch/text_fingerprint.h"

#include "batch/head_rewrite.h"
#include "batch/page_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace tagwright {

namespace {

// Takes what the rewrite writes, one line of text at a time (CR and LF both end a line), and
// hashes each line that is not blank, without the blanks at its ends, followed by LF (64-bit
// FNV-1a: a change of any byte changes it; nothing here needs to withstand a forger).
class FingerprintSink : public FileSystem
{
  public:
    bool writeAll(int, std::string_view data) override
    {
        for (const char byte : data)
            take(byte);
        return true;
    }

    std::string fingerprint()
    {
        endLine();
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string text(16, '0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = kDigits[(hash_ >> (60 - 4 * i)) & 0xF];
        return text;
    }

  private:
    void take(char byte)
    {
        if (byte == '\r' || byte == '\n') {
            endLine();
        } else if (byte == ' ' || byte == '\t') {
            if (lineHasText_)
                blanks_.push_back(byte);
        } else {
            for (const char blank : blanks_)
                mix(blank);
            blanks_.clear();
            mix(byte);
            lineHasText_ = true;
        }
    }
    void endLine()
    {
        if (lineHasText_)
            mix('\n');
        lineHasText_ = false;
        blanks_.clear();
    }
    void mix(char byte)
    {
        hash_ = (hash_ ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    }

    std::uint64_t hash_ = 14695981039346656037ULL;
    bool lineHasText_ = false;
    std::string blanks_; // blanks inside a line, written once text follows them
};

} // namespace

std::optional<std::string> textFingerprint(FileSystem& fs, int fd, int& readError)
{
    readError = 0;
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        readError = errno;
        return std::nullopt;
    }
    LineReader reader = pageLineReader(fs, fd);
    FingerprintSink sink;
    PageWriter writer(sink, fd);
    HeadEdit edit;
    edit.replaceKeywordsTags = true;
    edit.writeBlock = [](PageWriter&) {};
    const bool rewritten = rewriteHead(reader, writer, edit) == kHeadRewritten && writer.finish();
    readError = reader.errorNumber();
    if (readError == 0 && ::lseek(fd, 0, SEEK_SET) != 0)
        readError = errno;
    if (readError != 0 || !rewritten)
        return std::nullopt;
    return sink.fingerprint();
}

std::optional<std::string> textFingerprint(FileSystem& fs, const std::string& path)
{
    OpenFile page(fs, ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!page.isOpen())
        return std::nullopt;
    int readError = 0;
    return textFingerprint(fs, page.fd(), readError);
}

} // namespace tagwright
