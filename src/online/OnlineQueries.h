#pragma once
// The one-shot queries of the online tools: the GSM monitor request and the connection state table.
#include <QByteArray>
#include <array>
#include <optional>

// "AT&I<module>\r\n": the monitor information of one GSM module.
QByteArray MonitorCommand(int module);

// The connection state query and the five cells it shows.
inline constexpr char kConnectionStateCommand[] = "AT&U\r\n";
struct ConnectionStateCells
{
    QByteArray shell, telnet, tunnel, user, connected; // columns 2 to 6 of the port's line
};

// The cells of port's line in the reply to "AT&U": the line holds "<port>1" with the port's index digit three
// places before it; the index plus 1 is the table row below the header "ix". Nothing when the reply has no
// "\r\nOK\r\n", the port does not occur, or there is no digit three places before it (the name too close to
// the start of the reply, or another character there).
std::optional<ConnectionStateCells> ConnectionStateOf(const QByteArray& reply, const QByteArray& port);

// What the shell and telnet cells show: 506 for an idle shell; 507 for an idle telnet, 508 for a logged-out
// one (any letter case); 0 for nothing.
int ShellStateText(const QByteArray& cell);
int TelnetStateText(const QByteArray& cell);
