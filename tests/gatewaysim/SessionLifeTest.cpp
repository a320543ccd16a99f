// How a simulated session begins and ends: the serial line's speed, a refused login, the idle logout and the
// sessions a test drops.
#include "SimPeers.h"

#include <QTest>
#include <gtest/gtest.h>

#include <termios.h>

using simtest::PtyPeer;
using simtest::TcpPeer;

namespace {

void setSpeed(PtyPeer& line, speed_t speed)
{
    termios t{};
    ASSERT_EQ(tcgetattr(line.fd, &t), 0);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    ASSERT_EQ(tcsetattr(line.fd, TCSANOW, &t), 0);
}

TEST(SerialSpeed, TheGatewayHearsOnlyWhatComesAtItsOwnSpeed)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.serialBaudRate = 38400;
    gatewaysim::Gateway gw(cfg);
    PtyPeer line;
    ASSERT_TRUE(line.open(gw.startSerialPty()));

    for (const speed_t wrong : {B9600, B19200, B57600, B115200}) {
        setSpeed(line, wrong);
        line.send("\r\n");
        EXPECT_EQ(line.drain(150), QByteArray()) << "speed code " << wrong;
    }
    EXPECT_TRUE(gw.receivedLines().isEmpty()) << "noise is no line";

    setSpeed(line, B38400);
    line.send("\r\n");
    EXPECT_EQ(line.readUntil("login: "), "\r\nMX login: ");
    EXPECT_EQ(gw.receivedLines(), QList<QByteArray>{"\r\n"});
}

TEST(SerialSpeed, WithoutASpeedSetEverySpeedIsUnderstood)
{
    gatewaysim::Gateway gw(simtest::testConfig());
    PtyPeer line;
    ASSERT_TRUE(line.open(gw.startSerialPty()));
    setSpeed(line, B115200);
    line.send("\r");
    EXPECT_EQ(line.readUntil("login: "), "\r\nMX login: ");
}

TEST(RefusedLogin, TheRightPairIsRefusedToo)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.faults.refuseLogin = true;
    gatewaysim::Gateway gw(cfg);
    TcpPeer peer;
    ASSERT_TRUE(peer.connectTo(gw.startTcp()));
    EXPECT_EQ(peer.login(), "\r\nLogin incorrect\r\n\r\nMX login: ");
    EXPECT_EQ(gw.loginCount(), 0);
}

TEST(IdleLogout, AQuietTelnetSessionIsClosedAndTrafficKeepsItOpen)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.idleLogoutMs = 400;
    gatewaysim::Gateway gw(cfg);
    TcpPeer peer;
    ASSERT_TRUE(peer.connectTo(gw.startTcp()));
    ASSERT_TRUE(peer.login().endsWith("\r\nOK\r\n"));
    for (int i = 0; i < 4; ++i) {
        QTest::qWait(200); // half the idle time, four times over: the session lives on
        peer.send("AT\r\n");
        EXPECT_TRUE(peer.readReply().endsWith("OK\r\n")) << i;
    }
    EXPECT_TRUE(peer.closedWithin(3000));
}

TEST(IdleLogout, TheSerialLineAsksForANewLogin)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.idleLogoutMs = 200;
    gatewaysim::Gateway gw(cfg);
    PtyPeer line;
    ASSERT_TRUE(line.open(gw.startSerialPty()));
    line.send("\r");
    ASSERT_EQ(line.login("admin", "admin", "\r", true), "\r\nOK\r\n");
    QTest::qWait(500);
    line.send("AT\r");
    EXPECT_EQ(line.readUntil("Password: "), "\r\nPassword: ") << "logged out: the command is taken as a user name";
}

TEST(DroppedSessions, TelnetClosesAndTheModemHangsUp)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.modemGuardMs = 150;
    gatewaysim::Gateway gw(cfg);
    TcpPeer peer;
    ASSERT_TRUE(peer.connectTo(gw.startTcp()));
    ASSERT_TRUE(peer.login().endsWith("\r\nOK\r\n"));
    PtyPeer modem;
    ASSERT_TRUE(modem.open(gw.startModemPty()));
    modem.send("ATDT42\r");
    ASSERT_EQ(modem.readUntil("CONNECT 9600\r\n"), "\r\nCONNECT 9600\r\n");
    ASSERT_TRUE(modem.login().endsWith("\r\nOK\r\n"));

    gw.dropSessions();
    EXPECT_TRUE(peer.closedWithin(3000));
    EXPECT_EQ(modem.readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
    EXPECT_FALSE(gw.modemInCall());
}

} // namespace
