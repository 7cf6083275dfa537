#include "app/state_file.h"

#include "batch/site_words.h"
#include "support/files.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <limits>

namespace tagwright {

namespace {

// Sizes of the main window's lists, for the check of a stored position.
constexpr int kSizeEntries = 9;
constexpr int kWeightEntries = 10;
constexpr int kLanguageEntries = 7;
constexpr int kDayEntries = 7;

QString textLine(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}
QString numberLine(qint64 number)
{
    return QString::number(number);
}
QString flagLine(bool flag)
{
    return flag ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
}

QStringList stateLines(const SavedState& state)
{
    const MainWindowState& m = state.main;
    const ParameterValues& p = state.parameters;
    return {textLine(m.inputFile),
            textLine(m.folder),
            textLine(m.beginMetaTagWith),
            textLine(m.wordsToIgnore),
            textLine(m.maxNumKeywordsInMetaTag),
            textLine(m.maxNumBytesInMetaTag),
            numberLine(m.shortWordSize),
            numberLine(m.thresholdFrequency),
            numberLine(m.tableWeight),
            numberLine(m.existingKeywordsWeight),
            numberLine(m.boldWeight),
            numberLine(m.ignoreShortWords),
            numberLine(m.ignoreCommonWords),
            numberLine(m.preserveCase),
            numberLine(m.spaceAfterComma),
            numberLine(m.forwardSlash),
            numberLine(m.titleWeight),
            numberLine(m.descriptionWeight),
            numberLine(m.italicWeight),
            numberLine(m.divWeight),
            numberLine(m.spanWeight),
            numberLine(m.language),
            numberLine(p.backup),
            numberLine(p.confirm),
            numberLine(p.addDone),
            numberLine(p.skipDone),
            numberLine(p.dontLogDone),
            numberLine(p.displayWords),
            numberLine(p.htm),
            numberLine(p.html),
            numberLine(p.shtm),
            numberLine(p.shtml),
            numberLine(p.includeAllSubfolders),
            numberLine(p.includeNewMetaTag),
            numberLine(p.includeOldMetaTag),
            numberLine(p.logOperations),
            numberLine(p.clearReportAtStart),
            numberLine(p.dialogBoxForUnixFiles),
            numberLine(p.dialogBoxForInvalidEndFontTag),
            numberLine(p.saveStateOnQuit),
            numberLine(p.saveStateOnClose),
            flagLine(m.singleFile),
            flagLine(m.insertionWithBackup),
            numberLine(m.backColor),
            numberLine(p.lessThanNDaysOld),
            textLine(p.siteWords > 0 ? QString::number(p.siteWords) : QString())};
}

// Reads the items in file order; the first item that cannot be read makes the reader fail,
// and every later read then fails too.
class ItemReader
{
  public:
    explicit ItemReader(QStringList lines) : lines_(std::move(lines)) {}

    bool ok() const { return ok_; }

    // The characters between the opening double quote and the next one; a line without an
    // opening quote is taken whole.
    QString text() { return textOf(next()); }

    // A text item that a file of an earlier version does not hold: empty then.
    QString textIfAny() { return ok_ && index_ < lines_.size() ? text() : QString(); }

    qint64 number(qint64 low, qint64 high)
    {
        bool parsed = false;
        const qint64 value = next().trimmed().toLongLong(&parsed);
        if (!parsed || value < low || value > high)
            ok_ = false;
        return ok_ ? value : 0;
    }

