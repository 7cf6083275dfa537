#include "app/qt_dialogs.h"

#include <QtTest>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

using namespace tagwright;

namespace {

// Runs `act` on the message box once it is shown, then lets the box close.
void whenBoxShows(std::function<void(QMessageBox&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            qFatal("no message box shown");
        act(*box);
    });
}

} // namespace

class QtDialogsTest : public QObject
{
    Q_OBJECT

  private slots:
    void messagesShowTitleTextAndIcon()
    {
        QWidget parent;
        parent.show();
        QtDialogs dialogs(&parent);
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenBoxShows([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            box.accept();
        });
        dialogs.showMessage(QStringLiteral("File not found"),
                            QStringLiteral("Input file\r\nnot found."), MessageIcon::Warning);
        QCOMPARE(title, QStringLiteral("File not found"));
        QCOMPARE(text, QStringLiteral("Input file\nnot found."));
        QCOMPARE(icon, QMessageBox::Warning);
    }

    void aShortMessageIsWideEnoughForItsTitle()
    {
        QWidget parent;
        parent.show();
        QtDialogs dialogs(&parent);
        const QString title = QStringLiteral("Insert meta tag into file");
        int width = 0;
        whenBoxShows([&](QMessageBox& box) {
            width = box.width();
            box.accept();
        });
        dialogs.showMessage(title, QStringLiteral("File not found."), MessageIcon::Warning);
        QFont bold = QApplication::font();
        bold.setBold(true);
        QVERIFY2(width > QFontMetrics(bold).horizontalAdvance(title) + 60,
                 qPrintable(QString::number(width)));
    }

    void questionsOfferTheirButtonsAndAnswer()
    {
        QWidget parent;
        parent.show();
        QtDialogs dialogs(&parent);
        QMessageBox::StandardButtons offered;
        QMessageBox::StandardButton preset = QMessageBox::NoButton;
        whenBoxShows([&](QMessageBox& box) {
            offered = box.standardButtons();
            preset = box.standardButton(box.defaultButton());
            box.button(QMessageBox::No)->click();
        });
        QCOMPARE(dialogs.ask(QStringLiteral("Unix-type file warning"), QStringLiteral("?"),
                             QuestionButtons::YesNoCancel, MessageIcon::None, Answer::Yes),
                 Answer::No);
        QCOMPARE(offered, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(preset, QMessageBox::Yes);

        whenBoxShows([&](QMessageBox& box) {
            offered = box.standardButtons();
            box.button(QMessageBox::Yes)->click();
        });
        QCOMPARE(dialogs.ask(QStringLiteral("Continue?"), QStringLiteral("?"),
                             QuestionButtons::YesNo, MessageIcon::None, Answer::No),
                 Answer::Yes);
        QCOMPARE(offered, QMessageBox::Yes | QMessageBox::No);
    }

    void escapeOnAYesNoQuestionMeansNo()
    {
        QWidget parent;
        parent.show();
        QtDialogs dialogs(&parent);
        whenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        QCOMPARE(dialogs.ask(QStringLiteral("Font tag error"), QStringLiteral("?"),
                             QuestionButtons::YesNo, MessageIcon::None, Answer::Yes),
                 Answer::No);
    }

    // Minimised, a modal box would hide the whole program with it.
    void boxesOfferNoMinimise()
    {
        QWidget parent;
        parent.show();
        QtDialogs dialogs(&parent);
        const auto noMinimise = [](const QMessageBox& box) {
            return !box.windowFlags().testFlag(Qt::WindowMinimizeButtonHint) &&
                   box.testAttribute(Qt::WA_X11NetWmWindowTypeToolBar);
        };
        bool message = false;
        whenBoxShows([&](QMessageBox& box) {
            message = noMinimise(box);
            box.accept();
        });
        dialogs.showMessage(QStringLiteral("File not found"), QStringLiteral("?"),
                            MessageIcon::Warning);
        QVERIFY(message);
        bool question = false;
        whenBoxShows([&](QMessageBox& box) {
            question = noMinimise(box);
            box.reject();
        });
        dialogs.ask(QStringLiteral("Continue?"), QStringLiteral("?"), QuestionButtons::YesNo,
                    MessageIcon::None, Answer::Yes);
        QVERIFY(question);
    }
};

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
