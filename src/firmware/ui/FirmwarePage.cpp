#include "firmware/ui/FirmwarePage.h"

#include "link/CommError.h"

#include "firmware/BootPort.h"
#include "firmware/FirmwareVersion.h"
#include "firmware/HexFile.h"
#include "firmware/UpgradeJob.h"
#include "firmware/ui/TfFirm.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkOpen.h"
#include "link/LiveTools.h"
#include "link/Login.h"
#include "link/ReplyParsers.h"
#include "link/ui/ConnectionPart.h"
#include "platform/Dialogs.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"
#include "ui/WindowUtil.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <chrono>

namespace {

constexpr int kCaptionInfo = 54;
constexpr int kCaptionError = 47;
constexpr int kVersionsReadText = 61;
constexpr int kNoFileText = 71;
constexpr int kModemLinkText = 883;
constexpr int kUpgradeQuestion = 787;
constexpr int kIncompatibleText = 895; // 895, 896, 897 for the check's results 1, 2, 3
constexpr int kStateText = 194;        // 194 .. 202 for the states 0 .. 8
constexpr int kUploadText = 198;
constexpr int kEraseText = 197;
constexpr int kResultText = 205; // 206 .. 212 for the results 1 .. 7
constexpr int kBootOfferText = 52;
constexpr int kEraseWaitMs = 30000;
constexpr int kLinkEndPauseMs = 2000;
constexpr int kProgressLoading = 3;
constexpr int kCloseJoinMs = 5000; // a stopped job ends within its next read and the port's closing pause

QString errorCaption()
{
    return TextOrFallback(labelText(kCaptionError), QStringLiteral("Error"));
}

// The window work of a report goes to the window's thread; queued calls to one object keep their order.
void onWindowThread(std::function<void()> work)
{
    if (!fMain)
        return;
    QMetaObject::invokeMethod(fMain, std::move(work), Qt::QueuedConnection);
}

void showState(int state, int percent)
{
    if (!fFirm)
        return;
    if (state == 4) {
        fFirm->lbFirmStatus->setText(labelText(kUploadText) + QString::number(percent) + QStringLiteral(" %"));
        fFirm->pbStatus->setValue(percent);
    } else if (state >= 0 && state <= 8) {
        fFirm->lbFirmStatus->setText(labelText(kStateText + state));
    }
}

void showProgressWindow(const QString& caption)
{
    fFirm->pbStatus->setRange(0, 100); // the voice transfers leave theirs in bytes
    fFirm->pbStatus->setValue(0);
    fFirm->setWindowTitle(caption + QStringLiteral(" : ") + labelText(kUploadText));
    showWithoutWaiting(fFirm);
}

// The end of an upgrade, or of its start, in the windows: the main window back (a close works again), the
// progress window away.
void hideUpgradeWindows()
{
    upgradeEndShown();
    enableMainWindow();
    if (fFirm)
        fFirm->hide();
}

// The end of an upgrade in the windows, with its result.
void showResult(int result, const QString& detail)
{
    hideUpgradeWindows();
    if (result >= 1 && result <= 7) {
        QString text = labelText(kResultText + result);
        if (!detail.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + detail;
        MessageBox(text, errorCaption(), MB_ICONERROR);
    }
}

void giveTelnetBack()
{
    if (tcp) {
        tcp->setDataHandler([](const QByteArray& text) {
            if (fMain)
                fMain->tcpDataAvailable(text);
        });
    }
}

// The ends below connect again. A close decided meanwhile (in the result box, in the pause) lets them end
// without it: the close closes the link.
void serialEnd(int result, const QString& detail)
{
    showResult(result, detail);
    if (!closingProgram())
        connectForPageRun();
}

void linkEnd(int result, const QString& detail)
{
    WaitPumping(bootTiming.pause(kLinkEndPauseMs));
    showResult(result, detail);
    giveTelnetBack();
    tcpUpgradeActive = false;
    if (fMain)
        fMain->mDisconnectClick();
    if (result == 0 && !closingProgram())
        ConnectToGateway(false, fMain, true);
}

// The end of a job, once its last report (state 8) has come. Once the close is decided it does not run: the
// close has stopped the job, and the program shows no result and connects nothing. While the close's question
// is open it waits for the answer: Cancel keeps the program, and the end runs then.
void endWhenTheCloseAllows(const std::function<void()>& end)
{
    if (closingProgram())
        return;
    if (closeQuestionOpen()) {
        afterNestedWaits([end] { endWhenTheCloseAllows(end); });
        return;
    }
    end();
}

} // namespace

// ---- reports of the jobs ----

void SerialUpgradeProgress(int state, int percent)
{
    onWindowThread([state, percent] {
        showState(state, percent);
        if (state != 8)
            return;
        endWhenTheCloseAllows([] {
            std::shared_ptr<CFWUpgradeThread> job = firmwareJob;
            if (!job)
                return;
            job->Join(); // the job's thread has returned from this report
            serialEnd(job->GetError(), job->GetErrorDetail());
        });
    });
}

void LinkUpgradeProgress(int state, int percent)
{
    onWindowThread([state, percent] {
        showState(state, percent);
        if (state == 4 && fFirm)
            fFirm->repaint();
        if (state != 8)
            return;
        endWhenTheCloseAllows([] {
            std::shared_ptr<CFWUpgradeTcpThread> job = tcpFirmwareJob;
            if (!job)
                return;
            job->Join();
            linkEnd(job->GetError(), job->GetErrorDetail());
        });
    });
}

void resetFirmwareState()
{
    firmwareJob.reset();
    tcpFirmwareJob.reset();
    resetUpgradeCommit();
    tcpUpgradeActive = false;
    upgradeDisconnect = false;
}

// ---- versions ----

bool ReadGatewaySwVersion(QString& firmware, QString& boot)
{
    if (!connectForPageRun())
        return false;
    ShowProgress(kProgressLoading, fMain);
    const QString info = ReadGatewayInfo(false);
    if (!SplitGatewaySwVersion(info, firmware, boot)) {
        CommErrorBox();
        HideProgress(fMain);
        return false;
    }
    HideProgress(fMain);
    return true;
}

int CheckFirmwareVersion(const QString& fileName)
{
    QString firmware;
    QString boot;
    if (!ReadGatewaySwVersion(firmware, boot))
        return 3;
    return FirmwareFileFits(fileName, boot);
}

// ---- the page ----

void FirmwarePage::buildFirmwarePage(QWidget* host)
{
    pFirm = addTopicPage(host, "pFirm", 19);
    QWidget* page = pFirm->widget();

    gbFirmware = named(new QGroupBox(QStringLiteral("Firmware"), page), "gbFirmware");
    lbFirmFirm = named(new QLabel(QStringLiteral("Firmware version : "), gbFirmware), "lbFirmFirm");
    edFirmFirm = named(new QLineEdit(gbFirmware), "edFirmFirm");
    edFirmFirm->setReadOnly(true);
    lbFirmBoot = named(new QLabel(QStringLiteral("Bootware version : "), gbFirmware), "lbFirmBoot");
    edFirmBoot = named(new QLineEdit(gbFirmware), "edFirmBoot");
    edFirmBoot->setReadOnly(true);
    lbFirmUpdate = named(new QLabel(QStringLiteral("Firmware file : "), gbFirmware), "lbFirmUpdate");
    edFirmUpdate = named(new QLineEdit(gbFirmware), "edFirmUpdate");
    sbFirmFile = named(new QPushButton(QStringLiteral("..."), gbFirmware), "sbFirmFile");
    sbFirmFile->setFixedWidth(32);
    sbFirmLoad = named(new QPushButton(QStringLiteral("Load from gate"), gbFirmware), "sbFirmLoad");
    sbFirmUpgrade = named(new QPushButton(QStringLiteral("Upgrade firmware"), gbFirmware), "sbFirmUpgrade");
    mFirmHint = named(new QPlainTextEdit(gbFirmware), "mFirmHint");
    mFirmHint->setReadOnly(true);
    mFirmHint->setFrameShape(QFrame::NoFrame);
    mFirmHint->setFocusPolicy(Qt::NoFocus);
    mFirmHint->viewport()->setAutoFillBackground(false);
    mFirmHint->setFixedHeight(mFirmHint->fontMetrics().lineSpacing() * 4 + 8);

    auto* grid = new QGridLayout(gbFirmware);
    grid->addWidget(lbFirmFirm, 0, 0);
    grid->addWidget(edFirmFirm, 0, 1);
    grid->addWidget(lbFirmBoot, 1, 0);
    grid->addWidget(edFirmBoot, 1, 1);
    grid->addWidget(lbFirmUpdate, 2, 0);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(edFirmUpdate, 1);
    fileRow->addWidget(sbFirmFile);
    grid->addLayout(fileRow, 2, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbFirmLoad);
    buttons->addWidget(sbFirmUpgrade);
    buttons->addStretch(1);
    grid->addLayout(buttons, 3, 0, 1, 3);
    grid->addWidget(mFirmHint, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 280);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gbFirmware);
    layout->addStretch(1);

