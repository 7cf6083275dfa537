#include "app/web_link.h"

#include "scripted_dialogs.h"

#include <QtTest>

using namespace tagwright;

class WebLinkTest : public QObject
{
    Q_OBJECT

  private slots:
    void successShowsNothing()
    {
        ScriptedDialogs dialogs;
        QString opened;
        openWebLink(
            QStringLiteral("https://example.com/manual.htm"),
            [&](const QString& address) {
                opened = address;
                return 42;
            },
            dialogs);
        QCOMPARE(opened, QStringLiteral("https://example.com/manual.htm"));
        QVERIFY(dialogs.shown.isEmpty());
    }

    void failureCodesExplainThemselves_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("no handler") << 31
                                    << "Error launching web browser, error code = 31.\r\n\r\n"
                                       "File extension 'htm' is not associated with any "
                                       "application program.";
        QTest::newRow("not found") << 2
                                   << "Error launching web browser, error code = 2.\r\n\r\n"
                                      "Please try once more.";
        QTest::newRow("memory") << 8
                                << "Error launching web browser, error code = 8.\r\n\r\n"
                                   "Out of memory.";
        QTest::newRow("other") << 5 << "Error launching web browser, error code = 5.";
        QTest::newRow("limit") << 32 << "Error launching web browser, error code = 32.";
    }

    void failureCodesExplainThemselves()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        ScriptedDialogs dialogs;
        openWebLink(
            QStringLiteral("https://example.com/Manual.HTM"),
            [code](const QString&) { return code; }, dialogs);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Cannot launch web browser"));
        QCOMPARE(dialogs.shown[0].text, text);
        QCOMPARE(dialogs.shown[0].icon, MessageIcon::Warning);
    }

    void extensionIsTheTextAfterTheLastDotOfTheAddress()
    {
        QCOMPARE(webLinkFailureText(QStringLiteral("https://Example.COM"), 31),
                 QStringLiteral("Error launching web browser, error code = 31.\r\n\r\n"
                                "File extension 'com' is not associated with any application "
                                "program."));
        QVERIFY(webLinkFailureText(QStringLiteral("https://example.com/docs/"), 31)
                    .contains(QStringLiteral("'com/docs/'")));
    }
};

QTEST_MAIN(WebLinkTest)
#include "web_link_test.moc"
