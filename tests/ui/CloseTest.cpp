// Closing the main window: the save question, the gate file written on Yes, Cancel keeping everything, and the
// close while long-running work is under way.
#include "support/MainWindowFixture.h"

#include "config/GateFile.h"
#include "firmware/BootPort.h"
#include "firmware/FirmwareFiles.h"
#include "firmware/UpgradeJob.h"
#include "firmware/ui/FirmwarePage.h"
#include "firmware/ui/TfFirm.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "online/LiveToolFixture.h"
#include "online/VoiceMessages.h"
#include "pages/SystemPage.h"
#include "platform/Wait.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"
#include "ui/UiState.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace {

using CloseTest = MainWindowFixture;

TEST_F(CloseTest, WithNoPageChangedTheWindowClosesWithoutAQuestion)
{
    startUp(); // the label pass re-runs the port-mode radios' handlers; that must not count as a change
    showMainWindow();
    EXPECT_TRUE(fMain->close());
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    EXPECT_FALSE(fMain->isVisible());
}

TEST_F(CloseTest, AnyOneChangedFlagAsksTheQuestion)
{
    startUp();
    for (int flag = 0; flag < pcCount; ++flag) {
        resetPageChanged();
        pageChanged[flag] = 1;
        dialogs().clearRecords();
        dialogs().answerBox(IDNO);
        EXPECT_TRUE(fMain->FormClose()) << flag;
        ASSERT_EQ(dialogs().boxes().size(), 1) << flag;
        const auto& box = dialogs().boxes().first();
        EXPECT_EQ(box.text, labelText(456));
        EXPECT_EQ(box.caption, labelText(54));
        EXPECT_EQ(box.flags, 0x23u);
        setClosingProgram(false); // the program would end here; the next round is a fresh close
    }
    EXPECT_FALSE(labelText(456).isEmpty()) << "the shipped English file carries the question";
}

TEST_F(CloseTest, TheAnswerDecidesWhetherTheGateFileIsWrittenAndTheWindowCloses)
{
    const struct
    {
        int answer;
        bool closes;
        bool written;
    } cases[] = {{IDYES, true, true}, {IDNO, true, false}, {IDCANCEL, false, false}};
    for (const auto& c : cases) {
        startUp();
        showMainWindow();
        CurrentGateway.File = path(QStringLiteral("gate.ini"));
        fMain->seSystemGate->setValue(42); // the close copies the pages into the image before writing
        pageChanged[pcPortModes] = 1;
        dialogs().answerBox(c.answer);
        EXPECT_EQ(fMain->close(), c.closes) << c.answer;
        EXPECT_EQ(fMain->isVisible(), !c.closes) << c.answer;
        EXPECT_EQ(QFile::exists(CurrentGateway.File), c.written) << c.answer;
        EXPECT_EQ(pageChanged[pcPortModes], 1) << "the close never clears the flags";
        if (c.written) {
            TParametres read;
            ASSERT_TRUE(readGateSections(read, CurrentGateway.File, gsAll));
            EXPECT_EQ(read.system.gateId, 42);
        }
        EXPECT_EQ(dialogs().boxes().size(), 1) << "only the question: " << qPrintable(dialogs().boxTexts().join('|'));
        TearDown();
        SetUp();
    }
}

TEST_F(CloseTest, AGateFileThatCannotBeWrittenIsReportedAndTheProgramStillCloses)
{
    startUp();
    showMainWindow();
    CurrentGateway.File = path(QStringLiteral("no such folder/gate.ini"));
    pageChanged[pcSystem] = 1;
    dialogs().answerBox(IDYES);
    EXPECT_TRUE(fMain->close());
    ASSERT_EQ(dialogs().boxes().size(), 2);
    const auto& error = dialogs().boxes().at(1);
    EXPECT_EQ(error.text, labelText(60));
    EXPECT_EQ(error.caption, labelText(47));
    EXPECT_EQ(error.flags, 0x10u);
    EXPECT_FALSE(fMain->isVisible());
}

} // namespace

// ---- the close while long-running work is under way ----

