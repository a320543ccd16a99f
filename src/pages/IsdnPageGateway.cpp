// The ISDN page and the gateway: its load, its save, its validation and its buttons.
#include "pages/IsdnPage.h"

#include "config/Parametres.h"
#include "exchange/IsdnExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/Login.h"
#include "pages/PageFrame.h"
#include "pages/PageState.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "ui/KeyFilters.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <optional>

namespace {

constexpr qsizetype kReplySize = 1024;
constexpr int kTextModemModeChange = 886;
constexpr int kTextAliveQuestion = 973;

void setStatus(const QString& text)
{
    if (fLoad)
        fLoad->SetStatus(text);
}

// A view exchange: the status line, the write, 10 ms, the reply. Failed when the write was short or the
// reply holds no "OK".
bool viewExchange(const QByteArray& command, const QString& status, QByteArray& reply)
{
    if (!status.isEmpty())
        setStatus(status);
    ReplyReading reading;
    reading.size = kReplySize;
    const ExchangeResult e = Exchange(command, 10, reading);
    reply = e.reply;
    return e.written && reply.contains("OK");
}

bool send(const IsdnCommand& c)
{
    QByteArray reply;
    return SendCommand(c.line, reply, kReplySize, LoadErrors, c.itemLine);
}

void setChecked(std::initializer_list<QCheckBox*> boxes, int mask)
{
    int bit = 1;
    for (QCheckBox* box : boxes) {
        box->setChecked(mask & bit);
        bit <<= 1;
    }
}

// Marks a spin edit refused (red) or takes the mark away.
void markRefused(QSpinBox* box, bool refused)
{
    QPalette p = box->palette();
    if (refused)
        p.setColor(QPalette::Base, Qt::red);
    box->setPalette(refused ? p : QPalette());
}

} // namespace

const PageFrame& IsdnPage::isdnFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = ::pcIsdn;
        f.defaultMask = gsIsdn;
        f.fileMask = gsIsdn;
        f.fileFailureCaption = kCaptionInformation;
        f.modelStep = true;
        f.load = [] { return fMain->isdnLoad(); };
        f.save = [] { return fMain->isdnSave(); };
        f.unreachedLines = isdnlines::kAll;
        f.saveValid = [] { return fMain->isdnValid(); };
        f.timesValid = [] { return fMain->isdnTimesValid(); };
        f.toImage = [] { fMain->isdnSaveFile(); };
        f.fromImage = [] { fMain->isdnLoadFile(); };
        return f;
    }();
    return frame;
}

IsdnPage::FlagKeeper::FlagKeeper() : kept(pageChanged[::pcIsdn]) {}
IsdnPage::FlagKeeper::~FlagKeeper()
{
    pageChanged[::pcIsdn] = kept;
}

bool IsdnPage::isdnLoad()
{
    // The page's own writes are no edits: its flag is the Load button's to set (the whole-gateway load sets
    // none), whatever the change handlers do meanwhile.
    const FlagKeeper keepFlag;
    return isdnLoadSteps();
}

