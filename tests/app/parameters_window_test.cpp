#include "app/parameters_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using tagwright::ParametersWindow;
using tagwright::ParameterValues;

class ParametersWindowTest : public QObject
{
    Q_OBJECT

    QCheckBox* check(ParametersWindow& window, const char* name)
    {
        auto* box = window.findChild<QCheckBox*>(QString::fromLatin1(name));
        if (!box)
            qFatal("no check box %s", name);
        return box;
    }

  private slots:
    void startsWithTheDefaultValuesAndSettledDependencies()
    {
        ParametersWindow window(nullptr);
        QCOMPARE(window.values(), ParameterValues{});
        QCOMPARE(
            check(window, "chkConfirm")->text(),
            QStringLiteral("Inspect keywords meta tag (and possibly edit it) before insertion"));
        auto* days = window.findChild<QComboBox*>(QStringLiteral("cboLessThanNDaysOld"));
        QCOMPARE(days->count(), 7);
        QCOMPARE(days->itemText(0), QStringLiteral("1 day old"));
        QCOMPARE(days->itemText(6), QStringLiteral("7 days old"));
        // Skipping is off by default: its two dependants start greyed although logging is on.
        QVERIFY(!days->isEnabled());
        QVERIFY(!check(window, "chkDontLogDone")->isEnabled());
        QVERIFY(check(window, "chkIncludeNewMetaTag")->isEnabled());
        QVERIFY(check(window, "chkIncludeOldMetaTag")->isEnabled());
        // LF pages are ordinary pages: the box only keeps its saved value, and says why.
        QVERIFY(!check(window, "chkDialogBoxForUnixFiles")->isEnabled());
        QVERIFY(check(window, "chkDialogBoxForUnixFiles")->toolTip().contains(QStringLiteral("as fast")));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(192, 255, 192));
        QCOMPARE(check(window, "chkHTM")->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(check(window, "chkHTM")->font().family(), QStringLiteral("Arial"));
    }

    void skipAndLogRulesFollowTheBoxThatChangedLast()
    {
        ParametersWindow window(nullptr);
        auto* skip = check(window, "chkSkipDone");
        auto* log = check(window, "chkLogOperations");
        auto* dontLog = check(window, "chkDontLogDone");
        auto* days = window.findChild<QComboBox*>(QStringLiteral("cboLessThanNDaysOld"));

        QTest::mouseClick(skip, Qt::LeftButton);
        QVERIFY(days->isEnabled());
        QVERIFY(dontLog->isEnabled());
        dontLog->setChecked(true);

        QTest::mouseClick(log, Qt::LeftButton);
        QVERIFY(!dontLog->isEnabled());
        QVERIFY(!check(window, "chkIncludeNewMetaTag")->isEnabled());
        QVERIFY(!check(window, "chkIncludeOldMetaTag")->isEnabled());
        QVERIFY(dontLog->isChecked()); // greyed, value kept
        QVERIFY(check(window, "chkIncludeNewMetaTag")->isChecked());

        QTest::mouseClick(skip, Qt::LeftButton);
        QTest::mouseClick(skip, Qt::LeftButton);
        QVERIFY(dontLog->isEnabled()); // skipping changed last
        QVERIFY(days->isEnabled());

        QTest::mouseClick(skip, Qt::LeftButton);
        QVERIFY(!days->isEnabled());
        QVERIFY(!dontLog->isEnabled());
    }

    void oldTagIsNeverReportedWithoutTheNewOne()
    {
        ParametersWindow window(nullptr);
        auto* oldTag = check(window, "chkIncludeOldMetaTag");
        auto* newTag = check(window, "chkIncludeNewMetaTag");
        QTest::mouseClick(newTag, Qt::LeftButton);
        QVERIFY(!newTag->isChecked());
        QTest::mouseClick(oldTag, Qt::LeftButton);
        QVERIFY(oldTag->isChecked());
        QVERIFY(newTag->isChecked());
        QTest::mouseClick(newTag, Qt::LeftButton);
        QVERIFY(!oldTag->isChecked());
        QVERIFY(!newTag->isChecked());
    }

