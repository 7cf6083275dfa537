#pragma once

// The one way Tagwright reads text files line by line. A line ends at CR or at CR LF; a lone LF
// stays in the line (so a file with LF-only line ends arrives as one line); bytes are kept as
// they are. Memory stays constant in the size of the file, apart from the longest line.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace tagwright {

class LineReader
{
  public:
    // Reads up to size bytes into buffer: the count, 0 at the end, or -1 on failure (errno set).
    using ByteSource = std::function<long(char* buffer, std::size_t size)>;

    explicit LineReader(const std::string& path, std::size_t bufferSize = kDefaultBufferSize);
    // Lines of bytes that come from elsewhere than a named file (an open page behind a seam).
    explicit LineReader(ByteSource source, std::size_t bufferSize = kDefaultBufferSize);

    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    LineReader(LineReader&&) noexcept = default;
    LineReader& operator=(LineReader&&) noexcept = default;
    ~LineReader() = default;

    // Whether the file could be opened; when not, errorNumber() tells why.
    bool isOpen() const { return static_cast<bool>(source_); }

    // The next line without its line end; false at the end of the file or on a failure.
    bool readLine(std::string& line);

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

    std::unique_ptr<std::FILE, FileCloser> file_;
    ByteSource source_;
    std::unique_ptr<char[]> buffer_;
    std::size_t bufferSize_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool skipLineFeed_ = false; // the previous line ended at a CR: an LF right after belongs to it
    bool atEnd_ = false;
    int errorNumber_ = 0;
};

} // namespace tagwright
