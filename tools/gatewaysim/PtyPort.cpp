#include "gatewaysim/PtyPort.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace gatewaysim {

namespace {

void makeRaw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
}

} // namespace

PtyPort::PtyPort(QObject* parent) : QObject(parent) {}

PtyPort::~PtyPort()
{
    delete readNotifier_;
    delete writeNotifier_;
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyPort::open()
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        master_ = slave_ = -1;
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    makeRaw(slave_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);

    readNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PtyPort::readMaster);
    writeNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PtyPort::writePending);
    return true;
}

void PtyPort::holdSlave(bool hold)
{
    if (hold && slave_ < 0) {
        slave_ = ::open(slavePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (!readNotifier_->isEnabled()) {
            // After a hang-up: what the gateway said to nobody must not greet the next caller.
            if (slave_ >= 0)
                ::tcflush(slave_, TCIFLUSH);
            pending_.clear();
            readNotifier_->setEnabled(true);
        }
    } else if (!hold && slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

qint32 PtyPort::lineSpeed() const
{
    // The master reads the slave's settings: the speed is what the program set on its end of the line.
    termios t{};
    if (master_ < 0 || ::tcgetattr(master_, &t) != 0)
        return 0;
    static const struct
    {
        speed_t code;
        qint32 bps;
    } kSpeeds[] = {{B1200, 1200},     {B2400, 2400},     {B4800, 4800},    {B9600, 9600},
                   {B19200, 19200},   {B38400, 38400},   {B57600, 57600},  {B115200, 115200},
                   {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};
    const speed_t code = ::cfgetospeed(&t);
    for (const auto& s : kSpeeds) {
        if (s.code == code)
            return s.bps;
    }
    return 0;
}

void PtyPort::write(const QByteArray& bytes)
{
    if (master_ < 0 || !readNotifier_->isEnabled())
        return; // nobody on the line
    pending_.append(bytes);
    writePending();
}

void PtyPort::writePending()
{
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), size_t(pending_.size()));
        if (n > 0) {
            pending_.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // the line is full (or gone): wait until it can take more
        }
    }
    writeNotifier_->setEnabled(!pending_.isEmpty());
}

void PtyPort::readMaster()
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            if (onData)
                onData(QByteArray(buf, qsizetype(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        // EIO: nobody has the slave open. Stop listening until we take the slave again, or the master would
        // report the hang-up over and over.
        readNotifier_->setEnabled(false);
        writeNotifier_->setEnabled(false);
        pending_.clear();
        if (onHangUp)
            onHangUp();
        return;
    }
}

} // namespace gatewaysim
