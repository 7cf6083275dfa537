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
    LineReader reader = pageLineReader(fs, page.fd());
    HeadEdit edit;
    edit.writeBlock = [&](PageWriter& writer) { writer.writeLine(doneMetaTagLine(doneDate)); };
    ReplaceOptions options;
    options.asRead = fileStamp(fs, page.fd());
    if (!options.asRead)
        return {kInsertFailed, {}, std::strerror(errno)};
    return rewriteOutcome(replaceFile(fs, target, {}, headRewriteOf(reader, edit), options),
                          reader.errorNumber());
}

InsertOutcome insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate)
{
    FileSystem fs;
    return insertDoneMetaTagOnly(path, doneDate, fs);
}

} // namespace tagwright