    // The upgrade over the link has the telnet link to itself: it takes the received text (not through a route)
    // and the keep-alive stands aside. Only its own end and the program's close stop it: the main window is
    // disabled meanwhile.
    LiveTool upgrade;
    upgrade.running = [] {
        return tcpUpgradeActive || (firmwareJob && firmwareJob->IsRunning()) ||
               (tcpFirmwareJob && tcpFirmwareJob->IsRunning());
    };
    upgrade.holdsLink = [] { return tcpUpgradeActive.load(); };
    // The close ends the job at its next step and waits for it before the link closes; the end shows nothing
    // and connects nothing. It comes only before the erase: from then on the main window refuses its close.
    upgrade.stopForClose = [] {
        const std::shared_ptr<UpgradeJob> jobs[] = {firmwareJob, tcpFirmwareJob};
        for (const std::shared_ptr<UpgradeJob>& job : jobs) {
            if (job && job->IsRunning()) {
                job->Stop();
                job->JoinFor(kCloseJoinMs);
            }
        }
        if (tcpUpgradeActive) {
            giveTelnetBack();
            tcpUpgradeActive = false;
        }
        hideUpgradeWindows();
    };
    liveTools.add(LiveToolSlot::FirmwareUpgrade, upgrade);

    QObject::connect(sbFirmLoad, &QPushButton::clicked, page, [] { fMain->sbFirmLoadClick(); });
    QObject::connect(sbFirmFile, &QPushButton::clicked, page, [] { fMain->sbFirmFileClick(); });
    QObject::connect(sbFirmUpgrade, &QPushButton::clicked, page, [] { fMain->sbFirmUpgradeClick(); });
}

