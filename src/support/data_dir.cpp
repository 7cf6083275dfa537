#include "support/data_dir.h"

#include "support/files.h"

#include <cstdlib>

namespace tagwright {

std::string programDataFolder()
{
    const char* chosen = std::getenv("TAGWRIGHT_DATA_DIR");
    if (chosen != nullptr && *chosen != '\0')
        return chosen;
    const std::string installed = TAGWRIGHT_INSTALL_DATA_DIR;
    if (fileExists(installed + "/qova.dat"))
        return installed;
    return TAGWRIGHT_SOURCE_DATA_DIR;
}

} // namespace tagwright
