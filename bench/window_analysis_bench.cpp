// Times the analysis of whole documents as the desktop program runs it (the main window's host:
// Stop polled, words shown as found, pending events let through every ~20 ms) beside the same
// analysis with a host that shows nothing. Prints one line per document and host: bytes,
// seconds (best of the runs, CPU time of this process), MB/s, and the rounds of pending events.
// Run with QT_QPA_PLATFORM=offscreen.

#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/window_analysis_host.h"

#include "engine/analysis.h"
#include "support/data_dir.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace {

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double bestSeconds(const std::string& path, tagwright::AnalysisHost& host,
                   const tagwright::AnalysisSettings& settings,
                   const tagwright::CommonWords& commonWords)
{
    double best = 1e30;
    tagwright::WordTable table;
    for (int run = 0; run < 3; ++run) {
        const double start = cpuSeconds();
        const tagwright::AnalysisOutcome outcome =
            tagwright::doFile(path, settings, commonWords, host, table);
        best = std::min(best, cpuSeconds() - start);
        if (outcome.result != tagwright::kAnalysisDone)
            std::fprintf(stderr, "%s: result %d\n", path.c_str(), outcome.result);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace tagwright;
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_analysis_bench FILE...\n");
        return 2;
    }
    QTemporaryDir userFolder;
    QtDialogs dialogs(nullptr);
    MainWindowContext context;
    context.dialogs = &dialogs;
    context.dataFolder = QString::fromStdString(programDataFolder());
    context.userDataFolder = userFolder.path();
    context.progressPause = 0;
    MainWindow window(context);
    if (!window.startUp())
        return 1;
    const AnalysisSettings settings = window.analysisSettings();
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        const auto bytes = static_cast<double>(std::filesystem::file_size(path));
        SilentAnalysisHost silent;
        const double quiet = bestSeconds(path, silent, settings, window.commonWords());
        // Each round of pending events wakes the event dispatcher once.
        int wakes = 0;
        const QMetaObject::Connection counting =
            QObject::connect(QAbstractEventDispatcher::instance(),
                             &QAbstractEventDispatcher::awake, [&wakes] { ++wakes; });
        const double shown =
            bestSeconds(path, window.analysisHost(), settings, window.commonWords());
        QObject::disconnect(counting);
        const int rounds = wakes / 3;
        std::printf("%-40s %11.0f bytes  silent %7.4f s %7.1f MB/s  window %7.4f s %7.1f MB/s"
                    "  %d event rounds\n",
                    path.c_str(), bytes, quiet, bytes / quiet / 1e6, shown, bytes / shown / 1e6,
                    rounds);
    }
    return 0;
}