bool IsdnPage::isdnLoadSteps()
{
    using namespace isdnlines;
    isdnFilling = true;
    QByteArray reply;
    if (!viewExchange(QByteArrayLiteral("AT&Vi\r\n"), QStringLiteral("AT&&Vi"), reply)) {
        LoadErrors += kAll;
        isdnFilling = false;
        return false;
    }
    const IsdnViewValues v = parseIsdnView(reply, LoadErrors);
    const QString msn = fromWire(v.msn);
    const QString mode = QString::fromLatin1(v.interfaceMode);
    const QString upper = mode.toUpper();

    if (gatewayModel == 0) {
        lbIsdnInterface1->setText(QStringLiteral("NT"));
        lbIsdnInterface2->setText(QStringLiteral("TE"));
        for (QWidget* w : {static_cast<QWidget*>(cbIsdnDisaTone), static_cast<QWidget*>(edIsdnMsnNumber),
                           static_cast<QWidget*>(lbIsdnMsn)})
            w->setEnabled(false);
        cbIsdnDisaTone->setChecked(upper == QLatin1String("NT/E"));
        edIsdnMsnNumber->setText(msn);
        if (upper == QLatin1String("NT") || upper == QLatin1String("NT/E"))
            for (QWidget* w : {static_cast<QWidget*>(cbIsdnDisaTone), static_cast<QWidget*>(edIsdnMsnNumber),
                               static_cast<QWidget*>(lbIsdnMsn)})
                w->setEnabled(true);
        cbIsdnTEmode->setCurrentIndex(upper == QLatin1String("NT/O") ? 0 : upper == QLatin1String("NT/S") ? 1 : 2);
    } else if (gatewayModel == 1) {
        if (mode.contains(QLatin1String("TE"))) {
            cbIsdnInterface->setCurrentIndex(1);
            cbIsdnDisaTone->setEnabled(true);
            edIsdnMsnNumber->setText(msn);
        } else if (mode.contains(QLatin1String("NT"))) {
            cbIsdnInterface->setCurrentIndex(0);
            cbIsdnDisaTone->setEnabled(false);
            cbIsdnDisaTone->setChecked(false);
            edIsdnMsnNumber->clear();
        }
        const bool withMsn = mode.contains(QLatin1String("/E"));
        lbIsdnMsn->setEnabled(withMsn);
        edIsdnMsnNumber->setEnabled(withMsn);
        if (withMsn)
            cbIsdnDisaTone->setChecked(true);
        else if (mode.contains(QLatin1String("/T")))
            cbIsdnDisaTone->setChecked(false);
    }

    if (v.teiRead) {
        cbIsdnNTmode->setCurrentIndex(v.portMode);
        if (gatewayModel == 0) {
            if (upper == QLatin1String("NT") || upper == QLatin1String("NT/E") || upper.contains(QLatin1String("TE")))
                cbIsdnTEmode->setCurrentIndex(cbIsdnNTmode->currentIndex() + 2);
        } else {
            cbIsdnTEmode->setCurrentIndex(v.portMode);
        }
        const bool multipoint = cbIsdnNTmode->currentIndex() == 1;
        for (QSpinBox* sp : {seIsdnTEMan, seIsdnNTMan}) {
            sp->setEnabled(!multipoint);
            sp->setValue(multipoint ? 64 : v.tei);
        }
    }

    seIsdnAck->setValue(v.progress[0]);
    seIsdnProc->setValue(v.progress[1]);
    seIsdnProg->setValue(v.progress[2]);
    seIsdnAlert->setValue(v.progress[3]);

    seIsdnDay->setValue(v.statsDay);
    cbIsdnReceive->setChecked(v.flags & 4);
    cbIsdnConnectAck->setChecked(v.flags & 16);
    if (v.digitsRead) {
        const bool overlap = v.setupDigits == 0;
        cbIsdnDialingMode->setCurrentIndex(overlap ? 0 : 1);
        seIsdnDigits->setEnabled(!overlap);
        lbIsdnDigits->setEnabled(!overlap);
        seIsdnDigits->setMinimum(overlap ? 0 : 1);
    } else {
        seIsdnDigits->setMinimum(1);
    }
    seIsdnDigits->setValue(v.setupDigits);

    cbIsdnDial->setCurrentIndex(v.tones[0]);
    cbIsdnRing->setCurrentIndex(v.tones[1]);
    cbIsdnBusy->setCurrentIndex(v.tones[2]);
    seIsdnCDN->setValue(v.cdnPlan);
    seIsdnCGN->setValue(v.cgnPlan);

    if (v.monitoringRead) {
        if (gatewayModel == 0) {
            setChecked({cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1}, v.portMask1);
            setChecked({cbIsdnKeepBRI21, cbIsdnKeepBRI22, cbIsdnSendSms2}, v.portMask2);
        } else {
            setChecked({cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1}, v.portMask2);
        }
    } else {
        setChecked({cbIsdnKeepBRI11, cbIsdnKeepBRI12, cbIsdnSendSms1, cbIsdnKeepBRI21, cbIsdnKeepBRI22, cbIsdnSendSms2},
                   0);
    }
    sebIsdnDeact->setValue(v.deactivationTimeout);
    sebIsdnAct->setValue(v.activationTimeout);

    edIsdnStateSms->setText(v.stateSmsText);
    edIsdn1Number->setText(v.stateSmsNumbers[0]);
    edIsdn2Number->setText(v.stateSmsNumbers[1]);
    edIsdn3Number->setText(v.stateSmsNumbers[2]);

    if (v.aliveListed) {
        const bool alive = v.aliveDay > 0;
        cbInAliveActivate->setChecked(alive);
        seInAliveDay->setMinimum(alive ? 1 : 0);
        seInAliveDay->setValue(v.aliveDay);
        edInAliveTime->setText(v.aliveTime);
    }
    enableAliveSmsControls(cbInAliveActivate->isChecked());
    edInAliveNum1->setText(v.aliveNumbers[0]);
    edInAliveNum2->setText(v.aliveNumbers[1]);
    edInAliveNum3->setText(v.aliveNumbers[2]);
    edInAliveSmsText->setText(v.aliveSmsText);

    QByteArray v0;
    if (!viewExchange(QByteArrayLiteral("AT&V0\r\n"), QStringLiteral("AT&&V0"), v0)) {
        LoadErrors += kDigitsFromIsdn;
        isdnFilling = false;
        return false;
    }
    const IsdnDigitValues d = parseIsdnDigits(v0, LoadErrors);
    seIsdnMin->setValue(d.minDigits);
    seIsdnMax->setValue(d.maxDigits);
    seIsdnWait->setValue(d.nextDigitWait);
    isdnFilling = false;
    return v.allRead;
}

