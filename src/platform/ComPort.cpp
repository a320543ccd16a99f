// Serial port on POSIX termios and poll().
//
// The program was written for a serial API whose reads end by time-outs set per port (interval between bytes,
// total per read) and whose ports are opened exclusively. This module gives a tty the same behaviour:
//
//  - The descriptor stays non-blocking (O_NONBLOCK) for its whole life and the termios read timer is off
//    (VTIME = 0). Every wait happens in poll(), with the deadline computed here from the time-outs, so the
//    interval timer can start at the first byte and the total timer at the call, which VMIN/VTIME cannot
//    express (VTIME is in tenths of a second and has no total limit). VMIN stays 1: with O_NONBLOCK an empty
//    queue then fails with EAGAIN, whereas VMIN = 0 would make read() return 0, and 0 must keep its meaning
//    of a hang-up (below).
//  - O_NOCTTY: a gateway on the line must never become our controlling terminal (a hang-up would send us
//    SIGHUP).
//  - Raw 8N1: the link carries binary data (XMODEM frames, HEX records, 0x00 bytes), so no input or output
//    processing at all:
//      c_iflag: no CR/NL translation (ICRNL, INLCR, IGNCR), no 8th-bit stripping (ISTRIP), no parity check
//               (INPCK) or marking (PARMRK), no software flow control (IXON, IXOFF, IXANY) because 0x11/0x13
//               are ordinary data bytes here; IGNBRK so a line break is not delivered as a spurious 0x00 (the
//               old platform reported a break as an event, never as data).
//      c_oflag: no OPOST, bytes go out as written.
//      c_lflag: no canonical mode, echo or signals (ICANON, ECHO*, ISIG, IEXTEN).
//      c_cflag: CS8, no parity (PARENB), one stop bit (CSTOPB), no hardware flow control (CRTSCTS);
//               CLOCAL so a missing DCD never blocks open or I/O (gateways and null-modem cables do not
//               drive it), CREAD to receive at all, HUPCL so closing drops DTR as the old platform did
//               (a modem hangs up when its port is closed).
//  - flock(LOCK_EX | LOCK_NB) stands in for the exclusive open of the old platform: a second user of the same
//    device (another copy of the program, a terminal program that locks) is refused with a clear message
//    instead of two readers stealing each other's bytes.
//  - A peer that goes away (USB adapter unplugged, the far end of a pty closed) shows as POLLHUP, EIO or a
//    read() of 0 on a tty. A tty never has an end of file otherwise, so all three mean "disconnected": the
//    read returns -1 and isDisconnected() tells the caller why.
#include "platform/ComPort.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr quint32 kMaxDword = 0xFFFFFFFFu;

struct BaudEntry
{
    qint32 rate;
    speed_t code;
};

constexpr BaudEntry kBaudRates[] = {
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200}, {230400, B230400},
    {460800, B460800}, {500000, B500000}, {576000, B576000}, {921600, B921600},
};

std::optional<speed_t> baudCode(qint32 rate)
{
    for (const auto& e : kBaudRates) {
        if (e.rate == rate)
            return e.code;
    }
    return std::nullopt;
}

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Time left until the deadline for ppoll(); never negative.
timespec remainingUntil(SteadyClock::time_point deadline)
{
    auto left = deadline - SteadyClock::now();
    if (left < SteadyClock::duration::zero())
        left = SteadyClock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

// Waits until fd is ready for the given events or the deadline passes (none = no limit).
// Returns the revents (0 on time-out) or -1 with errno set.
int waitFor(int fd, short events, std::optional<SteadyClock::time_point> deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        timespec ts{};
        if (deadline)
            ts = remainingUntil(*deadline);
        const int r = ::ppoll(&p, 1, deadline ? &ts : nullptr, nullptr);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        return r == 0 ? 0 : p.revents;
    }
}

// waitFor that also wakes when one of the wake descriptors (those >= 0) becomes readable; returns -2 then.
int waitForOrWake(int fd, short events, int wakeFd, int closeWakeFd, std::optional<SteadyClock::time_point> deadline)
{
    for (;;) {
        pollfd p[3] = {{fd, events, 0}, {wakeFd, POLLIN, 0}, {closeWakeFd, POLLIN, 0}};
        timespec ts{};
        if (deadline)
            ts = remainingUntil(*deadline);
        const int r = ::ppoll(p, 3, deadline ? &ts : nullptr, nullptr);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r > 0 && ((p[1].revents | p[2].revents) & POLLIN) && !p[0].revents)
            return -2;
        return r == 0 ? 0 : p[0].revents;
    }
}

