// The serial port over a socat pty pair: side A is the ComPort under test, side B a plain descriptor that plays
// the gateway. Time checks are loose bounds that only catch a wrong rule (a read that ends before its time-out
// although nothing came, or one that waits on long after it), never a precise duration.
#include "platform/ComPort.h"
#include "support/PtyPair.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr quint32 kMaxDword = 0xFFFFFFFFu;

// The far end of the pair, raw and blocking.
class Peer
{
public:
    explicit Peer(const QString& path) : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY)) {}
    ~Peer() { close(); }
    bool isOpen() const { return fd_ >= 0; }
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    bool send(const QByteArray& bytes) { return ::write(fd_, bytes.constData(), bytes.size()) == bytes.size(); }
    // Reads until count bytes are in or nothing comes for quietMs.
    QByteArray receive(qsizetype count, int quietMs = 1000)
    {
        QByteArray got;
        while (got.size() < count) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0)
                break;
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

private:
    int fd_;
};

// Waits until the port has input queued (the bytes went through socat), without reading it.
bool inputArrives(const ComPort& port, int ms = 2000)
{
    pollfd p{port.fd(), POLLIN, 0};
    return ::poll(&p, 1, ms) == 1;
}

class ComPortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pair.isReady()) << pair.errorString().toStdString();
        ASSERT_TRUE(port.open(pair.pathA(), 9600)) << port.errorString().toStdString();
        ASSERT_TRUE(peer.isOpen());
    }

    qint64 timedRead(QByteArray& into, qint64 size, qint64& elapsedMs)
    {
        into.resize(size);
        QElapsedTimer t;
        t.start();
        const qint64 n = port.read(into.data(), size);
        elapsedMs = t.elapsed();
        into.resize(std::max<qint64>(n, 0));
        return n;
    }

    PtyPair pair;
    ComPort port;
    Peer peer{pair.pathB()};
};

} // namespace

TEST(PtyPairTest, JoinsTwoDevicesUntilUnplugged)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady()) << pair.errorString().toStdString();
    Peer a(pair.pathA());
    Peer b(pair.pathB());
    ASSERT_TRUE(a.isOpen() && b.isOpen());
    ASSERT_TRUE(a.send("ping"));
    EXPECT_EQ(b.receive(4), QByteArray("ping"));
    ASSERT_TRUE(b.send("pong"));
    EXPECT_EQ(a.receive(4), QByteArray("pong"));

    pair.unplug();
    EXPECT_FALSE(pair.isRunning());
    EXPECT_FALSE(QFileInfo::exists(pair.pathA()));
    pair.unplug(); // a second time is harmless
}

TEST(ComPortNames, OldComNamesMapToTtySAndPathsStay)
{
    const struct
    {
        const char* name;
        const char* device;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM3", "/dev/ttyS2"},
        {"com12", "/dev/ttyS11"},
        {"COM0", "COM0"},
        {"COMX", "COMX"},
        {"COM", "COM"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-x", "/dev/serial/by-id/usb-x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComPort::deviceFromName(QString::fromLatin1(c.name)), QString::fromLatin1(c.device)) << c.name;

    ComPort port;
    port.open(QStringLiteral("COM3"));
    EXPECT_EQ(port.deviceName(), QStringLiteral("/dev/ttyS2"));
}

TEST(ComPortOpen, MissingDeviceFailsWithoutBusyFlag)
{
    ComPort port;
    EXPECT_FALSE(port.open(QStringLiteral("/dev/does-not-exist-serial")));
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.isBusyError());
    EXPECT_FALSE(port.errorString().isEmpty());
    char c;
    EXPECT_EQ(port.read(&c, 1), -1);
    EXPECT_EQ(port.write("x", 1), -1);
}

