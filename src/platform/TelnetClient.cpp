// The telnet link: a QTcpSocket with libtelnet doing the protocol.
//
// libtelnet is an event parser: every byte that arrives goes through telnet_recv(), which keeps its own state,
// so an IAC sequence split over several reads is put together again. What we answer to the server's options:
// its WILL ECHO and WILL SGA are accepted (the gateway echoes, if at all; no go-ahead), TTYPE is answered with
// our terminal type, BINARY is accepted both ways and tracked, everything else is refused.
//
// Text is handed on only after telnet_recv() has returned. The program's data handler may wait with a nested
// event loop (it does, for 10 ms), and so more text may arrive while it runs; that text is queued and handed on
// after the handler returns, so that the order is kept and libtelnet is never re-entered.
#include "platform/TelnetClient.h"
#include "platform/Wait.h"

#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <libtelnet.h>

namespace {

const telnet_telopt_t kTelopts[] = {
    {TELNET_TELOPT_ECHO, TELNET_WONT, TELNET_DO},
    {TELNET_TELOPT_SGA, TELNET_WONT, TELNET_DO},
    {TELNET_TELOPT_TTYPE, TELNET_WILL, TELNET_DONT},
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {-1, 0, 0},
};

} // namespace

struct TelnetClient::Impl
{
    TelnetClient* q = nullptr;
    QPointer<QTcpSocket> socket;
    telnet_t* telnet = nullptr;
    bool connected = false;
    bool binaryOut = false; // we send binary: CR goes out alone
    bool binaryIn = false;  // the server sends binary
    QString error;
    DataHandler handler;
    QByteArray received;      // text of the telnet_recv() call in progress
    QList<QByteArray> queued; // text waiting to be handed on
    bool delivering = false;

    static void onEvent(telnet_t* t, telnet_event_t* ev, void* user);
    void handleEvent(telnet_t* t, telnet_event_t* ev);
    void readSocket();
    bool deliver(); // false when the client was deleted meanwhile
    void dropConnection();
};

void TelnetClient::Impl::onEvent(telnet_t* t, telnet_event_t* ev, void* user)
{
    static_cast<Impl*>(user)->handleEvent(t, ev);
}

void TelnetClient::Impl::handleEvent(telnet_t* t, telnet_event_t* ev)
{
    switch (ev->type) {
    case TELNET_EV_DATA:
        received.append(ev->data.buffer, qsizetype(ev->data.size));
        break;
    case TELNET_EV_SEND:
        if (socket)
            socket->write(ev->data.buffer, qint64(ev->data.size));
        break;
    case TELNET_EV_TTYPE:
        if (ev->ttype.cmd == TELNET_TTYPE_SEND)
            telnet_ttype_is(t, q->TerminalType.toLatin1().constData());
        break;
    case TELNET_EV_DO:
        if (ev->neg.telopt == TELNET_TELOPT_BINARY)
            binaryOut = true;
        break;
    case TELNET_EV_DONT:
        if (ev->neg.telopt == TELNET_TELOPT_BINARY)
            binaryOut = false;
        break;
    case TELNET_EV_WILL:
        if (ev->neg.telopt == TELNET_TELOPT_BINARY)
            binaryIn = true;
        break;
    case TELNET_EV_WONT:
        if (ev->neg.telopt == TELNET_TELOPT_BINARY)
            binaryIn = false;
        break;
    case TELNET_EV_WARNING:
    case TELNET_EV_ERROR:
        // A malformed sequence from the server: libtelnet drops it and goes on with the next byte.
        error = QString::fromLatin1(ev->error.msg);
        break;
    default:
        break;
    }
}

void TelnetClient::Impl::readSocket()
{
    // QTcpSocket does not signal readyRead again while its slot runs, and the handler may wait with the event
    // loop running: so read on until the socket holds nothing more.
    while (socket && telnet && socket->bytesAvailable() > 0) {
        const QByteArray bytes = socket->readAll();
        received.clear();
        telnet_recv(telnet, bytes.constData(), size_t(bytes.size()));
        if (!received.isEmpty()) {
            queued.push_back(received);
            received.clear();
        }
        if (!deliver())
            return; // the client is gone
    }
}

