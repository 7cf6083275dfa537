#include "batch/page_register.h"

#include <cstdlib>
#include <memory>
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

PageRegister::PageRegister(const std::string& walkedFolder)
    : root_(canonicalPath(walkedFolder).value_or(std::string()))
{
}

PageAdmission PageRegister::admit(const std::string& path)
{
    const std::optional<std::string> canonical = canonicalPath(path);
    if (!canonical)
        return PageAdmission::Admitted;
    if (!root_.empty() && !liesWithin(*canonical, root_))
        return PageAdmission::OutsideFolder;
    if (!met_.insert(*canonical).second)
        return PageAdmission::AlreadyTreated;
    return PageAdmission::Admitted;
}

} // namespace tagwright
