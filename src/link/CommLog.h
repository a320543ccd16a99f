#pragma once
// The communication log: every chunk written to or read from the gateway, with a time stamp and a direction.
//
// Files, in the program's folder (programDir()):
//   "comlog.txt"                         when "Append" is on: one file, each connection appended to it;
//   "comlog_<yyyyMMdd>_<hhmmss>.txt"     otherwise: a new file per connection, named by its start.
// Each connection starts with a line "==== <yyyy-MM-dd hh:mm:ss> connected ====". Each chunk is one line:
//   "<yyyy-MM-dd hh:mm:ss.zzz> > <bytes>"   sent to the gateway
//   "<yyyy-MM-dd hh:mm:ss.zzz> < <bytes>"   received from it
// with "\" written as "\\", CR as "\r", LF as "\n", TAB as "\t" and the other control bytes as "\xNN", so one
// line holds one chunk and the exact bytes can be read back. Bytes from 0x80 up are written as they came.
//
// One log is open at a time (there is one link). Reader threads of the serial and modem links write to it too,
// so every write is serialised.
#include <QByteArray>
#include <QString>

struct ConnectionRecord;

// Opens the log of a connection when conn.SaveLog is set and keeps it in conn.CommLog. A log already open is
// closed first. False when logging is off or the file cannot be opened (the link then works without a log).
bool OpenCommLog(ConnectionRecord& conn);
// Closes the open log and clears conn.CommLog.
void CloseCommLog(ConnectionRecord& conn);
// Path of the open log, empty when none is open.
QString commLogPath();

// Write one chunk to the open log; nothing happens while no log is open.
void LogSent(const QByteArray& bytes);
void LogReceived(const QByteArray& bytes);
