// Data call through a Hayes modem.
//
// The dial and the hang-up run on the UI thread (they replace a telephony call that the program waited for
// while its window kept working). So every wait here is a poll() on the port in slices of at most 50 ms, and
// between slices the UI thread's pending events are processed: the dialing window repaints and its timers run,
// and an idle wait still costs no CPU. On any other thread the slices simply follow each other.
#include "platform/ModemLine.h"
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <optional>
#include <poll.h>

namespace {

using SteadyClock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

constexpr int kSliceMs = 50;
constexpr int kAtAttempts = 3;
constexpr int kAtReplyMs = 1000;
constexpr int kDefaultDialMs = 60000; // when the caller gives no time-out; modems give up after ~50 s anyway
constexpr int kDtrDropMs = 500;
constexpr int kGuardMs = 1000; // the escape sequence needs this much silence before and after "+++"
// The modem measures the silence from when it saw our last byte, which can be a little after we wrote it;
// a guard cut that close makes it take "+++" as data.
constexpr int kGuardMarginMs = 250;
constexpr int kEscapeReplyMs = 2000;
constexpr int kHangUpReplyMs = 2000;
constexpr CommTimeouts kImmediate{0xFFFFFFFFu, 0, 0, 0, 0};

const char* const kFailureWords[] = {"NO CARRIER", "BUSY", "NO DIALTONE", "NO ANSWER", "ERROR"};
const QString kNoAnswer = QStringLiteral("No answer from the modem");
// The modem's result line for a call that ended while it was in data mode.
constexpr QByteArrayView kCallEndedLine("NO CARRIER");

bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// Waits until fd has input or the deadline passes, keeping the UI thread's events flowing.
void waitReadable(int fd, SteadyClock::time_point deadline)
{
    const bool gui = onGuiThread();
    for (;;) {
        const auto left = std::chrono::duration_cast<Ms>(deadline - SteadyClock::now()).count();
        if (left <= 0)
            return;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, int(std::min<qint64>(left + 1, kSliceMs)));
        if (gui) {
            NestedWait nested;
            QCoreApplication::processEvents();
        }
        if (r != 0) // input, a hang-up or an error: the read that follows tells which
            return;
    }
}

// Splits what the modem sends into its reply lines (CR and LF both end a line; empty lines are dropped).
class ReplyReader
{
public:
    explicit ReplyReader(ComPort& port) : port_(port) {}

    // The next non-empty line before the deadline; none on time-out or when the port failed.
    std::optional<QByteArray> nextLine(SteadyClock::time_point deadline)
    {
        for (;;) {
            const qsizetype end = findLineEnd();
            if (end >= 0) {
                const QByteArray line = buffer_.left(end).trimmed();
                endedByCr_ = buffer_.at(end) == '\r';
                buffer_.remove(0, end + 1);
                if (endedByCr_ && buffer_.startsWith('\n')) {
                    buffer_.remove(0, 1);
                    endedByCr_ = false;
                }
                if (!line.isEmpty())
                    return line;
                continue;
            }
            if (failed_ || SteadyClock::now() >= deadline)
                return std::nullopt;
            waitReadable(port_.fd(), deadline);
            fill();
        }
    }

    // Waits until a line passes the test; the lines before it go to the observer.
    template <typename Test, typename Observer>
    std::optional<QByteArray> waitFor(SteadyClock::time_point deadline, Test test, Observer observe)
    {
        while (auto line = nextLine(deadline)) {
            if (test(*line))
                return line;
            observe(*line);
        }
        return std::nullopt;
    }

    // Hands the bytes behind the last line back to the port: after "CONNECT" they are the call's data.
    // The LF of a CR LF line end may still be on its way; it is not data, so it is waited for briefly.
    void returnRest()
    {
        if (endedByCr_ && buffer_.isEmpty() && !failed_) {
            waitReadable(port_.fd(), SteadyClock::now() + Ms(100));
            fill();
        }
        if (endedByCr_ && buffer_.startsWith('\n'))
            buffer_.remove(0, 1);
        port_.unread(buffer_);
        buffer_.clear();
    }

    bool failed() const { return failed_; }

private:
    qsizetype findLineEnd() const
    {
        for (qsizetype i = 0; i < buffer_.size(); ++i) {
            if (buffer_.at(i) == '\r' || buffer_.at(i) == '\n')
                return i;
        }
        return -1;
    }

    void fill()
    {
        char chunk[256];
        const qint64 n = port_.read(chunk, sizeof chunk);
        if (n < 0)
            failed_ = true;
        else
            buffer_.append(chunk, n);
    }

    ComPort& port_;
    QByteArray buffer_;
    bool endedByCr_ = false;
    bool failed_ = false;
};

