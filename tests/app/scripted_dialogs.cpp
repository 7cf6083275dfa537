#include "scripted_dialogs.h"

namespace tagwright {

void ScriptedDialogs::showMessage(const QString& title, const QString& text, MessageIcon icon)
{
    shown.append({title, text, icon, false});
}

void ScriptedDialogs::showFatalError(const QString& text)
{
    shown.append({QString(), text, MessageIcon::None, false});
}

Answer ScriptedDialogs::ask(const QString& title, const QString& text, QuestionButtons,
                            MessageIcon icon, Answer)
{
    shown.append({title, text, icon, true});
    if (answers.isEmpty()) {
        ++unanswered;
        return Answer::Cancel;
    }
    return answers.dequeue();
}

QString ScriptedDialogs::openFileName(const QString& title, const QString&)
{
    fileDialogTitles.append(title);
    if (whileFileDialogIsUp)
        whileFileDialogIsUp();
    if (fileNames.isEmpty()) {
        ++unanswered;
        return {};
    }
    return fileNames.dequeue();
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& filter, const QString&)
{
    return openFileName(title, filter);
}

QString ScriptedDialogs::folderName(const QString& title)
{
    return openFileName(title, QString());
}

QStringList ScriptedDialogs::takeTexts()
{
    QStringList texts;
    for (const Shown& s : shown)
        texts.append(s.text);
    shown.clear();
    return texts;
}

} // namespace tagwright
