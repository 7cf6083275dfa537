#include "main_window_harness.h"

#include "app/color_value.h"
#include "app/state_file.h"
#include "app/twips.h"
#include "app/window_analysis_host.h"

#include <QScreen>
#include <QTimer>

#include <algorithm>

using namespace tagwright;

namespace {

const QByteArray kPage =
    "<html>\r\n<head>\r\n<title>Rose garden</title>\r\n"
    "<meta name=\"keywords\" content=\"roses, garden\">\r\n"
    "<meta name=\"description\" content=\"Growing roses\">\r\n</head>\r\n<body>\r\n"
    "<p>Roses need sun. Roses need water. Pruning roses keeps roses healthy.</p>\r\n"
    "<p>Pruning in spring, pruning in autumn, water in summer.</p>\r\n</body>\r\n</html>\r\n";

// 17576 distinct words of letters only, one a line.
QByteArray longPage()
{
    QByteArray page = "<html><head><title>Long</title></head><body>\r\n";
    for (int n = 0; n < 17576; ++n) {
        page += QByteArray("ba") + char('a' + n % 26) + char('a' + n / 26 % 26) +
                char('a' + n / 676) + "\r\n";
    }
    return page;
}

QStringList titles(const ScriptedDialogs& dialogs)
{
    QStringList result;
    for (const ScriptedDialogs::Shown& shown : dialogs.shown)
        result.append(shown.title);
    return result;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        // Nothing of the real user's folders is touched: the window gets its per-user folder
        // from each harness, and Qt's own locations point into a test folder.
        QStandardPaths::setTestModeEnabled(true);
    }

