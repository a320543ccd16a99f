// The link goes away under a live tool: the serial port is gone, the telnet connection drops, or the modem's
// call ends with "NO CARRIER". Every tool on every link it runs on ends by itself: no reader is left waiting
// or spinning, no route stays on, the program shows itself disconnected, the user is told once (text 56) where
// the tool reports its failures (the polled pages give themselves up silently, as their poll guard does), and
// the next connect reaches the gateway again.
#include "online/LiveToolFixture.h"

#include "firmware/ui/TfFirm.h"

#include "exchange/TablesExchange.h"
#include "link/CommLog.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/Diagnostics.h"
#include "online/LiveCells.h"
#include "online/RecordDownloads.h"
#include "online/Terminal.h"
#include "online/Tracing.h"
#include "online/ui/ActualCallsPage.h"
#include "online/ui/CommandsPage.h"
#include "online/ui/ConnectionStatePage.h"
#include "online/ui/DateTimePage.h"
#include "online/ui/DiagPage.h"
#include "online/ui/LoginAccountPage.h"
#include "online/ui/RecordsPage.h"
#include "online/ui/TerminalPart.h"
#include "online/ui/TestCallsPage.h"
#include "online/ui/TracingPage.h"
#include "online/ui/VoicePage.h"
#include "pages/AutoPage.h"
#include "pages/NetPage.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <ctime>
#include <sys/ioctl.h>

namespace {

enum class Tool {
    Terminal,
    Tracing,
    TestCalls,
    Commands,
    Diagnostics,
    ActualCalls,
    VoiceRead,
    VoiceWrite,
    VoiceErase,
    VoiceRecord
};

using Row = std::tuple<Tool, Link>;

// How the link goes away, and how the program gets it back.
class LossTest : public LiveToolTest
{
protected:
    void loseLink(Link link)
    {
        if (link == Link::Serial)
            gateway->stop(); // the gateway's end of the line closes: the program's port hangs up
        else
            gateway->dropSessions(); // telnet: the connection closes; modem: the call ends with "NO CARRIER"
    }

    // The serial gateway comes back on a port of its own, which the user then picks.
    void connectAgain(Link link)
    {
        if (link == Link::Serial) {
            ASSERT_NO_FATAL_FAILURE(startGateway({}));
            CurrentConnection.ComPortName = gateway->startSerialPty();
        }
        dialogs().clearRecords();
        ASSERT_NO_FATAL_FAILURE(connectNow());
        EXPECT_TRUE(link != Link::Modem || gateway->modemInCall()) << "dialled again";
        QByteArray reply;
        EXPECT_EQ(SendCommandOk("AT\r\n", reply, 128), "\r\nOK\r\n");
    }
};

class LinkLossTest : public LossTest, public ::testing::WithParamInterface<Row>
{
protected:
    void SetUp() override
    {
        LossTest::SetUp();
        diagTimings.replyMs = 1000;
        diagTimings.modemPauseMs = 0;
        diagTimings.modemIntervalMs = 200;
    }

    Tool tool() const { return std::get<0>(GetParam()); }
    Link link() const { return std::get<1>(GetParam()); }

    void startGatewayOnLink()
    {
        gatewaysim::Config cfg;
        cfg.traceIntervalMs = 300;
        cfg.voiceRecordMs = 60000;             // the gateway records until the call is hung up
        cfg.testCallScript = {"\r\nCALL\r\n"}; // the call is never answered
        ASSERT_NO_FATAL_FAILURE(startOnLink(link(), cfg));
        gatewaysim::Faults f;
        f.moduleSilent = true; // an online command's reply never ends: the run stays on
        gateway->setFaults(f);
    }