    int int16()
    {
        return static_cast<int>(
            number(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
    }

    int listPosition(int entries)
    {
        const int position = int16();
        if (position < -1 || position >= entries)
            ok_ = false;
        return position;
    }

    // A check box item is read as text: its leading number, 0 when it has none.
    int checkBox()
    {
        const int value = leadingNumber(text());
        if (value < 0 || value > 2)
            ok_ = false;
        return value;
    }

  private:
    static QString textOf(const QString& item)
    {
        const QString line = item.trimmed();
        if (!line.startsWith(QLatin1Char('"')))
            return line;
        const qsizetype close = line.indexOf(QLatin1Char('"'), 1);
        return close < 0 ? line.mid(1) : line.mid(1, close - 1);
    }

    QString next()
    {
        if (!ok_ || index_ >= lines_.size()) {
            ok_ = false;
            return {};
        }
        return lines_.at(index_++);
    }

    // The leading integer of a text, 0 when there is none; a run of digits too long for any
    // check box value gives -1.
    static int leadingNumber(const QString& text)
    {
        qsizetype end = 0;
        if (end < text.size() && (text[end] == QLatin1Char('-') || text[end] == QLatin1Char('+')))
            ++end;
        while (end < text.size() && text[end] >= QLatin1Char('0') && text[end] <= QLatin1Char('9'))
            ++end;
        if (end > 9)
            return -1;
        bool parsed = false;
        const int value = text.left(end).toInt(&parsed);
        return parsed ? value : 0;
    }

    QStringList lines_;
    qsizetype index_ = 0;
    bool ok_ = true;
};

// The percent box's text as a share: a whole number in the range a run takes, else 0, the empty
// box (a value that no run takes is dropped, not the whole state).
int siteWordsPercent(const QString& text)
{
    bool parsed = false;
    const int percent = text.toInt(&parsed);
    return parsed && percent >= kFewestSiteWordsPercent && percent <= kMostSiteWordsPercent
               ? percent
               : 0;
}

QStringList fileLines(const QByteArray& bytes)
{
    QString content = QString::fromUtf8(bytes);
    content.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    content.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return content.split(QLatin1Char('\n'));
}

} // namespace

StateWriteResult writeStateFile(const QString& path, const SavedState& state)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    for (const QString& line : stateLines(state))
        file.write((line + QLatin1String("\r\n")).toUtf8());
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

std::optional<SavedState> readStateFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    ItemReader read(fileLines(file.readAll()));
    SavedState state;
    MainWindowState& m = state.main;
    ParameterValues& p = state.parameters;
    m.inputFile = read.text();
    m.folder = read.text();
    m.beginMetaTagWith = read.text();
    m.wordsToIgnore = read.text();
    m.maxNumKeywordsInMetaTag = read.text();
    m.maxNumBytesInMetaTag = read.text();
    m.shortWordSize = read.listPosition(kSizeEntries);
    m.thresholdFrequency = read.listPosition(kSizeEntries);
    m.tableWeight = read.listPosition(kWeightEntries);
    m.existingKeywordsWeight = read.listPosition(kWeightEntries);
    m.boldWeight = read.listPosition(kWeightEntries);
    m.ignoreShortWords = read.checkBox();
    m.ignoreCommonWords = read.checkBox();
    m.preserveCase = read.checkBox();
    m.spaceAfterComma = read.checkBox();
    m.forwardSlash = read.checkBox();
    m.titleWeight = read.listPosition(kWeightEntries);
    m.descriptionWeight = read.listPosition(kWeightEntries);
    m.italicWeight = read.listPosition(kWeightEntries);
    m.divWeight = read.listPosition(kWeightEntries);
    m.spanWeight = read.listPosition(kWeightEntries);
    m.language = read.listPosition(kLanguageEntries);
    for (int* box :
         {&p.backup, &p.confirm, &p.addDone, &p.skipDone, &p.dontLogDone, &p.displayWords, &p.htm,
          &p.html, &p.shtm, &p.shtml, &p.includeAllSubfolders, &p.includeNewMetaTag,
          &p.includeOldMetaTag, &p.logOperations, &p.clearReportAtStart, &p.dialogBoxForUnixFiles,
          &p.dialogBoxForInvalidEndFontTag, &p.saveStateOnQuit, &p.saveStateOnClose})
        *box = read.checkBox();
    m.singleFile = read.text() != QLatin1String("#FALSE#");
    m.insertionWithBackup = read.text() == QLatin1String("#TRUE#");
    m.backColor = static_cast<std::int32_t>(read.number(std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max()));
    const int days = read.int16();
    p.lessThanNDaysOld = days < 0 || days >= kDayEntries ? 0 : days;
    p.siteWords = siteWordsPercent(read.textIfAny());
    if (!read.ok())
        return std::nullopt;
    return state;
}

QString stateFilePath(const QString& userDataFolder, const QString& folderName,
                      const QString& baseName)
{
    return QString::fromStdString(
        appDataFilePath((baseName.toLower() + QLatin1String(".usr")).toStdString(),
                        folderName.toStdString(), userDataFolder.toStdString()));
}

} // namespace tagwright
