#include "main_window_harness.h"

#include "app/edit_meta_tag_window.h"
#include "app/multiple_files_windows.h"
#include "app/parameters_window.h"
#include "app/qt_text.h"
#include "app/report_window.h"
#include "app/state_file.h"
#include "app/window_thread.h"
#include "batch/file_system.h"
#include "batch/run_lock.h"

#include <QDir>
#include <QDirIterator>
#include <QTimer>
#include <QWindow>
#include <QXmlStreamReader>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <map>
#include <utility>

using namespace tagwright;

namespace {

QByteArray page(const QByteArray& subject)
{
    return "<html>\r\n<head>\r\n<title>" + subject +
           " garden</title>\r\n"
           "<meta name=\"keywords\" content=\"old, words\">\r\n</head>\r\n<body>\r\n<p>" +
           subject + " need sun. " + subject + " need water. Pruning " + subject +
           " keeps them healthy; pruning again.</p>\r\n</body>\r\n</html>\r\n";
}

// Calls `act` once the watched window has been shown, from the event loop that shows it.
class ShowWatcher : public QObject
{
  public:
    ShowWatcher(QWidget& watched, std::function<void()> act) : act_(std::move(act))
    {
        watched.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            QMetaObject::invokeMethod(this, act_, Qt::QueuedConnection);
        return false;
    }

  private:
    std::function<void()> act_;
};

// The main window with its multiple-files side, as the program puts them together.
struct MultipleFilesHarness
{
    std::unique_ptr<MultipleFilesWindows> side;
    MainWindowHarness h;
    QTemporaryDir site;

    bool start()
    {
        h.beforeStartUp = [this](MainWindow& window) {
            side = std::make_unique<MultipleFilesWindows>(window);
            window.attachMultipleFilesSide(side.get());
        };
        return h.start();
    }

    QString write(const QString& name, const QByteArray& content) const
    {
        const QString path = site.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void chooseFolder()
    {
        h.option("optMultipleFiles")->click();
        h.box("txbFolder")->setText(site.path());
    }

    void setParameters(const std::function<void(ParameterValues&)>& change)
    {
        ParameterValues values = side->parameterValues();
        change(values);
        side->setParameterValues(values);
    }

    QString report() const { return fromCp1252(side->reportLog().text()); }

    bool reportTellsTheUserStopped() const
    {
        return report().contains(
            QStringLiteral("\r\n\r\nOperation stopped at user's request.\r\n"));
    }

    // Two pages, a.htm about roses and b.htm about tulips, in the folder the window is set to.
    std::pair<QString, QString> chooseFolderOfTwoPages()
    {
        std::pair<QString, QString> pages{write(QStringLiteral("a.htm"), page("Roses")),
                                          write(QStringLiteral("b.htm"), page("Tulips"))};
        chooseFolder();
        return pages;
    }

    // Runs the batch; whenever the inspect window is shown, `inspect` gets its file name
    // (as the window shows it) and acts on the window from inside its modal loop.
    int run(const std::function<void(const QString&, EditMetaTagWindow&)>& inspect = {})
    {
        int displays = 0;
        EditMetaTagWindow& window = side->inspectWindow();
        ShowWatcher watcher(window, [&] {
            if (!inspect)
                return;
            ++displays;
            const QString file =
                window.findChild<QLabel*>(QStringLiteral("lblFile"))->text().mid(6);
            inspect(file, window);
            if (window.isVisible())
                window.findChild<QPushButton*>(QStringLiteral("cmdContinue"))->click();
        });
        h.button("cmdGenerateKeywordMetaTag")->click();
        return displays;
    }
};

// A file system whose first writing of a file's content waits until the test lets it go on
// (or, so that a window that cannot let it go on fails rather than hangs, for a few seconds).
class HeldWrites : public FileSystem
{
  public:
    bool writeAll(int fd, std::string_view data) override
    {
        std::unique_lock lock(mutex_);
        if (!released_) {
            held_ = true;
            changed_.wait_for(lock, std::chrono::seconds(5), [this] { return released_; });
            released_ = true;
        }
        lock.unlock();
        return FileSystem::writeAll(fd, data);
    }
    bool isHeld()
    {
        const std::lock_guard lock(mutex_);
        return held_ && !released_;
    }
    void release()
    {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
};

// The main window's progress label as the run's thread reads each page's head.
class LabelAtEachHeadRead : public FileSystem
{
  public:
    explicit LabelAtEachHeadRead(const QLabel& label) : label_(label) {}
    int openForReading(const Folder& folder, const std::string& name) override
    {
        if (!onTheWindowThread())
            shown << onWindowThread([this] { return label_.text(); });
        return FileSystem::openForReading(folder, name);
    }

    QStringList shown;

