// Online commands against the simulated gateway, over its serial pty and over telnet: the command line and its
// limit, the end of a reply that comes in pieces, Stop with a gateway that never ends the reply, and that no
// reader or route outlives a run whatever ends it (Stop, leaving the page, Disconnect, a language change).
#include "online/LiveToolFixture.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/OnlineCommands.h"
#include "online/ui/CommandsPage.h"
#include "platform/TelnetClient.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

TEST(OnlineCommandRules, LineTextAndEnd)
{
    EXPECT_EQ(OnlineCommandLine(1, QStringLiteral("ATI")), "AT&G1=ATI\r");
    EXPECT_EQ(OnlineCommandLine(0, QStringLiteral("AT+CMGS=\"č\"")), "AT&G0=AT+CMGS=\"\xE8\"\r");
    EXPECT_EQ(OnlineCommandLine(0, QString(120, QLatin1Char('x'))).size(), kCommandLineMax);

    struct End
    {
        const char* text;
        bool ended;
    };
    for (const End& e : {End{"+CSQ: 21,0\r\n\r\nOK\r\n", true}, End{"x\r\n\r\nBUSY\r\n", true},
                         End{"x\r\n\r\nERROR\r\n+CREG: 1", true}, End{"+CSQ: 21,0\r\nOK\r\n", false},
                         End{"x\r\n\r\nOK\r", false}, End{"x\r\n\r\nOKAY\r\n", false}, End{"", false}})
        EXPECT_EQ(CommandsReplyEnded(e.text), e.ended) << e.text;

    // The run's text loses a leading CR LF, also one split over two chunks, each time it begins with one.
    struct Text
    {
        QList<QByteArray> chunks;
        QByteArray text;
    };
    for (const Text& t : {Text{{"\r\nOK\r\n"}, "OK\r\n"}, Text{{"\r", "\nA\r\n"}, "A\r\n"},
                          Text{{"\r\n\r\nB"}, "\r\nB"}, Text{{"\r\n\r\n", "B"}, "B"}, Text{{"A", "\r\n"}, "A\r\n"}}) {
        QByteArray text;
        for (const QByteArray& c : t.chunks)
            AppendCommandsText(text, c);
        EXPECT_EQ(text, t.text) << t.chunks.join('|').toHex().constData();
    }

    struct Chunk
    {
        const char* chunk;
        bool ok;
    };
    for (const Chunk& c : {Chunk{"x\r\nOK\r\n", true}, Chunk{"\r\nOK\r\n", false}, Chunk{"\r\n\r\nOK\r\n", true},
                           Chunk{"x\r\nOK", false}})
        EXPECT_EQ(CommandsChunkShowsOk(c.chunk), c.ok) << c.chunk;
}

class OnlineCommandsTest : public LiveToolTest
{
protected:
    void openPage()
    {
        fMain->selectTopic(685);
        ASSERT_FALSE(fMain->pCommands->isHidden());
        gateway->clearLog();
    }
    void start(const QString& command, int module = 1)
    {
        fMain->edCommand->setText(command);
        fMain->seModule->setValue(module);
        fMain->sbCommandsStart->click();
    }
    static bool idle()
    {
        return !CommandsPage::commandsRuns() && !liveTools.anyRoute() &&
               fMain->sbCommandsStart->text() == labelText(152) && fMain->tbLoadGate->isEnabled() &&
               fMain->mSave->isEnabled();
    }
    // The gateway's log lags behind what was written by a moment.
    bool gatewayLinesAre(const QList<QByteArray>& lines)
    {
        return waitUntil([&] { return gateway->receivedLines() == lines; }, 2000);
    }
    // The AT that follows shows what the program sent before it, and that nothing reads the link any more.
    void expectSentThenProbe(const QList<QByteArray>& lines)
    {
        QByteArray reply;
        EXPECT_EQ(SendCommandOk("AT\r\n", reply, 128), "\r\nOK\r\n");
        QList<QByteArray> want = lines;
        want << "AT\r\n";
        if (CurrentConnection.LinkType == LinkTelnet)
            want << "\n"; // CR goes out as CR LF on telnet
        EXPECT_EQ(gateway->receivedLines(), want);
    }
};

