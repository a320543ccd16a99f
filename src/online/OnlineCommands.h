#pragma once
// Online commands: one command text passed to one GSM module of the gateway ("AT&G<m>=<text>\r"), and the
// module's reply shown until it ends with OK, BUSY or ERROR.
//
// The page (CommandsPage) starts and stops a run; this file holds what needs no window: the command line and
// its size limit, the run's received text and its end test, and the step of the TOnlineCommands reader that
// reads the reply on a serial port or modem line. On the telnet link the router hands the page the text.
//
// The end of a reply is looked for in the received text itself, not in the view: a view shows lines, and how
// it keeps line ends differs by link (the telnet router drops carriage returns and merges empty lines).
#include "link/ExchangeState.h"
#include "online/LiveCells.h"
#include "online/LiveWorker.h"

#include <QByteArray>
#include <QString>
#include <functional>

class TOnlineCommands : public LiveWorker
{
    Q_OBJECT
public:
    TOnlineCommands();
};

// Everything the gateway sent since the last Start, less its leading CR LF; touched on the window's thread only.
inline QByteArray commandsText;
// Takes each chunk the reader got, on the window's thread (the reader waits meanwhile); set by the page.
inline std::function<void(const QByteArray&)> commandsChunkReceived;

// How long a Stop waits for the end of the reply before it ends the run itself.
inline int commandsStopDrainMs = 2000;

// The gateway takes a command line of at most this many characters, its closing CR included.
inline constexpr qsizetype kCommandLineMax = 127;

// "AT&G<module>=<command>\r", the command's characters in the Central European code page (Windows-1250).
// The line may be longer than kCommandLineMax: the caller refuses it then.
QByteArray OnlineCommandLine(int module, const QString& command);

// Adds a received chunk to the run's text; then a text that begins with CR LF loses these two characters.
void AppendCommandsText(QByteArray& text, const QByteArray& chunk);
// True when the run's text holds the end of a reply: a blank line followed by the line OK, BUSY or ERROR
// ("\r\n\r\nOK\r\n" ...). An OK line right after a text line is no end.
bool CommandsReplyEnded(const QByteArray& text);
// The reader's own, weaker sign: the chunk, less a leading CR LF, holds "\r\nOK\r". It turns the button back to
// Start while the reader goes on.
bool CommandsChunkShowsOk(const QByteArray& chunk);

// One step of the reader: one read of at most 63 bytes (the link's own read time-outs decide how long it
// waits); what came goes to commandsChunkReceived on the window's thread.
void OnlineCommandsStep();

// Back to the state at program start (tests).
void resetOnlineCommands();
