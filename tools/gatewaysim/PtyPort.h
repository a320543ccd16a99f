#pragma once
// The gateway's end of a pseudo-terminal. The program (or a test) opens the slave path as its serial port;
// the gateway reads and writes the master. The slave is set to raw mode.
//
// While the simulator holds the slave open itself, the master never sees a hang-up: that is the serial
// line, which a gateway cannot see being closed. The modem lets go of the slave during a call, so that the
// caller closing the port shows as a hang-up (the master reads EIO); it takes the slave again afterwards.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

namespace gatewaysim {

class PtyPort : public QObject
{
    Q_OBJECT
public:
    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;

    bool open();
    QString slavePath() const { return slavePath_; }
    QString errorString() const { return error_; }

    void write(const QByteArray& bytes);
    // Holds the slave open (no hang-up can be seen) or lets it go. Taking it again after a hang-up drops
    // whatever was left unread on the line.
    void holdSlave(bool hold);
    // The line speed in bits per second as the user of the slave last set it (0 when it cannot be read).
    qint32 lineSpeed() const;

    std::function<void(const QByteArray&)> onData;
    std::function<void()> onHangUp; // the last user of the slave closed it (only while not held)

private:
    void readMaster();
    void writePending();

    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString error_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QByteArray pending_;
};

} // namespace gatewaysim
