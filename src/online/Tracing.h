#pragma once
// Tracing: the gateway's trace of its call handling, shown line by line and appended to a trace file.
//
// The page (TracingPage) starts and stops the trace; this file holds what the reader thread and the telnet
// router share with it, and the rules that need no window: the commands, the trace file's header and the
// serial reader's line assembly. On a serial port, modem line or ISDN modem a TTracing worker reads the link one
// byte at a time; on the telnet link the router hands the page the received text.
//
// The trace file is opened and closed on the window's thread only: at the start, and at the stop after the
// reader has been joined, so the reader never writes to a closed file.
#include "link/ExchangeState.h"
#include "online/LiveWorker.h"

#include <QByteArray>
#include <QDateTime>
#include <QPointer>
#include <atomic>
#include <cstdio>
#include <functional>

class TTracing : public LiveWorker
{
    Q_OBJECT
public:
    explicit TTracing(bool createSuspended = false);
};

inline QPointer<TTracing> tracingThread;
// The open trace file ("ab"), or null.
inline std::FILE* traceFile = nullptr;
// What cbTracSave shows, for the reader thread (the page keeps it up to date).
inline std::atomic<bool> tracingSave{true};
// The line the serial reader is assembling.
inline QByteArray tracingLine;
// Shows one finished line in the trace view; set by the page, called on the window's thread.
inline std::function<void(const QByteArray&)> tracingShowLine;

// The detail mask: 1 layers 3, 4; 2 time stamps; 8 layer 2; 16 LCR; FULL gives 31 whatever the others say.
int TracingMask(bool state34, bool timestamp, bool full, bool state2, bool lcr);
// "AT%S92=<mask>\r".
QByteArray TracingMaskCommand(int mask);
// "AT!L<level>\r" for type 0 (LAN and telnet), "AT!R<level>\r" for any other type.
QByteArray TracingLevelCommand(int typeIndex, int level);
// "\r\n[Tracing : <date and time>]\r\n\r\n".
QByteArray TraceFileHeader(const QDateTime& now);

// One received byte of the serial reader: returns true when it ended a line that is to be shown and written
// (line then holds it, with its carriage return); a line that is only "\r" ends without being shown. line
// is emptied after each line feed.
bool TraceByte(char c, QByteArray& line, QByteArray& finished);

// The length of the start command's reply at the front of text: up to and including its first line "OK\r\n";
// -1 when no such line is in it. What follows that line is already the trace.
qsizetype TraceStartReplyLength(const QByteArray& text);

// One received byte of the serial trace: assembles the line; a finished line goes to the trace file (while
// saving is on) and to the view.
void HandleTraceByte(char c);

// One step of the reader: reads one byte from the link and handles it.
void ReadTracingData();

// Closes the trace file when it is open.
void CloseTraceFile();

// Back to the state at program start (tests): no reader, no file, an empty line.
void resetTracing();