namespace {

class CloseDuringWork;

// One long-running work: the gateway that keeps it going, the user's start (run from the event loop, as a
// click is), the moment it is under way (the window closes then), and what the gateway must have received from
// the work's own ending steps (checked on what came after the close).
struct Work
{
    const char* name;
    bool telnet;
    std::function<void(gatewaysim::Config&)> gateway;
    std::function<void(CloseDuringWork&)> start;
    std::function<bool(CloseDuringWork&)> underway;
    std::function<void(CloseDuringWork&, const QByteArray& sinceClose)> check;
};

void PrintTo(const Work& work, std::ostream* os)
{
    *os << work.name;
}

// The windows of the program that come on screen while it is installed.
class WindowsShown : public QObject
{
public:
    QStringList names;
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && object->isWidgetType() && static_cast<QWidget*>(object)->isWindow())
            names.append(object->objectName());
        return false;
    }
};

class CloseFixture : public LiveToolTest
{
protected:
    void SetUp() override
    {
        LiveToolTest::SetUp();
        // The transfers' own waits, shortened; the close's bounds stay as shipped.
        voiceXmodemLimits.startTryMs = 1000;
        voiceXmodemLimits.startPauseMs = 300;
        voiceXmodemLimits.replyMs = 1000;
        voiceWaits.replyMs = 1500;
        bootTiming.pauseDivisor = 10; // the boot loader's pauses (its time-outs stay)
        bootPortLogPath = path(QStringLiteral("log.txt"));
    }
    void TearDown() override
    {
        LiveToolTest::TearDown();
        voiceXmodemLimits = XmodemLimits{};
        voiceWaits = VoiceWaits{};
        bootTiming = BootTiming{};
        bootPortLogPath.clear();
    }

    // The simulated gateway on the link, connected, the main window shown.
    void startConnected(bool telnet, const gatewaysim::Config& config)
    {
        if (telnet)
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(config));
        else
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(config));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        ASSERT_NO_FATAL_FAILURE(showMainWindow());
    }

public:
    int loginsAtClose = -1;
    gatewaysim::Gateway& sim() { return *gateway; }
    bool got(const QByteArray& text) const { return received().contains(text); }
    // A WAV file (A-law, 8000 samples a second) of the given length of silence.
    QString wavFile(qint32 dataBytes)
    {
        QByteArray wav("RIFF");
        auto le = [&wav](qint64 v, int n) {
            for (int i = 0; i < n; ++i)
                wav += char((v >> (8 * i)) & 0xFF);
        };
        le(36 + dataBytes, 4);
        wav += "WAVEfmt ";
        for (const auto& [value, size] : {std::pair{16, 4}, {6, 2}, {1, 2}, {8000, 4}, {8000, 4}, {1, 2}, {8, 2}})
            le(value, size);
        wav += "data";
        le(dataBytes, 4);
        wav += QByteArray(dataBytes, char(0xD5));
        writeFile(QStringLiteral("message.wav"), wav);
        return path(QStringLiteral("message.wav"));
    }
    void voiceTransfer(bool write, const QString& file)
    {
        fMain->selectTopic(25);
        (write ? fMain->rbVoiceWrite : fMain->rbVoiceRead)->setChecked(true);
        fMain->edVoiceFile->setText(file);
        fMain->sbVoiceReadWrite->click();
    }
    void upgrade(qsizetype bytes)
    {
        const QString file = path(QStringLiteral("r5183-v-02.05.03.hex"));
        ASSERT_TRUE(fwtest::objcopyHex(path(QStringLiteral("image.bin")), file, bytes, true));
        fMain->edFirmUpdate->setText(file);
        dialogs().answerBox(IDYES);
        fMain->sbFirmUpgradeClick();
    }
    void slowGateway(int trickleMs)
    {
        gatewaysim::Faults f;
        f.trickleMs = trickleMs;
        gateway->setFaults(f);
    }
};

class CloseDuringWork : public CloseFixture, public ::testing::WithParamInterface<Work>
{
};

