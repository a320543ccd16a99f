// The voice page against the simulated gateway on its serial pty: .wav files there and back over XMODEM-CRC,
// the description checks, the failures and what they leave behind, and the recording over a call.
#include "online/ui/VoicePage.h"
#include "firmware/ui/TfFirm.h"
#include "gatewaysim/Gateway.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "link/ui/ConnectionPart.h"
#include "online/VoiceMessages.h"
#include "platform/Wait.h"
#include "support/MainWindowFixture.h"
#include "texts/Labels.h"
#include "ui/TfMain.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

QByteArray run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return p.readAllStandardOutput().trimmed();
}

class VoicePageTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        voiceXmodemLimits.byteGapMs = 200;
        voiceXmodemLimits.quietMs = 600;
        voiceXmodemLimits.frameWaitMs = 1000;
        voiceXmodemLimits.replyMs = 2000;
        voiceXmodemLimits.closingReadMs = 50;
        voiceXmodemLimits.errorWindowMs = 2000;
        voiceXmodemLimits.startPauseMs = 300;
        voiceWaits.replyMs = 1500;
        voiceWaits.eraseMs = 1500;
    }

    void TearDown() override
    {
        if (fMain && CurrentConnection.Connected)
            fMain->mDisconnectClick();
        MainWindowFixture::TearDown();
        gateway.reset();
        voiceXmodemLimits = {};
        voiceWaits = {};
    }

    // The gateway on its serial port, or behind the simulated modem (modem).
    void start(const gatewaysim::Config& config = {}, bool modem = false)
    {
        gateway = std::make_unique<gatewaysim::Gateway>(config);
        ASSERT_TRUE(gateway->isValid());
        const QString pty = modem ? gateway->startModemPty() : gateway->startSerialPty();
        ASSERT_FALSE(pty.isEmpty());
        writeFile(QStringLiteral("gtws.ini"), "[Sim]\nUsername=bfpms\nPassword=bfpms\nPhoneNumber=1\n");
        writeSettings(QByteArray("language=1\nSaveLog=0\ngateway=Sim\n") +
                      (modem ? "commtype=3\nmodemName=" : "commtype=1\nComport=") + pty.toLocal8Bit() + "\n");
        ASSERT_NO_FATAL_FAILURE(startUp());
        dialogs().clearRecords();
    }

    // A .wav file made by sox: A-law, 8000 samples per second, the given number of samples.
    QByteArray makeWav(const QString& name, int samples)
    {
        const QString file = path(name);
        run(QStringLiteral("sox"),
            {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("8000"), QStringLiteral("-c"),
             QStringLiteral("1"), QStringLiteral("-e"), QStringLiteral("a-law"), file, QStringLiteral("synth"),
             QString::number(samples / 8000.0), QStringLiteral("sine"), QStringLiteral("440")});
        return readFile(name);
    }

    void readInto(const QString& name)
    {
        fMain->rbVoiceRead->setChecked(true);
        fMain->edVoiceFile->setText(path(name));
        fMain->sbVoiceReadWrite->click();
    }

    void writeFrom(const QString& name)
    {
        fMain->rbVoiceWrite->setChecked(true);
        fMain->edVoiceFile->setText(path(name));
        fMain->sbVoiceReadWrite->click();
    }

    QString lastBox() { return dialogs().boxes().isEmpty() ? QString() : dialogs().boxes().last().text; }

    std::unique_ptr<gatewaysim::Gateway> gateway;
};

} // namespace

