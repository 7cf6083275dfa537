// A batch run over a folder of pages, one of them the input's, with a fault drawn from the input
// (a step that fails on one page's files, a nearly full disk, a page that changes during the
// run): the run on several jobs leaves every page and backup, the report and the failures (what
// the exit status says) as the run on one job does.

#include "fuzz_checks.h"
#include "input_bytes.h"
#include "faulty_file_system.h"
#include "scratch_folder.h"

#include "batch/batch_driver.h"
#include "batch/temporary_files.h"
#include "support/dates.h"
#include "support/program_text.h"

#include <array>
#include <fstream>
#include <map>
#include <set>

namespace tagwright::fuzz {

namespace {

namespace fs = std::filesystem;

const std::int32_t kToday = gregorianToJdn(2024, 3, 5);

// The faults that the input chooses from: a step that fails on the page's files from its k-th
// call on (every open of it; every read of it from a bad spot), a nearly full disk, a page that
// changes during the run.
enum class Fault {
    None,
    Open,
    Read,
    Create,
    Write,
    Flush,
    Close,
    Link,
    Rename,
    Remove,
    SetMode,
    CopyAttributes,
    NearlyFullDisk,
    PageChanges,
};
constexpr int kFaults = 14;

// The step of the page's files that fails from its k-th call on; Count for the other faults.
testing::Step failingStep(Fault fault)
{
    static const std::map<Fault, testing::Step> kSteps = {
        {Fault::Open, testing::Step::Open},
        {Fault::Create, testing::Step::Create},
        {Fault::Write, testing::Step::Write},
        {Fault::Flush, testing::Step::Flush},
        {Fault::Close, testing::Step::Close},
        {Fault::Link, testing::Step::Link},
        {Fault::Rename, testing::Step::Rename},
        {Fault::Remove, testing::Step::Remove},
        {Fault::SetMode, testing::Step::SetMode},
        {Fault::CopyAttributes, testing::Step::CopyAttributes},
    };
    const auto found = kSteps.find(fault);
    return found == kSteps.end() ? testing::Step::Count : found->second;
}

// The other faults, at `occurrence` (from 1): the bad spot 256 bytes a step, the space left 600.
void strike(testing::FaultyFileSystem& files, Fault fault, int occurrence)
{
    if (fault == Fault::Read)
        files.withBadSpot(256 * static_cast<std::size_t>(occurrence));
    else if (fault == Fault::NearlyFullDisk)
        files.withSpaceLeft(600LL * occurrence);
    else if (fault == Fault::PageChanges)
        files.changingThePage();
}

std::string fixedPage(const std::string& title, const std::string& head)
{
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n" + head +
           "</head>\r\n<body>\r\n<p>" + title + " tomatoes garden soil tomatoes garden " +
           std::string(600, 'x') + "</p>\r\n</body>\r\n</html>\r\n";
}

struct RunOutcome
{
    std::map<std::string, std::string> files;
    // What temporary files a failed removal left, by content: their names count up in the
    // process, so that the second run's differ.
    std::multiset<std::string> leftTemporaryFiles;
    std::string report;
    std::vector<PageFailure> failures;
    std::int32_t inserted = 0;
};

struct Choices
{
    BatchSettings settings;
    bool hardLinks = true;
    std::size_t faultyPage = 0;
    Fault fault = Fault::None;
    int occurrence = 1;
    unsigned jobs = 2;
};

const std::array<std::string, 4> kNames = {"a.htm", "b.htm", "c.htm", "d.htm"};

RunOutcome runOver(const fs::path& folder, const std::string& page, const Choices& choices,
                   unsigned jobs)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::array<std::string, 4> pages = {
        fixedPage("Garden soil", ""), page,
        fixedPage("Compost heap", "<meta name=\"keywords\" content=\"compost, heap\">\r\n"),
        fixedPage("Seedlings", "<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n")};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::ofstream out(folder / kNames[i], std::ios::binary);
        out << pages[i];
    }
    AnalysisSettings analysis;
    analysis.minimumFrequency = 1;
    const TagSettings tag;
    const CommonWords commonWords;
    const ProgramTextStore texts;
    BatchJob job{folder.string(), choices.settings, analysis, tag, commonWords, texts, kToday};
    job.jobs = jobs;
    // Every open of the page fails, whatever the occurrence.
    testing::FaultyFileSystem files(failingStep(choices.fault),
                                    choices.fault == Fault::Open ? 1 : choices.occurrence);
    files.onlyFor((folder / kNames[choices.faultyPage]).string());
    files.fromThenOn();
    strike(files, choices.fault, choices.occurrence);
    if (!choices.hardLinks)
        files.withoutHardLinks();
    UnattendedBatchHost host;
    SilentAnalysisHost analysisHost;
    ReportLog log;
    const BatchCounts counts = runBatch(job, host, analysisHost, log, files);
    RunOutcome outcome;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (temporaryFileOwner(name))
            outcome.leftTemporaryFiles.insert(readWholeFile(entry.path()));
        else
            outcome.files[name] = readWholeFile(entry.path());
    }
    outcome.report = log.text();
    outcome.failures = counts.failures;
    outcome.inserted = counts.filesInserted;
    return outcome;
}

} // namespace

std::string checkParallelRun(std::string_view input)
{
    InputBytes bytes(input);
    Choices choices;
    choices.settings.confirm = false;
    choices.settings.backup = bytes.flag();
    choices.settings.addDone = bytes.flag();
    choices.settings.skipDone = bytes.flag();
    choices.settings.includeOldMetaTag = bytes.flag();
    choices.settings.includeNewMetaTag = bytes.flag();
    choices.hardLinks = bytes.flag();
    choices.faultyPage = static_cast<std::size_t>(bytes.inRange(0, kNames.size() - 1));
    choices.fault = static_cast<Fault>(bytes.inRange(0, kFaults - 1));
    choices.occurrence = bytes.inRange(1, 6);
    const std::array<unsigned, 4> jobCounts = {2, 3, 4, 8};
    const unsigned jobs = jobCounts[static_cast<std::size_t>(bytes.inRange(0, 3))];
    const std::string page(bytes.rest());

    const ScratchFolder scratch;
    const fs::path folder = scratch.path() / "site";
    const RunOutcome one = runOver(folder, page, choices, 1);
    const RunOutcome several = runOver(folder, page, choices, jobs);
    if (several.files != one.files)
        return "the pages or backups differ from those of the run on one job";
    if (several.leftTemporaryFiles != one.leftTemporaryFiles)
        return "the temporary files left differ from those of the run on one job (" +
               std::to_string(several.leftTemporaryFiles.size()) + " against " +
               std::to_string(one.leftTemporaryFiles.size()) + ")";
    if (several.report != one.report)
        return "the report differs from that of the run on one job";
    if (several.inserted != one.inserted)
        return "the count of pages written differs from that of the run on one job";
    if (several.failures.size() != one.failures.size())
        return "the failures differ from those of the run on one job";
    for (std::size_t i = 0; i < one.failures.size(); ++i) {
        if (several.failures[i].path != one.failures[i].path ||
            several.failures[i].cause != one.failures[i].cause)
            return "the failure of " + one.failures[i].path + " (" + one.failures[i].cause +
                   ") differs from that of the run on one job";
    }
    return {};
}

} // namespace tagwright::fuzz
