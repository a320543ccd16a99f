#include "online/ui/VoicePage.h"

#include "firmware/ui/TfFirm.h"
#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "link/ui/ConnectionPart.h"
#include "online/VoiceMessages.h"
#include "online/Xmodem.h"
#include "platform/ComPort.h"
#include "platform/Dialogs.h"
#include "platform/ModemLine.h"
#include "platform/ProgramDir.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "texts/TextFormat.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// RECORD's reply while it is owed (StillOwed): the recording's one OK.
quint64 recordOwed = 0;
constexpr int kVoiceTopic = 25;
constexpr int kTextNotWave = 987;
const QString kWavFilter = QStringLiteral("Microsoft Waveform Audio Files (*wav)|*.wav");

// The recording's reads (its erase's on a modem line, the status during it), one at a time: the gateway's login
// prompt among them ends the session (looked at where the link's text arrives, as its line's continuation).
QByteArray recordRead()
{
    return LinkReadTimeout(128, 0.05);
}

class TRecordVoice : public LiveWorker
{
public:
    TRecordVoice()
        : LiveWorker(4, [](LiveWorker& w) {
              const QByteArray text = recordRead();
              w.Synchronize([text] { UpdateVoiceRecordStatus(fMain, text); });
          })
    {
    }
};

class TDeleteVoice : public LiveWorker
{
public:
    TDeleteVoice() : LiveWorker(4, [](LiveWorker&) { VoiceDeletePoll(); }) {}
};

// The transfer's line: the link's serial port, given up when the program closes, so that the transfer ends at its
// next step and its failure steps leave the gateway in command mode before the link closes.
class VoiceXmodemLine : public ComPortXmodemLine
{
public:
    using ComPortXmodemLine::ComPortXmodemLine;
    bool write(const QByteArray& bytes) override { return !closingProgram() && ComPortXmodemLine::write(bytes); }
    bool read(QByteArray& out, int waitMs) override
    {
        return !closingProgram() && ComPortXmodemLine::read(out, waitMs);
    }
};

// One voice operation from its first write to its end. Its waits keep the window's events going, so the main
// window stays disabled all the while: no click may start a second operation inside this one or close the link
// under it. The link's port is held for the same span: a port closed meanwhile (the link lost) fails the next
// write, and is never used after it was freed. The operation reports its own failure; a port that went away
// under it then ends the connection, once the operation has returned.
class VoiceSpan
{
public:
    VoiceSpan() : port_(CurrentConnection.Handle)
    {
        open_ = true;
        if (fMain)
            fMain->setEnabled(false);
    }
    ~VoiceSpan()
    {
        open_ = false;
        enableMainWindow();
        if (lost() && linkLostHook)
            linkLostHook();
    }
    VoiceSpan(const VoiceSpan&) = delete;
    VoiceSpan& operator=(const VoiceSpan&) = delete;

    static bool open() { return open_; }
    const std::shared_ptr<ComPort>& port() const { return port_; }
    // A command line on the link's serial port that went out whole, kept out of the communication log: what the link
    // still owes taken first, its reply owed (an empty line's none); none once the gateway's session has ended (it
    // would go into the login dialogue).
    bool write(const QByteArray& line) const
    {
        return port_ && WriteCommand(line, {CommandReply::IfCommand, 0, 0, false}) == quint32(line.size());
    }
    // The port went away (a read or write found it hung up), or the gateway's session ended.
    bool lost() const { return (port_ && port_->isDisconnected()) || LinkSessionEnded(); }

private:
    std::shared_ptr<ComPort> port_;
    static inline bool open_ = false;
};

// A box shown during an operation is modal, so the main window is enabled under it: a box over the disabled
// main window would be disabled with it and could not be answered.
template <typename Show> int withMainEnabled(Show show)
{
    const bool held = VoiceSpan::open() && fMain && !fMain->isEnabled();
    if (held)
        fMain->setEnabled(true);
    const int answer = show();
    if (held && VoiceSpan::open())
        fMain->setEnabled(false);
    return answer;
}

