// The serial port over a socat pty pair: side A is the ComPort under test, side B a plain descriptor that plays
// the gateway. Time checks are loose bounds that only catch a wrong rule (a read that ends before its time-out
// although nothing came, or one that waits on long after it), never a precise duration.
#include "platform/ComPort.h"
#include "support/PtyPair.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
constexpr quint32 kMaxDword = 0xFFFFFFFFu;

// The far end of the pair, raw and blocking.
class Peer
{
public:
    explicit Peer(const QString& path) : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY)) {}
    ~Peer() { ::close(fd_); }
    bool send(const QByteArray& bytes) { return ::write(fd_, bytes.constData(), bytes.size()) == bytes.size(); }
    // Reads until count bytes are in or nothing comes for quietMs.
    QByteArray receive(qsizetype count, int quietMs = 1000)
    {
        QByteArray got;
        char buf[4096];
        pollfd p{fd_, POLLIN, 0};
        while (got.size() < count && ::poll(&p, 1, quietMs) > 0) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }
    int fd_;
};

class ComPortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pair.isReady()) << pair.errorString().toStdString();
        ASSERT_TRUE(port.open(pair.pathA(), 9600)) << port.errorString().toStdString();
        ASSERT_GE(peer.fd_, 0);
    }

    // Sends bytes from the peer and waits until they are queued on our side.
    void peerSendsAndArrives(const QByteArray& bytes)
    {
        ASSERT_TRUE(peer.send(bytes));
        pollfd p{port.fd(), POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 2000), 1);
        std::this_thread::sleep_for(100ms); // let socat pass the rest too
    }

    QByteArray timedRead(qint64 size, qint64& elapsedMs, qint64* result = nullptr)
    {
        QByteArray into(size, '\0');
        QElapsedTimer t;
        t.start();
        const qint64 n = port.read(into.data(), size);
        elapsedMs = t.elapsed();
        if (result)
            *result = n;
        into.resize(std::max<qint64>(n, 0));
        return into;
    }

    PtyPair pair;
    ComPort port;
    Peer peer{pair.pathB()};
};

} // namespace

TEST(ComPortNames, OldComNamesMapToTtySAndPathsStay)
{
    const std::pair<const char*, const char*> cases[] = {
        {"com12", "/dev/ttyS11"}, {"COM0", "COM0"}, {"/dev/ttyUSB0", "/dev/ttyUSB0"}};
    for (const auto& [name, device] : cases)
        EXPECT_EQ(ComPort::deviceFromName(QString::fromLatin1(name)), QString::fromLatin1(device)) << name;
}

TEST_F(ComPortTest, SecondUserGetsPortBusyUntilTheFirstCloses)
{
    ComPort second;
    EXPECT_FALSE(second.open(pair.pathA()));
    EXPECT_TRUE(second.isBusyError());
    EXPECT_EQ(second.errorString(), QStringLiteral("Port %1 is busy").arg(pair.pathA()));

    port.close();
    EXPECT_TRUE(second.open(pair.pathA())) << second.errorString().toStdString();
    EXPECT_FALSE(second.isBusyError());
}

TEST_F(ComPortTest, LineSettingAndBaudRates)
{
    // The speeds themselves are checked where the simulated gateway hears only its own speed.
    termios tio{};
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD), tcflag_t(CS8 | CLOCAL | CREAD));
    EXPECT_FALSE(port.setBaudRate(12345));

    port.close();
    EXPECT_FALSE(port.open(pair.pathA(), 14400));
    EXPECT_TRUE(port.errorString().contains(QStringLiteral("14400")));
}

TEST_F(ComPortTest, EveryByteValuePassesUnchangedBothWays)
{
    // CR, LF, XON/XOFF, ^C, DEL and 0x00 must not be translated, swallowed or act as signals.
    QByteArray all;
    for (int i = 0; i < 512; ++i)
        all.append(char(i));

    port.setTimeouts({200, 0, 2000, 0, 0});
    ASSERT_TRUE(peer.send(all));
    QByteArray got(all.size(), '\0');
    for (qint64 n = 0; n < all.size();) {
        const qint64 r = port.read(got.data() + n, all.size() - n);
        ASSERT_GT(r, 0) << "after " << n << " bytes";
        n += r;
    }
    EXPECT_EQ(got, all);

    EXPECT_EQ(port.write(all), all.size());
    EXPECT_EQ(peer.receive(all.size()), all);
}

TEST_F(ComPortTest, TotalTimeoutWithNoDataReturnsNothingAfterAboutTheTotal)
{
    const struct
    {
        CommTimeouts t;
        qint64 size;
        qint64 totalMs;
    } cases[] = {
        {{0, 0, 300, 0, 0}, 4, 300},   // constant only
        {{0, 100, 0, 0, 0}, 3, 300},   // multiplier only: per byte asked
        {{0, 50, 100, 0, 0}, 4, 300},  // both
        {{70, 70, 160, 0, 0}, 1, 230}, // the program's normal time-outs: the interval never starts
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(port.setTimeouts(c.t));
        qint64 ms = 0, n = -2;
        timedRead(c.size, ms, &n);
        EXPECT_EQ(n, 0) << c.totalMs;
        EXPECT_GE(ms, c.totalMs - 20) << "returned before the total time-out although no byte came";
        EXPECT_LT(ms, c.totalMs + 1500) << "waited far longer than the total time-out";
        EXPECT_FALSE(port.isDisconnected());
    }
}

