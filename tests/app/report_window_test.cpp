#include "app/report_window.h"

#include "app/box_text.h"
#include "app/qt_text.h"
#include "app/window_thread.h"
#include "engine/analysis_host.h"

#include "scripted_dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tagwright;

class ReportWindowTest : public QObject
{
    Q_OBJECT

    template <typename T> static T* control(QWidget& window, const char* name)
    {
        auto* widget = window.findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

  private slots:
    void showsTheLogAsItGrowsAndTheNoticeAtCapacity()
    {
        ScriptedDialogs dialogs;
        ReportWindow window(nullptr, dialogs, QStringLiteral("Tagwright"));
        auto* box = control<QPlainTextEdit>(window, "txbText");
        window.log().output("\r\nFolder: /site\r\n");
        window.log().output("\r\nFile: caf\xE9.htm  ---  Keywords meta tag inserted.\r\n");
        QCOMPARE(box->toPlainText(),
                 QStringLiteral(
                     "\nFolder: /site\n\nFile: café.htm  ---  Keywords meta tag inserted.\n"));
        QCOMPARE(box->textCursor().position(), box->document()->characterCount() - 1);

        // Fill to exactly the capacity: still appended; one character more closes the log.
        const std::string line = "\r\nFile: page.htm  ---  Keywords meta tag inserted.";
        while (window.log().text().size() + line.size() <=
               static_cast<std::size_t>(kReportCapacity))
            window.log().output(line);
        window.log().output(std::string(kReportCapacity - window.log().text().size(), 'x'));
        QCOMPARE(window.log().text().size(), static_cast<std::size_t>(kReportCapacity));
        QVERIFY(!window.log().isFull());
        window.log().output("y");
        QVERIFY(window.log().isFull());
        QVERIFY(box->toPlainText().endsWith(
            QStringLiteral("inserted.\n\n[Report buffer is full.  Processing will continue.]")));
        window.log().output("\r\nlater");
        QVERIFY(!box->toPlainText().endsWith(QStringLiteral("later")));

        window.log().clear();
        QCOMPARE(box->toPlainText(), QString());
    }

    // A run changes the log on its own thread, page after page, as a batch run does: the file
    // line with its status text, which changes and is cut, the tags, a cut after a failure
    // (which may fall between CR and LF), the notice at capacity, a report cleared. The box
    // shows exactly the log, however the window's thread took the changes.
    void followsALongRunOnItsOwnThreadExactly()
    {
        ScriptedDialogs dialogs;
        ReportWindow window(nullptr, dialogs, QStringLiteral("Tagwright"));
        auto* box = control<QPlainTextEdit>(window, "txbText");
        ReportLog& log = window.log();
        const auto shownExactly = [&] {
            QPlainTextEdit reference;
            reference.setPlainText(toBoxText(fromCp1252(log.text())));
            return box->toPlainText() == reference.toPlainText();
        };
        const auto pages = [&](int count) {
            for (int page = 0; page < count; ++page) {
                log.output("\r\nFile: page" + std::to_string(page) + ".htm  " +
                           std::string(kNowProcessing));
                log.replaceText(reportWithNowGenerating(log.text()));
                log.cutAt(log.text().size() - 2 - kNowGenerating.size());
                log.output("\r\nNEW: <meta name=\"keywords\" content=\"caf\xE9, garden\">\r\n");
                if (page % 97 == 0) {
                    // Between the CR and the LF of the line just written.
                    log.cutAt(log.text().size() - 1);
                    log.output("\n\r\nTerminated due to an error occurring.\r\n");
                }
            }
        };
        pages(100); // on the window's thread, each change shown at once
        QVERIFY(shownExactly());
        runOffWindowThread([&] { pages(400); });
        QCoreApplication::processEvents();
        QVERIFY(shownExactly());
        QVERIFY(!log.isFull());

        runOffWindowThread([&] {
            pages(2000);
            log.clear();
            pages(150);
        });
        QCoreApplication::processEvents();
        QVERIFY(shownExactly());
        QVERIFY(log.text().starts_with("\r\nFile: page0.htm\r\nNEW: "));

        runOffWindowThread([&] { pages(2000); });
        QCoreApplication::processEvents();
        QVERIFY(log.isFull());
        QVERIFY(shownExactly());
        QCOMPARE(box->textCursor().position(), box->document()->characterCount() - 1);
    }

    void savesTheWholeLogAndReportsAFailure()
    {
        QTemporaryDir folder;
        ScriptedDialogs dialogs;
        ReportWindow window(nullptr, dialogs, QStringLiteral("Save failed"));
        auto* save = control<QPushButton>(window, "cmdSaveToFile");

        QTest::mouseClick(save, Qt::LeftButton); // an empty log offers no dialog
        QVERIFY(dialogs.fileDialogTitles.isEmpty());

        window.log().output("\r\nFile: caf\xE9.htm");
        const QString path = folder.filePath(QStringLiteral("report.txt"));
        dialogs.fileNames.enqueue(path);
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(dialogs.fileDialogTitles, QStringList{QStringLiteral("Specify file to save to.")});
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("\r\nFile: caf\xC3\xA9.htm\r\n"));
        QVERIFY(dialogs.shown.isEmpty());

        QTest::mouseClick(save, Qt::LeftButton); // cancelled
        dialogs.fileNames.enqueue(folder.filePath(QStringLiteral("missing/report.txt")));
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Save failed"));
        QCOMPARE(dialogs.shown[0].icon, MessageIcon::Warning);
        QVERIFY(!dialogs.shown[0].text.isEmpty());
    }

