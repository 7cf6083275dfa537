#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace tagwright {

// The window manager's frame around a top-level window. Positions and sizes that the program
// states for its windows are those of the frame, title bar included; Qt learns a window's frame
// only once the window manager has framed it, after its first showing.

// The frame's margins around `window`; before the window is framed, those of `framed`, a
// window that the same window manager has framed already (the main window).
QMargins frameMargins(const QWidget& window, const QWidget& framed);

// Places `window` so that its frame covers `frame`, right from its first showing, moved just
// enough to stay on the screen's available area (keptOnScreen).
void setFrameGeometry(QWidget& window, const QRect& frame, const QWidget& framed);

// `frame` moved up or left just enough to lie on the available area (panels left out) of the
// screen that shows its centre; a frame larger than that area starts at its top left.
QRect keptOnScreen(const QRect& frame);

} // namespace tagwright
