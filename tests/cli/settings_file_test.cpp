// A site's .tagwright settings file, which every command reads, as real processes on real files.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::TempFolder;
using testing::CliResult;
using testing::runCli;

class SettingsFile : public ::testing::Test
{
  protected:
    SettingsFile()
    {
        std::filesystem::create_directories(folder.path("site/sub"));
        folder.write("site/sub/page.htm",
                     "<html><head><title>Garden tomatoes</title></head><body>\r\n"
                     "<p>garden tomatoes garden soil soil next topic next</p>\r\n</body></html>\r\n");
    }

    CliResult run(const std::vector<std::string>& args) const
    {
        return runCli(args, folder.path());
    }

    TempFolder folder;
};

TEST_F(SettingsFile, TheNearestFileAboveGivesItsOptionsAndTheCommandLineWins)
{
    const std::string page = "site/sub/page.htm";
    const CliResult plain = run({"generate", page, "--no-config"});
    ASSERT_NE(plain.out.find("next"), std::string::npos) << plain.out;
    folder.write("site/.tagwright", "# the site's own words\n"
                                    "ignore = \"next topic\"   # its menus\n"
                                    "\n"
                                    "  max-keywords = 5\n"
                                    "recursive\n"
                                    "begin = C# notes\n");
    const CliResult generated = run({"generate", page});
    EXPECT_EQ(generated.exitStatus, 0) << generated.err;
    EXPECT_TRUE(generated.out.starts_with("<meta name=\"keywords\" content=\"c# notes, garden"))
        << generated.out;
    EXPECT_EQ(generated.out.find("next"), std::string::npos) << generated.out;
    EXPECT_EQ(generated.out.find("topic"), std::string::npos) << generated.out;

    const CliResult given = run({"generate", page, "--begin", "Home", "--max-keywords=6"});
    EXPECT_TRUE(given.out.starts_with("<meta name=\"keywords\" content=\"home, garden")) << given.out;
    EXPECT_EQ(run({"generate", page, "--no-config"}).out, plain.out);

    // The file's folder option serves batch, which walks the subfolder without being told.
    const CliResult batch = run({"batch", "site", "--quiet"});
    EXPECT_EQ(batch.exitStatus, 0) << batch.err;
    EXPECT_NE(test::readBytes(folder.path(page)).find("content=\"c# notes, garden"),
              std::string::npos);
}

TEST_F(SettingsFile, AWrongLineIsAUsageErrorNamingTheFileAndTheLine)
{
    const auto errorOf = [&](const std::string& settings) {
        folder.write("site/.tagwright", settings);
        const CliResult result = run({"generate", "site/sub/page.htm"});
        EXPECT_EQ(result.exitStatus, 2) << settings;
        EXPECT_EQ(result.out, "");
        return result.err;
    };
    EXPECT_EQ(errorOf("language = en\ncolour = green\n"),
              "tagwright-cli: site/.tagwright:2: unknown option 'colour'\n");
    EXPECT_EQ(errorOf("# sizes\nmax-keywords = lots\n"),
              "tagwright-cli: site/.tagwright:2: --max-keywords must be a whole number from 5 to "
              "100, not 'lots'\n");
    EXPECT_EQ(errorOf("recursive = yes\n"),
              "tagwright-cli: site/.tagwright:1: option 'recursive' takes no value\n");
    EXPECT_EQ(errorOf("ignore\n"),
              "tagwright-cli: site/.tagwright:1: option 'ignore' needs a value (ignore = WORDS)\n");
    // A value given on the command line is the one used, so the file's is not read.
    errorOf("max-keywords = lots\n");
    EXPECT_EQ(run({"generate", "site/sub/page.htm", "--max-keywords", "7"}).exitStatus, 0);
    EXPECT_EQ(run({"generate", "site/sub/page.htm", "--no-config"}).exitStatus, 0);
}

} // namespace
} // namespace tagwright
