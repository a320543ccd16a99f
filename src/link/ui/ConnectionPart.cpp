#include "link/ui/ConnectionPart.h"

#include "config/GateFile.h"
#include "link/CommError.h"
#include "link/CommLog.h"
#include "link/GatewayList.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkOpen.h"
#include "link/LiveTools.h"
#include "link/Login.h"
#include "link/ProgramSettings.h"
#include "link/ui/TfAddNumber.h"
#include "link/ui/TfCommSettings.h"
#include "link/ui/TfDialing.h"
#include "link/ui/TfInsertIp.h"
#include "link/ui/TfLogin.h"
#include "online/LiveCells.h"
#include "online/LiveWorker.h"
#include "online/Terminal.h"
#include "online/ui/TerminalPart.h"
#include "platform/ComPort.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/ModemLine.h"
#include "platform/ProgramDir.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"
#include "texts/Labels.h"
#include "texts/TextFormat.h"
#include "ui/InputHold.h"
#include "ui/TfDialog.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"
#include "ui/UiState.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidgetItem>

#include <atomic>
#include <optional>

namespace {

constexpr int kKeepAlivePeriodMs = 2000;
constexpr qint64 kKeepAliveIdleSeconds = 91;
constexpr qsizetype kKeepAliveReplySize = 128;
constexpr qsizetype kGreetingSize = 1024;
constexpr int kTelnetConnectMs = 10000;
constexpr int kProgressReading = 2; // the please-wait window's "Reading information about gateway"

// Texts of the connect's messages (numbers of the label table).
constexpr int kLinkFailedText = 48;
constexpr int kNoAnswerText = 49;
constexpr int kLoginFailedText = 50;
constexpr int kIdentFailedText = 51;
constexpr int kLoadOfferText = 53;
constexpr int kConnectedText = 213;
constexpr int kNotConnectedText = 214;

constexpr int kOnlineTopicFirst = 1; // nodes 1 to 17 of tvTopic
constexpr int kOnlineTopicLast = 17;
constexpr int kImageConnected = 3;
constexpr int kImageDisconnected = 4;

// A look at a lost link is on its way to the window's thread (linkLostHook): the reads that fail meanwhile
// ask for no other.
std::atomic<bool> lossCheckPending{false};
// The boxes shown (MessageBoxesShown) when the gateway's session was found ended, -1 when it was not: the loss
// path tells the end unless the work that met it has told the user since.
std::atomic<int> boxesAtSessionEnd{-1};

void failBox(int text, const QString& detail = QString())
{
    QString message = labelText(text);
    if (!detail.isEmpty())
        message += (message.isEmpty() ? QString() : QStringLiteral("\n")) + detail;
    MessageBox(message, labelText(47), MB_ICONERROR);
}

// The greeting: one whole reply, the gateway's login prompt its usual end; a boot loader's banner has no end of
// its own, so the line that holds it ends the greeting too.
QByteArray readGreeting()
{
    ReplyReading reading;
    reading.size = kGreetingSize;
    reading.loginPromptExpected = true;
    reading.alsoEnds = [](const QByteArray& soFar) {
        const qsizetype lineEnd = soFar.lastIndexOf('\n');
        return lineEnd >= 0 && IsBootModeAnswer(soFar.left(lineEnd + 1));
    };
    return ReadReply(reading);
}

bool linkOpen(const ConnectionRecord& c)
{
    return c.Handle || c.Modem || (tcp && tcp->Connected());
}

QString modemDevice(const ConnectionRecord& c)
{
    if (!c.ModemName.isEmpty())
        return c.ModemName;
    const QStringList modems = ModemLine::availableModems();
    return c.TapiModem >= 0 && c.TapiModem < modems.size() ? modems.at(c.TapiModem) : QString();
}

// Opens the telnet connection; the gateway's greeting goes to received. False after a reported failure.
bool openTelnet(ConnectionRecord& c, QWidget* owner, bool noAddressPrompt, QByteArray& received)
{
    if (!tcp)
        return false;
    if (CurrentGateway.Name == kUnnamedGateway && !noAddressPrompt && !fInsertIp->ask(CurrentGateway))
        return false; // cancelled: nothing to report
    ShowProgress(kProgressReading, owner);
    tcp->Host = CurrentGateway.Host;
    tcp->Port = quint16(CurrentGateway.Port);
    tcp->setDataHandler([](const QByteArray& text) {
        if (fMain)
            fMain->tcpDataAvailable(text);
    });
    static QMetaObject::Connection dropWatch;
    QObject::disconnect(dropWatch);
    dropWatch = QObject::connect(tcp.data(), &TelnetClient::disconnected, fMain, [] {
        if (fMain)
            fMain->telnetDropped();
    });
    ClearTcpReceived();
    c.TcpDataReceived = false;
    if (!tcp->Connect(kTelnetConnectMs)) {
        HideProgress(owner);
        failBox(kLinkFailedText, tcp->errorString());
        return false;
    }
    received = readGreeting();
    return true;
}

bool openSerial(ConnectionRecord& c, QWidget* owner, QByteArray& received)
{
    ShowProgress(kProgressReading, owner);
    const SerialScanResult scan = ScanSerialPort(c.ComPortName);
    if (!scan.port) {
        HideProgress(owner);
        if (closingProgram())
            return false; // the close came during the scan: nothing to report
        if (scan.portFailed)
            failBox(kLinkFailedText, scan.error);
        else
            failBox(kNoAnswerText);
        return false;
    }
    c.Handle = scan.port;
    received = scan.received;
    return true;
}

bool openModem(ConnectionRecord& c, QWidget* owner, QByteArray& received)
{
    if (CurrentGateway.PhoneNumber.isEmpty()) {
        const QString number = fAddNumber->ask();
        if (number.isEmpty())
            return false; // cancelled
        CurrentGateway.PhoneNumber = number;
    }
    fDialing->lb1->clear();
    fDialing->show();
    fDialing->raise();
    auto line = std::make_shared<ModemLine>();
    line->setProgressHandler([](const QString& step) {
        if (fDialing)
            fDialing->addLine(step);
    });
    const int timeoutMs = c.TapiTimeout > 0 ? c.TapiTimeout * 1000 : 0;
    if (!line->dial(modemDevice(c), c.ModemBaudRate, CurrentGateway.PhoneNumber, timeoutMs)) {
        fDialing->hide();
        failBox(kLinkFailedText, line->errorString());
        return false;
    }
    fDialing->hide();
    c.Modem = line;
    ShowProgress(kProgressReading, owner);
    received = readGreeting();
    return true;
}

// What the connect reports when the link opened but the gateway did not come up: the link is closed again.
void abandon(ConnectionRecord& c, QWidget* owner, int text)
{
    CloseLink(c);
    c.Connected = false;
    HideProgress(owner);
    failBox(text);
}

// The close came while the connect opened the link or logged in (their waits handle the window's events): the
// program ends, and nothing more goes to the gateway.
bool endedByClose(ConnectionRecord& c, QWidget* owner)
{
    if (!closingProgram())
        return false;
    CloseLink(c);
    c.Connected = false;
    HideProgress(owner);
    return true;
}

// The link went away while the connect talked to the gateway (the modem's call or the gateway's session ended,
// the connection dropped, the port went): the connect fails as a lost link does, with its one box. The modem's
// "NO CARRIER" was read before the communication log opened: the log takes it as received, this connection's
// only entry.
void lostDuringConnect(ConnectionRecord& c, QWidget* owner)
{
    const QByteArray callEnd = c.Modem ? c.Modem->endText() : QByteArray();
    if (!callEnd.isEmpty() && c.SaveLog && OpenCommLog(c)) {
        LogReceived(callEnd);
        CloseCommLog(c);
    }
    abandon(c, owner, kCommErrorText);
}

void showGatewayFiles(const GatewayEntry& entry, bool unnamed, const QString& chosenName)
{
    if (!fMain)
        return;
    // The page operations below work on CurrentGateway's gate file; the caller stores the same entry.
    CurrentGateway = entry;
    const bool exists = !entry.File.isEmpty() && QFileInfo::exists(entry.File);
    bool load = exists;
    if (!exists) {
        // The unnamed gateway is offered a default profile, which becomes its own file; without one (and for a
        // listed gateway whose file is missing) the pages take their defaults.
        if (unnamed && fMain->newConfiguration()) {
            load = WriteGateFile(GateConfig, entry.File, gsAll);
        } else {
            // Defaults the program puts in are no edits of the user's: the changed flags stay as they were
            // (the port-mode radios would otherwise mark their page, and closing would ask to save it).
            const auto flags = pageChanged;
            fMain->mDefaultClick();
            pageChanged = flags;
        }
    }
    if (load) {
        fMain->tbLoadParams();
        const quint8 isdn = pageChanged[pcIsdn];
        resetPageChanged();
        pageChanged[pcIsdn] = isdn;
    }
    fMain->setToolDefaultFiles(exists && !unnamed ? QFileInfo(entry.File).absolutePath() : programDir());
    WriteSelectedGateway(chosenName.isEmpty() ? kUnnamedGateway : chosenName);
    if (fMain->sbMainPanel0)
        fMain->sbMainPanel0->setText(ConnectionInfoText(entry));
}

// ReadGatewayInfo, and the model it tells becomes gatewayModel. The pages compare the model with the one they
// were laid out for; a model that changed without a new layout would leave them laid out for the other gateway.
QString readGatewayInfoAndModel(bool versionCheck)
{
    int size = gatewayModel;
    const QString info = ReadGatewayInfo(versionCheck, &size);
    if (info != QLatin1String("error") && size != gatewayModel) {
        gatewayModel = size;
        if (fMain)
            fMain->setModelLayout(gatewayModel);
    }
    return info;
}

} // namespace

