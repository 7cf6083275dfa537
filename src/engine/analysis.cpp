#include "engine/analysis.h"

#include "engine/input_checks.h"
#include "engine/line_preparation.h"
#include "engine/overflow.h"
#include "engine/scanner.h"
#include "engine/word_counter.h"
#include "support/files.h"
#include "support/line_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

namespace tagwright {

namespace {

constexpr std::int32_t kTextSampleBytes = 16384;
constexpr double kMaxControlPercent = 0.1;
constexpr std::int16_t kOutOfMemoryError = 7;

// The error number of a run whose file could not be read (a Failure thrown to the end of the
// run), by the system's error.
std::int16_t readErrorNumber(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kFileNotFoundError;
    case EACCES:
    case EPERM:
        return kPermissionDeniedError;
    default:
        return kDeviceIoError;
    }
}

std::string unixFileQuestion(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return "This is a Unix-type file!\r\nThis program processes files of this type but much more "
           "slowly.\r\n"
           "Use of this program with Unix/Linux files larger than 40 KB\r\nis not recommended.  "
           "The size of this file is " +
           sizeText(error ? -1 : static_cast<std::int64_t>(size), false) + ".";
}

std::string stoppedText(std::int16_t count)
{
    return "Stopped with " + std::to_string(count) + (count == 1 ? " word" : " words") +
           " identified.";
}

// Reads, prepares and scans every line of the file, up to the end or a Stop; true after a Stop.
// Stop is also asked for while a line is read and while a long one is prepared: a page without
// line ends is one line, which is then not scanned.
bool scanFile(const std::string& path, const LinePreparation& preparation, Scanner& scanner,
              AnalysisHost& host)
{
    if (!fileExists(path))
        throw Failure::ofError(ENOENT);
    LineReader reader(path, LineEnds::OfPage);
    if (!reader.isOpen())
        throw Failure::ofError(reader.errorNumber());
    bool stopped = false;
    const KeepPreparing keepGoing = [&] { return !(stopped = host.stopRequested()); };
    reader.setKeepReading(keepGoing);
    std::string line;
    while (reader.readLine(line)) {
        if (stopped)
            return true;
        if (prepareLine(line, preparation, keepGoing)) {
            scanner.scanLine(line);
            scanner.endLine();
        }
        if (stopped || scanner.stopped())
            return true;
    }
    if (reader.errorNumber() != 0)
        throw Failure::ofError(reader.errorNumber());
    return stopped;
}

} // namespace

AnalysisOutcome doFile(const std::string& path, const AnalysisSettings& settings,
                       const CommonWords& commonWords, AnalysisHost& host, WordTable& table,
                       std::string_view shownPath)
{
    AnalysisOutcome outcome;
    const TextCheck check = isTextFile(path, kTextSampleBytes, kMaxControlPercent, true);
    if (check.kind == TextKind::NotText) {
        outcome.result = kNotATextFile;
        outcome.offendingByte = check.offendingByte;
        outcome.position = check.position;
        return outcome;
    }

    table.clear();
    if (settings.singleFile)
        host.setOutputText("");
    host.analysisStarted();

    const bool unixFile = check.kind == TextKind::UnixText;
    if (unixFile) {
        if (!settings.singleFile && !settings.dialogForUnixFiles) {
            host.showUnixFileWarning("Warning: File has Unix/Linux line endings");
        } else {
            const QuestionAnswer answer = host.askUnixFile(unixFileQuestion(path));
            if (answer != QuestionAnswer::Yes) {
                outcome.result = kUnixFileDeclined;
                outcome.stopRun = answer == QuestionAnswer::Cancel;
                return outcome;
            }
        }
        host.setOutputText(kNowProcessing);
    }

    WordCounter counter(settings, commonWords, host, table);
    Scanner scanner(settings, host, counter, table,
                    shownPath.empty() ? path : std::string(shownPath));
    host.setWordCountBusy(true);
    try {
        const bool stopped = scanFile(
            path, LinePreparation{unixFile, check.utf8, !settings.preserveCase}, scanner, host);
        host.setWordCountBusy(false);
        if (settings.logOperations)
            host.reportNowGenerating();
        counter.flushShownWords();
        host.analysisFinished();
        if (stopped) {
            if (settings.singleFile)
                host.appendOutputText("\r\n\r\n");
            else
                host.setOutputText("");
            host.appendOutputText(stoppedText(table.count()));
            host.setWordCountText("");
            outcome.result = kAnalysisStopped;
            return outcome;
        }
        table.applyMinimumFrequency(settings.minimumFrequency);
        table.mergeCaseVariants();
        table.normaliseKeyValues();
        host.setWordCountText("Number of words found satisfying above conditions: " +
                              std::to_string(table.count()));
    } catch (const Failure& failure) {
        outcome.result = readErrorNumber(failure.error);
        outcome.cause = failure;
    } catch (const Overflow&) {
        outcome.result = kOverflowError;
    } catch (const std::bad_alloc&) {
        outcome.result = kOutOfMemoryError;
    }
    if (outcome.result != kAnalysisDone)
        host.setWordCountBusy(false);
    return outcome;
}

} // namespace tagwright
