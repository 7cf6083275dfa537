// The main window's entries: each box is checked when it loses the focus, each setting marks
// the word table stale.

#include "app/main_window.h"

#include "app/qt_text.h"

#include "engine/input_checks.h"
#include "support/files.h"
#include "support/strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

namespace tagwright {

namespace {

constexpr int kDefaultMaxKeywords = 50;
constexpr int kDefaultMaxBytes = 500;

// The value of a whole-number box: its leading digits, with an optional "+".
qint64 boxNumber(const QString& text)
{
    std::string digits = toCp1252(text);
    keepSignedDigits(digits, false);
    if (!digits.empty() && digits.front() == '+')
        digits.erase(0, 1);
    if (digits.size() > 12)
        return std::numeric_limits<qint64>::max();
    return digits.empty() ? 0 : std::stoll(digits);
}

} // namespace

// Checks a name for the single input file. Once start-up has completed a wrong name is
// explained; during start-up it is dropped silently.
bool MainWindow::validateInputFile(const QString& path)
{
    const std::string name = toPath(path);
    const std::optional<UserMessage> message = tagwright::validateInputFile(name);
    if (!message)
        return true;
    if (startUpCompleted_) {
        showUserMessage(dialogs(), *message);
    } else {
        const std::string folder = folderPart(name, false);
        if (!folder.empty() && isDirectory(folder))
            QDir::setCurrent(fromPath(folder));
        txbInputFile->clear();
    }
    return false;
}

void MainWindow::inputFileLeft()
{
    txbInputFile->setText(txbInputFile->text().trimmed());
    if (!txbInputFile->text().isEmpty())
        validateInputFile(txbInputFile->text());
    markTableStale();
    setTheFocus();
}

void MainWindow::folderLeft()
{
    txbFolder->setText(txbFolder->text().trimmed());
    if (!txbFolder->text().isEmpty() && !isDirectory(toPath(txbFolder->text())))
        dialogs().showMessage(QStringLiteral("Invalid input"),
                              QStringLiteral("Folder does not exist."), MessageIcon::Warning);
    markTableStale();
    setTheFocus();
}

void MainWindow::resetEntry(QLineEdit& box, const QString& value)
{
    box.setText(value);
    box.setFocus();
    box.end(false);
}

void MainWindow::maxKeywordsLeft()
{
    std::string digits = toCp1252(txbMaxNumKeywordsInMetaTag->text());
    keepSignedDigits(digits, false);
    txbMaxNumKeywordsInMetaTag->setText(fromCp1252(digits));
    if (digits.empty()) {
        txbMaxNumKeywordsInMetaTag->setText(QString::number(kDefaultMaxKeywords));
        return;
    }
    const qint64 n = boxNumber(txbMaxNumKeywordsInMetaTag->text());
    const QString title = QStringLiteral("Number of keywords");
    if (n < TagSettings::kFewestKeywords) {
        dialogs().showMessage(title,
                              QStringLiteral("Minimum number of keywords in the meta tag is %1.")
                                  .arg(TagSettings::kFewestKeywords),
                              MessageIcon::Information);
        resetEntry(*txbMaxNumKeywordsInMetaTag, QString::number(kDefaultMaxKeywords));
    } else if (n > TagSettings::kMostKeywords) {
        dialogs().showMessage(title,
                              QStringLiteral("Maximum number of keywords in the meta tag is %1.")
                                  .arg(TagSettings::kMostKeywords),
                              MessageIcon::Information);
        resetEntry(*txbMaxNumKeywordsInMetaTag, QString::number(kDefaultMaxKeywords));
    }
}

void MainWindow::maxBytesLeft()
{
    std::string digits = toCp1252(txbMaxNumBytesInMetaTag->text());
    keepSignedDigits(digits, false);
    txbMaxNumBytesInMetaTag->setText(fromCp1252(digits));
    if (!digits.empty() && boxNumber(txbMaxNumBytesInMetaTag->text()) > TagSettings::kMostBytes) {
        dialogs().showMessage(productName_,
                              QStringLiteral("Maximum number of bytes in the meta tag is %1.")
                                  .arg(TagSettings::kMostBytes),
                              MessageIcon::None);
        resetEntry(*txbMaxNumBytesInMetaTag, QString::number(kDefaultMaxBytes));
    }
}

void MainWindow::wordsToIgnoreLeft()
{
    txbWordsToIgnore->setText(
        fromCp1252(normaliseWordsToIgnore(toCp1252(txbWordsToIgnore->text()))));
    markTableStale();
}

void MainWindow::languageChosen()
{
    const int language = cboLanguage->currentIndex();
    if (!commonWordsAvailable(language))
        showCommonWordsNotAvailable(language);
    else
        markTableStale();
    germanChosen_ = language == static_cast<int>(LanguageIndex::German);
    setTheFocus();
}

void MainWindow::ignoreCommonWordsClicked()
{
    if (chkIgnoreCommonWords->isChecked() && !commonWordsAvailable(cboLanguage->currentIndex()))
        showCommonWordsNotAvailable(cboLanguage->currentIndex());
    markTableStale();
    setTheFocus();
}

void MainWindow::preserveCaseClicked()
{
    if (!chkPreserveCase->isChecked() && germanChosen_) {
        const Answer answer = dialogs().ask(
            QStringLiteral("Confirmation"),
            QStringLiteral("For German text it is better to keep upper/lower case.\r\n\r\n"
                           "Are you sure you want all keywords in lower case?"),
            QuestionButtons::YesNoCancel, MessageIcon::None, Answer::Yes);
        if (answer != Answer::Yes)
            chkPreserveCase->setChecked(true);
    }
    markTableStale();
    setTheFocus();
}

void MainWindow::settingChanged()
{
    markTableStale();
    setTheFocus();
}

} // namespace tagwright