TEST_F(VoicePageTest, AWavFileGoesToTheGatewayAndBackByteForByte)
{
    ASSERT_NO_FATAL_FAILURE(start());
    const QByteArray wav = makeWav(QStringLiteral("tone.wav"), 3000);
    ASSERT_GT(wav.size(), 3000);

    fMain->rbVoiceWrite->setChecked(true);
    fMain->cbVoiceType->setCurrentIndex(1);
    fMain->edVoiceFile->setText(path(QStringLiteral("tone.wav")));
    fMain->sbVoiceReadWrite->click();
    EXPECT_EQ(lastBox(), labelText(72));
    EXPECT_EQ(gateway->voiceMessage(1), wav);
    const QByteArray heard = gateway->receivedBytes();
    EXPECT_LT(heard.indexOf("AT!M1=ERASE\r\n"), heard.indexOf("AT!M1=WRITE\r\n"));

    dialogs().clearRecords();
    readInto(QStringLiteral("back.wav"));
    EXPECT_EQ(lastBox(), labelText(70));
    const QByteArray back = readFile(QStringLiteral("back.wav"));
    EXPECT_EQ(back.size() % 128, 0);
    EXPECT_EQ(back.left(wav.size()), wav);
    EXPECT_EQ(back.mid(wav.size()), QByteArray(back.size() - wav.size(), '\0'));
    EXPECT_EQ(run(QStringLiteral("soxi"), {QStringLiteral("-s"), path(QStringLiteral("back.wav"))}), "3000");
    const QStringList memo = fMain->mVoice->toPlainText().split('\n');
    ASSERT_EQ(memo.size(), 5);
    EXPECT_EQ(memo[0], QStringLiteral("File length : ") + QString::number(wav.size()));
    EXPECT_EQ(memo[2], QStringLiteral("Samples/sec : 8000"));
    EXPECT_EQ(QDir(programFolder()).entryList({QStringLiteral("back.wav*")}, QDir::Files).size(), 1);
}

TEST_F(VoicePageTest, AFailedReadLeavesTheOldFileAndNoPartOfTheNewOne)
{
    struct Case
    {
        const char* name;
        QByteArray view; // the gateway's description, when not its own
        bool busy;
        int badTimes; // CRC flips of frame 2
        int text;
        int repeats = 0; // frame 2 goes again after each ACK, this often
    };
    const Case cases[] = {
        {"length 0", "File length: 0", false, 0, 477},
        {"length no number", "File length: 12a", false, 0, 477},
        {"no length", "Data Codec: A-law 8 bit", false, 0, 786},
        {"refused", "ERROR", false, 0, 477},
        {"busy", {}, true, 0, 681},
        {"transfer fails", {}, false, 11, 56},
        {"frame 2 again and again", {}, false, 0, 56, 1000000},
    };
    gatewaysim::Config cfg;
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    gateway->setVoiceMessage(0, QByteArray(1000, 'v'));
    writeFile(QStringLiteral("old.wav"), "the old file");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gatewaysim::Faults f;
        f.voiceView = c.view;
        f.voiceBusy = c.busy;
        f.xmodemFrame = 2;
        f.xmodemBadTimes = c.badTimes;
        f.xmodemRepeat = c.repeats;
        gateway->setFaults(f);
        gateway->clearLog();
        dialogs().clearRecords();
        dialogs().answerBox(IDYES); // replace the old file
        readInto(QStringLiteral("old.wav"));
        ASSERT_FALSE(dialogs().boxes().isEmpty());
        EXPECT_EQ(dialogs().boxes().first().text, labelText(69));
        EXPECT_EQ(dialogs().boxes()[1].text, labelText(c.text));
        EXPECT_EQ(readFile(QStringLiteral("old.wav")), "the old file");
        EXPECT_EQ(QDir(programFolder()).entryList({QStringLiteral("old.wav*")}, QDir::Files).size(), 1);
        EXPECT_EQ(gateway->receivedBytes().contains("AT!M0=READ"), c.text == 681 || c.text == 56);
        if (c.text == 56) {
            EXPECT_TRUE(gateway->receivedBytes().contains(QByteArray("\r\n").repeated(10)));
        }
    }
}

