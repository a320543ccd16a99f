// The GSM basic page and the gateway: its load, its save and its buttons.
#include "pages/BasicPage.h"

#include "config/ConfigConversions.h"
#include "config/Parametres.h"
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

const QString kLineAll = QStringLiteral("Basic settings - All parametres\n");
const QString kItemRelax = QStringLiteral("Basic settings - Relax delay"); // LineOrEmpty adds the "\n"
const QString kLineRelax = kItemRelax + QLatin1Char('\n');
const QString kLineSimFlags = QStringLiteral(
    "Basic settings - SIM card number, Disable CLIP from GSM to ISDN, Init module after call, Siemens tone\n");
const QString kLineDial = QStringLiteral("Basic settings - Dial tone\n");
const QString kLineRing = QStringLiteral("Basic settings - Ring tone\n");
const QString kLineSiemensTran = QStringLiteral("Basic settings - Siemens transmission volume\n");
const QString kLineSiemensRec = QStringLiteral("Basic settings - Siemens reception volume\n");
const QString kLineEcho = QStringLiteral("Basic settings - Wavecom echo cancelling\n");
const QString kLineWavecomTran = QStringLiteral("Basic settings - Wavecom transmission volume\n");
const QString kLineWavecomRec = QStringLiteral("Basic settings - Wavecom reception volume\n");
const QString kLineSierraTran = QStringLiteral("Basic settings - Sierra transmission volume\n");
const QString kLineSierraRec = QStringLiteral("Basic settings - Sierra reception volume\n");
const QString kLinePinSelection = QStringLiteral("Basic settings - SIM cards PIN number, GSM module selection\n");
const QString kLineSelection = QStringLiteral("Basic settings - GSM module selection\n");
const QString kLineCauses = QStringLiteral("Basic settings - Release causes to ISDN\n");
const QString kLineG09 =
    QStringLiteral("Basic settings - SIM card number, dial tone, ring tone,busy tone, BUSY status to GSM\n");
const QString kLineSiemens = QStringLiteral("Basic settings - Siemens modules parametres\n");
const QString kLineWavecom = QStringLiteral("Basic settings - Wavecom modules parametres\n");
const QString kLineDtmf = QStringLiteral("Basic settings - delay of DTMF numbers\n");
const QString kLineSierra = QStringLiteral("Basic settings - settings for 3G sierra phones\n");
const QString kLinePin = QStringLiteral("Basic settings - SIM cards PIN number\n");
const QString kLineTransfer = QStringLiteral("Basic settings - Cause transfer\n");

// Defaults of the four causes sent to ISDN when the gateway's "I05" cannot be read.
constexpr int kDefaultCauses[4] = {102, 21, 41, 42};

constexpr qsizetype kReplySize = 1024;
constexpr int kSiemensPositions = 5; // Siemens and Sierra bars
constexpr int kWavecomPositions = 7;

void setStatus(const QString& text)
{
    if (fLoad)
        fLoad->SetStatus(text);
}

// One command and its reply, as the page exchanges its view commands and its first set commands: the status
// line, the write, 10 ms, the reply. The reply is read even after a short write, as the gateway may still
// answer what got through.
struct Exchange
{
    bool written = false;
    QByteArray reply;
    bool answeredOk() const { return reply.contains("OK"); }
    bool ok() const { return written && answeredOk(); }
};

Exchange exchange(const QByteArray& command, const QString& status)
{
    setStatus(status);
    Exchange e;
    e.written = LinkWrite(CurrentConnection, command) == quint32(command.size());
    WaitPumping(10);
    e.reply = ReadReply(kReplySize);
    return e;
}

