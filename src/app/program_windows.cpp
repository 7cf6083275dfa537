#include "app/program_windows.h"

#include <utility>

namespace tagwright {

namespace {

MainWindowContext withDialogs(MainWindowContext context, Dialogs& dialogs)
{
    context.dialogs = &dialogs;
    return context;
}

} // namespace

ProgramWindows::ProgramWindows(MainWindowContext context)
    : dialogs_(nullptr), window_(withDialogs(std::move(context), dialogs_)), multipleFiles_(window_)
{
    dialogs_.setParent(&window_);
    window_.attachMultipleFilesSide(&multipleFiles_);
}

} // namespace tagwright
