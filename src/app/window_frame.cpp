#include "app/window_frame.h"

#include <QGuiApplication>
#include <QScreen>
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
    window.setGeometry(keptOnScreen(frame).marginsRemoved(frameMargins(window, framed)));
}

QRect keptOnScreen(const QRect& frame)
{
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return frame;
    const QRect area = screen->availableGeometry();
    QRect kept = frame;
    if (kept.right() > area.right())
        kept.moveRight(area.right());
    if (kept.bottom() > area.bottom())
        kept.moveBottom(area.bottom());
    if (kept.left() < area.left())
        kept.moveLeft(area.left());
    if (kept.top() < area.top())
        kept.moveTop(area.top());
    return kept;
}

} // namespace tagwright
