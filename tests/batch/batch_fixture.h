#pragma once

// A batch run over real files in a temporary folder, with the program's own texts, a clock fixed
// on 5 March 2024, and hosts that answer as a script says.

#include "batch/batch_driver.h"
#include "support/dates.h"
#include "support/program_text.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tagwright::testing {

inline const std::int32_t kToday = gregorianToJdn(2024, 3, 5);

inline std::string page(const std::string& title, const std::string& head = {})
{
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n" + head +
           "</head>\r\n<body>\r\n<p>" + title +
           " tomatoes garden soil tomatoes garden</p>\r\n</body>\r\n</html>\r\n";
}

class ScriptedBatchHost : public UnattendedBatchHost
{
  public:
    void setInputFile(std::string_view path) override
    {
        filesStarted.emplace_back(path);
        if (onFile)
            onFile(std::string(path));
    }
    void setProgressText(std::string_view text) override { progress.emplace_back(text); }
    InspectAnswer inspect(const InspectRequest& request) override
    {
        inspected.push_back(request);
        return answer ? answer(request) : UnattendedBatchHost::inspect(request);
    }
    bool askGoOnToNextFile() override
    {
        ++goOnQuestions;
        return goOn;
    }
    void showError(std::string_view text) override { errors.emplace_back(text); }
    void runFinished(std::string_view text, bool) override { resultText = text; }

    std::function<void(const std::string&)> onFile;
    std::function<InspectAnswer(const InspectRequest&)> answer;
    bool goOn = true;
    int goOnQuestions = 0;
    std::vector<std::string> filesStarted;
    std::vector<std::string> progress;
    std::vector<InspectRequest> inspected;
    std::vector<std::string> errors;
    std::string resultText;
};

// The output box, Stop pressed during the analysis of the files named in stopIn, and No to the
// Unix-type question for those named in declineUnixIn.
class ScriptedAnalysisHost : public SilentAnalysisHost
{
  public:
    explicit ScriptedAnalysisHost(const ScriptedBatchHost& batchHost) : batchHost_(batchHost) {}
    bool stopRequested() override { return currentFileIn(stopIn); }
    QuestionAnswer askUnixFile(std::string_view) override
    {
        return currentFileIn(declineUnixIn) ? QuestionAnswer::No : QuestionAnswer::Yes;
    }
    std::string outputText() const override { return box; }
    void setOutputText(std::string_view text) override { box = text; }
    void appendOutputText(std::string_view text) override { box += text; }

    std::set<std::string> stopIn;
    std::set<std::string> declineUnixIn;
    std::string box;

  private:
    bool currentFileIn(const std::set<std::string>& files) const
    {
        return !batchHost_.filesStarted.empty() && files.contains(batchHost_.filesStarted.back());
    }

    const ScriptedBatchHost& batchHost_;
};

class BatchRunTest : public ::testing::Test
{
  protected:
    BatchRunTest()
    {
        texts.load(std::string(TAGWRIGHT_TEST_DATA_DIR) + "/qova.dat");
        settings.confirm = false;
        analysis.ignoreCommonWords = false;
        analysis.minimumFrequency = 1;
    }

    BatchCounts run(const std::string& start, FileSystem& fs)
    {
        BatchJob job{start, settings, analysis, tag, commonWords, texts, today};
        job.jobs = jobs;
        return runBatch(job, host, analysisHost, log, fs);
    }
    BatchCounts run(const std::string& start)
    {
        FileSystem fs;
        return run(start, fs);
    }
    BatchCounts run() { return run(folder.path()); }

    std::string file(const std::string& name) const { return folder.path(name); }

    TempFolder folder;
    ProgramTextStore texts;
    BatchSettings settings;
    AnalysisSettings analysis;
    TagSettings tag;
    CommonWords commonWords;
    std::int32_t today = kToday;
    unsigned jobs = 1;
    ScriptedBatchHost host;
    ScriptedAnalysisHost analysisHost{host};
    ReportLog log;
};

// The keywords tag line of a page, as written into it.
inline std::string keywordsLine(const std::string& bytes)
{
    const auto start = bytes.find("<meta name=\"keywords\"");
    if (start == std::string::npos)
        return {};
    return bytes.substr(start, bytes.find("\r\n", start) - start);
}

inline std::size_t occurrences(const std::string& text, const std::string& sought)
{
    std::size_t count = 0;
    for (auto at = text.find(sought); at != std::string::npos; at = text.find(sought, at + 1))
        ++count;
    return count;
}

} // namespace tagwright::testing
