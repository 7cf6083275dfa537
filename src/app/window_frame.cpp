#include "app/window_frame.h"

#include <QWidget>
#include <QWindow>

namespace tagwright {

namespace {

// What the window manager told of the window's frame; nothing before the window was shown.
QMargins ownFrameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

} // namespace

QMargins frameMargins(const QWidget& window, const QWidget& framed)
{
    const QMargins own = ownFrameMargins(window);
    return own.isNull() ? ownFrameMargins(framed) : own;
}

void setFrameGeometry(QWidget& window, const QRect& frame, const QWidget& framed)
{
    // The inner geometry: the window manager keeps it where it is asked to be and frames it.
    window.setGeometry(frame.marginsRemoved(frameMargins(window, framed)));
}

} // namespace tagwright