auto silentXmodem = [](gatewaysim::Config& c) { c.faults.xmodemSilent = true; };
auto bootVersion = [](gatewaysim::Config& c) { c.bootVersion = QStringLiteral("02.62"); };
auto progressShown = [](CloseDuringWork&) { return fParam->isVisible(); };
const QByteArray kCrLf10 = QByteArray("\r\n").repeated(10);

auto tracing = [](CloseDuringWork&) {
    fMain->selectTopic(20);
    (CurrentConnection.LinkType == LinkTelnet ? fMain->rbTracTelnet : fMain->rbTracTcpTelnet)->setChecked(true);
    fMain->sbTracStart->click();
};
auto testCall = [](CloseDuringWork& t) {
    fMain->selectTopic(548);
    fMain->edFile->setText(t.path(QStringLiteral("calls.txt")));
    fMain->edNumber1->setText(QStringLiteral("123"));
    fMain->sbDial->click();
};
auto commands = [](CloseDuringWork&) {
    fMain->selectTopic(685);
    fMain->edCommand->setText(QStringLiteral("ATI"));
    fMain->sbCommandsStart->click();
};
auto toolRuns = [](LiveToolSlot slot) { return [slot](CloseDuringWork&) { return liveTools.running(slot); }; };
// A close before the erase command went out leaves the gateway's firmware in place.
auto noErase = [](CloseDuringWork& t, const QByteArray&) {
    EXPECT_FALSE(t.sim().receivedLines().join().contains("K2RM"));
};
// No page is saved once the close is decided (it comes at the run's first wait, before any page).
auto noPageSaved = [](CloseDuringWork&, const QByteArray& after) {
    EXPECT_FALSE(after.contains("AT%")) << after.constData();
};

// The connect after a Disconnect, closed while it opens the link (the serial scan's first read, the telnet
// greeting at one byte every 20 ms): nothing but the scan's first line reaches the gateway.
auto reconnect = [](CloseDuringWork& t) {
    fMain->mDisconnectClick();
    if (CurrentConnection.LinkType == LinkTelnet)
        t.slowGateway(20);
    t.sim().clearLog();
    fMain->mConnectClick();
};
auto heardOnlyTheScan = [](CloseDuringWork& t, const QByteArray&) {
    EXPECT_EQ(t.sim().receivedLines(),
              CurrentConnection.LinkType == LinkTelnet ? QList<QByteArray>{} : QList<QByteArray>{"\r\n"});
};

