#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tagwright {

// What the user decided for one file in the inspect window.
struct InspectDecision
{
    bool insertConfirmed = false; // insert the tag
    bool stopRun = false;         // end the run after this file
    bool insertDone = false;      // write the done marker (with the tag, or alone)
    QString tag;                  // the tag as the user left it
};

// The inspect and edit window (frmEditMetaTag): shown modally for each file of a batch run
// before anything is written. Created once with the main window as parent; between displays it
// keeps the state of "Insert this keywords meta tag".
class EditMetaTagWindow : public QDialog
{
    Q_OBJECT

  public:
    explicit EditMetaTagWindow(QWidget* mainWindow);

    // Shows the new tag of the file modally and returns once the user has decided.
    InspectDecision inspect(const QString& newTag, const QString& currentFile, bool addDone);

    // "Insert 'Done' meta tag" as the user last left it; unticked before the first display.
    bool insertDoneTicked() const;

    // The close box declines the tag and stops the run.
    void reject() override;

  protected:
    // Escape does nothing here: as the close box it would write to the page and end the run.
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void continueCommand();
    void placeOverMainWindow();
    void arrange();

    QLabel* lblEditMetaTag_;
    QLabel* lblFile_;
    QPlainTextEdit* txbMetaTAG_;
    QCheckBox* chkInsertMetaTag_;
    QCheckBox* chkInsertDoneMetaTag_;
    QCheckBox* chkStopOperation_;
    QPushButton* cmdContinue_;
    int tagBoxLeft_ = -1; // lines the tag box up with the main window's output box
    int tagBoxWidth_ = -1;
    bool insertConfirmed_ = false;
    bool stopRun_ = false;
};

} // namespace tagwright
