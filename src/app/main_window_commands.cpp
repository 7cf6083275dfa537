// The main window's commands: each reads the controls it needs, calls the core and shows what
// comes back.

#include "app/main_window.h"

#include "app/box_text.h"
#include "app/multiple_files_side.h"
#include "app/qt_text.h"
#include "app/window_analysis_host.h"
#include "app/window_thread.h"

#include "batch/insertion.h"
#include "batch/safe_replace.h"
#include "engine/analysis.h"
#include "engine/input_checks.h"
#include "output/existing_tags.h"
#include "output/meta_tag.h"
#include "output/word_list_report.h"
#include "support/dates.h"
#include "support/files.h"
#include "support/strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tagwright {

namespace {

constexpr int kSaveStateText = 21;

// A limit box read as a number and rounded to a 16-bit integer; an empty box gives 0.
int limitValue(const QString& text)
{
    bool parsed = false;
    const double value = text.trimmed().toDouble(&parsed);
    if (!parsed)
        return 0;
    return static_cast<int>(std::clamp(std::nearbyint(value),
                                       double(std::numeric_limits<std::int16_t>::min()),
                                       double(std::numeric_limits<std::int16_t>::max())));
}

int listValue(const QComboBox* list, int factor, int offset)
{
    return std::max(0, list->currentIndex()) * factor + offset;
}

bool ticked(const QCheckBox* box)
{
    return box->checkState() == Qt::Checked;
}

} // namespace

AnalysisSettings MainWindow::analysisSettings() const
{
    const ParameterValues parameters = parameterValues();
    AnalysisSettings settings;
    settings.titleWeight = listValue(cboTitleWeight, 10, 0);
    settings.descriptionWeight = listValue(cboDescriptionWeight, 10, 0);
    settings.existingKeywordsWeight = listValue(cboExistingKeywordsWeight, 10, 0);
    settings.boldWeight = listValue(cboBoldWeight, 1, 0);
    settings.italicWeight = listValue(cboItalicWeight, 1, 0);
    settings.tableWeight = listValue(cboTableWeight, 1, 0);
    settings.divWeight = listValue(cboDivWeight, 1, 0);
    settings.spanWeight = listValue(cboSpanWeight, 1, 0);
    settings.ignoreShortWords = ticked(chkIgnoreShortWords);
    settings.shortWordSize = listValue(cboShortWordSize, 1, 1);
    settings.minimumFrequency = listValue(cboThresholdFrequency, 1, 1);
    settings.ignoreCommonWords = ticked(chkIgnoreCommonWords);
    settings.language = static_cast<LanguageIndex>(listValue(cboLanguage, 1, 0));
    settings.preserveCase = ticked(chkPreserveCase);
    settings.wordsToIgnore = wordsToIgnoreList(toCp1252(txbWordsToIgnore->text()));
    settings.displayWords = parameters.displayWords == 1;
    settings.dialogForInvalidEndFontTag = parameters.dialogBoxForInvalidEndFontTag == 1;
    settings.logOperations = parameters.logOperations == 1;
    settings.singleFile = singleFileMode();
    return settings;
}

// Composition trims the begin phrase in its box as it reads it.
TagSettings MainWindow::tagSettings()
{
    txbBeginMetaTagWith->setText(txbBeginMetaTagWith->text().trimmed());
    TagSettings settings;
    settings.maxKeywords = limitValue(txbMaxNumKeywordsInMetaTag->text());
    settings.maxBytes = limitValue(txbMaxNumBytesInMetaTag->text());
    settings.beginWith = toCp1252(txbBeginMetaTagWith->text());
    settings.spaceAfterComma = ticked(chkSpaceAfterComma);
    settings.forwardSlash = ticked(chkForwardSlash);
    return settings;
}

std::string MainWindow::outputText() const
{
    return toCp1252(fromBoxText(txbMetaTAG->toPlainText()));
}

void MainWindow::setOutputText(const std::string& text)
{
    txbMetaTAG->setPlainText(toBoxText(fromCp1252(text)));
}

void MainWindow::appendOutputText(const std::string& text)
{
    QTextCursor cursor = txbMetaTAG->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toBoxText(fromCp1252(text)));
    txbMetaTAG->setTextCursor(cursor);
}

