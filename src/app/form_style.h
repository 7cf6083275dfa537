#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace tagwright {

// Every window styles itself when it loads: background and text colour of the window and of its
// check boxes, labels, frames and option buttons, and the font face of its frames, buttons,
// check boxes, labels, option buttons and lists (text boxes only when asked).
void applyFormBackColor(QWidget* form, const QColor& color);
void applyFormForeColor(QWidget* form, const QColor& color);
void applyFormFontName(QWidget* form, const QString& family, bool includeTextBoxes);

// The light green of the secondary windows.
inline const QColor kSecondaryWindowBackColor{192, 255, 192};

} // namespace tagwright
