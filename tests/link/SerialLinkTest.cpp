// The serial and modem links over a pty pair: the code under test holds one end as its port, the test plays
// the gateway on the other end byte by byte.
#include "link/LinkIo.h"
#include "link/LinkOpen.h"
#include "online/GatewayClock.h"
#include "platform/ComPort.h"
#include "platform/Wait.h"
#include "support/FreezeMeter.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

class SerialLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetLinkState();
        Clock::reset();
        ASSERT_TRUE(pair.isReady()) << pair.errorString().toStdString();
        port = std::make_shared<ComPort>();
        ASSERT_TRUE(port->open(pair.pathA(), 9600)) << port->errorString().toStdString();
        port->setTimeouts(kNormalTimeouts);
        peer = ::open(pair.pathB().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(peer, 0);
        CurrentConnection.LinkType = LinkSerial;
        CurrentConnection.Handle = port;
    }

    void TearDown() override
    {
        resetLinkState();
        Clock::reset();
        if (peer >= 0)
            ::close(peer);
        port.reset();
    }

    void peerSends(const QByteArray& bytes)
    {
        ASSERT_EQ(::write(peer, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }

    // What the peer received within the time given, stopping once `expected` bytes are in.
    QByteArray peerReceives(qsizetype expected, int timeoutMs = 2000)
    {
        QByteArray got;
        char buf[256];
        while (got.size() < expected) {
            pollfd p{peer, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0)
                break;
            const ssize_t n = ::read(peer, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

    PtyPair pair;
    std::shared_ptr<ComPort> port;
    int peer = -1;
};

TEST_F(SerialLinkTest, WritesGoOutOnSerialAndIsdnModemLinks)
{
    lastLinkActivity = 0;
    EXPECT_EQ(LinkWrite(CurrentConnection, "AT&V0\r\n"), 7u);
    EXPECT_GE(lastLinkActivity.load(), Clock::seconds() - 1);
    EXPECT_EQ(peerReceives(7), "AT&V0\r\n");
    // A length past the text is cut to the text; the count shows the write as short.
    EXPECT_EQ(LinkWrite(CurrentConnection, "AT", 5), 2u);
    EXPECT_EQ(peerReceives(2), "AT");
    // Binary bytes, 0x00 included, go out as they are, on each link type that has a port.
    for (quint8 type : {quint8(LinkSerial), quint8(LinkIsdnModem), quint8(LinkModem)}) {
        CurrentConnection.LinkType = type;
        EXPECT_EQ(LinkWrite(CurrentConnection, QByteArray("\x00\x01\xff", 3)), 3u) << int(type);
        EXPECT_EQ(peerReceives(3), QByteArray("\x00\x01\xff", 3)) << int(type);
    }
    EXPECT_EQ(ComWrite(nullptr, "x", 1), 0u);
}

TEST_F(SerialLinkTest, ReadsEndAtSilenceAtZeroAndAtTheCap)
{
    peerSends("\r\nOK\r\n");
    EXPECT_EQ(ReadReply(1024), "\r\nOK\r\n");

    peerSends("0123456789");
    EXPECT_EQ(LinkRead(5), "0123"); // size - 1 bytes, the rest stays in the port
    EXPECT_EQ(LinkReadTimeout(100, 0.01), "456789");

    peerSends(QByteArray("ab\0cd", 5));
    EXPECT_EQ(ComRead(port.get(), 64, false), "ab"); // a 0x00 reads as "nothing came"
    EXPECT_EQ(ComRead(port.get(), 64, false), "cd");

    peerSends("Z");
    EXPECT_EQ(ComReadByte(port.get()), quint8('Z'));
    EXPECT_EQ(ComReadByte(port.get()), 0);

    // Silence: nothing read, and a read that brings nothing leaves the activity stamp alone.
    lastLinkActivity = 7;
    EXPECT_EQ(LinkRead(64), "");
    EXPECT_EQ(lastLinkActivity.load(), 7);
    peerSends("x");
    EXPECT_EQ(LinkRead(64), "x");
    EXPECT_GE(lastLinkActivity.load(), Clock::seconds() - 1);
}

TEST_F(SerialLinkTest, ModemLineReads)
{
    CurrentConnection.LinkType = LinkModem;
    peerSends("0123456789");
    EXPECT_EQ(LinkRead(4), "012");
    EXPECT_EQ(LinkRead(64), "3456789");

    // The reply is read once, after the modem's pause.
    ASSERT_EQ(LinkWrite(CurrentConnection, "AT\r\n"), 4u);
    EXPECT_EQ(peerReceives(4), "AT\r\n");
    peerSends("\r\nOK\r\n");
    EXPECT_EQ(ReadReply(1024), "\r\nOK\r\n");

    // Without a handle the modem line's own port carries the data; with neither nothing is read or written.
    CurrentConnection.Handle.reset();
    EXPECT_EQ(LinkWrite(CurrentConnection, "AT\r\n"), 0u);
    EXPECT_EQ(LinkRead(64), "");
}

TEST_F(SerialLinkTest, UnpluggedPortEndsReadsAndWrites)
{
    pair.unplug();
    EXPECT_EQ(LinkRead(64), "");
    EXPECT_TRUE(port->isDisconnected());
    EXPECT_EQ(ReadReply(64), "");
    EXPECT_EQ(LinkWrite(CurrentConnection, "AT\r\n"), 0u);
}

// An answer as a gateway sends it: each piece at its moment after the command, written by the far end while the
// read runs the window's events.
struct Piece
{
    int atMs;
    QByteArray bytes;
};

struct WholeReplyRow
{
    const char* name;
    quint8 link;
    QList<Piece> pieces;
};

void PrintTo(const WholeReplyRow& row, std::ostream* os)
{
    *os << row.name;
}

class WholeReplyTest : public SerialLinkTest, public ::testing::WithParamInterface<WholeReplyRow>
{
};

TEST_P(WholeReplyTest, IsReadToItsEndWithTheWindowsEventsRunning)
{
    CurrentConnection.LinkType = GetParam().link;
    QByteArray whole;
    for (const Piece& piece : GetParam().pieces) {
        whole += piece.bytes;
        QTimer::singleShot(piece.atMs, [this, piece] { peerSends(piece.bytes); });
    }
    // The longest stretch in which the window's events were not handled while the read ran.
    FreezeMeter freeze(10);
    const QByteArray reply = ReadReply(4096);
    freeze.stop();
    EXPECT_EQ(reply, whole);
    EXPECT_LT(freeze.longestMs(), 400) << "ms without the window's events";
    EXPECT_EQ(LinkReadWithin(64, 300), "") << "nothing of the answer is left for the next command";
}

const WholeReplyRow kWholeReplyRows[] = {
    {"SerialLate400", LinkSerial, {{400, "\r\nOK\r\n"}}},
    {"SerialLate1500", LinkSerial, {{1500, "\r\nS01=1\r\n"}, {1600, "\r\nOK\r\n"}}},
    // A value that ends in "OK" is no verdict, wherever a piece ends.
    {"SerialValueEndingInOk",
     LinkSerial,
     {{0, "\r\nI62=Gateway OK"}, {500, "\r\nI60=00:00,0\r\n"}, {900, "\r\nOK\r\n"}}},
    {"SerialPageEnd", LinkSerial, {{0, "\r\nL0=1\r\n"}, {600, "<SPACE>\r\n"}}},
    {"ModemLate2000", LinkModem, {{2000, "\r\nERROR\r\n"}}},
    {"ModemPausing1200", LinkModem, {{0, "\r\nG02=1,2\r\n"}, {1200, "G03=4\r\n"}, {2400, "\r\nOK\r\n"}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, WholeReplyTest, ::testing::ValuesIn(kWholeReplyRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A read "of what has come by now" (the reset's look at the modem's answer after a call's end) takes the text
// that has come even when its millisecond is over before it reads: on a loaded machine the clock moves on
// between the read's start and its first look at the port.
TEST_F(SerialLinkTest, AReadWhoseTimeIsSpentStillTakesWhatHasCome)
{
    for (const quint8 link : {quint8(LinkSerial), quint8(LinkModem)}) {
        CurrentConnection.LinkType = link;
        peerSends("\r\nERROR\r\n");
        QElapsedTimer clock;
        clock.start();
        int waiting = 0;
        while (::ioctl(port->fd(), FIONREAD, &waiting) == 0 && waiting < 9 && clock.elapsed() < 5000)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_EQ(waiting, 9) << "the whole answer has come";
        std::atomic<bool> running{true};
        std::thread clockMoves([&] {
            while (running)
                Clock::advance(1);
        });
        for (const qint64 from = Clock::milliseconds(); Clock::milliseconds() < from + 1000;)
            std::this_thread::yield(); // the clock is moving
        const QByteArray got = LinkReadWithin(64, 1);
        running = false;
        clockMoves.join();
        EXPECT_EQ(got, "\r\nERROR\r\n") << int(link);
        Clock::reset();
    }
}

// The user's Disconnect (or any close of the link) ends a read that waits on it at once; a new link's text is
// never taken for the old one's answer.
TEST_F(SerialLinkTest, AClosedLinkEndsTheReadThatWaitsOnIt)
{
    for (const quint8 link : {quint8(LinkSerial), quint8(LinkModem)}) {
        CurrentConnection.LinkType = link;
        CurrentConnection.Handle = port;
        ASSERT_TRUE(port->isOpen() || port->open(pair.pathA(), 9600));
        QTimer::singleShot(1000, [] { CloseLink(CurrentConnection); });
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ReadWholeReply(15000), "") << int(link);
        EXPECT_LT(clock.elapsed(), 1600) << int(link);
    }
}

// A reader's pause on the serial port ends once the login prompt has come, so that no command goes out behind it;
// the text stays for the read after the pause. Other text lets the pause run.
TEST_F(SerialLinkTest, APauseEndsAtThePromptAndLeavesItForTheReader)
{
    QTimer::singleShot(100, [this] { peerSends("\r\nOK\r\n"); });
    QElapsedTimer clock;
    clock.start();
    PauseOnLink(600);
    EXPECT_GE(clock.elapsed(), 590) << "text that is no prompt";
    EXPECT_EQ(LinkReadWithin(64, 500), QByteArray("\r\nOK\r\n"));

    // The prompt's text within a line that an earlier read began (a call record's) is no prompt either.
    peerSends("\r\nGSM0: ");
    EXPECT_EQ(LinkReadWithin(64, 500), QByteArray("\r\nGSM0: "));
    QTimer::singleShot(100, [this] { peerSends("MX login: x"); });
    clock.restart();
    PauseOnLink(600);
    EXPECT_GE(clock.elapsed(), 590) << "the prompt's text within a line";
    EXPECT_EQ(LinkReadWithin(64, 500), QByteArray("MX login: x"));

    QTimer::singleShot(100, [this] { peerSends("\r\nMX login: "); });
    clock.restart();
    PauseOnLink(10000);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(LinkReadWithin(64, 500), QByteArray("\r\nMX login: "));
}

} // namespace