const Work kWorks[] = {
    {"ConnectOnThePty", false, nullptr, reconnect, progressShown, heardOnlyTheScan},
    {"ConnectOverTelnet", true, nullptr, reconnect, progressShown, heardOnlyTheScan},
    {"VoiceReadOnThePty", false, silentXmodem,
     [](CloseDuringWork& t) {
         t.sim().setVoiceMessage(0, t.readFile(QFileInfo(t.wavFile(4000)).fileName()));
         t.voiceTransfer(false, t.path(QStringLiteral("in.wav")));
     },
     [](CloseDuringWork& t) { return t.got("AT!M0=READ\r\n"); },
     [](CloseDuringWork&, const QByteArray& after) {
         EXPECT_FALSE(after.contains('C')) << "the receive asks for nothing more";
         EXPECT_TRUE(after.endsWith(kCrLf10)) << after.toHex().constData();
     }},
    {"VoiceWriteToASilentGatewayOnThePty", false, silentXmodem,
     [](CloseDuringWork& t) { t.voiceTransfer(true, t.wavFile(4000)); },
     [](CloseDuringWork& t) { return t.got("AT!M0=WRITE\r\n"); }, nullptr},
    {"VoiceWriteOnThePty", false, nullptr, [](CloseDuringWork& t) { t.voiceTransfer(true, t.wavFile(1 << 20)); },
     [](CloseDuringWork&) { return fFirm->pbStatus->value() >= 10 * 128; },
     [](CloseDuringWork& t, const QByteArray& after) {
         EXPECT_TRUE(after.contains(kCrLf10 + "AT!M0=ERASE\r\n")) << "the write's failure steps";
         EXPECT_EQ(t.sim().receivedLines().count("AT!M0=ERASE\r\n"), 2);
         EXPECT_TRUE(t.sim().voiceMessage(0).isEmpty());
     }},
    {"VoiceRecordingOnThePty", false, [](gatewaysim::Config& c) { c.voiceRecordMs = 60000; },
     [](CloseDuringWork&) {
         fMain->selectTopic(25);
         fMain->sbVoiceDial->click();
     },
     [](CloseDuringWork&) { return fMain->sbVoiceStop->isEnabled(); },
     [](CloseDuringWork&, const QByteArray& after) { EXPECT_TRUE(after.contains("\r\n")) << "told to stop"; }},
    {"UpgradeOnThePty", false, bootVersion, [](CloseDuringWork& t) { t.upgrade(64 * 1024); },
     toolRuns(LiveToolSlot::FirmwareUpgrade), noErase},
    {"UpgradeConnectingOverTelnet", true, bootVersion,
     [](CloseDuringWork& t) {
         fMain->mDisconnectClick();
         t.slowGateway(20);
         t.upgrade(2048);
     },
     [](CloseDuringWork& t) { return t.got("AT&M0\r\n"); }, noErase},
    {"LogDownloadOnThePty", false, nullptr, [](CloseDuringWork&) { fMain->sbLogLoadClick(); }, progressShown,
     [](CloseDuringWork&, const QByteArray& after) { EXPECT_FALSE(after.contains("AT&L")); }},
    {"LogDownloadOverTelnet", true, nullptr,
     [](CloseDuringWork& t) {
         t.slowGateway(20);
         fMain->sbLogLoadClick();
     },
     [](CloseDuringWork& t) { return t.got("AT&L"); },
     [](CloseDuringWork&, const QByteArray& after) { EXPECT_TRUE(after.contains('\r')) << "the listing ended"; }},
    {"WholeGatewaySaveOnThePty", false, nullptr, [](CloseDuringWork&) { fMain->tbSaveGateClick(); },
     [](CloseDuringWork&) { return fLoad->isVisible(); }, noPageSaved},
    {"WholeGatewaySaveOverTelnet", true, nullptr, [](CloseDuringWork&) { fMain->tbSaveGateClick(); },
     [](CloseDuringWork&) { return fLoad->isVisible(); }, noPageSaved},
    {"CallDataOnThePty", false, nullptr, [](CloseDuringWork&) { fMain->sbCallLoadClick(); },
     [](CloseDuringWork& t) { return t.got("AT&C\r"); }, nullptr},
    {"CallDataOverTelnet", true, nullptr,
     [](CloseDuringWork& t) {
         t.slowGateway(20);
         fMain->sbCallLoadClick();
     },
     [](CloseDuringWork& t) { return t.got("AT&C\r"); }, nullptr},
    {"CallLoadAndDeleteOverTelnet", true, nullptr,
     [](CloseDuringWork& t) {
         t.slowGateway(20);
         fMain->sbCallLoadDeleteClick();
     },
     [](CloseDuringWork& t) { return t.got("AT&CR"); },
     [](CloseDuringWork&, const QByteArray& after) { EXPECT_FALSE(after.contains('#')) << "nothing deleted"; }},
    {"StatisticsLoadAndDeleteOnThePty", false, nullptr, [](CloseDuringWork&) { fMain->sbStatLoadDeleteClick(); },
     [](CloseDuringWork& t) { return t.got("AT&T\r"); },
     [](CloseDuringWork&, const QByteArray& after) { EXPECT_FALSE(after.toUpper().contains("AT%T")); }},
    {"StatisticsLoadAndDeleteOverTelnet", true, nullptr,
     [](CloseDuringWork& t) {
         t.slowGateway(20);
         fMain->sbStatLoadDeleteClick();
     },
     [](CloseDuringWork& t) { return t.got("AT&T\r"); },
     [](CloseDuringWork&, const QByteArray& after) { EXPECT_FALSE(after.toUpper().contains("AT%T")); }},
    {"TracingOnThePty", false, nullptr, tracing, toolRuns(LiveToolSlot::Tracing), nullptr},
    {"TracingOverTelnet", true, nullptr, tracing, toolRuns(LiveToolSlot::Tracing), nullptr},
    {"TestCallOnThePty", false, [](gatewaysim::Config& c) { c.testCallScript = {"\r\nringing\r\n"}; }, testCall,
     toolRuns(LiveToolSlot::TestCalls), nullptr},
    {"TestCallOverTelnet", true, [](gatewaysim::Config& c) { c.testCallScript = {"\r\nringing\r\n"}; }, testCall,
     toolRuns(LiveToolSlot::TestCalls), nullptr},
    {"OnlineCommandOnThePty", false, [](gatewaysim::Config& c) { c.faults.moduleSilent = true; }, commands,
     toolRuns(LiveToolSlot::OnlineCommands), nullptr},
    {"OnlineCommandOverTelnet", true, [](gatewaysim::Config& c) { c.faults.moduleSilent = true; }, commands,
     toolRuns(LiveToolSlot::OnlineCommands), nullptr},
    {"DiagnosticsOnThePty", false, nullptr, [](CloseDuringWork&) { fMain->selectTopic(26); },
     [](CloseDuringWork& t) { return t.got("AT&S00\r"); }, nullptr},
    {"DiagnosticsOverTelnet", true, nullptr, [](CloseDuringWork&) { fMain->selectTopic(26); },
     [](CloseDuringWork& t) { return t.got("AT&S00\r"); }, nullptr},
    {"ActualCallsOnThePty", false, nullptr, [](CloseDuringWork&) { fMain->selectTopic(235); },
     [](CloseDuringWork& t) { return t.got("AT&XC\r"); }, nullptr},
    {"ActualCallsOverTelnet", true, nullptr, [](CloseDuringWork&) { fMain->selectTopic(235); },
     [](CloseDuringWork& t) { return t.got("AT&XC\r"); }, nullptr},
};

} // namespace

