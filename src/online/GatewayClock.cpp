#include "online/GatewayClock.h"

#include "link/LinkIo.h"
#include "link/ReplyParsers.h"

#include <QList>
#include <QRegularExpression>

namespace {

QString twoDigits(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

QString leadingZero(const QByteArray& part)
{
    const QString s = QString::fromLatin1(part);
    return s.size() == 1 ? QLatin1Char('0') + s : s;
}

QList<QByteArray> replyLines(const QByteArray& reply)
{
    QList<QByteArray> lines;
    for (QByteArray line : reply.split('\n'))
        lines.append(line.trimmed());
    return lines;
}

} // namespace

ClockFields PcClockFields(const QDateTime& now)
{
    const QDate d = now.date();
    const QTime t = now.time();
    return {twoDigits(d.day()) + QLatin1Char('.') + twoDigits(d.month()) + QLatin1Char('.') + QString::number(d.year()),
            twoDigits(t.hour()) + QLatin1Char(':') + twoDigits(t.minute()) + QLatin1Char(':') + twoDigits(t.second()),
            d.dayOfWeek() - 1};
}

bool ParseClockReply(const QByteArray& reply, ClockFields& fields)
{
    static const QRegularExpression value(
        QStringLiteral("S99=(\\d{1,2})\\.(\\d{1,2})\\.(\\d{1,4})\\.([1-7])/(\\d{1,2}):(\\d{1,2}):(\\d{1,2})\\r"));
    const QRegularExpressionMatch m = value.match(QString::fromLatin1(reply));
    if (!m.hasMatch())
        return false;
    auto part = [&m](int i) { return m.captured(i).toLatin1(); };
    fields.date = leadingZero(part(1)) + QLatin1Char('.') + leadingZero(part(2)) + QLatin1Char('.') + m.captured(3);
    fields.time = leadingZero(part(5)) + QLatin1Char(':') + leadingZero(part(6)) + QLatin1Char(':') + leadingZero(part(7));
    fields.dayIndex = m.captured(4).toInt() - 1;
    return true;
}

QByteArray ClockSetCommand(const QString& date, int dayIndex, const QString& time)
{
    static const QRegularExpression dateShape(QStringLiteral("^\\d{1,2}\\.\\d{1,2}\\.\\d{2,4}$"));
    static const QRegularExpression timeShape(QStringLiteral("^\\d{1,2}:\\d{1,2}:\\d{1,2}$"));
    QString d = date;
    QString t = time;
    d.replace(QLatin1Char('_'), QLatin1Char('0'));
    t.replace(QLatin1Char('_'), QLatin1Char('0'));
    if (dayIndex < 0 || dayIndex > 6 || !dateShape.match(d).hasMatch() || !timeShape.match(t).hasMatch())
        return {};
    const QByteArray command =
        "AT%S99=" + d.toLatin1() + '.' + QByteArray::number(dayIndex + 1) + '/' + t.toLatin1() + "\r\n";
    if (command.size() > 39)
        return {};
    return command;
}

bool ReplyHasOkLine(const QByteArray& reply)
{
    return replyLines(reply).contains("OK");
}

bool ReplyHasVerdict(const QByteArray& reply)
{
    const QList<QByteArray> lines = replyLines(reply);
    return lines.contains("OK") || lines.contains("ERROR");
}

QByteArray ReadWholeReply()
{
    QByteArray reply;
    for (;;) {
        const QByteArray part = ReadReply(4096);
        reply += part;
        if (part.isEmpty() || ReplyHasVerdict(reply))
            return reply;
    }
}

int LoginAccountCheck(const QString& user, const QString& pass, const QString& passVerify)
{
    if (user.isEmpty())
        return 64;
    if (pass.isEmpty() || passVerify.isEmpty())
        return 65;
    if (user.size() < 2 || pass.size() < 2)
        return 892;
    if (passVerify != pass)
        return 893;
    return 0;
}

QByteArray LoginAccountCommand(const QString& user, const QString& pass)
{
    return "AT%X80=" + user.toLatin1() + '/' + pass.toLatin1() + "\r\n";
}

QByteArray LoginDisableCommand()
{
    return QByteArrayLiteral("AT%X80=/\r");
}

bool SendAccountCommand(ComPort* port, const QByteArray& command, QByteArray& reply)
{
    reply.clear();
    if (ComWrite(port, command) != quint32(command.size()))
        return false;
    // Byte by byte, so that the read ends with the verdict's line and not with the port's wait for a next
    // byte after it (up to 10 s on a modem line).
    for (;;) {
        const quint8 b = ComReadByte(port);
        if (b == 0)
            return true;
        reply += char(b);
        if (b == '\n' && ReplyHasVerdict(reply))
            return true;
    }
}

QList<QByteArray> BufferStateValues(const QByteArray& reply)
{
    QList<QByteArray> values;
    for (const char* key : {"Main loops:", "Max loop:", "System stack:", "User stack:", "Call records:"})
        values.append(ReplyValue(key, reply));
    return values;
}
