#include "ui/ResetPart.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/Login.h"
#include "link/ReplyParsers.h"
#include "link/ui/ConnectionPart.h"
#include "platform/Dialogs.h"
#include "platform/ModemLine.h"
#include "platform/Wait.h"
#include "texts/Labels.h"
#include "texts/TextFormat.h"
#include "ui/TfDialog.h"
#include "ui/TfMain.h"
#include "ui/TwReset.h"

#include <QLabel>

#include <optional>

namespace {

constexpr int kGatewayResetTopic = 41;
constexpr int kFactoryResetTopic = 42;
constexpr qsizetype kResetReadSize = 1024;
constexpr int kArrivedOnlyMs = 1; // a read of what has come by now

void showCommError()
{
    CommErrorBox();
}

// The reset's own command: what the link still owes is taken first; its answer is the restart, read by the reset's
// own wait for "Init: OK", which never looks (the new login follows), so it owes nothing.
bool written(const QByteArray& command)
{
    return WriteCommand(command, {CommandReply::Never}) == quint32(command.size());
}

// One row of the factory reset: one exchange, its reply not examined. False when it met the link lost, where
// every further row would only wait for a reply that cannot come, or the gateway's login prompt (its session has
// ended), where every further row would go into its login dialogue.
bool rowSent(const QByteArray& command)
{
    ReplyReading reading;
    reading.size = kResetReadSize;
    const ExchangeResult row = Exchange(command, 0, reading);
    return !row.refused && !LinkLost();
}

} // namespace

void ResetPart::buildResetTopics()
{
    fMain->setTopicSection(kGatewayResetTopic, [this](bool chosen) {
        if (chosen)
            gatewayReset();
        return true;
    });
    fMain->setTopicSection(kFactoryResetTopic, [this](bool chosen) {
        if (chosen)
            factoryReset();
        return true;
    });
}

bool ResetPart::startReset(int question)
{
    // The connect opens the link again when it has dropped since, whatever the connected flag still says.
    if (!connectForPageRun())
        return false;
    if (MessageBox(labelText(question), labelText(54), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    wReset->show();
    wReset->setFocus();
    wReset->repaint();
    fMain->repaint();
    fMain->setEnabled(false);
    wReset->setEnabled(true); // a child of the disabled main window, kept usable
    ProcessMessages();
    return true;
}

void ResetPart::endReset()
{
    fMain->setEnabled(true);
    wReset->hide();
    fMain->setFocus();
}

bool ResetPart::afterResetCommandOnModem(const QByteArray& command)
{
    if (CurrentConnection.LinkType != LinkModem)
        return false;
    WaitPumping(resetTimings.modemHangUpMs);
    // The restart ends the call, so a "NO CARRIER" after the command is no failure. But a call that ended just
    // as the command went out leaves the modem to answer it: the gateway never got it. What came is looked at
    // before the hang-up, whose escape and "ATH" the modem answers too.
    if (ModemLine::answeredAfterCallEnd(LinkReadWithin(kResetReadSize, kArrivedOnlyMs), command)) {
        showCommError();
        endReset();
        return true;
    }
    fMain->mDisconnectClick();
    endReset();
    MessageBox(labelText(882), labelText(54), MB_ICONINFORMATION);
    return true;
}

bool ResetPart::waitForRestart(int waitMs, QByteArray& received)
{
    // The marker may come split over two reads: the reads are joined before looking for it. A port that has
    // gone away brings it no more.
    const qint64 end = Clock::milliseconds() + waitMs;
    while (!received.contains("Init: OK") && Clock::milliseconds() < end) {
        received += LinkRead(kResetReadSize);
        if (received.contains("Init: OK") || LinkPortLost())
            break;
        WaitPumping(resetTimings.pollMs);
    }
    return received.contains("Init: OK");
}

void ResetPart::gatewayReset()
{
    if (!startReset(55))
        return;
    const QByteArray command = "AT&BSYS=RESET\r\n";
    if (!written(command)) {
        showCommError();
        endReset();
        return;
    }
    // The restart ends in the gateway's login prompt: no sign of the session's end, up to the new login.
    std::optional<NeverLooksScope> restart(std::in_place);
    ProcessMessages();
    if (afterResetCommandOnModem(command))
        return;
    QByteArray received;
    const bool restarted = waitForRestart(resetTimings.gatewayMarkerMs, received);
    WaitPumping(resetTimings.settleMs);
    // The login has to succeed as well: a gateway that came back but cannot be logged in to is no success.
    const bool loggedIn = LoginToGateway(CurrentConnection, &CurrentGateway, received);
    restart.reset();
    endReset();
    if (restarted && loggedIn && CurrentConnection.Connected)
        MessageBox(labelText(57), labelText(54), MB_ICONINFORMATION);
    else
        showCommError();
}

void ResetPart::factoryReset()
{
    if (!startReset(58))
        return;
    const auto rowFailed = [this](const QByteArray& row) {
        if (rowSent(row))
            return false;
        showCommError();
        endReset();
        return true;
    };
    for (int i = 0; i < 10; ++i) {
        wReset->Label1->setText(labelText(884) + QStringLiteral(" %1 %").arg(10 * (i + 1)));
        if (rowFailed("AT%R" + QByteArray::number(i) + "=\r\n"))
            return;
        ProcessMessages();
        if (rowFailed("AT%A" + QByteArray::number(i) + "=\r\n"))
            return;
    }
    if (rowFailed("AT%R00=1,0:00/24:00,,0\r\n"))
        return;
    wReset->Label1->setText(TextOrFallback(labelText(108), QStringLiteral("Gateway is reseting ... please wait ...")));
    wReset->repaint();
    const QByteArray command = "AT&FRES\r\n";
    if (!written(command)) {
        showCommError();
        endReset();
        return;
    }
    std::optional<NeverLooksScope> restart(std::in_place); // as the gateway reset's
    if (afterResetCommandOnModem(command))
        return;
    QByteArray received;
    const bool restarted = waitForRestart(resetTimings.factoryMarkerMs, received);
    WaitPumping(resetTimings.settleMs);
    const bool loggedIn = LoginToGateway(CurrentConnection, &CurrentGateway, received);
    restart.reset();
    if (!loggedIn) {
        MessageBox(labelText(50), labelText(47), MB_ICONERROR);
        endReset();
        fMain->mDisconnectClick();
        return;
    }
    wReset->hide();
    const QString offer = formatTextString(labelText(53), labelText(gatewayModel == 1 ? 868 : 869));
    if (restarted && CurrentConnection.Connected) {
        if (AskYesNo(offer, labelText(54), QStringLiteral("Yes"), QStringLiteral("No"), 0))
            fMain->tbLoadGateClick(); // the main window is still disabled meanwhile
        endReset();
    } else {
        showCommError();
        endReset();
    }
}
