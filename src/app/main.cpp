#include "app/main_window.h"
#include "app/multiple_files_windows.h"
#include "app/qt_dialogs.h"

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

    tagwright::QtDialogs dialogs(nullptr);
    tagwright::MainWindowContext context;
    context.dialogs = &dialogs;
    context.dataFolder = QString::fromStdString(tagwright::programDataFolder());
    context.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    tagwright::MainWindow window(context);
    dialogs.setParent(&window);
    tagwright::MultipleFilesWindows multipleFiles(window);
    window.attachMultipleFilesSide(&multipleFiles);
    if (!window.startUp())
        return 1;
    return application.exec();
}
