// Each fault switch does what it says, and only after the login where it concerns commands.
#include "SimPeers.h"

#include <gtest/gtest.h>

namespace {

struct Faulty
{
    explicit Faulty(const gatewaysim::Faults& f)
    {
        gatewaysim::Config cfg = simtest::testConfig();
        cfg.faults = f;
        gw = std::make_unique<gatewaysim::Gateway>(cfg);
    }
    bool openAndLogin()
    {
        const quint16 port = gw->startTcp();
        return port != 0 && peer.connectTo(port) && peer.login().endsWith("\r\nOK\r\n");
    }

    std::unique_ptr<gatewaysim::Gateway> gw;
    simtest::TcpPeer peer;
};

const QByteArray kViewReply("\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n");

} // namespace

TEST(Faults, ErrorToAllRefusesEveryCommandAndStoresNothing)
{
    gatewaysim::Faults f;
    f.errorToAll = true;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    for (const char* cmd : {"AT\r\n", "AT&V\r\n", "ATI3\r\n", "AT%S91=1,1\r\n"}) {
        s.peer.send(cmd);
        EXPECT_EQ(s.peer.readReply(), "\r\nERROR\r\n") << cmd;
    }
    EXPECT_EQ(s.gw->value("S91"), "5,12");
}

TEST(Faults, NoOkLeavesTheFinalOkOutButKeepsErrors)
{
    gatewaysim::Faults f;
    f.noOk = true;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin()); // the login's own OK stays
    s.peer.send("AT&V\r\n");
    EXPECT_EQ(s.peer.drain(300), "\r\nS91=5,12\r\nX22=07:30\r\n");
    s.peer.send("AT\r\n");
    EXPECT_EQ(s.peer.drain(300), "\r\n");
    s.peer.send("ATX\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nERROR\r\n");
}

TEST(Faults, SilentAnswersNoCommandButHearsThem)
{
    gatewaysim::Faults f;
    f.silent = true;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    s.peer.send("AT\r\nAT%S91=1,1\r\n");
    EXPECT_EQ(s.peer.drain(300), QByteArray());
    EXPECT_EQ(s.gw->receivedLines().mid(2), (QList<QByteArray>{"AT\r\n", "AT%S91=1,1\r\n"}));
    EXPECT_EQ(s.gw->value("S91"), "5,12");
}

TEST(Faults, ChunksArriveInSeveralPiecesThatMakeTheWholeReply)
{
    gatewaysim::Faults f;
    f.chunkSize = 4;
    f.chunkDelayMs = 40;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    s.peer.reads = 0;
    s.peer.send("AT&V\r\n");
    EXPECT_EQ(s.peer.readReply(), kViewReply);
    EXPECT_GT(s.peer.reads, 1);
}

TEST(Faults, TrickleSendsByteAfterByte)
{
    gatewaysim::Faults f;
    f.trickleMs = 5;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    s.peer.reads = 0;
    s.peer.send("AT&V\r\n");
    EXPECT_EQ(s.peer.readReply(), kViewReply);
    EXPECT_GT(s.peer.reads, 3);
}

TEST(Faults, DelayedReplyComesLateButWhole)
{
    gatewaysim::Faults f;
    f.replyDelayMs = 600;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    s.peer.send("AT&V\r\n");
    EXPECT_EQ(s.peer.drain(100), QByteArray());
    EXPECT_EQ(s.peer.readReply(), kViewReply);
}

TEST(Faults, ConnectionDropsOnceTheReplyToTheNthCommandIsOut)
{
    gatewaysim::Faults f;
    f.dropAfterCommands = 2;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    s.peer.send("AT\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n");
    s.peer.send("AT&V\r\n");
    EXPECT_EQ(s.peer.readReply(), kViewReply);
    EXPECT_TRUE(s.peer.closedWithin(3000));
}

TEST(Faults, SwappedKeyOrderPutsTheLongerKeyFirst)
{
    gatewaysim::Faults f;
    f.swapKeyOrder = true;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    s.peer.send("AT&V9\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nG99=0,12\r\nG191=3,#\r\nG91=2,3,3\r\nOK\r\n");
}

TEST(Faults, OversizeAddsExactlyThatMuchFillerBeforeOk)
{
    gatewaysim::Faults f;
    f.oversizeBytes = 5000;
    Faulty s(f);
    ASSERT_TRUE(s.openAndLogin());
    s.peer.send("AT&V\r\n");
    const QByteArray reply = s.peer.readReply();
    const QByteArray head("\r\nS91=5,12\r\nX22=07:30\r\n");
    ASSERT_TRUE(reply.startsWith(head));
    ASSERT_TRUE(reply.endsWith("\r\nOK\r\n"));
    const QByteArray fill = reply.mid(head.size(), reply.size() - head.size() - 4);
    EXPECT_EQ(fill.size(), 5000);
    for (const QByteArray& line : fill.split('\n')) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        EXPECT_EQ(text.count('.'), text.size()); // dots only, never something that looks like a key
    }
}

TEST(Faults, BootModeShowsTheBannerInsteadOfTheLogin)
{
    gatewaysim::Faults f;
    f.bootMode = true;
    Faulty s(f);
    const quint16 port = s.gw->startTcp();
    ASSERT_TRUE(s.peer.connectTo(port));
    EXPECT_EQ(s.peer.readUntil("]\r\n"), simtest::kNegotiation + "\r\n[ BOOT B-01.02 ]\r\n");
    s.peer.send("admin\r\n");
    EXPECT_EQ(s.peer.drain(200), QByteArray());
    s.peer.send("\r\n");
    EXPECT_EQ(s.peer.readUntil("]\r\n"), "\r\n[ BOOT B-01.02 ]\r\n");
    EXPECT_EQ(s.gw->loginCount(), 0);
    EXPECT_EQ(s.gw->receivedLines(), (QList<QByteArray>{"admin\r\n", "\r\n"}));
}

TEST(Faults, SwitchedOnWhileConnectedTakesEffectWithTheNextCommand)
{
    Faulty s(gatewaysim::Faults{});
    ASSERT_TRUE(s.openAndLogin());
    s.peer.send("AT\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n");
    gatewaysim::Faults f;
    f.errorToAll = true;
    s.gw->setFaults(f);
    EXPECT_TRUE(s.gw->faults().errorToAll);
    s.peer.send("AT\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nERROR\r\n");
    s.gw->setFaults(gatewaysim::Faults{});
    s.peer.send("AT\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n");
}