    // Starts the row's tool and waits until it is at work on the link.
    void startTool()
    {
        switch (tool()) {
        case Tool::Terminal:
            fMain->selectTopic(21);
            ASSERT_TRUE(terminalThread || terminalOverTcp);
            break;
        case Tool::Tracing:
            fMain->selectTopic(20);
            fMain->edTracFile->setText(path(QStringLiteral("trace.txt")));
            fMain->sbTracStart->click();
            ASSERT_TRUE(waitUntil([] { return fMain->mTracing->toPlainText().contains(QStringLiteral("TRACE")); }));
            break;
        case Tool::TestCalls:
            fMain->selectTopic(548);
            fMain->edFile->setText(path(QStringLiteral("calls.txt")));
            fMain->edNumber1->setText(QStringLiteral("123"));
            fMain->sbDial->click();
            ASSERT_TRUE(waitUntil([] { return fMain->mmTest->toPlainText().contains(QStringLiteral("CALL")); }));
            break;
        case Tool::Commands:
            fMain->selectTopic(685);
            fMain->edCommand->setText(QStringLiteral("ATI"));
            fMain->seModule->setValue(1);
            fMain->sbCommandsStart->click();
            ASSERT_TRUE(waitUntil([&] { return received().contains("AT&G1=ATI\r"); }));
            break;
        case Tool::Diagnostics:
            fMain->selectTopic(26);
            ASSERT_TRUE(waitUntil([&] { return received().contains("AT&SEX\r\n"); })) << received().constData();
            break;
        case Tool::ActualCalls:
            fMain->tActual->setInterval(50);
            fMain->selectTopic(235);
            ASSERT_TRUE(waitUntil([] { return !fMain->mmActual->toPlainText().isEmpty(); }));
            break;
        case Tool::VoiceRecord:
            fMain->selectTopic(25);
            fMain->sbVoiceDialClick();
            break;
        default:
            FAIL() << "a voice operation runs from its click to its end";
        }
        ASSERT_TRUE(liveTools.anyRunning()) << qPrintable(dialogs().boxTexts().join('|'));
    }

    bool voiceOperation() const
    {
        return tool() == Tool::VoiceRead || tool() == Tool::VoiceWrite || tool() == Tool::VoiceErase;
    }

    // A voice operation holds the window's thread from its click to its end: the port goes away inside it, in
    // the middle of the transfer (read, write) or while the erase waits for the gateway's answer.
    void runVoiceOperationLosingTheLink()
    {
        fMain->selectTopic(25);
        // A .wav file of 1024 bytes of A-law data (RIFF header, "fmt " and "data" chunks): nine blocks.
        const QByteArray wave = QByteArray::fromHex("524946462404000057415645666d7420100000000600010040"
                                                    "1f0000401f0000010008006461746100040000") +
                                QByteArray(1024, '\x55');
        gateway->setVoiceMessage(0, wave);
        writeFile(QStringLiteral("voice.wav"), wave);
        fMain->edVoiceFile->setText(
            path(tool() == Tool::VoiceRead ? QStringLiteral("back.wav") : QStringLiteral("voice.wav")));
        fMain->rbVoiceWrite->setChecked(tool() == Tool::VoiceWrite);
        fMain->rbVoiceRead->setChecked(tool() == Tool::VoiceRead);
        gatewaysim::Faults f;
        f.replyDelayMs = tool() == Tool::VoiceErase ? 1000 : 0; // the erase is answered late
        gateway->setFaults(f);

        bool lost = false;
        auto lose = [&] {
            if (!lost)
                loseLink(Link::Serial);
            lost = true;
        };
        const QMetaObject::Connection transfer =
            QObject::connect(fFirm->pbStatus, &QProgressBar::valueChanged, [&](int bytes) {
                if (bytes >= 2 * 128)
                    lose();
            });
        QTimer erase;
        QObject::connect(&erase, &QTimer::timeout, [&] {
            if (!lost && received().contains("AT!M0=ERASE\r"))
                lose();
        });
        if (tool() == Tool::VoiceErase)
            erase.start(kLookMs);
        dialogs().clearRecords();
        if (tool() == Tool::VoiceErase)
            fMain->sbVoiceDelete->click();
        else
            fMain->sbVoiceReadWrite->click();
        QObject::disconnect(transfer);
        ASSERT_TRUE(lost) << qPrintable(dialogs().boxTexts().join('|'));
    }

