// The keep-alive with a moved clock, the telnet text router and the disconnect, through the real main window.
#include "ConnectFixture.h"

#include "link/LinkIo.h"
#include "link/LiveToolLinks.h"
#include "platform/ModemLine.h"

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
    bool busy = true;
    liveToolBusy.push_back([&busy] { return busy; });
    fMain->tLoginTimerTimer();
    busy = false;
    for (bool* route : {&terminalOverTcp, &tracingOverTcp, &testCallOverTcp, &commandsOverTcp, &tcpUpgradeActive}) {
        *route = true;
        fMain->tLoginTimerTimer();
        *route = false;
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

    QByteArray routed;
    routeTcpText = [&routed](const QByteArray& t) { routed += t; };
    terminalOverTcp = true;
    CurrentConnection.Connected = true;
    fMain->tcpDataAvailable("three");
    EXPECT_EQ(routed, "three");
    EXPECT_EQ(CurrentConnection.TcpReceived, "one two");
    EXPECT_FALSE(CurrentConnection.Connected) << "a route on while the telnet connection is gone disconnects";
    EXPECT_FALSE(terminalOverTcp) << "the disconnect ends the terminal's route";
}

TEST_F(KeepAliveTest, DisconnectRunsTheLiveToolsStopsInTheirOrder)
{
    startProgram({});
    QList<int> order;
    for (int i = LiveToolStopCount - 1; i >= 0; --i)
        liveToolStops[size_t(i)] = [&order, i] { order.append(i); };
    CurrentConnection.Connected = true;
    fMain->setConnectedState(true);
    fMain->tbDisconnectClick();
    EXPECT_EQ(order, (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(CurrentConnection.Connected);
    expectConnectedState(false);
    EXPECT_EQ(panel0(), QStringLiteral("unnamed : not connected"));
}

} // namespace
