#pragma once

#include "app/dialogs.h"

class QWidget;

namespace tagwright {

// The production dialogs: QMessageBox and QFileDialog, modal to the given window.
class QtDialogs : public Dialogs
{
  public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    // The window that the dialogs are modal to.
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const QString& title, const QString& text, MessageIcon icon) override;
    void showFatalError(const QString& text) override;
    Answer ask(const QString& title, const QString& text, QuestionButtons buttons, MessageIcon icon,
               Answer defaultAnswer) override;
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& presetName) override;
    QString folderName(const QString& title) override;

  private:
    QWidget* parent_;
};

} // namespace tagwright
