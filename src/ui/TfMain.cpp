#include "ui/TfMain.h"

#include "config/GateFile.h"
#include "firmware/UpgradeJob.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "link/ui/TfCommSettings.h"
#include "pages/PageRuns.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"
#include "ui/InputHold.h"
#include "ui/StartupSettings.h"
#include "ui/UiState.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTreeWidget>

namespace {

// The close's stops: every live tool's and the upgrade's workers joined, then the link closed.
void stopWorkAndLink()
{
    liveTools.stopForClose();
    if (CurrentConnection.Connected && fMain)
        fMain->mDisconnectClick();
}

// As the main window, its close ends the program, whatever other window is still open.
void quitProgram()
{
    if (quitOnTerminate)
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

// The close's windows go at once: a progress window must not stay alone on the screen while the work it
// stood for ends its last step.
void hideProgramWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != fMain && window->isVisible())
            window->hide();
}

// The load runs open now and whether a close came during them (UI thread only).
int loadRuns = 0;
bool closeHeld = false;

} // namespace

LoadRunScope::LoadRunScope()
{
    if (loadRuns++ == 0)
        closeHeld = false;
}

LoadRunScope::~LoadRunScope()
{
    if (--loadRuns > 0 || !closeHeld)
        return;
    closeHeld = false;
    // From the event loop, as the window manager's close came: the load's handler has returned by then.
    if (fMain)
        QMetaObject::invokeMethod(
            fMain, [window = fMain] { window->close(); }, Qt::QueuedConnection);
}

TfMain::TfMain(QWidget* parent) : QMainWindow(parent)
{
    fMain = this;
    setObjectName(QStringLiteral("TfMain"));
    setWindowTitle(QStringLiteral("Mesk config program"));
    labelTexts.clear();
    languageNames.clear();
    statusText.clear();

    buildMenu(this);
    buildToolBar(this);
    installInputHold(this, tbDisconnect);
    buildStatusBar(this);
    buildNavigation(this);
    buildConnection(this);
    buildResetTopics();

    buildLoginAccountPage(pMain);
    buildDateTimePage(pMain);
    buildFirmwarePage(pMain);
    buildTracingPage(pMain);
    buildTerminal(pMain);
    buildRecordsPage(pMain);
    buildVoicePage(pMain);
    buildMonitorPage(pMain);
    buildActualCallsPage(pMain);
    buildBufferPage(pMain);
    buildTestCallsPage(pMain);
    buildConnectionStatePage(pMain);
    buildCommandsPage(pMain);
    buildDiagPage(pMain);
    buildSystemPage(pMain);
    buildIsdnPage(pMain);
    buildPortModesPage(pMain);
    buildBasicPage(pMain);
    buildOutgoingPage(pMain);
    buildIncomingPage(pMain);
    buildNetPage(pMain);
    buildLcrPage(pMain);
    buildAutoPage(pMain);
    buildGroupPage(pMain);
    buildExtPage(pMain);

    // The start size holds the largest page (GSM basic) without scroll bars next to a topic tree that shows
    // its texts; the tree can be dragged wider.
    resize(1140, 720);

    auto* client = new TelnetClient(this);
    client->setObjectName(QStringLiteral("tcp"));
    tcp = client;

    FormCreate();
}

TfMain::~TfMain()
{
    // The trees' signals reach the parts, which are gone by the time the child widgets are deleted.
    tvTopic->blockSignals(true);
    tvAlpha->blockSignals(true);
    if (fMain == this)
        fMain = nullptr;
}

void TfMain::FormCreate()
{
    CurrentGateway.Name = QStringLiteral("unnamed");
    CurrentGateway.Port = 1001;
    CurrentGateway.Username.clear();
    CurrentGateway.Password.clear();
    CurrentGateway.Host.clear();
    networkNames.clear();
}

