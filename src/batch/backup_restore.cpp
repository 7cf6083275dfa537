#include "batch/backup_restore.h"

#include "batch/head_rewrite.h"
#include "batch/page_io.h"
#include "batch/safe_replace.h"
#include "output/head_lines.h"
#include "output/meta_tag_positions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

namespace tagwright {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

std::string cannotRead(const std::string& role, int error)
{
    return role + " cannot be read (" + std::strerror(error) + ")";
}

// One file of a pair, open under its own name, with its stamp as it was judged.
struct PairFile
{
    std::optional<OpenFile> file;
    FileStamp stamp;

    int fd() const { return file->fd(); }
};

// Opens a file of the pair: a regular file under its own name, not a link. Empty when it is
// open, else why it cannot be one of this program's pairs.
std::string openPairFile(FileSystem& fs, const PageFile& file, const std::string& role,
                         const std::string& linkReason, PairFile& opened)
{
    struct stat named
    {
    };
    if (!fs.nameStatus(*file.folder, file.name, named))
        return errno == ENOENT ? role + " is missing" : cannotRead(role, errno);
    if (S_ISLNK(named.st_mode))
        return linkReason;
    if (!S_ISREG(named.st_mode))
        return role + " is not a regular file";
    opened.file.emplace(fs, fs.openForReading(*file.folder, file.name));
    struct stat status
    {
    };
    if (!opened.file->isOpen() || !fs.openStatus(opened.fd(), status))
        return cannotRead(role, errno);
    if (status.st_dev != named.st_dev || status.st_ino != named.st_ino)
        return role + " changed while it was judged";
    opened.stamp = fileStamp(status);
    return {};
}

// The lines that a run writes into a head, as the page carries them: from its first keywords
// tag to the end of that line and, when it has one, from its first done marker to the end of
// that line. None when the page has no keywords tag.
struct WrittenLines
{
    std::string tag;
    std::optional<std::string> marker;
};

std::optional<WrittenLines> writtenLinesOf(FileSystem& fs, int fd, int& readError)
{
    LineReader reader = pageLineReader(fs, fd);
    HeadLineScanner scanner(linesOf(reader));
    std::optional<std::string> tag;
    std::optional<std::string> marker;
    std::string line;
    std::string live;
    while (!(tag && marker) && scanner.next(line, live) == LineRead::Line) {
        if (const TagSpan found = findKeywordsMetaTag(live); !tag && found.start > 0)
            tag = line.substr(found.start - 1);
        if (const TagSpan found = findDoneMetaTag(live); !marker && found.start > 0)
            marker = line.substr(found.start - 1);
    }
    readError = reader.errorNumber();
    if (!tag)
        return std::nullopt;
    return WrittenLines{*tag, marker};
}

// Takes the bytes that a rewrite writes and compares them with those of an open file, from
// where it stands: writing fails at the first difference.
class ComparingSink : public FileSystem
{
  public:
    ComparingSink(FileSystem& fs, int fd) : fs_(fs), fd_(fd), buffer_(kChunkSize) {}

    bool writeAll(int, std::string_view data) override
    {
        while (!data.empty() && !differs_) {
            const ssize_t got =
                fs_.read(fd_, buffer_.data(), std::min(data.size(), buffer_.size()));
            const auto size = static_cast<std::size_t>(std::max<ssize_t>(got, 0));
            if (got < 0)
                readError_ = errno;
            differs_ = got <= 0 || data.substr(0, size) != std::string_view(buffer_.data(), size);
            data.remove_prefix(std::min(size, data.size()));
        }
        return !differs_;
    }

    // Whether all that was written matched and the file holds nothing more.
    bool matchedWhole()
    {
        if (differs_)
            return false;
        char more = 0;
        const ssize_t got = fs_.read(fd_, &more, 1);
        if (got < 0)
            readError_ = errno;
        return got == 0;
    }

    // The errno of a failed read of the file; 0 when none failed.
    int readError() const { return readError_; }