TEST_F(OnlineCommandsTest, OnThePtyAReplyInFiveBurstsEndsTheRunOnce)
{
    gatewaysim::Config cfg;
    cfg.moduleBursts = 5;
    cfg.moduleBurstMs = 30;
    cfg.model = QStringLiteral("MY"); // the page is the same on both models
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(openPage());
    // Enter in the command field presses the start button.
    fMain->seModule->setValue(1);
    fMain->edCommand->setText(QStringLiteral("ATI"));
    QTest::keyClick(fMain->edCommand, Qt::Key_Return);
    QPointer<LiveWorker> reader = commandsThread.data();
    ASSERT_TRUE(reader) << qPrintable(dialogs().boxTexts().join('|'));
    EXPECT_EQ(fMain->sbCommandsStart->text(), labelText(153));
    EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
    ASSERT_TRUE(waitUntil([] { return idle(); }));
    EXPECT_TRUE(waitUntil([&] { return !reader; })) << "the reader ended";
    // Shown without the first CR LF; the blank line stays.
    EXPECT_EQ(fMain->m1->toPlainText(), QStringLiteral("GSM1: ATI\n\nOK\n"));
    EXPECT_EQ(commandsText, "GSM1: ATI\r\n\r\nOK\r\n");
    expectSentThenProbe({"AT&G1=ATI\r", "\r\n"});
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

TEST_F(OnlineCommandsTest, AnEmptiedModuleFieldSendsModule0AndShowsIt)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(openPage());
    // Started with the field still in hand (Enter), or after it lost the focus (a click on Start).
    for (const bool leftField : {false, true}) {
        fMain->seModule->setValue(1);
        ASSERT_NO_FATAL_FAILURE(emptySpinField(fMain->seModule, leftField));
        if (leftField) {
            EXPECT_EQ(fMain->seModule->text(), QStringLiteral("0"));
        }
        gateway->clearLog();
        fMain->edCommand->setText(QStringLiteral("ATI"));
        fMain->sbCommandsStart->click();
        EXPECT_TRUE(gatewayGot("AT&G0=ATI\r\n")) << leftField;
        EXPECT_EQ(fMain->seModule->text(), QStringLiteral("0"));
        ASSERT_TRUE(waitUntil([] { return idle(); }));
    }
}

TEST_F(OnlineCommandsTest, OverTelnetTheEndIsFoundInTheTextAndTheRouterKeepsTheRestOfTheChunk)
{
    // The view drops carriage returns and merges empty lines, so it never shows the blank line before OK.
    gatewaysim::Config cfg;
    cfg.moduleReply = "\r\n+CSQ: 21,0\r\n\r\nOK\r\n+CREG: 1\r\n";
    cfg.moduleBursts = 5; // "\r\n+CSQ", ": 21,0", "\r\n\r\nOK", "\r\n+CRE", "G: 1\r\n"
    cfg.moduleBurstMs = 40;
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(openPage());
    start(QStringLiteral("AT+CSQ"), 0);
    EXPECT_TRUE(commandsOverTcp);
    EXPECT_FALSE(commandsThread);
    ASSERT_TRUE(waitUntil([] { return idle(); }));
    const QString upToEnd = QStringLiteral("\n+CSQ: 21,0\nOK\n");
    ASSERT_TRUE(waitUntil([&] {
        QString all = fMain->m1->toPlainText() + QString::fromLatin1(CurrentConnection.TcpReceived);
        return all.remove(QLatin1Char('\r')) == upToEnd + QStringLiteral("+CREG: 1\n");
    })) << qPrintable(fMain->m1->toPlainText());
    EXPECT_TRUE(fMain->m1->toPlainText().startsWith(upToEnd + QStringLiteral("+CRE")))
        << "the chunk that ended the run is in the view whole";
    ClearTcpReceived();
    // CR goes out as CR LF on telnet: the end's CR LF arrives as CR LF and a lone LF.
    expectSentThenProbe({"AT&G0=AT+CSQ\r\n", "\r\n", "\n"});
}

// Stop while the module's reply is still coming, on both links: the rest of the reply comes into the view and
// ends the run; a reply that does not end ends the run after the bound, and nothing of it is left for the next
// command.
class OnlineCommandsStopTest : public OnlineCommandsTest, public testing::WithParamInterface<bool>
{
};

