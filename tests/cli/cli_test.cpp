#include "../support/temp_folder.h"
#include "cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <filesystem>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::TempFolder;
using testing::BackgroundCli;
using testing::CliResult;
using testing::runCli;

const std::string kFruitPage = "<html><head></head><body>\r\n"
                               "<p>apple apple apple banana banana cherry</p>\r\n"
                               "</body></html>\r\n";

const std::string kFruitList = "Rank Value Freq. Density\n"
                               "   1   100    3  50.00%  apple\n"
                               "   2    67    2  33.33%  banana\n"
                               "   3    33    1  16.67%  cherry\n";

class Cli : public ::testing::Test
{
  protected:
    CliResult run(const std::vector<std::string>& args) const
    {
        return runCli(args, folder.path());
    }

    TempFolder folder;
};

TEST_F(Cli, VersionAndHelpGoToStdout)
{
    for (const auto& args : {std::vector<std::string>{"--version"}, {"list", "--version"}}) {
        const CliResult result = run(args);
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.out, "tagwright-cli 9.8.2\n");
        EXPECT_EQ(result.err, "");
    }
    const CliResult help = run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("\n  list FILE"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("\n  generate FILE"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--data-dir DIR"), std::string::npos) << help.out;

    const CliResult generateHelp = run({"generate", "--help"});
    EXPECT_EQ(generateHelp.exitStatus, 0);
    for (const char* option : {"--weight-span N", "--language CODE", "--max-keywords N",
                               "--max-bytes N", "--begin PHRASE", "--close-slash"})
        EXPECT_NE(generateHelp.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run({"list", "--help"}).out.find("--max-keywords"), std::string::npos);
}

TEST_F(Cli, HelpOfEveryCommandFitsEightyColumnsAndDashHIsHelp)
{
    EXPECT_EQ(run({"-h"}).out, run({"--help"}).out);
    for (const char* command : {"", "list", "generate", "show", "insert", "batch", "check",
                                "restore"}) {
        std::vector<std::string> args{"--help"};
        if (*command != '\0')
            args.insert(args.begin(), command);
        const CliResult help = run(args);
        EXPECT_EQ(help.exitStatus, 0) << command;
        EXPECT_EQ(run({command, "-h"}).out, *command != '\0' ? help.out : "") << command;
        std::size_t at = 0;
        for (std::size_t end; (end = help.out.find('\n', at)) != std::string::npos; at = end + 1)
            EXPECT_LE(end - at, 80u) << command << ": " << help.out.substr(at, end - at);
    }
    // Each command says what its --today is for.
    EXPECT_NE(run({"insert", "--help"}).out.find("--today YYYY-MM-DD        the date of the done "
                                                 "marker that --done writes"),
              std::string::npos);
}

TEST_F(Cli, FailuresNameTheProgramAndTheFile)
{
    folder.write("page.htm", kFruitPage);
    folder.write("README.md", kFruitPage);
    folder.write("page.bak.htm", kFruitPage);
    const CliResult batch = run({"batch", "page.htm"});
    EXPECT_EQ(batch.exitStatus, 1);
    EXPECT_EQ(batch.err, "tagwright-cli: page.htm: Not a folder\n");

    // check of a file that a batch run would not take says so, and fails.
    const CliResult markdown = run({"check", "README.md"});
    EXPECT_EQ(markdown.exitStatus, 1);
    EXPECT_EQ(markdown.out, "");
    EXPECT_EQ(markdown.err, "tagwright-cli: README.md: Not checked: a batch run takes only pages "
                            "ending in htm, html (--ext).\n");
    EXPECT_EQ(run({"check", "page.bak.htm"}).err,
              "tagwright-cli: page.bak.htm: Not checked: a backup (NAME.bak.EXT) is no page of a "
              "run.\n");
    EXPECT_EQ(run({"check", "page.htm", "--ext", "shtml"}).exitStatus, 1);
}

TEST_F(Cli, UsageErrorsExitWithTwoAndOneLineNamingTheCause)
{
    folder.write("page.htm", kFruitPage);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command"},
        {{"frobnicate", "page.htm"}, "frobnicate"},
        {{"--bogus", "list", "page.htm"}, "--bogus"},
        {{"list"}, "Input file not specified."},
        {{"batch", "site", "other"}, "other"},
        {{"list", "-x.htm"}, "-x.htm"},
        {{"list", "page.htm", "--bogus"}, "--bogus"},
        {{"list", "page.htm", "--max-keywords", "10"}, "--max-keywords"},
        {{"list", "page.htm", "--keep-case=yes"}, "--keep-case"},
        {{"list", "page.htm", "--min-frequency"}, "--min-frequency"},
        {{"list", "page.htm", "--min-frequency", "0"}, "--min-frequency"},
        {{"list", "page.htm", "--min-frequency", "10"}, "--min-frequency"},
        {{"list", "page.htm", "--min-frequency=two"}, "--min-frequency"},
        {{"list", "page.htm", "--short-words", "0"}, "--short-words"},
        {{"list", "page.htm", "--language", "nl"}, "--language"},
        {{"list", "page.htm", "--weight-title", "45"}, "--weight-title"},
        {{"list", "page.htm", "--weight-description", "100"}, "--weight-description"},
        {{"list", "page.htm", "--weight-keywords", "-10"}, "--weight-keywords"},
        {{"list", "page.htm", "--weight-bold", "10"}, "--weight-bold"},
        {{"list", "page.htm", "--weight-span", "1.5"}, "--weight-span"},
        {{"generate", "page.htm", "--max-keywords", "4"}, "--max-keywords"},
        {{"generate", "page.htm", "--max-keywords", "101"}, "--max-keywords"},
        {{"generate", "page.htm", "--max-bytes", "1001"}, "--max-bytes"},
        {{"generate", "page.htm", "--max-bytes", "-1"}, "--max-bytes"},
        {{"generate", "page.htm", "--max-bytes", ""}, "--max-bytes"},
    };
    for (const auto& [args, named] : cases) {
        const CliResult result = run(args);
        const std::string command = ::testing::PrintToString(args);
        EXPECT_EQ(result.exitStatus, 2) << command;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_NE(result.err.find(named), std::string::npos) << command << ": " << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << command << ": " << result.err;
    }
}

