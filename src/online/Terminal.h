#pragma once
// The terminal on the gateway's command interface: what the reader thread shares with the terminal part
// (TerminalPart), and the rules that need no window.
//
// On a serial port, modem line or ISDN modem a TTerminal worker reads the link and keeps the whole received
// text in terminalText, which the view shows after every chunk; on the telnet link the router adds the text
// to the view itself and terminalText is not used.
#include "link/LinkState.h"
#include "online/LiveWorker.h"

#include <QByteArray>
#include <QPointer>
#include <atomic>
#include <functional>

class TTerminal : public LiveWorker
{
    Q_OBJECT
public:
    explicit TTerminal(bool createSuspended = false);
};

inline QPointer<TTerminal> terminalThread;
// Everything the serial terminal has received, as edited by the gateway's erase sequences. Kept for the
// program's run: leaving and reopening the terminal shows it again. While a reader runs only it touches this
// (the view gets copies on the window's thread); others read it only when no reader runs.
inline QByteArray terminalText;
// The line feeds in terminalText; kept with it. The text holds at most liveViewLineLimit lines (LiveCells.h).
inline qsizetype terminalTextLineFeeds = 0;
// Set by the keep-alive when it writes its "AT" while the terminal is shown; cleared by the terminal's reader (or its
// telnet route) at every chunk it receives. Still set at the keep-alive's next turn: nothing at all came since, and
// the gateway counts as lost.
inline std::atomic<bool> terminalKeepAlivePending{false};
// Shows the whole of terminalText; set by the terminal part, called on the window's thread.
inline std::function<void(const QByteArray&)> terminalShowText;

// Applies a received chunk to text: each erase sequence of the gateway removes the last character of text
// (nothing when it is empty): BS SP BS, and ESC with its optional tail "[D", " ", ESC, "[D" (the gateway's
// cursor-left, blank, cursor-left); every other byte is appended as it came. lineFeeds, when given, counts the
// line feeds of text and is kept up to date.
void ApplyTerminalChunk(QByteArray& text, const QByteArray& chunk, qsizetype* lineFeeds = nullptr);
// Keeps the last limit lines of text (the line after its last line feed counts, empty or not): the lines
// before them go; a limit of 0 or less keeps everything. lineFeeds counts the line feeds of text and is kept up to
// date.
void KeepLastLines(QByteArray& text, qsizetype& lineFeeds, int limit);

// The terminal's read time-outs (1 ms each) on conn's serial port, the write time-outs kept. False when
// there is no open port (telnet) or it refused them.
bool SetTerminalTimeouts(ConnectionRecord* conn);

// One step of the reader: one read of up to 4095 bytes, applied and shown.
void ReadTerminalData();

// Back to the state at program start (tests).
void resetTerminal();
