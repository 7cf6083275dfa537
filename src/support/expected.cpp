#include "support/expected.h"

#include <cstring>

namespace tagwright {

Failure Failure::ofErrno()
{
    return ofError(errno);
}

Failure Failure::ofError(int error)
{
    return {error, std::strerror(error)};
}

Failure Failure::withReason(std::string_view what)
{
    const int error = errno;
    return {error, std::string(what) + " (" + std::strerror(error) + ")."};
}

} // namespace tagwright
