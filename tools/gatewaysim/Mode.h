#pragma once
// How a session dispatches what it receives: it is always in one mode (the login, command mode, a paged
// listing, the boot loader, ...) and hands every received byte to that mode's handler. A mode that reads
// commands keeps a table of command handlers of its own, tried in order. Each mode and each group of
// commands lives in a file of its own and is installed in Handlers.cpp; docs/gatewaysim.md shows how.
#include <QByteArray>
#include <QList>
#include <functional>
#include <map>
#include <memory>

namespace gatewaysim {

class Session;

// The modes of a session. A new mode adds its name here and installs its handler in Handlers.cpp.
enum class Mode {
    User,          // the login prompt: waits for a user name
    Password,      // waits for the password
    Command,       // logged in: AT commands
    Paged,         // a paged listing waits for the blank that asks for its next page
    Boot,          // the boot loader
    XmodemSend,    // the gateway sends a voice message over XMODEM-CRC
    XmodemReceive, // the gateway receives a voice message over XMODEM-CRC
    VoiceRecord,   // a voice message is being recorded over a call
    Restart,       // after a reset: silent until the gateway has started again
    Trace,         // a trace is streaming until "AT!RX"
    CallDelete,    // "AT&CR": call data records sent one at a time, each "#" deletes one
    TestCall,      // a test call: the gateway's account of the call streams until an empty line ends it
};

// The handler of one mode in one session. Each session makes its own, on first use, so a handler may keep
// per-session state (the pages still to send, a transfer under way) and own timers (connect them with the
// session as context). It runs on the simulator's thread and never blocks.
class ModeHandler
{
public:
    virtual ~ModeHandler() = default;

    // What a connection that starts in this mode is shown first (a telnet connection, a modem call; the
    // serial line starts quiet). Default: nothing.
    virtual void greet(Session&) {}
    // The session switched into this mode, or out of it. A handler with timers stops them on leave; leave is
    // also called when the session is dropped.
    virtual void enter(Session&) {}
    virtual void leave(Session&) {}

    // Takes received bytes from bytes[from] on and returns how many it took (at least one). It may switch
    // the session to another mode; the bytes it did not take go to the new mode, and only after such a
    // switch may it return 0, handing bytes[from] itself on. A mode that reads raw data (a transfer) takes
    // what it wants here and logs it with Session::logRaw.
    //
    // The default reads lines (see LineSplitter): the LF or NUL after a CR completes that CR's line, the
    // characters are echoed when the gateway echoes and echoes() says so, and each complete line is logged
    // and handed to onLine.
    virtual qsizetype take(Session& session, const QByteArray& bytes, qsizetype from);

protected:
    // Line modes: whether received characters are echoed when the gateway echoes (Config::echo).
    virtual bool echoes() const { return false; }
    // Line modes: a line came (text without its line end; overlong: cut at LineSplitter::kMaxLine).
    virtual void onLine(Session&, const QByteArray& /*text*/, bool /*overlong*/) {}
};

// A line as the gateway's command reader understands it when it echoes: each backspace erases the character
// before it. (The log keeps the bytes as they came.)
QByteArray eraseBackspaces(const QByteArray& text);

// A command handler answers a command it knows and returns true; false leaves the command to the next
// handler of the table. `body` is the command after its "AT" (or "at"): "I3", "&V", "%S91=0,0".
using CommandHandler = std::function<bool(Session& session, const QByteArray& body)>;

// The ordered command handlers of one mode. A command that no handler takes is the mode's to refuse.
class CommandTable
{
public:
    // name: what the handler answers, for reading the table ("ATI3", "AT%KEY=value").
    void add(const QByteArray& name, CommandHandler handler);
    bool dispatch(Session& session, const QByteArray& body) const;
    QList<QByteArray> names() const;

private:
    QList<std::pair<QByteArray, CommandHandler>> entries_;
};

// Every mode's handler and command table. Built once, by the install functions that Handlers.cpp lists;
// read-only afterwards, so sessions on any thread share it.
class HandlerTable
{
public:
    using Factory = std::function<std::unique_ptr<ModeHandler>()>;

    static const HandlerTable& instance();

    // A later setMode for the same mode replaces the earlier one.
    void setMode(Mode mode, Factory factory);
    std::unique_ptr<ModeHandler> create(Mode mode) const; // null for a mode nobody installed
    CommandTable& commands(Mode mode) { return commands_[mode]; }
    const CommandTable& commands(Mode mode) const;

private:
    std::map<Mode, Factory> factories_;
    std::map<Mode, CommandTable> commands_;
};

} // namespace gatewaysim
