// Makes the README's picture of the main window: starts the real window over a page, presses
// "Generate/show keywords meta tag" and saves what the window shows as a PNG. It uses a
// temporary per-user folder, so no saved state is read or written.

#include "app/main_window.h"
#include "app/qt_dialogs.h"

#include "support/data_dir.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tagwright-screenshot PAGE OUTPUT.png\n");
        return 2;
    }
    QTemporaryDir userFolder;
    tagwright::QtDialogs dialogs(nullptr);
    tagwright::MainWindowContext context;
    context.dialogs = &dialogs;
    context.dataFolder = QString::fromStdString(tagwright::programDataFolder());
    context.userDataFolder = userFolder.path();
    context.progressPause = 0;
    tagwright::MainWindow window(context);
    dialogs.setParent(&window);
    if (!window.startUp())
        return 1;
    window.findChild<QLineEdit*>(QStringLiteral("txbInputFile"))
        ->setText(QString::fromLocal8Bit(argv[1]));
    window.findChild<QPushButton*>(QStringLiteral("cmdGenerateKeywordMetaTag"))->click();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
