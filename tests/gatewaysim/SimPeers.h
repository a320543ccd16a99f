#pragma once
// Plain peers for talking to the simulated gateway from a test: a raw TCP socket (no telnet) and a pty slave
// opened with POSIX calls. Both block the test thread while they wait; the gateway runs on its own thread.
#include "gatewaysim/Gateway.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QTcpSocket>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace simtest {

class Peer
{
public:
    virtual ~Peer() = default;
    virtual void send(const QByteArray& bytes) = 0;
    // Bytes that arrive within ms (possibly none); counts the reads that brought something.
    virtual QByteArray readSome(int ms) = 0;

    // Reads until the input holds one of the markers; returns the input up to and including the first one and
    // keeps the rest. Returns what came, without a marker, when timeoutMs passes first.
    QByteArray readUntilAny(const QList<QByteArray>& markers, int timeoutMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            qsizetype end = -1;
            for (const QByteArray& m : markers) {
                const qsizetype at = buffer.indexOf(m);
                if (at >= 0 && (end < 0 || at + m.size() < end))
                    end = at + m.size();
            }
            if (end < 0 && t.elapsed() < timeoutMs) {
                buffer += readSome(int(timeoutMs - t.elapsed()));
                continue;
            }
            const QByteArray out = end < 0 ? buffer : buffer.left(end);
            buffer.remove(0, out.size());
            return out;
        }
    }
    QByteArray readUntil(const QByteArray& marker, int timeoutMs = 5000) { return readUntilAny({marker}, timeoutMs); }
    // One whole reply: up to the first "OK\r\n", "ERROR\r\n" or "<SPACE>\r\n".
    QByteArray readReply() { return readUntilAny({"OK\r\n", "ERROR\r\n", "<SPACE>\r\n"}); }
    // Everything that arrives within ms.
    QByteArray drain(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            buffer += readSome(int(ms - t.elapsed()));
        return std::exchange(buffer, {});
    }
    // Logs in with the given user and password; returns the gateway's answer to the password.
    QByteArray login(const QByteArray& user = "admin", const QByteArray& password = "admin",
                     const QByteArray& eol = "\r\n", bool waitForPrompt = true)
    {
        if (waitForPrompt)
            readUntil("login: ");
        send(user + eol);
        readUntil("Password: ");
        send(password + eol);
        return readUntilAny({"OK\r\n", "login: "});
    }

    QByteArray buffer;
    int reads = 0;
};

class TcpPeer : public Peer
{
public:
    bool connectTo(quint16 port)
    {
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        return socket.waitForConnected(5000);
    }
    void send(const QByteArray& bytes) override
    {
        socket.write(bytes);
        socket.waitForBytesWritten(5000);
    }
    QByteArray readSome(int ms) override
    {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(ms))
            return {};
        ++reads;
        return socket.readAll();
    }
    // True once the gateway has closed the connection (waits at most ms).
    bool closedWithin(int ms)
    {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        buffer += socket.readAll();
        socket.waitForDisconnected(ms);
        buffer += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }

    QTcpSocket socket;
};

// The telnet negotiation the gateway opens every connection with: WILL ECHO, WILL SGA, DO TTYPE.
inline const QByteArray kNegotiation("\xff\xfb\x01\xff\xfb\x03\xff\xfd\x18");

class PtyPeer : public Peer
{
public:
    ~PtyPeer() override { ::close(fd); }
    bool open(const QString& path)
    {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        if (fd < 0 || tcgetattr(fd, &t) != 0)
            return false;
        cfmakeraw(&t);
        return tcsetattr(fd, TCSANOW, &t) == 0;
    }
    void send(const QByteArray& bytes) override
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            pollfd p{fd, POLLOUT, 0};
            if (n > 0)
                done += n;
            else
                ::poll(&p, 1, 100);
        }
    }
    QByteArray readSome(int ms) override
    {
        pollfd p{fd, POLLIN, 0};
        char buf[4096];
        const ssize_t n = ::poll(&p, 1, ms) > 0 && (p.revents & POLLIN) ? ::read(fd, buf, sizeof buf) : 0;
        if (n <= 0)
            return {};
        ++reads;
        return QByteArray(buf, qsizetype(n));
    }

    int fd = -1;
};

// A small fixture for the tests: two views, keys whose names are tails of each other, shapes to refuse.
inline const QString kFixture = QStringLiteral(R"(
[gateway]
page-size = 20
paged-views = AT&A

[S91]
views = AT&V
shape = [0-7],[0-9]{1,3}
value = 5,12

[X22]
views = AT&V
shape = [0-9]{1,2}:[0-9]{2}
value = 07:30

[G191]
views = AT&V9
shape = [0-9]{1,2},.?
value = 3,#

[G91]
views = AT&V9
shape = [0-7](,[0-9]*)*
value = 2,3,3

[G99]
views = AT&V9 AT&V0
shape = [0-9]+,[0-9]+
value = 0,12
)");

inline gatewaysim::Config testConfig()
{
    gatewaysim::Config cfg;
    cfg.fixtureText = kFixture;
    return cfg;
}

// A fixture with n keys A00.. in the paged view AT&A.
inline QString pagedFixture(int n, int pageSize)
{
    QString text = QStringLiteral("[gateway]\npage-size = %1\npaged-views = AT&A\n").arg(pageSize);
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("[A%1]\nviews = AT&A\nshape = .*\nvalue = row%1\n").arg(i, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace simtest