std::optional<SteadyClock::time_point> earlier(std::optional<SteadyClock::time_point> a,
                                               std::optional<SteadyClock::time_point> b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    return std::min(*a, *b);
}

} // namespace

// A read or write holds the descriptor through one of these: close() waits until none is left before it
// closes the descriptor, so the number is never reused under a read. fd() is -1 when the port was closed.
class ComPort::IoUse
{
public:
    explicit IoUse(ComPort& port) : port_(port)
    {
        std::lock_guard lock(port_.mutex_);
        fd_ = port_.fd_.load();
        if (fd_ >= 0)
            ++port_.ioUsers_;
    }
    ~IoUse()
    {
        if (fd_ < 0)
            return;
        std::lock_guard lock(port_.mutex_);
        if (--port_.ioUsers_ == 0)
            port_.ioDone_.notify_all();
    }
    IoUse(const IoUse&) = delete;
    IoUse& operator=(const IoUse&) = delete;
    int fd() const { return fd_; }

private:
    ComPort& port_;
    int fd_ = -1;
};

ComPort::ComPort()
    : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), closeWakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

ComPort::~ComPort()
{
    close();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    if (closeWakeFd_ >= 0)
        ::close(closeWakeFd_);
}

void ComPort::setReadsCancelled(bool on)
{
    cancelled_.store(on);
    if (wakeFd_ < 0)
        return;
    if (on) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    } else {
        quint64 count = 0;
        [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
    }
}

QString ComPort::deviceFromName(const QString& name)
{
    // "COMn" (any case) with n >= 1; "COM0" or "COMx" are not old port names and stay as given.
    if (name.size() > 3 && name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = name.mid(3).toInt(&ok);
        if (ok && n >= 1 && name.mid(3).at(0).isDigit())
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
    return name;
}

bool ComPort::open(const QString& name, qint32 baudRate)
{
    close();
    setError({});
    busy_ = false;
    disconnected_ = false;
    device_ = deviceFromName(name);

    const auto code = baudCode(baudRate);
    if (!code) {
        setError(QStringLiteral("Unsupported baud rate %1").arg(baudRate));
        return false;
    }

    const QByteArray path = QFile::encodeName(device_);
    int fd;
    do {
        fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        if (err == EBUSY) { // held exclusively (TIOCEXCL) by another program
            busy_ = true;
            setError(QStringLiteral("Port %1 is busy").arg(device_));
        } else {
            setError(QStringLiteral("Cannot open port %1: %2").arg(device_, systemError(err)));
        }
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) {
            busy_ = true;
            setError(QStringLiteral("Port %1 is busy").arg(device_));
        } else {
            setError(QStringLiteral("Cannot lock port %1: %2").arg(device_, systemError(err)));
        }
        return false;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        setError(QStringLiteral("%1 is not a serial port").arg(device_));
        return false;
    }

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        setError(QStringLiteral("Cannot read the settings of %1: %2").arg(device_, systemError(errno)));
        ::close(fd);
        return false;
    }
    tio.c_iflag &= ~(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR);
    tio.c_iflag |= IGNBRK;
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD | HUPCL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, *code);
    ::cfsetospeed(&tio, *code);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        setError(QStringLiteral("Cannot set up port %1: %2").arg(device_, systemError(errno)));
        ::close(fd);
        return false;
    }
    fd_ = fd;
    baud_ = baudRate;

    // The old platform held DTR and RTS on while the port was open; a pty has no modem lines, which is fine.
    setDtr(true);
    setRts(true);
    setError({});
    return true;
}