QString ConnectionInfoText(const GatewayEntry& gateway)
{
    const ConnectionRecord& c = CurrentConnection;
    if (!c.Connected)
        return gateway.Name + QStringLiteral(" : ") + labelText(kNotConnectedText);
    QString link;
    switch (c.LinkType) {
    case LinkSerial:
        link = QStringLiteral("[") + c.ComPortName + QStringLiteral("] ") + labelText(kConnectedText);
        break;
    case LinkTelnet:
        link = QStringLiteral("[") + gateway.Host + QStringLiteral("] ") + labelText(kConnectedText);
        break;
    case LinkModem:
        link = labelText(kConnectedText) + QStringLiteral(", ") + c.ModemName;
        break;
    default:
        break;
    }
    const QString model = gatewayModel == 1 ? QStringLiteral("Mesk Y") : QStringLiteral("Mesk X");
    return gateway.Name + QStringLiteral(" : ") + link + QStringLiteral(" ") + model;
}

ConnectionRecord ConnectToGateway(bool versionCheck, QWidget* owner, bool noAddressPrompt)
{
    // The record is worked on in place: the telnet event appends what arrives to CurrentConnection itself.
    ConnectionRecord& c = CurrentConnection;
    if (linkOpen(c))
        return c;
    c.Connected = false;
    // Once the close is decided no work opens the link again: the program is about to end. Nor does input held
    // from before a Disconnect: the Disconnect is final, and what that input chose goes on as when no connection
    // is made, without a word.
    if (closingProgram() || heldInputBeforeLinkEnd())
        return c;

    // The connect's waits handle the window's events (the telnet connection's, the modem's dialling, the login's
    // pauses): the user's input waits for the connect's end, as during every wait for the gateway. An upgrade
    // through the boot loader, offered below, is work of its own.
    std::optional<UserStepScope> connecting(std::in_place);
    // The greeting and the login expect the gateway's prompt: no sign of the session's end up to the login's end.
    std::optional<NeverLooksScope> dialogue(std::in_place);
    QByteArray received;
    bool opened = false;
    switch (c.LinkType) {
    case LinkSerial:
        opened = openSerial(c, owner, received);
        break;
    case LinkTelnet:
        opened = openTelnet(c, owner, noAddressPrompt, received);
        break;
    case LinkModem:
        opened = openModem(c, owner, received);
        break;
    default:
        break; // the ISDN modem is never opened
    }
    if (!opened || endedByClose(c, owner))
        return c;
    AdvanceLinkEpoch(); // a read still waiting on an earlier link never takes this one's text

    if (IsBootModeAnswer(received)) {
        connecting.reset();
        // The firmware has to be loaded through the boot loader before the gateway can be configured: the
        // upgrade is offered; declined, the link is closed again.
        HideProgress(owner);
        if (!fMain || !fMain->startBootModeUpgrade()) {
            CloseLink(c);
            c.Connected = false;
        }
        return c;
    }
    const bool loggedIn = LoginToGateway(c, &CurrentGateway, received);
    dialogue.reset();
    if (endedByClose(c, owner))
        return c;
    if (LinkLost()) {
        lostDuringConnect(c, owner);
        return c;
    }
    if (!loggedIn) {
        abandon(c, owner, kLoginFailedText);
        return c;
    }

    // A run that connects first counts the identification and "AT&M0" as its own first exchanges, refusing none.
    const ConnectExchangesScope counted;
    const QString info = readGatewayInfoAndModel(versionCheck);
    if (LinkLost()) {
        lostDuringConnect(c, owner);
        return c;
    }
    if (c.SaveLog)
        OpenCommLog(c);
    c.Connected = true;
    if (fMain) {
        fMain->ShowConnectionInfo();
        fMain->setConnectedState(true);
    }
    QByteArray reply;
    SendCommandOk("AT&M0\r\n", reply, kGreetingSize);
    HideProgress(owner);
    if (fMain)
        fMain->setStatusText(info != QLatin1String("error") ? info : labelText(kIdentFailedText));
    return c;
}

