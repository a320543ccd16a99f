// The modem call against a scripted Hayes modem on the far side of a pty pair. The modem echoes commands,
// answers "AT" with OK and "ATDT<number>" with the scripted result; once connected it echoes data back and
// leaves data mode only for "+++" sent between two pauses of about a second, as real modems do.
#include "platform/ModemLine.h"
#include "support/PtyPair.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

class FakeModem
{
public:
    // dialResult: the reply to ATDT ("" = say nothing); greeting: data sent right behind CONNECT.
    // answersAt = false: a modem that hears but never answers.
    FakeModem(const QString& path, QByteArray dialResult, bool answersAt = true, QByteArray greeting = {})
        : result_(std::move(dialResult)), greeting_(std::move(greeting)), answersAt_(answersAt),
          fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        thread_ = std::thread([this] { run(); });
    }
    ~FakeModem()
    {
        stop_ = true;
        thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    QList<QByteArray> commands() const
    {
        std::lock_guard lock(mutex_);
        return commands_;
    }
    QByteArray data() const
    {
        std::lock_guard lock(mutex_);
        return data_;
    }

private:
    void send(const QByteArray& b) { [[maybe_unused]] auto n = ::write(fd_, b.constData(), b.size()); }

    void command(const QByteArray& line)
    {
        {
            std::lock_guard lock(mutex_);
            commands_ << line;
        }
        if (!answersAt_)
            return;
        if (line.startsWith("ATDT")) {
            if (!result_.isEmpty())
                send("\r\n" + result_ + "\r\n" + (result_.startsWith("CONNECT") ? greeting_ : QByteArray()));
            online_ = result_.startsWith("CONNECT");
        } else if (line.startsWith("AT")) {
            send("\r\nOK\r\n");
        }
    }

    void run()
    {
        QByteArray line;
        auto lastRx = SteadyClock::now();
        std::optional<SteadyClock::time_point> escapeAt;
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, 20);
            char buf[256];
            const ssize_t n = p.revents & POLLIN ? ::read(fd_, buf, sizeof buf) : 0;
            const auto now = SteadyClock::now();
            if (n <= 0) {
                if (escapeAt && now - *escapeAt >= 900ms) { // silence after "+++": back to command mode
                    escapeAt.reset();
                    online_ = false;
                    send("\r\nOK\r\n");
                }
                continue;
            }
            const QByteArray chunk(buf, n);
            if (online_) {
                if (chunk == "+++" && now - lastRx >= 900ms) {
                    escapeAt = now;
                } else {
                    escapeAt.reset();
                    std::lock_guard lock(mutex_);
                    data_ += chunk;
                }
                if (!escapeAt)
                    send(chunk);
            } else {
                send(chunk); // command echo
                for (char c : chunk) {
                    if (c == '\r') {
                        command(line);
                        line.clear();
                    } else if (c != '\n') {
                        line += c;
                    }
                }
            }
            lastRx = now;
        }
    }

    const QByteArray result_;
    const QByteArray greeting_;
    const bool answersAt_;
    int fd_;
    bool online_ = false;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    QList<QByteArray> commands_;
    QByteArray data_;
    std::thread thread_;
};

// progress dies before line: the line's destructor must not report to a listener that is gone.
struct Dialer
{
    ModemLine line;
    QStringList progress;
    Dialer()
    {
        line.setProgressHandler([this](const QString& s) { progress << s; });
    }
};

QByteArray readFor(ComPort& port, qsizetype count)
{
    port.setTimeouts({200, 0, 3000, 0, 0});
    QByteArray got(count, '\0');
    const qint64 n = port.read(got.data(), count);
    got.resize(std::max<qint64>(n, 0));
    return got;
}

} // namespace

TEST(ModemLineTest, DialsExchangesDataAndHangsUp)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady()) << pair.errorString().toStdString();
    FakeModem modem(pair.pathB(), "CONNECT 9600");
    ASSERT_TRUE(modem.isOpen());

    Dialer d;
    ASSERT_TRUE(d.line.dial(pair.pathA(), 9600, QStringLiteral("123"), 5000)) << d.line.errorString().toStdString();
    EXPECT_TRUE(d.line.isConnected());
    EXPECT_TRUE(d.progress.contains(QStringLiteral("Dialing 123"))) << d.progress.join('|').toStdString();
    EXPECT_TRUE(d.progress.contains(QStringLiteral("CONNECT 9600"))) << d.progress.join('|').toStdString();
    EXPECT_EQ(modem.commands(), (QList<QByteArray>{"AT", "ATDT123"}));

    ComPort* port = d.line.port();
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->timeouts().readTotalConstant, kNormalTimeouts.readTotalConstant);
    const QByteArray payload("AT&V0\r\n\x00\x11\x13 data", 15);
    EXPECT_EQ(port->write(payload), payload.size());
    EXPECT_EQ(readFor(*port, payload.size()), payload);

    d.line.hangUp();
    EXPECT_FALSE(d.line.isConnected());
    EXPECT_EQ(d.line.port(), nullptr);
    // The modem left data mode only through a properly guarded escape, then heard the hang-up.
    EXPECT_EQ(modem.commands(), (QList<QByteArray>{"AT", "ATDT123", "ATH"}));
    EXPECT_EQ(modem.data(), payload);
    EXPECT_TRUE(d.progress.contains(QStringLiteral("Hanging up")));

    // The device is free again.
    ComPort again;
    EXPECT_TRUE(again.open(pair.pathA())) << again.errorString().toStdString();
}

