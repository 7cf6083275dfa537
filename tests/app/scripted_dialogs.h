#pragma once

#include "app/dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

namespace tagwright {

// The dialogs of a test: every message and question is recorded, questions and file dialogs
// are answered from queues that the test fills beforehand. A question or file dialog with no
// answer queued is recorded as unanswered and cancelled.
class ScriptedDialogs : public Dialogs
{
  public:
    struct Shown
    {
        QString title;
        QString text;
        MessageIcon icon;
        bool question;
    };

    void showMessage(const QString& title, const QString& text, MessageIcon icon) override;
    void showFatalError(const QString& text) override;
    Answer ask(const QString& title, const QString& text, QuestionButtons buttons, MessageIcon icon,
               Answer defaultAnswer) override;
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& presetName) override;
    QString folderName(const QString& title) override;

    // Runs while a file dialog is up, as the user's moves meanwhile (a real dialog takes the
    // activation and gives it back to its parent, the main window).
    std::function<void()> whileFileDialogIsUp;

    QQueue<Answer> answers;
    QQueue<QString> fileNames;
    QList<Shown> shown;
    QStringList fileDialogTitles;
    int unanswered = 0;

    // The texts of everything shown so far, and forgets them.
    QStringList takeTexts();
};

} // namespace tagwright