void MainWindow::doIt(bool generateMetaTag)
{
    if (!wordTableCurrent_) {
        txbInputFile->setText(txbInputFile->text().trimmed());
        const std::string path = toPath(txbInputFile->text());
        if (const std::optional<UserMessage> refusal = inputFileMessage(path)) {
            showUserMessage(dialogs(), *refusal);
            return;
        }
        stop_ = false;
        const int changesBefore = changesOfInput_;
        const AnalysisSettings settings = analysisSettings();
        // Stop is there from the start: the file is read off the window's thread.
        enableDisableButtons(false);
        AnalysisOutcome outcome;
        runOffWindowThread(
            [&] { outcome = doFile(path, settings, commonWords_, *analysisHost_, wordTable_); });
        analysisHost_->endRun();
        if (outcome.result != kAnalysisDone) {
            if (const std::optional<UserMessage> message = analysisResultMessage(outcome))
                showUserMessage(dialogs(), *message);
            enableDisableButtons(true);
            setTheFocus();
            return;
        }
        // A setting changed while the file was read leaves the table stale, though it is shown.
        wordTableCurrent_ = changesOfInput_ == changesBefore;
    }
    showWords(generateMetaTag);
    setTheFocus();
}

void MainWindow::showWords(bool generateMetaTag)
{
    if (generateMetaTag) {
        setOutputText(generateKeywordMetaTag(wordTable_, tagSettings(), analysisSettings()));
    } else {
        // A long list is shown as it grows, with the caret at its end, then from its start.
        setOutputText(showWordList(wordTable_, analysisSettings(), [this](std::string_view soFar) {
            setOutputText(std::string(soFar));
            txbMetaTAG->moveCursor(QTextCursor::End);
            txbMetaTAG->repaint();
        }));
        txbMetaTAG->moveCursor(QTextCursor::Start);
    }
}

void MainWindow::reportNowGenerating()
{
    // Only a multiple-files run leaves its status text at the end of the report.
    if (multipleFiles_ && !singleFileMode())
        multipleFiles_->reportNowGenerating();
}

void MainWindow::chooseInputFile()
{
    markTableStale();
    const QString chosen = dialogs().openFileName(
        QStringLiteral("Specify input file"),
        QStringLiteral(
            "HTML files (*.htm, *.html, *.shtm, *.shtml) | *.htm;*.html;*.shtm;*.shtml"));
    if (chosen.isEmpty())
        return;
    txbInputFile->setText(chosen);
    txbMetaTAG->clear();
    lblNumberOfWords->clear();
    if (isBakFile(chosen)) {
        dialogs().showMessage(cmdInputFile->text(),
                              QStringLiteral("This software does not act on '.bak.' files."),
                              MessageIcon::Information);
        txbInputFile->clear();
    } else {
        validateInputFile(chosen);
    }
    setTheFocus();
}

void MainWindow::chooseFolder()
{
    const QString chosen = dialogs().folderName(QStringLiteral("Select Folder"));
    if (!chosen.isEmpty())
        txbFolder->setText(chosen);
    setTheFocus();
}

void MainWindow::listWordsClicked()
{
    if (cmdListWords->text() == QLatin1String("Stop")) {
        stop_ = true;
        return;
    }
    if (singleFileMode()) {
        doIt(false);
        return;
    }
    if (!saveState())
        dialogs().showMessage(programText(kSaveStateText),
                              QStringLiteral("Error when attempting to save the state"),
                              MessageIcon::Warning);
    setTheFocus();
}

void MainWindow::generateClicked()
{
    if (singleFileMode()) {
        doIt(true);
        return;
    }
    if (folderChecked() && multipleFiles_)
        multipleFiles_->runBatch();
}

void MainWindow::restoreBackupsClicked()
{
    if (folderChecked() && multipleFiles_)
        multipleFiles_->restoreBackups();
    setTheFocus();
}

// The folder box, trimmed, names a folder that exists; else the user is told.
bool MainWindow::folderChecked()
{
    txbFolder->setText(txbFolder->text().trimmed());
    const QString title = QStringLiteral("Invalid input");
    if (txbFolder->text().isEmpty())
        dialogs().showMessage(title, QStringLiteral("No input folder specified."),
                              MessageIcon::Warning);
    else if (!isDirectory(toPath(txbFolder->text())))
        dialogs().showMessage(title, QStringLiteral("Folder does not exist"), MessageIcon::Warning);
    else
        return true;
    return false;
}

void MainWindow::showExistingClicked()
{
    if (!singleFileMode()) {
        if (multipleFiles_)
            multipleFiles_->showParameters();
        return;
    }
    showExistingTags();
    setTheFocus();
}

