#include "app/help_window.h"

#include "app/box_text.h"
#include "app/color_value.h"
#include "app/form_style.h"
#include "app/twips.h"
#include "app/window_frame.h"

#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace tagwright {

HelpWindow::HelpWindow(QWidget& mainWindow, const QString& text)
    : QWidget(&mainWindow, Qt::Window), txbHelpScreen(new QPlainTextEdit(this)),
      cmdClose(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    txbHelpScreen->setObjectName(QStringLiteral("txbHelpScreen"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    placeOverMainWindow(mainWindow);
    setWindowTitle(QStringLiteral("Help screen for Tagwright"));
    cmdClose->setText(QStringLiteral("Close"));
    txbHelpScreen->setReadOnly(true);
    txbHelpScreen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txbHelpScreen->setPlainText(toBoxText(text));
    txbHelpScreen->move(twipsToPixels(120), twipsToPixels(120));
    applyFormBackColor(this, colorFromValue(kLightGrey));
    applyFormFontName(this, QStringLiteral("Arial"), true);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::hide);
    // Escape and Return close the window wherever its focus is, the text box included.
    for (const int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                &QWidget::hide);
}

// The text's positions and sizes are those of the window with its frame.
void HelpWindow::placeOverMainWindow(const QWidget& mainWindow)
{
    const QRect main = mainWindow.frameGeometry();
    setFrameGeometry(*this,
                     QRect(main.left() + twipsToPixels(200), main.top() + twipsToPixels(480),
                           std::max(0, main.width() - twipsToPixels(400)),
                           std::max(0, main.height() - twipsToPixels(680))),
                     mainWindow);
}

void HelpWindow::open()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// The Close button stands 1020 twips above the bottom of the window's frame, centred; the text
// box keeps its margin of 120 twips on both sides (the text's 350 twips are these two margins
// and the borders of the platform it was written for) and ends 1300 twips above the frame's
// bottom.
void HelpWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isMinimized())
        return;
    const int margin = twipsToPixels(120);
    const QMargins frame = parentWidget() ? frameMargins(*this, *parentWidget()) : QMargins();
    const int frameHeight = height() + frame.top() + frame.bottom();
    txbHelpScreen->resize(std::max(0, width() - 2 * margin),
                          std::max(0, frameHeight - twipsToPixels(1300)));
    cmdClose->move((width() - cmdClose->width()) / 2, frameHeight - twipsToPixels(1020));
}

} // namespace tagwright
