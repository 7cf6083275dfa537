#pragma once

#include "app/dialogs.h"
#include "app/saved_state.h"
#include "app/web_link.h"

#include "engine/analysis_settings.h"
#include "engine/common_words.h"
#include "engine/word_table.h"
#include "output/tag_settings.h"
#include "support/dates.h"
#include "support/program_text.h"

#include <QWidget>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tagwright {

class HelpWindow;
class MultipleFilesSide;
class WindowAnalysisHost;

// What the main window needs from its surroundings; tests pass their own.
struct MainWindowContext
{
    Dialogs* dialogs = nullptr;
    // The program's own folder (program texts, common-word lists).
    QString dataFolder;
    // The per-user application-data folder that holds the state file's folder.
    QString userDataFolder;
    AddressOpener openAddress = openWithDesktop;
    // How long the start-up progress stays readable, in milliseconds.
    int progressPause = 2000;
    // Where today's date comes from (the done marker); the system clock when none.
    const Clock* clock = nullptr;
};

// The main window (frmMain): every setting of an analysis, the choice between single-file and
// multiple-files mode, the commands and the output box. It reads its controls into the core's
// settings when an operation starts, calls the core and shows what comes back.
class MainWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit MainWindow(MainWindowContext context);
    ~MainWindow() override;

    // The load handling: program texts, defaults, saved state, placement, common-word lists.
    // False when the program texts could not be loaded; the program then ends.
    bool startUp();

    void attachMultipleFilesSide(MultipleFilesSide* side);

    // Operations that the commands and the multiple-files side share.
    void doIt(bool generateMetaTag);
    bool saveState();
    void enableDisableButtons(bool enable);
    void setTheFocus();
    static bool isBakFile(const QString& path);

    // What an operation reads when it starts.
    AnalysisSettings analysisSettings() const;
    TagSettings tagSettings();
    bool singleFileMode() const;
    QString programText(int number) const;
    const ProgramTextStore& programTexts() const { return programTexts_; }
    const CommonWords& commonWords() const { return commonWords_; }
    WordTable& wordTable() { return wordTable_; }
    Dialogs& dialogs() { return *context_.dialogs; }
    // The analysis host of the window: Stop, the word-count label and the output box.
    WindowAnalysisHost& analysisHost() { return *analysisHost_; }
    bool stopPressed() const { return stop_; }
    void clearStop() { stop_ = false; }
    bool wordTableCurrent() const { return wordTableCurrent_; }
    // Any change of the input or of a setting of the analysis: the table no longer matches.
    void markTableStale()
    {
        wordTableCurrent_ = false;
        ++changesOfInput_;
    }
    QString stateFilePath() const { return stateFilePath_; }
    std::int32_t backColor() const { return backColor_; }
    const Clock& clock() const { return context_.clock ? *context_.clock : systemClock_; }
    // Counting has ended: a multiple-files run's report now says the tag is being generated.
    void reportNowGenerating();

    // Controls read and set by the multiple-files side.
    QLineEdit& folderBox() const { return *txbFolder; }
    QPlainTextEdit& outputBox() const { return *txbMetaTAG; }
    QPushButton& listWordsButton() const { return *cmdListWords; }
    QPushButton& viewReportButton() const { return *cmdViewReport; }
    QLabel& metaTagInsertedLabel() const { return *lblMetaTagInserted; }
    QLabel& numberOfWordsLabel() const { return *lblNumberOfWords; }

    // A batch run shows the file it is processing in the input file box; single-file mode
    // comes back with the last one.
    void showCurrentFile(const QString& path);

    // The output box's text in the core's form (Windows-1252, CR LF) and back.
    std::string outputText() const;
    void setOutputText(const std::string& text);
    void appendOutputText(const std::string& text);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Building (main_window_layout.cpp).
    void createControls();
    void layOutControls();
    void connectControls();
    void fillLists();

    // Start-up, modes, enabling, size and colour (main_window.cpp).
    void setStartUpDefaults();
    void restoreDefaults(bool emptyTexts);
    void loadCommonWordLists();
    void showCommonWordsNotAvailable(int language);
    bool commonWordsAvailable(int language) const;
    void singleFileChosen();
    void multipleFilesChosen();
    void keepOnScreen();
    void largeWindowClicked();
    void applyBackColor();
    void pause(int milliseconds);

    // Entries (main_window_entries.cpp).
    bool validateInputFile(const QString& path);
    void inputFileLeft();
    void folderLeft();
    void maxKeywordsLeft();
    void maxBytesLeft();
    void wordsToIgnoreLeft();
    void languageChosen();
    void ignoreCommonWordsClicked();
    void preserveCaseClicked();
    void settingChanged();
    void resetEntry(QLineEdit& box, const QString& value);

    // Commands (main_window_commands.cpp).
    void chooseInputFile();
    void chooseFolder();
    void listWordsClicked();
    void generateClicked();
    void showExistingClicked();
    void insertClicked();
    void restoreBackupsClicked();
    bool folderChecked();
    void viewReportClicked();
    void clearInputFile();
    void clearFolder();
    void clearOutput();
    void openHelp();
    void quit();
    void showWords(bool generateMetaTag);
    void showExistingTags();
    bool checkInsertion(const QString& title);
    // Runs work off the window's thread with every command disabled until it has ended.
    void runWithCommandsDisabled(const std::function<void()>& work);

    // Saved state (main_window_state.cpp).
    MainWindowState mainState() const;
    void applyMainState(const MainWindowState& state);
    ParameterValues parameterValues() const;
    void setParameterValues(const ParameterValues& values);
    bool loadState();

    MainWindowContext context_;
    SystemClock systemClock_;
    ProgramTextStore programTexts_;
    CommonWords commonWords_;
    WordTable wordTable_;
    std::unique_ptr<WindowAnalysisHost> analysisHost_;
    MultipleFilesSide* multipleFiles_ = nullptr;
    ParameterValues parameters_; // kept here while no parameters window is attached
    HelpWindow* helpWindow_ = nullptr;

    bool startUpCompleted_ = false;
    std::atomic<bool> stop_ = false; // set on the window's thread, read by the run's
    bool wordTableCurrent_ = false;
    int changesOfInput_ = 0;
    bool germanChosen_ = false;
    bool busy_ = false;
    QString productName_;
    QString stateFilePath_;
    QString rememberedInputFile_;
    QString rememberedFolder_;
    std::array<QString, 2> rememberedOutput_;
    std::int32_t backColor_ = kLightGreen;
    int normalHeight_ = 0;
    bool framedOnScreen_ = false; // kept on the screen once its frame was known

    QRadioButton* optSingleFile;
    QRadioButton* optMultipleFiles;
    QPushButton* cmdInputFile;
    QLineEdit* txbInputFile;
    QPushButton* cmdClearInputFile;
    QPushButton* cmdFolder;
    QLineEdit* txbFolder;
    QPushButton* cmdClearFolder;
    QLabel* lblLanguageOfText;
    QComboBox* cboLanguage;
    QCheckBox* chkIgnoreCommonWords;
    QCheckBox* chkPreserveCase;
    QCheckBox* chkIgnoreShortWords;
    QComboBox* cboShortWordSize;
    QLabel* lblCharsOrLess;
    QLabel* lblThresholdFrequency;
    QComboBox* cboThresholdFrequency;
    QLabel* lblTitleWeight;
    QComboBox* cboTitleWeight;
    QLabel* lblDescriptionWeight;
    QComboBox* cboDescriptionWeight;
    QLabel* lblExistingkeywordsWeight;
    QComboBox* cboExistingKeywordsWeight;
    QLabel* lblBoldWeight;
    QComboBox* cboBoldWeight;
    QLabel* lblItalicWeight;
    QComboBox* cboItalicWeight;
    QLabel* lblTableWeight;
    QComboBox* cboTableWeight;
    QLabel* lblDivWeight;
    QComboBox* cboDivWeight;
    QLabel* lblSpanWeight;
    QComboBox* cboSpanWeight;
    QLabel* lblIgnoreTheseWords;
    QLineEdit* txbWordsToIgnore;
    QPushButton* cmdClearWordsToIgnore;
    QLabel* lblBeginMetaTagWith;
    QLineEdit* txbBeginMetaTagWith;
    QPushButton* cmdClearBeginMetaTagWith;
    QLabel* lblMaxNumKeywords;
    QLineEdit* txbMaxNumKeywordsInMetaTag;
    QLabel* lblMaxNumBytes;
    QLineEdit* txbMaxNumBytesInMetaTag;
    QCheckBox* chkSpaceAfterComma;
    QCheckBox* chkForwardSlash;
    QPushButton* cmdShowExistingKeywordMetaTag;
    QPushButton* cmdListWords;
    QPushButton* cmdGenerateKeywordMetaTag;
    QPushButton* cmdReset;
    QPlainTextEdit* txbMetaTAG;
    QPushButton* cmdClearOutput;
    QLabel* lblNumberOfWords;
    QFrame* Frame1;
    QRadioButton* optInsertionWithBackup;
    QRadioButton* optInsertionWithoutBackup;
    QPushButton* cmdInsert;
    QPushButton* cmdRestoreBackups;
    QPushButton* cmdViewReport;
    QLabel* lblMetaTagInserted;
    QCheckBox* chkLargeWindow;
    QPushButton* cmdHelp;
    QPushButton* cmdQuit;
    QLabel* lblQuorvexSystems;
    QLabel* lblOnlineDocumentation;
};

} // namespace tagwright
