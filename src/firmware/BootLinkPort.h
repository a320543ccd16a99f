#pragma once
// The boot-loader port over the open telnet link (CTcp): the operations of CPort, carried by the main window's
// telnet client.
//
// Open takes over the client's data handler: from then on the unit's text goes into this port's receive buffer
// (on the window's thread, where the client delivers it) and the job thread reads it from there. The port never
// gives the handler back; the end of the upgrade does. The receive buffer only grows during a run; reads and
// appends hold one lock, and a reader waits on a condition, not in a loop.
//
// Over the link there are no driver time-outs: each byte waits about 1 s, and a line is given up once more than
// 2 s have passed since it began (without an error code). A CR is kept in a line read; a NUL is never stored.
// Writes go to the window's thread, in order, one character at a time through the client; a write on a link
// that is already closed fails at once with error 6.
#include "firmware/BootPort.h"

#include <QPointer>

class TelnetClient;

class CTcp : public BootPort
{
public:
    CTcp();
    ~CTcp() override;

    // Takes over link's data handler, sets the mode and starts the port log afresh. Never fails. Called on the
    // thread link lives on (the window's), as the client's handler and state are used there.
    bool Open(TelnetClient* link, quint32 mode);
    // What the data handler does with the unit's text (the window's thread).
    void OnDataAvailable(const QByteArray& text);

    bool Write(const QByteArray& bytes);
    bool ReadByte(char& c);
    bool ReadLine(QByteArray& line, int maximum, bool logErrors = true) override;
    bool WriteLine(const QByteArray& text) override;
    bool WriteEcho(const QByteArray& text);
    bool WriteCommand(const QByteArray& text, const std::function<bool()>& mayWrite = {}) override;
    bool SetTimeout(quint32) override { return true; } // none over the link
    void DropWaiting() override;
    void DropUntilQuiet(int quietMs) override;
    void ClearLine() {}                                // nothing is kept between line reads
    // Takes the link as gone: reads end at once, writes fail (the job is being stopped). Any thread.
    void Drop();

    QByteArray received() const; // everything received so far (tests)

    // The shared receive buffer; the data handler holds it too, so it outlives a port that is gone.
    struct Receiver;

private:
    std::shared_ptr<Receiver> rx_;
    QPointer<TelnetClient> link_;
};