int voiceBox(int text, int caption, unsigned flags)
{
    return withMainEnabled([&] { return MessageBox(labelText(text), labelText(caption), flags); });
}

void errorBox(int text)
{
    if (text == kCommErrorText) {
        withMainEnabled([] {
            CommErrorBox();
            return 0;
        });
        return;
    }
    voiceBox(text, 47, MB_ICONERROR);
}

void infoBox(int text)
{
    voiceBox(text, 54, MB_ICONINFORMATION);
}

QByteArray messageCommand(int n, const char* what, const char* end = "\r\n")
{
    return "AT!M" + QByteArray::number(n) + '=' + what + end;
}

QString firmText(int k, const char* english)
{
    return labelOr(labelTexts, k, QString::fromLatin1(english));
}

void setFirmStatus(int k, const char* english)
{
    if (!fFirm)
        return;
    fFirm->lbFirmStatus->setText(firmText(k, english));
    fFirm->repaint();
}

// The transfer's progress on the progress window: the bar in bytes, the label's caption at the start followed
// by the count.
XmodemProgress firmProgress()
{
    const QString prefix = fFirm ? fFirm->lbFirmStatus->text() : QString();
    return [prefix](qint64 position, int count) {
        if (!fFirm)
            return;
        fFirm->pbStatus->setValue(int(std::min<qint64>(position, fFirm->pbStatus->maximum())));
        fFirm->lbFirmStatus->setText(prefix + QString::number(count));
        ProcessMessages();
    };
}

// The bar is shared with the firmware upgrade, which counts in per cent: the transfer sets its whole range.
void setFirmMaximum(qint64 length)
{
    if (fFirm)
        fFirm->pbStatus->setRange(0, int(std::min<qint64>(length, std::numeric_limits<int>::max())));
}

void setFirmPosition(int position)
{
    if (fFirm)
        fFirm->pbStatus->setValue(position);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QPushButton(caption, parent), name);
}

QLabel* label(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QLabel(caption, parent), name);
}

} // namespace

