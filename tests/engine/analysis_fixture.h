#pragma once

#include "../support/temp_folder.h"
#include "engine/analysis.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tagwright::test {

// A host that records what the run shows and answers as scripted.
class RecordingHost : public SilentAnalysisHost
{
  public:
    int stopAfterWords = -1; // press Stop once this many distinct words are counted
    int stopAtRequest = -1;  // press Stop at this look at Stop (1: the first)
    QuestionAnswer unixAnswer = QuestionAnswer::Yes;
    bool proceedAfterInvalidEndFont = true;

    std::string output;
    std::string wordCountText;
    std::vector<std::string> questions;
    int reportUpdates = 0;
    bool busy = false;

    bool stopRequested() override
    {
        if (++requests_ == stopAtRequest)
            stopPressed_ = true;
        return stopPressed_;
    }
    void setWordCountText(std::string_view text) override
    {
        wordCountText = text;
        if (stopAfterWords >= 0 &&
            text == "Number of words found: " + std::to_string(stopAfterWords))
            stopPressed_ = true;
    }
    void setWordCountBusy(bool value) override { busy = value; }
    std::string outputText() const override { return output; }
    void setOutputText(std::string_view text) override { output = text; }
    void appendOutputText(std::string_view text) override { output += text; }
    QuestionAnswer askUnixFile(std::string_view question) override
    {
        questions.emplace_back(question);
        return unixAnswer;
    }
    bool askProceedAfterInvalidEndFont(std::string_view question) override
    {
        questions.emplace_back(question);
        return proceedAfterInvalidEndFont;
    }
    void reportNowGenerating() override { ++reportUpdates; }

  private:
    bool stopPressed_ = false;
    int requests_ = 0;
};

// Settings that keep every word a test writes: no common words, no minimum frequency.
inline AnalysisSettings keepingSettings()
{
    AnalysisSettings settings;
    settings.ignoreCommonWords = false;
    settings.minimumFrequency = 1;
    return settings;
}

// Analyses a page written to a temporary file.
class AnalysisTest : public ::testing::Test
{
  protected:
    AnalysisOutcome analyse(std::string_view page,
                            const AnalysisSettings& settings = keepingSettings(),
                            std::string_view name = "page.htm")
    {
        return doFile(folder.write(name, page), settings, commonWords, host, table);
    }

    // Word -> key value before scaling, recovered from the scaled values and the expected
    // largest value.
    std::map<std::string, float> rawValues(float largest) const
    {
        std::map<std::string, float> values;
        for (const WordEntry& entry : table.entries())
            values[entry.text] = entry.keyValue * largest / 100;
        return values;
    }

    std::vector<std::string> words() const
    {
        std::vector<std::string> result;
        for (const WordEntry& entry : table.entries())
            result.push_back(entry.text);
        return result;
    }

    TempFolder folder;
    CommonWords commonWords;
    RecordingHost host;
    WordTable table;
};

} // namespace tagwright::test
