#pragma once
// One conversation with the gateway's command interpreter, whatever carries it (telnet, a serial line, a modem
// call): the login, the AT commands, paged listings. It takes the bytes received and writes its answers
// through an OutputQueue; it never blocks.
#include "gatewaysim/GatewayState.h"
#include "gatewaysim/LineSplitter.h"
#include "gatewaysim/OutputQueue.h"

#include <QObject>
#include <QTimer>

namespace gatewaysim {

class Session : public QObject
{
    Q_OBJECT
public:
    // Greet: the login prompt (or the boot banner) goes out at once, as on a telnet connection or a modem call.
    // Quiet: nothing is sent until a line comes, as on a serial line that was there all along.
    enum class Start { Greet, Quiet };

    Session(GatewayState* state, Start start, OutputQueue::Writer writer, QObject* parent = nullptr);

    void feed(const QByteArray& bytes);
    bool loggedIn() const { return stage_ == Stage::Command; }
    // Ends the session now, as a gateway restart or a pulled cable would: what is still queued is not sent.
    void drop();

signals:
    // The connection is to be dropped (fault "drop after N commands", the idle logout, drop()); emitted once
    // the last reply is out.
    void dropRequested();

private:
    enum class Stage { Boot, User, Password, Command };

    void handleLine(const QByteArray& text, bool overlong);
    void handleCommand(const QByteArray& text, bool overlong);
    void sendPrompt();
    void sendBanner();
    void sendReply(const QList<QByteArray>& lines, const QByteArray& view = {});
    void sendError();
    void sendNextPage();
    QByteArray prompt() const;

    GatewayState* state_;
    OutputQueue* out_;
    LineSplitter splitter_;
    Stage stage_ = Stage::User;
    QByteArray user_;
    int commands_ = 0;
    QList<QByteArray> pages_; // pages of a listing still to send, each sent after a blank
    QTimer idle_;             // the auto-logout of a logged-in session that hears nothing
};

// The texts the gateway identifies itself with.
QByteArray ati3Text(const Config& config);
QByteArray ati4Text(const Config& config);
QByteArray bootBanner(const Config& config);

} // namespace gatewaysim