void VoicePage::buildVoicePage(QWidget* host)
{
    pVoice = addTopicPage(host, "pVoice", kVoiceTopic);
    QWidget* page = pVoice->widget();
    voiceFileChosen = false;

    gbVoice1 = named(new QGroupBox(QStringLiteral("Voice message through XMODEM"), page), "gbVoice1");
    rbVoiceWrite = named(new QRadioButton(QStringLiteral("Write voice message"), gbVoice1), "rbVoiceWrite");
    rbVoiceRead = named(new QRadioButton(QStringLiteral("Read voice message"), gbVoice1), "rbVoiceRead");
    rbVoiceRead->setChecked(true);
    lbVoiceFile = label(gbVoice1, "lbVoiceFile", QStringLiteral("File for writing/reading voice message :"));
    edVoiceFile = named(new QLineEdit(gbVoice1), "edVoiceFile");
    sbVoiceFile = button(gbVoice1, "sbVoiceFile", QStringLiteral("..."));
    sbVoiceFile->setFixedWidth(32);
    lbVoiceMessageType1 = label(gbVoice1, "lbVoiceMessageType1", QStringLiteral("Voice message type :"));
    cbVoiceType = named(new QComboBox(gbVoice1), "cbVoiceType");
    cbVoiceType->addItems(
        {QStringLiteral("Disa message"), QStringLiteral("Virtual ring tone 1"), QStringLiteral("Virtual ring tone 2")});
    cbVoiceType->setCurrentIndex(0);
    sbVoiceReadWrite = button(gbVoice1, "sbVoiceReadWrite", QStringLiteral("Read/Write"));
    sbVoiceDelete = button(gbVoice1, "sbVoiceDelete", QStringLiteral("Delete"));
    lbVoiceHint = label(gbVoice1, "lbVoiceHint",
                        QStringLiteral("To disable Virtual Ring Tone, you have to delete the VRT message"));
    lbVoiceHint->setWordWrap(true);

    auto* g1 = new QGridLayout(gbVoice1);
    auto* radios = new QHBoxLayout;
    radios->addWidget(rbVoiceRead);
    radios->addWidget(rbVoiceWrite);
    radios->addStretch();
    g1->addLayout(radios, 0, 0, 1, 3);
    g1->addWidget(lbVoiceFile, 1, 0, 1, 3);
    g1->addWidget(edVoiceFile, 2, 0, 1, 2);
    g1->addWidget(sbVoiceFile, 2, 2);
    g1->addWidget(lbVoiceMessageType1, 3, 0);
    g1->addWidget(cbVoiceType, 3, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbVoiceReadWrite);
    buttons->addWidget(sbVoiceDelete);
    buttons->addWidget(lbVoiceHint, 1);
    g1->addLayout(buttons, 4, 0, 1, 3);
    g1->setColumnStretch(1, 1);

    mVoice = named(new QPlainTextEdit(page), "mVoice");
    mVoice->setReadOnly(true);
    mVoice->setFont(QFont(QStringLiteral("Courier New")));

    gbVoice2 = named(new QGroupBox(QStringLiteral("Voice message through GSM"), page), "gbVoice2");
    lbVoiceMessageType2 = label(gbVoice2, "lbVoiceMessageType2", QStringLiteral("Voice message type :"));
    cbVoiceRecord = named(new QComboBox(gbVoice2), "cbVoiceRecord");
    cbVoiceRecord->addItems({QStringLiteral("DISA message"), QStringLiteral("1"), QStringLiteral("2"),
                             QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("PRI")});
    cbVoiceRecord->setCurrentIndex(0);
    sbVoiceDial = button(gbVoice2, "sbVoiceDial", QStringLiteral("Record"));
    sbVoiceStop = button(gbVoice2, "sbVoiceStop", QStringLiteral("Stop"));
    sbVoiceStop->setEnabled(false);
    lbVoiceSta = label(gbVoice2, "lbVoiceSta", QStringLiteral("Status :"));
    lbVoiceStatus = label(gbVoice2, "lbVoiceStatus", QString());
    lbVoiceTimeRem = label(gbVoice2, "lbVoiceTimeRem", QStringLiteral("Remaining time [s]:"));
    lbVoiceTime = label(gbVoice2, "lbVoiceTime", QString());
    auto* g2 = new QGridLayout(gbVoice2);
    g2->addWidget(lbVoiceMessageType2, 0, 0);
    g2->addWidget(cbVoiceRecord, 0, 1);
    g2->addWidget(sbVoiceDial, 0, 2);
    g2->addWidget(sbVoiceStop, 0, 3);
    g2->addWidget(lbVoiceSta, 1, 0);
    g2->addWidget(lbVoiceStatus, 1, 1, 1, 3);
    g2->addWidget(lbVoiceTimeRem, 2, 0);
    g2->addWidget(lbVoiceTime, 2, 1, 1, 3);
    gbVoice2->setVisible(false); // no operation of the program shows it

    tVoice = named(new QTimer(page), "tVoice");
    tVoice->setInterval(500);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gbVoice1);
    layout->addWidget(mVoice, 1);
    layout->addWidget(gbVoice2);

    QObject::connect(sbVoiceReadWrite, &QPushButton::clicked, page, [this] { sbVoiceReadWriteClick(); });
    QObject::connect(sbVoiceDelete, &QPushButton::clicked, page, [this] { sbVoiceDeleteClick(); });
    QObject::connect(sbVoiceFile, &QPushButton::clicked, page, [this] { sbVoiceFileClick(); });
    QObject::connect(cbVoiceType, &QComboBox::activated, page, [this] { cbVoiceTypeChange(cbVoiceType); });
    QObject::connect(cbVoiceRecord, &QComboBox::activated, page, [this] { cbVoiceTypeChange(cbVoiceRecord); });
    QObject::connect(sbVoiceDial, &QPushButton::clicked, page, [this] { sbVoiceDialClick(); });
    QObject::connect(sbVoiceStop, &QPushButton::clicked, page, [this] { sbVoiceStopClick(); });
    QObject::connect(tVoice, &QTimer::timeout, page, [this] { tVoiceTimer(); });

    if (fMain)
        fMain->setTopicSection(kVoiceTopic, [this](bool chosen) {
            voiceSection(chosen);
            return true;
        });

    LiveTool tool;
    tool.topic = kVoiceTopic;
    tool.running = [this] {
        return recordVoiceThread || deleteVoiceThread || (tVoice && tVoice->isActive()) ||
               (sbVoiceStop && sbVoiceStop->isEnabled());
    };
    // Leaving during a recording ends it on the gateway and ends its watchers with the page: the gateway's OK is
    // then owed to whoever writes next, and no page's command takes it for its own.
    tool.stopForLeave = [this] {
        if (sbVoiceStop->isEnabled()) // an operation runs
            stopVoiceTools(true);
    };
    tool.stopForDisconnect = [this] { stopVoiceTools(true); };
    tool.stopForClose = [this] { stopVoiceTools(true); };
    // The transfers report their own failures and are never running when the loss is handled; the recording
    // ends without the stop that cannot go out, and the loss is told once for it.
    tool.stopForLinkLoss = [this] { stopVoiceTools(false); };
    tool.holdsLink = [this] { return recordVoiceThread || deleteVoiceThread || (tVoice && tVoice->isActive()); };
    liveTools.add(LiveToolSlot::Voice, tool);

    voiceGatewaySelected();
}

