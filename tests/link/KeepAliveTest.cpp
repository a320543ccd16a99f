// The keep-alive with a moved clock, the telnet text router and the disconnect, through the real main window.
#include "ConnectFixture.h"

#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "platform/ModemLine.h"
#include "platform/Wait.h"

#include <QPlainTextEdit>
#include <QTimer>

namespace {

using KeepAliveTest = ConnectTest;

// The link was last used `seconds` whole seconds ago.
void quietFor(qint64 seconds)
{
    lastLinkActivity.store(Clock::seconds());
    Clock::advance(seconds * 1000);
}

TEST_F(KeepAliveTest, AtGoesOutAfterNinetyOneQuietSecondsUnlessTheLinkIsBusy)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    EXPECT_EQ(fMain->tLoginTimer->interval(), 2000);
    EXPECT_TRUE(fMain->tLoginTimer->isActive());
    gateway->clearLog();

    quietFor(89); // even if the wall clock's second turns meanwhile, fewer than 91 have passed
    fMain->tLoginTimerTimer();
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    Clock::advance(2000);
    fMain->tLoginTimerTimer();
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT\r\n", "\n"}));
    EXPECT_TRUE(CurrentConnection.Connected);
    gateway->clearLog();
    fMain->tLoginTimerTimer();
    EXPECT_TRUE(gateway->receivedLines().isEmpty()) << "the keep-alive itself counts as traffic";

    quietFor(200);
    progressShown = true;
    fMain->tLoginTimerTimer();
    progressShown = false;
    tcpUpgradeActive = true;
    fMain->tLoginTimerTimer();
    tcpUpgradeActive = false;
    setClosingProgram(true);
    fMain->tLoginTimerTimer();
    setClosingProgram(false);
    bool busy = false;
    for (auto slot : {LiveToolSlot::Tracing, LiveToolSlot::Diagnostics, LiveToolSlot::ActualCalls}) {
        LiveTool tool;
        tool.holdsLink = [&busy] { return busy; };
        liveTools.add(slot, tool);
        busy = true;
        fMain->tLoginTimerTimer();
        busy = false;
        liveTools.add(slot, {});
    }
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    fMain->tLoginTimerTimer();
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT\r\n", "\n"}));
}

TEST_F(KeepAliveTest, AGatewayThatStopsAnsweringIsDisconnected)
{
    const std::function<void(gatewaysim::Gateway&)> failures[] = {
        [](gatewaysim::Gateway& gw) {
            gatewaysim::Faults f = gw.faults();
            f.silent = true;
            gw.setFaults(f);
        },
        [](gatewaysim::Gateway& gw) { gw.dropSessions(); },
    };
    for (const auto& fail : failures) {
        ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
        ASSERT_NO_FATAL_FAILURE(connectNow());
        CurrentConnection.LanTimeout = 0; // the silent gateway's wait ends when the whole-second clock turns
        fail(*gateway);
        WaitPumping(100);
        quietFor(91);
        fMain->tLoginTimerTimer();
        EXPECT_FALSE(CurrentConnection.Connected);
        EXPECT_FALSE(tcp->Connected());
        EXPECT_EQ(panel0(), QStringLiteral("Sim : not connected"));
        expectConnectedState(false);
        EXPECT_TRUE(dialogs().boxes().isEmpty());
        TearDown();
        SetUp();
    }
}

// The call's end brings "NO CARRIER", and the modem then answers "AT" itself with "OK": only the modem line's
// own rule tells the keep-alive that the gateway is gone.
TEST_F(KeepAliveTest, ACallThatEndedIsNoticedOnTheModemLine)
{
    gatewaysim::Config cfg;
    cfg.modemGuardMs = 500;
    ASSERT_NO_FATAL_FAILURE(startModemGateway(cfg));
    auto line = std::make_shared<ModemLine>();
    ASSERT_TRUE(line->dial(CurrentConnection.ModemName, 9600, QStringLiteral("77"), 10000));
    CurrentConnection.Modem = line;
    CurrentConnection.Connected = true;
    fMain->setConnectedState(true);
    gateway->dropSessions();
    quietFor(91);
    fMain->tLoginTimerTimer();
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(CurrentConnection.Modem);
    expectConnectedState(false);
}

