#include "support/data_dir.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tagwright {
namespace {

// A tree with an installed prefix, a configured prefix and a build tree, each of which may hold
// the program texts.
class DataFolderTree : public testing::Test
{
  protected:
    std::string folder(const std::string& name) const
    {
        std::filesystem::create_directories(tree.path(name));
        return tree.path(name);
    }
    std::string dataIn(const std::string& name) const
    {
        const std::string data = folder(name);
        tree.write(name + "/qova.dat", "texts");
        return data;
    }
    DataFolderPlaces places(const std::string& program) const
    {
        return {tree.path(program), tree.path("configured/share/tagwright"), tree.path("build"),
                tree.path("source/data")};
    }

    test::TempFolder tree;
};

TEST_F(DataFolderTree, AnInstalledProgramFindsTheDataBesideItsBinFolderWhateverThePrefix)
{
    dataIn("configured/share/tagwright");
    EXPECT_EQ(dataFolderFor(places("opt/bin/tagwright-cli")),
              tree.path("configured/share/tagwright"));
    const std::string installed = dataIn("opt/share/tagwright");
    EXPECT_EQ(dataFolderFor(places("opt/bin/tagwright-cli")), installed);
    // Installed into a prefix inside the build tree, it still reads its installed files.
    const std::string staged = dataIn("build/stage/share/tagwright");
    EXPECT_EQ(dataFolderFor(places("build/stage/bin/tagwright-cli")), staged);
}

TEST_F(DataFolderTree, OnlyAProgramInItsBuildTreeReadsTheSourceTree)
{
    dataIn("source/data");
    EXPECT_EQ(dataFolderFor(places("build/src/cli/tagwright-cli")), tree.path("source/data"));
    dataIn("configured/share/tagwright");
    EXPECT_EQ(dataFolderFor(places("build/src/cli/tagwright-cli")), tree.path("source/data"));
    // A copy elsewhere, or in a folder whose name merely starts like the build tree's.
    EXPECT_EQ(dataFolderFor(places("elsewhere/tagwright-cli")),
              tree.path("configured/share/tagwright"));
    EXPECT_EQ(dataFolderFor(places("build-old/bin/tagwright-cli")),
              tree.path("configured/share/tagwright"));
}

TEST_F(DataFolderTree, WithNoDataAnywhereAFailureNamesTheFolderBesideTheProgram)
{
    dataIn("source/data");
    EXPECT_EQ(dataFolderFor(places("opt/bin/tagwright-cli")), tree.path("opt/share/tagwright"));
}

TEST(DataDir, EnvironmentOverridesAndThisTestProgramReadsItsSourceTree)
{
    setenv("TAGWRIGHT_DATA_DIR", "/some/where", 1);
    EXPECT_EQ(programDataFolder(), "/some/where");
    unsetenv("TAGWRIGHT_DATA_DIR");
    EXPECT_EQ(programDataFolder(), TAGWRIGHT_SOURCE_DATA_DIR);
}

} // namespace
} // namespace tagwright