void TfMain::FormActivate()
{
    if (!firstActivation || starting_)
        return;
    starting_ = true;

    // Settings, read in a fixed order; missing file or keys give the defaults.
    IniFile settings(programFile(QStringLiteral("settings.ini")));
    const StartupSettings s = readStartupSettings(settings);
    CurrentConnection.LinkType = static_cast<quint8>(s.commType);
    fCommSettings->cbAppendLog->setChecked(s.append);
    fCommSettings->cbSaveLog->setChecked(s.saveLog);
    CurrentConnection.LanTimeout = s.lanTimeout;
    CurrentConnection.TapiTimeout = s.tapiTimeout;
    CurrentConnection.IsdnTimeout = s.isdnTimeout;
    cbSynDateTime->setChecked(s.synchronizeTime);
    CurrentConnection.IsdnModem = s.isdnModem;
    CurrentConnection.IsdnModemName = s.isdnModemName;
    CurrentConnection.ModemBaudRate = s.modemBaudRate;
    CurrentConnection.TapiModem = s.modem;
    CurrentConnection.ModemName = s.modemName;
    CurrentConnection.ComPortName = s.comPort;

    // The communication settings show the time-out of the link type read.
    const QString main = QStringLiteral("main");
    switch (CurrentConnection.LinkType) {
    case 2:
        fCommSettings->eTimeResponse->setText(
            QString::number(settings.ReadInteger(main, QStringLiteral("LanTimeout"), 5000)));
        break;
    case 3:
        fCommSettings->eTimeResponse->setText(
            QString::number(settings.ReadInteger(main, QStringLiteral("TapiTimeout"), 60)));
        break;
    case 0:
        fCommSettings->eTimeResponse->setText(
            QString::number(settings.ReadInteger(main, QStringLiteral("IsdnTimeout"), 20)));
        break;
    default:
        break;
    }

    if (!QFile::exists(programFile(QStringLiteral("languages.ini")))) {
        MessageBox(QStringLiteral("Language file not found, program will be closed.\n"
                                  "Soubor s jazykovým nastavením nebyl nalezen, program bude ukončen."),
                   QStringLiteral("Error"), MB_ICONERROR);
        requestTerminate(); // takes effect back in the event loop; the start-up goes on meanwhile
    }

    const int language = s.language;
    setLanguageMarks(language);
    repaint();
    loadLabels(language);
    setLabels(labelTexts);

    CurrentConnection.Append = fCommSettings->cbAppendLog->isChecked();
    CurrentConnection.SaveLog = fCommSettings->cbSaveLog->isChecked();

    CurrentGateway = SelectGateway(s.gateway, CurrentGateway);

    CurrentConnection.Handle.reset();
    CurrentConnection.Reserved1 = 0;

    fCommSettings->FormActivate();

    // Nothing has been edited yet. Done once: clearing at every activation would drop the flags that a row
    // dialog has just set on OK (its closing activates the main window again).
    clearFlagsAtStartUp();

    firstActivation = false;
    starting_ = false;
}

bool TfMain::FormClose()
{
    if (closingProgram())
        return true; // decided already; the close waits for the work it came in to end
    if (loadRuns > 0) {
        // Saved now, the gate file would hold the pages loaded so far next to the old values of the others.
        closeHeld = true;
        return false;
    }
    if (closeQuestionOpen())
        return false; // the question already shown decides
    if (!askAndSaveOnClose())
        return false;

    // From here on the program ends: work under way ends at its next step and shows no box, and no window of
    // the program stays on screen while that work finishes.
    setClosingProgram(true);
    hideProgramWindows();
    if (nestedWaits() > 0) {
        // The close came while a handler waits in the middle of its work (a voice transfer, a download, the start
        // of an upgrade). That work still uses the link and its files, and ends with its own steps first; the
        // workers are stopped and the link closed once it has returned, and only then does the program end.
        closeDeferred_ = true;
        afterNestedWaits([] {
            stopWorkAndLink();
            quitProgram();
        });
        return true;
    }
    stopWorkAndLink();
    return true;
}

bool TfMain::askAndSaveOnClose()
{
    if (!anyPageChanged())
        return true;
    // The question is part of the close: work that ends under it starts nothing new until it is answered.
    setCloseQuestionOpen(true);
    const auto answered = qScopeGuard([] { setCloseQuestionOpen(false); });
    const int answer = MessageBox(labelText(456), labelText(54), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return false;
    if (answer == IDYES) {
        // A partly typed time is not written: the window stays open with the field marked.
        if (!fileTimesValid())
            return false;
        runCloseSave();
        if (!WriteGateFile(GateConfig, CurrentGateway.File, gsAll))
            MessageBox(labelText(60), labelText(47), MB_ICONERROR);
    }
    return true;
}

bool TfMain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && firstActivation)
        FormActivate();
    return QMainWindow::event(event);
}

void TfMain::closeEvent(QCloseEvent* event)
{
    // Past its erase an upgrade leaves the gateway without firmware until its upload ends: the window refuses
    // its close then, as the disabled window it is (a window manager still delivers the close). Before the
    // erase the close holds it back until the close is decided.
    if (!upgradeCloseBegins()) {
        event->ignore();
        return;
    }
    const bool closes = FormClose();
    upgradeCloseEnds();
    if (!closes) {
        event->ignore();
        return;
    }
    event->accept();
    if (!closeDeferred_)
        quitProgram();
}