  private:
    FileSystem& fs_;
    int fd_;
    std::vector<char> buffer_;
    bool differs_ = false;
    int readError_ = 0;
};

// Whether the page is what a run with backups makes of the backup: empty when it is, else why
// not.
std::string judgePair(FileSystem& fs, const PairFile& page, const PairFile& backup)
{
    int readError = 0;
    const std::optional<WrittenLines> written = writtenLinesOf(fs, page.fd(), readError);
    if (readError != 0)
        return cannotRead("the page", readError);
    if (!written)
        return "the page carries no keywords tag";
    if (::lseek(page.fd(), 0, SEEK_SET) != 0)
        return cannotRead("the page", errno);

    LineReader reader = pageLineReader(fs, backup.fd());
    ComparingSink sink(fs, page.fd());
    PageWriter writer(sink, page.fd());
    HeadEdit edit;
    edit.replaceKeywordsTags = true;
    edit.writeBlock = [&](PageWriter& block) {
        block.writeLine(written->tag);
        if (written->marker)
            block.writeLine(*written->marker);
    };
    const bool same = rewriteHead(reader, writer, edit) == kHeadRewritten && writer.finish() &&
                      sink.matchedWhole();
    if (reader.errorNumber() != 0)
        return cannotRead("the backup", reader.errorNumber());
    if (sink.readError() != 0)
        return cannotRead("the page", sink.readError());
    return same ? std::string() : "the page is not what this program makes of the backup";
}

// The backup's bytes from its start; 0, or the errno of a failed read.
int copyBackup(FileSystem& fs, int fd, PageWriter& writer)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return errno;
    std::vector<char> buffer(kChunkSize);
    for (;;) {
        const ssize_t got = fs.read(fd, buffer.data(), buffer.size());
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        writer.writeBytes(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
}

// Whether a name, or an open file, is still the file of that stamp, unchanged.
bool sameFile(FileSystem& fs, const PageFile& file, const FileStamp& stamp)
{
    struct stat status
    {
    };
    return fs.nameStatus(*file.folder, file.name, status) && fileStamp(status) == stamp;
}

bool sameFile(FileSystem& fs, int fd, const FileStamp& stamp)
{
    struct stat status
    {
    };
    return fs.openStatus(fd, status) && fileStamp(status) == stamp;
}

} // namespace

RestoreOutcome restoreBackup(const PageFile& page, const PageFile& backup, FileSystem& fs)
{
    const auto leftAlone = [](std::string reason) {
        return RestoreOutcome{RestoreResult::LeftAlone, std::move(reason)};
    };
    const auto failed = [](std::string reason) {
        return RestoreOutcome{RestoreResult::Failed, std::move(reason)};
    };
    PairFile pageFile;
    PairFile backupFile;
    if (const std::string reason = openPairFile(
            fs, page, "the page",
            "the page is a link (a run keeps a linked page's backup beside its target)", pageFile);
        !reason.empty())
        return leftAlone(reason);
    if (const std::string reason =
            openPairFile(fs, backup, "the backup", "the backup is a link", backupFile);
        !reason.empty())
        return leftAlone(reason);
    if (const std::string reason = judgePair(fs, pageFile, backupFile); !reason.empty())
        return leftAlone(reason);

    ReplaceOptions options;
    options.asRead = pageFile.stamp;
    options.flushFolder = false;
    PreparedReplacement replacement = prepareReplacement(
        fs, page, {},
        [&](PageWriter& writer) -> Expected<int> {
            if (const int copyError = copyBackup(fs, backupFile.fd(), writer); copyError != 0)
                return Failure::ofError(copyError);
            return 0;
        },
        options);
    if (const ReplaceResult& prepared = replacement.prepared(); !prepared)
        return failed(prepared.failure().text);
    // What was put in place must be the backup that was judged.
    if (!sameFile(fs, backupFile.fd(), backupFile.stamp))
        return failed("The backup changed while it was being put back.");
    if (const ReplaceResult replaced = replacement.commit(); !replaced)
        return failed(replaced.failure().text);
    if (!sameFile(fs, backup, backupFile.stamp))
        return failed("The page is put back, but its backup changed meanwhile and stays.");
    if (!fs.remove(*backup.folder, backup.name))
        return failed(std::string("The page is put back, but its backup cannot be removed (") +
                      std::strerror(errno) + ").");
    return {};
}

} // namespace tagwright
