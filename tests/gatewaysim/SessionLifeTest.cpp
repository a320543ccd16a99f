// How a simulated session ends when a test drops it.
#include "SimPeers.h"

#include <QTest>
#include <gtest/gtest.h>

using simtest::PtyPeer;
using simtest::TcpPeer;

namespace {

TEST(DroppedSessions, TelnetClosesAndTheModemHangsUp)
{
    gatewaysim::Gateway gw(simtest::testConfig());
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
    modem.send("ATDT42\r");
    EXPECT_EQ(modem.readUntil("login: "), "\r\nCONNECT 9600\r\n\r\nMX login: ") << "not back in command mode";
}

} // namespace
