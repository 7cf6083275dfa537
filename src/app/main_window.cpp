// The main window's start-up, modes, enabling rule, size and colour.

#include "app/main_window.h"

#include "app/color_value.h"
#include "app/form_style.h"
#include "app/help_text.h"
#include "app/help_window.h"
#include "app/multiple_files_side.h"
#include "app/qt_text.h"
#include "app/state_file.h"
#include "app/twips.h"
#include "app/window_analysis_host.h"
#include "app/window_frame.h"

#include "output/common_word_lists.h"
#include "support/version.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace tagwright {

namespace {

constexpr int kProductNameText = 1;
constexpr int kStateFileNameText = 2;
constexpr int kMakerWebsiteText = 14;
constexpr int kUserManualText = 15;
constexpr int kSaveStateText = 21;
constexpr int kStateFolderText = 310;

} // namespace

MainWindow::MainWindow(MainWindowContext context)
    : context_(std::move(context)), analysisHost_(std::make_unique<WindowAnalysisHost>(*this))
{
    setObjectName(QStringLiteral("frmMain"));
    createControls();
    layOutControls();
    connectControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::attachMultipleFilesSide(MultipleFilesSide* side)
{
    multipleFiles_ = side;
}

QString MainWindow::programText(int number) const
{
    return fromCp1252(programTexts_.text(number));
}

bool MainWindow::startUp()
{
    startUpCompleted_ = false;
    const std::string textFile = programTextFilePath(toPath(context_.dataFolder));
    const std::int32_t loaded = programTexts_.load(textFile);
    if (loaded < 1) {
        dialogs().showFatalError(fromCp1252(loadFailureMessage(loaded, textFile)));
        return false;
    }
    productName_ = programText(kProductNameText);
    setWindowTitle(productName_ + QStringLiteral(" Version ") +
                   QString::fromStdString(versionText()));

    fillLists();
    setStartUpDefaults();
    restoreDefaults(true);
    if (!loadState()) {
        setStartUpDefaults();
        restoreDefaults(true);
    }
    germanChosen_ = cboLanguage->currentIndex() == static_cast<int>(LanguageIndex::German);
    adjustSize();
    normalHeight_ = height();
    move(twipsToPixels(500), twipsToPixels(1000));
    keepOnScreen();

    if (backColor_ == 0)
        backColor_ = kLightGreen;
    applyBackColor();
    applyFormFontName(this, QStringLiteral("Arial"), false);
    txbMaxNumKeywordsInMetaTag->setText(QStringLiteral("50"));

    show();
    if (optMultipleFiles->isChecked() && !txbInputFile->text().isEmpty())
        clearInputFile();
    validateInputFile(txbInputFile->text());

    enableDisableButtons(false);
    cmdListWords->setEnabled(false);
    loadCommonWordLists();
    enableDisableButtons(true);
    cmdListWords->setEnabled(true);
    if (optMultipleFiles->isChecked())
        cmdListWords->setText(programText(kSaveStateText));
    repaint();
    setTheFocus();
    startUpCompleted_ = true;
    return true;
}

void MainWindow::setStartUpDefaults()
{
    applyMainState(MainWindowState{});
    setParameterValues(ParameterValues{});
    stateFilePath_ = tagwright::stateFilePath(
        context_.userDataFolder, programText(kStateFolderText), programText(kStateFileNameText));
}

// The defaults of "Restore defaults"; at start-up the four name and phrase boxes are emptied
// too. The language and the words to ignore keep their values.
void MainWindow::restoreDefaults(bool emptyTexts)
{
    const MainWindowState defaults;
    chkIgnoreShortWords->setChecked(defaults.ignoreShortWords == 1);
    chkIgnoreCommonWords->setChecked(defaults.ignoreCommonWords == 1);
    chkPreserveCase->setChecked(defaults.preserveCase == 1);
    chkSpaceAfterComma->setChecked(defaults.spaceAfterComma == 1);
    chkForwardSlash->setChecked(defaults.forwardSlash == 1);
    cboTitleWeight->setCurrentIndex(defaults.titleWeight);
    cboDescriptionWeight->setCurrentIndex(defaults.descriptionWeight);
    cboExistingKeywordsWeight->setCurrentIndex(defaults.existingKeywordsWeight);
    cboBoldWeight->setCurrentIndex(defaults.boldWeight);
    cboItalicWeight->setCurrentIndex(defaults.italicWeight);
    cboTableWeight->setCurrentIndex(defaults.tableWeight);
    cboDivWeight->setCurrentIndex(defaults.divWeight);
    cboSpanWeight->setCurrentIndex(defaults.spanWeight);
    cboShortWordSize->setCurrentIndex(defaults.shortWordSize);
    cboThresholdFrequency->setCurrentIndex(defaults.thresholdFrequency);
    txbMaxNumKeywordsInMetaTag->setText(defaults.maxNumKeywordsInMetaTag);
    txbMaxNumBytesInMetaTag->setText(defaults.maxNumBytesInMetaTag);
    lblMetaTagInserted->clear();
    if (emptyTexts) {
        txbInputFile->clear();
        txbFolder->clear();
        txbBeginMetaTagWith->clear();
        txbWordsToIgnore->clear();
    }
    markTableStale();
}

// Reads the seven lists while the output box shows the progress, then warns when the chosen
// list is missing and the common words are to be ignored.
void MainWindow::loadCommonWordLists()
{
    txbMetaTAG->clear();
    const std::vector<UserMessage> warnings = tagwright::loadCommonWordLists(
        toPath(context_.dataFolder), commonWords_, [this](std::string_view line) {
            appendOutputText(std::string(line));
            txbMetaTAG->repaint();
        });
    for (const UserMessage& warning : warnings)
        showUserMessage(dialogs(), warning);
    pause(context_.progressPause);
    txbMetaTAG->clear();
    txbMetaTAG->repaint();
    if (!commonWordsAvailable(cboLanguage->currentIndex()) && chkIgnoreCommonWords->isChecked())
        showCommonWordsNotAvailable(cboLanguage->currentIndex());
}

bool MainWindow::commonWordsAvailable(int language) const
{
    return language >= 0 && language < kLanguageCount &&
           commonWords_.list(static_cast<LanguageIndex>(language)).available();
}

void MainWindow::showCommonWordsNotAvailable(int language)
{
    showUserMessage(dialogs(), commonWordsNotAvailable(toPath(context_.dataFolder),
                                                       static_cast<LanguageIndex>(language)));
    chkIgnoreCommonWords->setChecked(false);
}

// Waits with the window alive, so that the start-up progress can be read.
void MainWindow::pause(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::singleFileChosen()
{
    cmdFolder->setEnabled(false);
    txbFolder->setEnabled(false);
    cmdClearFolder->setEnabled(false);
    cmdInputFile->setEnabled(true);
    txbInputFile->setEnabled(true);
    cmdClearInputFile->setEnabled(true);
    cmdShowExistingKeywordMetaTag->setText(QStringLiteral("Show existing keywords etc."));
    cmdListWords->setText(QStringLiteral("List words"));
    cmdListWords->setEnabled(true);
    cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate/show keywords meta tag"));
    // What the multiple-files mode showed goes first, so that the row never holds both at once
    // and the window does not widen for it.
    cmdRestoreBackups->setVisible(false);
    lblMetaTagInserted->setVisible(false);
    cmdViewReport->setVisible(false);
    optInsertionWithBackup->setVisible(true);
    optInsertionWithoutBackup->setVisible(true);
    cmdInsert->setVisible(true);
    if (startUpCompleted_) {
        txbInputFile->setText(rememberedInputFile_);
        rememberedFolder_ = txbFolder->text();
        txbFolder->clear();
        rememberedOutput_[1] = txbMetaTAG->toPlainText();
        txbMetaTAG->setPlainText(rememberedOutput_[0]);
    }
    lblNumberOfWords->clear();
}

void MainWindow::multipleFilesChosen()
{
    cmdInputFile->setEnabled(false);
    txbInputFile->setEnabled(false);
    cmdClearInputFile->setEnabled(false);
    cmdFolder->setEnabled(true);
    txbFolder->setEnabled(true);
    cmdClearFolder->setEnabled(true);
    cmdShowExistingKeywordMetaTag->setText(QStringLiteral("Set operation parameters"));
    cmdListWords->setText(programText(kSaveStateText));
    cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate/insert keywords meta tag"));
    optInsertionWithBackup->setVisible(false);
    optInsertionWithoutBackup->setVisible(false);
    cmdInsert->setVisible(false);
    cmdRestoreBackups->setVisible(true);
    lblMetaTagInserted->setVisible(true);
    cmdViewReport->setVisible(multipleFiles_ && multipleFiles_->reportHasText());
    if (startUpCompleted_) {
        txbFolder->setText(rememberedFolder_);
        rememberedInputFile_ = txbInputFile->text();
        txbInputFile->clear();
        rememberedOutput_[0] = txbMetaTAG->toPlainText();
        txbMetaTAG->setPlainText(rememberedOutput_[1]);
    }
    lblNumberOfWords->clear();
}

void MainWindow::showCurrentFile(const QString& path)
{
    txbInputFile->setText(path);
    txbInputFile->repaint();
    rememberedInputFile_ = path;
}

bool MainWindow::singleFileMode() const
{
    return optSingleFile->isChecked();
}

void MainWindow::enableDisableButtons(bool enable)
{
    busy_ = !enable;
    for (QWidget* control : std::initializer_list<QWidget*>{
             cmdShowExistingKeywordMetaTag, cmdGenerateKeywordMetaTag, cmdReset,
             cmdClearBeginMetaTagWith, cmdClearWordsToIgnore, cmdHelp, cmdClearOutput, cmdInsert,
             cmdRestoreBackups,
             txbMaxNumKeywordsInMetaTag, txbMaxNumBytesInMetaTag, optSingleFile, optMultipleFiles})
        control->setEnabled(enable);
    txbInputFile->setReadOnly(!enable);
    txbFolder->setReadOnly(!enable);
    if (optMultipleFiles->isChecked()) {
        cmdInputFile->setEnabled(false);
        cmdClearInputFile->setEnabled(false);
        cmdFolder->setEnabled(enable);
        cmdClearFolder->setEnabled(enable);
        cmdListWords->setText(QStringLiteral("Stop"));
        cmdListWords->setEnabled(!enable);
    } else {
        cmdInputFile->setEnabled(enable);
        cmdClearInputFile->setEnabled(enable);
        cmdFolder->setEnabled(false);
        cmdClearFolder->setEnabled(false);
        cmdListWords->setEnabled(true);
        cmdListWords->setText(enable ? QStringLiteral("List words") : QStringLiteral("Stop"));
    }
    // While busy the focus rests on Stop, so that no entry box is left (and checked) when the
    // commands come back.
    if (!enable && isVisible() && cmdListWords->isEnabled())
        cmdListWords->setFocus();
    repaint();
}

void MainWindow::setTheFocus()
{
    if (!isVisible())
        return;
    if (optSingleFile->isChecked() && txbInputFile->text().isEmpty())
        cmdInputFile->setFocus();
    else if (optMultipleFiles->isChecked() && txbFolder->text().isEmpty())
        cmdFolder->setFocus();
    else if (cmdGenerateKeywordMetaTag->isEnabled())
        cmdGenerateKeywordMetaTag->setFocus();
}

bool MainWindow::isBakFile(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash >= 0 && path.mid(slash + 1).toLower().contains(QLatin1String(".bak."));
}

// Ticked, the window starts 300 twips from the top and takes 90 % of the screen's height;
// unticked, it takes its height at load again, centred vertically. The output box takes up the
// difference (the layout keeps the frame below it).
void MainWindow::largeWindowClicked()
{
    const QRect screenArea = screen()->geometry();
    if (chkLargeWindow->isChecked()) {
        move(x(), screenArea.top() + twipsToPixels(300));
        // The 90 % are the frame's, title bar included.
        const int frameExtra = frameGeometry().height() - height();
        resize(width(), screenArea.height() * 9 / 10 - frameExtra);
        keepOnScreen();
    } else {
        resize(width(), normalHeight_);
        move(x(), screenArea.top() + (screenArea.height() - frameGeometry().height()) / 2);
        keepOnScreen();
    }
    setTheFocus();
}

// Moves the window up or left just enough for its frame to stay on the screen.
void MainWindow::keepOnScreen()
{
    const QRect frame = frameGeometry();
    const QRect kept = keptOnScreen(frame);
    if (kept.topLeft() != frame.topLeft())
        move(kept.topLeft());
}

// The window manager's frame is known only after the first showing: once it is, the window is
// kept on the screen with it. Later moves are the user's.
void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    const QWindow* handle = windowHandle();
    if (!framedOnScreen_ && handle && !handle->frameMargins().isNull()) {
        framedOnScreen_ = true;
        keepOnScreen();
    }
}

void MainWindow::applyBackColor()
{
    applyFormBackColor(this, colorFromValue(backColor_));
}

// A double click on the window's background (not on a control) toggles light green and grey.
void MainWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QWidget* hit = childAt(event->position().toPoint());
    if (hit && hit != Frame1) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    backColor_ = backColor_ == kLightGreen ? kLightGrey : kLightGreen;
    applyBackColor();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // A message box or a popup taking the focus is no leaving of the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !busy_) {
            if (watched == txbInputFile)
                inputFileLeft();
            else if (watched == txbFolder)
                folderLeft();
            else if (watched == txbMaxNumKeywordsInMetaTag)
                maxKeywordsLeft();
            else if (watched == txbMaxNumBytesInMetaTag)
                maxBytesLeft();
            else if (watched == txbWordsToIgnore)
                wordsToIgnoreLeft();
        }
    } else if (event->type() == QEvent::KeyRelease &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
               qobject_cast<QPushButton*>(watched)) {
        openHelp();
        return true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == lblQuorvexSystems)
            openWebLink(programText(kMakerWebsiteText), context_.openAddress, dialogs());
        else if (watched == lblOnlineDocumentation)
            openWebLink(programText(kUserManualText), context_.openAddress, dialogs());
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing during an analysis stops it as Stop would.
    if (busy_)
        stop_ = true;
    quit();
    event->accept();
}

void MainWindow::openHelp()
{
    if (!helpWindow_) {
        const QString manual = programText(kUserManualText);
        helpWindow_ = new HelpWindow(*this, helpText(manual + QStringLiteral("#single-file"),
                                                     manual + QStringLiteral("#multiple-files")));
    }
    helpWindow_->open();
}

void MainWindow::quit()
{
    if (parameterValues().saveStateOnQuit == 1)
        saveState();
}

} // namespace tagwright
