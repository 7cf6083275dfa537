#include "app/state_file.h"

#include <QtTest>

#include <QTemporaryDir>

using namespace tagwright;

namespace {

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void writeLines(const QString& path, const QStringList& lines)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}

SavedState unusualState()
{
    SavedState state;
    state.main.inputFile = QStringLiteral("/tmp/pages/Café.htm");
    state.main.folder = QStringLiteral("/tmp/pages");
    state.main.beginMetaTagWith = QStringLiteral("  garden, roses");
    state.main.wordsToIgnore = QStringLiteral("foo,bar");
    state.main.maxNumKeywordsInMetaTag = QStringLiteral("12");
    state.main.maxNumBytesInMetaTag = QString();
    state.main.shortWordSize = 8;
    state.main.thresholdFrequency = 0;
    state.main.tableWeight = 9;
    state.main.existingKeywordsWeight = -1;
    state.main.boldWeight = 0;
    state.main.ignoreShortWords = 0;
    state.main.ignoreCommonWords = 2;
    state.main.preserveCase = 1;
    state.main.spaceAfterComma = 0;
    state.main.forwardSlash = 1;
    state.main.titleWeight = 0;
    state.main.descriptionWeight = 9;
    state.main.italicWeight = 3;
    state.main.divWeight = 7;
    state.main.spanWeight = 6;
    state.main.language = 6;
    state.main.singleFile = false;
    state.main.insertionWithBackup = false;
    state.main.backColor = kLightGrey;
    state.parameters.backup = 1;
    state.parameters.confirm = 0;
    state.parameters.includeOldMetaTag = 1;
    state.parameters.saveStateOnClose = 1;
    state.parameters.lessThanNDaysOld = 6;
    state.parameters.siteWords = 50;
    return state;
}

} // namespace

