#include "app/edit_meta_tag_window.h"

#include "app/check_value.h"
#include "app/form_style.h"
#include "app/minimisable.h"
#include "app/twips.h"
#include "app/window_frame.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace tagwright {

namespace {

constexpr int kTagBoxLines = 6;

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

EditMetaTagWindow::EditMetaTagWindow(QWidget* mainWindow) : QDialog(mainWindow)
{
    setObjectName(QStringLiteral("frmEditMetaTag"));
    setWindowTitle(QStringLiteral("Edit keywords meta tag"));
    setModal(true);

    lblEditMetaTag_ = new QLabel(this);
    lblEditMetaTag_->setObjectName(QStringLiteral("lblEditMetaTag"));
    lblFile_ = new QLabel(QStringLiteral("File: "), this);
    lblFile_->setObjectName(QStringLiteral("lblFile"));
    txbMetaTAG_ = new QPlainTextEdit(this);
    txbMetaTAG_->setObjectName(QStringLiteral("txbMetaTAG"));
    txbMetaTAG_->setFont(QFont(QStringLiteral("Courier New")));
    txbMetaTAG_->setTabChangesFocus(true);
    chkInsertMetaTag_ =
        makeCheck(this, "chkInsertMetaTag", QStringLiteral("Insert this keywords meta tag"));
    chkInsertDoneMetaTag_ =
        makeCheck(this, "chkInsertDoneMetaTag", QStringLiteral("Insert 'Done' meta tag"));
    chkStopOperation_ =
        makeCheck(this, "chkStopOperation",
                  QStringLiteral("Stop the operation after this insertion (if any)"));
    cmdContinue_ = new QPushButton(QStringLiteral("Continue"), this);
    cmdContinue_->setObjectName(QStringLiteral("cmdContinue"));
    cmdContinue_->setDefault(true);

    lblEditMetaTag_->setText(
        QStringLiteral("The existing keywords meta tag (if any) is shown in the bottom window.\r\n"
                       "You can edit the new meta tag in the top window.\r\n"
                       "Check or uncheck the checkboxes as desired and then click 'Continue'."));
    applyFormForeColor(this, Qt::black);
    applyFormBackColor(this, kSecondaryWindowBackColor);
    applyFormFontName(this, QStringLiteral("Arial"), false);
    // Only here: afterwards the box keeps the user's choice from one file to the next.
    chkInsertMetaTag_->setChecked(true);

    for (QCheckBox* box : {chkInsertMetaTag_, chkInsertDoneMetaTag_, chkStopOperation_}) {
        // Queued, so that the focus moves once the click that ticked the box is over.
        connect(
            box, &QCheckBox::clicked, cmdContinue_,
            [this] {
                if (isVisible())
                    cmdContinue_->setFocus();
            },
            Qt::QueuedConnection);
    }
    connect(cmdContinue_, &QPushButton::clicked, this, &EditMetaTagWindow::continueCommand);
    resize(twipsToPixels(9000), height());
    arrange();
}

InspectDecision EditMetaTagWindow::inspect(const QString& newTag, const QString& currentFile,
                                           bool addDone)
{
    txbMetaTAG_->setPlainText(newTag);
    insertConfirmed_ = false;
    stopRun_ = false;
    lblFile_->setText(QStringLiteral("File: ") + QFileInfo(currentFile).fileName().toLower());
    chkInsertDoneMetaTag_->setChecked(addDone);
    chkInsertDoneMetaTag_->setEnabled(true);
    chkStopOperation_->setChecked(false);
    exec();
    return {insertConfirmed_, stopRun_, isTicked(chkInsertDoneMetaTag_),
            txbMetaTAG_->toPlainText()};
}

bool EditMetaTagWindow::insertDoneTicked() const
{
    return isTicked(chkInsertDoneMetaTag_);
}

void EditMetaTagWindow::continueCommand()
{
    insertConfirmed_ = isTicked(chkInsertMetaTag_);
    stopRun_ = isTicked(chkStopOperation_);
    done(QDialog::Accepted);
}

void EditMetaTagWindow::reject()
{
    chkInsertMetaTag_->setChecked(false);
    chkStopOperation_->setChecked(true);
    continueCommand();
}

void EditMetaTagWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void EditMetaTagWindow::showEvent(QShowEvent* event)
{
    setMinimisable(*this, false);
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        placeOverMainWindow();
        cmdContinue_->setFocus();
    }
}

// Just below the main window's folder row, as wide as the main window less a margin, with the
// tag box right above the main window's output box, where the existing tag is shown.
void EditMetaTagWindow::placeOverMainWindow()
{
    const QWidget* main = parentWidget();
    if (!main)
        return;
    const QRect mainFrame = main->frameGeometry();
    const QMargins margins = frameMargins(*this, *main);
    int top = mainFrame.top() + twipsToPixels(330);
    if (const auto* folderButton = main->findChild<QWidget*>(QStringLiteral("cmdFolder")))
        top += folderButton->mapTo(main, QPoint(0, 0)).y();
    const int left = mainFrame.left() + twipsToPixels(100);
    const int width = mainFrame.width() - twipsToPixels(200);
    if (const auto* mainTagBox = main->findChild<QWidget*>(QStringLiteral("txbMetaTAG"))) {
        tagBoxLeft_ = mainTagBox->mapToGlobal(QPoint(0, 0)).x() - (left + margins.left());
        tagBoxWidth_ = mainTagBox->width();
    }
    setFrameGeometry(*this, QRect(left, top, width, height() + margins.top() + margins.bottom()),
                     *main);
    arrange();
}

void EditMetaTagWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    arrange();
}

void EditMetaTagWindow::arrange()
{
    const int margin = twipsToPixels(120);
    const int gap = twipsToPixels(60);
    const int inner = std::max(width() - 2 * margin, 0);
    int y = margin;
    const auto place = [&](QWidget* widget, int x, int w, int h) {
        widget->setGeometry(x, y, w, h);
        y += h + gap;
    };
    place(lblEditMetaTag_, margin, inner, lblEditMetaTag_->sizeHint().height());
    place(lblFile_, margin, inner, lblFile_->sizeHint().height());
    const int tagLeft = tagBoxLeft_ >= 0 ? tagBoxLeft_ : margin;
    const int tagWidth = tagBoxWidth_ > 0 ? std::min(tagBoxWidth_, width() - tagLeft) : inner;
    place(txbMetaTAG_, tagLeft, tagWidth,
          txbMetaTAG_->fontMetrics().lineSpacing() * kTagBoxLines + 2 * margin);
    for (QCheckBox* box : {chkInsertMetaTag_, chkInsertDoneMetaTag_, chkStopOperation_})
        place(box, margin, std::min(box->sizeHint().width(), inner), box->sizeHint().height());
    const QSize buttonSize = cmdContinue_->sizeHint().expandedTo(QSize(twipsToPixels(1200), 0));
    place(cmdContinue_, (width() - buttonSize.width()) / 2, buttonSize.width(),
          buttonSize.height());
    const int neededHeight = y - gap + margin;
    if (height() != neededHeight)
        setFixedHeight(neededHeight);
}

} // namespace tagwright