bool IsdnPage::isdnSave()
{
    using namespace isdnlines;
    QByteArray reply;
    if (!viewExchange(QByteArrayLiteral("AT&Vi\r\n"), QString(), reply)) {
        LoadErrors += kSystemAll;
        return false;
    }
    const QByteArray keptMode = ReplyValue("I00=", reply);
    const QByteArray keptAlive = normalisedAliveValue(ReplyValue("I60=", reply));
    if (keptMode == "0") {
        LoadErrors += kSystemAll;
        return false;
    }

    TIsdn record;
    isdnToRecord(record);
    bool ok = send(isdnMsnCommand(record, gatewayModel == 0));

    // "I00" goes out on its own: a new mode restarts the gateway's interface, and only then does it log in anew.
    const QByteArray modeLine = isdnModeCommand(record);
    const bool modeChanged = wireText(record.interfaceMode) != keptMode;
    setStatus(QString::fromLatin1(modeLine));
    ReplyReading reading;
    reading.size = kReplySize;
    // The restart's new login may follow the reply at once; with the mode kept the prompt ends the session.
    reading.loginPromptExpected = modeChanged;
    // Up to the new login, the restart's prompt is no sign of the session's end.
    std::optional<NeverLooksScope> restart;
    if (modeChanged)
        restart.emplace();
    const ExchangeResult mode = Exchange(modeLine, 10, reading, true);
    if (!mode.written && !mode.refused) {
        LoadErrors += kMode;
        ok = false;
    }
    const QByteArray& modeReply = mode.reply;
    if (!modeReply.contains("OK")) {
        LoadErrors += kMode;
        ok = false;
    }
    if (modeChanged) {
        if (CurrentConnection.LinkType == LinkModem) {
            WaitPumping(isdnModemHangupWaitMs);
            fMain->mDisconnectClick();
            MessageBox(labelText(kTextModemModeChange), labelText(kCaptionInformation), MB_ICONINFORMATION);
            return false;
        }
        WaitPumping(isdnRestartWaitMs);
        // The gateway may have shown its login prompt with the reply or since; the login starts from it.
        QByteArray received = modeReply;
        if (CurrentConnection.LinkType == LinkTelnet)
            received += TakeTcpReceived();
        if (!LoginToGateway(CurrentConnection, &CurrentGateway, received)) {
            LoadErrors += kLogin;
            return false;
        }
    }
    restart.reset();

    for (const IsdnCommand& c : isdnPortCommands(record))
        ok &= send(c);

    // "G08" carries the GSM basic page's values 1 and 5: they go back as the gateway holds them now, or as
    // that page's defaults where the gateway's cannot be read. Only without the view is nothing sent.
    QByteArray v0;
    if (!viewExchange(QByteArrayLiteral("AT&V0\r\n"), QStringLiteral("AT&&V0"), v0)) {
        LoadErrors += kRelax;
        ok = false;
    } else {
        const GsmDigitFields gsm = parseGsmDigitFields(v0);
        ok &= send(isdnDigitsCommand(record, gsm.relaxDelay, gsm.ringTimeout));
    }

    for (const IsdnCommand& c : isdnMonitoringCommands(record))
        ok &= send(c);

    if (normalisedAliveValue(isdnAliveValue(record)) != keptAlive) {
        if (!TimeEditComplete(edInAliveTime)) {
            // A time typed in part is no interval; the gateway keeps the one it has. A time nobody typed (the
            // gateway's own, in whatever form it gave it) goes back as it stands.
            LoadErrors += kAliveTime;
            ok = false;
        } else if (MessageBox(labelText(kTextAliveQuestion), labelText(kCaptionInformation),
                              MB_YESNO | MB_ICONQUESTION) == IDYES) {
            ok &= send(isdnAliveCommand(record));
        }
    }
    ok &= send(isdnAliveNumbersCommand(record));
    ok &= send(isdnAliveTextCommand(record));
    return ok;
}

bool IsdnPage::isdnValid()
{
    bool valid = true;
    for (QSpinBox* box : {seIsdnMin, seIsdnMax, seIsdnWait}) {
        const QString text = box->text();
        if (text.isEmpty() || !IsAllDigits(text)) {
            markRefused(box, true);
            valid = false;
        }
    }
    return isdnTimesValid() && valid;
}

bool IsdnPage::isdnTimesValid()
{
    // The alive SMS's time goes out with "I60", and into the file, whether or not the SMS is on; the check
    // holds back only a time typed in part while the field can be edited.
    return TimeEditComplete(edInAliveTime);
}

void IsdnPage::sbIsdnLoadClick()
{
    isdnFrame().loadClick();
}

void IsdnPage::sbIsdnSaveClick()
{
    isdnFrame().saveClick();
}

void IsdnPage::sbIsdnDefaultClick()
{
    isdnFrame().defaultClick();
}

void IsdnPage::sbIsdnSaveFileClick()
{
    isdnFrame().saveFileClick();
}
