#pragma once

class QWidget;

namespace tagwright {

// Whether the window manager offers to minimise `window`. A window manager minimises a dialog
// with the window it belongs to, so that a modal box minimised hides the whole program (without
// a taskbar it is gone). Qt's window flags offer no minimise button for a dialog, but Openbox
// ignores them and goes by the window's type alone: it offers no minimise for a toolbar. Called
// as the window is shown, before it is mapped, since the window system hears of the type only
// then.
void setMinimisable(QWidget& window, bool minimisable);

} // namespace tagwright
