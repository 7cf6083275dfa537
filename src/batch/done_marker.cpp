#include "batch/done_marker.h"

#include "batch/head_rewrite.h"
#include "batch/page_io.h"
#include "batch/safe_replace.h"
#include "batch/text_fingerprint.h"
#include "batch/text_hash.h"

#include <cerrno>
#include <cstring>

namespace tagwright {

namespace {
constexpr std::string_view kFingerprintAttribute = " data-fingerprint=\"";
}

std::string doneMetaTagLine(std::string_view date, std::string_view fingerprint)
{
    std::string line = "<meta name=\"QOVA done\" content=\"" + std::string(date) + "\"";
    if (!fingerprint.empty())
        line.append(kFingerprintAttribute).append(fingerprint).append("\"");
    return line + ">";
}

std::string markerFingerprint(std::string_view lowerMarker)
{
    const auto start = lowerMarker.find(kFingerprintAttribute);
    if (start == std::string_view::npos)
        return {};
    const std::string_view value = lowerMarker.substr(start + kFingerprintAttribute.size());
    const auto end = value.find('"');
    return end == std::string_view::npos ? std::string() : std::string(value.substr(0, end));
}

ContentProducer markedHeadRewriteOf(LineReader& reader, const HeadEdit& edit,
                                    std::string_view doneDate)
{
    return [&reader, &edit, date = std::string(doneDate)](PageWriter& writer) -> Expected<int> {
        // The marker goes out with a fingerprint of the right length, filled in at the end.
        const std::string marker = doneMetaTagLine(date, std::string(16, '0'));
        const std::size_t digits = marker.find(kFingerprintAttribute) + kFingerprintAttribute.size();
        LineTextHash text;
        std::uint64_t digitsAt = 0;
        HeadEdit marked = edit;
        marked.replaceKeywordsTags = true;
        marked.writeBlock = [&](PageWriter& blockWriter) {
            // The block is no text of the page: writing a tag or a marker leaves the fingerprint.
            blockWriter.hashTextInto(nullptr);
            if (edit.writeBlock)
                edit.writeBlock(blockWriter);
            digitsAt = blockWriter.position() + digits;
            blockWriter.writeLine(marker);
            blockWriter.hashTextInto(&text);
        };
        writer.hashTextInto(&text);
        const Expected<int> result = headRewriteOf(reader, marked)(writer);
        writer.hashTextInto(nullptr);
        if (result && *result == kHeadRewritten)
            writer.overwrite(digitsAt, text.digits());
        return result;
    };
}

InsertOutcome insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate,
                                    FileSystem& fs)
{
    return insertDoneMetaTagOnly(PageFile{}, path, doneDate, fs);
}

InsertOutcome insertDoneMetaTagOnly(const PageFile& file, const std::string& path,
                                    std::string_view doneDate, FileSystem& fs)
{
    const PageFile target = fileToRewrite(fs, file, path);
    PageToRewrite opened = openPageToRewrite(fs, target);
    if (opened.refused)
        return std::move(*opened.refused);
    OpenFile page(fs, opened.fd);
    if (backupFileName(path).empty())
        return {kInsertNoExtension, {}, {}};
    // Taken before the page is first read: a page that changes between the two readings is not
    // replaced, so that no marker carries the fingerprint of a text the page no longer holds.
    ReplaceOptions options;
    options.asRead = fileStamp(fs, page.fd());
    if (!options.asRead)
        return {kInsertFailed, {}, Failure::ofErrno()};
    // The keywords tags stay, which the fingerprint leaves out: it is taken by a reading of its own.
    int readError = 0;
    const std::optional<std::string> fingerprint = textFingerprint(fs, page.fd(), readError);
    if (readError != 0)
        return {kInsertFailed, {}, Failure::ofError(readError)};
    const std::string marker = doneMetaTagLine(doneDate, fingerprint.value_or(""));
    LineReader reader = pageLineReader(fs, page.fd());
    HeadEdit edit;
    edit.writeBlock = [&](PageWriter& writer) { writer.writeLine(marker); };
    return rewriteOutcome(replaceFile(fs, target, {}, headRewriteOf(reader, edit), options));
}

InsertOutcome insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate)
{
    FileSystem fs;
    return insertDoneMetaTagOnly(path, doneDate, fs);
}

} // namespace tagwright
