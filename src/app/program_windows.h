#pragma once

#include "app/main_window.h"
#include "app/multiple_files_windows.h"
#include "app/qt_dialogs.h"

namespace tagwright {

// The program's windows as it starts: the main window, the dialogs modal to it and its
// multiple-files side.
class ProgramWindows
{
  public:
    // The context's dialogs are these windows' own.
    explicit ProgramWindows(MainWindowContext context);

    MainWindow& mainWindow() { return window_; }
    MultipleFilesWindows& multipleFiles() { return multipleFiles_; }

  private:
    QtDialogs dialogs_;
    MainWindow window_;
    MultipleFilesWindows multipleFiles_;
};

} // namespace tagwright
