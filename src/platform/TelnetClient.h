#pragma once
// The telnet link to the gateway: TCP + the telnet protocol (libtelnet), terminal type "dumb".
// Lives on the UI thread; received text is delivered there through the data handler, which the program
// swaps (the firmware upgrade takes it over for a while).
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QTcpSocket;

class TelnetClient : public QObject
{
    Q_OBJECT
public:
    using DataHandler = std::function<void(const QByteArray&)>;

    explicit TelnetClient(QObject* parent = nullptr);
    ~TelnetClient() override;

    QString Host;
    quint16 Port = 23;
    QString TerminalType = QStringLiteral("dumb");

    // Connects and waits (events keep flowing) at most timeoutMs. True when connected.
    bool Connect(int timeoutMs = 10000);
    void Disconnect();
    bool Connected() const;

    // Sends one character; a CR goes out as CR LF unless the peer agreed to binary mode.
    // Returns false when not connected.
    bool SendCh(char c);
    // Sends bytes as they are (IAC doubled). Returns false when not connected.
    bool sendRaw(const QByteArray& bytes);

    void setDataHandler(DataHandler handler);
    DataHandler dataHandler() const;
    bool binaryMode() const;
    QString errorString() const;

signals:
    void dataAvailable(const QByteArray& text); // emitted as well as the handler being called
    void disconnected();

private:
    struct Impl;
    Impl* d;
};
