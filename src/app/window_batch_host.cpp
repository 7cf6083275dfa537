#include "app/window_batch_host.h"

#include "app/box_text.h"
#include "app/dialogs.h"
#include "app/edit_meta_tag_window.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/report_window.h"

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
    // Only Stop stays usable until the run is over. A Stop pressed before it does not count:
    // the run may analyse its pages for the site words before the first page's turn.
    main_.clearStop();
    main_.enableDisableButtons(false);
    main_.listWordsButton().setEnabled(true);
    main_.metaTagInsertedLabel().clear();
    main_.viewReportButton().hide();
    report_.setKeptInFront(true);
}

// The report window keeps the run's pages for its web page.
void WindowBatchHost::pageFinished(const PageRecord& page)
{
    report_.addToSiteReport(page);
}

void WindowBatchHost::showReport()
{
    // Over a main window in its normal state the report comes back from any state to its place.
    if (!main_.isMinimized() && !main_.isMaximized() && report_.isMaximized())
        report_.showNormal();
    report_.present();
}

void WindowBatchHost::setReportButtonsEnabled(bool enabled)
{
    report_.setButtonsEnabled(enabled);
}

void WindowBatchHost::setInputFile(std::string_view path)
{
    main_.showCurrentFile(fromPath(std::string(path)));
    // A new file's analysis begins: a Stop pressed for the previous file no longer counts.
    main_.clearStop();
}

void WindowBatchHost::setProgressText(std::string_view text)
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
    setProgressText(request.progressText);
    const InspectDecision decision = inspectWindow_.inspect(
        fromCp1252(request.newTag), fromPath(request.filePath), request.addDone);
    if (logOperations_ && !inspectWindow_.isMaximized() && report_.isVisible())
        report_.raise();
    return {decision.insertConfirmed, tagWithoutTabs(toCp1252(decision.tag)), decision.insertDone,
            decision.stopRun};
}

bool WindowBatchHost::askGoOnToNextFile()
{
    // Closing the main window stops the analysis as Stop does; the program is ending, so the
    // run ends without asking.
    if (!main_.isVisible())
        return false;
    return main_.dialogs().ask(QStringLiteral("Continue?"),
                               QStringLiteral("Go on to the next file?"), QuestionButtons::YesNo,
                               MessageIcon::None, Answer::Yes) == Answer::Yes;
}

void WindowBatchHost::showError(std::string_view text)
{
    main_.dialogs().showMessage(QStringLiteral("Error"), fromCp1252(text), MessageIcon::Warning);
}

void WindowBatchHost::runFinished(std::string_view resultText, bool reportHasText)
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
    if (!reportHasText || report_.isVisible()) {
        main_.viewReportButton().hide();
    } else {
        main_.numberOfWordsLabel().clear();
        main_.viewReportButton().show();
    }
}

} // namespace tagwright
