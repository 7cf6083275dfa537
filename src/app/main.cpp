#include "app/program_windows.h"

#include "batch/temporary_files.h"
#include "support/data_dir.h"
#include "support/termination_signals.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    tagwright::catchTerminationSignals(tagwright::removeTemporaryFilesAndEnd);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwright"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tagwright")));

    tagwright::MainWindowContext context;
    context.dataFolder = QString::fromStdString(tagwright::programDataFolder());
    context.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    tagwright::ProgramWindows windows(context);
    if (!windows.mainWindow().startUp())
        return 1;
    return application.exec();
}
