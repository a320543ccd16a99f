#include "pages/GateFilesPart.h"

#include "config/DefaultProfiles.h"
#include "config/GateFile.h"
#include "link/GatewayList.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/Login.h"
#include "link/ui/ConnectionPart.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/TfDefault.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QTreeWidget>
#include <exception>

namespace {

constexpr int kTextFileLoaded = 78;
constexpr int kTextFileMissing = 436;
constexpr int kTextRunFailed = 62;
constexpr int kTextGatewayListNotWritten = 414;
constexpr int kTextBasicTopic = 32;
constexpr int kTextSystemTopic = 30;
const QString kGateFileFilter = QStringLiteral("Gate files (*.ini)|*.ini|All files (*.*)|*.*");

// The progress window of a whole-gateway run: shown with its bar at 0, the main window disabled meanwhile.
void showRunWindow(int caption, const QString& fallback)
{
    if (closingProgram())
        return;
    fLoad->setWindowTitle(labelOr(labelTexts, caption, fallback));
    fLoad->pb1->setRange(0, 100); // the network page's own saves leave theirs in commands
    fLoad->pb1->setValue(0);
    centreOnMainWindow(fLoad);
    fLoad->show();
    fLoad->activateWindow();
    fMain->setEnabled(false);
}

void stepRunWindow(int done)
{
    fLoad->pb1->setValue(done * 100 / gatewayRunLength());
    ProcessMessages();
}

void hideRunWindow()
{
    fMain->setEnabled(true);
    fLoad->hide();
}

void setAllFlagsButIsdn(quint8 value)
{
    for (int flag = 0; flag < pcCount; ++flag)
        if (flag != pcIsdn)
            pageChanged[flag] = value;
}

void information(int text)
{
    MessageBox(labelText(text), labelText(kCaptionInformation), MB_ICONINFORMATION);
}

void error(const QString& text)
{
    MessageBox(text, labelText(kCaptionError), MB_ICONERROR);
}

// The "not valid" box, naming the page (by its topic) whose input stopped the run.
void refusedOn(int topic)
{
    error(labelText(kTextInvalid) + QStringLiteral(" (") + labelText(topic) + QLatin1Char(')'));
}

// The topic of a page whose typed times or dates are checked before a file is written.
int timedPageTopic(PageId page)
{
    switch (page) {
    case PageId::System:
        return kTextSystemTopic;
    case PageId::Outgoing:
        return 34;
    case PageId::Lcr:
        return 37;
    default:
        return 584; // the ISDN page
    }
}

} // namespace

void GateFilesPart::tbLoadGateClick()
{
    // A gateway that has stopped answering is waited for once, not once a command; the connect's identification
    // counts in the run too.
    const GatewayRunScope run;
    if (!connectForPageRun(true))
        return;
    const LoadRunScope loading;
    fMain->ShowConnectionInfo();
    showRunWindow(114, QStringLiteral("Loading parametres..."));
    bool crashed = false;
    try {
        viewReplyCache.clear();
        refreshGatewayModel();
        progressShown = true;
        LoadErrors.clear();
        viewReplyCache.active = true;
        runGatewayLoad(stepRunWindow);
    } catch (const std::exception&) {
        crashed = true;
    }
    hideRunWindow();
    if (crashed)
        error(labelText(kTextRunFailed));
    else
        showLoadResult();
    progressShown = false;
    viewReplyCache = ViewReplyCache();
    setAllFlagsButIsdn(1);
}

void GateFilesPart::tbSaveGateClick()
{
    const GatewayRunScope run;
    if (!connectForPageRun())
        return;
    if (!fMain->basicValid()) {
        refusedOn(kTextBasicTopic);
        return;
    }
    if (!fMain->systemValid()) {
        refusedOn(kTextSystemTopic);
        return;
    }
    showRunWindow(112, QStringLiteral("Saving parametres..."));
    bool failed = false;
    bool crashed = false;
    try {
        refreshGatewayModel();
        LoadErrors.clear();
        progressShown = true;
        failed = !runGatewaySave(stepRunWindow);
    } catch (const std::exception&) {
        crashed = true;
    }
    progressShown = false;
    hideRunWindow();
    // Success only when no page failed, whichever page it was.
    if (crashed)
        error(labelText(kTextRunFailed));
    else
        showSaveResult(failed);
}