bool TelnetClient::Impl::deliver()
{
    if (delivering)
        return true; // the outer call hands this text on when the handler it runs has returned
    QPointer<TelnetClient> guard(q);
    delivering = true;
    while (!queued.isEmpty()) {
        const QByteArray text = queued.takeFirst();
        if (handler) {
            DataHandler h = handler; // the handler may replace itself
            h(text);
            if (!guard)
                return false;
        }
        emit q->dataAvailable(text);
        if (!guard)
            return false;
    }
    delivering = false;
    return true;
}

void TelnetClient::Impl::dropConnection()
{
    connected = false;
    binaryOut = false;
    binaryIn = false;
    if (socket) {
        QTcpSocket* s = socket;
        socket = nullptr;
        QObject::disconnect(s, nullptr, q, nullptr);
        s->disconnectFromHost(); // what was written still goes out
        s->deleteLater();
    }
    if (telnet) {
        telnet_free(telnet);
        telnet = nullptr;
    }
}

TelnetClient::TelnetClient(QObject* parent) : QObject(parent), d(new Impl)
{
    d->q = this;
}

TelnetClient::~TelnetClient()
{
    d->dropConnection();
    delete d;
}

bool TelnetClient::Connect(int timeoutMs)
{
    d->dropConnection();
    d->error.clear();
    d->queued.clear();

    auto* socket = new QTcpSocket(this);
    d->socket = socket;
    d->telnet = telnet_init(kTelopts, &Impl::onEvent, 0, d);
    if (!d->telnet) {
        d->error = QStringLiteral("Out of memory");
        d->dropConnection();
        return false;
    }
    QPointer<QTcpSocket> guard(socket);

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    connect(socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    connect(socket, &QObject::destroyed, &loop, &QEventLoop::quit);
    socket->connectToHost(Host, Port);
    timer.start(qMax(0, timeoutMs));
    {
        NestedWait nested;
        loop.exec();
    }

    if (!guard || d->socket != socket) {
        // Disconnect() or another Connect() ran while we waited.
        if (d->error.isEmpty())
            d->error = QStringLiteral("Connection cancelled");
        return false;
    }
    if (socket->state() != QAbstractSocket::ConnectedState) {
        d->error = socket->error() == QAbstractSocket::UnknownSocketError ? QStringLiteral("Connection timed out")
                                                                          : socket->errorString();
        d->dropConnection();
        return false;
    }

    d->connected = true;
    // Commands go out a character at a time; without this every command waits for the delayed-ACK timer.
    // The option only takes effect on a connected socket.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, [this] { d->readSocket(); });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        d->readSocket(); // what came before the close still counts
        if (!d->connected)
            return;
        d->dropConnection();
        emit disconnected();
    });
    // The server may have spoken already (its option offers) while the loop above ran.
    if (socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this] { d->readSocket(); });
    return true;
}

void TelnetClient::Disconnect()
{
    d->dropConnection();
}

bool TelnetClient::Connected() const
{
    return d->connected && d->socket && d->socket->state() == QAbstractSocket::ConnectedState;
}

bool TelnetClient::SendCh(char c)
{
    if (!Connected() || !d->telnet)
        return false;
    if (c == '\r' && !d->binaryOut) {
        // Telnet's end of line outside binary mode.
        static const char crlf[2] = {'\r', '\n'};
        telnet_send(d->telnet, crlf, 2);
    } else {
        telnet_send(d->telnet, &c, 1);
    }
    d->socket->flush();
    return true;
}

bool TelnetClient::sendRaw(const QByteArray& bytes)
{
    if (!Connected() || !d->telnet)
        return false;
    telnet_send(d->telnet, bytes.constData(), size_t(bytes.size()));
    d->socket->flush();
    return true;
}

void TelnetClient::setDataHandler(DataHandler handler)
{
    d->handler = std::move(handler);
}

TelnetClient::DataHandler TelnetClient::dataHandler() const
{
    return d->handler;
}

bool TelnetClient::binaryMode() const
{
    return d->binaryOut;
}

QString TelnetClient::errorString() const
{
    return d->error;
}
