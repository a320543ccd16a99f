#include "gatewaysim/TelnetServer.h"

#include "gatewaysim/Session.h"

#include <QPointer>
#include <QTcpSocket>

#include <libtelnet.h>

namespace gatewaysim {

namespace {

const telnet_telopt_t kTelopts[] = {
    {TELNET_TELOPT_ECHO, TELNET_WILL, TELNET_DONT},
    {TELNET_TELOPT_SGA, TELNET_WILL, TELNET_DONT},
    {TELNET_TELOPT_TTYPE, TELNET_WONT, TELNET_DO},
    {-1, 0, 0},
};

// One client: the socket, its telnet state and the session behind it. Deletes itself when the client goes.
class TelnetConnection : public QObject
{
public:
    TelnetConnection(GatewayState* state, QTcpSocket* socket, QObject* parent) : QObject(parent), state_(state)
    {
        socket_ = socket;
        socket_->setParent(this);
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        telnet_ = telnet_init(kTelopts, &TelnetConnection::onEvent, 0, this);
        connect(socket_, &QTcpSocket::readyRead, this, &TelnetConnection::onReadyRead);
        connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);

        state_->noteConnection();
        telnet_negotiate(telnet_, TELNET_WILL, TELNET_TELOPT_ECHO);
        telnet_negotiate(telnet_, TELNET_WILL, TELNET_TELOPT_SGA);
        telnet_negotiate(telnet_, TELNET_DO, TELNET_TELOPT_TTYPE);
        session_ = new Session(
            state_, Session::Start::Greet, [this](const QByteArray& b) { sendData(b); }, this);
        connect(session_, &Session::dropRequested, this, &TelnetConnection::drop);
    }

    ~TelnetConnection() override
    {
        delete session_; // its queue must not write into a freed telnet state
        if (telnet_)
            telnet_free(telnet_);
    }

private:
    static void onEvent(telnet_t*, telnet_event_t* ev, void* user)
    {
        static_cast<TelnetConnection*>(user)->handleEvent(ev);
    }

    void handleEvent(telnet_event_t* ev)
    {
        switch (ev->type) {
        case TELNET_EV_DATA:
            if (session_ && !dropped_)
                session_->feed(QByteArray(ev->data.buffer, qsizetype(ev->data.size)));
            break;
        case TELNET_EV_SEND:
            if (socket_)
                socket_->write(ev->data.buffer, qint64(ev->data.size));
            break;
        case TELNET_EV_WILL:
            if (ev->neg.telopt == TELNET_TELOPT_TTYPE)
                telnet_ttype_send(telnet_);
            break;
        case TELNET_EV_TTYPE:
            if (ev->ttype.cmd == TELNET_TTYPE_IS)
                state_->setTerminalType(QString::fromLatin1(ev->ttype.name));
            break;
        default:
            break;
        }
    }

    void onReadyRead()
    {
        const QByteArray bytes = socket_->readAll();
        if (!bytes.isEmpty() && telnet_)
            telnet_recv(telnet_, bytes.constData(), size_t(bytes.size()));
    }

    void sendData(const QByteArray& bytes)
    {
        if (!dropped_ && telnet_ && socket_ && socket_->state() == QAbstractSocket::ConnectedState) {
            telnet_send(telnet_, bytes.constData(), size_t(bytes.size()));
            socket_->flush();
        }
    }

    void drop()
    {
        dropped_ = true; // the session hears and says nothing more
        if (socket_)
            socket_->disconnectFromHost(); // what was written still goes out; then 'disconnected' frees us
    }

    GatewayState* state_;
    QPointer<QTcpSocket> socket_;
    telnet_t* telnet_ = nullptr;
    QPointer<Session> session_;
    bool dropped_ = false;
};

} // namespace

TelnetServer::TelnetServer(GatewayState* state, QObject* parent) : QObject(parent), state_(state)
{
    connect(&server_, &QTcpServer::newConnection, this, &TelnetServer::onNewConnection);
}

quint16 TelnetServer::listen(quint16 port)
{
    if (!server_.listen(QHostAddress::LocalHost, port))
        return 0;
    return server_.serverPort();
}

void TelnetServer::onNewConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection())
        new TelnetConnection(state_, socket, this);
}

} // namespace gatewaysim