TEST(ModemLineTest, DataRightBehindConnectIsNotLost)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady());
    FakeModem modem(pair.pathB(), "CONNECT 115200", true, "MX login:");
    Dialer d;
    ASSERT_TRUE(d.line.dial(pair.pathA(), 115200, QStringLiteral("5551234"), 5000));
    EXPECT_EQ(readFor(*d.line.port(), 9), QByteArray("MX login:"));
}

TEST(ModemLineTest, EachFailureWordEndsTheDial)
{
    const char* words[] = {"NO CARRIER", "BUSY", "NO DIALTONE", "NO ANSWER", "ERROR"};
    for (const char* word : words) {
        PtyPair pair;
        ASSERT_TRUE(pair.isReady());
        FakeModem modem(pair.pathB(), word);
        Dialer d;
        EXPECT_FALSE(d.line.dial(pair.pathA(), 9600, QStringLiteral("123"), 5000)) << word;
        EXPECT_TRUE(d.line.errorString().contains(QLatin1String(word))) << d.line.errorString().toStdString();
        EXPECT_FALSE(d.line.isConnected());
        EXPECT_EQ(d.line.port(), nullptr);
        EXPECT_TRUE(d.progress.contains(QLatin1String(word))) << word;
        ComPort again;
        EXPECT_TRUE(again.open(pair.pathA())) << word << ": the port was not released";
    }
}

TEST(ModemLineTest, SilenceAfterDialingEndsWithinTheTimeoutWhileEventsKeepFlowing)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady());
    FakeModem modem(pair.pathB(), "");
    Dialer d;
    bool timerFired = false;
    QTimer::singleShot(100, [&] { timerFired = true; });

    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(d.line.dial(pair.pathA(), 9600, QStringLiteral("123"), 800));
    const qint64 ms = t.elapsed();
    EXPECT_EQ(d.line.errorString(), QStringLiteral("No answer from the modem"));
    EXPECT_GE(ms, 700) << "gave up before the time-out";
    EXPECT_LT(ms, 4000) << "waited far beyond the time-out";
    EXPECT_TRUE(timerFired) << "the UI thread's events were not processed while waiting";
    EXPECT_EQ(d.line.port(), nullptr);
    ASSERT_GE(modem.commands().size(), 2);
    EXPECT_EQ(modem.commands().at(1), QByteArray("ATDT123"));
}

TEST(ModemLineTest, ModemThatNeverAnswersIsTriedAFewTimes)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady());
    FakeModem modem(pair.pathB(), "CONNECT", false);
    Dialer d;
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(d.line.dial(pair.pathA(), 9600, QStringLiteral("123"), 20000));
    EXPECT_LT(t.elapsed(), 15000) << "waited the whole dial time-out for a modem that does not even answer AT";
    EXPECT_EQ(d.line.errorString(), QStringLiteral("No answer from the modem"));
    const auto heard = modem.commands();
    EXPECT_GE(heard.size(), 2) << "no retry";
    EXPECT_EQ(heard.count("AT"), heard.size()) << "dialed although the modem never said OK";
}

TEST(ModemLineTest, BusyDeviceAndMissingDeviceFailWithThePortsError)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady());
    ComPort holder;
    ASSERT_TRUE(holder.open(pair.pathA()));
    Dialer d;
    EXPECT_FALSE(d.line.dial(pair.pathA(), 9600, QStringLiteral("123"), 1000));
    EXPECT_EQ(d.line.errorString(), QStringLiteral("Port %1 is busy").arg(pair.pathA()));

    EXPECT_FALSE(d.line.dial(QStringLiteral("/dev/no-such-modem"), 9600, QStringLiteral("123"), 1000));
    EXPECT_FALSE(d.line.errorString().isEmpty());
    EXPECT_FALSE(d.line.isConnected());
}

TEST(ModemLineTest, DestroyingAConnectedLineHangsUp)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady());
    FakeModem modem(pair.pathB(), "CONNECT 9600");
    {
        ModemLine line;
        ASSERT_TRUE(line.dial(pair.pathA(), 9600, QStringLiteral("42"), 5000));
    }
    EXPECT_EQ(modem.commands(), (QList<QByteArray>{"AT", "ATDT42", "ATH"}));
}
