#include "support/descriptor_budget.h"

#include <sys/resource.h>

#include <algorithm>

namespace tagwright {

std::size_t descriptorsForWorkAhead()
{
    constexpr std::size_t kWithoutLimit = 4096;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kWithoutLimit;
    return std::min<std::size_t>(kWithoutLimit, static_cast<std::size_t>(limit.rlim_cur / 4));
}

} // namespace tagwright
