#include "app/edit_meta_tag_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using tagwright::EditMetaTagWindow;
using tagwright::InspectDecision;

class EditMetaTagWindowTest : public QObject
{
    Q_OBJECT

    // Runs `act` on the window once it is shown modally, then shows it for one file.
    static InspectDecision inspectWith(EditMetaTagWindow& window, const QString& tag,
                                       const QString& file, bool addDone,
                                       const std::function<void()>& act)
    {
        QTimer::singleShot(0, &window, [&window, act] {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            act();
            if (window.isVisible()) // a failed check must not leave the test hanging
                window.done(QDialog::Rejected);
        });
        return window.inspect(tag, file, addDone);
    }

    template <typename T> static T* control(EditMetaTagWindow& window, const char* name)
    {
        auto* widget = window.findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

  private slots:
    void continueReturnsTheEditedTagAndTheChoices()
    {
        EditMetaTagWindow window(nullptr);
        QString shownFile;
        bool doneTicked = false;
        const InspectDecision decision = inspectWith(
            window, QStringLiteral("<meta name=\"keywords\" content=\"a, b\">"),
            QStringLiteral("/tmp/Site/Ünïcode PAGE.HTM"), true, [&] {
                shownFile = control<QLabel>(window, "lblFile")->text();
                doneTicked = control<QCheckBox>(window, "chkInsertDoneMetaTag")->isChecked();
                auto* box = control<QPlainTextEdit>(window, "txbMetaTAG");
                box->selectAll();
                QTest::keyClicks(box,
                                 QStringLiteral("<meta name=\"keywords\" content=\"edited\">"));
                QTest::mouseClick(control<QPushButton>(window, "cmdContinue"), Qt::LeftButton);
            });
        QCOMPARE(shownFile, QStringLiteral("File: ünïcode page.htm"));
        QVERIFY(doneTicked);
        QVERIFY(decision.insertConfirmed);
        QVERIFY(!decision.stopRun);
        QVERIFY(decision.insertDone);
        QCOMPARE(decision.tag, QStringLiteral("<meta name=\"keywords\" content=\"edited\">"));
        QVERIFY(!window.isVisible());
        QVERIFY(control<QLabel>(window, "lblEditMetaTag")
                    ->text()
                    .contains(QStringLiteral("\r\nYou can edit")));
    }

    void decliningIsRememberedForTheNextFileWhileTheOtherBoxesAreReset()
    {
        EditMetaTagWindow window(nullptr);
        InspectDecision first =
            inspectWith(window, QStringLiteral("tag"), QStringLiteral("a.htm"), true, [&] {
                QTest::mouseClick(control<QCheckBox>(window, "chkInsertMetaTag"), Qt::LeftButton);
                QTest::mouseClick(control<QCheckBox>(window, "chkStopOperation"), Qt::LeftButton);
                QTRY_COMPARE(QApplication::focusWidget(),
                             control<QPushButton>(window, "cmdContinue"));
                QTest::mouseClick(control<QPushButton>(window, "cmdContinue"), Qt::LeftButton);
            });
        QVERIFY(!first.insertConfirmed);
        QVERIFY(first.stopRun);
        QVERIFY(first.insertDone);

        bool stopTicked = true;
        InspectDecision second =
            inspectWith(window, QStringLiteral("tag"), QStringLiteral("b.htm"), false, [&] {
                stopTicked = control<QCheckBox>(window, "chkStopOperation")->isChecked();
                QTest::mouseClick(control<QPushButton>(window, "cmdContinue"), Qt::LeftButton);
            });
        QVERIFY(!stopTicked);
        QVERIFY(!second.insertConfirmed);
        QVERIFY(!second.stopRun);
        QVERIFY(!second.insertDone);
    }

    void closeBoxDeclinesTheTagAndStopsTheRun()
    {
        EditMetaTagWindow window(nullptr);
        const InspectDecision decision = inspectWith(
            window, QStringLiteral("tag"), QStringLiteral("a.htm"), true, [&] { window.close(); });
        QVERIFY(!decision.insertConfirmed);
        QVERIFY(decision.stopRun);
        QVERIFY(decision.insertDone);
        QVERIFY(!window.isVisible());
    }

    // Minimised, the modal window would hide the whole program with it.
    void offersNoMinimise()
    {
        EditMetaTagWindow window(nullptr);
        bool noMinimise = false;
        inspectWith(window, QStringLiteral("tag"), QStringLiteral("a.htm"), false, [&] {
            noMinimise = !window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint) &&
                         window.testAttribute(Qt::WA_X11NetWmWindowTypeToolBar);
        });
        QVERIFY(noMinimise);
    }

    // Escape is no answer: the page is neither written nor the run ended, and the window waits.
    // Tab leaves the tag box instead of typing into the tag.
    void escapeIsIgnoredAndTabLeavesTheTagBox()
    {
        EditMetaTagWindow window(nullptr);
        bool stayedAfterEscape = false;
        QWidget* focusAfterTab = nullptr;
        auto* box = control<QPlainTextEdit>(window, "txbMetaTAG");
        const InspectDecision decision =
            inspectWith(window, QStringLiteral("tag"), QStringLiteral("a.htm"), true, [&] {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                stayedAfterEscape = window.isVisible();
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Tab);
                focusAfterTab = QApplication::focusWidget();
                QTest::mouseClick(control<QPushButton>(window, "cmdContinue"), Qt::LeftButton);
            });
        QVERIFY(stayedAfterEscape);
        QVERIFY(focusAfterTab != box);
        QVERIFY(decision.insertConfirmed);
        QVERIFY(!decision.stopRun);
        QCOMPARE(decision.tag, QStringLiteral("tag"));
    }

    void tagBoxLinesUpWithTheMainOutputBox()
    {
        QWidget main;
        main.setGeometry(40, 50, 740, 700);
        auto* folder = new QPushButton(QStringLiteral("Folder"), &main);
        folder->setObjectName(QStringLiteral("cmdFolder"));
        folder->setGeometry(20, 70, 90, 30);
        auto* output = new QPlainTextEdit(&main);
        output->setObjectName(QStringLiteral("txbMetaTAG"));
        output->setGeometry(30, 400, 680, 200);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        EditMetaTagWindow window(&main);
        QRect frame;
        QPoint tagBoxLeft;
        int tagBoxWidth = 0;
        inspectWith(window, QStringLiteral("tag"), QStringLiteral("a.htm"), true, [&] {
            frame = window.frameGeometry();
            auto* box = control<QPlainTextEdit>(window, "txbMetaTAG");
            tagBoxLeft = box->mapToGlobal(QPoint(0, 0));
            tagBoxWidth = box->width();
            QTest::mouseClick(control<QPushButton>(window, "cmdContinue"), Qt::LeftButton);
        });
        const auto twips = [&](int t) { return qRound(t * window.logicalDpiX() / 1440.0); };
        QCOMPARE(frame.top(), main.frameGeometry().top() + 70 + twips(330));
        QCOMPARE(frame.left(), main.frameGeometry().left() + twips(100));
        QCOMPARE(frame.width(), main.frameGeometry().width() - twips(200));
        QCOMPARE(tagBoxLeft.x(), output->mapToGlobal(QPoint(0, 0)).x());
        QCOMPARE(tagBoxWidth, 680);
    }
};

QTEST_MAIN(EditMetaTagWindowTest)
#include "edit_meta_tag_window_test.moc"
