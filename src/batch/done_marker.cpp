#include "batch/done_marker.h"

#include "batch/head_rewrite.h"
#include "batch/page_io.h"
#include "batch/safe_replace.h"

#include <cerrno>
#include <cstring>

namespace tagwright {

std::string doneMetaTagLine(std::string_view date)
{
    return "<meta name=\"QOVA done\" content=\"" + std::string(date) + "\">";
}

InsertOutcome insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate,
                                    FileSystem& fs)
{
    if (!isRegularFile(path))
        return {kInsertFileNotFound, {}, {}};
    if (backupFileName(path).empty())
        return {kInsertNoExtension, {}, {}};
    const std::string target = resolvedFilePath(path);
    OpenFile page(fs, fs.openForReading(target));
    if (!page.isOpen())
        return {kInsertFailed, {}, std::strerror(errno)};
    LineReader reader = pageLineReader(fs, page.fd());
    HeadEdit edit;
    edit.writeBlock = [&](PageWriter& writer) { writer.writeLine(doneMetaTagLine(doneDate)); };
    ReplaceOptions options;
    options.asRead = fileStamp(page.fd());
    return rewriteOutcome(replaceFile(fs, target, {}, headRewriteOf(reader, edit), options),
                          reader.errorNumber());
}

InsertOutcome insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate)
{
    FileSystem fs;
    return insertDoneMetaTagOnly(path, doneDate, fs);
}

} // namespace tagwright