TEST_F(ComPortTest, IntervalStartsAtTheFirstByteAndEndsTheReadAfterABurst)
{
    ASSERT_TRUE(port.setTimeouts({100, 0, 5000, 0, 0})); // only the pause after a burst can end it early
    std::thread writer([this] {
        std::this_thread::sleep_for(400ms); // longer than the interval: it must not run before the first byte
        peer.send("abc");
        std::this_thread::sleep_for(1500ms);
        peer.send("def");
    });
    qint64 ms = 0;
    EXPECT_EQ(timedRead(10, ms), QByteArray("abc"));
    EXPECT_LT(ms, 1600) << "the pause after the burst did not end the read";
    EXPECT_EQ(timedRead(10, ms), QByteArray("def")) << "the second burst is there for the next read";
    writer.join();
}

TEST_F(ComPortTest, ReadsWhatIsThereAndStopsAtTheCountAsked)
{
    ASSERT_TRUE(port.setTimeouts({0, 0, 3000, 0, 0}));
    ASSERT_NO_FATAL_FAILURE(peerSendsAndArrives("0123456789"));
    qint64 ms = 0;
    EXPECT_EQ(timedRead(4, ms), QByteArray("0123"));
    EXPECT_EQ(timedRead(6, ms), QByteArray("456789"));
    EXPECT_LT(ms, 1500) << "waited although all bytes asked for were in";

    // Fewer bytes than asked: the total time-out ends the read with what came.
    ASSERT_TRUE(port.setTimeouts({0, 0, 300, 0, 0}));
    ASSERT_TRUE(peer.send("ab"));
    EXPECT_EQ(timedRead(5, ms), QByteArray("ab"));
    EXPECT_GE(ms, 280) << "a partial read ended before the total time-out";
}

TEST_F(ComPortTest, MaxDwordIntervalReturnsAtOnceWithWhatIsBuffered)
{
    ASSERT_TRUE(port.setTimeouts({kMaxDword, 0, 0, 0, 0}));
    ASSERT_NO_FATAL_FAILURE(peerSendsAndArrives("xyz"));
    // Taken for an ordinary interval, these time-outs would wait for all 8 bytes: the late bytes end that wait.
    std::thread rescuer([this] {
        std::this_thread::sleep_for(1500ms);
        peer.send("12345678");
    });
    qint64 ms = 0;
    EXPECT_EQ(timedRead(8, ms), QByteArray("xyz"));
    EXPECT_LT(ms, 1000) << "waited although what was buffered is all there is";
    rescuer.join();
}

TEST_F(ComPortTest, ReceivedZeroByteIsToldApartFromATimeOut)
{
    ASSERT_TRUE(port.setTimeouts(kNormalTimeouts));
    ASSERT_TRUE(peer.send(QByteArray(1, '\0')));
    char c = 'x';
    EXPECT_TRUE(port.readByte(c));
    EXPECT_EQ(c, '\0');
    c = 'x';
    EXPECT_FALSE(port.readByte(c));
    EXPECT_EQ(c, 'x');
    EXPECT_FALSE(port.isDisconnected());
}

TEST_F(ComPortTest, LargeWriteWaitsForTheDeviceAndSendsEverything)
{
    QByteArray big(256 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 + i / 251);
    QByteArray received;
    std::thread reader([&] {
        std::this_thread::sleep_for(300ms); // let the queues fill up first
        received = peer.receive(big.size(), 3000);
    });
    EXPECT_EQ(port.write(big), big.size());
    reader.join();
    EXPECT_TRUE(received == big) << received.size() << " of " << big.size() << " bytes";
}

TEST_F(ComPortTest, UnpluggedLineEndsAWaitingReadWithAnError)
{
    ASSERT_TRUE(port.setTimeouts({0, 0, 10000, 0, 0}));
    std::thread unplugger([this] {
        std::this_thread::sleep_for(200ms);
        pair.unplug();
    });
    qint64 ms = 0, n = 0;
    timedRead(4, ms, &n);
    unplugger.join();
    EXPECT_EQ(n, -1);
    EXPECT_TRUE(port.isDisconnected());
    EXPECT_LT(ms, 8000) << "the hang-up did not end the read";

    char c;
    EXPECT_FALSE(port.readByte(c));
    EXPECT_EQ(port.write("x", 1), -1);
    EXPECT_FALSE(port.open(pair.pathA())); // the device is gone, and a fresh open clears the state
    EXPECT_FALSE(port.isDisconnected());
}

// A close while another thread waits in a read (a stop's bounded join that ran out) wakes that read and closes the
// descriptor only after it: the read ends, and nothing reads or writes the closed (or reused) descriptor.
TEST_F(ComPortTest, ACloseWakesAWaitingReadAndClosesTheDescriptorAfterIt)
{
    ASSERT_TRUE(port.setTimeouts({0, 0, 0, 0, 0})); // the read waits until all bytes asked for are in
    std::atomic<bool> ended{false};
    qint64 n = 1;
    std::thread reader([&] {
        char buf[4];
        n = port.read(buf, sizeof buf);
        ended = true;
    });
    std::this_thread::sleep_for(300ms);
    port.close();
    QElapsedTimer t;
    t.start();
    while (!ended && t.elapsed() < 10000)
        std::this_thread::sleep_for(10ms);
    const bool woken = ended;
    if (!woken)
        peer.send("wake"); // a read the close left waiting ends so that its thread can be joined
    reader.join();
    EXPECT_TRUE(woken) << "the read still waited after the close";
    EXPECT_LE(n, 0);
    EXPECT_FALSE(port.isOpen());
    char c;
    EXPECT_FALSE(port.readByte(c));
    EXPECT_EQ(port.write("x", 1), -1);
}
