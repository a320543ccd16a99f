#pragma once
// A test fixture that runs the program's windows offscreen in a temporary program folder.
//
// SetUp makes an empty temporary folder the program folder, copies the shipped languages.ini and defaults.ini
// into it, installs a ScriptedDialogs handler (dialogs()) and puts the program-wide state back to its start.
// Nothing is built yet: call createWindows() for all windows without the start-up, or startUp() for the
// windows plus the main window's first activation (settings, language, texts). TearDown deletes the windows
// and resets the state again. The program never quits the test's event loop (quitOnTerminate is cleared).
#include "support/ScriptedDialogs.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class TfMain;

class MainWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

public:
    QString programFolder() const;
    QString path(const QString& name) const; // a file in the program folder

    // Copies a file or folder of the source tree's data/ into the program folder.
    void copyData(const QString& name);
    void writeFile(const QString& name, const QByteArray& content);
    QByteArray readFile(const QString& name) const;
    void removeFile(const QString& name);
    // settings.ini with a [main] section holding these lines.
    void writeSettings(const QByteArray& mainLines);

    void createWindows();
    void startUp();
    // Shows the main window at its default size and waits until it is exposed.
    void showMainWindow();

    ScriptedDialogs& dialogs() { return *dialogs_; }
    TfMain* window() const;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    bool windowsCreated_ = false;
};
