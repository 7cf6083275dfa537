#include "batch/file_system.h"
#include "batch/folder_lock.h"
#include "batch/safe_replace.h"
#include "cli/command.h"
#include "cli/head_tags.h"
#include "cli/progress_line.h"
#include "cli/walk_options.h"
#include "support/files.h"
#include "support/folder_listing.h"
#include "support/quoted_name.h"
#include "support/strings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace tagwright::cli {

namespace {

struct BackupPair
{
    std::string page;
    std::string backup;
};

// The page whose backup a name is: NAME.bak.EXT gives NAME.EXT; nothing for other names.
std::optional<std::string> pageNameOf(const std::string& backupName, const PageScope& scope)
{
    const std::size_t dot = backupName.rfind('.');
    if (dot == std::string::npos || dot < 4 || backupName.compare(dot - 4, 4, ".bak") != 0 ||
        !scope.extensions.contains(fileExtension(backupName, true)))
        return std::nullopt;
    return backupName.substr(0, dot - 4) + backupName.substr(dot);
}

void findPairs(const std::string& folder, const PageScope& scope, std::vector<BackupPair>& pairs)
{
    const FolderListing listing = listFolder(folder);
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    for (const std::string& name : listing.files)
        if (const auto page = pageNameOf(name, scope))
            pairs.push_back({prefix + *page, prefix + name});
    if (scope.recursive)
        for (const std::string& name : listing.subfolders)
            findPairs(prefix + name, scope, pairs);
}

// A file's bytes; when it cannot be read, the system's reason instead.
struct FileBytes
{
    std::optional<std::string> bytes;
    std::string failure;
};

FileBytes fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {std::nullopt, std::strerror(errno)};
    return {std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}, {}};
}

// The text after the first "</head>" with every blank and line end left out: the rewrite
// changes the head only, though it may split the line that "</head>" stands on.
std::optional<std::string> bodyText(const std::string& content)
{
    const std::size_t headEnd = lowerCaseAccented(content).find("</head>");
    if (headEnd == std::string::npos)
        return std::nullopt;
    std::string body;
    for (const char c : std::string_view(content).substr(headEnd + 7))
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            body += c;
    return body;
}

// Why the pair is not one that this program made; empty when it is.
std::string notOurs(const BackupPair& pair, const FileBytes& backup)
{
    if (!fileExists(pair.page))
        return "the page is missing";
    const FileBytes page = fileBytes(pair.page);
    if (!page.bytes)
        return "the page cannot be read (" + page.failure + ")";
    const std::optional<HeadTags> tags = headTagsOf(pair.page);
    if (!tags || (tags->keywordsTags == 0 && tags->doneMarkers == 0))
        return "the page carries no keywords tag or done marker";
    if (!backup.bytes)
        return "the backup cannot be read (" + backup.failure + ")";
    const auto pageBody = bodyText(*page.bytes);
    if (!pageBody || pageBody != bodyText(*backup.bytes))
        return "the page and the backup differ after </head>";
    return {};
}

// The page as it stood when it was judged; a page that changes after that is not replaced.
std::optional<FileStamp> stampOf(const std::string& path)
{
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return fileStamp(status);
}

// Puts the backup's bytes in place of the page, then removes the backup; the failure's
// description, or empty. Like a batch run, it keeps out of a folder that another run writes in.
std::string restorePair(const BackupPair& pair, const std::string& backup,
                        const std::optional<FileStamp>& judged)
{
    const std::string target = resolvedFilePath(pair.page);
    const FolderLock lock(containingFolder(target));
    if (lock.state() == FolderLock::State::TakenByAnother)
        return "Another run is writing in this folder.";
    FileSystem fs;
    ReplaceOptions options;
    options.asRead = judged;
    const ReplaceResult replaced = replaceFile(
        fs, target, {},
        [&](PageWriter& writer) {
            writer.writeBytes(backup);
            return 0;
        },
        options);
    if (replaced.code != 0 || !replaced.errorText.empty()) // not for good: the backup stays
        return replaced.errorText;
    if (!fs.remove(pair.backup))
        return std::strerror(errno);
    return {};
}

class RestoreCommand : public Command
{
  public:
    std::string_view name() const override { return "restore"; }
    std::string_view operands() const override { return "FOLDER"; }
    std::string_view summary() const override
    {
        return "Put back the backups (NAME.bak.EXT) that batch --backup made; one level of "
               "backup is all there is";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        OptionGroup restore = walkingOptionGroup("Restore options");
        restore.options.push_back({"dry-run", "", "list what would be restored; change nothing"});
        return {restore};
    }

    int run(const ParsedOptions& options, const Console& console) const override
    {
        const std::string folder = folderOperand(options);
        BatchSettings settings;
        readWalkingOptions(options, settings);
        const bool dryRun = options.has("dry-run");
        if (!folderExists(folder)) {
            console.printMessage("Folder does not exist");
            return kExitFailure;
        }
        const PageScope scope = pageScopeOf(folder, settings);
        std::vector<BackupPair> pairs;
        findPairs(folder, scope, pairs);

        int status = kExitSuccess;
        std::string listing;
        std::vector<std::string> failures;
        {
            ProgressLine progress(static_cast<std::int64_t>(pairs.size()));
            for (const BackupPair& pair : pairs) {
                progress.pageDone();
                const std::optional<FileStamp> judged = stampOf(pair.page);
                const FileBytes backup = fileBytes(pair.backup);
                if (const std::string reason = notOurs(pair, backup); !reason.empty()) {
                    listing += shellQuotedName(pair.page) + "\tleft alone: " + reason + "\n";
                    status = kExitFailure;
                } else if (dryRun) {
                    listing += shellQuotedName(pair.page) + "\twould be restored\n";
                } else if (const std::string failure = restorePair(pair, *backup.bytes, judged);
                           !failure.empty()) {
                    failures.push_back(shellQuotedName(pair.page) + ": " + failure);
                    status = kExitFailure;
                } else {
                    listing += shellQuotedName(pair.page) + "\trestored\n";
                }
            }
        }
        console.printBytes(listing);
        for (const std::string& failure : failures)
            console.printMessage(failure);
        return status;
    }
};

} // namespace

std::unique_ptr<Command> makeRestoreCommand()
{
    return std::make_unique<RestoreCommand>();
}

} // namespace tagwright::cli
