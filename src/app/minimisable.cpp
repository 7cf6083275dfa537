#include "app/minimisable.h"

#include <QWidget>

namespace tagwright {

void setMinimisable(QWidget& window, bool minimisable)
{
    // Qt writes the window type that the attribute asks for only as the attribute changes, to
    // the native window of the moment; each native window is made with Qt's own type.
    window.setAttribute(Qt::WA_X11NetWmWindowTypeToolBar, false);
    window.setAttribute(Qt::WA_X11NetWmWindowTypeToolBar, !minimisable);
}

} // namespace tagwright
