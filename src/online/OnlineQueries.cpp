#include "online/OnlineQueries.h"

#include "link/ReplyParsers.h"

QByteArray MonitorCommand(int module)
{
    return "AT&I" + QByteArray::number(module) + "\r\n";
}

std::optional<ConnectionStateCells> ConnectionStateOf(const QByteArray& reply, const QByteArray& port)
{
    if (!reply.contains("\r\nOK\r\n") || port.isEmpty())
        return std::nullopt;
    const qsizetype at = reply.indexOf(port + '1');
    if (at < 3)
        return std::nullopt;
    const char digit = reply.at(at - 3);
    if (digit < '0' || digit > '9')
        return std::nullopt;
    const int row = digit - '0' + 1;
    auto cell = [&](int column) { return ReplyTableCell(reply, column, row, "ix", 0); };
    return ConnectionStateCells{cell(2), cell(3), cell(4), cell(5), cell(6)};
}

int ShellStateText(const QByteArray& cell)
{
    return cell.compare("IDLE", Qt::CaseInsensitive) == 0 ? 506 : 0;
}

int TelnetStateText(const QByteArray& cell)
{
    if (cell.compare("IDLE", Qt::CaseInsensitive) == 0)
        return 507;
    if (cell.compare("LOGOUT", Qt::CaseInsensitive) == 0)
        return 508;
    return 0;
}
