#include "app/window_batch_host.h"

#include "app/box_text.h"
#include "app/dialogs.h"
#include "app/edit_meta_tag_window.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/report_window.h"
#include "app/window_thread.h"

#include <QLabel>
#include <QPushButton>

namespace tagwright {

WindowBatchHost::WindowBatchHost(MainWindow& main, ReportWindow& report,
                                 EditMetaTagWindow& inspectWindow, bool logOperations)
    : main_(main), report_(report), inspectWindow_(inspectWindow), logOperations_(logOperations)
{
}

void WindowBatchHost::runStarted()
{
    onWindowThread([this] {
        // Only Stop stays usable until the run is over. A Stop pressed before the run was
        // started does not count (runBatch cleared it before the run's thread began); one
        // pressed since stops the search for site words or the first page's analysis.
        main_.enableDisableButtons(false);
        main_.listWordsButton().setEnabled(true);
        main_.metaTagInsertedLabel().clear();
        main_.viewReportButton().hide();
        report_.setKeptInFront(true);
    });
}

// The report window keeps the run's pages for its web page.
void WindowBatchHost::pageFinished(const PageRecord& page)
{
    onWindowThread([this, &page] { report_.addToSiteReport(page); });
}

void WindowBatchHost::showReport()
{
    onWindowThread([this] {
        // Over a main window in its normal state the report comes back from any state to its
        // place.
        if (!main_.isMinimized() && !main_.isMaximized() && report_.isMaximized())
            report_.showNormal();
        report_.present();
    });
}

void WindowBatchHost::setReportButtonsEnabled(bool enabled)
{
    onWindowThread([this, enabled] { report_.setButtonsEnabled(enabled); });
}

// A Stop pressed before this file's analysis, after the previous file was done with, stops this
// one's at once.
void WindowBatchHost::setInputFile(std::string_view path)
{
    onWindowThread([this, shown = fromPath(std::string(path))] { main_.showCurrentFile(shown); });
}

void WindowBatchHost::setProgressText(std::string_view text)
{
    onWindowThread([this, &text] { showProgressText(text); });
}

void WindowBatchHost::showProgressText(std::string_view text)
{
    QLabel& label = main_.metaTagInsertedLabel();
    label.setText(fromCp1252(text));
    label.setVisible(true);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
    label.setPalette(palette);
    label.repaint();
}

InspectAnswer WindowBatchHost::inspect(const InspectRequest& request)
{
    const InspectDecision decision = onWindowThread([this, &request] {
        showProgressText(request.progressText);
        const InspectDecision made = inspectWindow_.inspect(
            fromCp1252(request.newTag), fromPath(request.filePath), request.addDone);
        if (logOperations_ && !inspectWindow_.isMaximized() && report_.isVisible())
            report_.raise();
        return made;
    });
    return {decision.insertConfirmed, tagWithoutTabs(toCp1252(decision.tag)), decision.insertDone,
            decision.stopRun};
}

// The question answers the Stop that was pressed.
bool WindowBatchHost::askGoOnToNextFile()
{
    return onWindowThread([this] {
        main_.clearStop();
        // Closing the main window stops the analysis as Stop does; the program is ending, so
        // the run ends without asking.
        if (!main_.isVisible())
            return false;
        return main_.dialogs().ask(QStringLiteral("Continue?"),
                                   QStringLiteral("Go on to the next file?"),
                                   QuestionButtons::YesNo, MessageIcon::None,
                                   Answer::Yes) == Answer::Yes;
    });
}

void WindowBatchHost::showError(std::string_view text)
{
    onWindowThread([this, &text] {
        main_.dialogs().showMessage(QStringLiteral("Error"), fromCp1252(text),
                                    MessageIcon::Warning);
    });
}

void WindowBatchHost::runFinished(std::string_view resultText, bool reportHasText)
{
    onWindowThread([this, resultText, reportHasText] { finishRun(resultText, reportHasText); });
}

void WindowBatchHost::finishRun(std::string_view resultText, bool reportHasText)
{
    report_.setKeptInFront(false);
    main_.enableDisableButtons(true);
    main_.listWordsButton().setText(main_.programText(21));
    main_.listWordsButton().setEnabled(true);
    if (main_.isMinimized())
        main_.showNormal();
    if (report_.isMinimized())
        report_.showNormal();
    if (!resultText.empty())
        main_.dialogs().showMessage(QStringLiteral("Result"), fromCp1252(resultText),
                                    MessageIcon::None);
    main_.raise();
    main_.activateWindow();
    main_.setTheFocus();
    if (logOperations_) {
        report_.moveCaretToEnd();
        report_.raise();
    }
    // The report is an ordinary window once the run is over, which the main window may cover:
    // "View report" stays offered while there is a report, to bring it forward again.
    if (reportHasText && !report_.isVisible())
        main_.numberOfWordsLabel().clear();
    main_.viewReportButton().setVisible(reportHasText);
}

} // namespace tagwright
