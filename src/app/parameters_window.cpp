#include "app/parameters_window.h"

#include "app/check_value.h"
#include "app/form_style.h"
#include "app/twips.h"
#include "app/window_frame.h"
#include "batch/site_words.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

namespace tagwright {

namespace {

constexpr int kNumDayChoices = 7;

// Indents the boxes that depend on the box above them.
QHBoxLayout* indented(QWidget* widget)
{
    auto* row = new QHBoxLayout;
    row->addSpacing(twipsToPixels(300));
    row->addWidget(widget);
    row->addStretch();
    return row;
}

} // namespace

ParametersWindow::ParametersWindow(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window)
{
    setObjectName(QStringLiteral("frmParameters"));
    setWindowTitle(tr("Set operation parameters"));

    lblFileExtensions_ =
        new QLabel(QStringLiteral("Act on files with the following extensions:"), this);
    lblFileExtensions_->setObjectName(QStringLiteral("lblFileExtensions"));
    chkHTM_ = addCheck("chkHTM", QStringLiteral("htm"), &ParameterValues::htm);
    chkHTML_ = addCheck("chkHTML", QStringLiteral("html"), &ParameterValues::html);
    chkSHTM_ = addCheck("chkSHTM", QStringLiteral("shtm"), &ParameterValues::shtm);
    chkSHTML_ = addCheck("chkSHTML", QStringLiteral("shtml"), &ParameterValues::shtml);
    chkIncludeAllSubfolders_ =
        addCheck("chkIncludeAllSubfolders", QStringLiteral("Include all subfolders recursively"),
                 &ParameterValues::includeAllSubfolders);
    chkBackup_ = addCheck("chkBackup",
                          QStringLiteral("Make backups of files (e.g., abc.htm -> abc.bak.htm)"),
                          &ParameterValues::backup);
    chkConfirm_ =
        addCheck("chkConfirm",
                 QStringLiteral("Inspect keywords meta tag (and possibly edit) before inserting"),
                 &ParameterValues::confirm);
    chkLogOperations_ =
        addCheck("chkLogOperations", QStringLiteral("Log operations in the report window"),
                 &ParameterValues::logOperations);
    chkIncludeOldMetaTag_ = addCheck(
        "chkIncludeOldMetaTag", QStringLiteral("Include old keywords meta tag (if any) in report"),
        &ParameterValues::includeOldMetaTag);
    chkIncludeNewMetaTag_ =
        addCheck("chkIncludeNewMetaTag", QStringLiteral("Include new keywords meta tag in report"),
                 &ParameterValues::includeNewMetaTag);
    chkAddDone_ =
        addCheck("chkAddDone",
                 QStringLiteral("With each insertion insert a 'Done' meta tag with today's date"),
                 &ParameterValues::addDone);
    chkSkipDone_ = addCheck("chkSkipDone",
                            QStringLiteral("Skip files which have a 'Done' meta tag less than "),
                            &ParameterValues::skipDone);
    cboLessThanNDaysOld_ = new QComboBox(this);
    cboLessThanNDaysOld_->setObjectName(QStringLiteral("cboLessThanNDaysOld"));
    cboLessThanNDaysOld_->addItem(QStringLiteral("1 day old"));
    for (int days = 2; days <= kNumDayChoices; ++days)
        cboLessThanNDaysOld_->addItem(QStringLiteral("%1 days old").arg(days));
    chkDontLogDone_ =
        addCheck("chkDontLogDone", QStringLiteral("Don't log 'done' files if skipping them"),
                 &ParameterValues::dontLogDone);
    lblSiteWords_ = new QLabel(QStringLiteral("Leave out words found on more than "), this);
    lblSiteWords_->setObjectName(QStringLiteral("lblSiteWords"));
    txbSiteWords_ = new QLineEdit(this);
    txbSiteWords_->setObjectName(QStringLiteral("txbSiteWords"));
    // Empty, or a whole percent that a run takes (1 to 99): nothing else can be typed.
    txbSiteWords_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("([1-9][0-9]?)?")), txbSiteWords_));
    txbSiteWords_->setMaxLength(2);
    txbSiteWords_->setFixedWidth(
        txbSiteWords_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + twipsToPixels(120));
    lblSiteWords_->setBuddy(txbSiteWords_);
    lblSiteWordsOfPages_ = new QLabel(QStringLiteral(" % of the pages"), this);
    lblSiteWordsOfPages_->setObjectName(QStringLiteral("lblSiteWordsOfPages"));
    txbSiteWords_->setToolTip(
        QStringLiteral("Words that stand in the keywords of more than this share of the pages "
                       "of a run (a site's navigation, repeated on every page) are left out of "
                       "every tag. Empty: every word may enter the tags."));
    chkClearReportAtStart_ = addCheck("chkClearReportAtStart",
                                      QStringLiteral("Clear report window before each operation"),
                                      &ParameterValues::clearReportAtStart);
    chkDisplayWords_ =
        addCheck("chkDisplayWords", QStringLiteral("Display words as found (runs more slowly)"),
                 &ParameterValues::displayWords);
    chkDialogBoxForUnixFiles_ =
        addCheck("chkDialogBoxForUnixFiles",
                 QStringLiteral("Display a dialog box if a Unix/Linux file is encountered"),
                 &ParameterValues::dialogBoxForUnixFiles);
    // An LF page is read line by line as fast as a CR LF page, so nothing is asked about it;
    // the box stays for the saved state, which keeps its value.
    chkDialogBoxForUnixFiles_->setEnabled(false);
    chkDialogBoxForUnixFiles_->setToolTip(
        QStringLiteral("Pages with Unix/Linux line endings are now processed as fast as any "
                       "other page, so no dialog box is needed for them."));
    chkDialogBoxForInvalidEndFontTag_ =
        addCheck("chkDialogBoxForInvalidEndFontTag",
                 QStringLiteral("Display a dialog box if an invalid end-font tag is found"),
                 &ParameterValues::dialogBoxForInvalidEndFontTag);
    chkSaveStateOnQuit_ = addCheck("chkSaveStateOnQuit", QStringLiteral("Save state when quitting"),
                                   &ParameterValues::saveStateOnQuit);
    chkSaveStateOnClose_ =
        addCheck("chkSaveStateOnClose", QStringLiteral("Save state when closing this form"),
                 &ParameterValues::saveStateOnClose);
    cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));

    buildLayout();

    // Load: the final caption of the inspect box, then the window's style.
    chkConfirm_->setText(QStringLiteral("Inspect keywords meta tag ") +
                         QStringLiteral("(and possibly edit it) before insertion"));
    applyFormForeColor(this, Qt::black);
    applyFormBackColor(this, kSecondaryWindowBackColor);
    applyFormFontName(this, QStringLiteral("Arial"), false);

    connectDependencies();
    connect(cmdClose_, &QPushButton::clicked, this, &ParametersWindow::closeCommand);
    setValues(ParameterValues{});
}