namespace {

GatewayEntry selectUnnamed(const GatewayEntry& current, const QString& chosenName)
{
    GatewayEntry entry = UnnamedGatewayEntry();
    if (current.Name == kUnnamedGateway) {
        entry.Host = current.Host;
        entry.Port = current.Port;
        entry.Username = current.Username;
        entry.Password = current.Password;
        entry.PhoneNumber = current.PhoneNumber;
    }
    showGatewayFiles(entry, true, chosenName);
    return entry;
}

} // namespace

GatewayEntry SelectUnnamedGateway(GatewayEntry current)
{
    return selectUnnamed(current, kUnnamedGateway);
}

GatewayEntry SelectGateway(const QString& name, GatewayEntry current)
{
    GatewayEntry entry = current;
    if (name.isEmpty() || name == kUnnamedGateway || !ReadGatewayEntry(name, entry))
        return selectUnnamed(current, name);
    showGatewayFiles(entry, false, name);
    return entry;
}

void ConnectionPart::buildConnection(QMainWindow* host)
{
    tLoginTimer = new QTimer(host);
    tLoginTimer->setObjectName(QStringLiteral("tLoginTimer"));
    tLoginTimer->setInterval(kKeepAlivePeriodMs);
    QObject::connect(tLoginTimer, &QTimer::timeout, host, [] {
        if (fMain)
            fMain->tLoginTimerTimer();
    });
    tLoginTimer->start();
    askLoginHook = [](GatewayEntry& entry) { return fLogin && fLogin->ask(entry); };
    liveLinkLost = [] {
        if (fMain)
            fMain->linkLost();
    };
    lossCheckPending = false;
    boxesAtSessionEnd = -1;
    linkLostHook = [] {
        if (LinkSessionEnded()) {
            int unset = -1;
            boxesAtSessionEnd.compare_exchange_strong(unset, MessageBoxesShown());
        }
        // Work that met the loss in its own reads reports it itself and ends; the connection ends after it.
        if (lossCheckPending.exchange(true))
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                afterNestedWaits([] {
                    lossCheckPending = false;
                    if (fMain)
                        fMain->linkLost();
                });
            },
            Qt::QueuedConnection);
    };
    setConnectedState(false);
}