    static bool toolEnded()
    {
        return !CurrentConnection.Connected && !liveTools.anyRunning() && !liveTools.anyRoute() && !terminalThread &&
               !tracingThread && !testCallThread && !commandsThread && !diagThread && !recordVoiceThread &&
               !deleteVoiceThread;
    }
};

TEST_P(LinkLossTest, TheToolEndsTheProgramShowsItselfDisconnectedAndConnectsAgain)
{
    ASSERT_NO_FATAL_FAILURE(startGatewayOnLink());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    dialogs().clearRecords();
    if (voiceOperation()) {
        ASSERT_NO_FATAL_FAILURE(runVoiceOperationLosingTheLink());
    } else {
        ASSERT_NO_FATAL_FAILURE(startTool());
        dialogs().clearRecords();
        loseLink(link());
    }
    EXPECT_TRUE(waitUntil(toolEnded, 8000))
        << "connected " << CurrentConnection.Connected << ", tool running " << liveTools.anyRunning();
    const bool polled = tool() == Tool::Diagnostics || tool() == Tool::ActualCalls;
    if (polled) {
        EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_TRUE(fMain->pDiag->isHidden());
        EXPECT_TRUE(fMain->pActual->isHidden());
    } else {
        ASSERT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
        // A write that broke off after the erase says that the message is gone.
        EXPECT_EQ(dialogs().boxes()[0].text, labelText(tool() == Tool::VoiceWrite ? 788 : 56));
        EXPECT_EQ(dialogs().boxes()[0].caption, labelText(47));
    }
    EXPECT_TRUE(fMain->isEnabled());
    EXPECT_TRUE(fFirm->isHidden());
    EXPECT_TRUE(fMain->sbVoiceDial->isEnabled());
    expectConnectedState(false);
    EXPECT_TRUE(panel0().endsWith(labelText(214))) << qPrintable(panel0());
    EXPECT_EQ(fMain->sbTracStart->text(), labelText(152));
    EXPECT_EQ(fMain->sbCommandsStart->text(), labelText(152));
    EXPECT_TRUE(fMain->sbDial->isEnabled());
    EXPECT_EQ(::traceFile, nullptr);
    EXPECT_EQ(testLogFile, nullptr);

    ASSERT_NO_FATAL_FAILURE(connectAgain(link()));
}

std::string rowName(const ::testing::TestParamInfo<Row>& info)
{
    static const char* const tools[] = {"Terminal",    "Tracing",   "TestCalls",  "Commands",   "Diagnostics",
                                        "ActualCalls", "VoiceRead", "VoiceWrite", "VoiceErase", "VoiceRecord"};
    static const char* const links[] = {"Telnet", "Serial", "Modem"};
    return std::string(tools[int(std::get<0>(info.param))]) + links[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(EveryToolEveryLink, LinkLossTest,
                         ::testing::Combine(::testing::Values(Tool::Terminal, Tool::Tracing, Tool::TestCalls,
                                                              Tool::Commands, Tool::Diagnostics, Tool::ActualCalls),
                                            ::testing::Values(Link::Telnet, Link::Serial, Link::Modem)),
                         rowName);

// The voice transfers need the serial port; the recording runs on every link.
INSTANTIATE_TEST_SUITE_P(Voice, LinkLossTest,
                         ::testing::Values(Row{Tool::VoiceRead, Link::Serial}, Row{Tool::VoiceWrite, Link::Serial},
                                           Row{Tool::VoiceErase, Link::Serial}, Row{Tool::VoiceRecord, Link::Telnet},
                                           Row{Tool::VoiceRecord, Link::Serial}, Row{Tool::VoiceRecord, Link::Modem}),
                         rowName);

// Work on the window's thread meets the loss in its own reads and writes: it reports its failure as it always
// does, and the program then shows itself disconnected. A dropped telnet connection says so by itself.
class PageLinkLossTest : public LossTest, public ::testing::WithParamInterface<Link>
{
};

TEST_P(PageLinkLossTest, TheFailedReadIsReportedAndTheProgramShowsItselfDisconnected)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam(), {}));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    fMain->selectTopic(18); // the date and time, in step with the PC: the gateway is not asked
    dialogs().clearRecords();
    loseLink(GetParam());
    if (GetParam() != Link::Telnet) {
        fMain->cbSynDateTime->setChecked(false); // reads the gateway's clock
        ASSERT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_EQ(dialogs().boxes()[0].text, labelText(56));
    }
    EXPECT_TRUE(waitUntil([] { return !CurrentConnection.Connected; }));
    expectConnectedState(false);
    EXPECT_EQ(dialogs().boxes().size(), GetParam() == Link::Telnet ? 0 : 1) << "told once";
    ASSERT_NO_FATAL_FAILURE(connectAgain(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Links, PageLinkLossTest, ::testing::Values(Link::Telnet, Link::Serial, Link::Modem),
                         [](const ::testing::TestParamInfo<Link>& info) {
                             return std::string(info.param == Link::Telnet   ? "Telnet"
                                                : info.param == Link::Serial ? "Serial"
                                                                             : "Modem");
                         });

// The login account's Save, the connection state and a table's load meet the lost link in reads of their own:
// the account's bytes stay out of the log but still pass the modem line's watch for the call's end, and the
// reads of the connection state's table and of a listing's page end at once instead of reading on until their
// time is over. The gateway reset reads nothing on a modem line: its command must not go to the modem of a call
// that ended before the click. The factory reset's first row meets the loss, and the rows after it would each
// wait the modem's reply wait (the program's own) for nothing. Each tells only its own failure (the account and
// the resets their box 56, the load its failed listing, the connection state nothing) within a few seconds,
// uses little CPU while it does, and the program shows itself disconnected and connects again. On the modem
// the "NO CARRIER" that the refused write found unread is in the communication log once, right before the
// command it refused (the account's exchange stays out of the log).
enum class Work { AccountSave, ConnectionState, TableLoad, GatewayReset, FactoryReset };

class WindowWorkLossTest : public LossTest, public ::testing::WithParamInterface<std::tuple<Work, Link>>
{
protected:
    // The modem's "NO CARRIER" waits unread at the program's end of the line.
    static bool callEndOnLine()
    {
        const ComPort* port = LinkPort(CurrentConnection);
        int queued = 0;
        return port && ::ioctl(port->fd(), FIONREAD, &queued) == 0 && queued >= int(sizeof "\r\nNO CARRIER\r\n") - 1;
    }
};

TEST_P(WindowWorkLossTest, TheWorkEndsAtOnceAndTheProgramShowsItselfDisconnected)
{
    const auto [work, link] = GetParam();
    const bool reset = work == Work::GatewayReset || work == Work::FactoryReset;
    ASSERT_NO_FATAL_FAILURE(startOnLink(link, {}));
    CurrentConnection.SaveLog = true;
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const QString log = commLogPath();
    ASSERT_FALSE(log.isEmpty());
    fMain->selectTopic(work == Work::AccountSave ? 17 : 505);
    fMain->eLoginUser->setText(QStringLiteral("usr"));
    fMain->eLoginPass->setText(QStringLiteral("pass1"));
    fMain->eLoginPassVer->setText(QStringLiteral("pass1"));
    fMain->lbPort->setCurrentRow(1);
    dialogs().clearRecords();
    loseLink(link);
    ASSERT_TRUE(waitUntil([&] { return link != Link::Modem || (!gateway->modemInCall() && callEndOnLine()); }));

    const std::clock_t cpuBefore = std::clock();
    QElapsedTimer took;
    took.start();
    QString told;  // what the one box says, or no box
    int asked = 0; // questions before it
    switch (work) {
    case Work::AccountSave:
        fMain->sbLoginSaveClick();
        told = labelText(56);
        break;
    case Work::ConnectionState:
        fMain->lbPortClick();
        break;
    case Work::TableLoad:
        fMain->sbAutoLoadClick();
        told = pagedListingLine(PagedTable::Autorouting).trimmed();
        break;
    case Work::GatewayReset:
    case Work::FactoryReset:
        modemReplyWaitMs = kModemWaits[0]; // each factory-reset row's own wait, as the program has it
        dialogs().answerBox(IDYES);
        fMain->selectTopic(work == Work::GatewayReset ? 41 : 42);
        modemReplyWaitMs = 0;
        asked = 1;
        told = labelText(56);
        break;
    }
    EXPECT_LT(took.elapsed(), 5000) << "ms until the work ended";
    EXPECT_LT(double(std::clock() - cpuBefore) / CLOCKS_PER_SEC, 2.0) << "CPU seconds while the link is gone";
    EXPECT_TRUE(waitUntil([] { return !CurrentConnection.Connected; }));
    expectConnectedState(false);
    ASSERT_EQ(dialogs().boxes().size(), asked + (told.isEmpty() ? 0 : 1)) << qPrintable(dialogs().boxTexts().join('|'));
    if (!told.isEmpty()) {
        EXPECT_TRUE(dialogs().boxes()[asked].text.contains(told)) << qPrintable(dialogs().boxes()[asked].text);
    }
    if (reset) {
        for (const char* command : {"AT&BSYS=RESET", "AT%R", "AT%A", "AT&FRES"})
            EXPECT_FALSE(received().contains(command)) << "the modem was given " << command;
    }
    if (link == Link::Modem && work != Work::AccountSave) {
        QFile file(log);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        qsizetype at = -1;
        int found = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].contains("NO CARRIER")) {
                at = i;
                ++found;
            }
        }
        ASSERT_EQ(found, 1) << "NO CARRIER lines in the log";
        EXPECT_TRUE(lines[at].endsWith(" < \\r\\nNO CARRIER\\r\\n")) << lines[at].constData();
        ASSERT_LT(at + 1, lines.size());
        EXPECT_TRUE(lines[at + 1].contains(" > AT")) << "the refused command next: " << lines[at + 1].constData();
    }
    ASSERT_NO_FATAL_FAILURE(connectAgain(link));
}

