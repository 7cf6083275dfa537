#include "app/help_text.h"
#include "app/help_window.h"
#include "app/twips.h"

#include <QtTest>

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

using namespace tagwright;

class HelpWindowTest : public QObject
{
    Q_OBJECT

  private:
    static QString text() { return helpText(QStringLiteral("S-URL"), QStringLiteral("M-URL")); }

  private slots:
    void textHasItsParagraphsAndListsInOrder()
    {
        const QString help = text();
        QVERIFY(help.startsWith(QStringLiteral(
            "An illustrated verson of this documentation can be found at S-URL (for operations "
            "on a single file) and at M-URL (for operations on multiple files).  This help "
            "window may be resized or maximized for easier reading.\r\n\r\n"
            "This program generates keywords meta tags.  ")));
        QVERIFY(help.contains(QStringLiteral(
            "occur:\r\n\r\n(a) in the title, <title>...</title>\r\n(b) in the description, "
            "<meta name=\"description\" content=\"...\">\r\n")));
        QVERIFY(help.contains(QStringLiteral(
            "(h) within <div>...</div> and <span>...</span>.\r\n\r\nYou can control")));
        QVERIFY(help.contains(QStringLiteral("you can either:\r\n(i) click on 'List words'")));
        QVERIFY(help.contains(QStringLiteral(
            "frequency or\r\n(ii) click on 'Generate/show keywords meta tag' to get the meta "
            "tag.\r\n\r\nIf you want some words")));
        QVERIFY(help.contains(QStringLiteral(
            "<meta name=\"QOVA done\" content=\"2008-11-24\">, where the date will be the date "
            "when the keywords meta tag was inserted.  ")));
        QVERIFY(help.endsWith(QStringLiteral("that is not a control.\r\n\r\n")));
        QVERIFY(!help.contains(QStringLiteral("\r\n\r\n\r\n")));
        // Every line end is CR LF.
        QCOMPARE(help.count(QLatin1Char('\n')), help.count(QStringLiteral("\r\n")));
    }

    void opensOverTheMainWindowOnceAndKeepsItsPlace()
    {
        QWidget main;
        main.setGeometry(60, 80, 700, 600);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        HelpWindow help(main, text());
        QCOMPARE(help.windowTitle(), QStringLiteral("Help screen for Tagwright"));
        help.open();
        QVERIFY(help.isVisible());
        // The text's place and size are those of the frame, right from the first showing.
        const QRect mainFrame = main.frameGeometry();
        QCOMPARE(help.frameGeometry(),
                 QRect(mainFrame.left() + twipsToPixels(200), mainFrame.top() + twipsToPixels(480),
                       mainFrame.width() - twipsToPixels(400),
                       mainFrame.height() - twipsToPixels(680)));
        help.move(300, 250);
        help.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QVERIFY(!help.isVisible());
        help.open();
        QVERIFY(help.isVisible());
        QCOMPARE(help.pos(), QPoint(300, 250));
        QVERIFY(help.findChild<QPlainTextEdit*>(QStringLiteral("txbHelpScreen"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("An illustrated verson")));
    }

    // Where the text's place would leave the screen, the window moves up and left just enough.
    void staysOnTheScreensAvailableArea()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget main;
        main.setGeometry(area.right() - 300, area.bottom() - 200, 600, 400);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        HelpWindow help(main, text());
        help.open();
        const QRect frame = help.frameGeometry();
        QCOMPARE(frame.size(), QSize(main.frameGeometry().width() - twipsToPixels(400),
                                     main.frameGeometry().height() - twipsToPixels(680)));
        QCOMPARE(frame.bottomRight(), area.bottomRight());
    }

    void openingRestoresAMinimisedWindow()
    {
        QWidget main;
        main.show();
        HelpWindow help(main, text());
        help.open();
        help.showMinimized();
        QVERIFY(help.isMinimized());
        help.open();
        QVERIFY(!help.isMinimized());
        QVERIFY(help.isVisible());
    }

    void escapeAndReturnCloseItFromTheTextBox()
    {
        QWidget main;
        main.show();
        HelpWindow help(main, text());
        auto* box = help.findChild<QPlainTextEdit*>(QStringLiteral("txbHelpScreen"));
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            help.open();
            QVERIFY(QTest::qWaitForWindowActive(&help));
            box->setFocus();
            QTest::keyClick(box, key);
            QVERIFY2(!help.isVisible(), qPrintable(QKeySequence(key).toString()));
        }
    }

    void resizingKeepsTheCloseButtonCentred()
    {
        QWidget main;
        main.show();
        HelpWindow help(main, text());
        help.open();
        help.resize(700, 500);
        QTRY_COMPARE(help.size(), QSize(700, 500));
        auto* close = help.findChild<QPushButton*>(QStringLiteral("cmdClose"));
        auto* box = help.findChild<QPlainTextEdit*>(QStringLiteral("txbHelpScreen"));
        // Heights are measured on the frame; the text box has the same margin on both sides.
        const int frameHeight = help.frameGeometry().height();
        QCOMPARE(close->y(), frameHeight - twipsToPixels(1020));
        QCOMPARE(close->x(), (700 - close->width()) / 2);
        QCOMPARE(box->size(), QSize(700 - 2 * box->x(), frameHeight - twipsToPixels(1300)));
        help.resize(10, 10);
        QTRY_COMPARE(box->size(), QSize(0, 0));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
