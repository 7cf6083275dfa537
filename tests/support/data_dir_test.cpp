#include "support/data_dir.h"

#include "support/files.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tagwright {
namespace {

TEST(DataDir, EnvironmentOverridesTheBuiltInFolders)
{
    setenv("TAGWRIGHT_DATA_DIR", "/some/where", 1);
    EXPECT_EQ(programDataFolder(), "/some/where");
    unsetenv("TAGWRIGHT_DATA_DIR");
    const std::string installed = TAGWRIGHT_INSTALL_DATA_DIR;
    EXPECT_EQ(programDataFolder(),
              fileExists(installed + "/qova.dat") ? installed : TAGWRIGHT_SOURCE_DATA_DIR);
}

} // namespace
} // namespace tagwright
