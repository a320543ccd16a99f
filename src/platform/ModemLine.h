#pragma once
// A data call through a Hayes modem on a serial device: what the program used the telephony API for.
// Dial: "AT" -> OK, "ATDT<number>" -> "CONNECT" within the time-out; then the same port carries the data.
// Hang-up: DTR dropped, then "+++" and "ATH" for modems that ignore DTR.
// dial() and hangUp() wait in short poll() slices and process the UI thread's events between them, so they may
// be called on the UI thread (the window keeps working, like the wait for a telephony call did).
//
// The call's data goes through read() and write(). The modem itself ends a call the far end dropped with its
// result line "NO CARRIER" and goes back to command mode, where it would answer an "AT" on its own: read()
// watches the lines for one that is exactly "NO CARRIER" and from then on the call counts as ended (callEnded()),
// so that no later command can take the modem's answer for the gateway's. A line that only contains the
// words (a module's answer the gateway passes on) is data.
// The call may also have ended while nobody read: the gateway logged an idle session out, or the far end dropped
// just before a command that is written without reading its answer (a reset). So write() first looks at what
// has come and not been read, unless a read is under way on another thread (that reader sees the end itself):
// a "NO CARRIER" line there ends the call before the command can reach the modem. While the call goes on the
// look takes nothing: the bytes are put back for the next read, and the watch follows them there, once. Once
// it finds the end, no read hands those bytes out any more: the writer is given them instead, once (the
// link's communication log shows them ahead of the refused command).
//
// The call can also end a moment after that look, with the command still on its way: the modem, back in
// command mode, then answers the command itself. answeredAfterCallEnd() tells such a text apart.
#include "platform/ComPort.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class ModemLine
{
public:
    ModemLine() = default;
    ~ModemLine();

    // Progress lines ("Dialing 123", "CONNECT 9600", ...) for the dialing window; the destructor reports nothing.
    using ProgressHandler = std::function<void(const QString&)>;
    void setProgressHandler(ProgressHandler h) { progress_ = std::move(h); }

    // Opens the modem's device and dials. True once "CONNECT" came within timeoutMs; false on "NO CARRIER",
    // "BUSY", "NO DIALTONE", "NO ANSWER", "ERROR" ("Modem response: <word>") or silence ("No answer from the
    // modem"); a port that cannot be opened gives the port's error. timeoutMs <= 0 means 60 s. After CONNECT,
    // port() carries the call with the program's normal read time-outs; bytes that came right behind the
    // CONNECT line are the first ones read.
    bool dial(const QString& device, qint32 baudRate, const QString& number, int timeoutMs);
    // Hangs up (nothing to do for a call that has ended already) and closes the port; port() then stays the
    // closed port, whose reads and writes fail, for as long as the line lives.
    void hangUp();
    bool isConnected() const { return connected_; }

    // One read of the call's data under the port's time-outs (or the given ones, the port's left as they are),
    // as ComPort::read. The bytes are returned as they came, a "NO CARRIER" line included; once the call has
    // ended, -1 at once. One thread reads at a time; a read on the window's thread goes before a waiting worker's,
    // so a worker that reads on and on keeps the window waiting one read at most.
    qint64 read(char* data, qint64 size, const CommTimeouts* timeouts = nullptr);
    // One write of the call's data, as ComPort::write; -1 once the call has ended (it would go to the modem),
    // also when the look at the unread text finds the end there. looked (when given) is called after the look
    // and before any byte goes out, also for a write that is refused, with the text in which the look found the
    // call's end (empty when it found none): that text's only appearance.
    using LookedHandler = std::function<void(const QByteArray& unreadAtEnd)>;
    qint64 write(const QByteArray& bytes, const LookedHandler& looked = {});
    // What has come and not been read, at most max bytes, left for the next read: a look that takes nothing. Empty
    // while a read is under way on another thread (that reader hands it out itself) or once the call has ended.
    QByteArray peekUnread(qint64 max);
    // True once read() or a write's look saw the modem's "NO CARRIER" line. Callable from any thread.
    bool callEnded() const { return callEnded_.load(); }
    // Once the call has ended: the text in which the end was seen, from the line end before "NO CARRIER" on
    // (the whole text when the line came split); empty while the call goes on. A read hands that text out as
    // usual, so the caller logs it where it logs what it reads; this is for a caller that could not log it then
    // (the connect, whose log opens after the login).
    QByteArray endText() const { return callEnded_.load() ? endText_ : QByteArray(); }
    ComPort* port() { return port_.get(); }
    QString errorString() const { return error_; }

    static QStringList availableModems(); // the serial device list

    // True when text, what came after command was written, holds the modem's "NO CARRIER" line and after it the
    // modem's own answer to the command: its echo, or its verdict ("ERROR", or "OK" from a modem that took the
    // command for one of its own). The call had ended before the command arrived, so it reached only the modem:
    // nobody else is left to answer after that line.
    static bool answeredAfterCallEnd(const QByteArray& text, const QByteArray& command);

private:
    void report(const QString& text);
    bool fail(const QString& error); // reports and stores the error, closes the port, returns false
    // The look of write(); returns the text in which it found the call's end, else nothing.
    QByteArray lookForCallEnd();

    std::unique_ptr<ComPort> port_;
    bool connected_ = false;
    std::atomic<bool> callEnded_{false};
    QByteArray endText_; // written before callEnded_ is set, read only after it
    // The current data line as far as it came (cut at its first bytes: only its length and start matter).
    QByteArray line_;
    // The read turn: held by read() while it reads and watches; a write's look only takes it when it is free
    // (the port serves one reading thread at a time, and the reader waiting in it will see the end anyway).
    // Readers on the window's thread that wait for it go first.
    class ReadTurn
    {
    public:
        void lock(); // the window's thread goes before the others
        bool tryLock();
        void unlock();

    private:
        std::mutex mutex_;
        std::condition_variable free_;
        bool busy_ = false;
        int firstWaiting_ = 0;
    };
    ReadTurn reading_;
    QString error_;
    ProgressHandler progress_;
};