TEST_F(VoicePageTest, AFailedWriteErasesTheMessageAndSaysSo)
{
    struct Case
    {
        const char* name;
        gatewaysim::Faults faults;
    };
    gatewaysim::Faults nakked;
    nakked.xmodemFrame = 2;
    nakked.xmodemBadTimes = 11;
    gatewaysim::Faults deaf; // nor is the recovery's erase ever answered
    deaf.xmodemSilent = true;
    const Case cases[] = {{"the transfer fails", nakked}, {"the recovery's erase is not confirmed", deaf}};
    ASSERT_NO_FATAL_FAILURE(start());
    makeWav(QStringLiteral("new.wav"), 4000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gateway->setVoiceMessage(0, "the old message");
        gateway->setFaults(c.faults);
        gateway->clearLog();
        dialogs().clearRecords();
        writeFrom(QStringLiteral("new.wav"));
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(788)});
        const QByteArray heard = gateway->receivedBytes();
        const qsizetype recovery = heard.indexOf(QByteArray("\r\n").repeated(10));
        ASSERT_GE(recovery, 0);
        EXPECT_GT(heard.indexOf("AT!M0=ERASE\r\n", recovery), recovery);
        EXPECT_TRUE(gateway->voiceMessage(0).isEmpty());
    }
}

TEST_F(VoicePageTest, OnlyAWaveFileReplacesTheMessage)
{
    ASSERT_NO_FATAL_FAILURE(start());
    const QByteArray wav = makeWav(QStringLiteral("tone.wav"), 1000);
    const QByteArray readBack = wav + QByteArray((128 - wav.size() % 128) % 128, '\0'); // as a read leaves it
    const struct
    {
        const char* name;
        QByteArray bytes;
        bool taken;
    } cases[] = {
        {"text", "some text that is long enough to hold a header", false},
        {"RIFF of another form", "RIFF" + QByteArray(4, '\x20') + "AVI LIST" + QByteArray(100, 'x'), false},
        {"shorter than a header", "RIFF" + QByteArray(4, '\0') + "WAV", false},
        {"empty", {}, false},
        {"the RIFF/WAVE header alone", "RIFF" + QByteArray::fromHex("04000000") + "WAVE", false},
        {"no format chunk", QByteArray(wav).replace("fmt ", "fmt_"), false},
        {"no data chunk", QByteArray(wav).replace("data", "dat_"), false},
        {"made by sox", wav, true},
        {"read from the gateway", readBack, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gateway->setVoiceMessage(0, "the old message");
        gateway->clearLog();
        dialogs().clearRecords();
        writeFile(QStringLiteral("in.wav"), c.bytes);
        writeFrom(QStringLiteral("in.wav"));
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(c.taken ? 72 : 987)});
        EXPECT_EQ(gateway->receivedBytes().contains("AT!M0=ERASE"), c.taken);
        EXPECT_EQ(gateway->voiceMessage(0), c.taken ? wav : QByteArray("the old message"));
    }
}

// From an operation's first write to its end the main window is disabled, so no click starts another operation
// inside it or closes the link under it; a link closed all the same (lost) fails the next write.
TEST_F(VoicePageTest, NoClickReachesTheWindowWhileAnOperationRuns)
{
    ASSERT_NO_FATAL_FAILURE(start());
    makeWav(QStringLiteral("tone.wav"), 1000);
    const struct
    {
        const char* name;
        std::function<void()> run;
        QByteArray closeAfter; // the link is closed once the gateway has heard this
        QList<int> boxes;
    } cases[] = {
        {"write", [this] { writeFrom(QStringLiteral("tone.wav")); }, {}, {72}},
        {"read", [this] { readInto(QStringLiteral("back.wav")); }, {}, {70}},
        {"the link closed in the read's pause", [this] { readInto(QStringLiteral("again.wav")); }, "\r\nAT\r\n", {56}},
        {"erase", [] { fMain->sbVoiceDelete->click(); }, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        connectForPageRun(); // the link closed by the row before comes back first
        gateway->clearLog();
        dialogs().clearRecords();
        bool running = true, enabledMidway = false, closed = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const QByteArray heard = gateway->receivedBytes();
            if (!running || heard.isEmpty())
                return;
            enabledMidway = enabledMidway || fMain->isEnabled();
            if (!c.closeAfter.isEmpty() && !closed && heard.contains(c.closeAfter)) {
                closed = true;
                fMain->mDisconnectClick();
            }
        });
        watch.start(10);
        c.run();
        running = false;
        EXPECT_FALSE(enabledMidway);
        EXPECT_TRUE(fMain->isEnabled());
        QStringList boxes;
        for (int text : c.boxes)
            boxes << labelText(text);
        EXPECT_EQ(dialogs().boxTexts(), boxes);
        EXPECT_EQ(closed, !c.closeAfter.isEmpty());
        if (closed) {
            EXPECT_FALSE(gateway->receivedBytes().contains("AT!M")) << "nothing written after the close";
        }
    }
}

