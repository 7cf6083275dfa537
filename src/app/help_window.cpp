#include "app/help_window.h"

#include "app/box_text.h"
#include "app/color_value.h"
#include "app/form_style.h"
#include "app/twips.h"

#include <QPlainTextEdit>
#include <QPushButton>

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
}

void HelpWindow::placeOverMainWindow(const QWidget& mainWindow)
{
    const QRect main = mainWindow.frameGeometry();
    move(main.left() + twipsToPixels(200), main.top() + twipsToPixels(480));
    resize(std::max(0, main.width() - twipsToPixels(400)),
           std::max(0, main.height() - twipsToPixels(680)));
}

void HelpWindow::open()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void HelpWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isMinimized())
        return;
    txbHelpScreen->resize(std::max(0, width() - twipsToPixels(350)),
                          std::max(0, height() - twipsToPixels(1300)));
    cmdClose->move((width() - cmdClose->width()) / 2, height() - twipsToPixels(1020));
}

} // namespace tagwright
