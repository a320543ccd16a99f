// The GSM basic page and the gateway: its load, its save and its buttons.
#include "pages/BasicPage.h"

#include "config/ConfigConversions.h"
#include "config/Parametres.h"
#include "exchange/BasicExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "pages/PageFrame.h"
#include "pages/PageState.h"
#include "platform/Wait.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>

namespace {

constexpr qsizetype kReplySize = 1024;

void setStatus(const QString& text)
{
    if (fLoad)
        fLoad->SetStatus(text);
}

// One command and its reply, as the page exchanges its view commands and its first set commands: the status
// line, the write, 10 ms, the reply. The reply is read even after a short write, as the gateway may still
// answer what got through.
struct PageExchange
{
    bool written = false;
    QByteArray reply;
    bool answeredOk() const { return reply.contains("OK"); }
    bool ok() const { return written && answeredOk(); }
};

PageExchange exchange(const QByteArray& command, const QString& status)
{
    setStatus(status);
    ReplyReading reading;
    reading.size = kReplySize;
    const ExchangeResult r = Exchange(command, 10, reading, true);
    PageExchange e;
    e.written = r.written || r.refused; // a refused command counts once, as a reply without "OK"
    e.reply = r.reply;
    return e;
}

// A set command whose item line goes in once for a short write and once more for a reply without "OK".
bool sendSet(const QByteArray& command, const QString& itemLine)
{
    const PageExchange e = exchange(command, QString::fromLatin1(command));
    if (!e.written)
        LoadErrors += itemLine;
    if (!e.answeredOk())
        LoadErrors += itemLine;
    return e.ok();
}

bool sendCommand(const QByteArray& command, const QString& itemLine)
{
    QByteArray reply;
    return SendCommand(command, reply, kReplySize, LoadErrors, itemLine);
}

// The lengths of the page's lists, which decide what the gateway's numbers may select.
BasicListSizes listSizes()
{
    return {fMain->cbBasicDial->count(),  fMain->cbBasicRing->count(),   fMain->cbBasicBusy->count(),
            fMain->cbBasicVoice->count(), fMain->cbBasicSearch->count(), fMain->cbBasicSelection->count()};
}

} // namespace

const PageFrame& BasicPage::basicFrame()
{
    static const PageFrame frame = [] {
        PageFrame f;
        f.flag = pcBasic;
        f.defaultMask = gsBasic;
        f.fileMask = gsBasic;
        f.fileFailureCaption = kCaptionInformation;
        f.load = [] { return fMain->basicLoad(); };
        f.save = [] { return fMain->basicSave(); };
        f.unreachedLines = kBasicLineAll;
        f.saveValid = [] { return fMain->basicValid(); };
        f.fileValid = [] { return fMain->basicValid(); };
        f.toImage = [] { fMain->basicSaveFile(); };
        f.fromImage = [] { fMain->basicLoadFile(); };
        return f;
    }();
    return frame;
}

