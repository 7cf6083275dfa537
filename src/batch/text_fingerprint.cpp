#include "batch/text_fingerprint.h"

#include "batch/head_rewrite.h"
#include "batch/page_io.h"
#include "batch/text_hash.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace tagwright {

namespace {

// Takes what the rewrite writes and hashes its text.
class FingerprintSink : public FileSystem
{
  public:
    bool writeAll(int, std::string_view data) override
    {
        hash_.take(data);
        return true;
    }

    std::string fingerprint() const { return hash_.digits(); }

  private:
    LineTextHash hash_;
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
