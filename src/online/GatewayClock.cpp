#include "online/GatewayClock.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/ReplyParsers.h"
#include "platform/Wait.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

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

// A whole reply's reading: kept whole however long, read to its verdict or its bound.
ReplyReading wholeReading(int boundMs, bool busy, bool logged)
{
    ReplyReading r;
    r.size = std::numeric_limits<qsizetype>::max();
    r.busy = busy;
    r.boundMs = std::max(boundMs, 1);
    r.logged = logged;
    return r;
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
    // The value's line split at "/": the date with its weekday, then the time. The time is taken as a time of
    // day converts, blanks around it allowed and its seconds optional; the date's day, month and year are
    // shown as they came (a one-character day or month with a "0" in front). A weekday that converts but
    // names no day (outside 1 to 7) is no day: the gateway's date and time still stand.
    static const QRegularExpression timeOfDay(QStringLiteral("^ *(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))? *$"));
    const ReplyList value = ReplyValueList("S99=", reply, '/');
    if (value.size() < 2)
        return false;
    const QRegularExpressionMatch t = timeOfDay.match(QString::fromLatin1(value.at(1)));
    if (!t.hasMatch())
        return false;
    const QTime time(t.captured(1).toInt(), t.captured(2).toInt(), t.captured(3).toInt());
    const QList<QByteArray> date = value.at(0).split('.');
    bool weekdayRead = false;
    const int weekday = date.value(3).trimmed().toInt(&weekdayRead);
    if (!time.isValid() || date.size() < 4 || !weekdayRead)
        return false;
    fields.date = leadingZero(date.at(0)) + QLatin1Char('.') + leadingZero(date.at(1)) + QLatin1Char('.') +
                  QString::fromLatin1(date.at(2));
    fields.time = time.toString(QStringLiteral("HH:mm:ss"));
    fields.dayIndex = weekday >= 1 && weekday <= 7 ? weekday - 1 : -1;
    return true;
}

QByteArray ClockSetCommand(const QString& date, int dayIndex, const QString& time)
{
    static const QRegularExpression dateShape(QStringLiteral("^\\d{1,2}\\.\\d{1,2}\\.\\d{2,4}$"));
    static const QRegularExpression timeShape(QStringLiteral("^\\d{1,2}:\\d{1,2}:\\d{1,2}$"));
    if (dayIndex < 0 || dayIndex > 6 || !dateShape.match(date).hasMatch() || !timeShape.match(time).hasMatch())
        return {};
    const QByteArray command =
        "AT%S99=" + date.toLatin1() + '.' + QByteArray::number(dayIndex + 1) + '/' + time.toLatin1() + "\r\n";
    if (command.size() > 39)
        return {};
    return command;
}

bool ReplyHasOkLine(const QByteArray& reply)
{
    return replyLines(reply).contains("OK");
}

bool ReplyHasVerdict(const QByteArray& reply, bool busy)
{
    const QList<QByteArray> lines = replyLines(reply);
    return lines.contains("OK") || lines.contains("ERROR") || (busy && lines.contains("BUSY"));
}

QByteArray ReadWholeReply(int boundMs, bool busy)
{
    return ReadReply(wholeReading(boundMs, busy, true));
}

ExchangeResult SendWholeCommand(const QByteArray& command, int delayMs, int boundMs, bool busy)
{
    return Exchange(command, delayMs, wholeReading(boundMs, busy, true));
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

ExchangeResult SendAccountCommand(const QByteArray& command)
{
    // Past the communication log, but through the modem line's watch for the call's end: a call that has
    // dropped ends the connection like any other read that meets it.
    return Exchange(command, 0, wholeReading(wholeReplyMs, false, false));
}

QList<QByteArray> BufferStateValues(const QByteArray& reply)
{
    QList<QByteArray> values;
    for (const char* key : {"Main loops:", "Max loop:", "System stack:", "User stack:", "Call records:"})
        values.append(ReplyValue(key, reply));
    return values;
}