TEST_F(ComPortTest, SecondUserGetsPortBusyUntilTheFirstCloses)
{
    ComPort second;
    EXPECT_FALSE(second.open(pair.pathA()));
    EXPECT_TRUE(second.isBusyError());
    EXPECT_EQ(second.errorString(), QStringLiteral("Port %1 is busy").arg(pair.pathA()));
    EXPECT_FALSE(second.isOpen());

    port.close();
    EXPECT_TRUE(second.open(pair.pathA())) << second.errorString().toStdString();
    EXPECT_FALSE(second.isBusyError());
}

TEST_F(ComPortTest, LineSettingAndBaudRates)
{
    termios tio{};
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
    EXPECT_NE(tio.c_cflag & CREAD, 0u);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B9600));

    const struct
    {
        qint32 rate;
        speed_t code;
    } rates[] = {{1200, B1200}, {19200, B19200}, {57600, B57600}, {115200, B115200}, {921600, B921600}};
    for (const auto& r : rates) {
        ASSERT_TRUE(port.setBaudRate(r.rate)) << r.rate;
        ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
        EXPECT_EQ(::cfgetospeed(&tio), r.code) << r.rate;
        EXPECT_EQ(::cfgetispeed(&tio), r.code) << r.rate;
        EXPECT_EQ(port.baudRate(), r.rate);
    }

    EXPECT_FALSE(port.setBaudRate(12345));
    EXPECT_EQ(port.baudRate(), 921600);
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B921600));

    port.close();
    EXPECT_TRUE(port.open(pair.pathA(), 57600));
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B57600));
    port.close();
    EXPECT_FALSE(port.open(pair.pathA(), 14400));
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.errorString().contains(QStringLiteral("14400")));
}

TEST_F(ComPortTest, EveryByteValuePassesUnchangedBothWays)
{
    // CR, LF, XON/XOFF, ^C, DEL and 0x00 must not be translated, swallowed or act as signals.
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    all += all;

    port.setTimeouts({200, 0, 2000, 0, 0});
    ASSERT_TRUE(peer.send(all));
    QByteArray got(all.size(), '\0');
    qint64 n = 0;
    while (n < all.size()) {
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
        QByteArray got;
        qint64 ms = 0;
        EXPECT_EQ(timedRead(got, c.size, ms), 0) << c.totalMs;
        EXPECT_GE(ms, c.totalMs - 20) << "returned before the total time-out although no byte came";
        EXPECT_LT(ms, c.totalMs + 1500) << "waited far longer than the total time-out";
        EXPECT_FALSE(port.isDisconnected());
    }
}

TEST_F(ComPortTest, IntervalEndsTheReadAfterABurst)
{
    ASSERT_TRUE(port.setTimeouts({100, 0, 5000, 0, 0})); // only the pause after the burst can end it early
    std::thread writer([this] {
        peer.send("abc");
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        peer.send("def");
    });
    QByteArray got;
    qint64 ms = 0;
    const qint64 n = timedRead(got, 10, ms);
    writer.join();
    EXPECT_EQ(n, 3);
    EXPECT_EQ(got, QByteArray("abc"));
    EXPECT_LT(ms, 1200) << "the pause after the burst did not end the read";

    // The second burst is still there for the next read.
    EXPECT_EQ(timedRead(got, 10, ms), 3);
    EXPECT_EQ(got, QByteArray("def"));
}

TEST_F(ComPortTest, IntervalDoesNotRunBeforeTheFirstByte)
{
    ASSERT_TRUE(port.setTimeouts({50, 0, 3000, 0, 0}));
    std::thread writer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        peer.send("late");
    });
    QByteArray got;
    qint64 ms = 0;
    const qint64 n = timedRead(got, 4, ms);
    writer.join();
    EXPECT_EQ(n, 4);
    EXPECT_EQ(got, QByteArray("late"));
}