TEST_P(OnlineCommandsStopTest, StopWaitsForTheEndButNotForEver)
{
    const bool telnet = GetParam();
    gatewaysim::Config cfg;
    cfg.moduleBursts = 3;
    cfg.moduleBurstMs = 150;
    if (telnet)
        ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    else
        ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(openPage());
    const QByteArray end = telnet ? "\r\n" : "\r"; // CR goes out as CR LF on telnet ...
    const QList<QByteArray> crLf =
        telnet ? QList<QByteArray>{"\r\n", "\n"} : QList<QByteArray>{"\r\n"}; // ... CR LF too

    // A reply still coming: Stop waits for its end, which ends the run as usual.
    commandsStopDrainMs = 20000;
    start(QStringLiteral("ATI"));
    ASSERT_TRUE(CommandsPage::commandsRuns());
    fMain->sbCommandsStart->click();
    EXPECT_TRUE(idle());
    EXPECT_FALSE(commandsThread);
    // The router's view merges the blank line before OK.
    EXPECT_EQ(fMain->m1->toPlainText(),
              telnet ? QStringLiteral("\nGSM1: ATI\nOK\n") : QStringLiteral("GSM1: ATI\n\nOK\n"));
    EXPECT_TRUE(gatewayLinesAre(QList<QByteArray>{"AT&G1=ATI" + end} + crLf + crLf)) << received().toHex().constData();

    // A module that never answers: the run ends after the bound, and the page starts again.
    gateway->clearLog();
    gateway->setFaults([] {
        gatewaysim::Faults f;
        f.moduleSilent = true;
        return f;
    }());
    commandsStopDrainMs = 200;
    start(QStringLiteral("AT+COPS?"));
    QPointer<LiveWorker> reader = commandsThread.data();
    ASSERT_TRUE(CommandsPage::commandsRuns());
    fMain->sbCommandsStart->click();
    EXPECT_TRUE(idle());
    EXPECT_TRUE(!reader || reader->isFinished()) << "the reader was joined";
    EXPECT_TRUE(gatewayLinesAre(QList<QByteArray>{"AT&G1=AT+COPS?" + end} + crLf)) << received().toHex().constData();

    gateway->setFaults({});
    if (telnet) {
        // A reply slower than the bound: what comes after it is dropped, not taken by the next command.
        gateway->clearLog();
        gateway->setFaults([] {
            gatewaysim::Faults f;
            f.trickleMs = 60;
            return f;
        }());
        start(QStringLiteral("ATI"));
        fMain->sbCommandsStart->click();
        EXPECT_TRUE(idle());
        EXPECT_TRUE(waitUntil([&] { return !gateway->sending(); }));
        // The last bytes the gateway wrote are still on their way: they arrive, and are dropped, before the probe
        // writes; text that comes after the next write cannot be told from its reply.
        QTest::qWait(100);
        gateway->setFaults({});
        expectSentThenProbe(QList<QByteArray>{"AT&G1=ATI" + end} + crLf);
    }

    gateway->clearLog();
    start(QStringLiteral("ATI"), 0);
    ASSERT_TRUE(waitUntil([] { return idle(); }));
    EXPECT_TRUE(fMain->m1->toPlainText().contains(QStringLiteral("GSM0: ATI\n")))
        << qPrintable(fMain->m1->toPlainText());
    expectSentThenProbe(QList<QByteArray>{"AT&G0=ATI" + end} + crLf);
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

INSTANTIATE_TEST_SUITE_P(BothLinks, OnlineCommandsStopTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "Telnet" : "Serial"; });

// Each way a run can end, on both links, with a module that never answers: afterwards no reader, no route, the
// page idle, and the link free for the next command.
enum class RunEnd { Stop, Leave, LanguageThenLeave, Disconnect };

class OnlineCommandsEndTest : public OnlineCommandsTest, public testing::WithParamInterface<std::tuple<bool, RunEnd>>
{
};

