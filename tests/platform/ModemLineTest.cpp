// The modem call: against the simulated gateway's Hayes modem, which leaves a call only for a "+++" with a guard
// time of silence on both sides, and against a scripted modem on a pty pair for the results it can give.
#include "platform/ModemLine.h"
#include "gatewaysim/Gateway.h"
#include "support/PtyPair.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// Echoes what it hears and answers each command (a line ended by CR, or "+++") from a script, the whole
// answer in one write; a command without an answer gets none.
class ScriptedModem
{
public:
    ScriptedModem(const QString& path, QHash<QByteArray, QByteArray> answers)
        : answers_(std::move(answers)), fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY)),
          thread_([this] { run(); })
    {
    }
    ~ScriptedModem()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    // Sends bytes as the far end of the call would.
    void say(const QByteArray& b) { send(b); }
    QList<QByteArray> commands() const
    {
        std::lock_guard lock(mutex_);
        return commands_;
    }

private:
    void send(const QByteArray& b) { [[maybe_unused]] auto n = ::write(fd_, b.constData(), b.size()); }
    void run()
    {
        QByteArray line;
        for (char c; !stop_;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0 || ::read(fd_, &c, 1) != 1)
                continue;
            send(QByteArray(1, c));
            if (c != '\r' && c != '\n')
                line += c;
            if (c == '\r' || line == "+++") {
                std::lock_guard lock(mutex_);
                commands_ << line;
                send(answers_.value(std::exchange(line, {})));
            }
        }
    }

    const QHash<QByteArray, QByteArray> answers_;
    int fd_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    QList<QByteArray> commands_;
    std::thread thread_;
};

const QByteArray kOk("\r\nOK\r\n");

// progress dies before line: the line's destructor must not report to a listener that is gone.
struct Dialer
{
    PtyPair pair;
    std::unique_ptr<ModemLine> line = std::make_unique<ModemLine>();
    QStringList progress;
    Dialer()
    {
        line->setProgressHandler([this](const QString& s) { progress << s; });
    }
    bool dial(int timeoutMs = 5000, QString device = {})
    {
        return line->dial(device.isEmpty() ? pair.pathA() : device, 9600, QStringLiteral("123"), timeoutMs);
    }
};

QByteArray readFor(ComPort& port, qsizetype count)
{
    port.setTimeouts({200, 0, 3000, 0, 0});
    QByteArray got(count, '\0');
    got.resize(std::max<qint64>(port.read(got.data(), count), 0));
    return got;
}

} // namespace

TEST(ModemLineTest, DialsAndHangsUpThroughAGuardedEscapeAndAth)
{
    gatewaysim::Gateway gw; // its modem insists on the full second of silence around "+++", as real ones do
    const QString path = gw.startModemPty();
    ASSERT_FALSE(path.isEmpty()) << qPrintable(gw.errorString());
    Dialer d;
    ASSERT_TRUE(d.dial(5000, path)) << d.line->errorString().toStdString();
    EXPECT_TRUE(d.progress.contains(QStringLiteral("Dialing 123"))) << d.progress.join('|').toStdString();
    EXPECT_TRUE(d.progress.contains(QStringLiteral("CONNECT 9600"))) << d.progress.join('|').toStdString();
    EXPECT_EQ(readFor(*d.line->port(), 12), QByteArray("\r\nMX login: "));
    EXPECT_TRUE(gw.modemInCall());
    ASSERT_EQ(d.line->port()->write("admin\r"), 6); // the escape's first guard time counts from here

    d.line.reset(); // destroying a connected line hangs up
    EXPECT_EQ(gw.receivedLines(), (QList<QByteArray>{"AT\r", "ATDT123\r", "admin\r", "+++", "ATH\r"}));
    EXPECT_FALSE(gw.modemInCall());
    ComPort again;
    EXPECT_TRUE(again.open(path)) << "the device was not released";
}