SteadyClock::time_point after(int ms)
{
    return SteadyClock::now() + Ms(ms);
}

// Follows the call's data line by line in line (the current line as far as it came); true when a line that is
// exactly "NO CARRIER" ended among these bytes.
bool watchLines(QByteArray& line, const char* data, qint64 size)
{
    bool ended = false;
    for (qint64 i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            ended = ended || line == kCallEndedLine;
            line.clear();
        } else if (line.size() <= kCallEndedLine.size()) {
            line.append(c);
        }
    }
    return ended;
}

// The text in which the call's end was seen, from the line end before its "NO CARRIER" line on (the modem's
// CR LF around its result).
QByteArray callEndText(const QByteArray& text)
{
    qsizetype from = text.lastIndexOf(kCallEndedLine);
    if (from < 0)
        return text;
    if (from > 0 && text.at(from - 1) == '\n')
        --from;
    if (from > 0 && text.at(from - 1) == '\r')
        --from;
    return text.mid(from);
}

} // namespace

ModemLine::~ModemLine()
{
    // Whoever listened to the progress may be gone already; the last hang-up happens silently.
    progress_ = nullptr;
    hangUp();
}

void ModemLine::report(const QString& text)
{
    if (progress_)
        progress_(text);
}

bool ModemLine::fail(const QString& error)
{
    error_ = error;
    report(error);
    if (port_)
        port_->close();
    port_.reset();
    connected_ = false;
    return false;
}

bool ModemLine::dial(const QString& device, qint32 baudRate, const QString& number, int timeoutMs)
{
    hangUp(); // one call at a time
    error_.clear();
    const auto deadline = after(timeoutMs > 0 ? timeoutMs : kDefaultDialMs);

    report(QStringLiteral("Opening %1").arg(device));
    port_ = std::make_unique<ComPort>();
    if (!port_->open(device, baudRate))
        return fail(port_->errorString());
    port_->setTimeouts(kImmediate);

    ReplyReader reader(*port_);
    auto ignore = [](const QByteArray&) {};
    auto portLost = [this] { return port_->errorString().isEmpty() ? kNoAnswer : port_->errorString(); };

    report(QStringLiteral("Initializing the modem"));
    bool ready = false;
    for (int attempt = 0; attempt < kAtAttempts && !ready && SteadyClock::now() < deadline; ++attempt) {
        port_->flush();
        if (port_->write(QByteArrayLiteral("AT\r")) != 3)
            return fail(portLost());
        const auto replyDeadline = std::min(deadline, after(kAtReplyMs));
        ready = reader
                    .waitFor(
                        replyDeadline, [](const QByteArray& l) { return l == "OK"; }, ignore)
                    .has_value();
        if (reader.failed())
            return fail(portLost());
    }
    if (!ready)
        return fail(kNoAnswer);

    report(QStringLiteral("Dialing %1").arg(number));
    const QByteArray command = "ATDT" + number.toLatin1();
    if (port_->write(command + '\r') != command.size() + 1)
        return fail(portLost());

    auto isResult = [](const QByteArray& l) {
        if (l.startsWith("CONNECT"))
            return true;
        for (const char* word : kFailureWords) {
            if (l.startsWith(word))
                return true;
        }
        return false;
    };
    auto observe = [&](const QByteArray& l) {
        if (l != command) // our own command echoed back
            report(QString::fromLatin1(l));
    };
    const auto result = reader.waitFor(deadline, isResult, observe);
    if (!result) {
        if (reader.failed())
            return fail(portLost());
        // Any character stops a modem that is still dialing, so the call cannot come up after we gave up.
        port_->write(QByteArrayLiteral("\r"));
        return fail(kNoAnswer);
    }
    report(QString::fromLatin1(*result));
    if (!result->startsWith("CONNECT")) {
        for (const char* word : kFailureWords) {
            if (result->startsWith(word))
                return fail(QStringLiteral("Modem response: %1").arg(QLatin1String(word)));
        }
    }
    reader.returnRest();
    port_->setTimeouts(kNormalTimeouts);
    line_.clear();
    endText_.clear();
    callEnded_ = false;
    connected_ = true;
    return true;
}

void ModemLine::ReadTurn::lock()
{
    const bool first = onGuiThread();
    std::unique_lock lock(mutex_);
    if (first)
        ++firstWaiting_;
    free_.wait(lock, [&] { return !busy_ && (first || firstWaiting_ == 0); });
    if (first)
        --firstWaiting_;
    busy_ = true;
}

bool ModemLine::ReadTurn::tryLock()
{
    std::lock_guard lock(mutex_);
    if (busy_)
        return false;
    busy_ = true;
    return true;
}