TEST_F(ComPortTest, ReadsWhatIsThereAndStopsAtTheCountAsked)
{
    ASSERT_TRUE(port.setTimeouts({0, 0, 3000, 0, 0}));
    ASSERT_TRUE(peer.send("0123456789"));
    ASSERT_TRUE(inputArrives(port));
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let socat pass the rest too

    QByteArray got;
    qint64 ms = 0;
    EXPECT_EQ(timedRead(got, 4, ms), 4);
    EXPECT_EQ(got, QByteArray("0123"));
    EXPECT_LT(ms, 1500) << "waited although all bytes asked for were in";
    EXPECT_EQ(timedRead(got, 6, ms), 6);
    EXPECT_EQ(got, QByteArray("456789"));
    EXPECT_LT(ms, 1500);

    // Fewer bytes than asked: the total time-out ends the read with what came.
    ASSERT_TRUE(port.setTimeouts({0, 0, 300, 0, 0}));
    ASSERT_TRUE(peer.send("ab"));
    EXPECT_EQ(timedRead(got, 5, ms), 2);
    EXPECT_EQ(got, QByteArray("ab"));
    EXPECT_GE(ms, 280) << "a partial read ended before the total time-out";
}

TEST_F(ComPortTest, MaxDwordIntervalReturnsAtOnceWithWhatIsBuffered)
{
    ASSERT_TRUE(port.setTimeouts({kMaxDword, 0, 0, 0, 0}));
    // Taken for an ordinary interval, these time-outs would wait for all 8 bytes: the late bytes end that wait.
    std::thread rescuer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        peer.send("12345678");
    });
    QByteArray got;
    qint64 ms = 0;
    EXPECT_EQ(timedRead(got, 8, ms), 0);
    EXPECT_LT(ms, 1000) << "waited although nothing was buffered";
    rescuer.join();
    ASSERT_TRUE(port.setTimeouts({0, 0, 2000, 0, 0}));
    timedRead(got, 8, ms);
    ASSERT_TRUE(port.setTimeouts({kMaxDword, 0, 0, 0, 0}));

    ASSERT_TRUE(peer.send("xyz"));
    ASSERT_TRUE(inputArrives(port));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(timedRead(got, 8, ms), 3);
    EXPECT_EQ(got, QByteArray("xyz"));
    EXPECT_LT(ms, 1000);
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
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // let the queues fill up first
        received = peer.receive(big.size(), 3000);
    });
    EXPECT_EQ(port.write(big), big.size());
    reader.join();
    EXPECT_EQ(received.size(), big.size());
    EXPECT_TRUE(received == big);
}

TEST_F(ComPortTest, UnpluggedLineEndsAWaitingReadWithAnError)
{
    ASSERT_TRUE(port.setTimeouts({0, 0, 10000, 0, 0}));
    std::thread unplugger([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        pair.unplug();
    });
    QByteArray got;
    qint64 ms = 0;
    const qint64 n = timedRead(got, 4, ms);
    unplugger.join();
    EXPECT_EQ(n, -1);
    EXPECT_TRUE(port.isDisconnected());
    EXPECT_LT(ms, 8000) << "the hang-up did not end the read";

    // It stays reported, also for one-byte reads and writes.
    char c;
    EXPECT_FALSE(port.readByte(c));
    EXPECT_EQ(port.write("x", 1), -1);

    // A fresh open clears the state (and fails here, the device being gone).
    EXPECT_FALSE(port.open(pair.pathA()));
    EXPECT_FALSE(port.isDisconnected());
}

TEST(ComPortUnplug, ReadAfterUnplugFailsUnderAnyTimeouts)
{
    // All zero (wait for every byte asked, without limit) would hang for good if the hang-up went unnoticed.
    const CommTimeouts cases[] = {{0, 0, 0, 0, 0}, {kMaxDword, 0, 0, 0, 0}, kNormalTimeouts};
    for (const auto& t : cases) {
        PtyPair pair;
        ASSERT_TRUE(pair.isReady()) << pair.errorString().toStdString();
        ComPort port;
        ASSERT_TRUE(port.open(pair.pathA()));
        ASSERT_TRUE(port.setTimeouts(t));
        pair.unplug();
        char buf[4];
        EXPECT_EQ(port.read(buf, sizeof buf), -1) << t.readInterval;
        EXPECT_TRUE(port.isDisconnected());
    }
}