TEST_P(OnlineCommandsEndTest, NoReaderOrRouteOutlivesTheRun)
{
    const auto [telnet, end] = GetParam();
    gatewaysim::Config cfg;
    cfg.faults.moduleSilent = true;
    if (telnet)
        ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    else
        ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(openPage());
    commandsStopDrainMs = 100;
    start(QStringLiteral("AT+CLCC"));
    QPointer<LiveWorker> reader = commandsThread.data();
    ASSERT_TRUE(CommandsPage::commandsRuns());
    ASSERT_TRUE(liveTools.anyHoldsLink());
    // The gateway has the command before the run ends, so that its log holds only what comes after.
    ASSERT_TRUE(gatewayGot(telnet ? "AT&G1=AT+CLCC\r\n" : "AT&G1=AT+CLCC\r"));
    switch (end) {
    case RunEnd::Stop:
        fMain->sbCommandsStart->click();
        break;
    case RunEnd::Leave:
        fMain->selectTopic(494); // buffer state: its own commands follow at once
        break;
    case RunEnd::LanguageThenLeave:
        // The label pass writes Start; the run is still on, and leaving still ends it.
        fMain->setLabels(labelTexts);
        EXPECT_EQ(fMain->sbCommandsStart->text(), labelText(152));
        EXPECT_TRUE(CommandsPage::commandsRuns());
        fMain->selectTopic(494);
        break;
    case RunEnd::Disconnect:
        fMain->mDisconnectClick();
        gateway->clearLog();
        fMain->selectTopic(30); // the leaving step has nothing to stop: no reconnect
        EXPECT_FALSE(CurrentConnection.Connected);
        EXPECT_TRUE(gateway->receivedLines().isEmpty());
        break;
    }
    EXPECT_TRUE(idle());
    // (Stopped before it ever ran, a reader never starts; it is deleted when the event loop next runs.)
    EXPECT_TRUE(waitUntil([&] { return !reader || !reader->isRunning(); })) << "the reader ended";
    EXPECT_FALSE(liveTools.anyHoldsLink());
    if (end == RunEnd::Leave || end == RunEnd::LanguageThenLeave) {
        EXPECT_TRUE(gateway->receivedLines().contains("AT!Q\r\n")) << gateway->receivedLines().join('|').constData();
        EXPECT_FALSE(fMain->lbBuffer1->text().isEmpty()) << "the buffer page got its own reply";
    } else if (end == RunEnd::Stop) {
        ClearTcpReceived();
        expectSentThenProbe(telnet ? QList<QByteArray>{"AT&G1=AT+CLCC\r\n", "\r\n", "\n"}
                                   : QList<QByteArray>{"AT&G1=AT+CLCC\r", "\r\n"});
    }
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

INSTANTIATE_TEST_SUITE_P(BothLinks, OnlineCommandsEndTest,
                         testing::Combine(testing::Bool(),
                                          testing::Values(RunEnd::Stop, RunEnd::Leave, RunEnd::LanguageThenLeave,
                                                          RunEnd::Disconnect)));

TEST_F(OnlineCommandsTest, ATooLongCommandOrAFailedWriteStartsNoRun)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(openPage());

    start(QString(121, QLatin1Char('x')), 0);
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes()[0].text, labelText(986));
    EXPECT_TRUE(idle());
    start(QString(120, QLatin1Char('x')), 0);
    EXPECT_TRUE(gatewayGot("AT&G0=" + QByteArray(120, 'x') + "\r\n"));
    EXPECT_EQ(dialogs().boxes().size(), 1);
    ASSERT_TRUE(waitUntil([] { return idle(); }));

    // The link is down while the program still counts it connected (a drop it is told of ends the
    // connection); the start's write fails and gives the gateway runs back.
    dialogs().clearRecords();
    tcp->Disconnect();
    start(QStringLiteral("ATI"));
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes()[0].text, labelText(56));
    EXPECT_TRUE(idle());
}

// A command goes out in Windows-1250 and the module repeats it in its answer: the view shows the same letters
// on both links.
class OnlineCommandsCodePageTest : public OnlineCommandsTest, public testing::WithParamInterface<bool>
{
};

TEST_P(OnlineCommandsCodePageTest, TheReplyShowsInTheCodePageOfTheCommand)
{
    if (GetParam())
        ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    else
        ASSERT_NO_FATAL_FAILURE(startSerialGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(openPage());
    const QString command = QStringLiteral("AT+CPBW=1,\"Kůň Łódź Győr\"");
    start(command);
    ASSERT_TRUE(waitUntil([] { return idle(); }));
    EXPECT_TRUE(fMain->m1->toPlainText().contains(QStringLiteral("GSM1: ") + command))
        << qPrintable(fMain->m1->toPlainText());
}

INSTANTIATE_TEST_SUITE_P(BothLinks, OnlineCommandsCodePageTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "Telnet" : "Serial"; });

} // namespace
