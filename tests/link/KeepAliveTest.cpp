// The keep-alive with a moved clock, and the telnet text router, through the real main window against the
// simulated gateway.
#include "ConnectFixture.h"

#include "link/LinkIo.h"
#include "link/LiveToolLinks.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>

namespace {

using KeepAliveTest = ConnectTest;

// The keep-alive's view of the clock: the link was last used `quiet` whole seconds ago.
void quietFor(qint64 seconds)
{
    lastLinkActivity.store(Clock::seconds());
    Clock::advance(seconds * 1000);
}

TEST_F(KeepAliveTest, NothingBeforeNinetyOneSecondsThenAt)
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
    EXPECT_GE(lastLinkActivity.load(), Clock::seconds() - 1) << "the keep-alive itself counts as traffic";

    gateway->clearLog();
    fMain->tLoginTimerTimer();
    EXPECT_TRUE(gateway->receivedLines().isEmpty()) << "the next tick finds the link used just now";
}

TEST_F(KeepAliveTest, QuietWhileThePleaseWaitWindowIsShownOrALiveToolWorks)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->clearLog();
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
    const struct
    {
        const char* what;
        std::function<void(gatewaysim::Gateway&)> fail;
    } cases[] = {
        {"silent",
         [](gatewaysim::Gateway& gw) {
             gatewaysim::Faults f = gw.faults();
             f.silent = true;
             gw.setFaults(f);
         }},
        {"dropped", [](gatewaysim::Gateway& gw) { gw.dropSessions(); }},
    };
    for (const auto& c : cases) {
        ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
        ASSERT_NO_FATAL_FAILURE(connectNow());
        c.fail(*gateway);
        WaitPumping(100);
        quietFor(91);
        fMain->tLoginTimerTimer();
        EXPECT_FALSE(CurrentConnection.Connected) << c.what;
        EXPECT_FALSE(tcp->Connected()) << c.what;
        EXPECT_EQ(panel0(), QStringLiteral("Sim : not connected")) << c.what;
        expectConnectedState(false);
        EXPECT_TRUE(dialogs().boxes().isEmpty()) << c.what;
        TearDown();
        SetUp();
    }
}

TEST_F(KeepAliveTest, ACallThatEndedIsNoticedOnTheModemLine)
{
    gatewaysim::Config cfg;
    cfg.modemGuardMs = 500;
    ASSERT_NO_FATAL_FAILURE(startModemGateway(cfg));
    dialogs().onModal([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("ed1"))->setText(QStringLiteral("77"));
        d->accept();
    });
    dialogs().onModal([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("edUser"))->setText(QStringLiteral("admin"));
        d->findChild<QLineEdit*>(QStringLiteral("edPassword"))->setText(QStringLiteral("admin"));
        d->accept();
    });
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->dropSessions(); // the call ends with "NO CARRIER"
    quietFor(91);
    fMain->tLoginTimerTimer();
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(CurrentConnection.Modem);
    expectConnectedState(false);
}

TEST_F(KeepAliveTest, TelnetTextGoesToTheLinkUnlessARouteTakesIt)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ClearTcpReceived();

    fMain->tcpDataAvailable("one ");
    fMain->tcpDataAvailable("");
    fMain->tcpDataAvailable("two");
    EXPECT_EQ(CurrentConnection.TcpReceived, "one two");

    QByteArray routed;
    routeTcpText = [&routed](const QByteArray& t) { routed += t; };
    terminalOverTcp = true;
    fMain->tcpDataAvailable("three");
    EXPECT_EQ(routed, "three");
    EXPECT_EQ(CurrentConnection.TcpReceived, "one two");

    tcpUpgradeActive = true;
    fMain->tcpDataAvailable("four");
    EXPECT_EQ(routed, "three") << "the upgrade takes the text itself";
    EXPECT_EQ(CurrentConnection.TcpReceived, "one two");
    tcpUpgradeActive = false;

    // A route on while the telnet connection has gone: the window disconnects.
    tcp->Disconnect();
    fMain->tcpDataAvailable("five");
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(terminalOverTcp) << "the disconnect ends the terminal's route";
}

TEST_F(KeepAliveTest, DisconnectRunsTheLiveToolsStopsInTheirOrder)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    QList<int> order;
    for (int i = LiveToolStopCount - 1; i >= 0; --i)
        liveToolStops[size_t(i)] = [&order, i] { order.append(i); };
    fMain->tbDisconnectClick();
    EXPECT_EQ(order, (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(CurrentConnection.Connected);

    upgradeDisconnect = true;
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const QString shown = panel0();
    fMain->mDisconnectClick();
    EXPECT_EQ(panel0(), shown) << "a disconnect for the upgrade keeps the gateway's line";
}

} // namespace