TEST_F(VoicePageTest, AReadEndsWithTheGatewaysLineEndAndItsAnswer)
{
    gatewaysim::Config cfg;
    cfg.faults.replyDelayMs = 100; // the answers take a moment, as a real gateway's do
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    gateway->setVoiceMessage(0, makeWav(QStringLiteral("tone.wav"), 3000));
    for (const bool folderGone : {false, true}) {
        SCOPED_TRACE(folderGone ? "the file cannot be kept" : "the file is kept");
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("keep"))));
        // The folder goes while the transfer runs, so the finished file has nowhere to go.
        QTimer remover;
        QObject::connect(&remover, &QTimer::timeout, [&] {
            if (fFirm->isVisible() && folderGone)
                QDir(path(QStringLiteral("keep"))).removeRecursively();
        });
        remover.start(5);
        gateway->clearLog();
        dialogs().clearRecords();
        const QString name = folderGone ? QStringLiteral("keep/lost.wav") : QStringLiteral("keep/kept.wav");
        readInto(name);
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(folderGone ? 60 : 70)});
        EXPECT_EQ(QFile::exists(path(name)), !folderGone);
        EXPECT_TRUE(gateway->receivedBytes().endsWith("\x06\x06\r\n"));
        EXPECT_EQ(ComRead(CurrentConnection.Handle.get(), 512, false), QByteArray()) << "nothing left waiting";
    }
}

TEST_F(VoicePageTest, FilesThatCannotBeUsedStopBeforeTheGatewayIsAsked)
{
    ASSERT_NO_FATAL_FAILURE(start());
    readInto(QStringLiteral("no/such/folder/x.wav"));
    EXPECT_EQ(lastBox(), labelText(60));
    fMain->rbVoiceWrite->setChecked(true);
    fMain->edVoiceFile->setText(path(QStringLiteral("missing.wav")));
    fMain->sbVoiceReadWrite->click();
    EXPECT_EQ(lastBox(), labelText(71));
    EXPECT_FALSE(gateway->receivedBytes().contains("AT!M"));

    CurrentConnection.LinkType = LinkTelnet;
    fMain->sbVoiceDeleteClick();
    EXPECT_EQ(lastBox(), labelText(68));
}

TEST_F(VoicePageTest, EraseNamesTheMessageItErased)
{
    ASSERT_NO_FATAL_FAILURE(start());
    gateway->setVoiceMessage(2, QByteArray(300, 'x'));
    fMain->cbVoiceType->setCurrentIndex(2);
    fMain->sbVoiceDelete->click();
    EXPECT_TRUE(gateway->voiceMessage(2).isEmpty());
    EXPECT_EQ(fMain->mVoice->toPlainText(), QStringLiteral("Voice message Virtual ring tone 2 was erased."));
}

TEST_F(VoicePageTest, RecordingEndsOnTheGatewaysOkWithTheStop)
{
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(VoiceRecordLimit(i), i == 0 ? 64 : i == 5 ? 16 : 8) << i;

    for (const bool modem : {false, true}) {
        SCOPED_TRACE(modem ? "modem: the watcher threads" : "serial: the timer");
        ASSERT_NO_FATAL_FAILURE(start({}, modem));
        fMain->cbVoiceRecord->setCurrentIndex(5);
        fMain->sbVoiceDialClick();
        EXPECT_EQ(fMain->lbVoiceTime->text(), QStringLiteral("16"));
        EXPECT_EQ(bool(recordVoiceThread), modem);
        ASSERT_TRUE(QTest::qWaitFor([] { return fMain->sbVoiceDial->isEnabled(); }, 3000));
        EXPECT_EQ(fMain->lbVoiceStatus->text(), labelText(683));
        EXPECT_TRUE(fMain->lbVoiceTime->text().isEmpty());
        EXPECT_FALSE(fMain->tVoice->isActive());
        EXPECT_TRUE(QTest::qWaitFor([] { return !recordVoiceThread && !deleteVoiceThread; }, 3000));
        const QByteArray heard = gateway->receivedBytes();
        const qsizetype record = heard.indexOf("AT!M5=RECORD\r");
        ASSERT_GT(record, heard.indexOf("AT!M5=ERASE\r"));
        EXPECT_TRUE(heard.mid(record).contains("\r\n\r\n"));
        EXPECT_FALSE(gateway->voiceMessage(5).isEmpty());
        TearDown();
        SetUp();
    }
}

