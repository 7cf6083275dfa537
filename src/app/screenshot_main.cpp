// Makes the README's pictures from the real windows: the main window after "Generate/show
// keywords meta tag" on a page, or a finished batch run over a copy of a folder's pages with its
// report window. It uses a temporary per-user folder, so no saved state is read or written.

#include "app/multiple_files_windows.h"
#include "app/program_windows.h"
#include "app/report_window.h"

#include "support/data_dir.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

// Copies the pages of a folder, so that the run changes only the copies.
bool copyPages(const QString& from, const QString& to)
{
    const QDir source(from);
    for (const QString& name :
         source.entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files)) {
        if (!QFile::copy(source.filePath(name), QDir(to).filePath(name)))
            return false;
    }
    return true;
}

// Lets the windows settle: under a window manager, until it has framed and shown them (at most
// a few seconds), then a moment more for their last paint events.
void settle(const QList<QWidget*>& windows)
{
    const auto framed = [&windows] {
        for (const QWidget* window : windows) {
            const QWindow* handle = window->windowHandle();
            if (!handle || !handle->isExposed() || handle->frameMargins().isNull())
                return false;
        }
        return true;
    };
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && !framed())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    clock.start();
    while (clock.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// The windows as they stand on the screen, with the frames the window manager gave them.
QImage picture(const QList<QWidget*>& windows)
{
    settle(windows);
    QRect area;
    for (const QWidget* window : windows)
        area |= window->frameGeometry();
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const bool batch = argc == 4 && QLatin1String(argv[1]) == QLatin1String("--batch");
    if (argc != 3 && !batch) {
        std::fprintf(stderr, "usage: tagwright-screenshot PAGE OUTPUT.png\n"
                             "       tagwright-screenshot --batch FOLDER OUTPUT.png\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[argc - 2]);
    const QString output = QString::fromLocal8Bit(argv[argc - 1]);
    QTemporaryDir userFolder;
    QTemporaryDir site;
    tagwright::MainWindowContext context;
    context.dataFolder = QString::fromStdString(tagwright::programDataFolder());
    context.userDataFolder = userFolder.path();
    context.progressPause = 0;
    tagwright::ProgramWindows windows(context);
    tagwright::MainWindow& window = windows.mainWindow();
    tagwright::MultipleFilesWindows& multipleFiles = windows.multipleFiles();
    if (!window.startUp())
        return 1;

    QImage image;
    if (batch) {
        if (!copyPages(input, site.path())) {
            std::fprintf(stderr, "cannot copy the pages of %s\n", argv[2]);
            return 1;
        }
        window.findChild<QRadioButton*>(QStringLiteral("optMultipleFiles"))->click();
        window.findChild<QLineEdit*>(QStringLiteral("txbFolder"))->setText(site.path());
        tagwright::ParameterValues parameters = multipleFiles.parameterValues();
        parameters.confirm = 0;
        parameters.dialogBoxForUnixFiles = 0;
        multipleFiles.setParameterValues(parameters);
        // The result box at the end of the run is modal: close it once it is up.
        QTimer closeResult;
        QObject::connect(&closeResult, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        closeResult.start(50);
        window.findChild<QPushButton*>(QStringLiteral("cmdGenerateKeywordMetaTag"))->click();
        image = picture({&window, &multipleFiles.reportWindow()});
    } else {
        window.findChild<QLineEdit*>(QStringLiteral("txbInputFile"))->setText(input);
        window.findChild<QPushButton*>(QStringLiteral("cmdGenerateKeywordMetaTag"))->click();
        image = picture({&window});
    }
    if (!image.save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
