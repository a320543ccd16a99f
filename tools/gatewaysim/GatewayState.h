#pragma once
// What all sessions of one simulated gateway share, guarded by one mutex: the parameter store, the faults,
// the log of received lines and the counters the tests read.
#include "gatewaysim/Config.h"
#include "gatewaysim/Fixture.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <functional>

namespace gatewaysim {

class GatewayState
{
public:
    GatewayState(const Config& config, const Fixture& fixture);

    // Never changes after construction; read without the lock.
    const Config& config() const { return config_; }
    // A number no other gateway of this process had or will have: a key for what a command group keeps per
    // gateway (an address could be reused by the next gateway).
    quint64 serial() const { return serial_; }

    Faults faults() const;
    void setFaults(const Faults& f);

    // Parameters.
    bool isView(const QByteArray& command) const; // "AT&V0"
    bool isPaged(const QByteArray& view) const;
    int pageSize() const { return pageSize_; }
    // The lines in the order they are sent: "KEY=value", or the table of a table view (gatewaysim/Tables.h).
    QList<QByteArray> listing(const QByteArray& view) const;
    enum class SetResult { Ok, UnknownKey, BadShape };
    SetResult setChecked(const QByteArray& key, const QByteArray& value); // "R9" sets the register R09
    bool hasKey(const QByteArray& key) const;
    QByteArray value(const QByteArray& key) const;
    bool setValue(const QByteArray& key, const QByteArray& value); // no shape check; false for an unknown key
    bool removeKey(const QByteArray& key);

    // Voice messages by number (the N of "AT!M<N>=..."): the bytes of a .wav file, empty when erased.
    QByteArray voiceMessage(int n) const;
    void setVoiceMessage(int n, const QByteArray& bytes);

    // Log of received lines.
    void logLine(const QByteArray& raw);
    void logTail(char c); // the LF or NUL that completes the last line
    // A line that came while the session still had output to send: the program wrote before the reply it was
    // owed had gone out, so the two may mix.
    void noteLineWhileSending(const QByteArray& raw);
    QList<QByteArray> linesWhileSending() const;
    QList<QByteArray> lines() const;
    QByteArray bytes() const;
    void clearLog();
    // Called (on the simulator's thread, outside the lock) with the index and bytes of a line as it is
    // logged or completed.
    void setLineObserver(std::function<void(int, const QByteArray&)> observer);

    // Counters.
    void noteConnection();
    void noteLogin();
    void setTerminalType(const QString& type);
    void setModemInCall(bool inCall);
    int connectionCount() const;
    int loginCount() const;
    QString terminalType() const;
    bool modemInCall() const;

private:
    int indexOf(const QByteArray& key) const; // under the lock
    void notify(int index, const QByteArray& raw);

    const Config config_;
    const quint64 serial_;
    int pageSize_ = 20;
    QList<QByteArray> views_;
    QList<QByteArray> pagedViews_;
    QList<QByteArray> tableViews_;
    QHash<QByteArray, QByteArray> listingTitles_;

    mutable QMutex mutex_;
    Faults faults_;
    QList<Parameter> parameters_;
    QHash<int, QByteArray> voice_;
    QList<QByteArray> lines_;
    QList<QByteArray> linesWhileSending_;
    QByteArray bytes_;
    std::function<void(int, const QByteArray&)> observer_;
    int connections_ = 0;
    int logins_ = 0;
    QString terminalType_;
    bool modemInCall_ = false;
};

} // namespace gatewaysim