class StateFileTest : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("tagwright.usr")); }

  private slots:
    void defaultsAreWrittenLineByLine()
    {
        QVERIFY(writeStateFile(path(), SavedState{}).written);
        const QStringList lines = readLines(path());
        QCOMPARE(lines.size(), kStateFileItems);
        QCOMPARE(lines.mid(0, 6),
                 QStringList({"\"\"", "\"\"", "\"\"", "\"\"", "\"50\"", "\"500\""}));
        QCOMPARE(lines.mid(6, 16), QStringList({"1", "1", "1", "5", "4", "1", "1", "0", "1", "0",
                                                "9", "5", "4", "2", "2", "0"}));
        QCOMPARE(lines.mid(22, 19), QStringList({"0", "1", "1", "0", "0", "1", "1", "1", "0", "0",
                                                 "0", "1", "0", "1", "1", "1", "0", "1", "0"}));
        QCOMPARE(lines.mid(41), QStringList({"#TRUE#", "#TRUE#", "8454016", "0", "\"\""}));
    }

    void everyItemSurvivesSaveAndLoad()
    {
        const SavedState state = unusualState();
        QVERIFY(writeStateFile(path(), state).written);
        const QStringList lines = readLines(path());
        QCOMPARE(lines.at(2), QStringLiteral("\"  garden, roses\""));
        QCOMPARE(lines.at(41), QStringLiteral("#FALSE#"));
        QCOMPARE(lines.at(43), QStringLiteral("14737632"));
        const std::optional<SavedState> read = readStateFile(path());
        QVERIFY(read.has_value());
        QVERIFY(*read == state);
    }

    void valuesAreReadAsTheirKindReadsThem()
    {
        QVERIFY(writeStateFile(path(), SavedState{}).written);
        QStringList lines = readLines(path());
        lines[0] = QStringLiteral("\"a.htm\" trailing"); // text ends at the closing quote
        lines[11] = QStringLiteral("1 ticked");          // check box: its leading number
        lines[12] = QStringLiteral("none");              // no leading number: 0
        lines[41] = QStringLiteral("#true#");            // only exactly #FALSE# is multiple
        lines[42] = QStringLiteral("yes");               // only exactly #TRUE# is backup
        writeLines(path(), lines);
        const std::optional<SavedState> read = readStateFile(path());
        QVERIFY(read.has_value());
        QCOMPARE(read->main.inputFile, QStringLiteral("a.htm"));
        QCOMPARE(read->main.ignoreShortWords, 1);
        QCOMPARE(read->main.ignoreCommonWords, 0);
        QVERIFY(read->main.singleFile);
        QVERIFY(!read->main.insertionWithBackup);
    }

    // The site words' box follows the text's items: a file of an earlier version, without it,
    // loads with the box empty, and a value that no run takes empties the box alone.
    void siteWordsItemMayBeMissingOrDropped()
    {
        QVERIFY(writeStateFile(path(), unusualState()).written);
        QStringList lines = readLines(path());
        QCOMPARE(lines.at(45), QStringLiteral("\"50\""));
        for (const QString& item : {QStringLiteral("\"100\""), QStringLiteral("\"x\"")}) {
            lines[45] = item;
            writeLines(path(), lines);
            const std::optional<SavedState> read = readStateFile(path());
            QVERIFY(read.has_value());
            QCOMPARE(read->parameters.siteWords, 0);
            QCOMPARE(read->parameters.lessThanNDaysOld, 6);
        }
        writeLines(path(), lines.mid(0, 45));
        QFile earlier(path());
        QVERIFY(earlier.open(QIODevice::ReadWrite));
        earlier.resize(earlier.size() - 2); // not even the last line's end
        earlier.close();
        const std::optional<SavedState> read = readStateFile(path());
        QVERIFY(read.has_value());
        QCOMPARE(read->parameters.siteWords, 0);
        QCOMPARE(read->parameters.lessThanNDaysOld, 6);
    }

    void dayListOutOfRangeBecomesTheFirstEntry_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("9") << "9";
        QTest::newRow("-3") << "-3";
    }

    void dayListOutOfRangeBecomesTheFirstEntry()
    {
        QFETCH(QString, item);
        SavedState state;
        state.parameters.lessThanNDaysOld = 4;
        QVERIFY(writeStateFile(path(), state).written);
        QStringList lines = readLines(path());
        lines[44] = item;
        writeLines(path(), lines);
        const std::optional<SavedState> read = readStateFile(path());
        QVERIFY(read.has_value());
        QCOMPARE(read->parameters.lessThanNDaysOld, 0);
    }

    void brokenFilesAreRefusedWhole_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("short-word size beyond its list") << 6 << "9";
        QTest::newRow("language beyond its list") << 21 << "7";
        QTest::newRow("list position below -1") << 16 << "-2";
        QTest::newRow("16-bit overflow") << 7 << "40000";
        QTest::newRow("check box value 3") << 13 << "3";
        QTest::newRow("parameter check box value -1") << 30 << "-1";
        QTest::newRow("colour beyond 32 bits") << 43 << "4294967296";
        QTest::newRow("number that is no number") << 8 << "abc";
        QTest::newRow("day list beyond 16 bits") << 44 << "70000";
    }

    void brokenFilesAreRefusedWhole()
    {
        QFETCH(int, line);
        QFETCH(QString, value);
        QVERIFY(writeStateFile(path(), unusualState()).written);
        QStringList lines = readLines(path());
        lines[line] = value;
        writeLines(path(), lines);
        QVERIFY(!readStateFile(path()).has_value());
    }

    void shortOrMissingFilesAreRefused()
    {
        QVERIFY(!readStateFile(dir.filePath(QStringLiteral("none.usr"))).has_value());
        QVERIFY(writeStateFile(path(), SavedState{}).written);
        writeLines(path(), readLines(path()).mid(0, 44));
        QVERIFY(!readStateFile(path()).has_value());
    }

    void aFolderThatCannotBeWrittenReportsWhy()
    {
        const StateWriteResult result =
            writeStateFile(dir.filePath(QStringLiteral("missing/folder/x.usr")), SavedState{});
        QVERIFY(!result.written);
        QVERIFY(!result.error.isEmpty());
    }

    void pathIsFormedAndItsFolderMade()
    {
        const QString formed =
            stateFilePath(dir.path(), QStringLiteral("Tagwright"), QStringLiteral("TagWright"));
        QCOMPARE(formed, dir.filePath(QStringLiteral("Tagwright/tagwright.usr")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("Tagwright"))).isDir());
    }
};

QTEST_MAIN(StateFileTest)
#include "state_file_test.moc"
