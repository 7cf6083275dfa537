// The command line where the machine works against it: whatever fails ends with the system's
// message on stderr and a non-zero exit, never a false success or a partial file.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::TempFolder;
using testing::CliResult;
using testing::runCli;

const std::string kPage = "<html><head><title>Garden</title></head><body>\r\n"
                          "<p>garden tomatoes garden tomatoes</p>\r\n</body></html>\r\n";

TEST(HostileCli, APageThatCannotBeReadFailsWithItsErrorNumber)
{
    TempFolder folder;
    const std::string page = folder.write("private.htm", kPage);
    ASSERT_EQ(::chmod(page.c_str(), 0), 0);
    for (const char* command : {"list", "generate"}) {
        const CliResult result = runCli({command, "private.htm"}, folder.path(), {}, true);
        EXPECT_EQ(result.exitStatus, 1) << command;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_EQ(result.err, "An error of an unknown kind has occurred: 70\n") << command;
    }
}

} // namespace
} // namespace tagwright