    void setValuesAppliesTheRulesInTheOrderOfTheSavedState()
    {
        ParametersWindow window(nullptr);
        ParameterValues values;
        values.htm = 0;
        values.shtml = 1;
        values.backup = 1;
        values.confirm = 0;
        values.skipDone = 1;
        values.dontLogDone = 1;
        values.lessThanNDaysOld = 4;
        values.clearReportAtStart = 0;
        values.saveStateOnClose = 1;
        values.dialogBoxForUnixFiles = 0;
        window.setValues(values);
        QCOMPARE(window.values(), values);
        QVERIFY(check(window, "chkDontLogDone")->isEnabled());

        // The new tag (saved before the old one) is unticked first, then the old tag ticks it
        // again.
        values.includeNewMetaTag = 0;
        values.includeOldMetaTag = 1;
        window.setValues(values);
        QCOMPARE(window.values().includeNewMetaTag, 1);
        QCOMPARE(window.values().includeOldMetaTag, 1);

        values.lessThanNDaysOld = 9;
        values.logOperations = 0;
        values.displayWords = 2;
        window.setValues(values);
        QCOMPARE(window.values().lessThanNDaysOld, 0);
        QCOMPARE(window.values().displayWords, 2);
        QCOMPARE(check(window, "chkDisplayWords")->checkState(), Qt::PartiallyChecked);
        QVERIFY(!check(window, "chkDontLogDone")->isEnabled());
        QVERIFY(!check(window, "chkIncludeNewMetaTag")->isEnabled());
    }

    void closingSavesTheStateOnlyWhenAskedAndKeepsTheSettings()
    {
        QWidget main;
        auto* opener = new QPushButton(QStringLiteral("Set operation parameters"), &main);
        opener->setObjectName(QStringLiteral("cmdShowExistingKeywordMetaTag"));
        main.setGeometry(100, 100, 900, 700);
        main.show();
        auto* window = new ParametersWindow(&main);
        QSignalSpy saves(window, &ParametersWindow::saveStateRequested);

        window->present();
        QCOMPARE(window->windowTitle(), QStringLiteral("Set operation parameters"));
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdClose")),
                          Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QCOMPARE(saves.count(), 0);

        window->present();
        QTest::mouseClick(check(*window, "chkSaveStateOnClose"), Qt::LeftButton);
        QTest::mouseClick(check(*window, "chkBackup"), Qt::LeftButton);
        window->close(); // the title-bar close box
        QVERIFY(!window->isVisible());
        QCOMPARE(saves.count(), 1);
        QCOMPARE(window->values().backup, 1);
        QCOMPARE(window->values().saveStateOnClose, 1);
    }

    void opensInTheMainWindowsBottomRightCorner()
    {
        QWidget main;
        main.setGeometry(50, 60, 700, 650);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        ParametersWindow window(&main);
        window.present();
        const QRect mainFrame = main.frameGeometry();
        const QRect frame = window.frameGeometry();
        const int margin = 100 * window.logicalDpiX() / 1440;
        QVERIFY(qAbs(frame.right() + 1 + margin - (mainFrame.left() + mainFrame.width())) <= 1);
        QVERIFY(qAbs(frame.bottom() + 1 + margin - (mainFrame.top() + mainFrame.height())) <= 1);
    }

    void choosingADayLimitMovesTheFocusToClose()
    {
        ParametersWindow window(nullptr);
        window.present();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* days = window.findChild<QComboBox*>(QStringLiteral("cboLessThanNDaysOld"));
        check(window, "chkSkipDone")->setChecked(true);
        days->setFocus();
        days->setCurrentIndex(2);
        emit days->activated(2);
        QCOMPARE(QApplication::focusWidget(),
                 window.findChild<QPushButton*>(QStringLiteral("cmdClose")));
    }
};

QTEST_MAIN(ParametersWindowTest)
#include "parameters_window_test.moc"