void ComPort::close()
{
    int fd = -1;
    {
        std::unique_lock lock(mutex_);
        pending_.clear();
        // From here on no read or write takes the descriptor; those under way are woken and waited for.
        fd = fd_.exchange(-1);
        if (fd < 0)
            return;
        if (ioUsers_ > 0) {
            const quint64 one = 1;
            [[maybe_unused]] ssize_t n = ::write(closeWakeFd_, &one, sizeof one);
            ioDone_.wait(lock, [this] { return ioUsers_ == 0; });
            quint64 count = 0;
            n = ::read(closeWakeFd_, &count, sizeof count);
        }
    }
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

bool ComPort::setBaudRate(qint32 baudRate)
{
    const auto code = baudCode(baudRate);
    if (!code) {
        setError(QStringLiteral("Unsupported baud rate %1").arg(baudRate));
        return false;
    }
    const IoUse use(*this);
    if (use.fd() < 0) {
        setError(QStringLiteral("Port is not open"));
        return false;
    }
    termios tio{};
    if (::tcgetattr(use.fd(), &tio) != 0 || ::cfsetispeed(&tio, *code) != 0 || ::cfsetospeed(&tio, *code) != 0 ||
        ::tcsetattr(use.fd(), TCSANOW, &tio) != 0) {
        setError(QStringLiteral("Cannot set %1 baud on %2: %3").arg(baudRate).arg(device_, systemError(errno)));
        return false;
    }
    baud_ = baudRate;
    return true;
}

bool ComPort::setTimeouts(const CommTimeouts& t)
{
    std::lock_guard lock(mutex_);
    timeouts_ = t;
    return true;
}

CommTimeouts ComPort::timeouts() const
{
    std::lock_guard lock(mutex_);
    return timeouts_;
}

void ComPort::unread(const QByteArray& bytes)
{
    std::lock_guard lock(mutex_);
    pending_.prepend(bytes);
}

QString ComPort::errorString() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

void ComPort::setError(const QString& text)
{
    std::lock_guard lock(mutex_);
    error_ = text;
}

qint64 ComPort::write(const char* data, qint64 size)
{
    const IoUse use(*this);
    const int fd = use.fd();
    if (fd < 0) {
        setError(QStringLiteral("Port is not open"));
        return -1;
    }
    if (size <= 0)
        return 0;

    std::optional<SteadyClock::time_point> deadline;
    const CommTimeouts t = timeouts();
    if (t.writeTotalMultiplier != 0 || t.writeTotalConstant != 0) {
        const auto ms = quint64(t.writeTotalMultiplier) * quint64(size) + t.writeTotalConstant;
        deadline = SteadyClock::now() + std::chrono::milliseconds(ms);
    }

    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            const int err = errno;
            if (err == EIO || err == ENXIO || err == ENODEV)
                disconnected_ = true;
            setError(QStringLiteral("Write to %1 failed: %2").arg(device_, systemError(err)));
            return -1;
        }
        // The output queue is full: wait until the device takes more, or the write time-out ends the write
        // with what went out so far.
        if (deadline && SteadyClock::now() >= *deadline)
            return done;
        const int ev = waitForOrWake(fd, POLLOUT, -1, closeWakeFd_, deadline);
        if (ev == -2) { // closed meanwhile
            setError(QStringLiteral("Port is not open"));
            return done > 0 ? done : -1;
        }
        if (ev < 0) {
            setError(QStringLiteral("Write to %1 failed: %2").arg(device_, systemError(errno)));
            return -1;
        }
        if (ev & (POLLHUP | POLLERR | POLLNVAL)) {
            disconnected_ = (ev & POLLNVAL) == 0;
            setError(QStringLiteral("Port %1 was disconnected").arg(device_));
            return -1;
        }
    }
    return done;
}

qint64 ComPort::read(char* data, qint64 size)
{
    return readWith(data, size, nullptr);
}

qint64 ComPort::read(char* data, qint64 size, const CommTimeouts& timeouts)
{
    return readWith(data, size, &timeouts);
}

qint64 ComPort::readArrived(char* data, qint64 size)
{
    return readWith(data, size, &kArrivedOnlyTimeouts);
}