std::string workRowName(const ::testing::TestParamInfo<std::tuple<Work, Link>>& info)
{
    static const char* const works[] = {"AccountSave", "ConnectionState", "TableLoad", "GatewayReset", "FactoryReset"};
    return std::string(works[int(std::get<0>(info.param))]) +
           (std::get<1>(info.param) == Link::Serial ? "Serial" : "Modem");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowWorkLossTest,
    ::testing::Values(std::tuple{Work::AccountSave, Link::Serial}, std::tuple{Work::AccountSave, Link::Modem},
                      std::tuple{Work::ConnectionState, Link::Modem}, std::tuple{Work::TableLoad, Link::Modem},
                      std::tuple{Work::GatewayReset, Link::Modem}, std::tuple{Work::FactoryReset, Link::Modem}),
    workRowName);

// The gateway's session ends while the line stays up (a restart, an idle logout): its login prompt comes on the
// line, as the answer to a command, right behind one, or unasked while a tool runs. Every reader that meets it ends
// the work on the link's loss path: one box (56), the program not connected, and nothing more reaches the gateway,
// whose login dialogue would take it as a user name or a password. On telnet the rest of a run ends within a second.
struct SessionEnd
{
    const char* name;
    std::function<void()> work;
    gatewaysim::Faults faults = {}; // the session ends at the line they name; none: once started(), then then()
    std::function<void()> before = [] {}; // before the faults are set
    std::function<bool()> started = [] { return true; };
    QByteArray startedHeard = {}; // started() waits for the gateway to have heard this line too: a line still on
                                  // its way when the session ends would be heard by the login
    std::function<void()> then = [] {};
    Link link = Link::Serial;
    QByteArray heardAfter = {}; // what went out before the prompt came, or the terminal's leaving line end (its CR)
    bool timed = false;         // ends within a second of the trigger
};

