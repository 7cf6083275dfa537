#include "app/report_window.h"

#include "app/box_text.h"
#include "app/dialogs.h"
#include "app/form_style.h"
#include "app/minimisable.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "app/window_frame.h"
#include "app/window_thread.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextCursor>
#include <QWindow>

#include <utility>

namespace tagwright {

namespace {

constexpr int kShortCopyWidth = 2115; // twips
constexpr int kLongCopyWidth = 3165;
constexpr int kMinimumHeight = 3000;
constexpr int kMinimumWidth = 7500;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

ReportWindow::ReportWindow(QWidget* mainWindow, Dialogs& dialogs, QString saveFailureTitle)
    // An ordinary window: the main window can cover it, and minimising it leaves the main window
    // alone; only during a run is it kept in front (setKeptInFront).
    : QWidget(mainWindow, Qt::Window), dialogs_(dialogs),
      saveFailureTitle_(std::move(saveFailureTitle))
{
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report"));
    txbText_ = new QPlainTextEdit(this);
    txbText_->setObjectName(QStringLiteral("txbText"));
    txbText_->setReadOnly(true);
    txbText_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txbText_->setFont(QFont(QStringLiteral("Courier New")));
    txbText_->viewport()->installEventFilter(this);
    cmdSaveToFile_ = makeButton(this, "cmdSaveToFile", QStringLiteral("Save to file"));
    cmdSaveAsWebPage_ =
        makeButton(this, "cmdSaveAsWebPage", QStringLiteral("Save as web page..."));
    cmdSaveAsWebPage_->setEnabled(false);
    cmdCopyToClipboard_ =
        makeButton(this, "cmdCopyToClipboard", QStringLiteral("Copy selected text to clipboard"));
    cmdClose_ = makeButton(this, "cmdClose", QStringLiteral("Close"));

    applyFormForeColor(this, Qt::black);
    applyFormBackColor(this, kSecondaryWindowBackColor);

    setMinimumSize(std::max(twipsToPixels(kMinimumWidth), widthOfTheButtons()),
                   twipsToPixels(kMinimumHeight));
    resize(twipsToPixels(9000), twipsToPixels(4500));
    setCopyCaption(false);

    connect(cmdSaveToFile_, &QPushButton::clicked, this, &ReportWindow::saveToFile);
    connect(cmdSaveAsWebPage_, &QPushButton::clicked, this, &ReportWindow::saveAsWebPage);
    connect(cmdCopyToClipboard_, &QPushButton::clicked, this, &ReportWindow::copyToClipboard);
    connect(cmdClose_, &QPushButton::clicked, this, &ReportWindow::closeCommand);
    log_.setChangeListener([this](const ReportChange& change) { followLog(change); });
}

// A run changes the log on its own thread: the window takes what changed when it comes to it,
// the changes made meanwhile as one, and never the whole text under the lock.
void ReportWindow::followLog(const ReportChange& change)
{
    if (onTheWindowThread()) {
        // What a run changed before comes first.
        showPendingChange();
        showChange(change.kept, change.appended);
        return;
    }
    const std::lock_guard lock(pendingMutex_);
    if (pending_) {
        // The later change keeps at most what the earlier left: the bytes kept before it and
        // what it appended.
        if (change.kept >= pending_->kept) {
            pending_->appended.resize(change.kept - pending_->kept);
        } else {
            pending_->kept = change.kept;
            pending_->appended.clear();
        }
        pending_->appended.append(change.appended);
        return;
    }
    pending_ = PendingChange{change.kept, std::string(change.appended)};
    postToWindowThread([this] { showPendingChange(); });
}

void ReportWindow::showPendingChange()
{
    std::optional<PendingChange> taken;
    {
        const std::lock_guard lock(pendingMutex_);
        taken = std::exchange(pending_, std::nullopt);
    }
    if (taken)
        showChange(taken->kept, taken->appended);
}

namespace {

// The positions that text takes in a text box's document: one a character, and one for a CR LF
// that the box text still holds (after a lone CR).
int documentLength(std::string_view text)
{
    const QString boxText = toBoxText(fromCp1252(text));
    return static_cast<int>(boxText.size() - boxText.count(QLatin1String("\r\n")));
}

} // namespace

// Follows the log: what it no longer holds leaves the box, what it appended is added; the caret
// goes to the end, so the view follows the log.
void ReportWindow::showChange(std::size_t kept, std::string_view appended)
{
    kept = std::min(kept, shownText_.size());
    // A CR kept without the LF that followed it would end the box's line on its own: it goes
    // too and comes again with what follows, so that the box reads CR LF as one line end.
    std::string added;
    if (kept > 0 && shownText_[kept - 1] == '\r') {
        --kept;
        added = "\r";
    }
    added.append(appended);
    if (kept == 0) {
        txbText_->setPlainText(toBoxText(fromCp1252(added)));
    } else {
        QTextCursor cursor(txbText_->document());
        const int end = txbText_->document()->characterCount() - 1;
        cursor.setPosition(end - documentLength(std::string_view(shownText_).substr(kept)));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(toBoxText(fromCp1252(added)));
    }
    shownText_.resize(kept);
    shownText_.append(added);
    moveCaretToEnd();
}

void ReportWindow::moveCaretToEnd()
{
    txbText_->moveCursor(QTextCursor::End);
    txbText_->ensureCursorVisible();
}

void ReportWindow::setButtonsEnabled(bool enabled)
{
    for (QPushButton* button : {cmdSaveToFile_, cmdCopyToClipboard_, cmdClose_})
        button->setEnabled(enabled);
    cmdSaveAsWebPage_->setEnabled(enabled && siteReportFinished_);
}

void ReportWindow::beginSiteReport(ReportedRun run)
{
    siteReport_ = std::make_unique<SiteReport>(std::move(run));
    siteReportFinished_ = false;
    cmdSaveAsWebPage_->setEnabled(false);
}

void ReportWindow::addToSiteReport(const PageRecord& page)
{
    if (siteReport_)
        siteReport_->add(page);
}

void ReportWindow::finishSiteReport(const BatchCounts& counts)
{
    if (!siteReport_)
        return;
    siteReport_->setCounts(counts);
    siteReportFinished_ = true;
    cmdSaveAsWebPage_->setEnabled(cmdSaveToFile_->isEnabled());
}

// During a run the report is a dialog of the main window, which the window manager keeps in
// front of it, also while a question or the inspect window is up. The window system learns of
// that link only as the window is mapped, and only for a dialog, so the window is shown anew
// when the link changes. While linked it is marked as a toolbar of the main window: a window
// manager minimises a dialog together with the window it belongs to (without a taskbar the
// program would be gone), and for a toolbar it offers no minimise at all.
void ReportWindow::setKeptInFront(bool inFront)
{
    if (inFront == keptInFront_)
        return;
    keptInFront_ = inFront;
    const bool shown = isVisible();
    const Qt::WindowStates states = windowState();
    setWindowFlags(inFront ? Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                           : Qt::Window);
    if (shown) {
        setWindowState(states);
        show();
    }
}

// Qt makes every child window transient for its parent when it creates it; the link stands
// only while the report is kept in front.
void ReportWindow::linkToMainWindow()
{
    QWindow* window = windowHandle();
    if (!window)
        return;
    QWindow* main = keptInFront_ && parentWidget() ? parentWidget()->window()->windowHandle()
                                                   : nullptr;
    window->setTransientParent(main);
}

void ReportWindow::showEvent(QShowEvent* event)
{
    linkToMainWindow();
    setMinimisable(*this, !keptInFront_);
    QWidget::showEvent(event);
}

void ReportWindow::present()
{
    setCopyCaption(false);
    if (isMinimized()) {
        showNormal();
    } else if (!isVisible()) {
        if (!isMaximized())
            placeOverMainWindow();
        show();
    }
    raise();
    activateWindow();
    repaint();
}

void ReportWindow::saveToFile()
{
    if (log_.text().empty())
        return;
    const QString path =
        dialogs_.saveFileName(QStringLiteral("Specify file to save to."), QString(), QString());
    if (!path.isEmpty()) {
        const std::string error = saveReportToFile(log_.text(), toPath(path));
        if (!error.empty())
            dialogs_.showMessage(saveFailureTitle_, QString::fromStdString(error),
                                 MessageIcon::Warning);
    }
    // The dialogs belong to the main window, which comes to the front when they close.
    raise();
    activateWindow();
}

// The last run as one web page, written as the command line's --report-html writes it.
void ReportWindow::saveAsWebPage()
{
    if (!siteReportFinished_)
        return;
    const QString path =
        dialogs_.saveFileName(QStringLiteral("Save the report as a web page."),
                              QStringLiteral("Web pages|*.html;*.htm"), QStringLiteral("report.html"));
    if (!path.isEmpty()) {
        const std::string error = siteReport_->save(toPath(path));
        if (!error.empty())
            dialogs_.showMessage(saveFailureTitle_, QString::fromStdString(error),
                                 MessageIcon::Warning);
    }
    raise();
    activateWindow();
}

void ReportWindow::copyToClipboard()
{
    if (!log_.text().empty()) {
        const QTextCursor selection = txbText_->textCursor();
        const QString text =
            selection.hasSelection()
                ? selection.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
                : txbText_->toPlainText();
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->clear();
        clipboard->setText(text);
        setCopyCaption(false);
    }
    cmdClose_->setFocus();
}

// Closing keeps the log; the main window's "View report" brings it back.
void ReportWindow::closeCommand()
{
    if (QWidget* main = parentWidget()) {
        const bool hasText = !shownText_.empty();
        if (auto* viewReport = main->findChild<QPushButton*>(QStringLiteral("cmdViewReport")))
            viewReport->setVisible(hasText);
        if (auto* numberOfWords = main->findChild<QLabel*>(QStringLiteral("lblNumberOfWords"));
            numberOfWords && hasText)
            numberOfWords->clear();
    }
    hide();
}

void ReportWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    closeCommand();
}

void ReportWindow::setCopyCaption(bool selection)
{
    cmdCopyToClipboard_->setText(selection ? QStringLiteral("Copy selected text to clipboard")
                                           : QStringLiteral("Copy to clipboard"));
    cmdCopyToClipboard_->resize(twipsToPixels(selection ? kLongCopyWidth : kShortCopyWidth),
                                cmdCopyToClipboard_->height());
    centreCopyButton();
}

// Centred in the room between the two save buttons and Close, which the longer caption fits.
void ReportWindow::centreCopyButton()
{
    const int left = cmdSaveAsWebPage_->geometry().right() + 1;
    const int room = cmdClose_->x() - left;
    cmdCopyToClipboard_->move(left + (room - cmdCopyToClipboard_->width()) / 2,
                              cmdCopyToClipboard_->y());
}

// The four buttons side by side, the copy button with its longer caption.
int ReportWindow::widthOfTheButtons() const
{
    return 5 * twipsToPixels(120) + saveButtonWidth() + cmdSaveAsWebPage_->sizeHint().width() +
           twipsToPixels(kLongCopyWidth) + closeButtonWidth();
}

int ReportWindow::saveButtonWidth() const
{
    return std::max(cmdSaveToFile_->sizeHint().width(), twipsToPixels(1500));
}

int ReportWindow::closeButtonWidth() const
{
    return std::max(cmdClose_->sizeHint().width(), twipsToPixels(1200));
}

bool ReportWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txbText_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            cmdCopyToClipboard_->isEnabled())
            setCopyCaption(txbText_->textCursor().hasSelection());
        centreCopyButton();
    }
    return QWidget::eventFilter(watched, event);
}

