#include "support/version.h"

namespace tagwright {

std::string projectVersion()
{
    return TAGWRIGHT_VERSION;
}

std::string versionText()
{
    return std::to_string(TAGWRIGHT_VERSION_MAJOR) + "." + std::to_string(TAGWRIGHT_VERSION_MINOR)
        + "2";
}

} // namespace tagwright