void FirmwarePage::setLabelsFirmware(const Tlabels& t)
{
    gbFirmware->setTitle(labelOr(t, 129, QStringLiteral("Firmware")));
    lbFirmFirm->setText(labelOr(t, 130, QStringLiteral("Firmware version : ")));
    lbFirmBoot->setText(labelOr(t, 131, QStringLiteral("Bootware version : ")));
    lbFirmUpdate->setText(labelOr(t, 132, QStringLiteral("Firmware file : ")));
    sbFirmUpgrade->setText(labelOr(t, 133, QStringLiteral("Upgrade firmware")));
    sbFirmLoad->setText(labelOr(t, 128, QStringLiteral("Load from gate")));
    // Three lines always, an empty entry an empty line.
    mFirmHint->setPlainText(QStringList{labelAt(t, 968), labelAt(t, 969), labelAt(t, 970)}.join(QLatin1Char('\n')));
}

QString FirmwarePage::odFirmExecute()
{
    return GetOpenFileName(fMain, QString(), edFirmUpdate->text(),
                           QStringLiteral("Firmware File (*.hex *.HEX)|*.hex;*.HEX"));
}

void FirmwarePage::sbFirmLoadClick()
{
    QString firmware;
    QString boot;
    if (!ReadGatewaySwVersion(firmware, boot))
        return;
    edFirmFirm->setText(firmware);
    edFirmBoot->setText(boot);
    MessageBox(labelText(kVersionsReadText), labelText(kCaptionInfo), MB_ICONINFORMATION);
}

void FirmwarePage::sbFirmFileClick()
{
    const QString path = odFirmExecute();
    if (!path.isEmpty())
        edFirmUpdate->setText(path);
}