bool connectForPageRun(bool warnFirmware)
{
    ConnectToGateway(warnFirmware, fMain, false);
    return CurrentConnection.Connected;
}

void ConnectionPart::mConnectClick()
{
    if (!connectForPageRun())
        return;
    const QString model = labelText(gatewayModel == 1 ? 868 : 869);
    if (AskYesNo(formatTextString(labelText(kLoadOfferText), model), labelText(54), QStringLiteral("Yes"),
                 QStringLiteral("No"), 0))
        fMain->tbLoadGateClick();
}

void ConnectionPart::tbDisconnectClick()
{
    mDisconnectClick();
    NoteUserDisconnect(); // the work the user ended tells no communication error
}

void ConnectionPart::mDisconnectClick()
{
    heldInputLinkEnded(); // nothing held from before reaches the gateway after this
    // Every reader is joined before the link closes; routes and the test-call log end with the link.
    liveTools.stopForDisconnect();
    liveTools.setRoute(LiveToolSlot::Terminal, false);
    liveTools.setRoute(LiveToolSlot::TestCalls, false);
    liveTools.setRoute(LiveToolSlot::OnlineCommands, false);
    if (testLogFile) {
        std::fclose(testLogFile);
        testLogFile = nullptr;
    }
    if (fMain && fMain->mTerminal)
        fMain->mTerminal->hide();
    ConnectionRecord& c = CurrentConnection;
    CloseLink(c);
    c.Connected = false;
    CloseCommLog(c);
    setConnectedState(false);
    if (!upgradeDisconnect)
        ShowConnectionInfo();
}