void MainWindow::showExistingTags()
{
    txbInputFile->setText(txbInputFile->text().trimmed());
    // A UTF-8 page's texts come in the box's code page, as on the command line.
    const std::string path = toPath(txbInputFile->text());
    ExistingTags tags;
    runWithCommandsDisabled([&] { tags = existingTagsOfFile(path); });
    if (tags.refusal) {
        showUserMessage(dialogs(), *tags.refusal);
        return;
    }
    setOutputText(tags.text);
}

// The refusals before an insertion, each titled with the command's caption.
bool MainWindow::checkInsertion(const QString& title)
{
    txbInputFile->setText(txbInputFile->text().trimmed());
    txbMetaTAG->setPlainText(txbMetaTAG->toPlainText().trimmed());
    QString refusal;
    MessageIcon icon = MessageIcon::Warning;
    if (txbInputFile->text().isEmpty()) {
        refusal = QStringLiteral("Input file not specified.");
    } else if (txbMetaTAG->toPlainText().isEmpty()) {
        refusal = QStringLiteral("Nothing to insert.");
    } else if (!wordTableCurrent_ || wordTable_.count() == 0) {
        refusal = QStringLiteral("The keywords meta tag has not been generated.");
        icon = MessageIcon::Information;
    } else if (!fileExists(toPath(txbInputFile->text()))) {
        refusal = QStringLiteral("File not found.");
    }
    if (refusal.isEmpty())
        return true;
    dialogs().showMessage(title, refusal, icon);
    return false;
}

void MainWindow::insertClicked()
{
    const QString title = cmdInsert->text();
    if (checkInsertion(title)) {
        showWords(true);
        const ParameterValues parameters = parameterValues();
        const bool withDone = parameters.confirm == 1
                                  ? multipleFiles_ && multipleFiles_->inspectDoneTicked()
                                  : parameters.addDone != 0;
        InsertRequest request;
        request.tag = tagWithoutTabs(getMetaTag(outputText()));
        request.path = toPath(txbInputFile->text());
        request.backup = optInsertionWithBackup->isChecked();
        request.withDone = withDone;
        request.doneDate = formatDate(clock().today());
        request.logOldTag = parameters.includeOldMetaTag == 1;
        request.logNewTag = parameters.includeNewMetaTag == 1;
        ReportLog* const log = multipleFiles_ ? &multipleFiles_->reportLog() : nullptr;
        bool replacesBackup = false;
        InsertOutcome outcome;
        runWithCommandsDisabled([&] {
            request.utf8 = isTextFile(request.path, 16384, 0.1, true).utf8;
            // A backup already there is overwritten: it then holds the last version, not the
            // original.
            replacesBackup = request.backup && fileExists(backupFileName(request.path));
            outcome = insertMetaTag(request, log);
        });
        const InsertResultMessage message = insertResultMessage(outcome.result, toCp1252(title));
        const MessageIcon icon =
            outcome.result == kInserted ? MessageIcon::Information : MessageIcon::Warning;
        QString text = fromCp1252(message.text);
        if (!outcome.causeText().empty()) // the message alone does not say why the page was kept
            text += QStringLiteral("\r\n") + QString::fromStdString(outcome.causeText());
        dialogs().showMessage(fromCp1252(message.title), text, icon);
        if (outcome.result == kInserted && request.backup)
            dialogs().showMessage(
                title,
                (replacesBackup ? QStringLiteral("The previous version of the file (not the "
                                                 "original) was backed up as\r\n")
                                : QStringLiteral("The original file was backed up as\r\n")) +
                    fromPath(outcome.backupFile),
                MessageIcon::Information);
    }
    setTheFocus();
}

// For work that cannot be given up: no Stop meanwhile.
void MainWindow::runWithCommandsDisabled(const std::function<void()>& work)
{
    enableDisableButtons(false);
    cmdListWords->setEnabled(false);
    runOffWindowThread(work);
    enableDisableButtons(true);
}

void MainWindow::viewReportClicked()
{
    if (multipleFiles_)
        multipleFiles_->showReport();
}

void MainWindow::clearInputFile()
{
    txbInputFile->clear();
    markTableStale();
    if (cmdInputFile->isEnabled())
        cmdInputFile->setFocus();
}

void MainWindow::clearFolder()
{
    txbFolder->clear();
    if (cmdFolder->isEnabled())
        cmdFolder->setFocus();
}

void MainWindow::clearOutput()
{
    txbMetaTAG->clear();
    lblNumberOfWords->clear();
    if (multipleFiles_)
        multipleFiles_->resetReportFull();
    markTableStale();
    setTheFocus();
}

} // namespace tagwright