bool GateFilesPart::tbLoadParams(GateReadReport* result)
{
    GateReadReport local;
    GateReadReport& report = result ? *result : local;
    ReadGateFile(GateConfig, CurrentGateway.File, gsAll, &report);
    if (report.notGateFile)
        return false;
    // The file keeps the identification with its line ends turned into ",": the model is named after a blank.
    const int model = ati3Reply.contains(" MY") ? 1 : 0;
    if (model != gatewayModel) {
        gatewayModel = model;
        fMain->setModelLayout(model);
    }
    runFileLoad();
    return report.ok();
}

void GateFilesPart::tbLoadClick()
{
    if (!QFile::exists(CurrentGateway.File)) {
        // The pages keep what they show, and so do their flags: nothing was loaded over the edits.
        error(labelText(kTextFileMissing));
        return;
    }
    GateReadReport report;
    // The reader has shown what failed; "loaded" follows only a read without failures. A file that is no gate
    // file left the pages and their flags as they were.
    if (tbLoadParams(&report))
        information(kTextFileLoaded);
    if (!report.notGateFile)
        setAllFlagsButIsdn(0);
}

void GateFilesPart::mLoadOClick()
{
    const QString path = GetOpenFileName(fMain, QString(), programDir(), kGateFileFilter);
    if (path.isEmpty())
        return;
    GateReadReport report;
    ReadGateFile(GateConfig, path, gsAll, &report);
    if (report.notGateFile)
        return;
    runFileLoad();
    if (report.ok())
        information(kTextFileLoaded);
}

bool GateFilesPart::fileTimesValid()
{
    const PageId page = firstPageWithPartialTimes();
    if (page == PageId::Count)
        return true;
    refusedOn(timedPageTopic(page));
    return false;
}

void GateFilesPart::tbSaveClick()
{
    if (!fileTimesValid())
        return;
    runFileSave(true);
    if (!WriteGateFile(GateConfig, CurrentGateway.File, gsAll)) {
        // The flags stay set: closing still offers to save what did not reach the file.
        error(labelText(kTextFileNotWritten));
        return;
    }
    pageChanged.fill(0);
    information(kTextFileWritten);
}

void GateFilesPart::mSaveAsClick()
{
    QString path = GetSaveFileName(fMain, QString(), CurrentGateway.File, kGateFileFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ini");
    if (!fileTimesValid())
        return;
    // The extension table is written as the image holds it.
    runFileSave(false);
    if (!WriteGateFile(GateConfig, path, gsAll)) {
        error(labelText(kTextFileNotWritten));
        return;
    }
    clearFlagsAfterSaveAs();

    // The new file becomes the gateway's gate file only together with the list that names it: the next start
    // reads the list, and every save and load meanwhile must go where that start will look. The unnamed
    // gateway's file is always unnamed.ini (the list is never asked for it), so for it the copy stays a copy.
    if (CurrentGateway.Name != kUnnamedGateway) {
        IniFile gateways(gatewayListPath());
        gateways.WriteString(CurrentGateway.Name, QStringLiteral("File"), path);
        if (gateways.UpdateFile())
            CurrentGateway.File = path;
        else
            error(labelText(kTextGatewayListNotWritten));
    }
    information(kTextFileWritten);
}

void GateFilesPart::mDefaultClick()
{
    TfMain* m = fMain;
    if (gatewayModel != 0) {
        gatewayModel = 0;
        m->setModelLayout(0);
    }
    runDefault();
}

bool GateFilesPart::newConfiguration()
{
    const std::vector<DefaultProfile> profiles = ReadDefaultProfiles();
    fDefault->ListBox1->clear();
    for (const DefaultProfile& profile : profiles)
        fDefault->ListBox1->addItem(profile.caption);
    if (ShowModal(fDefault) != QDialog::Accepted)
        return false;
    const int row = fDefault->ListBox1->currentRow();
    if (row < 0 || row >= int(profiles.size()))
        return false;

    GateReadReport report;
    ReadGateFile(GateConfig, defaultProfileGateFile(profiles[size_t(row)]), gsAll, &report);
    if (report.notGateFile)
        return false;
    // A profile names its model anywhere in its identification, "MY" over "MX"; one that names neither keeps
    // the model in force.
    if (ati3Reply.contains("MX"))
        gatewayModel = 0;
    if (ati3Reply.contains("MY"))
        gatewayModel = 1;
    fMain->setModelLayout(gatewayModel);
    runFileLoad();
    setAllFlagsButIsdn(0);
    return true;
}

void GateFilesPart::Novkonfiguransoubor1Click()
{
    newConfiguration();
}