// The close stops the work, waits for it (and its worker) before the link closes, shows nothing after the
// window has gone and ends the program: the application's event loop returns.
TEST_P(CloseDuringWork, EndsTheWorkThenTheProgramWithoutABox)
{
    const Work& work = GetParam();
    gatewaysim::Config config;
    if (work.gateway)
        work.gateway(config);
    ASSERT_NO_FATAL_FAILURE(startConnected(work.telnet, config));
    gateway->clearLog();

    qsizetype boxesAtClose = -1;
    qsizetype bytesAtClose = 0;
    WindowsShown onScreenAfterClose;
    QTimer::singleShot(0, fMain, [&] { work.start(*this); });
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!work.underway(*this))
            return;
        closer.stop();
        boxesAtClose = dialogs().boxes().size();
        bytesAtClose = received().size();
        loginsAtClose = gateway->loginCount();
        fMain->close();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                onScreenAfterClose.names.append(w->objectName());
        qApp->installEventFilter(&onScreenAfterClose);
    });
    closer.start();
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(25000);
    quitOnTerminate = true;
    QApplication::setQuitOnLastWindowClosed(false); // as the program has it: only its own quit ends the loop
    const int exitCode = QCoreApplication::exec();
    QApplication::setQuitOnLastWindowClosed(true);
    quitOnTerminate = false;

    ASSERT_GE(boxesAtClose, 0) << "the work was never under way: " << qPrintable(dialogs().boxTexts().join('|'));
    EXPECT_EQ(exitCode, 0) << "the program ends";
    EXPECT_EQ(dialogs().boxTexts().mid(boxesAtClose).join('|').toStdString(), "") << "no box after the close";
    qApp->removeEventFilter(&onScreenAfterClose);
    EXPECT_EQ(onScreenAfterClose.names.join('|').toStdString(), "") << "no window stays or comes after the close";
    EXPECT_FALSE(liveTools.anyRunning());
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(tcp && tcp->Connected());
    if (work.check) {
        // What the gateway heard after the close, once it has taken in everything that was sent.
        for (int i = 0, heard = -1; i < 20 && heard != received().size(); ++i) {
            heard = int(received().size());
            QTest::qWait(100);
        }
        work.check(*this, received().mid(bytesAtClose));
    }
}

