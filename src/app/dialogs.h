#pragma once

#include "engine/user_message.h"

#include <QString>

namespace tagwright {

enum class QuestionButtons { YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// Every message box, question and file dialog of the windows goes through this seam, so that
// tests can read what the program says and answer for the user. Texts use CR LF between lines,
// as the core writes them.
class Dialogs
{
  public:
    virtual ~Dialogs() = default;

    virtual void showMessage(const QString& title, const QString& text, MessageIcon icon) = 0;
    // The one message shown before the program ends: error icon, empty title.
    virtual void showFatalError(const QString& text) = 0;
    virtual Answer ask(const QString& title, const QString& text, QuestionButtons buttons,
                       MessageIcon icon, Answer defaultAnswer) = 0;
    // An empty result means the user cancelled.
    virtual QString openFileName(const QString& title, const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& filter,
                                 const QString& presetName) = 0;
    virtual QString folderName(const QString& title) = 0;
};

} // namespace tagwright
