#pragma once

#include "batch/report_log.h"
#include "batch/site_report.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

class QPlainTextEdit;
class QPushButton;

namespace tagwright {

class Dialogs;

// The report window (frmReport): shows the report log of batch runs and insertions, saves it
// to a file and copies it, whole or a selection, to the clipboard. It owns the log. Created
// once with the main window as parent, then only shown and hidden; the log survives hiding.
class ReportWindow : public QWidget
{
    Q_OBJECT

  public:
    // saveFailureTitle titles the box that reports a failed save.
    ReportWindow(QWidget* mainWindow, Dialogs& dialogs, QString saveFailureTitle);

    ReportLog& log() { return log_; }
    const ReportLog& log() const { return log_; }

    // Save, copy and close are disabled while a file is processed.
    void setButtonsEnabled(bool enabled);
    // Shows the window without blocking: restored, placed over the main window unless
    // maximised, in front, with the text painted.
    void present();
    void moveCaretToEnd();
    // In front of the main window while a run is on; an ordinary window otherwise.
    void setKeptInFront(bool inFront);

    // The site report of a batch run: begun as the run starts, told of each page as the run
    // finishes with it, finished with the run's counts; "Save as web page..." writes the last
    // one finished.
    void beginSiteReport(ReportedRun run);
    void addToSiteReport(const PageRecord& page);
    void finishSiteReport(const BatchCounts& counts);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void followLog(const ReportChange& change);
    void showPendingChange();
    void showChange(std::size_t kept, std::string_view appended);
    void saveToFile();
    void saveAsWebPage();
    void copyToClipboard();
    void closeCommand();
    void setCopyCaption(bool selection);
    void centreCopyButton();
    int widthOfTheButtons() const;
    int saveButtonWidth() const;
    int closeButtonWidth() const;
    void placeOverMainWindow();
    void arrange();
    void linkToMainWindow();

    Dialogs& dialogs_;
    QString saveFailureTitle_;
    ReportLog log_;
    std::string shownText_; // the log text that the text box shows
    // The changes of the log that a run made on its own thread since the window's thread last
    // took them, as one: the first `kept` bytes of the text shown stay, `appended` follows.
    struct PendingChange
    {
        std::size_t kept = 0;
        std::string appended;
    };
    std::mutex pendingMutex_;
    std::optional<PendingChange> pending_;
    QPlainTextEdit* txbText_;
    QPushButton* cmdSaveToFile_;
    QPushButton* cmdSaveAsWebPage_;
    QPushButton* cmdCopyToClipboard_;
    QPushButton* cmdClose_;
    bool keptInFront_ = false;
    std::unique_ptr<SiteReport> siteReport_;
    bool siteReportFinished_ = false;
};

} // namespace tagwright