// A set command whose item line goes in once for a short write and once more for a reply without "OK".
bool sendSet(const QByteArray& command, const QString& itemLine)
{
    const Exchange e = exchange(command, QString::fromLatin1(command));
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

// Value i of a reply key as a decimal number.
bool decimalAt(const ReplyList& values, qsizetype i, qint32& value)
{
    return i < values.size() && ReplyDecimal(values.at(i), value);
}

// Value i as a position of box. A number beyond the list is as unreadable as a missing one: it would select
// nothing and be sent back as -1.
bool positionAt(const ReplyList& values, qsizetype i, const QComboBox* box, qint32& position)
{
    qint32 v = 0;
    if (!decimalAt(values, i, v) || v < 0 || v >= box->count())
        return false;
    position = v;
    return true;
}

// Value i as a volume code for bar: a code the bar does not have leaves it where it is; a missing or
// unreadable value leaves it too and reports the item.
void readVolume(const ReplyList& values, qsizetype i, QSlider* bar, int positions, const QString& itemLine)
{
    qint32 code = 0;
    if (!decimalAt(values, i, code)) {
        LoadErrors += itemLine;
        return;
    }
    const int position = volumeCodeToPosition(code, positions);
    if (position >= 0)
        bar->setValue(position);
}

QByteArray number(int value)
{
    return QByteArray::number(value);
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
    const Exchange v0 = exchange(QByteArrayLiteral("AT&V0\r\n"), QStringLiteral("AT&&V0"));
    if (!v0.ok()) {
        LoadErrors += kLineAll;
        return false;
    }
    viewReplyCache.store(viewReplyCache.atV0, v0.reply);
    const QByteArray& reply = v0.reply;

    // "G08": the relax delay and the ringing time-out; the ISDN page reads the three values between them.
    const ReplyList g08 = ReplyValueList(QByteArrayLiteral("G08="), reply, ',');
    qint32 relax = 2;
    const QByteArray relaxText = LineOrEmpty(g08, 0, kItemRelax, LoadErrors, QByteArrayLiteral("2"));
    if (!ReplyDecimal(relaxText, relax)) {
        relax = 2;
        LoadErrors += kLineRelax;
    }
    seBasicRelax->setValue(relax);
    qint32 ringTimeout = 120;
    if (!decimalAt(g08, 4, ringTimeout))
        ringTimeout = 120;
    seBasicTimeoutRing->setValue(ringTimeout);

    // "G09": the bit set, the tones, the BUSY status.
    const ReplyList g09 = ReplyValueList(QByteArrayLiteral("G09="), reply, ',');
    qint32 flags = 0;
    if (!decimalAt(g09, 0, flags)) {
        flags = 0;
        LoadErrors += kLineSimFlags;
    }
    cbBasicSim->setCurrentIndex(flags & 1 ? 1 : 0);
    cbBasicDisable->setChecked(flags & 4);
    cbBasicSiemens->setChecked(flags & 2);
    cbBasicRecSms->setCurrentIndex(flags & 16 ? 1 : 0);
    qint32 position = 0;
    if (!positionAt(g09, 1, cbBasicDial, position)) {
        position = 0;
        LoadErrors += kLineDial;
    }
    cbBasicDial->setCurrentIndex(position);
    if (!positionAt(g09, 2, cbBasicRing, position)) {
        position = 0;
        LoadErrors += kLineRing;
    }
    cbBasicRing->setCurrentIndex(position);
    qint32 busy = 0;
    if (decimalAt(g09, 3, busy) && busy >= 255)
        cbBasicBusy->setCurrentIndex(cbBasicBusy->count() - 1);
    else
        cbBasicBusy->setCurrentIndex(positionAt(g09, 3, cbBasicBusy, position) ? position : 0);
    qint32 busyStatus = 0;
    cbBasicActivateBusy->setChecked(decimalAt(g09, 4, busyStatus) && (busyStatus & 4));

    // Volumes: Siemens "G02", Wavecom "G04" (with the echo cancelling), Sierra "G103" (with the networks).
    const ReplyList g02 = ReplyValueList(QByteArrayLiteral("G02="), reply, ',');
    readVolume(g02, 1, tbBasicTran, kSiemensPositions, kLineSiemensTran);
    readVolume(g02, 2, tbBasicRec, kSiemensPositions, kLineSiemensRec);

    const ReplyList g04 = ReplyValueList(QByteArrayLiteral("G04="), reply, ',');
    if (positionAt(g04, 0, cbBasicVoice, position))
        cbBasicVoice->setCurrentIndex(position);
    else
        LoadErrors += kLineEcho;
    readVolume(g04, 1, tbBasicTran2, kWavecomPositions, kLineWavecomTran);
    readVolume(g04, 2, tbBasicRec2, kWavecomPositions, kLineWavecomRec);

    const ReplyList g103 = ReplyValueList(QByteArrayLiteral("G103="), reply, ',');
    readVolume(g103, 1, tbBasicTran4, kSiemensPositions, kLineSierraTran);
    readVolume(g103, 2, tbBasicRec4, kSiemensPositions, kLineSierraRec);
    cbBasicSearch->setCurrentIndex(positionAt(g103, 4, cbBasicSearch, position) ? position : 0);
    qint32 networks = 0;
    decimalAt(g103, 3, networks);
    cbBasicUse->setCurrentIndex(basicNetworksPosition(networks));

    qint32 dtmf = 1;
    if (!ReplyDecimal(ReplyValue(QByteArrayLiteral("G05="), reply), dtmf))
        dtmf = 1;
    seBasicDtmf->setValue(dtmf);

    lbBasicCauses->clear();
    for (const QByteArray& entry : ReplyValueList(QByteArrayLiteral("G101="), reply, ','))
        if (!entry.isEmpty())
            lbBasicCauses->addItem(QString::fromLatin1(entry));

    // "AT&V": PIN and module selection; a whole-gateway load has the system page's reply already.
    QByteArray replyV = viewReplyCache.atV;
    if (replyV.isEmpty()) {
        const Exchange v = exchange(QByteArrayLiteral("AT&V\r\n"), QStringLiteral("AT&&V"));
        if (!v.ok()) {
            LoadErrors += kLinePinSelection;
            return false;
        }
        replyV = v.reply;
    }
    edBasicPin->setText(QString::fromLatin1(ReplyValue(QByteArrayLiteral("S98="), replyV)));
    const ReplyList s90{QList<QByteArray>{ReplyValue(QByteArrayLiteral("S90="), replyV)}};
    if (!positionAt(s90, 0, cbBasicSelection, position)) {
        position = 0;
        LoadErrors += kLineSelection;
    }
    cbBasicSelection->setCurrentIndex(position);

    // "AT&Vi": the causes sent to ISDN on the gateway's own errors.
    const Exchange vi = exchange(QByteArrayLiteral("AT&Vi\r\n"), QStringLiteral("AT&&Vi"));
    if (!vi.ok()) {
        LoadErrors += kLineCauses;
        return false;
    }
    const ReplyList i05 = ReplyValueList(QByteArrayLiteral("I05="), vi.reply, ',');
    qint32 causes[4] = {};
    bool causesRead = true;
    for (int i = 0; i < 4; ++i)
        causesRead = causesRead && decimalAt(i05, i, causes[i]);
    if (!causesRead) {
        std::copy(std::begin(kDefaultCauses), std::end(kDefaultCauses), causes);
        LoadErrors += kLineCauses;
    }
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

    // "G08" carries the ISDN page's three values between this page's two: they go back as the gateway holds
    // them now. Without them nothing is sent, so the ISDN settings are never overwritten with guesses.
    const Exchange v0 = exchange(QByteArrayLiteral("AT&V0\r\n"), QStringLiteral("AT&&V0"));
    if (!v0.written)
        LoadErrors += kLineRelax;
    if (!v0.answeredOk())
        LoadErrors += kLineRelax;
    qint32 isdn[3] = {};
    bool isdnRead = v0.ok();
    if (isdnRead) {
        const ReplyList g08 = ReplyValueList(QByteArrayLiteral("G08="), v0.reply, ',');
        for (int i = 0; i < 3; ++i)
            isdnRead = isdnRead && decimalAt(g08, i + 1, isdn[i]);
        if (!isdnRead)
            LoadErrors += kLineRelax;
    }
    if (isdnRead)
        ok &= sendSet("AT%G08=" + number(seBasicRelax->value()) + ',' + number(isdn[0]) + ',' + number(isdn[1]) + ',' +
                          number(isdn[2]) + ',' + number(seBasicTimeoutRing->value()) + "\r\n",
                      kLineRelax);
    else
        ok = false;

    // "G09": old firmware knows only the first three values and refuses the five-value form, newer firmware
    // takes both; only when neither is taken has the item failed.
    const QByteArray flags = number(basicSimFlags());
    const QByteArray tones =
        number(qMax(cbBasicDial->currentIndex(), 0)) + ',' + number(qMax(cbBasicRing->currentIndex(), 0));
    const QByteArray threeValueForm = "AT%G09=" + flags + ',' + tones + "\r\n";
    const bool threeValues = exchange(threeValueForm, QString::fromLatin1(threeValueForm)).ok();
    WaitPumping(10);
    const QByteArray fiveValueForm = "AT%G09=" + flags + ',' + tones + ',' + number(basicBusyValue()) + ',' +
                                     number(cbBasicActivateBusy->isChecked() ? 4 : 0) + "\r\n";
    const bool fiveValues = exchange(fiveValueForm, QString::fromLatin1(fiveValueForm)).ok();
    WaitPumping(10);
    if (!threeValues && !fiveValues) {
        LoadErrors += kLineG09;
        ok = false;
    }

    ok &= sendSet("AT%G02=2," + number(volumePositionToCode(tbBasicTran->value(), kSiemensPositions)) + ',' +
                      number(volumePositionToCode(tbBasicRec->value(), kSiemensPositions)) + "\r\n",
                  kLineSiemens);
    ok &= sendSet("AT%G04=" + number(qMax(cbBasicVoice->currentIndex(), 0)) + ',' +
                      number(volumePositionToCode(tbBasicTran2->value(), kWavecomPositions)) + ',' +
                      number(volumePositionToCode(tbBasicRec2->value(), kWavecomPositions)) + "\r\n",
                  kLineWavecom);
    ok &= sendCommand("AT%G05=" + number(seBasicDtmf->value()) + "\r\n", kLineDtmf);
    ok &= sendCommand("AT%G103=0," + number(volumePositionToCode(tbBasicTran4->value(), kSiemensPositions)) + ',' +
                          number(volumePositionToCode(tbBasicRec4->value(), kSiemensPositions)) + ',' +
                          number(basicNetworksCode(cbBasicUse->currentIndex())) + ',' +
                          number(qMax(cbBasicSearch->currentIndex(), 0)) + "\r\n",
                      kLineSierra);
    ok &= sendCommand("AT%S98=" + edBasicPin->text().toLatin1() + "\r\n", kLinePin);
    ok &= sendCommand("AT%S90=" + number(qMax(cbBasicSelection->currentIndex(), 0)) + "\r\n", kLineSelection);
    QByteArray entries;
    for (int i = 0; i < lbBasicCauses->count(); ++i)
        entries += (i ? "," : "") + lbBasicCauses->item(i)->text().toLatin1();
    ok &= sendCommand("AT%G101=" + entries + "\r\n", kLineTransfer);
    ok &= sendCommand("AT%I05=" + number(seBasicLack->value()) + ',' + number(seBasicRestricted->value()) + ',' +
                          number(seBasicSelected->value()) + ',' + number(seBasicModule->value()) + "\r\n",
                      kLineCauses);
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