    void copiesTheSelectionOrEverything()
    {
        ScriptedDialogs dialogs;
        ReportWindow window(nullptr, dialogs, QStringLiteral("Tagwright"));
        window.present();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* box = control<QPlainTextEdit>(window, "txbText");
        auto* copy = control<QPushButton>(window, "cmdCopyToClipboard");
        window.log().output(
            "\r\nFolder: /site\r\n\r\nFile: a.htm  ---  Keywords meta tag inserted.\r\n");
        QCOMPARE(copy->text(), QStringLiteral("Copy to clipboard"));

        QTextCursor cursor = box->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(20, QTextCursor::KeepAnchor); // "Folder: /site" + line end + "File"
        box->setTextCursor(cursor);
        QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(copy->text(), QStringLiteral("Copy selected text to clipboard"));
        QCOMPARE(copy->width(), qRound(3165 * window.logicalDpiX() / 1440.0));
        // Centred between the save buttons and Close.
        const int left = control<QPushButton>(window, "cmdSaveAsWebPage")->geometry().right() + 1;
        const int right = control<QPushButton>(window, "cmdClose")->x();
        QCOMPARE(copy->x(), left + (right - left - copy->width()) / 2);

        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Folder: /site\n\nFile"));
        QCOMPARE(copy->text(), QStringLiteral("Copy to clipboard"));
        QCOMPARE(QApplication::focusWidget(), control<QPushButton>(window, "cmdClose"));

        cursor.clearSelection();
        box->setTextCursor(cursor);
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(
            QApplication::clipboard()->text(),
            QStringLiteral("\nFolder: /site\n\nFile: a.htm  ---  Keywords meta tag inserted.\n"));
    }

    void comesBackInFrontOfTheMainWindowAfterSaving()
    {
        QTemporaryDir folder;
        QWidget main;
        main.show();
        ScriptedDialogs dialogs;
        auto* window = new ReportWindow(&main, dialogs, QStringLiteral("Save failed"));
        window->log().output("\r\nFolder: /site\r\n");
        window->present();
        QVERIFY(QTest::qWaitForWindowActive(window));
        dialogs.whileFileDialogIsUp = [&] { main.activateWindow(); };
        dialogs.fileNames.enqueue(folder.filePath(QStringLiteral("report.txt")));
        QTest::mouseClick(control<QPushButton>(*window, "cmdSaveToFile"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(window->isVisible());
    }

    void closingHidesTheWindowKeepsTheLogAndOffersViewReport()
    {
        QWidget main;
        auto* viewReport = new QPushButton(QStringLiteral("View report"), &main);
        viewReport->setObjectName(QStringLiteral("cmdViewReport"));
        // The command row of the main window, Stop among it, stays in sight below the report.
        auto* stop = new QPushButton(QStringLiteral("Stop"), &main);
        stop->setObjectName(QStringLiteral("cmdListWords"));
        stop->move(300, 300);
        auto* numberOfWords = new QLabel(QStringLiteral("123 words"), &main);
        numberOfWords->setObjectName(QStringLiteral("lblNumberOfWords"));
        main.setGeometry(30, 40, 740, 700);
        main.show();
        viewReport->hide();
        ScriptedDialogs dialogs;
        auto* window = new ReportWindow(&main, dialogs, QStringLiteral("Tagwright"));

        window->present();
        const auto twips = [&](int t) { return qRound(t * window->logicalDpiX() / 1440.0); };
        QCOMPARE(window->frameGeometry().topLeft(),
                 main.frameGeometry().topLeft() + QPoint(twips(100), twips(820)));
        QCOMPARE(window->frameGeometry().width(), main.frameGeometry().width() - twips(200));
        QVERIFY(window->frameGeometry().bottom() < stop->mapToGlobal(QPoint(0, 0)).y());
        QTest::mouseClick(control<QPushButton>(*window, "cmdClose"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(viewReport->isHidden()); // nothing to view
        QCOMPARE(numberOfWords->text(), QStringLiteral("123 words"));

        window->log().output("\r\nFolder: /site\r\n");
        window->present();
        QVERIFY(window->isVisible());
        window->close(); // the title-bar close box
        QVERIFY(!window->isVisible());
        QVERIFY(!viewReport->isHidden());
        QCOMPARE(numberOfWords->text(), QString());
        QCOMPARE(window->log().text(), std::string("\r\nFolder: /site\r\n"));

        window->setButtonsEnabled(false);
        for (const char* name : {"cmdSaveToFile", "cmdCopyToClipboard", "cmdClose"})
            QVERIFY(!control<QPushButton>(*window, name)->isEnabled());
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
