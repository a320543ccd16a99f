// Each fault switch does what it says, takes effect with the next command when switched while connected, and
// concerns only the commands after the login.
#include "SimPeers.h"

#include <gtest/gtest.h>

namespace {

struct Faulty
{
    explicit Faulty(const gatewaysim::Faults& f = {})
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

TEST(Faults, EachSwitchShapesTheRepliesFromTheNextCommandOn)
{
    using F = gatewaysim::Faults;
    const struct
    {
        const char* name;
        std::function<void(F&)> set;
        QByteArray command, reply;
        int quietMs = 0;  // nothing may come for this long first
        int minReads = 1; // the reply comes in at least this many pieces
    } cases[] = {
        {"none", [](F&) {}, "AT&V\r\n", kViewReply},
        {"errorToAll", [](F& f) { f.errorToAll = true; }, "AT&V\r\n", "\r\nERROR\r\n"},
        {"errorToAll set", [](F& f) { f.errorToAll = true; }, "AT%S91=1,1\r\n", "\r\nERROR\r\n"},
        {"errorOn",
         [](F& f) {
             f.errorOn = {"AT&V0", "AT%S91=1,1"};
         },
         "AT%S91=1,1\r\n", "\r\nERROR\r\n"},
        {"errorOn another",
         [](F& f) {
             f.errorOn = {"AT&V0", "AT&V "};
         },
         "AT&V\r\n", kViewReply},
        {"noOk", [](F& f) { f.noOk = true; }, "AT&V\r\n", "\r\nS91=5,12\r\nX22=07:30\r\n"},
        {"noOk keeps errors", [](F& f) { f.noOk = true; }, "ATX\r\n", "\r\nERROR\r\n"},
        {"silent", [](F& f) { f.silent = true; }, "AT%S91=1,1\r\n", "", 0, 0},
        {"silentOn",
         [](F& f) {
             f.silentOn = {"AT&V0", "AT%S91=1,1"};
         },
         "AT%S91=1,1\r\n", "", 0, 0},
        {"silentOn another",
         [](F& f) {
             f.silentOn = {"AT&V0", "AT&V "};
         },
         "AT&V\r\n", kViewReply},
        {"chunks", [](F& f) { f.chunkSize = 4, f.chunkDelayMs = 40; }, "AT&V\r\n", kViewReply, 0, 2},
        {"trickle", [](F& f) { f.trickleMs = 5; }, "AT&V\r\n", kViewReply, 0, 4},
        {"delay", [](F& f) { f.replyDelayMs = 600; }, "AT&V\r\n", kViewReply, 200},
        {"swapped order", [](F& f) { f.swapKeyOrder = true; }, "AT&V9\r\n",
         "\r\nG99=0,12\r\nG191=3,#\r\nG91=2,3,3\r\nOK\r\n"},
    };
    Faulty s(F{.errorToAll = true, .noOk = true, .silent = true});
    ASSERT_TRUE(s.openAndLogin()) << "the faults reached the login";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        F f;
        c.set(f);
        s.gw->setFaults(f);
        s.peer.reads = 0;
        s.peer.send(c.command);
        if (c.quietMs > 0) {
            EXPECT_EQ(s.peer.drain(c.quietMs), QByteArray());
        }
        EXPECT_EQ(s.peer.readUntil(c.reply), c.reply);
        EXPECT_EQ(s.peer.drain(150), QByteArray());
        EXPECT_GE(s.peer.reads, c.minReads);
    }
    EXPECT_EQ(s.gw->value("S91"), "5,12") << "a refused or unanswered set stored something";
    EXPECT_EQ(s.gw->receivedLines().size(), 2 + int(std::size(cases))) << "a command was not heard";
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

TEST(Faults, BootModeShowsTheBannerInsteadOfTheLogin)
{
    gatewaysim::Faults f;
    f.bootMode = true;
    Faulty s(f);
    ASSERT_TRUE(s.peer.connectTo(s.gw->startTcp()));
    EXPECT_EQ(s.peer.readUntil("]\r\n"), simtest::kNegotiation + "\r\n[ BOOT 02.62 ]\r\n");
    s.peer.send("admin\r\n");
    EXPECT_EQ(s.peer.drain(200), QByteArray());
    s.peer.send("\r\n");
    EXPECT_EQ(s.peer.readUntil("]\r\n"), "\r\n[ BOOT 02.62 ]\r\n");
    EXPECT_EQ(s.gw->loginCount(), 0);
}