bool BasicPage::basicLoad()
{
    const PageExchange v0 = exchange(QByteArrayLiteral("AT&V0\r\n"), QStringLiteral("AT&&V0"));
    if (!v0.ok()) {
        LoadErrors += kBasicLineAll;
        return false;
    }
    viewReplyCache.store(viewReplyCache.atV0, v0.reply);

    const BasicView0 v = parseBasicView0(v0.reply, listSizes(), LoadErrors);
    seBasicRelax->setValue(v.relaxDelay);
    seBasicTimeoutRing->setValue(v.ringTimeout);
    cbBasicSim->setCurrentIndex(v.simFlags & 1 ? 1 : 0);
    cbBasicDisable->setChecked(v.simFlags & 4);
    cbBasicSiemens->setChecked(v.simFlags & 2);
    cbBasicRecSms->setCurrentIndex(v.simFlags & 16 ? 1 : 0);
    cbBasicDial->setCurrentIndex(v.dialTone);
    cbBasicRing->setCurrentIndex(v.ringTone);
    cbBasicBusy->setCurrentIndex(v.busyTone);
    cbBasicActivateBusy->setChecked(v.busyStatus);
    // A volume the gateway does not say (or says in no code the bar has) leaves its bar where it is.
    auto place = [](QSlider* bar, const std::optional<int>& position) {
        if (position)
            bar->setValue(*position);
    };
    place(tbBasicTran, v.siemensTransmit);
    place(tbBasicRec, v.siemensReceive);
    if (v.echoCancelling)
        cbBasicVoice->setCurrentIndex(*v.echoCancelling);
    place(tbBasicTran2, v.wavecomTransmit);
    place(tbBasicRec2, v.wavecomReceive);
    place(tbBasicTran4, v.sierraTransmit);
    place(tbBasicRec4, v.sierraReceive);
    cbBasicSearch->setCurrentIndex(v.searchPriority);
    cbBasicUse->setCurrentIndex(v.networksPosition);
    seBasicDtmf->setValue(v.dtmfDelay);
    lbBasicCauses->clear();
    for (const QString& entry : v.causes)
        lbBasicCauses->addItem(entry);

    // "AT&V": PIN and module selection; a whole-gateway load has the system page's reply already.
    QByteArray replyV = viewReplyCache.atV;
    if (replyV.isEmpty()) {
        const PageExchange view = exchange(QByteArrayLiteral("AT&V\r\n"), QStringLiteral("AT&&V"));
        if (!view.ok()) {
            LoadErrors += kBasicLinePinSelection;
            return false;
        }
        replyV = view.reply;
    }
    const BasicViewV pinSelection = parseBasicViewV(replyV, listSizes(), LoadErrors);
    edBasicPin->setText(pinSelection.pin);
    cbBasicSelection->setCurrentIndex(pinSelection.moduleSelection);

    // "AT&Vi": the causes sent to ISDN on the gateway's own errors.
    const PageExchange vi = exchange(QByteArrayLiteral("AT&Vi\r\n"), QStringLiteral("AT&&Vi"));
    if (!vi.ok()) {
        LoadErrors += kBasicLineCauses;
        return false;
    }
    const std::array<qint32, 4> causes = parseBasicCauses(vi.reply, LoadErrors);
    seBasicLack->setValue(causes[0]);
    seBasicRestricted->setValue(causes[1]);
    seBasicSelected->setValue(causes[2]);
    seBasicModule->setValue(causes[3]);

    basicSaveFile();
    return true;
}

bool BasicPage::basicSave()
{
    bool ok = true;
    const TBasic shown = basicShown();

    // "G08" carries the ISDN page's three values between this page's two: they go back as the gateway holds
    // them now, or as that page's defaults where the gateway's cannot be read. Only without the view is
    // nothing sent.
    const PageExchange v0 = exchange(QByteArrayLiteral("AT&V0\r\n"), QStringLiteral("AT&&V0"));
    if (!v0.written)
        LoadErrors += kBasicLineRelax;
    if (!v0.answeredOk())
        LoadErrors += kBasicLineRelax;
    if (v0.ok())
        ok &= sendSet(basicRelaxCommand(shown, g08IsdnValues(v0.reply)), kBasicLineRelax);
    else
        ok = false;

    // "G09": old firmware knows only the first three values and refuses the five-value form, newer firmware
    // takes both; only when neither is taken has the item failed.
    const QByteArray threeValueForm = basicTonesShortCommand(shown);
    const bool threeValues = exchange(threeValueForm, QString::fromLatin1(threeValueForm)).ok();
    WaitPumping(10);
    const QByteArray fiveValueForm = basicTonesCommand(shown);
    const bool fiveValues = exchange(fiveValueForm, QString::fromLatin1(fiveValueForm)).ok();
    WaitPumping(10);
    if (!threeValues && !fiveValues) {
        LoadErrors += kBasicLineG09;
        ok = false;
    }

    ok &= sendSet(basicSiemensCommand(shown), kBasicLineSiemens);
    ok &= sendSet(basicWavecomCommand(shown), kBasicLineWavecom);
    ok &= sendCommand(basicDtmfCommand(shown), kBasicLineDtmf);
    ok &= sendCommand(basicSierraCommand(shown), kBasicLineSierra);
    ok &= sendCommand(basicPinCommand(shown), kBasicLinePin);
    ok &= sendCommand(basicSelectionCommand(shown), kBasicLineSelection);
    ok &= sendCommand(basicTransferCommand(shown), kBasicLineTransfer);
    ok &= sendCommand(basicCausesCommand(shown), kBasicLineCauses);
    return ok;
}

void BasicPage::sbBasicLoadClick()
{
    basicFrame().loadClick();
}

void BasicPage::sbBasicaveClick()
{
    basicFrame().saveClick();
}

void BasicPage::sbBasicDefaultClick()
{
    basicFrame().defaultClick();
}

void BasicPage::sbBasicSaveFileClick()
{
    basicFrame().saveFileClick();
}