void ModemLine::ReadTurn::unlock()
{
    {
        std::lock_guard lock(mutex_);
        busy_ = false;
    }
    free_.notify_all();
}

qint64 ModemLine::read(char* data, qint64 size, const CommTimeouts* timeouts)
{
    if (!port_ || callEnded_.load())
        return -1;
    std::lock_guard lock(reading_);
    if (callEnded_.load()) // a write's look saw the end while this read waited for the lock
        return -1;
    const qint64 n = timeouts ? port_->read(data, size, *timeouts) : port_->read(data, size);
    if (n > 0 && watchLines(line_, data, n)) {
        endText_ = callEndText(QByteArray(data, n));
        callEnded_ = true;
    }
    return n;
}

QByteArray ModemLine::lookForCallEnd()
{
    if (!reading_.tryLock())
        return {};
    const std::unique_lock lock(reading_, std::adopt_lock);
    QByteArray arrived;
    char chunk[1024];
    for (;;) {
        const qint64 n = port_->readArrived(chunk, sizeof chunk);
        if (n <= 0)
            break;
        arrived.append(chunk, n);
        if (n < qint64(sizeof chunk))
            break;
    }
    // The watch itself follows these bytes when read() hands them out: here it runs on a copy, so that it sees
    // each byte once however often the text is looked at.
    QByteArray line = line_;
    if (watchLines(line, arrived.constData(), arrived.size())) {
        endText_ = callEndText(arrived);
        callEnded_ = true; // from here on no read hands these bytes out
        return arrived;
    }
    port_->unread(arrived);
    return {};
}

QByteArray ModemLine::peekUnread(qint64 max)
{
    if (!port_ || callEnded_.load() || max <= 0 || !reading_.tryLock())
        return {};
    const std::unique_lock lock(reading_, std::adopt_lock);
    QByteArray arrived(max, '\0');
    const qint64 n = port_->readArrived(arrived.data(), max);
    arrived.resize(std::max<qint64>(n, 0));
    port_->unread(arrived);
    return arrived;
}

qint64 ModemLine::write(const QByteArray& bytes, const LookedHandler& looked)
{
    const QByteArray unreadAtEnd = port_ && !callEnded_.load() ? lookForCallEnd() : QByteArray();
    if (looked)
        looked(unreadAtEnd);
    if (!port_ || callEnded_.load() || port_->isDisconnected())
        return -1;
    return port_->write(bytes);
}

void ModemLine::hangUp()
{
    if (!port_) {
        connected_ = false;
        return;
    }
    // A call that ended by itself has left the modem in command mode: the escape and "ATH" would only be
    // answered "ERROR" there.
    if (connected_ && !callEnded_.load() && port_->isOpen() && !port_->isDisconnected()) {
        report(QStringLiteral("Hanging up"));
        port_->setTimeouts(kImmediate);
        ReplyReader reader(*port_);
        auto ignore = [](const QByteArray&) {};
        auto noCarrier = [](const QByteArray& l) { return l.startsWith("NO CARRIER"); };

        // Dropping DTR ends the call on a modem set up the usual way (&D2); a pty has no DTR to drop.
        bool down = false;
        if (port_->setDtr(false)) {
            down = reader.waitFor(after(kDtrDropMs), noCarrier, ignore).has_value();
            port_->setDtr(true);
        }
        if (!down && !reader.failed()) {
            // The modem ignores DTR: back to command mode through the escape sequence, then hang up.
            reader.waitFor(
                after(kGuardMs + kGuardMarginMs), [](const QByteArray&) { return false; }, ignore);
            if (port_->write(QByteArrayLiteral("+++")) == 3) {
                reader.waitFor(
                    after(kGuardMs + kEscapeReplyMs), [](const QByteArray& l) { return l == "OK"; }, ignore);
                if (!reader.failed() && port_->write(QByteArrayLiteral("ATH\r")) == 4) {
                    reader.waitFor(
                        after(kHangUpReplyMs),
                        [](const QByteArray& l) { return l == "OK" || l.startsWith("NO CARRIER"); }, ignore);
                }
            }
        }
    }
    // The port object stays: a reader that a stop could not join may still hold it, and finds it closed.
    port_->close();
    connected_ = false;
}

QStringList ModemLine::availableModems()
{
    return ComPort::availablePorts();
}

bool ModemLine::answeredAfterCallEnd(const QByteArray& text, const QByteArray& command)
{
    const QByteArray echo = command.trimmed();
    bool ended = false;
    for (const QByteArray& part : text.split('\n')) {
        for (const QByteArray& line : part.split('\r')) {
            if (ended && ((!echo.isEmpty() && line == echo) || line == "ERROR" || line == "OK"))
                return true;
            ended = ended || line == kCallEndedLine;
        }
    }
    return false;
}