void VoicePage::voiceSection(bool chosen)
{
    if (!chosen) {
        liveTools.stopForLeave(kVoiceTopic);
        pVoice->hide();
        return;
    }
    if (fMain)
        fMain->showTopicPage(kVoiceTopic);
    mVoice->clear();
    if (fFirm)
        fFirm->lbFirmStatus->setText(QStringLiteral("Received packet : "));
    sbVoiceStop->setEnabled(false);
    sbVoiceDial->setEnabled(true);
}

void VoicePage::stopVoiceTools(bool tellGateway)
{
    // A running recording is told to stop on the gateway while the link is there; both watchers end, and the
    // tick with them.
    if (tellGateway && sbVoiceStop->isEnabled())
        sbVoiceStopClick();
    StopLiveWorker(recordVoiceThread);
    StopLiveWorker(deleteVoiceThread);
    tVoice->stop();
    sbVoiceStop->setEnabled(false);
    sbVoiceDial->setEnabled(true);
}

void VoicePage::setLabelsVoice1(const Tlabels& t)
{
    gbVoice1->setTitle(labelOr(t, 163, QStringLiteral("Voice message through XMODEM")));
    gbVoice2->setTitle(labelOr(t, 164, QStringLiteral("Voice message through GSM")));
    rbVoiceWrite->setText(labelOr(t, 165, QStringLiteral("Write voice message")));
    rbVoiceRead->setText(labelOr(t, 166, QStringLiteral("Read voice message")));
    lbVoiceFile->setText(labelOr(t, 167, QStringLiteral("File for writing/reading voice message :")));
    lbVoiceMessageType1->setText(labelOr(t, 168, QStringLiteral("Voice message type :")));
    lbVoiceMessageType2->setText(labelOr(t, 168, QStringLiteral("Voice message type :")));
    sbVoiceReadWrite->setText(labelOr(t, 169, QStringLiteral("Read/Write")));
    sbVoiceDelete->setText(labelOr(t, 923, QStringLiteral("Delete")));
    lbVoiceHint->setText(
        labelOr(t, 924, QStringLiteral("To disable Virtual Ring Tone, you have to delete the VRT message")));
}

void VoicePage::setLabelsVoiceTransfer(const Tlabels& t)
{
    if (!fFirm)
        return;
    fFirm->lbFirmStatus->setText(rbVoiceRead->isChecked() ? labelOr(t, 170, QStringLiteral("Received packet :"))
                                                          : labelOr(t, 171, QStringLiteral("Transmitted packet : ")));
}

