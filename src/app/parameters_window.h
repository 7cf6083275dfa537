#pragma once

#include "app/parameter_values.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tagwright {

// The batch parameters window (frmParameters): the settings of batch runs and a few settings of
// the analysis and of the program. Modeless; it is created hidden with the main window as parent
// and afterwards only shown and hidden, so its controls hold the settings for the whole session.
class ParametersWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit ParametersWindow(QWidget* mainWindow);

    ParameterValues values() const;
    // Sets every control as loading the state does, then settles the enabled states.
    void setValues(const ParameterValues& values);

    // Opens the window without blocking: captioned like the button that opens it, restored,
    // placed over the main window, the focus on Close.
    void present();

  signals:
    // Closing with "Save state when closing this form" ticked asks the owner to save the state.
    void saveStateRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct CheckBinding
    {
        int ParameterValues::*value;
        QCheckBox* box;
    };

    QCheckBox* addCheck(const char* name, const QString& caption, int ParameterValues::*value);
    void buildLayout();
    void connectDependencies();
    void applyAllDependencies();
    void placeOverMainWindow();
    void closeCommand();

    QLabel* lblFileExtensions_;
    QCheckBox* chkHTM_;
    QCheckBox* chkHTML_;
    QCheckBox* chkSHTM_;
    QCheckBox* chkSHTML_;
    QCheckBox* chkIncludeAllSubfolders_;
    QCheckBox* chkBackup_;
    QCheckBox* chkConfirm_;
    QCheckBox* chkLogOperations_;
    QCheckBox* chkIncludeOldMetaTag_;
    QCheckBox* chkIncludeNewMetaTag_;
    QCheckBox* chkAddDone_;
    QCheckBox* chkSkipDone_;
    QComboBox* cboLessThanNDaysOld_;
    QCheckBox* chkDontLogDone_;
    // "Leave out words found on more than [ ] % of the pages": the site words, empty for none.
    QLabel* lblSiteWords_;
    QLineEdit* txbSiteWords_;
    QLabel* lblSiteWordsOfPages_;
    QCheckBox* chkClearReportAtStart_;
    QCheckBox* chkDisplayWords_;
    QCheckBox* chkDialogBoxForUnixFiles_;
    QCheckBox* chkDialogBoxForInvalidEndFontTag_;
    QCheckBox* chkSaveStateOnQuit_;
    QCheckBox* chkSaveStateOnClose_;
    QPushButton* cmdClose_;
    std::vector<CheckBinding> checks_;
};

} // namespace tagwright
