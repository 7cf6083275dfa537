#include "batch/page_register.h"

#include <sys/stat.h>

#include <cstdlib>
#include <optional>

namespace tagwright {

namespace {

std::optional<std::string> canonicalPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved)
        return std::nullopt;
    return std::string(resolved.get());
}

bool liesWithin(const std::string& path, const std::string& root)
{
    return root == "/" ||
           (path.size() > root.size() && path.starts_with(root) && path[root.size()] == '/');
}

} // namespace

PageRegister::PageRegister(std::shared_ptr<const Folder> walked, FolderAccess& access)
    : walked_(std::move(walked)),
      root_(canonicalPath(walked_->readPathOf(".")).value_or(std::string())), access_(access)
{
}

Admission PageRegister::record(PageFile file)
{
    const bool first =
        met_.emplace(file.folder->device(), file.folder->inode(), file.name).second;
    return {first ? PageAdmission::Admitted : PageAdmission::AlreadyTreated, std::move(file)};
}

Admission PageRegister::admit(const PageFile& named)
{
    struct stat own
    {
    };
    if (!access_.nameStatus(*named.folder, named.name, own) || !S_ISLNK(own.st_mode))
        return record(named);
    const std::optional<std::string> target = canonicalPath(named.readPath());
    if (!target || root_.empty())
        return {PageAdmission::Admitted, named};
    if (!liesWithin(*target, root_))
        return {PageAdmission::OutsideFolder, named};
    // The target's folder, opened from the walked folder one folder at a time.
    std::shared_ptr<const Folder> folder = walked_;
    std::size_t start = root_ == "/" ? 1 : root_.size() + 1;
    for (std::size_t slash; (slash = target->find('/', start)) != std::string::npos;
         start = slash + 1) {
        folder = std::make_shared<const Folder>(
            access_.openSubfolder(*folder, target->substr(start, slash - start)));
        if (!folder->isOpen())
            return {PageAdmission::Admitted, {folder, target->substr(slash + 1)}};
    }
    if (folder->isSameFolder(*named.folder))
        folder = named.folder;
    return record({folder, target->substr(start)});
}

} // namespace tagwright