INSTANTIATE_TEST_SUITE_P(Works, CloseDuringWork, ::testing::ValuesIn(kWorks),
                         [](const ::testing::TestParamInfo<Work>& info) { return std::string(info.param.name); });

// ---- the close at each moment of an upgrade ----

namespace {

enum class Outcome { Ends, Refused, Kept };

// A close at one moment of an upgrade (a job's report, or right before or after the erase's first byte): the
// thread that reaches it waits there until the close has been handled (or has stopped the job).
struct MomentCase
{
    const char* name;
    bool telnet;
    int moment;
    Outcome outcome;
    int answer = 0; // the close's question, with a changed page: the answer, given once the erase is reached
    void (*gateway)(gatewaysim::Config&) = nullptr;
    bool ownTiming = false; // the program's own boot timing, as around the erase
    bool bootMode = false;  // the connect meets the boot loader (no erase) and offers the upgrade
};

void PrintTo(const MomentCase& c, std::ostream* os)
{
    *os << c.name;
}

class UpgradeClosedAt : public CloseFixture, public ::testing::WithParamInterface<MomentCase>
{
};

bool upgradeJobRuns()
{
    return (firmwareJob && firmwareJob->IsRunning()) || (tcpFirmwareJob && tcpFirmwareJob->IsRunning());
}

bool upgradeJobStopped()
{
    return (firmwareJob && firmwareJob->Stopped()) || (tcpFirmwareJob && tcpFirmwareJob->Stopped());
}

int erasesHeard(gatewaysim::Gateway& sim)
{
    const QList<QByteArray> lines = sim.receivedLines();
    return int(std::count_if(lines.begin(), lines.end(), [](const QByteArray& l) { return l.contains("K2RM"); }));
}

const int kJobStates[] = {0, 2, 4, 5, 6, 7, 8}; // 1 and 3 only where the probe or the erase is the job's

std::vector<MomentCase> momentCases()
{
    std::vector<MomentCase> cases = {
        {"SerialAtState3", false, 3, Outcome::Ends},
        {"SerialBeforeTheErase", false, MomentBeforeErase, Outcome::Ends, 0, nullptr, true},
        {"SerialAfterTheErase", false, MomentAfterErase, Outcome::Refused, 0, nullptr, true},
        {"SerialQuestionOpenAtTheEraseCancel", false, 3, Outcome::Kept, IDCANCEL},
        {"SerialQuestionOpenAtTheEraseNo", false, 3, Outcome::Ends, IDNO},
        {"LinkAtState3", true, 3, Outcome::Ends},
        {"LinkBeforeTheErase", true, MomentBeforeErase, Outcome::Ends},
        {"LinkAfterTheErase", true, MomentAfterErase, Outcome::Refused},
        {"LinkWithoutBootReady", true, MomentAfterErase, Outcome::Refused, 0,
         [](gatewaysim::Config& c) { c.faults.bootNoReady = true; }},
        {"LinkSilentLoader", true, 4, Outcome::Refused, 0, [](gatewaysim::Config& c) { c.faults.bootSilent = true; }},
        // Met in its boot loader, the gateway's firmware is gone with the upload's first record, after state 4.
        {"SerialBootModeAtState4", false, 4, Outcome::Ends, 0, nullptr, false, true},
        {"SerialBootModeAtState5", false, 5, Outcome::Refused, 0, nullptr, false, true},
    };
    static std::vector<std::string> names;
    names.reserve(32);
    for (const int state : kJobStates) {
        cases.push_back({names.emplace_back("SerialState" + std::to_string(state)).c_str(), false, state,
                         state < 3 ? Outcome::Ends : Outcome::Refused});
        cases.push_back({names.emplace_back("LinkState" + std::to_string(state)).c_str(), true, state,
                         Outcome::Refused}); // the link's erase is the page's, before its job starts
    }
    return cases;
}

} // namespace

