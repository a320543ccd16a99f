#pragma once
// A simulated gateway for tests and for trying the program without a device. It runs on its own thread with
// its own event loop, so a test on the UI thread can talk to it through the program's blocking or pumping
// waits. Every accessor here is thread-safe.
//
//   gatewaysim::Config cfg;                      // user "admin", password "admin", model "MX", built-in fixture
//   gatewaysim::Gateway gw(cfg);
//   quint16 port = gw.startTcp();                // telnet on 127.0.0.1:port
//   ... the program connects, logs in, loads a page ...
//   EXPECT_TRUE(gw.receivedLines().contains("AT&V\r\n"));
#include "gatewaysim/Config.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

namespace gatewaysim {

class GatewayState;

class Gateway : public QObject
{
    Q_OBJECT
public:
    explicit Gateway(const Config& config = Config(), QObject* parent = nullptr);
    ~Gateway() override;

    // False when the fixture could not be read; errorString() says why. Nothing can be started then.
    bool isValid() const { return state_ != nullptr; }
    QString errorString() const { return error_; }

    // Telnet on 127.0.0.1:port (0 = a free port). Returns the port, 0 on failure.
    quint16 startTcp(quint16 port = 0);
    // The gateway's serial port on a pty; returns the slave path to open, empty on failure.
    QString startSerialPty();
    // A Hayes modem on a pty with the gateway behind it; returns the slave path, empty on failure.
    QString startModemPty();
    // Closes every port and connection and ends the thread. Accessors keep working afterwards.
    void stop();

    // Everything received after the transport's own protocol (telnet options are not in it), one entry per
    // line with its line end as it came ("AT&V\r\n"); a blank that asks for the next page is an entry " ".
    QList<QByteArray> receivedLines() const;
    QByteArray receivedBytes() const;
    // The lines of receivedLines() that came while the session still had a reply (or other output) to send:
    // the program wrote before the reply it was owed had gone out. Emptied with the log.
    QList<QByteArray> linesWhileReplying() const;
    void clearLog();

    bool hasKey(const QByteArray& key) const;
    QByteArray value(const QByteArray& key) const;
    // Stores a value without the shape check (to give the program odd values); false for an unknown key.
    bool setValue(const QByteArray& key, const QByteArray& value);
    bool removeKey(const QByteArray& key); // the key is then neither listed nor settable

    // Voice messages by number (N of "AT!M<N>=..."): the stored .wav bytes, empty when there is none.
    QByteArray voiceMessage(int n) const;
    void setVoiceMessage(int n, const QByteArray& bytes);

    Faults faults() const;
    void setFaults(const Faults& faults);
    // Ends every session now, as a gateway restart would: telnet connections close, a modem call ends with
    // "NO CARRIER", the serial line shows the login prompt and waits for a new login.
    void dropSessions();

    QString terminalType() const; // as the last telnet client named it ("" before any did)
    int loginCount() const;       // successful logins
    int connectionCount() const;  // telnet connections accepted, serial lines opened, modem calls made
    bool modemInCall() const;
    // True while a session still has output queued (a trickle, a slow reply): the gateway is still talking.
    bool sending();
    const Config& config() const { return config_; }

signals:
    // A line was received (index into receivedLines()) or completed by its LF. Emitted on the simulator's
    // thread; connect with a queued connection.
    void lineLogged(int index, const QByteArray& raw);

private:
    bool runOnThread(const std::function<bool()>& fn);

    Config config_;
    QString error_;
    std::unique_ptr<GatewayState> state_;
    QThread thread_;
    QObject* host_ = nullptr; // parent of the transports, lives on thread_
};

} // namespace gatewaysim
