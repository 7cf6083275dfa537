#include "app/form_style.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>

namespace tagwright {

namespace {

// The kinds of control whose colours follow the window: check boxes, labels, frames and
// option buttons. Buttons and text boxes keep the platform's colours.
bool takesFormColors(const QWidget* widget)
{
    return qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QLabel*>(widget) ||
           qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QRadioButton*>(widget);
}

bool isTextBox(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QTextEdit*>(widget);
}

bool takesFormFont(const QWidget* widget)
{
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLabel*>(widget) ||
           qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QListView*>(widget);
}

// The controls of the form itself: the other windows that it owns (as their parent) style
// their own.
QList<QWidget*> controlsOf(QWidget* form)
{
    QList<QWidget*> controls;
    for (QWidget* child : form->findChildren<QWidget*>()) {
        if (child->window() == form)
            controls.append(child);
    }
    return controls;
}

void setPaletteColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

} // namespace

void applyFormBackColor(QWidget* form, const QColor& color)
{
    setPaletteColor(form, QPalette::Window, color);
    form->setAutoFillBackground(true);
    for (QWidget* child : controlsOf(form)) {
        if (takesFormColors(child)) {
            setPaletteColor(child, QPalette::Window, color);
            // Buttons fill with their Button colour unless told otherwise.
            child->setBackgroundRole(QPalette::Window);
            child->setAutoFillBackground(true);
        }
    }
}

void applyFormForeColor(QWidget* form, const QColor& color)
{
    setPaletteColor(form, QPalette::WindowText, color);
    for (QWidget* child : controlsOf(form)) {
        if (takesFormColors(child))
            setPaletteColor(child, QPalette::WindowText, color);
    }
}

void applyFormFontName(QWidget* form, const QString& family, bool includeTextBoxes)
{
    for (QWidget* child : controlsOf(form)) {
        if (takesFormFont(child) || (includeTextBoxes && isTextBox(child))) {
            QFont font = child->font();
            font.setFamily(family);
            child->setFont(font);
        }
    }
}

} // namespace tagwright