void ConnectionPart::linkLost()
{
    // The first caller ends the connection; later ones find it ended, or a new one that is up.
    if (LinkLost())
        endLostConnection();
    else
        boxesAtSessionEnd = -1; // a link closed meanwhile took its session's end with it
}

void ConnectionPart::endLostConnection()
{
    // The gateway's session ended under some work: told once, by that work's box or else here (a poll or the
    // keep-alive tells nothing of its own).
    const int boxesAtEnd = boxesAtSessionEnd.exchange(-1);
    const bool sessionUntold = LinkSessionEnded() && (boxesAtEnd < 0 || MessageBoxesShown() == boxesAtEnd);
    // An upgrade takes the link over and connects again by itself; the close ends the tools and the link in
    // its own order.
    if (!CurrentConnection.Connected || liveTools.running(LiveToolSlot::FirmwareUpgrade) || closingProgram())
        return;
    const bool tell = liveTools.stopForLinkLoss();
    mDisconnectClick();
    if (tell || sessionUntold)
        CommErrorBox();
}

void ConnectionPart::telnetDropped()
{
    if (liveTools.anyRoute())
        endLostConnection(); // a tool waits for text that cannot come
    else
        linkLostHook();
}

void ConnectionPart::mCommSettClick()
{
    fCommSettings->FormActivate();
    ShowModal(fCommSettings);
}

void ConnectionPart::setConnectedState(bool connected)
{
    TfMain* w = fMain;
    if (!w)
        return;
    w->mDisconnect->setEnabled(connected);
    w->tbDisconnect->setEnabled(connected);
    for (QAction* a : {w->mConnect, w->tbConnect, w->mCommSett, w->mGatewayList})
        a->setEnabled(!connected);
    if (!connected)
        w->setGatewayRunsEnabled(true);
    for (int i = kOnlineTopicFirst; i <= kOnlineTopicLast; ++i) {
        if (QTreeWidgetItem* node = w->topicNode(i))
            NavigationPart::setTopicImage(node, connected ? kImageConnected : kImageDisconnected);
    }
}

void ConnectionPart::setToolDefaultFiles(const QString& folder)
{
    // The live tools' file edits take their names in this folder as the tools are built.
    toolFilesFolder = folder;
    if (fMain)
        fMain->voiceGatewaySelected();
    if (fMain)
        fMain->recordsGatewaySelected(folder);
    if (fMain && fMain->edTracFile)
        fMain->edTracFile->setText(QDir(folder).filePath(QStringLiteral("Tracing.txt")));
    if (fMain && fMain->edFile)
        fMain->edFile->setText(QDir(folder).filePath(QStringLiteral("Test calls.txt")));
}