QCheckBox* ParametersWindow::addCheck(const char* name, const QString& caption,
                                      int ParameterValues::*value)
{
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QString::fromLatin1(name));
    checks_.push_back({value, box});
    return box;
}

void ParametersWindow::buildLayout()
{
    auto* extensions = new QHBoxLayout;
    for (QCheckBox* box : {chkHTM_, chkHTML_, chkSHTM_, chkSHTML_})
        extensions->addWidget(box);
    extensions->addStretch();

    auto* skipDone = new QHBoxLayout;
    skipDone->setSpacing(0);
    skipDone->addWidget(chkSkipDone_);
    skipDone->addWidget(cboLessThanNDaysOld_);
    skipDone->addStretch();

    auto* siteWords = new QHBoxLayout;
    siteWords->setSpacing(0);
    siteWords->addWidget(lblSiteWords_);
    siteWords->addWidget(txbSiteWords_);
    siteWords->addWidget(lblSiteWordsOfPages_);
    siteWords->addStretch();

    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(cmdClose_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFileExtensions_);
    layout->addLayout(extensions);
    layout->addWidget(chkIncludeAllSubfolders_);
    layout->addWidget(chkBackup_);
    layout->addWidget(chkConfirm_);
    layout->addWidget(chkAddDone_);
    layout->addLayout(skipDone);
    layout->addLayout(indented(chkDontLogDone_));
    layout->addLayout(siteWords);
    layout->addWidget(chkLogOperations_);
    layout->addLayout(indented(chkIncludeNewMetaTag_));
    layout->addLayout(indented(chkIncludeOldMetaTag_));
    layout->addWidget(chkClearReportAtStart_);
    layout->addWidget(chkDisplayWords_);
    layout->addWidget(chkDialogBoxForUnixFiles_);
    layout->addWidget(chkDialogBoxForInvalidEndFontTag_);
    layout->addWidget(chkSaveStateOnQuit_);
    layout->addWidget(chkSaveStateOnClose_);
    layout->addLayout(closeRow);
}