// Up to the erase's first byte the close ends the upgrade and the gateway keeps its firmware (a close whose
// question is open holds the erase until the answer); from then on the window refuses the close (no box, no
// question), the upload runs to its end, the program connects again, and a close after that ends it.
TEST_P(UpgradeClosedAt, TheEraseDecidesBetweenTheCloseAndTheUpload)
{
    const MomentCase& c = GetParam();
    if (c.ownTiming)
        bootTiming = BootTiming{};
    else
        bootTiming.timeoutDivisor = 10;
    gatewaysim::Config config;
    bootVersion(config);
    if (c.gateway)
        c.gateway(config);
    config.faults.bootMode = c.bootMode;
    if (c.bootMode) {
        ASSERT_NO_FATAL_FAILURE(startSerialGateway(config));
        ASSERT_NO_FATAL_FAILURE(showMainWindow());
    } else {
        ASSERT_NO_FATAL_FAILURE(startConnected(c.telnet, config));
    }
    if (c.answer)
        pageChanged[pcSystem] = 1;
    gateway->clearLog();

    std::atomic<bool> fired{false};
    std::atomic<bool> closed{false};
    std::atomic<bool> atErase{false};
    bool accepted = true;
    bool quiet = false;
    qsizetype boxesAtClose = -1;
    int loginsAtClose = -1;
    const auto closeNow = [&] {
        boxesAtClose = dialogs().boxes().size();
        loginsAtClose = sim().loginCount();
        if (c.answer) {
            dialogs().answerBoxAfter(
                [&] {
                    waitUntil([&] { return atErase.load(); }, 20000);
                    QTest::qWait(200); // the job waits at the erase for the answer
                },
                c.answer);
        }
        accepted = fMain->close();
        quiet = fMain->isVisible() && dialogs().boxes().size() == boxesAtClose;
        closed = true;
    };
    upgradeMomentHook = [&](int moment) {
        if (moment == MomentBeforeErase)
            atErase = true;
        if (moment != c.moment || fired.exchange(true))
            return;
        QMetaObject::invokeMethod(fMain, closeNow, Qt::QueuedConnection);
        if (QThread::currentThread() == fMain->thread()) {
            ProcessMessages();
            return;
        }
        for (int i = 0; i < 4000 && !closed && !upgradeJobStopped() && !closeQuestionOpen(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    const QString resultBox = labelText(212);
    int loginsAtEnd = -1;
    QTimer again; // once the upgrade has ended as usual, the next close ends the program
    again.setInterval(20);
    QObject::connect(&again, &QTimer::timeout, [&] {
        if (!closed || !fMain->isVisible() || upgradeJobRuns() || tcpUpgradeActive || fFirm->isVisible())
            return;
        const bool ended = c.gateway ? dialogs().boxTexts().contains(resultBox)
                                     : CurrentConnection.Connected && sim().loginCount() > loginsAtClose;
        if (!ended)
            return;
        again.stop();
        loginsAtEnd = sim().loginCount();
        if (c.answer)
            dialogs().answerBox(IDNO);
        fMain->close();
    });
    again.start();
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(60000);
    quitOnTerminate = true;
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(0, fMain, [this, &c] {
        if (!c.bootMode)
            return upgrade(2048);
        const QString file = path(QStringLiteral("r5183-v-02.05.03.hex"));
        ASSERT_TRUE(fwtest::objcopyHex(path(QStringLiteral("image.bin")), file, 2048, true));
        dialogs().answerBox(IDYES); // the offer
        dialogs().answerOpenFile(file);
        CurrentConnection = ConnectToGateway(false, fMain, false);
    });
    const int exitCode = QCoreApplication::exec();
    QApplication::setQuitOnLastWindowClosed(true);
    quitOnTerminate = false;
    upgradeMomentHook = nullptr;

    ASSERT_TRUE(closed.load()) << "never at the moment: " << qPrintable(dialogs().boxTexts().join('|'));
    EXPECT_EQ(exitCode, 0) << "the program ends, at the close or at the one after the upgrade";
    EXPECT_FALSE(liveTools.anyRunning());
    const QList<QByteArray> heard = sim().receivedLines();
    const bool recordsHeard = std::any_of(heard.begin(), heard.end(), [](const QByteArray& l) {
        return l.startsWith(':') && !l.startsWith(":00000012EE"); // records, not the boot loader's probe
    });
    if (c.outcome == Outcome::Ends) {
        EXPECT_TRUE(accepted);
        EXPECT_EQ(erasesHeard(sim()), 0) << "the gateway keeps its firmware";
        EXPECT_FALSE(recordsHeard);
        EXPECT_EQ(dialogs().boxes().size(), boxesAtClose + (c.answer ? 1 : 0)) << "no box but the question";
        return;
    }
    EXPECT_FALSE(accepted);
    if (c.outcome == Outcome::Refused) {
        EXPECT_TRUE(quiet) << "refused as by a disabled window: no question, no box";
    }
    EXPECT_EQ(erasesHeard(sim()), c.bootMode ? 0 : 1);
    EXPECT_GE(loginsAtEnd, 0) << "the upgrade ended as usual";
    if (!c.gateway) {
        EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](const QByteArray& l) { return l.startsWith(":00000001FF"); }))
            << "the upload ran to its end";
    }
}