TEST_F(KeepAliveTest, TelnetTextGoesToTheLinkUnlessARouteTakesIt)
{
    startProgram({});
    fMain->tcpDataAvailable("one ");
    fMain->tcpDataAvailable("two");
    EXPECT_EQ(CurrentConnection.TcpReceived, "one two");

    // Four routed tools in the router's order; the last route that is on takes the text.
    const LiveToolSlot routed[] = {LiveToolSlot::Terminal, LiveToolSlot::Tracing, LiveToolSlot::TestCalls,
                                  LiveToolSlot::OnlineCommands};
    QPlainTextEdit views[4];
    QByteArray seen[4];
    for (int i = 0; i < 4; ++i) {
        LiveTool tool;
        tool.routeView = [&views, i] { return &views[i]; };
        tool.routeReceived = [&seen, i](const QByteArray& t) { seen[i] += t; };
        liveTools.add(routed[i], tool);
    }
    struct Case
    {
        QList<int> on;
        int target;
    };
    const Case cases[] = {{{0}, 0}, {{0, 1}, 1}, {{0, 1, 2}, 2}, {{1, 3}, 3}, {{2, 0}, 2}};
    for (const Case& c : cases) {
        for (auto& v : views)
            v.clear();
        for (int i = 0; i < 4; ++i)
            liveTools.setRoute(routed[i], c.on.contains(i));
        fMain->tcpDataAvailable("a\r\n\r\nb");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(views[i].toPlainText(), i == c.target ? QStringLiteral("a\nb") : QString()) << i;
    }
    EXPECT_EQ(seen[0], QByteArray("a\r\n\r\nb").repeated(5)) << "every tool sees every routed chunk";

    // (No telnet connection here: each chunk also ran Disconnect, which ends the terminal's route.)
    liveTools.setRoute(LiveToolSlot::Tracing, false);
    liveTools.setRoute(LiveToolSlot::TestCalls, false);
    views[0].clear();
    for (const QByteArray chunk : {"x\b \b", "\b \b", "\b \bAT"}) {
        liveTools.setRoute(LiveToolSlot::Terminal, true);
        fMain->tcpDataAvailable(chunk);
    }
    EXPECT_EQ(views[0].toPlainText(), QStringLiteral("x\b \b")) << "an erase echo at a chunk's start is dropped";

    liveTools.setRoute(LiveToolSlot::Terminal, true);
    CurrentConnection.Connected = true;
    fMain->tcpDataAvailable("three");
    EXPECT_EQ(views[0].toPlainText(), QStringLiteral("x\b \bthree"));
    EXPECT_EQ(CurrentConnection.TcpReceived, "one two");
    EXPECT_FALSE(CurrentConnection.Connected) << "a route on while the telnet connection is gone disconnects";
    EXPECT_FALSE(terminalOverTcp) << "the disconnect ends the terminal's route";
}

TEST_F(KeepAliveTest, DisconnectAndTheCloseStopTheToolsThatRunInTheirOrder)
{
    startProgram({});
    QStringList order;
    bool running[int(LiveToolSlot::Count)] = {};
    // Registered backwards: the order is the slots', not the registration's.
    for (int i = int(LiveToolSlot::Count) - 1; i >= 0; --i) {
        LiveTool tool;
        tool.running = [&running, i] { return running[i]; };
        tool.stopForDisconnect = [&order, i] { order << QStringLiteral("d%1").arg(i); };
        tool.stopForClose = [&order, i] { order << QStringLiteral("c%1").arg(i); };
        liveTools.add(LiveToolSlot(i), tool);
    }
    CurrentConnection.Connected = true;
    fMain->setConnectedState(true);
    fMain->tbDisconnectClick();
    EXPECT_TRUE(order.isEmpty()) << "tools that do not run are not stopped";
    std::fill(std::begin(running), std::end(running), true);
    running[2] = false;
    CurrentConnection.Connected = true;
    fMain->setConnectedState(true);
    fMain->tbDisconnectClick();
    EXPECT_EQ(order, (QStringList{"d0", "d1", "d3", "d4", "d5", "d6", "d7"}));
    EXPECT_FALSE(CurrentConnection.Connected);
    expectConnectedState(false);
    EXPECT_EQ(panel0(), QStringLiteral("unnamed : not connected"));
    order.clear();
    EXPECT_TRUE(fMain->FormClose());
    EXPECT_EQ(order, (QStringList{"c0", "c1", "c3", "c4", "c5", "c6", "c7"})) << "not connected: no disconnect follows";
}

} // namespace
