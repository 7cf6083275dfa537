#pragma once

#include "app/main_window.h"
#include "scripted_dialogs.h"

#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace tagwright {

// A main window as a user meets it, over a temporary per-user folder, with scripted dialogs
// and a web-link opener that records the addresses.
class MainWindowHarness
{
  public:
    explicit MainWindowHarness(QString dataFolder = QStringLiteral(TAGWRIGHT_TEST_DATA_DIR))
        : dataFolder_(std::move(dataFolder))
    {
    }

    bool start()
    {
        MainWindowContext context;
        context.dialogs = &dialogs;
        context.dataFolder = dataFolder_;
        context.userDataFolder = userFolder.path();
        context.progressPause = 0;
        context.openAddress = [this](const QString& address) {
            openedAddresses.append(address);
            return openResult;
        };
        window = std::make_unique<MainWindow>(context);
        if (beforeStartUp)
            beforeStartUp(*window);
        if (!window->startUp())
            return false;
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    template <typename Control> Control* get(const char* name) const
    {
        auto* control = window->findChild<Control*>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }

    QPushButton* button(const char* name) const { return get<QPushButton>(name); }
    QLineEdit* box(const char* name) const { return get<QLineEdit>(name); }
    QCheckBox* check(const char* name) const { return get<QCheckBox>(name); }
    QComboBox* list(const char* name) const { return get<QComboBox>(name); }
    QRadioButton* option(const char* name) const { return get<QRadioButton>(name); }
    QLabel* label(const char* name) const { return get<QLabel>(name); }
    QString output() const { return get<QPlainTextEdit>("txbMetaTAG")->toPlainText(); }

    // Types into a box and leaves it, as a user tabbing away does.
    void enter(const char* name, const QString& text) const
    {
        QLineEdit* target = box(name);
        target->setFocus();
        target->selectAll();
        if (text.isEmpty())
            QTest::keyClick(target, Qt::Key_Delete);
        else
            QTest::keyClicks(target, text);
        get<QPlainTextEdit>("txbMetaTAG")->setFocus();
    }

    // Writes a file into the temporary folder and returns its path.
    QString writeFile(const QString& name, const QByteArray& content) const
    {
        const QString path = userFolder.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

    QTemporaryDir userFolder;
    ScriptedDialogs dialogs;
    // Runs between the window's construction and its start-up (attaching its other windows).
    std::function<void(MainWindow&)> beforeStartUp;
    QStringList openedAddresses;
    int openResult = 42;
    std::unique_ptr<MainWindow> window;

  private:
    QString dataFolder_;
};

} // namespace tagwright