void VoicePage::setLabelsVoice2(const Tlabels& t)
{
    lbVoiceTimeRem->setText(labelOr(t, 174, QStringLiteral("Remaining time [s] : ")));
    sbVoiceDial->setText(labelOr(t, 176, QStringLiteral("Dial")));
    sbVoiceStop->setText(labelOr(t, 177, QStringLiteral("Hang")));
    // The lists name the DISA message by an entry of their own; the file name takes another (VoiceMessageName).
    const QString ringTone = labelOr(t, 875, QStringLiteral("Virtual ring tone"));
    const QString names[] = {labelOr(t, 185, QStringLiteral("Disa message")), ringTone + QStringLiteral(" 1"),
                             ringTone + QStringLiteral(" 2")};
    for (int i = 0; i < 3; ++i)
        for (QComboBox* list : {cbVoiceType, cbVoiceRecord})
            if (i < list->count())
                list->setItemText(i, names[i]);
    // Both lists go back to the DISA message; the file name follows unless the user chose one.
    cbVoiceType->setCurrentIndex(0);
    cbVoiceRecord->setCurrentIndex(0);
    cbVoiceTypeChange(cbVoiceType);
}

void VoicePage::cbVoiceTypeChange(QComboBox* list)
{
    const QString name = VoiceMessageName(list->currentIndex(), labelTexts);
    if (voiceFileChosen)
        return;
    const QString gateFile = CurrentGateway.File;
    const QString folder = gateFile.isEmpty() ? programDir() : QFileInfo(gateFile).path();
    edVoiceFile->setText(folder + QLatin1Char('/') + name + QStringLiteral(".wav"));
}

void VoicePage::voiceGatewaySelected()
{
    voiceFileChosen = false;
    cbVoiceTypeChange(cbVoiceType);
}

void VoicePage::sbVoiceFileClick()
{
    if (rbVoiceRead->isChecked()) {
        QString path = GetSaveFileName(fMain, QString(), edVoiceFile->text(), kWavFilter);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix() != QLatin1String("wav") || !path.endsWith(QLatin1String(".wav")))
            path += QStringLiteral(".wav");
        edVoiceFile->setText(path);
        voiceFileChosen = true;
    } else {
        const QString path = GetOpenFileName(fMain, QString(), edVoiceFile->text(), kWavFilter);
        if (path.isEmpty())
            return;
        voiceFileChosen = true;
        edVoiceFile->setText(path);
    }
}

bool VoicePage::voiceCommonStart()
{
    if (CurrentConnection.LinkType == LinkTelnet || CurrentConnection.LinkType == LinkModem) {
        infoBox(68);
        return false;
    }
    connectForPageRun();
    ComPort* port = CurrentConnection.Handle.get();
    if (!CurrentConnection.Connected || !port || !port->isOpen())
        return false;
    // Another tool's reader left on the port would take the transfer's bytes.
    for (int slot = 0; slot < int(LiveToolSlot::Count); ++slot) {
        const auto s = LiveToolSlot(slot);
        const LiveTool* tool = liveTools.tool(s);
        if (s != LiveToolSlot::Voice && tool && tool->stopForDisconnect && liveTools.running(s))
            tool->stopForDisconnect();
    }
    return true;
}

void VoicePage::showVoiceProgress()
{
    if (!fFirm)
        return;
    showWithoutWaiting(fFirm);
    fFirm->repaint();
}

void VoicePage::hideVoiceProgress()
{
    if (fFirm)
        fFirm->hide();
}

void VoicePage::sbVoiceReadWriteClick()
{
    if (rbVoiceRead->isChecked())
        voiceRead();
    else
        voiceWrite();
}

// What reading and writing a message share after the checks: the view emptied, an "AT", the progress window's
// title.
void VoicePage::voiceTransferStart(int title, const char* english)
{
    QByteArray reply;
    mVoice->clear();
    setFirmPosition(0);
    SendCommandOk("AT\r\n", reply, 512);
    if (fFirm)
        fFirm->setWindowTitle(firmText(title, english));
}