// Just below the top of the main window, as wide as the main window less a margin, and ending
// above the main window's commands, so that Stop stays in sight during a run.
void ReportWindow::placeOverMainWindow()
{
    const QWidget* main = parentWidget();
    if (!main)
        return;
    const QRect mainFrame = main->frameGeometry();
    const QMargins margins = frameMargins(*this, *main);
    QRect frame(mainFrame.left() + twipsToPixels(100), mainFrame.top() + twipsToPixels(820),
                mainFrame.width() - twipsToPixels(200),
                height() + margins.top() + margins.bottom());
    if (const auto* commands = main->findChild<QWidget*>(QStringLiteral("cmdListWords"))) {
        const int commandsTop = commands->mapToGlobal(QPoint(0, 0)).y();
        frame.setBottom(std::max(commandsTop - twipsToPixels(100),
                                 frame.top() + minimumHeight() + margins.top() + margins.bottom()));
    }
    setFrameGeometry(*this, frame, *main);
}

void ReportWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange();
}

// The text box fills the window above one row of buttons: the two saves on the left, copy
// centred, close on the right with the text box's margin.
void ReportWindow::arrange()
{
    const int margin = twipsToPixels(120);
    const int buttonHeight = cmdClose_->sizeHint().height();
    const int buttonTop = height() - margin - buttonHeight;
    txbText_->setGeometry(margin, margin, width() - 2 * margin, buttonTop - 2 * margin);
    const int saveWidth = saveButtonWidth();
    const int closeWidth = closeButtonWidth();
    cmdSaveToFile_->setGeometry(margin, buttonTop, saveWidth, buttonHeight);
    cmdSaveAsWebPage_->setGeometry(margin + saveWidth + margin, buttonTop,
                                   cmdSaveAsWebPage_->sizeHint().width(), buttonHeight);
    cmdCopyToClipboard_->setGeometry(cmdCopyToClipboard_->x(), buttonTop,
                                     cmdCopyToClipboard_->width(), buttonHeight);
    cmdClose_->setGeometry(width() - closeWidth - margin, buttonTop, closeWidth, buttonHeight);
    centreCopyButton();
}

} // namespace tagwright