TEST_F(Cli, SeveralFilesAreEachHeadedByTheirNameAndDashIsStandardInput)
{
    folder.write("page.htm", kFruitPage);
    folder.write("other.htm", "<html><head></head><body><p>plum plum</p></body></html>\r\n");
    const std::string page = run({"generate", "page.htm"}).out;
    const std::string other = run({"generate", "other.htm"}).out;
    const CliResult both = run({"generate", "page.htm", "missing.htm", "other.htm"});
    EXPECT_EQ(both.exitStatus, 1);
    EXPECT_EQ(both.out, "==> page.htm <==\n" + page + "\n==> missing.htm <==\n\n==> other.htm <==\n" +
                            other);
    EXPECT_EQ(both.err, "tagwright-cli: missing.htm: Input file does not exist.\n");
    const CliResult json = run({"show", "page.htm", "other.htm", "--format", "json"});
    EXPECT_EQ(json.exitStatus, 0);
    EXPECT_TRUE(json.out.starts_with("{\"file\":\"page.htm\",\"type\":\"file\"}\n")) << json.out;
    EXPECT_EQ(run({"check", "page.htm", "other.htm"}).out, "page.htm\tmissing\nother.htm\tmissing\n");

    folder.write(".stdin", kFruitPage);
    EXPECT_EQ(run({"generate", "-"}).out, page);
    EXPECT_EQ(run({"list", "-"}).out, run({"list", "page.htm"}).out);
}