    void firstStartShowsEveryDefault()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Tagwright Version 9.82"));
        QVERIFY(h.dialogs.shown.isEmpty());
        QVERIFY(h.option("optSingleFile")->isChecked());
        QCOMPARE(h.box("txbMaxNumKeywordsInMetaTag")->text(), QStringLiteral("50"));
        QCOMPARE(h.box("txbMaxNumBytesInMetaTag")->text(), QStringLiteral("500"));
        QCOMPARE(h.list("cboTitleWeight")->currentText(), QStringLiteral("90"));
        QCOMPARE(h.list("cboDescriptionWeight")->currentText(), QStringLiteral("50"));
        QCOMPARE(h.list("cboExistingKeywordsWeight")->currentText(), QStringLiteral("50"));
        QCOMPARE(h.list("cboBoldWeight")->currentText(), QStringLiteral("4"));
        QCOMPARE(h.list("cboTableWeight")->currentText(), QStringLiteral("1"));
        QCOMPARE(h.list("cboSpanWeight")->currentText(), QStringLiteral("2"));
        QCOMPARE(h.list("cboShortWordSize")->currentText(), QStringLiteral("2"));
        QCOMPARE(h.list("cboThresholdFrequency")->currentText(), QStringLiteral("2"));
        QCOMPARE(h.list("cboLanguage")->currentText(), QStringLiteral("English"));
        QCOMPARE(h.list("cboLanguage")->count(), 7);
        QVERIFY(h.check("chkIgnoreCommonWords")->isChecked());
        QVERIFY(h.check("chkIgnoreShortWords")->isChecked());
        QVERIFY(!h.check("chkPreserveCase")->isChecked());
        QVERIFY(h.check("chkSpaceAfterComma")->isChecked());
        QVERIFY(!h.check("chkForwardSlash")->isChecked());
        QCOMPARE(h.window->backColor(), kLightGreen);
        QCOMPARE(h.label("lblCharsOrLess")->palette().color(QPalette::Window),
                 QColor(128, 255, 128));
        QCOMPARE(h.label("lblCharsOrLess")->font().family(), QStringLiteral("Arial"));
        QCOMPARE(h.box("txbInputFile")->font().family(), QStringLiteral("Courier New"));
        // The text's place, moved left just enough where the window is wider than the screen
        // leaves room for.
        const QRect area = h.window->screen()->availableGeometry();
        QCOMPARE(h.window->frameGeometry().top(), twipsToPixels(1000));
        QCOMPARE(h.window->frameGeometry().left(),
                 std::min(twipsToPixels(500), area.right() + 1 - h.window->frameGeometry().width()));
        QVERIFY(h.button("cmdInsert")->isVisible());
        QVERIFY(!h.button("cmdViewReport")->isVisible());
        QVERIFY(!h.button("cmdFolder")->isEnabled());
        QVERIFY(h.output().isEmpty());
        QVERIFY(h.button("cmdInputFile")->hasFocus());
    }

    void listWordsGenerateAndAgainWithoutReading()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        const QString page = h.writeFile(QStringLiteral("roses.htm"), kPage);
        h.box("txbInputFile")->setText(page);
        h.button("cmdListWords")->click();
        QVERIFY2(h.dialogs.shown.isEmpty(), qPrintable(h.dialogs.takeTexts().join('|')));
        QVERIFY(h.output().startsWith(QStringLiteral("Rank Value Freq. Density\n")));
        QVERIFY(h.output().contains(QStringLiteral("%  rose\n")));
        QVERIFY(
            h.label("lblNumberOfWords")
                ->text()
                .startsWith(QStringLiteral("Number of words found satisfying above conditions: ")));
        QCOMPARE(h.button("cmdListWords")->text(), QStringLiteral("List words"));
        QVERIFY(h.button("cmdGenerateKeywordMetaTag")->isEnabled());

        // The table is current: generating reads no file, so a vanished page does not matter.
        QVERIFY(QFile::remove(page));
        h.button("cmdGenerateKeywordMetaTag")->click();
        QVERIFY(h.dialogs.shown.isEmpty());
        QVERIFY(h.output().startsWith(
            QStringLiteral("<meta name=\"keywords\" content=\"rose, garden")));
        QVERIFY(h.output().contains(QStringLiteral("\n\nNumber of keywords in meta tag: ")));

        // A changed setting makes it stale: now the missing page is noticed.
        h.list("cboBoldWeight")->setCurrentIndex(5);
        emit h.list("cboBoldWeight")->activated(5);
        h.button("cmdGenerateKeywordMetaTag")->click();
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("Input file does not exist.")});
    }

    void theTagFollowsTheControlsOfTheMoment()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbInputFile")->setText(h.writeFile(QStringLiteral("roses.htm"), kPage));
        h.box("txbBeginMetaTagWith")->setText(QStringLiteral("  Alpha, Beta,"));
        h.enter("txbMaxNumKeywordsInMetaTag", QStringLiteral("5"));
        h.check("chkSpaceAfterComma")->click();
        h.check("chkForwardSlash")->click();
        h.button("cmdGenerateKeywordMetaTag")->click();
        QCOMPARE(h.box("txbBeginMetaTagWith")->text(), QStringLiteral("Alpha, Beta,"));
        QVERIFY2(h.output().startsWith(QStringLiteral(
                     "<meta name=\"keywords\" content=\"alpha,beta,rose,garden,growing\" />\n\n"
                     "Number of keywords in meta tag: 5\n")),
                 qPrintable(h.output()));
    }

    // Pages with LF line ends are the usual kind on Linux: nothing is asked or flagged.
    void anLfPageIsAnOrdinaryPage()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbInputFile")->setText(h.writeFile(QStringLiteral("crlf.htm"), kPage));
        h.button("cmdListWords")->click();
        const QString crlfOutput = h.output();

        QByteArray lf = kPage;
        lf.replace("\r\n", "\n");
        h.enter("txbInputFile", h.writeFile(QStringLiteral("lf.htm"), lf));
        h.button("cmdListWords")->click();
        QVERIFY2(h.dialogs.shown.isEmpty(), qPrintable(h.dialogs.takeTexts().join('|')));
        QCOMPARE(h.output(), crlfOutput);
        QVERIFY(h.window->wordTableCurrent());
    }

    void theWordCountIsEmptiedByAnAnalysisThatFindsNothing()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbInputFile")->setText(h.writeFile(QStringLiteral("roses.htm"), kPage));
        h.button("cmdListWords")->click();
        QVERIFY(!h.label("lblNumberOfWords")->text().isEmpty());
        static constexpr char kBinary[] = "<html>\0\0\0\0\0\0<head>";
        h.enter("txbInputFile", h.writeFile(QStringLiteral("binary.htm"),
                                            QByteArray(kBinary, sizeof kBinary - 1)));
        h.button("cmdListWords")->click();
        QCOMPARE(h.dialogs.shown.size(), 1); // not a text file
        QCOMPARE(h.label("lblNumberOfWords")->text(), QString());
    }

    void namesOutsideWindows1252AreFileNames()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        QVERIFY(QDir(h.userFolder.path()).mkpath(QStringLiteral("Café 花园")));
        const QString page = h.writeFile(QStringLiteral("Café 花园/Rosé.htm"), kPage);
        h.box("txbInputFile")->setText(page);
        h.button("cmdGenerateKeywordMetaTag")->click();
        QVERIFY2(h.dialogs.shown.isEmpty(), qPrintable(h.dialogs.takeTexts().join('|')));
        h.button("cmdInsert")->click();
        QCOMPARE(
            h.dialogs.takeTexts(),
            QStringList({QStringLiteral("Meta tag inserted successfully into document."),
                         QStringLiteral("The original file was backed up as\r\n") +
                             h.userFolder.filePath(QStringLiteral("Café 花园/Rosé.bak.htm"))}));
    }

    void singleFileRefusalsAreExplained()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbInputFile")->setText(QStringLiteral("   "));
        h.button("cmdListWords")->click();
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("Input file not specified.")});
        QCOMPARE(h.box("txbInputFile")->text(), QString());

        h.enter("txbInputFile", h.userFolder.filePath(QStringLiteral("notes.txt")));
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{
                     QStringLiteral("Input file name must have an extension containing 'htm'.")});
        h.enter("txbInputFile", h.userFolder.filePath(QStringLiteral("gone.html")));
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("Input file does not exist.")});

        const QString binary =
            h.writeFile(QStringLiteral("binary.htm"),
                        QByteArray(119, 'a') + QByteArray(2, '\0') + QByteArray(879, 'b'));
        h.box("txbInputFile")->setText(binary);
        h.button("cmdGenerateKeywordMetaTag")->click();
        QCOMPARE(h.dialogs.shown.size(), 1);
        QCOMPARE(h.dialogs.shown[0].title, QStringLiteral("Not a text file"));
        QCOMPARE(h.dialogs.shown[0].text,
                 QStringLiteral("This file is not a text file.\r\nThe byte at position 120 with "
                                "value 0\r\n is neither text nor whitespace."));
        h.dialogs.shown.clear();
        QVERIFY(h.button("cmdGenerateKeywordMetaTag")->isEnabled());
        QCOMPARE(h.button("cmdListWords")->text(), QStringLiteral("List words"));

        // A backup chosen in the file dialog is refused.
        h.dialogs.fileNames.enqueue(h.userFolder.filePath(QStringLiteral("abc.bak.htm")));
        h.button("cmdInputFile")->click();
        QCOMPARE(h.dialogs.fileDialogTitles, QStringList{QStringLiteral("Specify input file")});
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Single file")});
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("This software does not act on '.bak.' files.")});
        QCOMPARE(h.box("txbInputFile")->text(), QString());
    }

    void limitEntriesAreCheckedOnLeaving()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.enter("txbMaxNumKeywordsInMetaTag", QStringLiteral("12abc"));
        QCOMPARE(h.box("txbMaxNumKeywordsInMetaTag")->text(), QStringLiteral("12"));
        h.enter("txbMaxNumKeywordsInMetaTag", QStringLiteral("4"));
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("Minimum number of keywords in the meta tag is 5.")});
        QCOMPARE(h.box("txbMaxNumKeywordsInMetaTag")->text(), QStringLiteral("50"));
        h.enter("txbMaxNumKeywordsInMetaTag", QStringLiteral("101"));
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Number of keywords")});
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("Maximum number of keywords in the meta tag is 100.")});
        QCOMPARE(h.box("txbMaxNumKeywordsInMetaTag")->text(), QStringLiteral("50"));
        h.enter("txbMaxNumKeywordsInMetaTag", QStringLiteral("100"));
        h.enter("txbMaxNumKeywordsInMetaTag", QString());
        QCOMPARE(h.box("txbMaxNumKeywordsInMetaTag")->text(), QStringLiteral("50"));
        QVERIFY(h.dialogs.shown.isEmpty());

        h.enter("txbMaxNumBytesInMetaTag", QStringLiteral("1001"));
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Tagwright")});
        QCOMPARE(h.dialogs.shown[0].icon, MessageIcon::None);
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("Maximum number of bytes in the meta tag is 1000.")});
        QCOMPARE(h.box("txbMaxNumBytesInMetaTag")->text(), QStringLiteral("500"));
        h.enter("txbMaxNumBytesInMetaTag", QString());
        QCOMPARE(h.box("txbMaxNumBytesInMetaTag")->text(), QString());
        QVERIFY(h.dialogs.shown.isEmpty());

        h.enter("txbWordsToIgnore", QStringLiteral("Foo  Bar, baz"));
        QCOMPARE(h.box("txbWordsToIgnore")->text(), QStringLiteral("foo,bar,baz"));
        h.button("cmdClearWordsToIgnore")->click();
        QCOMPARE(h.box("txbWordsToIgnore")->text(), QString());
    }

    void folderEntriesAreChecked()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.option("optMultipleFiles")->click();
        h.enter("txbFolder", h.userFolder.filePath(QStringLiteral("nowhere")));
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Invalid input")});
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("Folder does not exist.")});
        h.button("cmdGenerateKeywordMetaTag")->click();
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("Folder does not exist")});
        h.button("cmdClearFolder")->click();
        h.button("cmdGenerateKeywordMetaTag")->click();
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("No input folder specified.")});
        h.dialogs.fileNames.enqueue(h.userFolder.path());
        h.button("cmdFolder")->click();
        QCOMPARE(h.dialogs.fileDialogTitles, QStringList{QStringLiteral("Select Folder")});
        QCOMPARE(h.box("txbFolder")->text(), h.userFolder.path());
    }

    void germanTextAsksBeforeLowerCase()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.list("cboLanguage")->setCurrentIndex(2);
        emit h.list("cboLanguage")->activated(2);
        h.check("chkPreserveCase")->click();
        QVERIFY(h.check("chkPreserveCase")->isChecked());
        QVERIFY(h.dialogs.shown.isEmpty());
        h.dialogs.answers.enqueue(Answer::No);
        h.check("chkPreserveCase")->click();
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Confirmation")});
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("For German text it is better to keep upper/lower "
                                            "case.\r\n\r\nAre you sure you want all keywords in "
                                            "lower case?")});
        QVERIFY(h.check("chkPreserveCase")->isChecked());
        h.dialogs.answers.enqueue(Answer::Yes);
        h.check("chkPreserveCase")->click();
        QVERIFY(!h.check("chkPreserveCase")->isChecked());
    }

    void showExistingTagsOfThePage()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.button("cmdShowExistingKeywordMetaTag")->click();
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("Input file not specified.")});
        h.box("txbInputFile")->setText(h.writeFile(QStringLiteral("roses.htm"), kPage));
        h.button("cmdShowExistingKeywordMetaTag")->click();
        QVERIFY(h.dialogs.shown.isEmpty());
        QCOMPARE(h.output(),
                 QStringLiteral("TITLE: Rose garden\n\nKEYWORDS meta tag: <meta name=\"keywords\" "
                                "content=\"roses, garden\">\n\nDESCRIPTION meta tag: <meta "
                                "name=\"description\" content=\"Growing roses\">\n\n"));

        // A UTF-8 page's texts are shown with their characters; the page stays as it was.
        const QByteArray utf8Page = "<html><head><meta charset=\"UTF-8\">\r\n"
                                    "<title>L\xC3\xA9gumes d'\xC3\xA9t\xC3\xA9</title>\r\n"
                                    "<meta name=\"keywords\" content=\"l\xC3\xA9gumes\">\r\n"
                                    "</head><body></body></html>\r\n";
        const QString potager = h.writeFile(QStringLiteral("potager.html"), utf8Page);
        h.box("txbInputFile")->setText(potager);
        h.button("cmdShowExistingKeywordMetaTag")->click();
        QVERIFY(h.output().contains(QStringLiteral("TITLE: Légumes d'été")));
        QVERIFY(h.output().contains(QStringLiteral("content=\"légumes\">")));
        QFile page(potager);
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), utf8Page);
    }

    void insertWithAndWithoutBackup()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        const QString page = h.writeFile(QStringLiteral("roses.htm"), kPage);
        h.box("txbInputFile")->setText(page);
        h.get<QPlainTextEdit>("txbMetaTAG")->setPlainText(QStringLiteral("<meta>"));
        h.button("cmdInsert")->click();
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("The keywords meta tag has not been generated.")});

        h.button("cmdGenerateKeywordMetaTag")->click();
        // Tab leaves the output box; a tab pasted into the tag reaches the page as a blank.
        auto* output = h.get<QPlainTextEdit>("txbMetaTAG");
        output->setFocus();
        QTest::keyClick(output, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != output);
        output->setPlainText(output->toPlainText().replace(QStringLiteral("rose, "),
                                                           QStringLiteral("rose,\t")));
        h.option("optInsertionWithBackup")->click();
        h.button("cmdInsert")->click();
        QCOMPARE(titles(h.dialogs), QStringList({QStringLiteral("Insert meta tag into file"),
                                                 QStringLiteral("Insert meta tag into file")}));
        const QString backup = h.userFolder.filePath(QStringLiteral("roses.bak.htm"));
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList({QStringLiteral("Meta tag inserted successfully into document."),
                              QStringLiteral("The original file was backed up as\r\n") + backup}));
        QFile inserted(page);
        QVERIFY(inserted.open(QIODevice::ReadOnly));
        const QByteArray content = inserted.readAll();
        QVERIFY(content.contains("<meta name=\"keywords\" content=\"rose, garden"));
        QVERIFY(!content.contains("content=\"roses, garden\""));
        QVERIFY(!content.contains('\t'));
        QFile previous(backup);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), kPage);

        // A second insertion with backup overwrites the backup, and says what it holds now.
        h.button("cmdInsert")->click();
        QCOMPARE(h.dialogs.takeTexts().value(1),
                 QStringLiteral("The previous version of the file (not the original) was backed "
                                "up as\r\n") +
                     backup);
        QFile secondBackup(backup);
        QVERIFY(secondBackup.open(QIODevice::ReadOnly));
        QCOMPARE(secondBackup.readAll(), content);
        secondBackup.close();

        QVERIFY(QFile::remove(backup));
        h.option("optInsertionWithoutBackup")->click();
        h.button("cmdInsert")->click();
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("Meta tag inserted successfully into document.")});
        QVERIFY(!QFile::exists(backup));
    }

    void insertionRefusalsAreExplained()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        QByteArray headless = kPage;
        headless.replace("</head>", "");
        const QString page = h.writeFile(QStringLiteral("headless.htm"), headless);
        h.box("txbInputFile")->setText(page);
        h.button("cmdInsert")->click();
        QCOMPARE(h.dialogs.takeTexts(), QStringList{QStringLiteral("Nothing to insert.")});
        h.button("cmdGenerateKeywordMetaTag")->click();
        h.button("cmdInsert")->click();
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Not inserted")});
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{
                     QStringLiteral("Keywords meta tag NOT inserted because </head> is missing.")});
        QFile unchanged(page);
        QVERIFY(unchanged.open(QIODevice::ReadOnly));
        QCOMPARE(unchanged.readAll(), headless);
        QVERIFY(!QFile::exists(h.userFolder.filePath(QStringLiteral("headless.bak.htm"))));

        // A page that cannot be rewritten is kept, and the message says why.
        const QString locked = h.writeFile(QStringLiteral("locked.htm"), kPage);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        h.box("txbInputFile")->setText(locked);
        h.button("cmdGenerateKeywordMetaTag")->click();
        h.dialogs.takeTexts();
        h.button("cmdInsert")->click();
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("An unknown error has occurred.\r\n"
                                            "The file is read-only for everyone.")});
    }

    void stopEndsALongAnalysis()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbInputFile")->setText(h.writeFile(QStringLiteral("long.htm"), longPage()));
        bool sawStop = false;
        bool othersDisabled = false;
        // The window lets events through as soon as Stop is shown, before the first line is
        // read: the zero timer fires there, whatever the machine's speed.
        QTimer::singleShot(0, [&] {
            sawStop = h.button("cmdListWords")->text() == QStringLiteral("Stop");
            othersDisabled = !h.button("cmdGenerateKeywordMetaTag")->isEnabled() &&
                             !h.button("cmdReset")->isEnabled() &&
                             h.box("txbInputFile")->isReadOnly();
            h.button("cmdListWords")->click();
        });
        h.button("cmdListWords")->click();
        QVERIFY(sawStop);
        QVERIFY(othersDisabled);
        QVERIFY(h.dialogs.shown.isEmpty());
        // The click was taken before any word was counted.
        QVERIFY2(h.output().endsWith(QStringLiteral("\n\nStopped with 0 words identified.")),
                 qPrintable(h.output().right(80)));
        QCOMPARE(h.label("lblNumberOfWords")->text(), QString());
        QCOMPARE(h.button("cmdListWords")->text(), QStringLiteral("List words"));
        QVERIFY(h.button("cmdGenerateKeywordMetaTag")->isEnabled());
        QVERIFY(!h.box("txbInputFile")->isReadOnly());
        QVERIFY(!h.window->wordTableCurrent());
    }

    void aSettingChangedDuringTheAnalysisLeavesTheTableStale()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbInputFile")->setText(h.writeFile(QStringLiteral("long.htm"), longPage()));
        bool changedWhileRunning = false;
        QTimer::singleShot(0, [&] {
            changedWhileRunning = h.button("cmdListWords")->text() == QStringLiteral("Stop");
            h.list("cboBoldWeight")->setCurrentIndex(7);
            emit h.list("cboBoldWeight")->activated(7);
        });
        h.button("cmdListWords")->click();
        QVERIFY(changedWhileRunning);
        QVERIFY(h.output().startsWith(QStringLiteral("Rank Value Freq. Density\n")));
        QVERIFY(!h.window->wordTableCurrent());
        h.button("cmdListWords")->click();
        QVERIFY(h.window->wordTableCurrent());
    }

    void modeSwitchKeepsEachModesTexts()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbInputFile")->setText(QStringLiteral("/pages/a.htm"));
        h.get<QPlainTextEdit>("txbMetaTAG")->setPlainText(QStringLiteral("single output"));
        h.option("optMultipleFiles")->click();
        QCOMPARE(h.box("txbInputFile")->text(), QString());
        QVERIFY(h.output().isEmpty());
        QCOMPARE(h.button("cmdListWords")->text(), QStringLiteral("Save state"));
        QCOMPARE(h.button("cmdShowExistingKeywordMetaTag")->text(),
                 QStringLiteral("Set operation parameters"));
        QCOMPARE(h.button("cmdGenerateKeywordMetaTag")->text(),
                 QStringLiteral("Generate/insert keywords meta tag"));
        QVERIFY(!h.button("cmdInsert")->isVisible());
        QVERIFY(h.label("lblMetaTagInserted")->isVisible());
        QVERIFY(!h.button("cmdInputFile")->isEnabled());
        QVERIFY(h.button("cmdFolder")->isEnabled());
        h.box("txbFolder")->setText(QStringLiteral("/pages"));
        h.get<QPlainTextEdit>("txbMetaTAG")->setPlainText(QStringLiteral("batch output"));

        h.option("optSingleFile")->click();
        QCOMPARE(h.box("txbInputFile")->text(), QStringLiteral("/pages/a.htm"));
        QCOMPARE(h.box("txbFolder")->text(), QString());
        QCOMPARE(h.output(), QStringLiteral("single output"));
        QCOMPARE(h.button("cmdListWords")->text(), QStringLiteral("List words"));
        QVERIFY(h.button("cmdInsert")->isVisible());

        h.option("optMultipleFiles")->click();
        QCOMPARE(h.box("txbFolder")->text(), QStringLiteral("/pages"));
        QCOMPARE(h.output(), QStringLiteral("batch output"));
    }

    void restoreDefaultsAndClear()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.box("txbBeginMetaTagWith")->setText(QStringLiteral("garden"));
        h.box("txbWordsToIgnore")->setText(QStringLiteral("foo"));
        h.list("cboLanguage")->setCurrentIndex(1);
        h.list("cboTitleWeight")->setCurrentIndex(0);
        h.check("chkForwardSlash")->setChecked(true);
        h.box("txbMaxNumBytesInMetaTag")->setText(QStringLiteral("800"));
        h.button("cmdReset")->click();
        QCOMPARE(h.list("cboTitleWeight")->currentText(), QStringLiteral("90"));
        QVERIFY(!h.check("chkForwardSlash")->isChecked());
        QCOMPARE(h.box("txbMaxNumBytesInMetaTag")->text(), QStringLiteral("500"));
        QCOMPARE(h.box("txbBeginMetaTagWith")->text(), QStringLiteral("garden"));
        QCOMPARE(h.box("txbWordsToIgnore")->text(), QStringLiteral("foo"));
        QCOMPARE(h.list("cboLanguage")->currentIndex(), 1);

        h.get<QPlainTextEdit>("txbMetaTAG")->setPlainText(QStringLiteral("text"));
        h.button("cmdClearOutput")->click();
        QVERIFY(h.output().isEmpty());
        h.box("txbBeginMetaTagWith")->setText(QStringLiteral("garden"));
        h.button("cmdClearBeginMetaTagWith")->click();
        QCOMPARE(h.box("txbBeginMetaTagWith")->text(), QString());
    }

    void largeWindowAndBackgroundColour()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        const int normal = h.window->height();
        const QRect screen = h.window->screen()->geometry();
        QVERIFY(h.window->screen()->availableGeometry().contains(h.window->frameGeometry()));
        h.check("chkLargeWindow")->click();
        QTRY_COMPARE(h.window->frameGeometry().height(), screen.height() * 9 / 10);
        QCOMPARE(h.window->y(), screen.top() + twipsToPixels(300));
        h.check("chkLargeWindow")->click();
        QTRY_COMPARE(h.window->height(), normal);
        QCOMPARE(h.window->frameGeometry().top(),
                 screen.top() + (screen.height() - h.window->frameGeometry().height()) / 2);

        QTest::mouseDClick(h.window.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(h.window->backColor(), kLightGrey);
        QCOMPARE(h.check("chkPreserveCase")->palette().color(QPalette::Window),
                 QColor(224, 224, 224));
        QTest::mouseDClick(h.window.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(h.window->backColor(), kLightGreen);
    }

    void webLinksAndHelp()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        QTest::mouseClick(h.label("lblQuorvexSystems"), Qt::LeftButton);
        QTest::mouseClick(h.label("lblOnlineDocumentation"), Qt::LeftButton);
        QCOMPARE(h.openedAddresses,
                 QStringList({QStringLiteral("https://example.com/"),
                              QStringLiteral("https://example.com/tagwright/manual/")}));
        QVERIFY(h.dialogs.shown.isEmpty());
        h.openResult = 31;
        QTest::mouseClick(h.label("lblQuorvexSystems"), Qt::LeftButton);
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Cannot launch web browser")});

        h.button("cmdHelp")->click();
        auto* help = h.window->findChild<QWidget*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        help->hide();
        QTest::keyRelease(h.button("cmdListWords"), Qt::Key_F1);
        QVERIFY(help->isVisible());
    }

    void stateSurvivesQuitAndStart()
    {
        MainWindowHarness first;
        QVERIFY(first.start());
        const QString page = first.writeFile(QStringLiteral("page.htm"), kPage);
        first.box("txbInputFile")->setText(page);
        first.box("txbWordsToIgnore")->setText(QStringLiteral("foo,bar"));
        first.box("txbMaxNumKeywordsInMetaTag")->setText(QStringLiteral("12"));
        first.box("txbMaxNumBytesInMetaTag")->setText(QString());
        first.list("cboSpanWeight")->setCurrentIndex(7);
        first.list("cboLanguage")->setCurrentIndex(5);
        first.check("chkPreserveCase")->setChecked(true);
        first.option("optInsertionWithoutBackup")->setChecked(true);
        QTest::mouseDClick(first.window.get(), Qt::LeftButton, {}, QPoint(2, 2));
        first.window->close();
        const QString path = first.window->stateFilePath();
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("tagwright.usr"));
        QVERIFY(path.startsWith(first.userFolder.path()));
        QVERIFY(QFile::exists(path));

        MainWindowHarness second;
        QFile::copy(path, stateFilePath(second.userFolder.path(), QStringLiteral("Tagwright"),
                                        QStringLiteral("Tagwright")));
        second.writeFile(QStringLiteral("page.htm"), kPage);
        QVERIFY(second.start());
        QVERIFY(second.dialogs.shown.isEmpty());
        QCOMPARE(second.window->stateFilePath(),
                 second.userFolder.filePath(QStringLiteral("Tagwright/tagwright.usr")));
        QCOMPARE(second.box("txbInputFile")->text(), page);
        QCOMPARE(second.box("txbWordsToIgnore")->text(), QStringLiteral("foo,bar"));
        // The keyword limit always starts at 50.
        QCOMPARE(second.box("txbMaxNumKeywordsInMetaTag")->text(), QStringLiteral("50"));
        QCOMPARE(second.box("txbMaxNumBytesInMetaTag")->text(), QString());
        QCOMPARE(second.list("cboSpanWeight")->currentIndex(), 7);
        QCOMPARE(second.list("cboLanguage")->currentIndex(), 5);
        QVERIFY(second.check("chkPreserveCase")->isChecked());
        QVERIFY(second.option("optInsertionWithoutBackup")->isChecked());
        QCOMPARE(second.window->backColor(), kLightGrey);
    }

    void savedNamesComeBackAsTheRulesSay()
    {
        MainWindowHarness h;
        SavedState state;
        state.main.inputFile = h.writeFile(QStringLiteral("old.bak.htm"), kPage);
        state.main.backColor = 0;
        QVERIFY(writeStateFile(stateFilePath(h.userFolder.path(), QStringLiteral("Tagwright"),
                                             QStringLiteral("Tagwright")),
                               state)
                    .written);
        QVERIFY(h.start());
        QCOMPARE(h.box("txbInputFile")->text(), QString());
        QCOMPARE(h.window->backColor(), kLightGreen);

        MainWindowHarness folder;
        state.main.inputFile = folder.writeFile(QStringLiteral("page.htm"), kPage);
        state.main.folder = folder.userFolder.path();
        QVERIFY(writeStateFile(stateFilePath(folder.userFolder.path(), QStringLiteral("Tagwright"),
                                             QStringLiteral("Tagwright")),
                               state)
                    .written);
        QVERIFY(folder.start());
        QVERIFY(folder.option("optMultipleFiles")->isChecked());
        QCOMPARE(folder.box("txbInputFile")->text(), QString());
        QCOMPARE(folder.box("txbFolder")->text(), folder.userFolder.path());
        QCOMPARE(folder.button("cmdListWords")->text(), QStringLiteral("Save state"));
        QVERIFY(folder.button("cmdListWords")->isEnabled());
    }

    void aBrokenStateFileGivesEveryDefault()
    {
        MainWindowHarness h;
        SavedState state;
        state.main.beginMetaTagWith = QStringLiteral("garden");
        state.main.titleWeight = 2;
        state.main.singleFile = false;
        const QString path = stateFilePath(h.userFolder.path(), QStringLiteral("Tagwright"),
                                           QStringLiteral("Tagwright"));
        QVERIFY(writeStateFile(path, state).written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray content = file.readAll();
        content.replace("\r\n1\r\n1\r\n1\r\n5\r\n", "\r\n12\r\n1\r\n1\r\n5\r\n"); // item 7
        file.resize(0);
        file.write(content);
        file.close();
        QVERIFY(h.start());
        QVERIFY(h.dialogs.shown.isEmpty());
        QCOMPARE(h.box("txbBeginMetaTagWith")->text(), QString());
        QCOMPARE(h.list("cboTitleWeight")->currentText(), QStringLiteral("90"));
        QCOMPARE(h.list("cboShortWordSize")->currentText(), QStringLiteral("2"));
        QVERIFY(h.option("optSingleFile")->isChecked());
    }

    void saveStateCommandReportsAFailure()
    {
        MainWindowHarness h;
        QVERIFY(h.start());
        h.option("optMultipleFiles")->click();
        h.button("cmdListWords")->click();
        QVERIFY(h.dialogs.shown.isEmpty());
        QVERIFY(readStateFile(h.window->stateFilePath()).has_value());
        QVERIFY(QFile::remove(h.window->stateFilePath()));
        QVERIFY(QDir().mkpath(h.window->stateFilePath())); // a folder in the file's place
        h.button("cmdListWords")->click();
        QCOMPARE(titles(h.dialogs),
                 QStringList({QStringLiteral("Save state"), QStringLiteral("Save state")}));
        QVERIFY(h.dialogs.shown[0].text.startsWith(
            QStringLiteral("Error when attempting to save the state: ")));
        QCOMPARE(h.dialogs.shown[1].text,
                 QStringLiteral("Error when attempting to save the state"));
    }

    void aMissingCommonWordListIsReported()
    {
        QTemporaryDir data;
        for (const QString& name :
             QDir(QStringLiteral(TAGWRIGHT_TEST_DATA_DIR)).entryList(QDir::Files))
            if (name != QLatin1String("cwds_de.txt"))
                QVERIFY(QFile::copy(QStringLiteral(TAGWRIGHT_TEST_DATA_DIR "/") + name,
                                    data.filePath(name)));
        MainWindowHarness h(data.path());
        SavedState state;
        state.main.language = 2;
        QVERIFY(writeStateFile(stateFilePath(h.userFolder.path(), QStringLiteral("Tagwright"),
                                             QStringLiteral("Tagwright")),
                               state)
                    .written);
        QVERIFY(h.start());
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Common words not available")});
        QVERIFY(h.dialogs.takeTexts()[0].startsWith(
            QStringLiteral("Common words in German could not be read from file\r\n")));
        QVERIFY(!h.check("chkIgnoreCommonWords")->isChecked());

        // Ticking the box again, or choosing German again, says it again.
        h.check("chkIgnoreCommonWords")->click();
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Common words not available")});
        h.dialogs.shown.clear();
        QVERIFY(!h.check("chkIgnoreCommonWords")->isChecked());
        emit h.list("cboLanguage")->activated(2);
        QCOMPARE(titles(h.dialogs), QStringList{QStringLiteral("Common words not available")});
    }

    void missingProgramTextsEndTheProgram()
    {
        QTemporaryDir empty;
        MainWindowHarness h(empty.path());
        QVERIFY(!h.start());
        QCOMPARE(h.dialogs.takeTexts(),
                 QStringList{QStringLiteral("Cannot open file containing program text.\r\n") +
                             empty.filePath(QStringLiteral("qova.dat"))});
        QVERIFY(!h.window->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
