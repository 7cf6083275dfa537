#include "support/folder_listing.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tagwright {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TEST(FolderListing, RegularFilesAndRealSubfoldersInByteOrder)
{
    const test::TempFolder folder;
    folder.write("b.htm", "b");
    folder.write("B.htm", "B");
    folder.write("a.html", "a");
    folder.write("\xC3\xA9.htm", "e");
    fs::create_directory(folder.path("sub"));
    fs::create_directory(folder.path("Sub2"));
    fs::create_symlink(folder.path("b.htm"), folder.path("link.htm"));
    fs::create_symlink(folder.path("gone.htm"), folder.path("dangling.htm"));
    fs::create_directory_symlink(folder.path(), folder.path("loop"));
    ASSERT_EQ(mkfifo(folder.path("pipe.htm").c_str(), 0600), 0);

    const FolderListing listing = listFolder(folder.path());
    ASSERT_TRUE(listing.ok()) << listing.failure->text;
    EXPECT_EQ(listing.files, (Names{"B.htm", "a.html", "b.htm", "link.htm", "\xC3\xA9.htm"}));
    EXPECT_EQ(listing.subfolders, (Names{"Sub2", "sub"}));
    EXPECT_EQ(listFolder(folder.path() + "/").files.size(), 5u);
}

TEST(FolderListing, EmptyFolder)
{
    const test::TempFolder folder;
    const FolderListing listing = listFolder(folder.path());
    EXPECT_TRUE(listing.ok());
    EXPECT_TRUE(listing.files.empty());
    EXPECT_TRUE(listing.subfolders.empty());
}

TEST(FolderListing, Failures)
{
    const test::TempFolder folder;
    const FolderListing missing = listFolder(folder.path("missing"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure->text, "No such file or directory");

    const FolderListing notAFolder = listFolder(folder.write("file.htm", "x"));
    ASSERT_FALSE(notAFolder.ok());
    EXPECT_EQ(notAFolder.failure->text, "Not a directory");

    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    fs::create_directory(folder.path("closed"));
    fs::permissions(folder.path("closed"), fs::perms::none);
    const FolderListing closed = listFolder(folder.path("closed"));
    ASSERT_FALSE(closed.ok());
    EXPECT_EQ(closed.failure->text, "Permission denied");
}

} // namespace
} // namespace tagwright