// The copy of standard input is a temporary file like a rewrite's: a termination signal that
// comes while the page is still being read removes it.
TEST_F(Cli, ATerminationSignalRemovesTheCopyOfStandardInput)
{
    namespace fs = std::filesystem;
    const std::string temporary = folder.path("tmp");
    fs::create_directory(temporary);
    ASSERT_EQ(::mkfifo(folder.path(".stdin").c_str(), 0600), 0);
    // Held open for writing by the test, the pipe never ends: the program waits for more.
    const int pipe = ::open(folder.path(".stdin").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(pipe, 0);
    const std::string before = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    ::setenv("TMPDIR", temporary.c_str(), 1);
    BackgroundCli listing({"list", "-"}, folder.path());
    before.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", before.c_str(), 1);
    ASSERT_EQ(::write(pipe, kFruitPage.data(), kFruitPage.size()),
              static_cast<ssize_t>(kFruitPage.size()));
    while (fs::is_empty(temporary))
        ::usleep(10'000);
    listing.sendSignal(SIGTERM);
    listing.finish();
    ::close(pipe);
    EXPECT_TRUE(fs::is_empty(temporary));
}

TEST_F(Cli, ListPrintsTheWordListWithUnixLineEnds)
{
    folder.write("fruit.htm", kFruitPage);
    const CliResult result =
        run({"list", "fruit.htm", "--min-frequency", "1", "--no-common-words"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, kFruitList);
    EXPECT_EQ(result.err, "");

    // The defaults drop words that occur once; options may also stand before the file.
    EXPECT_EQ(run({"list", "--no-common-words", "fruit.htm"}).out,
              "Rank Value Freq. Density\n"
              "   1   100    3  50.00%  apple\n"
              "   2    67    2  33.33%  banana\n");
}

TEST_F(Cli, GeneratePrintsTheTagAndItsCountLines)
{
    folder.write("fruit.htm", kFruitPage);
    const CliResult result =
        run({"generate", "fruit.htm", "--min-frequency=1", "--no-common-words"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "<meta name=\"keywords\" content=\"apple, banana, cherry\">\n\n"
                          "Number of keywords in meta tag: 3\n"
                          "Number of bytes in meta tag: 52\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(Cli, AnalysisOptionsReachTheAnalysis)
{
    folder.write("mixed.htm", "<html><head><title>zebra</title></head><body>\r\n"
                              "<p>apple apple <b>kiwi kiwi</b> fig fig</p></body></html>\r\n");
    const std::vector<std::string> base = {"list", "mixed.htm", "--no-common-words"};
    const auto listed = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), base.begin(), base.end());
        const CliResult result = run(extra);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return result.out;
    };
    EXPECT_EQ(listed({}), "Rank Value Freq. Density\n"
                          "   1   100    1  14.29%  zebra\n"
                          "   2    16    2  28.57%  kiwi\n"
                          "   3     7    2  28.57%  apple\n"
                          "   4     7    2  28.57%  fig\n");
    EXPECT_EQ(listed({"--weight-title", "0", "--weight-bold", "0", "--short-words", "3", "--ignore",
                      "apple"}),
              "Rank Value Freq. Density\n"
              "   1   100    2  28.57%  kiwi\n"
              "\nWords with key value 0 not shown.\n");
}

TEST_F(Cli, CaseAndShortWordOptionsReachTheAnalysis)
{
    folder.write("case.htm", "<html><body><p>Apple apple APPLE APPLE ox ox</p></body></html>\r\n");
    const auto listed = [&](const std::vector<std::string>& args) { return run(args).out; };
    const std::string folded = listed({"list", "case.htm", "--no-common-words"});
    EXPECT_NE(folded.find("   4  66.67%  apple\n"), std::string::npos) << folded;
    EXPECT_EQ(folded.find("ox"), std::string::npos) << folded;

    const std::string kept = listed({"list", "case.htm", "--no-common-words", "--keep-case",
                                     "--keep-short-words", "--min-frequency", "1"});
    EXPECT_NE(kept.find("   2  33.33%  apple\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("   2  33.33%  APPLE\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("   2  33.33%  ox\n"), std::string::npos) << kept;
}

TEST_F(Cli, TagOptionsShapeTheTagAndCountBytesInTheDocumentsCodePage)
{
    folder.write("fruit.htm", kFruitPage);
    const CliResult result = run(
        {"generate", "fruit.htm", "--min-frequency", "1", "--no-common-words", "--max-keywords",
         "5", "--begin", "\xC3\x89t\xC3\xA9, fruit", "--no-space-after-comma", "--close-slash"});
    EXPECT_EQ(result.exitStatus, 0);
    // "été" is three bytes in the document's code page, five on the terminal.
    EXPECT_EQ(
        result.out,
        "<meta name=\"keywords\" content=\"\xC3\xA9t\xC3\xA9,fruit,apple,banana,cherry\" />\n\n"
        "Number of keywords in meta tag: 5\n"
        "Number of bytes in meta tag: 60\n");

    const CliResult limited = run({"generate", "fruit.htm", "--min-frequency", "1",
                                   "--no-common-words", "--max-bytes", "43"});
    EXPECT_EQ(limited.out.substr(0, limited.out.find('\n')),
              "<meta name=\"keywords\" content=\"apple, banana\">");

    // Characters outside the code page become "?".
    const CliResult greek = run({"generate", "fruit.htm", "--min-frequency", "1",
                                 "--no-common-words", "--begin", "\xCE\xA9mega"});
    EXPECT_EQ(greek.out.substr(0, greek.out.find('\n')),
              "<meta name=\"keywords\" content=\"?mega, apple, banana, cherry\">");
}

TEST_F(Cli, WindowsPageAndArgumentsMeetInTheSameCodePage)
{
    folder.write("cafe.htm", "<html><body><p>cr\xE8me cr\xE8me caf\xE9 caf\xE9 garden garden"
                             "</p></body></html>\r\n");
    const CliResult result =
        run({"list", "cafe.htm", "--no-common-words", "--ignore", "caf\xC3\xA9 unknown"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "Rank Value Freq. Density\n"
                          "   1   100    2  33.33%  cr\xC3\xA8me\n"
                          "   2   100    2  33.33%  garden\n");
}

TEST_F(Cli, Utf8PageKeepsFrenchLigatureWordsWhole)
{
    folder.write("oeuvre.htm", "<html><head><meta charset=\"utf-8\"></head><body>\r\n"
                               "<p>\xC5\x93uvre \xC5\x93uvre c\xC5\x93ur c\xC5\x93ur</p>\r\n"
                               "</body></html>\r\n");
    const CliResult result = run({"list", "oeuvre.htm", "--no-common-words", "--language", "fr"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.out.find("%  \xC5\x93uvre\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("%  c\xC5\x93ur\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("uvre", result.out.find("uvre") + 1), std::string::npos);
}

TEST_F(Cli, APageWithoutACharsetIsReadAndWrittenAsUtf8WhenItsBytesAre)
{
    const std::string page = "<html><head><title>Caf\xC3\xA9 cr\xC3\xA8me \xC3\xA0 Z\xC3\xBCrich"
                             "</title></head>\r\n<body><p>caf\xC3\xA9 cr\xC3\xA8me</p></body></html>\r\n";
    folder.write("cafe.htm", page);
    const CliResult generated = run({"generate", "cafe.htm", "--no-common-words"});
    EXPECT_EQ(generated.exitStatus, 0) << generated.err;
    EXPECT_TRUE(generated.out.starts_with(
        "<meta name=\"keywords\" content=\"caf\xC3\xA9, cr\xC3\xA8me, z\xC3\xBCrich\">"))
        << generated.out;

    ASSERT_EQ(run({"insert", "cafe.htm", "--no-common-words"}).exitStatus, 0);
    const std::string inserted = test::readBytes(folder.path("cafe.htm"));
    EXPECT_NE(inserted.find("\r\n<meta name=\"keywords\" content=\"caf\xC3\xA9, cr\xC3\xA8me, "
                            "z\xC3\xBCrich\">\r\n</head>"),
              std::string::npos)
        << inserted;
    const CliResult shown = run({"show", "cafe.htm"});
    EXPECT_NE(shown.out.find("content=\"caf\xC3\xA9, cr\xC3\xA8me"), std::string::npos) << shown.out;

    // A Windows-1252 page with the same words is written in its own bytes.
    folder.write("cafe1252.htm", "<html><head><title>Caf\xE9 cr\xE8me</title></head>\r\n"
                                 "<body><p>caf\xE9 cr\xE8me</p></body></html>\r\n");
    ASSERT_EQ(run({"insert", "cafe1252.htm", "--no-common-words"}).exitStatus, 0);
    EXPECT_NE(test::readBytes(folder.path("cafe1252.htm"))
                  .find("<meta name=\"keywords\" content=\"caf\xE9, cr\xE8me\">"),
              std::string::npos);
}

TEST_F(Cli, CommonWordsComeFromTheDataFolder)
{
    folder.write("fruit.htm", kFruitPage);
    const TempFolder data;
    data.write("cwds_en.txt", "Banana\r\n");
    data.write("cwds_fr.txt", "pomme\r\n");
    const std::string dataDir = data.path();

    const CliResult english =
        run({"--data-dir", dataDir, "list", "fruit.htm", "--min-frequency", "1"});
    EXPECT_EQ(english.exitStatus, 0);
    EXPECT_EQ(english.out, "Rank Value Freq. Density\n"
                           "   1   100    3  50.00%  apple\n"
                           "   2    33    1  16.67%  cherry\n");
    EXPECT_EQ(english.err, "");

    // German has no list there: without it common words would become keywords.
    const CliResult german = run(
        {"list", "fruit.htm", "--min-frequency", "1", "--language", "de", "--data-dir=" + dataDir});
    EXPECT_EQ(german.exitStatus, 1);
    EXPECT_EQ(german.out, "");
    EXPECT_EQ(german.err,
              "tagwright-cli: " + dataDir + "/cwds_de.txt: No such file or directory\n");
    EXPECT_EQ(run({"list", "fruit.htm", "--language", "de", "--no-common-words",
                   "--data-dir=" + dataDir})
                  .exitStatus,
              0);
}

TEST_F(Cli, AListThatCannotBeReadFailsEveryAnalysisBeforeAnyPageIsTouched)
{
    const std::string page = "<html><head><title>Apple</title></head><body>\r\n"
                             "<p>the apple and the banana and the apple</p>\r\n</body></html>\r\n";
    folder.write("fruit.htm", page);
    std::filesystem::create_directory(folder.path("site"));
    folder.write("site/fruit.htm", page);
    // The program texts are there, the list is not.
    const std::string data = folder.path("data");
    std::filesystem::create_directory(data);
    std::filesystem::copy_file(std::string(TAGWRIGHT_TEST_DATA_DIR) + "/qova.dat", data + "/qova.dat");
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"list", "fruit.htm"},
          {"generate", "fruit.htm"},
          {"insert", "fruit.htm", "--backup"},
          {"batch", "site", "--backup"},
          {"check", "site"}}) {
        std::vector<std::string> args = command;
        args.insert(args.end(), {"--data-dir", data});
        const CliResult result = run(args);
        EXPECT_EQ(result.exitStatus, 1) << command[0];
        EXPECT_EQ(result.out, "") << command[0];
        EXPECT_EQ(result.err, "tagwright-cli: " + data + "/cwds_en.txt: No such file or directory\n")
            << command[0];
    }
    EXPECT_EQ(test::readBytes(folder.path("fruit.htm")), page);
    EXPECT_EQ(test::readBytes(folder.path("site/fruit.htm")), page);
    EXPECT_FALSE(std::filesystem::exists(folder.path("fruit.bak.htm")));
    EXPECT_FALSE(std::filesystem::exists(folder.path("site/fruit.bak.htm")));

    // A copy of the list that its user may not read (as root, the user is nobody).
    const std::string list = folder.write("data/cwds_en.txt", "the\r\nand\r\n");
    ::chmod(list.c_str(), 0);
    const CliResult unreadable =
        runCli({"generate", "fruit.htm", "--data-dir", data}, folder.path(), {}, true);
    EXPECT_EQ(unreadable.exitStatus, 1);
    EXPECT_EQ(unreadable.err, "tagwright-cli: " + list + ": Permission denied\n");
}

TEST_F(Cli, PageWithoutQualifyingWordsIsASuccess)
{
    folder.write("empty.htm", "<html><body><p>a an it</p></body></html>\r\n");
    const CliResult result = run({"generate", "empty.htm", "--short-words", "3"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "No words with more than 3 letters occur at least twice.\n");
}

TEST_F(Cli, RefusedInputsFailWithTheSystemsMessage)
{
    folder.write("notes.txt", kFruitPage);
    folder.write("noextension", kFruitPage);
    std::string binary(1000, 'a');
    binary[119] = '\0';
    binary[120] = '\0';
    folder.write("binary.htm", binary);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "tagwright-cli: Input file not specified.\n"},
        {"missing.htm", "tagwright-cli: missing.htm: Input file does not exist.\n"},
        {"notes.txt",
         "tagwright-cli: notes.txt: Input file name must have an extension containing 'htm'.\n"},
        {"noextension", "tagwright-cli: noextension: Invalid input file specification\n"},
        {"binary.htm", "tagwright-cli: binary.htm: This file is not a text file. The byte at "
                       "position 120 with value 0 is neither text nor whitespace.\n"},
    };
    for (const auto& [file, message] : cases)
        for (const char* command : {"list", "generate"}) {
            const CliResult result = run({command, file});
            EXPECT_EQ(result.exitStatus, 1) << command << " " << file;
            EXPECT_EQ(result.out, "") << command << " " << file;
            EXPECT_EQ(result.err, message) << command << " " << file;
        }
}

TEST_F(Cli, TooManyDistinctWordsEndWithErrorSix)
{
    // 32768 distinct words of consonant-vowel pairs: no plurals, numerals, "ly" or "ed" endings.
    const std::string consonants = "bfghjknprt";
    const std::string vowels = "aiou";
    std::string page = "<html><body><p>\r\n";
    for (int i = 0; i < 32768; ++i) {
        for (int pair = 0, n = i; pair < 3; ++pair, n /= 40)
            page += {consonants[n % 40 / 4], vowels[n % 4]};
        page += (i % 16 == 15) ? "\r\n" : " ";
    }
    folder.write("many.htm", page + "</p></body></html>\r\n");
    const CliResult result = run({"list", "many.htm", "--no-common-words"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "tagwright-cli: many.htm: An error of an unknown kind has occurred: 6\n");
}

TEST_F(Cli, PathThatIsNoRegularFileIsNotFoundAndNeverRead)
{
    ASSERT_EQ(mkfifo(folder.path("pipe.htm").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.path("folder.htm"));
    for (const char* path : {"pipe.htm", "folder.htm"}) {
        const CliResult result = run({"list", path});
        EXPECT_EQ(result.exitStatus, 1) << path;
        EXPECT_EQ(result.err, "tagwright-cli: " + std::string(path) + ": Input file does not exist.\n")
            << path;
    }
}

TEST_F(Cli, OutputThatCannotBeWrittenIsAFailure)
{
    folder.write("fruit.htm", kFruitPage);
    const CliResult result = runCli({"list", "fruit.htm"}, folder.path(), "/dev/full");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "tagwright-cli: standard output: No space left on device\n");
}

TEST_F(Cli, FileNamesAreUsedAsTheBytesGiven)
{
    folder.write("-x.htm", kFruitPage);
    folder.write("caf\xE9.htm", kFruitPage); // not UTF-8
    folder.write("\xC3\xA9t\xC3\xA9.htm", kFruitPage);
    for (const char* name : {"-x.htm", "caf\xE9.htm", "\xC3\xA9t\xC3\xA9.htm"}) {
        const CliResult result =
            run({"list", "--min-frequency", "1", "--no-common-words", "--", name});
        EXPECT_EQ(result.exitStatus, 0) << name << ": " << result.err;
        EXPECT_EQ(result.out, kFruitList) << name;
    }
}

} // namespace
} // namespace tagwright
