#include "support/MainWindowFixture.h"

#include "config/Parametres.h"
#include "firmware/ui/FirmwarePage.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "online/Diagnostics.h"
#include "online/LiveCells.h"
#include "online/OnlineCommands.h"
#include "online/Terminal.h"
#include "online/Tracing.h"
#include "ui/ResetPart.h"
#include "pages/PageState.h"
#include "platform/ProgramDir.h"
#include "platform/Wait.h"
#include "texts/Labels.h"
#include "ui/Forms.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"
#include "ui/UiState.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

void resetProgramState()
{
    resetUiState();
    resetTexts();
    resetFirmwareState(); // joins a job still running, before the link state goes
    resetLinkState();
    resetLiveTools();
    resetLiveCells();
    resetTracing();
    resetDiagnostics();
    resetOnlineCommands();
    resetTerminal();
    resetTimings = ResetTimings{};
    resetConfigState();
    resetPageState();
    setApplicationTitle(QStringLiteral("Mesk config program"));
    setClosingProgram(false);
}

bool copyRecursively(const QString& from, const QString& to)
{
    const QFileInfo info(from);
    if (!info.isDir()) {
        QFile::remove(to);
        return QFile::copy(from, to);
    }
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QString& entry : source.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (!copyRecursively(source.filePath(entry), to + QLatin1Char('/') + entry))
            return false;
    return true;
}

} // namespace

void MainWindowFixture::SetUp()
{
    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    setProgramDir(dir_->path());
    quitOnTerminate = false;
    resetProgramState();
    dialogs_ = std::make_unique<ScriptedDialogs>();
    copyData(QStringLiteral("languages.ini"));
    // The page defaults the start-up falls back on when the gateway has no gate file, as shipped.
    copyData(QStringLiteral("defaults.ini"));
}

void MainWindowFixture::TearDown()
{
    if (windowsCreated_)
        destroyForms();
    windowsCreated_ = false;
    resetProgramState();
    dialogs_.reset();
    setProgramDir(QString());
    quitOnTerminate = true;
    dir_.reset();
}

QString MainWindowFixture::programFolder() const
{
    return dir_->path();
}

QString MainWindowFixture::path(const QString& name) const
{
    return dir_->filePath(name);
}

void MainWindowFixture::copyData(const QString& name)
{
    const QString source = QStringLiteral(MESK_SOURCE_DIR "/data/") + name;
    ASSERT_TRUE(copyRecursively(source, path(name))) << qPrintable(source);
}

void MainWindowFixture::writeFile(const QString& name, const QByteArray& content)
{
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(content), content.size());
}

QByteArray MainWindowFixture::readFile(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void MainWindowFixture::removeFile(const QString& name)
{
    QFile::remove(path(name));
}

void MainWindowFixture::writeSettings(const QByteArray& mainLines)
{
    writeFile(QStringLiteral("settings.ini"), "[main]\n" + mainLines);
}

void MainWindowFixture::createWindows()
{
    ASSERT_FALSE(windowsCreated_);
    createForms();
    windowsCreated_ = true;
}

void MainWindowFixture::startUp()
{
    createWindows();
    fMain->FormActivate();
}

void MainWindowFixture::showMainWindow()
{
    fMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fMain));
}

TfMain* MainWindowFixture::window() const
{
    return fMain;
}
