#pragma once
// Test calls: the gateway places an outgoing test call or waits for an incoming one and streams its account
// of the call until the run is ended.
//
// The page (TestCallsPage) starts, breaks off and stops a run; this file holds what needs no window: the start
// commands, the log header, the rules for one received chunk, and the serial reader. On a serial port, modem
// line or ISDN modem a TTestCall worker reads the link and hands each chunk to the page's reply handler on the
// window's thread; on the telnet link the router hands it the chunks (at most kTestChunkMax characters each).
//
// The log (testLogFile, online/LiveCells.h) is opened and closed on the window's thread only.
#include "link/ExchangeState.h"
#include "online/LiveCells.h"

#include <QByteArray>
#include <QDateTime>
#include <functional>

class TTestCall : public LiveWorker
{
    Q_OBJECT
public:
    explicit TTestCall(bool createSuspended = false);
};

// The outgoing options, in the order of the page.
enum class TestDial { None, Rotating, Via, Rotating2, Via2, ViaGsm, ToGsm };
// The incoming options, in the order of the page.
enum class TestWait { None, FirstIsd, Incoming, FirstIsd2, Incoming2, From, FirstGsm };

// "AT!S<side><n>=<number>\r": P the first BRI port, E the second, G GSM; 32 stands for any B-channel or
// module. value is the option's spin field (unused by the options without one). Empty for None.
QByteArray TestDialCommand(TestDial option, int value, const QByteArray& number);
// "AT!W<side><n>\r", as above.
QByteArray TestWaitCommand(TestWait option, int value);

// The gateway reads a command line of at most 127 characters, its CR included; a longer one is refused here
// before anything is sent.
inline constexpr qsizetype kTestCommandMax = 127;
inline bool TestCommandFits(const QByteArray& command)
{
    return command.size() <= kTestCommandMax;
}

// What one reader step and the telnet router hand the reply handler at most.
inline constexpr qsizetype kTestChunkMax = 4095;

// "\r\n[Testing calls (tracing) : <short date> <time>]\r\n\r\n", written at every start while the log is open.
QByteArray TestCallLogHeader(const QDateTime& now);

// What the reply handler makes of one chunk.
struct TestChunk
{
    bool ignored = false;  // fewer than 3 characters
    bool ends = false;     // "BUSY\r\n" or "ERROR\r\n": the run ends; the whole chunk is shown, nothing is logged
    bool answered = false; // "\r\nOK\r\n" (and no end): the call phase moves on to tracing
    QByteArray logged;     // for the log: one leading CR LF removed
    QByteArray shown;      // for the view: as logged, less one trailing CR LF (the whole chunk when it ends)
};
TestChunk ParseTestChunk(const QByteArray& chunk);

// The view shows lines: CR LF and a lone CR start a new line.
QString TestViewText(const QByteArray& text);

// The reply handler on the window's thread; set by the page.
inline std::function<void(const QByteArray&)> testCallReceiveHook;

// One step of the reader: one read of the link (at most kTestChunkMax bytes, 1.0 s on telnet; the serial
// port's own read time-outs decide there), handed to testCallReceiveHook on the window's thread and waited
// for. A chunk the handler would ignore is not handed over.
void testCallPoll(LiveWorker& worker);