void FirmwarePage::sbFirmUpgradeClick()
{
    const quint8 type = CurrentConnection.LinkType;
    if (type == LinkModem) {
        MessageBox(labelText(kModemLinkText), labelText(kCaptionInfo), MB_ICONINFORMATION);
        return;
    }
    if (MessageBox(labelText(kUpgradeQuestion), labelText(kCaptionInfo), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const QString file = edFirmUpdate->text();
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        MessageBox(labelText(kNoFileText), labelText(kCaptionError), MB_ICONERROR);
        return;
    }
    if (type == LinkTelnet) {
        if (connectForPageRun())
            StartTcpFwUpgrade(true);
        return;
    }
    if (type != LinkSerial)
        return;
    const int fits = CheckFirmwareVersion(FirmwareFileBaseName(file));
    if (fits >= 1 && fits <= 3) {
        MessageBox(labelText(kIncompatibleText + fits - 1), labelText(kCaptionError), MB_ICONERROR);
        return;
    }
    if (CurrentConnection.Connected) {
        upgradeDisconnect = true;
        fMain->mDisconnectClick();
        upgradeDisconnect = false;
    }
    startSerialUpgrade();
}

void FirmwarePage::startSerialUpgrade()
{
    if (closingProgram())
        return; // the close came while the start waited (the version read, a box): nothing is started
    CurrentConnection.Handle.reset();
    firmwareJob = std::make_shared<CFWUpgradeThread>();
    showProgressWindow(CurrentConnection.ComPortName);
    if (!firmwareJob->StartUpgrade(CurrentConnection.ComPortName, edFirmUpdate->text(), SerialUpgradeProgress)) {
        // No report will come: the end is handled here, with the start's result.
        serialEnd(firmwareJob->GetError(), QString());
    }
}

void FirmwarePage::StartTcpFwUpgrade(bool erase)
{
    if (closingProgram())
        return; // the close came while the start waited (the connect, a box): nothing is erased
    tcpFirmwareJob = std::make_shared<CFWUpgradeTcpThread>();
    showProgressWindow(QStringLiteral("[ ") + CurrentGateway.Host + QStringLiteral(" ]"));
    if (erase) {
        fFirm->lbFirmStatus->setText(labelText(kEraseText));
        // Nothing is erased for a file the boot loader would refuse half-way.
        QList<QByteArray> pieces;
        const HexFileCheck check = ReadHexFile(edFirmUpdate->text(), pieces);
        if (!check.ok) {
            hideUpgradeWindows();
            QString text = labelText(kResultText + 2);
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + edFirmUpdate->text() +
                    (check.line > 0 ? QStringLiteral(":%1").arg(check.line) : QString()) + QStringLiteral(": ") +
                    check.reason;
            MessageBox(text, errorCaption(), MB_ICONERROR);
            return;
        }
        upgradeMoment(3);
        upgradeMoment(MomentBeforeErase);
        // Stop or erase is decided here, once: a close that went through (or whose question is open) leaves
        // the gateway as it is; from the command's first byte on the close is refused until the end is shown.
        if (!commitUpgradeNow()) {
            hideUpgradeWindows();
            return;
        }
        // A command like any other: what the link owes is taken first (no wait when nothing is); from its write on the
        // boot loader answers, whose text is never looked at for the login prompt and owes nothing: the upgrade's own
        // wait for "Boot: Ready" reads it.
        const QByteArray command("at!K2RM\r\n");
        const bool written = WriteCommand(command, {CommandReply::Never}) == quint32(command.size());
        const NeverLooksScope bootLoader;
        upgradeMoment(MomentAfterErase);
        if (!written) {
            hideUpgradeWindows();
            MessageBox(labelText(kCommErrorText), errorCaption(), MB_ICONERROR);
            fMain->mDisconnectClick();
            return;
        }
        const auto started = std::chrono::steady_clock::now();
        const auto limit = std::chrono::milliseconds(bootTiming.timeout(kEraseWaitMs));
        QByteArray collected;
        bool confirmed = false;
        while (!confirmed && std::chrono::steady_clock::now() - started <= limit && !closingProgram()) {
            ProcessMessages();
            collected += LinkRead(4096);
            confirmed = collected.contains("Boot: Ready");
            if (tcp && !tcp->Connected())
                break;
        }
        if (!confirmed || closingProgram()) {
            hideUpgradeWindows();
            tcpUpgradeActive = false;
            MessageBox(labelText(kResultText + 7), errorCaption(), MB_ICONERROR);
            giveTelnetBack();
            fMain->mDisconnectClick();
            return;
        }
    }
    tcpUpgradeActive = true;
    if (!tcpFirmwareJob->StartUpgrade(tcp, edFirmUpdate->text(), LinkUpgradeProgress, PortBoot))
        linkEnd(tcpFirmwareJob->GetError(), QString());
}

bool FirmwarePage::startBootModeUpgrade()
{
    if (MessageBox(labelText(kBootOfferText), labelText(kCaptionInfo), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    const QString path = odFirmExecute();
    if (path.isEmpty())
        return false;
    edFirmUpdate->setText(path);
    if (CurrentConnection.LinkType == LinkTelnet) {
        StartTcpFwUpgrade(false);
        return true;
    }
    CloseLink(CurrentConnection);
    startSerialUpgrade();
    return true;
}