qint64 ComPort::readWith(char* data, qint64 size, const CommTimeouts* fixed)
{
    const IoUse use(*this);
    const int fd = use.fd();
    if (fd < 0) {
        setError(QStringLiteral("Port is not open"));
        return -1;
    }
    if (size <= 0)
        return 0;

    qint64 got = 0;
    CommTimeouts t;
    {
        std::lock_guard lock(mutex_);
        t = fixed ? *fixed : timeouts_;
        if (!pending_.isEmpty()) {
            got = std::min<qint64>(size, pending_.size());
            std::memcpy(data, pending_.constData(), size_t(got));
            pending_.remove(0, got);
        }
    }
    if (got == size)
        return got;
    if (disconnected_) {
        setError(QStringLiteral("Port %1 was disconnected").arg(device_));
        return got > 0 ? got : -1;
    }

    const auto start = SteadyClock::now();
    // Interval MAXDWORD with both totals 0: return at once with whatever has already been received.
    const bool immediate = t.readInterval == kMaxDword && t.readTotalMultiplier == 0 && t.readTotalConstant == 0;
    std::optional<SteadyClock::time_point> totalDeadline;
    if (!immediate && (t.readTotalMultiplier != 0 || t.readTotalConstant != 0)) {
        const auto ms = quint64(t.readTotalMultiplier) * quint64(size) + t.readTotalConstant;
        totalDeadline = start + std::chrono::milliseconds(ms);
    }
    const bool useInterval = !immediate && t.readInterval != 0;
    SteadyClock::time_point lastByte = start;
    bool hungUp = false;

    auto peerGone = [&]() -> qint64 {
        disconnected_ = true;
        setError(QStringLiteral("Port %1 was disconnected").arg(device_));
        // Bytes that came before the hang-up are still handed out; the next read reports the loss.
        return got > 0 ? got : -1;
    };

    for (;;) {
        const ssize_t n = ::read(fd, data + got, size_t(size - got));
        if (n > 0) {
            got += n;
            lastByte = SteadyClock::now();
            if (got == size)
                return got;
            continue; // take whatever else is already queued before waiting
        }
        if (n == 0)
            return peerGone(); // a tty has no end of file: the other side hung up
        if (errno == EINTR)
            continue;
        if (errno == EIO || errno == ENXIO || errno == ENODEV)
            return peerGone();
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            setError(QStringLiteral("Read from %1 failed: %2").arg(device_, systemError(errno)));
            return got > 0 ? got : -1;
        }
        if (hungUp)
            return peerGone();
        if (immediate || cancelled_.load() || fd_.load() < 0) // cancelled, or closed meanwhile
            return got;

        std::optional<SteadyClock::time_point> deadline = totalDeadline;
        if (useInterval && got > 0)
            deadline = earlier(deadline, lastByte + std::chrono::milliseconds(t.readInterval));
        if (deadline && SteadyClock::now() >= *deadline)
            return got;

        const int ev = waitForOrWake(fd, POLLIN, wakeFd_, closeWakeFd_, deadline);
        if (ev == -2)
            return got; // reads cancelled, or the port closed
        if (ev < 0) {
            setError(QStringLiteral("Read from %1 failed: %2").arg(device_, systemError(errno)));
            return got > 0 ? got : -1;
        }
        if (ev & POLLNVAL) {
            setError(QStringLiteral("Read from %1 failed: %2").arg(device_, systemError(EBADF)));
            return got > 0 ? got : -1;
        }
        // On a hang-up, first drain what is still queued; the read that then finds nothing reports it.
        if (ev & (POLLHUP | POLLERR))
            hungUp = true;
    }
}

bool ComPort::readByte(char& out)
{
    char c = 0;
    if (read(&c, 1) != 1)
        return false;
    out = c;
    return true;
}

bool ComPort::setDtr(bool on)
{
    const IoUse use(*this);
    if (use.fd() < 0)
        return false;
    int bits = TIOCM_DTR;
    if (::ioctl(use.fd(), on ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
        setError(QStringLiteral("Cannot set DTR on %1: %2").arg(device_, systemError(errno)));
        return false;
    }
    return true;
}

bool ComPort::setRts(bool on)
{
    const IoUse use(*this);
    if (use.fd() < 0)
        return false;
    int bits = TIOCM_RTS;
    if (::ioctl(use.fd(), on ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
        setError(QStringLiteral("Cannot set RTS on %1: %2").arg(device_, systemError(errno)));
        return false;
    }
    return true;
}

void ComPort::flush()
{
    {
        std::lock_guard lock(mutex_);
        pending_.clear();
    }
    const IoUse use(*this);
    if (use.fd() >= 0)
        ::tcflush(use.fd(), TCIOFLUSH);
}

QStringList ComPort::availablePorts()
{
    QStringList ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        const QString path = info.systemLocation();
        if (!path.isEmpty() && QFileInfo::exists(path) && !ports.contains(path))
            ports << path;
    }
    // The stable names of USB adapters, which survive re-plugging into another socket.
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    const auto links = byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (link.exists() && !ports.contains(link.filePath()))
            ports << link.filePath();
    }
    return ports;
}