void ParametersWindow::connectDependencies()
{
    // Each rule fires whenever its first box changes, by the user or by the program, so
    // chkDontLogDone follows whichever of its two masters changed last.
    connect(chkSkipDone_, &QCheckBox::stateChanged, this, [this] {
        const bool skip = isTicked(chkSkipDone_);
        chkDontLogDone_->setEnabled(skip);
        cboLessThanNDaysOld_->setEnabled(skip);
    });
    connect(chkLogOperations_, &QCheckBox::stateChanged, this, [this] {
        const bool log = isTicked(chkLogOperations_);
        chkIncludeNewMetaTag_->setEnabled(log);
        chkIncludeOldMetaTag_->setEnabled(log);
        chkDontLogDone_->setEnabled(log);
    });
    // The old tag is never reported without the new one.
    connect(chkIncludeOldMetaTag_, &QCheckBox::stateChanged, this, [this] {
        if (isTicked(chkIncludeOldMetaTag_))
            chkIncludeNewMetaTag_->setChecked(true);
    });
    connect(chkIncludeNewMetaTag_, &QCheckBox::stateChanged, this, [this] {
        if (!isTicked(chkIncludeNewMetaTag_))
            chkIncludeOldMetaTag_->setChecked(false);
    });
    connect(cboLessThanNDaysOld_, &QComboBox::activated, this, [this] {
        if (isVisible())
            cmdClose_->setFocus();
    });
}

// Before any change the rules leave the enabled states open; settle them from the values, so
// that "Don't log 'done' files" is usable only when skipping and logging are both on.
void ParametersWindow::applyAllDependencies()
{
    const bool skip = isTicked(chkSkipDone_);
    const bool log = isTicked(chkLogOperations_);
    cboLessThanNDaysOld_->setEnabled(skip);
    chkIncludeNewMetaTag_->setEnabled(log);
    chkIncludeOldMetaTag_->setEnabled(log);
    chkDontLogDone_->setEnabled(skip && log);
}

ParameterValues ParametersWindow::values() const
{
    ParameterValues values;
    for (const CheckBinding& check : checks_)
        values.*check.value = checkValue(check.box);
    values.lessThanNDaysOld = cboLessThanNDaysOld_->currentIndex();
    values.siteWords = txbSiteWords_->text().toInt(); // 0 for the empty box
    return values;
}

void ParametersWindow::setValues(const ParameterValues& values)
{
    // The order of the saved state, so that the rules between the boxes fire as on loading it.
    static constexpr int ParameterValues::*kLoadOrder[] = {
        &ParameterValues::backup,
        &ParameterValues::confirm,
        &ParameterValues::addDone,
        &ParameterValues::skipDone,
        &ParameterValues::dontLogDone,
        &ParameterValues::displayWords,
        &ParameterValues::htm,
        &ParameterValues::html,
        &ParameterValues::shtm,
        &ParameterValues::shtml,
        &ParameterValues::includeAllSubfolders,
        &ParameterValues::includeNewMetaTag,
        &ParameterValues::includeOldMetaTag,
        &ParameterValues::logOperations,
        &ParameterValues::clearReportAtStart,
        &ParameterValues::dialogBoxForUnixFiles,
        &ParameterValues::dialogBoxForInvalidEndFontTag,
        &ParameterValues::saveStateOnQuit,
        &ParameterValues::saveStateOnClose};
    for (const auto value : kLoadOrder) {
        for (const CheckBinding& check : checks_) {
            if (check.value == value)
                setCheckValue(check.box, values.*value);
        }
    }
    const bool validDays = values.lessThanNDaysOld >= 0 && values.lessThanNDaysOld < kNumDayChoices;
    cboLessThanNDaysOld_->setCurrentIndex(validDays ? values.lessThanNDaysOld : 0);
    const bool siteWords = values.siteWords >= kFewestSiteWordsPercent &&
                           values.siteWords <= kMostSiteWordsPercent;
    txbSiteWords_->setText(siteWords ? QString::number(values.siteWords) : QString());
    applyAllDependencies();
}

void ParametersWindow::present()
{
    if (const auto* opener = parentWidget() ? parentWidget()->findChild<QPushButton*>(
                                                  QStringLiteral("cmdShowExistingKeywordMetaTag"))
                                            : nullptr)
        setWindowTitle(opener->text());
    if (isMinimized())
        showNormal();
    placeOverMainWindow();
    show();
    raise();
    activateWindow();
    cmdClose_->setFocus();
}

// In the main window's bottom right corner, or centred on the screen while the main window is
// minimised.
void ParametersWindow::placeOverMainWindow()
{
    const QWidget* main = parentWidget();
    if (!main)
        return;
    adjustSize();
    const QSize size = this->size().grownBy(frameMargins(*this, *main));
    QPoint topLeft;
    if (main->isMinimized()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        topLeft =
            screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2);
    } else {
        const QRect mainFrame = main->frameGeometry();
        const int margin = twipsToPixels(100);
        topLeft = QPoint(mainFrame.left() + mainFrame.width() - (size.width() + margin),
                         mainFrame.top() + mainFrame.height() - (size.height() + margin));
    }
    setFrameGeometry(*this, QRect(topLeft, size), *main);
}

void ParametersWindow::closeCommand()
{
    if (checkValue(chkSaveStateOnClose_) != 0)
        emit saveStateRequested();
    hide();
}

// The title-bar close box keeps the settings exactly like the Close button.
void ParametersWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    closeCommand();
}

} // namespace tagwright
