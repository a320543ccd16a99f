#include "online/GatewayClock.h"

#include "link/LinkIo.h"
#include "link/ReplyParsers.h"
#include "platform/Wait.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace {

// One slice of a whole reply's read on a serial port, and the least time one read that brings nothing takes.
constexpr int kWholeReplySliceMs = 100;

QString twoDigits(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

QString leadingZero(const QByteArray& part)
{
    const QString s = QString::fromLatin1(part);
    return s.size() == 1 ? QLatin1Char('0') + s : s;
}

// After a read that brought nothing: the window's events are handled, and a read that came back sooner than one
// slice (a port closed under it, reads cancelled) is not asked again at once.
void afterQuietRead(qint64 readStartMs, qint64 endMs)
{
    const qint64 until = std::min(readStartMs + kWholeReplySliceMs, endMs);
    WaitPumping(int(std::clamp<qint64>(until - Clock::milliseconds(), 0, kWholeReplySliceMs)));
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
    const qint64 endMs = Clock::milliseconds() + boundMs;
    const bool serial = CurrentConnection.LinkType == LinkSerial || CurrentConnection.LinkType == LinkIsdnModem;
    QByteArray reply;
    bool first = true;
    for (;;) {
        const qint64 sliceStart = Clock::milliseconds();
        // A serial read blocks the window's thread: it is read in short slices, the window's messages handled
        // between them, so a gateway that is slow to answer (or silent) does not freeze the window.
        const qint64 sliceEnd = serial ? std::min(endMs, sliceStart + kWholeReplySliceMs) : endMs;
        // The modem's wait for the start of a reply belongs to the first read only.
        const QByteArray part = first ? ReadReplyUntil(4096, sliceEnd) : ReadReplyOnUntil(4096, sliceEnd);
        first = false;
        reply += part;
        // The verdict's line counts once its line end is in too, or the CR LF would be left for the next read.
        // A quiet moment is no end of the answer (a slow line pauses in it, a busy gateway starts it late); a
        // link that is gone answers every read at once with nothing, so reading on would only spin.
        if (LinkLost() || closingProgram() || (reply.endsWith('\n') && ReplyHasVerdict(reply, busy)) ||
            Clock::milliseconds() >= endMs)
            return reply;
        if (part.isEmpty())
            afterQuietRead(sliceStart, endMs);
        else
            ProcessMessages();
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

bool SendAccountCommand(const QByteArray& command, QByteArray& reply)
{
    reply.clear();
    // Past the communication log, but through the modem line's watch for the call's end: a call that has
    // dropped ends the connection like any other read that meets it.
    if (LinkPortWrite(command) != quint32(command.size()))
        return false;
    // Byte by byte, so that the read ends with the verdict's line and not with the port's wait for a next
    // byte after it (up to 10 s on a modem line). A moment without a byte is no end of the answer; each wait
    // is a short slice with the window's events handled between them.
    const qint64 endMs = Clock::milliseconds() + wholeReplyMs;
    for (;;) {
        const qint64 readStart = Clock::milliseconds();
        const quint8 b = LinkPortReadByteUntil(std::min(endMs, readStart + kWholeReplySliceMs));
        if (b == 0) {
            if (LinkPortLost() || closingProgram() || Clock::milliseconds() >= endMs)
                return true;
            afterQuietRead(readStart, endMs);
            continue;
        }
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