TEST(ModemLineTest, TheModemsResultEndsTheDial)
{
    for (const char* result : {"CONNECT 115200", "NO CARRIER", "BUSY"}) {
        SCOPED_TRACE(result);
        const bool connects = QByteArray(result).startsWith("CONNECT");
        Dialer d;
        ASSERT_TRUE(d.pair.isReady()) << d.pair.errorString().toStdString();
        // Data right behind CONNECT comes in the same chunk as the result.
        ScriptedModem modem(
            d.pair.pathB(),
            {{"AT", kOk}, {"ATDT123", "\r\n" + QByteArray(result) + "\r\nMX login:"}, {"+++", kOk}, {"ATH", kOk}});
        EXPECT_EQ(d.dial(), connects);
        EXPECT_TRUE(d.progress.contains(QLatin1String(result)));
        if (connects) {
            EXPECT_EQ(readFor(*d.line->port(), 9), QByteArray("MX login:")) << "data behind CONNECT was lost";
            d.line->hangUp();
        } else {
            EXPECT_EQ(d.line->errorString(), QStringLiteral("Modem response: %1").arg(QLatin1String(result)));
        }
        EXPECT_FALSE(d.line->isConnected());
        ComPort again;
        EXPECT_TRUE(again.open(d.pair.pathA())) << "the port was not released";
    }
}

TEST(ModemLineTest, SilenceAfterDialingEndsWithinTheTimeoutWhileEventsKeepFlowing)
{
    Dialer d;
    ScriptedModem modem(d.pair.pathB(), {{"AT", kOk}});
    bool timerFired = false;
    QTimer::singleShot(100, [&] { timerFired = true; });
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(d.dial(800));
    EXPECT_GE(t.elapsed(), 700) << "gave up before the time-out";
    EXPECT_LT(t.elapsed(), 4000) << "waited far beyond the time-out";
    EXPECT_EQ(d.line->errorString(), QStringLiteral("No answer from the modem"));
    EXPECT_TRUE(timerFired) << "the UI thread's events were not processed while waiting";
    EXPECT_EQ(modem.commands().value(1), QByteArray("ATDT123"));
}

TEST(ModemLineTest, ModemThatNeverAnswersIsTriedAFewTimes)
{
    Dialer d;
    ScriptedModem modem(d.pair.pathB(), {});
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(d.dial(20000));
    EXPECT_LT(t.elapsed(), 15000) << "waited the whole dial time-out for a modem that does not even answer AT";
    EXPECT_EQ(d.line->errorString(), QStringLiteral("No answer from the modem"));
    const auto heard = modem.commands();
    EXPECT_GE(heard.size(), 2) << "no retry";
    EXPECT_EQ(heard.count("AT"), heard.size()) << "dialed although the modem never said OK";
}

// The modem ends a call the far end dropped with the line "NO CARRIER", then answers commands itself: from that
// line on the call's reads and writes fail. A line that only holds the words is the gateway's text.
TEST(ModemLineTest, OnlyTheLineNoCarrierEndsTheCall)
{
    const struct
    {
        QList<QByteArray> pieces; // each read by itself
        bool ends;
    } rows[] = {
        {{"\r\nOK\r\n", "\r\nNO CARRIER\r\n"}, true},
        {{"NO CARRIER\r\n"}, true},
        {{"\r\nNO CAR", "RIER\r\n"}, true},
        {{"\r\n+CME ERROR: NO CARRIER\r\n"}, false},
        {{"\r\nNO CARRIERS\r\n", "NO CARRIER now\r\n"}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pieces.join("|").toStdString());
        Dialer d;
        ASSERT_TRUE(d.pair.isReady()) << d.pair.errorString().toStdString();
        ScriptedModem modem(d.pair.pathB(),
                            {{"AT", kOk}, {"ATDT123", "\r\nCONNECT 9600\r\n"}, {"+++", kOk}, {"ATH", kOk}});
        ASSERT_TRUE(d.dial());
        for (const QByteArray& piece : row.pieces) {
            modem.say(piece);
            QByteArray got(piece.size(), '\0');
            EXPECT_EQ(d.line->read(got.data(), got.size()), piece.size());
            EXPECT_EQ(got, piece) << "the bytes are handed on as they came";
        }
        EXPECT_EQ(d.line->callEnded(), row.ends);
        char c;
        EXPECT_EQ(d.line->read(&c, 1) < 0, row.ends);
        EXPECT_EQ(d.line->write("AT\r") < 0, row.ends) << "a write after the end would reach the modem";
        d.line->hangUp();
        EXPECT_EQ(modem.commands().contains("+++"), !row.ends) << "no escape into a modem that left the call";
    }
}