INSTANTIATE_TEST_SUITE_P(Moments, UpgradeClosedAt, ::testing::ValuesIn(momentCases()),
                         [](const ::testing::TestParamInfo<MomentCase>& info) { return std::string(info.param.name); });

// ---- a close during a load from the gateway ----

namespace {

struct LoadCase
{
    const char* name;
    Link link;
    bool wholeGateway; // else the system page's Load
    int answer;        // to the close's question
};

void PrintTo(const LoadCase& c, std::ostream* os)
{
    *os << c.name;
}

class CloseDuringLoad : public CloseFixture, public ::testing::WithParamInterface<LoadCase>
{
};

} // namespace

// Two closes come while the load runs: the question comes once, after the load's result box, and Yes writes
// what the gateway holds on the load's first page and on its last.
TEST_P(CloseDuringLoad, WaitsForTheLoadAndItsResultBoxThenAsksOnce)
{
    const LoadCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOnLink(c.link, {}));
    ASSERT_TRUE(gateway->setValue("S91", "6,21"));
    ASSERT_TRUE(gateway->setValue("A00", "+420777,R"));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(showMainWindow());
    CurrentGateway.File = path(QStringLiteral("gate.ini"));
    pageChanged[pcIsdn] = 1; // an edit from before: the question is due whenever the close comes

    QWidget* progress = c.wholeGateway ? static_cast<QWidget*>(fLoad) : fParam;
    int closes = 0;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        // Both in one turn: a short load can be over before a loaded machine runs this timer again.
        while (progress->isVisible() && closes < 2 && ++closes)
            fMain->close();
    });
    closer.start();
    dialogs().answerBoxes({IDOK, c.answer});
    if (c.wholeGateway)
        fMain->tbLoadGateClick();
    else
        fMain->sbSystemLoad->click();
    closer.stop();
    EXPECT_EQ(closes, 2);
    EXPECT_TRUE(waitUntil([this] { return dialogs().boxes().size() >= 2; }));
    QTest::qWait(50); // a second held close would ask now
    EXPECT_EQ(dialogs().boxTexts().join('|').toStdString(), (labelText(61) + '|' + labelText(456)).toStdString());
    EXPECT_EQ(fMain->isVisible(), c.answer == IDCANCEL);
    if (c.answer != IDYES)
        return;
    TParametres file;
    ASSERT_TRUE(readGateSections(file, CurrentGateway.File, gsAll));
    EXPECT_EQ(file.system.gateId, 21);
    if (c.wholeGateway) {
        ASSERT_EQ(file.autorouting.rows.size(), 1u);
        EXPECT_EQ(file.autorouting.rows[0].toStdString(), "+420777,,,R");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Loads, CloseDuringLoad,
    ::testing::Values(LoadCase{"WholeGatewayOverTelnet", Link::Telnet, true, IDYES},
                      LoadCase{"WholeGatewayOnThePty", Link::Serial, true, IDYES},
                      LoadCase{"WholeGatewayOverTheModem", Link::Modem, true, IDYES},
                      LoadCase{"PageOverTelnet", Link::Telnet, false, IDYES},
                      LoadCase{"CancelledOverTelnet", Link::Telnet, true, IDCANCEL}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });
