#include "app/qt_dialogs.h"

#include "app/minimisable.h"
#include "app/twips.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace tagwright {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Message texts carry CR LF line ends; a label wants plain line feeds.
QString shownText(const QString& text)
{
    QString shown = text;
    return shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// The window manager cuts a title that is wider than its box: a box with a short text is made
// wide enough for its title in the title bar's bold face, beside the window icon and the three
// buttons of the title bar.
void makeRoomForTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + twipsToPixels(1800);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox::StandardButton qtButton(Answer answer)
{
    switch (answer) {
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The dialog filter is written "Description | *.a;*.b"; Qt wants "Description (*.a *.b)".
QString qtFilter(const QString& filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    QString patterns = filter.mid(bar + 1).trimmed();
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return filter.left(bar).trimmed() + QLatin1String(" (") + patterns + QLatin1Char(')');
}

// Shows the box until it is answered; it offers no minimise, which would hide the whole program.
int shownModal(QMessageBox& box)
{
    box.winId(); // the native window, which takes the box's type
    setMinimisable(box, false);
    return box.exec();
}

} // namespace

void QtDialogs::showMessage(const QString& title, const QString& text, MessageIcon icon)
{
    QMessageBox box(qtIcon(icon), title, shownText(text), QMessageBox::Ok, parent_);
    makeRoomForTitle(box);
    shownModal(box);
}

void QtDialogs::showFatalError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QString(), shownText(text), QMessageBox::Ok, parent_);
    shownModal(box);
}

Answer QtDialogs::ask(const QString& title, const QString& text, QuestionButtons buttons,
                      MessageIcon icon, Answer defaultAnswer)
{
    QMessageBox::StandardButtons shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons == QuestionButtons::YesNoCancel)
        shown |= QMessageBox::Cancel;
    QMessageBox box(qtIcon(icon), title, shownText(text), shown, parent_);
    box.setDefaultButton(qtButton(defaultAnswer));
    makeRoomForTitle(box);
    switch (shownModal(box)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == QuestionButtons::YesNo ? Answer::No : Answer::Cancel;
    }
}

QString QtDialogs::openFileName(const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent_, title, QString(), qtFilter(filter));
}

QString QtDialogs::saveFileName(const QString& title, const QString& filter,
                                const QString& presetName)
{
    return QFileDialog::getSaveFileName(parent_, title, presetName, qtFilter(filter));
}

QString QtDialogs::folderName(const QString& title)
{
    return QFileDialog::getExistingDirectory(parent_, title);
}

} // namespace tagwright
