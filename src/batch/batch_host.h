#pragma once

// What a batch run needs from its caller besides the analysis host: the desktop program's
// windows, or, for the command line and tests, a run without a person.

#include "batch/page_record.h"
#include "batch/site_words.h"

#include <string>
#include <string_view>

namespace tagwright {

// What the inspect window is shown with.
struct InspectRequest {
    std::string filePath;
    std::string newTag;       // the composed tag, for editing
    std::string oldTag;       // the page's existing keywords tag, or the reader's message
    bool addDone = true;      // the start state of "Insert 'Done' meta tag"
    std::string progressText; // the caption of the progress label, possibly empty
};

// What the user decided in it.
struct InspectAnswer {
    bool insertConfirmed = true; // "Insert this keywords meta tag"
    std::string tag;             // the tag as edited
    bool insertDone = true;      // "Insert 'Done' meta tag"
    bool stopRun = false;        // "Stop the operation after this insertion (if any)"
};

class BatchHost {
public:
    virtual ~BatchHost() = default;

    // The run begins: Stop is enabled, the progress label emptied, "View report" hidden.
    virtual void runStarted() = 0;
    // The report window is shown (modeless), brought to the front and repainted.
    virtual void showReport() = 0;
    // Save, copy and close of the report window.
    virtual void setReportButtonsEnabled(bool enabled) = 0;
    // The main window's input file box follows the file being processed.
    virtual void setInputFile(std::string_view path) = 0;
    // The progress label ("Keywords meta tag inserted in 7 of 9 files."), made visible.
    virtual void setProgressText(std::string_view text) = 0;
    // The inspect window, modal.
    virtual InspectAnswer inspect(const InspectRequest& request) = 0;
    // "Go on to the next file?", title "Continue?", Yes/No; true for Yes.
    virtual bool askGoOnToNextFile() = 0;
    // The search for site words, before the run's first page, is done with one more page of the
    // walk (analysed, or passed over as the run would): `pagesExamined` of them so far. The
    // progress label says how many.
    virtual void siteWordsProgress(std::int32_t pagesExamined)
    {
        setProgressText(siteWordsProgressText(pagesExamined));
    }
    // The site words the run leaves out of every tag, found before its first page, when the run
    // was asked to find them.
    virtual void siteWordsFound(const SiteWords& /*siteWords*/) {}
    // The run is done with a page: how, and with which tags.
    virtual void pageFinished(const PageRecord& /*page*/) {}
    // A failure that ended the walk: its text, title "Error", exclamation icon.
    virtual void showError(std::string_view text) = 0;
    // The run is over: commands back, windows restored, the result box (title "Result", no
    // icon) when resultText is not empty, report buttons enabled, "View report" shown when the
    // report holds text and its window is not visible.
    virtual void runFinished(std::string_view resultText, bool reportHasText) = 0;
};

// A run without a person: nothing is shown, the inspect window keeps every tag as composed,
// and the run always goes on.
class UnattendedBatchHost : public BatchHost {
public:
    void runStarted() override {}
    void showReport() override {}
    void setReportButtonsEnabled(bool) override {}
    void setInputFile(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    InspectAnswer inspect(const InspectRequest& request) override
    {
        return {true, request.newTag, request.addDone, false};
    }
    bool askGoOnToNextFile() override { return true; }
    void showError(std::string_view) override {}
    void runFinished(std::string_view, bool) override {}
};

} // namespace tagwright