void PrintTo(const SessionEnd& row, std::ostream* os)
{
    *os << row.name;
}

class SessionEndTest : public LossTest, public ::testing::WithParamInterface<SessionEnd>
{
};

TEST_P(SessionEndTest, TheWorkEndsOnTheLossPathAndNothingReachesTheLogin)
{
    const SessionEnd& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOnLink(row.link, {}));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    row.before();
    gateway->setFaults(row.faults);
    gateway->clearLog();
    dialogs().clearRecords();
    const QByteArray trigger =
        row.faults.dropOn + row.faults.dropAfterReplyTo + (row.faults.dropAfterDeletes ? "#" : "");
    QElapsedTimer sinceEnd;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (!sinceEnd.isValid() && received().contains(trigger))
            sinceEnd.start();
    });
    look.start(kLookMs);
    row.work();
    qsizetype heard = -1; // the lines the ended session heard
    if (trigger.isEmpty()) {
        ASSERT_TRUE(waitUntil([&] { return row.started() && received().contains(row.startedHeard); }));
        gateway->dropSessions();
        heard = gateway->receivedLines().size();
        row.then();
    }
    EXPECT_TRUE(waitUntil([] { return !CurrentConnection.Connected && !liveTools.anyRunning(); }, 8000));
    EXPECT_TRUE(!row.timed || sinceEnd.elapsed() < 1000) << sinceEnd.elapsed() << " ms from the session's end";
    QList<QByteArray> lines = gateway->receivedLines();
    while (heard < 0 && !lines.isEmpty()) // the lines up to the trigger's
        heard = lines.takeFirst().startsWith(trigger) ? 0 : -1;
    ASSERT_GE(heard, 0) << "the session ended";
    QByteArray after = lines.mid(std::max<qsizetype>(heard, 0)).join();
    EXPECT_EQ(after.replace('\n', ""), row.heardAfter) << "sent into the login dialogue (LFs left out: telnet's may "
                                                          "come apart from their CR)";
    QTest::qWait(300); // a second report of the loss would have come by now
    EXPECT_EQ(dialogs().boxTexts().join('|').toStdString(), labelText(56).toStdString());
    expectConnectedState(false);
    EXPECT_TRUE(panel0().endsWith(labelText(214))) << qPrintable(panel0());
}