// A write first looks at what has come and not been read: the login prompt waiting there still reaches the next
// read whole, and a "NO CARRIER" whose line began in bytes already looked at and read ends the call at the
// next write's look, before the command reaches the modem. The text the look found the end in is handed to the
// writer once, since no read hands it out any more.
TEST(ModemLineTest, AWriteLooksAtTheUnreadTextAndTakesNothing)
{
    Dialer d;
    ASSERT_TRUE(d.pair.isReady()) << d.pair.errorString().toStdString();
    auto modem = std::make_unique<ScriptedModem>(
        d.pair.pathB(), QHash<QByteArray, QByteArray>{{"AT", kOk}, {"ATDT123", "\r\nCONNECT 9600\r\n"}});
    ASSERT_TRUE(d.dial());
    modem.reset(); // the far end from now on says only what the test makes it say, and echoes nothing
    const int far = ::open(QFile::encodeName(d.pair.pathB()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(far, 0);
    auto say = [&](const QByteArray& b) {
        ASSERT_EQ(::write(far, b.constData(), b.size()), b.size());
        QElapsedTimer t;
        t.start();
        int queued = 0;
        while (::ioctl(d.line->port()->fd(), FIONREAD, &queued) == 0 && queued < b.size() && t.elapsed() < 5000)
            ::usleep(1000);
        ASSERT_EQ(queued, b.size()) << "the bytes did not reach the line";
    };

    QList<QByteArray> looked;
    const auto look = [&](const QByteArray& unreadAtEnd) { looked << unreadAtEnd; };
    const QByteArray first("\r\nMX login: \r\nNO CAR");
    ASSERT_NO_FATAL_FAILURE(say(first));
    EXPECT_EQ(d.line->write("admin\r", look), 6);
    QByteArray got(first.size() + 1, '\0');
    got.resize(std::max<qint64>(d.line->read(got.data(), got.size()), 0));
    EXPECT_EQ(got, first) << "the bytes looked at did not reach the read whole and in order";

    ASSERT_NO_FATAL_FAILURE(say("RIER\r\n"));
    EXPECT_LT(d.line->write("AT\r", look), 0) << "the command went to the modem";
    EXPECT_TRUE(d.line->callEnded());
    EXPECT_LT(d.line->write("AT\r", look), 0);
    EXPECT_EQ(looked, (QList<QByteArray>{{}, "RIER\r\n", {}}));
    ::close(far);
}

// What came after a command that was written without reading its answer: the modem's own answer after its
// "NO CARRIER" line shows that the call had ended before the command came, so that only the modem got it.
TEST(ModemLineTest, TheModemsOwnAnswerAfterTheCallsEndShowsACommandOnlyTheModemGot)
{
    const struct
    {
        QByteArray text;
        bool onlyModem;
    } rows[] = {
        {"\r\nNO CARRIER\r\n\r\nERROR\r\n", true},
        {"\r\nNO CARRIER\r\nAT&FRES\r\n\r\nERROR\r\n", true}, // echoed
        {"\r\nNO CARRIER\r\nAT&FRES\r", true},
        {"\r\nNO CARRIER\r\n\r\nOK\r\n", true},
        {"\r\nOK\r\n\r\nNO CARRIER\r\n", false}, // the gateway's answer, then its restart ended the call
        {"\r\nERROR\r\n\r\nNO CARRIER\r\n", false},
        {"\r\nNO CARRIER\r\n", false},
        {"\r\nGSM1: NO CARRIER\r\n\r\nERROR\r\n", false}, // the words in the gateway's text
        {"\r\nNO CARRIER\r\n\r\nRING\r\n", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ModemLine::answeredAfterCallEnd(row.text, "AT&FRES\r\n"), row.onlyModem) << row.text.constData();
    }
}
