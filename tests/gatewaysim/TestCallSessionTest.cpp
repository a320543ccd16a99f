// The test-call stream of the simulated gateway through a raw socket: which start lines it takes, how each
// line is answered in each phase of the call, and the silent switch.
#include "SimPeers.h"

#include <gtest/gtest.h>

using simtest::TcpPeer;

namespace {

TEST(TestCallSession, TakesOnlyItsStartLinesAndAnswersEachPhase)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.testCallScript = {"\r\nringing\r\n"};
    cfg.testCallIntervalMs = 20;
    gatewaysim::Gateway gw(cfg);
    TcpPeer peer;
    const quint16 port = gw.startTcp();
    ASSERT_TRUE(port != 0 && peer.connectTo(port));
    ASSERT_TRUE(peer.login().endsWith("\r\nOK\r\n"));
    auto command = [&peer](const QByteArray& line) {
        peer.send(line + "\r\n");
        return peer.readReply();
    };
    for (const char* bad :
         {"AT!SP2=1", "AT!SX32=1", "AT!SP32=", "AT!SP32=12a", "AT!SP32=123 ", "AT!WP", "AT!WE33", "AT!WG32=1", "AT!D"})
        EXPECT_EQ(command(bad), "\r\nERROR\r\n") << bad;
    EXPECT_EQ(peer.drain(100), QByteArray());

    // Set up, broken off, a second line end ignored, hung up, ended.
    peer.send("AT!WG32\r\n");
    EXPECT_EQ(peer.readUntil("ringing\r\n"), "\r\nringing\r\n");
    peer.send("\r\n");
    EXPECT_EQ(peer.readUntil("OK\r\n"), "\r\nOK\r\n");
    peer.send("\r\n");
    peer.send(" AT!D\r\n");
    EXPECT_EQ(peer.readUntil("16\r\n"), "\r\nRELEASE cause 16\r\n");
    peer.send("AT!D\r\n");
    EXPECT_EQ(peer.drain(100), QByteArray());
    peer.send("\r\n");
    EXPECT_EQ(peer.readUntil("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(command("AT"), "\r\nOK\r\n") << "command mode again";

    // Another line during a test is refused and ends it; silence mutes the stream while it is on.
    peer.send("AT!SE1=0*#+\r\n");
    EXPECT_EQ(peer.readUntil("ringing\r\n"), "\r\nringing\r\n");
    EXPECT_EQ(command("ATI3"), "\r\nERROR\r\n");
    EXPECT_EQ(command("AT"), "\r\nOK\r\n");
    peer.send("AT!SP32=123\r\n");
    EXPECT_EQ(peer.readUntil("ringing\r\n"), "\r\nringing\r\n");
    gatewaysim::Faults silent;
    silent.silent = true;
    gw.setFaults(silent);
    peer.send("\r\n");
    EXPECT_EQ(peer.drain(100), QByteArray());
    gw.setFaults({});
    peer.send(" AT!D\r\n");
    EXPECT_EQ(peer.readUntil("16\r\n"), "\r\nRELEASE cause 16\r\n");
    peer.send("\r\n");
    EXPECT_EQ(peer.readUntil("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(gw.receivedLines().mid(gw.receivedLines().indexOf("AT!SP32=123\r\n")),
              (QList<QByteArray>{"AT!SP32=123\r\n", "\r\n", " AT!D\r\n", "\r\n"}));
}

} // namespace