  private:
    const QLabel& label_;
};

void tick(EditMetaTagWindow& window, const char* name, bool ticked)
{
    window.findChild<QCheckBox*>(QLatin1String(name))->setChecked(ticked);
}

// Whether a window manager may offer to minimise the window: not a window marked as a toolbar,
// and not one without the minimise button.
bool isMinimisable(const QWidget& window)
{
    return window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint) &&
           !window.testAttribute(Qt::WA_X11NetWmWindowTypeToolBar);
}

// Pages that differ from one another, as a site's do.
QByteArray sitePage(int number)
{
    static const QList<QByteArray> subjects{"Roses",   "Tulips",  "Lilies", "Irises",
                                            "Daisies", "Poppies", "Asters"};
    return page(subjects[number % subjects.size()] + " " +
                subjects[(number * 3 + 1) % subjects.size()]);
}

// Every file under a folder, hidden ones (temporary files) included, by relative path.
std::map<QString, QByteArray> treeBytes(const QString& folder)
{
    std::map<QString, QByteArray> bytes;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        bytes[QDir(folder).relativeFilePath(path)] = MultipleFilesHarness::read(path);
    }
    return bytes;
}

// A run of the main window over a site as the user sees it: the report, the output box, the
// dialogs in the order shown, the inspect window's tags in the order shown, and every file.
struct SeenRun
{
    QString report;
    QString output;
    QStringList dialogs;
    QStringList inspected;
    std::map<QString, QByteArray> files;
};

} // namespace

class MultipleFilesTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // "Save as web page..." writes the last run as the command line's --report-html does: one
    // well-formed page with a row for each page examined; a save that fails says why.
    void savesTheLastRunAsOneWebPage()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        m.write(QStringLiteral("a.htm"), page("Roses"));
        m.write(QStringLiteral("b.htm"), page("Tulips"));
        m.write(QStringLiteral("<&>.htm"), page("Lilies"));
        m.write(QStringLiteral("notes.htm"), "no head\r\n");
        m.chooseFolder();
        m.setParameters([](ParameterValues& values) { values.confirm = 0; });
        QPushButton* save = m.h.button("cmdSaveAsWebPage");
        QVERIFY(!save->isEnabled()); // no run yet
        m.run();
        QVERIFY(save->isEnabled());

        const qsizetype shown = m.h.dialogs.shown.size(); // the run's result
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("site.html"));
        m.h.dialogs.fileNames.enqueue(path);
        save->click();
        QCOMPARE(m.h.dialogs.fileDialogTitles.last(), QStringLiteral("Save the report as a web page."));
        QXmlStreamReader html(MultipleFilesHarness::read(path));
        QStringList rows;
        int bars = 0;
        while (!html.atEnd()) {
            if (html.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString classes = html.attributes().value(QStringLiteral("class")).toString();
            if (html.name() == QStringLiteral("tr") && classes.startsWith(QStringLiteral("page ")))
                rows.append(classes);
            bars += html.name() == QStringLiteral("rect") && classes == QStringLiteral("bar");
        }
        QVERIFY2(!html.hasError(), qPrintable(html.errorString()));
        QCOMPARE(rows, (QStringList{QStringLiteral("page written"), QStringLiteral("page written"),
                                    QStringLiteral("page written"), QStringLiteral("page passed")}));
        QVERIFY(bars > 0);
        QCOMPARE(m.h.dialogs.shown.size(), shown);

        m.h.dialogs.fileNames.enqueue(elsewhere.filePath(QStringLiteral("missing/site.html")));
        save->click();
        QCOMPARE(m.h.dialogs.shown.size(), shown + 1);
        QCOMPARE(m.h.dialogs.shown.last().icon, MessageIcon::Warning);
        QCOMPARE(m.h.dialogs.shown.last().text, QStringLiteral("No such file or directory"));
    }

    void inspectDeclinesOneFileAndEditsAnother()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const QString a = m.write(QStringLiteral("a.htm"), page("Roses"));
        const QString b = m.write(QStringLiteral("b.htm"), page("Tulips"));
        const QString backup = m.write(QStringLiteral("c.bak.htm"), page("Lilies"));
        const QString other = m.write(QStringLiteral("d.shtml"), page("Irises"));
        m.chooseFolder();
        QCOMPARE(m.h.button("cmdGenerateKeywordMetaTag")->text(),
                 QStringLiteral("Generate/insert keywords meta tag"));

        std::map<QString, QString> shownTags;
        QString existingShown;
        QList<const QWindow*> reportInFrontOf;
        QList<Qt::WindowType> reportTypes;
        QList<bool> reportMinimisable;
        const int displays = m.run([&](const QString& file, EditMetaTagWindow& window) {
            const ReportWindow& reportWindow = m.side->reportWindow();
            reportInFrontOf.append(reportWindow.windowHandle()->transientParent());
            reportTypes.append(reportWindow.windowType());
            reportMinimisable.append(isMinimisable(reportWindow));
            auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("txbMetaTAG"));
            shownTags[file] = box->toPlainText();
            if (file == QLatin1String("a.htm")) {
                tick(window, "chkInsertMetaTag", false);
                tick(window, "chkInsertDoneMetaTag", false);
            } else {
                existingShown = m.h.output();
                tick(window, "chkInsertMetaTag", true);
                // A pasted tab reaches the page as a blank.
                box->setPlainText(
                    QStringLiteral("<meta name=\"keywords\" content=\"edited,\ttulips\">"));
            }
        });

        QCOMPARE(displays, 2);
        QVERIFY(shownTags[QStringLiteral("a.htm")].contains(
            QStringLiteral("<meta name=\"keywords\" content=\"roses")));
        QCOMPARE(
            existingShown,
            QStringLiteral(
                "Existing keywords meta tag: <meta name=\"keywords\" content=\"old, words\">"));
        QCOMPARE(MultipleFilesHarness::read(a), page("Roses"));
        const QByteArray tagged = MultipleFilesHarness::read(b);
        QVERIFY(tagged.contains("<meta name=\"keywords\" content=\"edited, tulips\">"));
        QVERIFY(!tagged.contains("old, words"));
        QVERIFY(tagged.contains(" done\" content=\""));
        QCOMPARE(MultipleFilesHarness::read(backup), page("Lilies"));
        QCOMPARE(MultipleFilesHarness::read(other), page("Irises"));

        const QString report = m.report();
        QVERIFY(
            report.contains(QStringLiteral("File: a.htm  ---  ") + m.h.window->programText(29)));
        QVERIFY(report.contains(QStringLiteral(
            "File: b.htm\r\nNEW: <meta name=\"keywords\" content=\"edited, tulips\">")));
        QVERIFY(report.contains(
            QStringLiteral("A keywords meta tag was inserted in the following file:\r\n\r\n") + b));
        QCOMPARE(m.h.output(),
                 QStringLiteral("A keywords meta tag was inserted in the following file:\n\n") + b +
                     "\n");
        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].title, QStringLiteral("Result"));
        QCOMPARE(m.h.dialogs.shown[0].text,
                 QStringLiteral("A keywords meta tag was inserted in 1 file in 1 folder."));
        QCOMPARE(m.h.dialogs.shown[0].icon, MessageIcon::None);
        QCOMPARE(m.h.label("lblMetaTagInserted")->text(),
                 QStringLiteral("Keywords meta tag inserted in 1 of 2 files."));

        // The commands are back; the report is on screen, and "View report" brings it forward
        // once the main window covers it.
        QCOMPARE(m.h.button("cmdListWords")->text(), m.h.window->programText(21));
        QVERIFY(m.h.button("cmdListWords")->isEnabled());
        QVERIFY(m.h.button("cmdGenerateKeywordMetaTag")->isEnabled());
        QVERIFY(m.side->reportWindow().isVisible());
        QVERIFY(!m.h.button("cmdViewReport")->isHidden());
        // The report is kept in front of the main window only while the run is on; afterwards
        // it is an ordinary window, which the main window can cover.
        // Kept in front as a dialog, for which alone the window system hears of the link; it
        // offers no minimise then, which would take the main window with it.
        QCOMPARE(reportInFrontOf, QList<const QWindow*>(2, m.h.window->windowHandle()));
        QCOMPARE(reportTypes, QList<Qt::WindowType>(2, Qt::Dialog));
        QCOMPARE(reportMinimisable, QList<bool>(2, false));
        QCOMPARE(m.side->reportWindow().windowType(), Qt::Window);
        QCOMPARE(m.side->reportWindow().windowHandle()->transientParent(), nullptr);
        QVERIFY(isMinimisable(m.side->reportWindow()));
        for (const char* name : {"cmdSaveToFile", "cmdCopyToClipboard", "cmdClose"})
            QVERIFY(
                m.side->reportWindow().findChild<QPushButton*>(QLatin1String(name))->isEnabled());

        // Closing the report offers "View report", which brings it back.
        m.side->reportWindow().findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QVERIFY(!m.h.button("cmdViewReport")->isHidden());
        m.h.button("cmdViewReport")->click();
        QVERIFY(m.side->reportWindow().isVisible());
        QVERIFY(!m.h.button("cmdViewReport")->isHidden());

        // The last file processed is the input file of single-file mode.
        m.h.option("optSingleFile")->click();
        QVERIFY(m.h.box("txbInputFile")->text().endsWith(QStringLiteral(".htm")));
        QVERIFY(m.h.label("lblMetaTagInserted")->isHidden());
    }

    void theProgressLabelNeverWidensTheMainWindow()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const int width = m.h.window->width();
        m.write(QStringLiteral("a.htm"), page("Roses"));
        m.write(QStringLiteral("b.htm"), page("Tulips"));
        m.chooseFolder();
        QString progress;
        m.run([&](const QString&, EditMetaTagWindow&) {
            progress = m.h.label("lblMetaTagInserted")->text();
        });
        QCOMPARE(progress, QStringLiteral("Keywords meta tag inserted in 1 of 2 files."));
        QCOMPARE(m.h.window->width(), width);
        m.h.option("optSingleFile")->click();
        QCOMPARE(m.h.window->width(), width);
    }

    void foldersAndPagesWithAccentedNames()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const QString path = m.write(QStringLiteral("café/Été.htm"), page("Roses"));
        m.h.option("optMultipleFiles")->click();
        m.h.box("txbFolder")->setText(QFileInfo(path).path());
        QString shownFile;
        QCOMPARE(m.run([&](const QString& file, EditMetaTagWindow&) { shownFile = file; }), 1);
        QCOMPARE(shownFile, QStringLiteral("été.htm"));
        QVERIFY(MultipleFilesHarness::read(path).contains("content=\"roses"));
        QVERIFY(m.report().contains(QStringLiteral("Folder: ") + QFileInfo(path).path()));
        QVERIFY(m.report().contains(QStringLiteral("File: Été.htm\r\nNEW: ")));
        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].title, QStringLiteral("Result"));
    }

    void stopBoxOfTheEditMetaTagWindowEndsTheRunAfterThisFile()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const QStringList names{QStringLiteral("a.htm"), QStringLiteral("b.htm"),
                                QStringLiteral("sub/c.htm")};
        QStringList paths;
        for (const QString& name : names)
            paths.append(m.write(name, page("Roses")));
        m.chooseFolder();
        m.setParameters([](ParameterValues& values) { values.includeAllSubfolders = 1; });

        QString first;
        const int displays = m.run([&](const QString& file, EditMetaTagWindow& window) {
            first = file;
            tick(window, "chkStopOperation", true);
        });
        QCOMPARE(displays, 1);
        int changed = 0;
        for (const QString& path : paths)
            changed += MultipleFilesHarness::read(path) != page("Roses");
        QCOMPARE(changed, 1);
        QVERIFY(m.reportTellsTheUserStopped());
        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].text,
                 QStringLiteral("A keywords meta tag was inserted in 1 file in 1 folder."));

        // The close box declines the tag and stops too.
        for (const QString& path : paths)
            m.write(QDir(m.site.path()).relativeFilePath(path), page("Roses"));
        const int closedDisplays =
            m.run([&](const QString&, EditMetaTagWindow& window) { window.close(); });
        QCOMPARE(closedDisplays, 1);
        for (const QString& path : paths)
            QCOMPARE(MultipleFilesHarness::read(path).contains("Roses garden"), true);
        QVERIFY(m.report().contains(m.h.window->programText(29)));
        QVERIFY(m.report().contains(m.h.window->programText(30)));
    }

    void stopDuringAnAnalysisAnsweredNoEndsTheRun()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const auto [a, b] = m.chooseFolderOfTwoPages();
        m.setParameters([](ParameterValues& values) { values.confirm = 0; });
        m.h.dialogs.answers.enqueue(Answer::No);
        bool sawStop = false;
        // The window lets events through as soon as a page's analysis has begun: the zero timer
        // fires there, whatever the machine's speed.
        QTimer::singleShot(0, [&] {
            sawStop = m.h.button("cmdListWords")->text() == QStringLiteral("Stop") &&
                      m.h.button("cmdListWords")->isEnabled() &&
                      !m.h.button("cmdGenerateKeywordMetaTag")->isEnabled();
            m.h.button("cmdListWords")->click();
        });
        m.run();

        QVERIFY(sawStop);
        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].title, QStringLiteral("Continue?"));
        QCOMPARE(m.h.dialogs.shown[0].text, QStringLiteral("Go on to the next file?"));
        QVERIFY(m.h.dialogs.shown[0].question);
        QCOMPARE(MultipleFilesHarness::read(a), page("Roses"));
        QCOMPARE(MultipleFilesHarness::read(b), page("Tulips"));
        const QString report = m.report();
        QVERIFY(report.contains(QStringLiteral("  ---  Operation on this file stopped.")));
        QVERIFY(m.reportTellsTheUserStopped());
        QVERIFY(!report.contains(QStringLiteral("Now processing")));
        QCOMPARE(report.count(QStringLiteral("File: ")), 1);
        QVERIFY(m.h.output().startsWith(
            QStringLiteral("No files were processed (perhaps because all done already).")));
        QCOMPARE(m.h.button("cmdListWords")->text(), m.h.window->programText(21));

        // Answered Yes, the run goes on with the next file, whose analysis is not stopped.
        m.h.dialogs.answers.enqueue(Answer::Yes);
        QTimer::singleShot(0, [&] { m.h.button("cmdListWords")->click(); });
        m.run();
        QCOMPARE(m.report().count(QStringLiteral("  ---  Operation on this file stopped.")), 1);
        QCOMPARE(MultipleFilesHarness::read(a) != page("Roses"),
                 MultipleFilesHarness::read(b) == page("Tulips"));
    }

    // The next pages are analysed on other threads while the window shows a page, asks about
    // it or waits in the inspect window; what the user sees and every file are those of a run
    // on one thread.
    void aRunOnSeveralThreadsIsTheRunOnOne()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        m.chooseFolder();
        const auto writeSite = [&] {
            QDir(m.site.path()).removeRecursively();
            QDir().mkpath(m.site.path());
            for (int i = 0; i < 12; ++i) {
                m.write(QStringLiteral("p%1.htm").arg(i, 2, 10, QLatin1Char('0')), sitePage(i));
                m.write(QStringLiteral("sub/q%1.htm").arg(i), sitePage(i + 5));
            }
            QByteArray unixPage = sitePage(3);
            unixPage.replace("\r\n", "\n");
            m.write(QStringLiteral("p03u.htm"), unixPage);
            m.write(QStringLiteral("sub/q3u.htm"), unixPage);
            m.write(QStringLiteral("p05f.htm"),
                    page("Font") + "</font> a closing font tag that no font tag opened\r\n");
            m.write(QStringLiteral("p07n.htm"), "<html><title>Garden</title><p>garden soil</p>");
            static constexpr char kBinary[] = "<html>\0\0\0\0\0\0<head>";
            m.write(QStringLiteral("p09b.htm"), QByteArray(kBinary, sizeof kBinary - 1));
        };
        const auto runWith = [&](unsigned jobs) {
            writeSite();
            m.side->setJobs(jobs);
            m.h.dialogs.shown.clear();
            m.h.dialogs.answers.clear();
            m.h.dialogs.answers.enqueue(Answer::Yes);
            SeenRun seen;
            m.run([&](const QString& file, EditMetaTagWindow& window) {
                auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("txbMetaTAG"));
                seen.inspected.append(file + ": " + box->toPlainText());
                tick(window, "chkInsertMetaTag", file != QLatin1String("p02.htm"));
                if (file == QLatin1String("q4.htm"))
                    box->setPlainText(
                        QStringLiteral("<meta name=\"keywords\" content=\"edited, roses\">"));
            });
            seen.report = m.report();
            seen.output = m.h.output();
            for (const ScriptedDialogs::Shown& shown : m.h.dialogs.shown)
                seen.dialogs.append(shown.title + ": " + shown.text);
            seen.files = treeBytes(m.site.path());
            return seen;
        };

        for (const int inspect : {1, 0}) {
            m.setParameters([&](ParameterValues& values) {
                values.includeAllSubfolders = 1;
                values.confirm = inspect;
                values.backup = 1;
                values.addDone = 1;
                values.includeOldMetaTag = 1;
                values.includeNewMetaTag = 1;
                values.dialogBoxForUnixFiles = 1;
                values.dialogBoxForInvalidEndFontTag = 1;
            });
            const SeenRun one = runWith(1);
            QVERIFY(!one.report.contains(QStringLiteral("unix/linux")));
            QVERIFY(one.dialogs.size() >= 2); // the end-font question, the result
            QCOMPARE(one.inspected.size(), inspect ? 28 : 0);
            const SeenRun three = runWith(3);
            QCOMPARE(three.report, one.report);
            QCOMPARE(three.output, one.output);
            QCOMPARE(three.dialogs, one.dialogs);
            QCOMPARE(three.inspected, one.inspected);
            QVERIFY(three.files == one.files);
        }
    }

    // Stop while pages ahead are analysed and written on other threads: the run ends at that
    // page, leaves no temporary file, and every page is either as it was or as the whole run
    // writes it.
    void stopDuringARunOnSeveralThreadsLeavesEachPageOldOrNew()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        m.chooseFolder();
        m.setParameters([](ParameterValues& values) {
            values.confirm = 0;
            values.backup = 1;
        });
        m.side->setJobs(3);
        std::map<QString, QByteArray> old;
        for (int i = 0; i < 30; ++i) {
            const QString name = QStringLiteral("p%1.htm").arg(i, 2, 10, QLatin1Char('0'));
            old[name] = sitePage(i);
            m.write(name, old[name]);
        }
        m.run();
        const std::map<QString, QByteArray> whole = treeBytes(m.site.path());
        QCOMPARE(whole.size(), 2 * old.size()); // each page and its backup
        for (const auto& [name, bytes] : old) {
            m.write(name, bytes);
            QFile::remove(
                m.site.filePath(name).replace(QStringLiteral(".htm"), QStringLiteral(".bak.htm")));
        }

        // Stop is clicked as the sixth page is taken up (the input box shows it, while the run
        // waits); "Go on to the next file?" is answered No.
        const QMetaObject::Connection stopAtSixthPage = QObject::connect(
            m.h.box("txbInputFile"), &QLineEdit::textChanged, [&](const QString& file) {
                if (file.endsWith(QStringLiteral("p05.htm")))
                    m.h.button("cmdListWords")->click();
            });
        m.h.dialogs.shown.clear();
        m.h.dialogs.answers.enqueue(Answer::No);
        m.run();
        QObject::disconnect(stopAtSixthPage);

        QCOMPARE(m.h.dialogs.shown.size(), 2);
        QCOMPARE(m.h.dialogs.shown[0].text, QStringLiteral("Go on to the next file?"));
        const QString report = m.report();
        QVERIFY(report.contains(QStringLiteral("p05.htm  ---  Operation on this file stopped.")));
        QCOMPARE(report.count(QStringLiteral("File: ")), 6);
        int written = 0;
        for (const auto& [name, bytes] : treeBytes(m.site.path())) {
            QVERIFY2(!name.startsWith(QStringLiteral(".tagwright-")), qPrintable(name));
            if (name.contains(QStringLiteral(".bak."))) {
                QCOMPARE(bytes, whole.at(name));
                continue;
            }
            QVERIFY2(bytes == old.at(name) || bytes == whole.at(name), qPrintable(name));
            written += bytes == whole.at(name);
        }
        QCOMPARE(written, 5);
    }

    void closingTheMainWindowDuringARunEndsIt()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const auto [a, b] = m.chooseFolderOfTwoPages();
        m.setParameters([](ParameterValues& values) { values.confirm = 0; });
        QTimer::singleShot(0, [&] { m.h.window->close(); });
        m.run();
        QVERIFY(m.h.dialogs.shown.isEmpty());
        QCOMPARE(MultipleFilesHarness::read(a), page("Roses"));
        QCOMPARE(MultipleFilesHarness::read(b), page("Tulips"));
        QVERIFY(m.reportTellsTheUserStopped());
    }

    // The run writes off the window's thread: while a page's writing is held up, the window
    // turns its events, shows Stop and takes it; the Stop acts once that write is done, before
    // the next page's inspect window, with "Go on to the next file?".
    void stopDuringASlowWriteActsAfterItBeforeTheNextPage()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const auto [a, b] = m.chooseFolderOfTwoPages();
        m.side->setJobs(1);
        HeldWrites held;
        m.side->setFileSystem(held);
        bool stopShownWhileHeld = false;
        QTimer whileHeld;
        QObject::connect(&whileHeld, &QTimer::timeout, [&] {
            if (!held.isHeld())
                return;
            whileHeld.stop();
            QPushButton* stop = m.h.button("cmdListWords");
            stopShownWhileHeld = stop->isEnabled() && stop->text() == QStringLiteral("Stop");
            stop->click();
            held.release();
        });
        whileHeld.start(1);
        m.h.dialogs.answers.enqueue(Answer::No);
        QStringList inspected;
        m.run([&](const QString& file, EditMetaTagWindow&) { inspected << file; });

        QVERIFY(stopShownWhileHeld);
        QCOMPARE(inspected, QStringList{QStringLiteral("a.htm")});
        QCOMPARE(m.h.dialogs.shown.size(), 2);
        QCOMPARE(m.h.dialogs.shown[0].text, QStringLiteral("Go on to the next file?"));
        QCOMPARE(m.h.dialogs.shown[1].title, QStringLiteral("Result"));
        QVERIFY(MultipleFilesHarness::read(a).contains("content=\"roses"));
        QCOMPARE(MultipleFilesHarness::read(b), page("Tulips"));
        QVERIFY(m.reportTellsTheUserStopped());
    }

    // "Restore backups..." lists the pairs that the command line's restore would put back,
    // asks once, and puts back each page as it was before the run; No changes nothing.
    void restoreBackupsUndoesARunWithBackups()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const auto [a, b] = m.chooseFolderOfTwoPages();
        m.setParameters([](ParameterValues& values) {
            values.confirm = 0;
            values.backup = 1;
        });
        m.run();
        // A pair that no run made stays as it is.
        const QString c = m.write(QStringLiteral("c.htm"), page("Lilies"));
        const QString cBackup = m.write(QStringLiteral("c.bak.htm"), page("Irises"));
        const QByteArray taggedA = MultipleFilesHarness::read(a);
        QVERIFY(taggedA != page("Roses"));
        QVERIFY(m.h.button("cmdRestoreBackups")->isVisible());

        m.h.dialogs.shown.clear();
        m.h.dialogs.answers.enqueue(Answer::No);
        m.h.button("cmdRestoreBackups")->click();
        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].title, QStringLiteral("Restore backups"));
        QVERIFY(m.h.dialogs.shown[0].question);
        QVERIFY(m.h.dialogs.shown[0].text.startsWith(QStringLiteral(
            "Give 2 pages the content of their backups?\r\n\r\na.htm\r\nb.htm\r\n")));
        QString report = m.report();
        QVERIFY(report.contains(QStringLiteral("File: a.htm  ---  Its backup can be put back.")));
        QVERIFY(report.contains(QStringLiteral("File: b.htm  ---  Its backup can be put back.")));
        QVERIFY(report.contains(QStringLiteral("File: c.htm  ---  Left alone: ")));
        QVERIFY(report.contains(QStringLiteral("Nothing was restored.")));
        QVERIFY(m.side->reportWindow().findChild<QPushButton*>(QStringLiteral("cmdClose"))
                    ->isEnabled());
        QCOMPARE(MultipleFilesHarness::read(a), taggedA);
        QVERIFY(QFile::exists(m.site.filePath(QStringLiteral("a.bak.htm"))));

        m.h.dialogs.shown.clear();
        m.h.dialogs.answers.enqueue(Answer::Yes);
        m.h.button("cmdRestoreBackups")->click();
        QCOMPARE(MultipleFilesHarness::read(a), page("Roses"));
        QCOMPARE(MultipleFilesHarness::read(b), page("Tulips"));
        QVERIFY(!QFile::exists(m.site.filePath(QStringLiteral("a.bak.htm"))));
        QVERIFY(!QFile::exists(m.site.filePath(QStringLiteral("b.bak.htm"))));
        QCOMPARE(MultipleFilesHarness::read(c), page("Lilies"));
        QCOMPARE(MultipleFilesHarness::read(cBackup), page("Irises"));
        report = m.report();
        QVERIFY(report.contains(QStringLiteral("File: a.htm  ---  Restored from its backup.")));
        QVERIFY(report.contains(QStringLiteral("File: b.htm  ---  Restored from its backup.")));
        const QString tally =
            QStringLiteral("2 of 3 pages restored from their backups. 1 left alone.");
        QVERIFY(report.contains(tally));
        QCOMPARE(m.h.dialogs.shown.size(), 2);
        QCOMPARE(m.h.dialogs.shown[1].title, QStringLiteral("Result"));
        QCOMPARE(m.h.dialogs.shown[1].text, tally);
        QVERIFY(m.h.button("cmdGenerateKeywordMetaTag")->isEnabled());
    }

    // The saved state may still ask for the Unix-type question: LF pages get their tags as
    // any page does, without a question or a warning.
    void lfPagesAreOrdinaryPagesInARun()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        QByteArray lfPage = page("Roses");
        lfPage.replace("\r\n", "\n");
        const QStringList paths{m.write(QStringLiteral("a.htm"), lfPage),
                                m.write(QStringLiteral("b.htm"), lfPage)};
        m.chooseFolder();
        m.setParameters([](ParameterValues& values) {
            values.confirm = 0;
            values.dialogBoxForUnixFiles = 1;
        });
        m.run();

        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].title, QStringLiteral("Result"));
        QVERIFY(!m.report().contains(QStringLiteral("unix/linux")));
        for (const QString& path : paths)
            QVERIFY(MultipleFilesHarness::read(path).contains("<meta name=\"keywords\""));
        QVERIFY(!m.h.window->metaTagInsertedLabel().text().contains(QStringLiteral("Unix")));
    }

    // Another run (the command line, another window) holds the folder: the window says so at
    // once and starts nothing, rather than waiting with no end in sight.
    void aFolderThatAnotherRunHoldsIsNotStarted()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const QString a = m.write(QStringLiteral("a.htm"), page("Roses"));
        m.chooseFolder();
        m.setParameters([](ParameterValues& values) { values.confirm = 0; });
        {
            const RunLock other(toPath(m.site.path()), [](const std::string&) { return false; });
            QCOMPARE(other.state(), RunLock::State::Held);
            m.run();
            QCOMPARE(m.h.dialogs.shown.size(), 1);
            QCOMPARE(m.h.dialogs.shown[0].title, QStringLiteral("Not started"));
            QCOMPARE(MultipleFilesHarness::read(a), page("Roses"));
        }
        m.run();
        QCOMPARE(m.h.dialogs.shown.size(), 2);
        QCOMPARE(m.h.dialogs.shown[1].title, QStringLiteral("Result"));
        QVERIFY(MultipleFilesHarness::read(a) != page("Roses"));
    }

    void filesDoneRecentlyAreSkipped()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const auto [a, b] = m.chooseFolderOfTwoPages();
        m.setParameters([](ParameterValues& values) { values.confirm = 0; });
        m.run();
        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].text,
                 QStringLiteral("A keywords meta tag was inserted in 2 files in 1 folder."));
        const QByteArray doneA = MultipleFilesHarness::read(a);
        const QByteArray doneB = MultipleFilesHarness::read(b);
        QVERIFY(doneA != page("Roses"));

        m.setParameters([](ParameterValues& values) { values.skipDone = 1; });
        m.run();
        QCOMPARE(m.h.dialogs.shown.size(), 1); // no second result box
        QCOMPARE(MultipleFilesHarness::read(a), doneA);
        QCOMPARE(MultipleFilesHarness::read(b), doneB);
        QCOMPARE(m.report().count(QStringLiteral("  ---  Done already on ")), 2);
        QVERIFY(m.report().endsWith(m.h.window->programText(25) + "\r\n"));
        QCOMPARE(m.h.output(),
                 QStringLiteral("No files were processed (perhaps because all done already).\n"
                                "You could repeat with operations logged in the report window."));

        // Not logged when so wished; with logging off the report is left as it was.
        m.setParameters([](ParameterValues& values) { values.dontLogDone = 1; });
        m.run();
        QVERIFY(!m.report().contains(QStringLiteral("Done already")));
        const QString before = m.report();
        m.side->reportWindow().close();
        m.setParameters([](ParameterValues& values) { values.logOperations = 0; });
        m.run();
        QCOMPARE(m.report(), before);
        QVERIFY(!m.side->reportWindow().isVisible());
        QVERIFY(!m.h.button("cmdViewReport")->isHidden());
    }

    void aFullReportDropsLaterLinesWhileTheRunGoesOn()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        const QStringList paths{m.write(QStringLiteral("a.htm"), page("Roses")),
                                m.write(QStringLiteral("b.htm"), page("Tulips")),
                                m.write(QStringLiteral("c.htm"), page("Lilies"))};
        m.chooseFolder();
        m.setParameters([](ParameterValues& values) {
            values.confirm = 0;
            values.clearReportAtStart = 0;
        });
        ReportLog& log = m.side->reportLog();
        const std::string line = "\r\nFile: earlier.htm  ---  Keywords meta tag inserted.";
        while (log.text().size() + line.size() < static_cast<std::size_t>(kReportCapacity) - 250)
            log.output(line);
        m.side->reportWindow().showMinimized();
        m.run();

        for (const QString& path : paths)
            QVERIFY(MultipleFilesHarness::read(path).contains("content=\""));
        QVERIFY(log.isFull());
        QVERIFY(m.report().endsWith(
            QStringLiteral("\r\n\r\n[Report buffer is full.  Processing will continue.]")));
        QVERIFY(m.report().size() <= kReportCapacity);
        QCOMPARE(m.h.dialogs.shown.size(), 1);
        QCOMPARE(m.h.dialogs.shown[0].text,
                 QStringLiteral("A keywords meta tag was inserted in 3 files in 1 folder."));
        QVERIFY(m.h.output().startsWith(
            QStringLiteral("A keywords meta tag was inserted in the following 3 files:")));
        QVERIFY(!m.side->reportWindow().isMinimized());
        auto* box = m.side->reportWindow().findChild<QPlainTextEdit*>(QStringLiteral("txbText"));
        QVERIFY(box->toPlainText().endsWith(
            QStringLiteral("\n\n[Report buffer is full.  Processing will continue.]")));

        // "Clear" of the output box lets entries be appended again.
        m.h.button("cmdClearOutput")->click();
        QVERIFY(!log.isFull());
    }

    void siteWordsBoxIsSavedReloadedAndLeavesTheSharedWordsOut()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        static const QList<QByteArray> subjects{"apricot", "bramble", "cherry", "damson",
                                                "elderberry", "fig", "gooseberry", "huckleberry",
                                                "jujube", "kumquat", "loquat", "medlar"};
        const QByteArray bar = "<div>sidebar navigation glossary</div>\r\n";
        QStringList paths;
        for (const QByteArray& subject : subjects)
            paths << m.write(QString::fromLatin1(subject + ".htm"),
                             "<html>\r\n<head>\r\n<title>" + subject +
                                 "</title>\r\n</head>\r\n<body>\r\n" + bar + "<p>" + subject +
                                 " " + subject + "</p>\r\n" + bar + "</body>\r\n</html>\r\n");
        m.chooseFolder();
        m.setParameters([](ParameterValues& values) { values.confirm = 0; });

        // Typed as a user types: only a share a run takes goes in.
        m.h.button("cmdShowExistingKeywordMetaTag")->click();
        ParametersWindow& window = m.side->parametersWindow();
        auto* box = window.findChild<QLineEdit*>(QStringLiteral("txbSiteWords"));
        QVERIFY(box);
        QCOMPARE(box->text(), QString());
        QTest::keyClicks(box, QStringLiteral("0"));
        QCOMPARE(box->text(), QString());
        QTest::keyClicks(box, QStringLiteral("50%"));
        QCOMPARE(box->text(), QStringLiteral("50"));
        window.findChild<QCheckBox*>(QStringLiteral("chkSaveStateOnClose"))->setChecked(true);
        window.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QCOMPARE(readStateFile(m.h.window->stateFilePath())->parameters.siteWords, 50);

        QVERIFY(m.start());
        QCOMPARE(m.side->parametersWindow().findChild<QLineEdit*>(QStringLiteral("txbSiteWords"))
                     ->text(),
                 QStringLiteral("50"));
        m.run();
        QVERIFY2(m.report().startsWith(QStringLiteral(
                     "Site words, on more than 50% of the 12 pages tagged, left out of every "
                     "tag: glossary 100%, navigation 100%, sidebar 100%.\r\n\r\nFolder: ")),
                 qPrintable(m.report()));
        for (int i = 0; i < subjects.size(); ++i) {
            const QByteArray written = MultipleFilesHarness::read(paths[i]);
            QVERIFY2(written.contains("<meta name=\"keywords\" content=\"" + subjects[i] + "\">"),
                     written.constData());
        }

        // While the site words are found, the progress label counts the pages examined: the
        // heads of the pages done just now are read as each is.
        m.setParameters([](ParameterValues& values) {
            values.confirm = 0;
            values.skipDone = 1;
            values.lessThanNDaysOld = 1;
        });
        m.side->setJobs(1);
        LabelAtEachHeadRead heads(m.h.window->metaTagInsertedLabel());
        m.side->setFileSystem(heads);
        m.run();
        const QString eleven = QStringLiteral("Finding the site words ... 11 files examined.");
        QVERIFY2(heads.shown.contains(eleven), qPrintable(heads.shown.join(QLatin1Char('|'))));
    }

    void parametersSurviveSaveAndLoad()
    {
        MultipleFilesHarness m;
        QVERIFY(m.start());
        m.chooseFolder();
        ParameterValues values;
        values.htm = 0;
        values.shtm = 1;
        values.includeAllSubfolders = 1;
        values.backup = 1;
        values.confirm = 0;
        values.logOperations = 0;
        values.includeOldMetaTag = 1;
        values.addDone = 0;
        values.skipDone = 1;
        values.lessThanNDaysOld = 5;
        values.dontLogDone = 1;
        values.clearReportAtStart = 0;
        values.displayWords = 0;
        values.dialogBoxForUnixFiles = 0;
        values.dialogBoxForInvalidEndFontTag = 1;
        values.saveStateOnQuit = 0;
        m.side->setParameterValues(values);
        QCOMPARE(m.h.button("cmdListWords")->text(), m.h.window->programText(21));
        m.h.button("cmdListWords")->click(); // saves the state in multiple-files mode
        QVERIFY(m.h.dialogs.shown.isEmpty());
        const auto saved = readStateFile(m.h.window->stateFilePath());
        QVERIFY(saved.has_value());
        QCOMPARE(saved->parameters, values);

        QVERIFY(m.start());
        QCOMPARE(m.side->parameterValues(), values);
        QVERIFY(m.h.option("optMultipleFiles")->isChecked());
        QCOMPARE(m.h.box("txbFolder")->text(), m.site.path());
        auto* dontLog =
            m.side->parametersWindow().findChild<QCheckBox*>(QStringLiteral("chkDontLogDone"));
        QVERIFY(!dontLog->isEnabled()); // logging is off
        // The secondary windows keep their own light green under the main window's colour.
        QCOMPARE(dontLog->palette().color(QPalette::Window), QColor(192, 255, 192));
        QCOMPARE(m.h.label("lblNumberOfWords")->palette().color(QPalette::Window),
                 QColor(128, 255, 128));

        // Closing the parameters window with its save box ticked writes the state at once.
        m.h.button("cmdShowExistingKeywordMetaTag")->click();
        ParametersWindow& window = m.side->parametersWindow();
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Set operation parameters"));
        window.findChild<QCheckBox*>(QStringLiteral("chkSaveStateOnClose"))->setChecked(true);
        window.findChild<QCheckBox*>(QStringLiteral("chkHTML"))->setChecked(false);
        window.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(readStateFile(m.h.window->stateFilePath())->parameters.html, 0);
        QCOMPARE(readStateFile(m.h.window->stateFilePath())->parameters.saveStateOnClose, 1);
    }
};

QTEST_MAIN(MultipleFilesTest)
#include "multiple_files_test.moc"