void VoicePage::voiceRead()
{
    if (!voiceCommonStart())
        return;
    const VoiceSpan span;
    voiceTransferStart(428, "Reading voice message ... ");
    setFirmStatus(170, "Received packet :");

    const QString path = edVoiceFile->text();
    if (QFileInfo::exists(path) && voiceBox(69, 54, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The message goes to a file beside the chosen one, which replaces the old file only once it is complete.
    QSaveFile target(path);
    target.setDirectWriteFallback(false);
    if (!target.open(QIODevice::WriteOnly)) {
        errorBox(60);
        return;
    }

    const int n = cbVoiceType->currentIndex();
    if (!span.write("\r\nAT\r\n")) {
        errorBox(kCommErrorText);
        return;
    }
    VoiceReplyWait(1000);
    if (!span.write(messageCommand(n, "view"))) {
        errorBox(kCommErrorText);
        return;
    }
    const QByteArray view = VoiceReplyWait();
    const VoiceView v = CheckVoiceView(view);
    if (v.failText != 0) {
        errorBox(span.lost() ? kCommErrorText : v.failText);
        return;
    }
    setFirmMaximum(v.length);
    for (const QString& line : VoiceDescription(view, labelTexts))
        mVoice->appendPlainText(line);

    if (closingProgram())
        return;
    if (!span.write(messageCommand(n, "READ"))) {
        errorBox(kCommErrorText);
        return;
    }
    // The answer passed the link's one look as it came: its prompt, at a line start, has ended the session.
    const QByteArray readAnswer = ComRead(span.port().get(), 512, true);
    if (LinkSessionEnded()) {
        errorBox(kCommErrorText);
        return;
    }
    if (readAnswer.toUpper().contains("BUSY")) {
        errorBox(681);
        return;
    }

    showVoiceProgress();
    XmodemResult result;
    {
        // The transfer's own port time-outs end with it: the gateway's answers after it are read as any other. Its
        // bytes are no text (never looked at for the prompt): the line after it begins anew.
        const NeverLooksScope binary;
        VoiceXmodemLine line(*span.port());
        result = XmodemReceive(line, target, firmProgress(), voiceXmodemLimits);
    }
    hideVoiceProgress();

    if (result.ok) {
        // The gateway waits for the line end whether or not the file can be kept.
        // The gateway's login prompt in its answer: the session has ended, which is told in place of the success.
        const bool sent = span.write("\r\n") && !ReadReplyMeetsSessionEnd(512);
        const bool kept = target.commit();
        if (!sent)
            errorBox(kCommErrorText);
        if (!kept)
            errorBox(60);
        else if (sent)
            infoBox(70);
        return;
    }
    target.cancelWriting();
    errorBox(kCommErrorText);
    mVoice->clear();
    setFirmStatus(170, "Received packet :");
    setFirmPosition(0);
    if (span.write(QByteArray("\r\n").repeated(10)))
        VoiceReplyWait();
    else if (!span.lost()) // a port gone under the transfer was its failure, told above
        errorBox(kCommErrorText);
}

void VoicePage::voiceWrite()
{
    if (!voiceCommonStart())
        return;
    const VoiceSpan span;
    voiceTransferStart(427, "Writing voice message ... ");

    const QString path = edVoiceFile->text();
    if (!QFileInfo::exists(path)) {
        voiceBox(71, 54, MB_ICONERROR);
        return;
    }
    // Opened before the message is erased: a file that cannot be read must not cost the stored message.
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        errorBox(60);
        return;
    }
    if (!IsWaveFile(source)) {
        errorBox(kTextNotWave);
        return;
    }
    const qint64 length = source.size();
    setFirmMaximum(length);
    mVoice->appendPlainText(QStringLiteral("File length : ") + QString::number(length));

    showVoiceProgress();
    setFirmStatus(676, "Erasing voice message ... ");
    const int n = cbVoiceType->currentIndex();
    auto fail = [this] {
        errorBox(kCommErrorText);
        hideVoiceProgress();
    };
    // Once the message is erased, every end but success says so, whatever broke off the write.
    auto erased = [this] {
        hideVoiceProgress();
        errorBox(788);
        mVoice->clear();
        setFirmStatus(171, "Transmitted packet : ");
        setFirmPosition(0);
    };
    if (!span.write("\r\nAT\r\n"))
        return fail();
    VoiceReplyWait(1000);
    if (closingProgram())
        return hideVoiceProgress(); // nothing erased yet: the stored message stays
    if (!span.write(messageCommand(n, "ERASE")) || !VoiceEraseWait(span.port(), "OK", voiceWaits.eraseMs))
        return fail();
    setFirmStatus(171, "Transmitted packet : ");
    PauseOnLink(100);
    if (!span.write(messageCommand(n, "WRITE")))
        return erased();
    ComRead(span.port().get(), 512, true); // its answer: the gateway's login prompt in it ends the session
    if (LinkSessionEnded())
        return erased();

    XmodemResult result;
    {
        const NeverLooksScope binary; // no text: the line after it begins anew
        VoiceXmodemLine line(*span.port()); // its short time-outs last as long as the transfer
        result = XmodemSend(line, source, firmProgress(), voiceXmodemLimits);
    }
    if (result.ok) {
        hideVoiceProgress();
        if (span.write("\r\nAT\r\n")) {
            VoiceReplyWait();
            infoBox(72);
        } else {
            errorBox(kCommErrorText);
        }
        return;
    }

    // The half-written message is erased.
    if (span.write(QByteArray("\r\n").repeated(10))) {
        VoiceReplyWait();
        setFirmStatus(676, "Erasing voice message ... ");
        if (span.write(messageCommand(n, "ERASE")))
            VoiceEraseWait(span.port(), "OK", voiceWaits.eraseMs);
    }
    erased();
}

void VoicePage::sbVoiceDeleteClick()
{
    if (!voiceCommonStart())
        return;
    const VoiceSpan span;
    if (!span.write("\r\nAT\r\n")) {
        errorBox(kCommErrorText);
        return;
    }
    const int n = cbVoiceType->currentIndex();
    mVoice->clear();
    VoiceReplyWait();
    if (!span.write(messageCommand(n, "view"))) {
        errorBox(kCommErrorText);
        return;
    }
    const int failText = CheckVoiceViewForErase(VoiceReplyWait());
    if (failText != 0) {
        errorBox(span.lost() ? kCommErrorText : failText);
        return;
    }
    if (!span.write(messageCommand(n, "ERASE")) || !VoiceEraseWait(span.port(), "\r\nOK\r\n", voiceWaits.eraseMs)) {
        errorBox(kCommErrorText);
        hideVoiceProgress();
        return;
    }
    mVoice->appendPlainText(formatTextString(labelText(921), cbVoiceType->currentText()));
}

void VoicePage::sbVoiceDialClick()
{
    connectForPageRun();
    if (!CurrentConnection.Connected)
        return;
    const int n = cbVoiceRecord->currentIndex();
    lbVoiceStatus->setText(labelOr(labelTexts, 676, QStringLiteral("Erasing voice message ... ")));
    lbVoiceStatus->repaint();
    sbVoiceDial->setEnabled(false);

    const QByteArray erase = messageCommand(n, "ERASE", "\r");
    PauseOnLink(200);
    if (WriteCommand(erase) != quint32(erase.size())) {
        errorBox(kCommErrorText);
        sbVoiceDial->setEnabled(true);
        return;
    }
    // The erase has 60 s on every link, the modem's watcher included.
    const qint64 end = Clock::milliseconds() + voiceWaits.recordEraseMs;
    bool erased = false;
    if (CurrentConnection.LinkType == LinkModem) {
        voiceDeleteDone = false;
        deleteVoiceThread = new TDeleteVoice;
        while (!voiceDeleteDone && Clock::milliseconds() <= end && !closingProgram() && !LinkLost())
            WaitPumping(100);
        erased = voiceDeleteDone;
        StopLiveWorker(deleteVoiceThread);
    } else {
        QByteArray text;
        while (!(erased = text.contains("OK")) && Clock::milliseconds() <= end && !closingProgram() && !LinkLost()) {
            WaitPumping(100);
            text += LinkReadTimeout(128, 0.01); // the session's end makes the link count as lost
        }
    }
    if (!erased) {
        errorBox(kCommErrorText);
        enableMainWindow();
        hideVoiceProgress();
        sbVoiceDial->setEnabled(true);
        return;
    }

    lbVoiceStatus->setText(labelOr(labelTexts, 682, QStringLiteral("Recording message ... ")));
    const QByteArray record = messageCommand(n, "RECORD", "\r");
    if (WriteCommand(record, {}, &recordOwed) != quint32(record.size())) {
        errorBox(kCommErrorText);
        sbVoiceDial->setEnabled(true);
        return;
    }
    voiceRecordLimit = VoiceRecordLimit(cbVoiceRecord->currentIndex());
    lbVoiceTime->setText(QString::number(voiceRecordLimit.load()));
    if (CurrentConnection.LinkType == LinkModem)
        recordVoiceThread = new TRecordVoice;
    else
        tVoice->start();
    voiceRecordStart = Clock::seconds();
    sbVoiceStop->setEnabled(true);
}

void VoicePage::tVoiceTimer()
{
    if (!TimersMaySend())
        return; // inside another exchange's wait the read would take that one's answer: the next tick looks
    UpdateVoiceRecordStatus(this, recordRead());
}

void UpdateVoiceRecordStatus(VoicePage* page, const QByteArray& text)
{
    if (!page)
        return;
    const int remaining = voiceRecordLimit - int(Clock::seconds() - voiceRecordStart);
    page->lbVoiceTime->setText(QString::number(remaining));
    page->lbVoiceTime->repaint();
    if (!text.contains("OK") && remaining >= 1)
        return;
    page->lbVoiceStatus->setText(labelOr(labelTexts, 683, QStringLiteral("Voice message recorded sucessfully ... ")));
    page->lbVoiceTime->setText(QString());
    page->sbVoiceDial->setEnabled(true);
    StopLiveWorker(recordVoiceThread);
    page->tVoice->stop();
    page->sbVoiceStop->setEnabled(false);
    page->sbVoiceStopClick(!text.contains("OK")); // at the limit the gateway still owes its OK
    // What follows the stop is dropped. On the modem link LinkReadTimeout would wait for text up to its own
    // long limit, with the window standing still; the normal serial time-outs bound this read instead.
    const ConnectionRecord& c = CurrentConnection;
    ComPort* port = c.Handle ? c.Handle.get() : c.Modem ? c.Modem->port() : nullptr;
    if (c.LinkType == LinkModem && port) {
        const CommTimeouts saved = port->timeouts();
        port->setTimeouts(kNormalTimeouts);
        ComRead(port, 128, true);
        port->setTimeouts(saved);
    } else {
        recordRead();
    }
}

void VoiceDeletePoll()
{
    if (recordRead().contains("OK"))
        voiceDeleteDone = true;
}

void VoicePage::sbVoiceStopClick(bool owesReply)
{
    // The recording's OK answers it and RECORD alike: while RECORD's is owed the stop is a step of the recording's
    // own dialogue, which takes nothing (the OK it brings is RECORD's) and owes nothing of its own. Whoever reads the
    // OK counts it, and when nobody has, the next writer takes it.
    const bool sent = StillOwed(recordOwed)
                          ? LinkWrite(CurrentConnection, "\r\n\r\n") == 4
                          : WriteCommand("\r\n\r\n", {owesReply ? CommandReply::Always : CommandReply::Never}) == 4;
    if (!sent)
        errorBox(kCommErrorText);
}