void ConnectionPart::ShowConnectionInfo()
{
    TfMain* w = fMain;
    if (!w)
        return;
    if (w->sbMainPanel0)
        w->sbMainPanel0->setText(ConnectionInfoText(CurrentGateway));
    if (!CurrentConnection.Connected)
        return;
    if (w->tbLoadGate->isEnabled() && w->tbDisconnect->isEnabled() && w->isEnabled()) {
        // Asked again (a language switch while connected), the gateway may name another model than at the
        // connect; the pages follow it.
        const QString info = readGatewayInfoAndModel(false);
        w->setStatusText(info != QLatin1String("error") ? info : labelText(kIdentFailedText));
    }
}

void ConnectionPart::tLoginTimerTimer()
{
    // Once the close is decided nothing starts a new dialogue with the gateway.
    // Nor inside another exchange's wait: the turn is skipped, the next one comes 2 s later.
    if (keepAliveRunning_ || tcpUpgradeActive || progressShown || liveTools.anyHoldsLink() || closingProgram() ||
        !TimersMaySend())
        return;
    if (!CurrentConnection.Connected || Clock::seconds() - lastLinkActivity.load() < kKeepAliveIdleSeconds)
        return;
    if (fMain && fMain->mTerminal && !fMain->mTerminal->isHidden()) {
        // The terminal's reader takes every reply: the keep-alive only sends, and counts the gateway lost when
        // nothing at all has come since its last "AT" (a line the user typed may be answered by nothing, or by a
        // password prompt: that keeps no gateway that answers from counting as alive).
        if (terminalKeepAlivePending) {
            mDisconnectClick();
            return;
        }
        // Its OK is the terminal reader's to show; its reply joins what the link owes without taking it, so that
        // when the terminal is left before it came, whoever writes next takes it first.
        terminalKeepAlivePending = WriteCommand("AT\r\n") == 4;
        return;
    }
    keepAliveRunning_ = true;
    QByteArray reply;
    SendCommandOk("AT\r\n", reply, kKeepAliveReplySize);
    keepAliveRunning_ = false;
    if (LinkSessionEnded()) {
        endLostConnection(); // the gateway's session has ended: ended as a lost link, and told
        return;
    }

    const bool lost = reply.isEmpty() || (CurrentConnection.LinkType == LinkModem &&
                                          (reply.contains("+++") || reply.contains("NO CARRIER")));
    if (lost && CurrentConnection.Connected)
        mDisconnectClick();
}

void ConnectionPart::tcpDataAvailable(const QByteArray& arrived)
{
    if (tcpUpgradeActive)
        return;
    if (liveTools.anyRoute()) {
        // The one place the link's text passes (StoreTcpReceived's too): looked at as the line's continuation and
        // counted against what is owed, whoever reads it.
        routeTcpText(LinkTextArrived(arrived, LinkEpoch()));
        return;
    }
    StoreTcpReceived(arrived);
}

void ConnectionPart::routeTcpText(const QByteArray& text)
{
    // The view is chosen before a lost connection is handled: the disconnect ends the routes, and the text that
    // came with the loss still belongs to the tool that was reading.
    QPlainTextEdit* view = liveTools.routeTarget();
    if (!tcp || !tcp->Connected())
        endLostConnection();
    // The gateway's echo of an erased character (BS SP BS): the view has erased it already.
    if (text.size() > 2 && text.startsWith("\b \b"))
        return;
    if (view)
        appendRoutedText(view, text);
    if (!text.isEmpty())
        liveTools.routeReceived(text);
}

void appendRoutedText(QPlainTextEdit* view, const QByteArray& text)
{
    // A view shows lines: carriage returns are not shown, a line feed starts a new line, and a line feed right
    // after one adds no empty line (the gateway ends its lines with CR LF and its replies with an empty one).
    QTextDocument* doc = view->document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    QString run;
    auto flush = [&] {
        if (!run.isEmpty())
            cursor.insertText(run);
        run.clear();
    };
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c != '\n') {
            run.append(fromCp1250(uchar(c))); // the gateway's 8-bit text is Windows-1250
            continue;
        }
        flush();
        if (doc->blockCount() > 1 && cursor.block().text().isEmpty())
            continue;
        cursor.insertBlock();
    }
    flush();
    cursor.endEditBlock();
    // The view keeps its last line in sight as lines arrive.
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
}
