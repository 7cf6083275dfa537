#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace tagwright {

// The help window: the help text in a resizable window over the main window. It is created on
// first use and afterwards only shown and hidden, so it keeps its place and size.
class HelpWindow : public QWidget
{
    Q_OBJECT

  public:
    HelpWindow(QWidget& mainWindow, const QString& text);

    // Shows the window without blocking the main window, or restores it when minimised.
    void open();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeOverMainWindow(const QWidget& mainWindow);

    QPlainTextEdit* txbHelpScreen;
    QPushButton* cmdClose;
};

} // namespace tagwright
