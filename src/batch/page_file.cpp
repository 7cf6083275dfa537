#include "batch/page_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tagwright {

PageFile locateFile(FolderAccess& access, const std::string& path)
{
    std::string target = path;
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
        target = std::filesystem::canonical(path, error).string();
        if (error) // a link that leads nowhere: there is no file to reach
            return {std::make_shared<const Folder>(path, ENOENT), {}};
    }
    const auto slash = target.rfind('/');
    if (slash == std::string::npos)
        return {std::make_shared<const Folder>(access.openFolder({})), target};
    return {std::make_shared<const Folder>(access.openFolder(target.substr(0, slash == 0 ? 1 : slash))),
            target.substr(slash + 1)};
}

} // namespace tagwright
