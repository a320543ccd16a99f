// Commands passed to a GSM module: the exact answer, its pieces, the mute module and the forms that are refused.
#include "SimPeers.h"

#include <gtest/gtest.h>

namespace {

struct Session
{
    explicit Session(const gatewaysim::Config& cfg) : gw(cfg) {}
    bool openAndLogin()
    {
        const quint16 port = gw.startTcp();
        return port != 0 && peer.connectTo(port) && peer.login().endsWith("\r\nOK\r\n");
    }

    gatewaysim::Gateway gw;
    simtest::TcpPeer peer;
};

TEST(ModuleCommands, AnswerInPiecesMuteModuleAndRefusedForms)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.moduleBursts = 4;
    cfg.moduleBurstMs = 150; // well apart, so a busy machine still reads more than one piece
    Session s(cfg);
    ASSERT_TRUE(s.openAndLogin());

    s.peer.reads = 0;
    s.peer.send("AT&G1=AT+CSQ\r\n");
    EXPECT_EQ(s.peer.readUntil("OK\r\n"), "\r\nGSM1: AT+CSQ\r\n\r\nOK\r\n");
    EXPECT_GT(s.peer.reads, 1) << "the answer comes in pieces";
    s.peer.send("\r\n"); // the program's end of a command: no answer
    EXPECT_EQ(s.peer.drain(150), QByteArray());

    for (const char* refused : {"AT&G2=ATI", "AT&G0=", "AT&G0ATI", "AT&G=ATI", "AT&g0=ATI"}) {
        s.peer.send(QByteArray(refused) + "\r\n");
        EXPECT_EQ(s.peer.readReply(), "\r\nERROR\r\n") << refused;
    }

    gatewaysim::Faults mute;
    mute.moduleSilent = true;
    s.gw.setFaults(mute);
    s.peer.send("AT&G0=ATI\r\n");
    EXPECT_EQ(s.peer.drain(300), QByteArray());
    s.peer.send("AT\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n") << "only the module is mute";

    s.gw.setFaults({});
    s.gw.clearLog();
    s.peer.send("AT&G0=ATI\r\n");
    EXPECT_EQ(s.peer.readUntil("OK\r\n"), "\r\nGSM0: ATI\r\n\r\nOK\r\n");
    EXPECT_EQ(s.gw.receivedLines(), QList<QByteArray>{"AT&G0=ATI\r\n"});
}

} // namespace