TEST_F(VoicePageTest, TextsFollowTheLanguageAndTheDirection)
{
    writeSettings("language=1\n");
    ASSERT_NO_FATAL_FAILURE(startUp());
    fMain->cbVoiceType->setCurrentIndex(2);
    fMain->cbVoiceRecord->setCurrentIndex(5);
    fMain->rbVoiceWrite->setChecked(true);
    fMain->tbCzechClick();
    EXPECT_EQ(fFirm->lbFirmStatus->text(), QStringLiteral("Odeslaný paket : "));
    const QStringList czech = {QStringLiteral("Zpráva DISA"), QStringLiteral("Virtuální vyzváněcí tón 1"),
                               QStringLiteral("Virtuální vyzváněcí tón 2")};
    QStringList type, record;
    for (int i = 0; i < fMain->cbVoiceRecord->count(); ++i) {
        record << fMain->cbVoiceRecord->itemText(i);
        if (i < fMain->cbVoiceType->count())
            type << fMain->cbVoiceType->itemText(i);
    }
    EXPECT_EQ(type, czech);
    EXPECT_EQ(record, czech + QStringList({QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("PRI")}));
    EXPECT_EQ(fMain->cbVoiceType->currentIndex(), 0);
    EXPECT_EQ(fMain->cbVoiceRecord->currentIndex(), 0);
    fMain->rbVoiceRead->setChecked(true);
    fMain->tbEnglishClick();
    EXPECT_EQ(fFirm->lbFirmStatus->text(), QStringLiteral("Received packet :"));

    // A picked read file gets ".wav" unless it ends in exactly that; a picked name outlives type changes,
    // a gateway selection brings the default back.
    dialogs().answerSaveFile(path(QStringLiteral("mine.WAV")));
    fMain->sbVoiceFile->click();
    EXPECT_EQ(fMain->edVoiceFile->text(), path(QStringLiteral("mine.WAV.wav")));
    fMain->cbVoiceType->setCurrentIndex(1);
    fMain->cbVoiceTypeChange(fMain->cbVoiceType);
    EXPECT_EQ(fMain->edVoiceFile->text(), path(QStringLiteral("mine.WAV.wav")));
    CurrentGateway.File = path(QStringLiteral("sim.ini"));
    fMain->voiceGatewaySelected();
    EXPECT_EQ(fMain->edVoiceFile->text(), path(QStringLiteral("Virtual ring tone 1.wav")));
}

TEST_F(VoicePageTest, DisconnectStopsARunningRecording)
{
    gatewaysim::Config cfg;
    cfg.voiceRecordMs = 60000; // the gateway records until the call is hung up
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    fMain->sbVoiceDialClick();
    ASSERT_TRUE(fMain->tVoice->isActive());
    EXPECT_TRUE(liveTools.anyHoldsLink()) << "the keep-alive stands aside";
    fMain->mDisconnectClick();
    EXPECT_FALSE(fMain->tVoice->isActive());
    EXPECT_FALSE(fMain->sbVoiceStop->isEnabled());
    EXPECT_TRUE(fMain->sbVoiceDial->isEnabled());
    EXPECT_FALSE(liveTools.anyHoldsLink());
    ASSERT_TRUE(QTest::qWaitFor([this] { return gateway->receivedBytes().endsWith("\r\n\r\n"); }, 2000));
    EXPECT_FALSE(gateway->voiceMessage(0).isEmpty()) << "the hang-up ended the recording";
}
