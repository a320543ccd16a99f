#pragma once
// The two pty transports: the gateway's own serial port, and a Hayes modem that the gateway answers behind.
#include "gatewaysim/GatewayState.h"
#include "gatewaysim/LineSplitter.h"
#include "gatewaysim/PtyPort.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace gatewaysim {

class Session;

// The serial port: one session that lives as long as the line. A session that drops (a fault, the idle logout,
// a restart) is replaced by a fresh one that shows the login prompt on the line and waits for a login, as the
// gateway does after a restart or a logout; the line's first session says nothing until a line comes.
class SerialLine : public QObject
{
    Q_OBJECT
public:
    explicit SerialLine(GatewayState* state, QObject* parent = nullptr);
    bool open(QString* slavePath, QString* error);

private:
    void newSession(bool greet);

    GatewayState* state_;
    PtyPort port_;
    QPointer<Session> session_;
};

// A Hayes modem on the line. Command mode: "AT" -> OK, "ATH"/"ATH0" -> OK, "ATDT<number>" -> "CONNECT 9600"
// and a gateway session in data mode (or "NO CARRIER", "BUSY" or nothing, as configured); anything else ->
// ERROR. In data mode "+++" with the guard time of silence before and after it returns to command mode
// ("OK"), where "ATH" ends the call. A call also ends when the caller closes the line, and with "NO CARRIER"
// when the session drops, or as the line of Faults::modemDropOn comes (the modem then answers that line).
class HayesModem : public QObject
{
    Q_OBJECT
public:
    explicit HayesModem(GatewayState* state, QObject* parent = nullptr);
    bool open(QString* slavePath, QString* error);

private:
    void onData(const QByteArray& bytes);
    bool onCommandByte(char c, char next); // true when it took next as well
    void onCommand(const QByteArray& text);
    void onEscapeTimer();
    void toCall(char c, const QByteArray& dropOn); // one byte of data mode for the session (Faults::modemDropOn)
    void startCall();
    void endCall();
    void send(const QByteArray& bytes);

    GatewayState* state_;
    PtyPort port_;
    LineSplitter splitter_;
    QPointer<Session> session_;
    bool dataMode_ = false;
    int pluses_ = 0;         // "+" held back as a possible escape
    QElapsedTimer lastByte_; // time since the last byte received in data mode
    QTimer escapeTimer_;     // the guard time after "+++"
    bool lineStart_ = true;  // data mode: the next byte begins a line
    QByteArray heldLine_;    // the start of a line that may turn out to be Faults::modemDropOn's, held back
};

} // namespace gatewaysim
