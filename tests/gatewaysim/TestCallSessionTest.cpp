// The test-call stream of the simulated gateway through a raw socket: which start lines it takes, that another
// line ends a test, and the silent switch. (The phases of a call are walked by the program's own tests.)
#include "SimPeers.h"

#include <gtest/gtest.h>

namespace {

TEST(TestCallSession, TakesOnlyItsStartLinesRefusesOtherLinesAndFallsSilentOnTheSwitch)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.testCallScript = {"\r\nringing\r\n"};
    cfg.testCallIntervalMs = 20;
    gatewaysim::Gateway gw(cfg);
    simtest::TcpPeer peer;
    const quint16 port = gw.startTcp();
    ASSERT_TRUE(port != 0 && peer.connectTo(port));
    ASSERT_TRUE(peer.login().endsWith("\r\nOK\r\n"));
    for (const char* bad : {"AT!SP2=1", "AT!SX32=1", "AT!SP32=", "AT!SP32=12a", "AT!SP32=123 ", "AT!WP", "AT!WE33",
                            "AT!WG32=1", "AT!D"}) {
        peer.send(QByteArray(bad) + "\r\n");
        EXPECT_EQ(peer.readReply(), "\r\nERROR\r\n") << bad;
    }
    peer.send("AT!SE1=0*#+\r\n");
    EXPECT_EQ(peer.readUntil("ringing\r\n"), "\r\nringing\r\n");
    peer.send("ATI3\r\nAT\r\n");
    EXPECT_EQ(peer.readUntil("OK\r\n"), "\r\nERROR\r\n\r\nOK\r\n") << "command mode after the refusal";

    peer.send("AT!WG32\r\n");
    EXPECT_EQ(peer.readUntil("ringing\r\n"), "\r\nringing\r\n");
    gatewaysim::Faults silent;
    silent.silent = true;
    gw.setFaults(silent);
    peer.send("\r\n AT!D\r\n\r\n");
    EXPECT_EQ(peer.drain(200), QByteArray());
    gw.setFaults({});
    peer.send("AT\r\n");
    EXPECT_EQ(peer.readReply(), "\r\nOK\r\n") << "the muted test ended all the same";
}

} // namespace