const auto wholeSave = [] { fMain->tbSaveGateClick(); };
const auto diagnostics = [] { fMain->selectTopic(26); };
const auto commands = [] { fMain->selectTopic(685), fMain->edCommand->setText("ATI"); };
const auto start = [] { fMain->sbCommandsStart->click(); }; // or Stop

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, SessionEndTest, ::testing::Values(
    SessionEnd{.name = "WholeSave", .work = wholeSave, .faults = {.dropOn = "AT%G05="}},
    SessionEnd{.name = "WholeSaveTelnet", .work = wholeSave, .faults = {.dropOn = "AT%G05=", .dropShowsLogin = true},
        .link = Link::Telnet, .timed = true},
    SessionEnd{.name = "ActualCalls", .work = [] { fMain->selectTopic(235); },
        .started = [] { return !fMain->mmActual->toPlainText().isEmpty(); }},
    SessionEnd{.name = "Diagnostics", .work = diagnostics, .faults = {.dropOn = "AT&S01"}},
    // The prompt comes in the same read as the reply's "OK".
    SessionEnd{.name = "DiagnosticsPromptWithOk", .work = diagnostics, .faults = {.dropAfterReplyTo = "AT&S00"}},
    SessionEnd{.name = "CallRecordsLoadDelete", .work = [] { fMain->sbCallLoadDeleteClick(); },
        .faults = {.dropAfterDeletes = 1}},
    // The prompt in two pieces ("\r\nMX lo", "gin: ").
    SessionEnd{.name = "StatisticsPromptInPieces", .work = [] { fMain->sbStatLoadClick(); },
        .faults = {.lineHeadBytes = 5, .lineHeadPauseMs = 500, .lineHeadLines = 2, .dropOn = "AT&TMOD"}},
    SessionEnd{.name = "VoiceErase", .work = [] { fMain->selectTopic(25), fMain->sbVoiceDelete->click(); },
        .faults = {.dropOn = "AT!M"}},
    // The gateway talks past the exchange's 15 s cap: the listing is read on, the prompt right behind its "OK".
    SessionEnd{.name = "NetworkListingReadOn", .work = [] { fMain->sbNetLoadClick(); },
        .faults = {.dropAfterReplyTo = "AT&Nall", .chatterMs = 15500, .silentOn = {"AT&VI"}}},
    SessionEnd{.name = "Tracing", .work = [] { fMain->selectTopic(20), fMain->sbTracStart->click(); },
        .started = [] { return fMain->mTracing->toPlainText().contains(QStringLiteral("TRACE")); }},
    SessionEnd{.name = "TestCalls",
        .work = [] { fMain->selectTopic(548), fMain->edNumber1->setText("1"), fMain->sbDial->click(); },
        .started = [] { return fMain->mmTest->toPlainText().contains(QStringLiteral("CALL")); }},
    SessionEnd{.name = "OnlineCommands", .work = [] { commands(), start(); },
        .faults = {.moduleSilent = true}, .started = [] { return bool(commandsThread); },
        .startedHeard = "AT&G0=ATI\r"},
    // Stopped, the run waits for its end, then drops the telnet text until the next write: the prompt comes there.
    SessionEnd{.name = "OnlineCommandsTailTelnet", .work = [] { start(), start(); },
        .faults = {.lineHeadBytes = 5, .lineHeadPauseMs = 2500, .lineHeadLines = 2, .dropAfterReplyTo = "AT&G",
                   .dropShowsLogin = true, .moduleSilent = true},
        .before = commands, .link = Link::Telnet, .heardAfter = "\r"},
    // The Stop answered at once by the prompt: the drain's text is looked at before it is dropped.
    SessionEnd{.name = "TracingStopTelnet", .work = [] { fMain->sbTracStart->click(); },
        .faults = {.dropOn = "AT!RX", .dropShowsLogin = true},
        .before = [] { fMain->selectTopic(20), fMain->sbTracStart->click();
                       EXPECT_TRUE(QTest::qWaitFor([] { return bool(tracingOverTcp); })); },
        .link = Link::Telnet, .timed = true},
    // Prompts in pieces a second apart: the one answering the leaving line end is not in as the buffer state enters.
    SessionEnd{.name = "TerminalLeftAtThePrompt", .work = [] { fMain->selectTopic(21); },
        .faults = {.lineHeadBytes = 5, .lineHeadPauseMs = 1000, .lineHeadLines = 2},
        .then = [] { EXPECT_TRUE(QTest::qWaitFor([] { return terminalText.contains("login: "); }));
                     fMain->selectTopic(494); },
        .heardAfter = "\r"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The call ends within moments of a reset's command. Ending just as the command goes out, it leaves the modem,
// back in command mode, to take the command and answer it ("ERROR"): the gateway never got it, so the reset
// tells the communication error once and not that it was sent. Ending after the gateway took the command (its
// restart ends the call), it leaves the reset sent. The modem's own wait before the hang-up is the program's.
struct ResetCallEnd
{
    int topic;
    QByteArray command;
    bool endsBeforeCommand; // else once the gateway has the command
    int told;
};

class ResetCallEndTest : public LossTest, public ::testing::WithParamInterface<ResetCallEnd>
{
};

TEST_P(ResetCallEndTest, OnlyACommandTheGatewayGotIsToldAsSent)
{
    const ResetCallEnd& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOnLink(Link::Modem, {}));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gatewaysim::Faults f;
    if (row.endsBeforeCommand)
        f.modemDropOn = row.command;
    gateway->setFaults(f);
    QTimer afterCommand;
    QObject::connect(&afterCommand, &QTimer::timeout, [&] {
        if (gateway->modemInCall() && received().contains(row.command + "\r\n"))
            gateway->dropSessions();
    });
    if (!row.endsBeforeCommand)
        afterCommand.start(kLookMs);
    dialogs().clearRecords();
    dialogs().answerBox(IDYES);
    fMain->selectTopic(row.topic);
    afterCommand.stop();
    EXPECT_FALSE(gateway->modemInCall());
    EXPECT_TRUE(waitUntil([] { return !CurrentConnection.Connected; }));
    expectConnectedState(false);
    ASSERT_EQ(dialogs().boxes().size(), 2) << qPrintable(dialogs().boxTexts().join('|'));
    EXPECT_EQ(dialogs().boxes()[1].text.toStdString(), labelText(row.told).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Rows, ResetCallEndTest,
                         ::testing::Values(ResetCallEnd{41, "AT&BSYS=RESET", true, 56},
                                           ResetCallEnd{42, "AT&FRES", true, 56},
                                           ResetCallEnd{41, "AT&BSYS=RESET", false, 882}),
                         [](const ::testing::TestParamInfo<ResetCallEnd>& info) {
                             return std::string(info.param.topic == 41 ? "GatewayReset" : "FactoryReset") +
                                    (info.param.endsBeforeCommand ? "CallEndsAsTheCommandGoes"
                                                                  : "CallEndsAfterTheGatewayGotIt");
                         });

// The statistics download meets the loss in its reads on the window's thread. Its reads fail at once from then
// on: the download ends at once rather than reading on to its idle limit at full speed, says so once (text 56)
// and the program shows itself disconnected. The gateway's statistics never end ("no OK"), so only the loss or
// the idle limit can end the section; the process's CPU time from the click until the program shows itself
// disconnected stays well below the idle limit's 5 s a spinning loop would burn.
class RecordLinkLossTest : public LossTest, public ::testing::WithParamInterface<Link>
{
};

TEST_P(RecordLinkLossTest, TheStatisticsDownloadEndsAtOnceAndDoesNotSpin)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam(), {}));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    recordWaits = RecordWaits{};
    gatewaysim::Faults f;
    f.noOk = true;
    gateway->setFaults(f);
    fMain->selectTopic(24);
    dialogs().clearRecords();
    // The link goes once the command is out and the first section's title shows.
    bool lost = false;
    const QMetaObject::Connection title = QObject::connect(fMain->mStatistic, &QPlainTextEdit::textChanged, [&] {
        if (!lost && !fMain->mStatistic->toPlainText().isEmpty()) {
            lost = true;
            loseLink(GetParam());
        }
    });
    const std::clock_t cpuBefore = std::clock();
    fMain->sbStatLoadClick();
    QObject::disconnect(title);
    ASSERT_TRUE(lost);
    EXPECT_TRUE(waitUntil([] { return !CurrentConnection.Connected; }, 8000));
    EXPECT_LT(double(std::clock() - cpuBefore) / CLOCKS_PER_SEC, 1.5) << "CPU seconds while the link is gone";
    recordWaits = RecordWaits{};
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(56)});
    expectConnectedState(false);
    gateway->setFaults({});
    ASSERT_NO_FATAL_FAILURE(connectAgain(GetParam()));
}

// On telnet every read after the drop still takes its settling pause, so nothing spins there.
INSTANTIATE_TEST_SUITE_P(Links, RecordLinkLossTest, ::testing::Values(Link::Serial, Link::Modem),
                         [](const ::testing::TestParamInfo<Link>& info) {
                             return std::string(info.param == Link::Serial ? "Serial" : "Modem");
                         });

} // namespace
