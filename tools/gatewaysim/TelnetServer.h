#pragma once
// The gateway's telnet port: a QTcpServer on 127.0.0.1, one Session per connection, libtelnet on the server
// side. On a new connection the gateway offers WILL ECHO and WILL SGA and asks DO TTYPE; when the client agrees
// it asks for the terminal type (SB TTYPE SEND) and records the answer.
#include "gatewaysim/GatewayState.h"

#include <QObject>
#include <QTcpServer>

namespace gatewaysim {

class TelnetServer : public QObject
{
    Q_OBJECT
public:
    explicit TelnetServer(GatewayState* state, QObject* parent = nullptr);

    // Listens on 127.0.0.1:port (0 = any free port). Returns the port, 0 on failure.
    quint16 listen(quint16 port);
    QString errorString() const { return server_.errorString(); }

private:
    void onNewConnection();

    GatewayState* state_;
    QTcpServer server_;
};

} // namespace gatewaysim
