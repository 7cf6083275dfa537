#pragma once

// The one way Tagwright reads text files line by line. The program's own files end their lines
// at CR or at CR LF; a lone LF stays in the line. A page is read the same way unless it is an
// LF page, as pages written on Linux are: its first 16,384 bytes hold an LF and no CR. Then a
// line ends at LF and a CR is an ordinary character. Bytes are kept as they are. Memory stays
// constant in the size of the file, apart from the longest line.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tagwright {

enum class LineEnds {
    CarriageReturn, // a line ends at CR or CR LF
    OfPage,         // at LF in an LF page, else at CR or CR LF
};

// How many of a page's first bytes decide whether it is an LF page.
inline constexpr std::size_t kLineEndSampleBytes = 16384;

// Whether these first bytes of a page make it an LF page: an LF and no CR among them.
bool isLineFeedSample(std::string_view sample);

class LineReader
{
  public:
    // Reads up to size bytes into buffer: the count, 0 at the end, or -1 on failure (errno set).
    using ByteSource = std::function<long(char* buffer, std::size_t size)>;
    // Receives bytes copied as they stand.
    using ByteSink = std::function<void(std::string_view bytes)>;

    explicit LineReader(const std::string& path, LineEnds ends = LineEnds::CarriageReturn,
                        std::size_t bufferSize = kDefaultBufferSize);
    // Lines of bytes that come from elsewhere than a named file (an open page behind a seam).
    explicit LineReader(ByteSource source, LineEnds ends = LineEnds::CarriageReturn,
                        std::size_t bufferSize = kDefaultBufferSize);

    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    LineReader(LineReader&&) noexcept = default;
    LineReader& operator=(LineReader&&) noexcept = default;
    ~LineReader() = default;

    // Whether the file could be opened; when not, errorNumber() tells why.
    bool isOpen() const { return static_cast<bool>(source_); }

    // Whether lines end at LF (an LF page read with LineEnds::OfPage).
    bool lineFeedEnds() const { return lineFeed_; }

    // The next line without its line end; false at the end of the file or on a failure.
    bool readLine(std::string& line);

    // Hands over everything after the last line read, its line end included, exactly as it
    // stands in the file; false on a read failure.
    bool copyRest(const ByteSink& sink);

    // Asked before each further read of the file; once it answers false the reading ends there,
    // as at the end of the file, and the part of the line read so far comes as the last line.
    // A page without line ends is one line as long as the file: it can be given up while read.
    void setKeepReading(std::function<bool()> keepReading)
    {
        keepReading_ = std::move(keepReading);
    }

    // The platform's error number of the first failure (opening or reading); 0 when none.
    int errorNumber() const { return errorNumber_; }
    // The platform's description of that failure; empty when none.
    std::string errorText() const;

    static constexpr std::size_t kDefaultBufferSize = 256 * 1024;

  private:
    struct FileCloser
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool refill();
    // Makes room for `more` bytes of a long line at once, up to the file's size.
    void makeRoomInLongLine(std::string& line, std::size_t more) const;
    // Reads the sample of a page and decides how its lines end.
    void decideLineEnds();

    std::unique_ptr<std::FILE, FileCloser> file_;
    ByteSource source_;
    std::function<bool()> keepReading_;
    std::unique_ptr<char[]> buffer_;
    std::size_t bufferSize_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool lineFeed_ = false;
    bool skipLineFeed_ = false; // the previous line ended at a CR: an LF right after belongs to it
    char lastLineEnd_ = 0;      // the byte that ended the last line, 0 for none
    bool atEnd_ = false;
    std::size_t fileSize_ = 0; // of a regular file read by path; 0 otherwise
    int errorNumber_ = 0;
};

} // namespace tagwright
