// A batch run with backups and done markers over a whole tree: afterwards every page either
// carries exactly one keywords tag in its head (with at most one done marker) or is byte for
// byte what it was, and every backup holds the page's previous bytes.

#include "batch_fixture.h"

#include "support/strings.h"

#include <cstdlib>
#include <map>

namespace tagwright {
namespace {

using namespace testing;

namespace fs = std::filesystem;

// Pages that test the rewrite's corners; each name says what it holds.
const std::map<std::string, std::string> kAwkwardPages = {
    {"plain.htm", page("Tomatoes")},
    {"old-tag.htm", page("Tomatoes", "<meta name=\"keywords\" content=\"old, tags\">\r\n")},
    {"two-tags.htm", page("Tomatoes", "<meta name=\"keywords\" content=\"a\">\r\n<META NAME=\"KEYWORDS\" content=\"b\">\r\n"
                                      "<meta name=\"QOVA done\" content=\"2020-01-01\">\r\n"
                                      "<meta name=\"qova done\" content=\"2021-01-01\">\r\n")},
    {"commented.htm", page("Tomatoes", "<!--\r\n<meta name=\"keywords\" content=\"x\">\r\n-->\r\n")},
    {"unclosed-tag.htm", page("Tomatoes", "<meta name=\"keywords\"\r\n content=\"x\">\r\n")},
    {"no-head-end.htm", "<html><title>Tomatoes garden</title>\r\n<p>tomatoes garden soil</p>\r\n"},
    {"utf8.htm", page("Caf\xC3\xA9 tomates \xC5\x93uvre", "<meta charset=\"utf-8\">\r\n")},
    {"unix.htm", "<html>\n<head>\n<title>Tomatoes garden</title>\n</head>\n<body>tomatoes garden soil</body>\n"},
    {"mac.htm", "<html>\r<head>\r<title>Tomatoes garden</title>\r</head>\r<body>tomatoes garden</body>\r"},
    {"empty.htm", ""},
    {"binary.htm", std::string("<html>\0\0\0\0\0\0<head></head>", 25)},
    {"capitals.HTML", "<HTML><HEAD><TITLE>Tomatoes Garden</TITLE></HEAD><BODY>Tomatoes soil</BODY></HTML>"},
};

// The head of a page as the rewrite sees it: everything before the first "</head>".
std::string headOf(const std::string& bytes)
{
    const auto end = lowerCaseAccented(bytes).find("</head>");
    return end == std::string::npos ? bytes : bytes.substr(0, end);
}

// Keywords tags in the head outside comments.
std::size_t liveKeywordsTags(const std::string& head)
{
    std::string live;
    std::size_t at = 0;
    while (at < head.size()) {
        const auto open = head.find("<!--", at);
        live += head.substr(at, open == std::string::npos ? std::string::npos : open - at);
        if (open == std::string::npos)
            break;
        const auto close = head.find("-->", open);
        at = close == std::string::npos ? head.size() : close + 3;
    }
    return occurrences(lowerCaseAccented(live), "\"keywords\"");
}

bool isBackup(const fs::path& path)
{
    return lowerCaseAccented(path.filename().string()).find(".bak.") != std::string::npos;
}

// Copies the pages of a real tree of HTML documents, up to a limit, keeping its folders.
void copyRealTree(const fs::path& from, const fs::path& to, int limit)
{
    std::error_code error;
    int copied = 0;
    for (auto it = fs::recursive_directory_iterator(from, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator() && copied < limit; it.increment(error)) {
        const std::string name = lowerCaseAccented(it->path().filename().string());
        if (!it->is_regular_file(error) || !(name.ends_with(".htm") || name.ends_with(".html")) || isBackup(name))
            continue;
        const fs::path target = to / fs::relative(it->path(), from);
        fs::create_directories(target.parent_path(), error);
        if (fs::copy_file(it->path(), target, error))
            ++copied;
    }
}

TEST_F(BatchRunTest, EveryPageCarriesOneNewTagOrIsUnchanged)
{
    for (const auto& [name, bytes] : kAwkwardPages)
        writeBytes(file(name), bytes);
    fs::create_directory(std::filesystem::path(folder.path()) / "nested");
    for (const auto& [name, bytes] : kAwkwardPages)
        writeBytes(std::filesystem::path(folder.path()) / "nested" / name, bytes);
    const char* realTree = std::getenv("TAGWRIGHT_REAL_TREE");
    copyRealTree(realTree ? realTree : "/usr/share/doc", std::filesystem::path(folder.path()) / "real", 400);

    std::map<fs::path, std::string> before;
    for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
        if (entry.is_regular_file())
            before[entry.path()] = readBytes(entry.path());

    settings.includeAllSubfolders = true;
    settings.backup = true;
    settings.addDone = true;
    const BatchCounts counts = run();
    EXPECT_GE(counts.filesInserted, 10);

    int changed = 0;
    for (const auto& [path, previous] : before) {
        SCOPED_TRACE(path.string());
        const std::string now = readBytes(path);
        if (now == previous)
            continue;
        ++changed;
        ASSERT_FALSE(isBackup(path)) << "a backup that was there before was changed";
        const std::string head = headOf(now);
        EXPECT_EQ(liveKeywordsTags(head), 1u);
        EXPECT_LE(occurrences(lowerCaseAccented(head), "\"qova done\""), 1u);
        // The backup holds exactly the previous bytes.
        std::string backupName = path.filename().string();
        backupName.insert(backupName.rfind('.') + 1, "bak.");
        EXPECT_TRUE(readBytes(path.parent_path() / backupName) == previous);
    }
    EXPECT_EQ(changed, counts.filesInserted);
    // No temporary file is left anywhere.
    for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

} // namespace
} // namespace tagwright
