#include "exchange/GroupsExchange.h"

#include "config/TableRows.h"
#include "link/ReplyParsers.h"
#include "platform/Cp1250.h"

#include <QRegularExpression>

namespace {

// Lines of the values the loads read.
const QString kOutRoaming = QStringLiteral("Outgoing groups - Roaming enabled for network\n");
const QString kOutClir = QStringLiteral("Outgoing groups - CLIR\n");
const QString kOutMaxMinutes = QStringLiteral("Outgoing groups - max. number of called minutes\n");
const QString kOutMaxSms = QStringLiteral("Outgoing groups - max. number of SMS messages\n");
const QString kOutStatsDay = QStringLiteral("Outgoing groups - Day stats\n");
const QString kOutAfter = QStringLiteral("Outgoing groups - Nr. of seconds after connect\n");
const QString kOutNext = QStringLiteral("Outgoing groups - Nr. of seconds for next counting\n");
const QString kOutPseudo = QStringLiteral("Outgoing groups - Pseudo tarif\n");
const QString kOutDelayAlerting = QStringLiteral("Outgoing groups - Delay alerting\n");
const QString kOutDelayConnect = QStringLiteral("Outgoing groups - Delay connect\n");
const QString kOutDisconnect = QStringLiteral("Outgoing groups - Disconnect call\n");
const QString kOutCallFlags = QStringLiteral("Outgoing groups - Parametr minutes\n");
const QString kOutSmsDelay = QStringLiteral("Outgoing groups - Timeout for SMS at no answer\n");
const QString kOutTime = kOutLineTime;

const QString kInMode = QStringLiteral("Incoming groups - Mode incoming calls\n");
const QString kInMin = QStringLiteral("Incoming groups - Min numbers in DTMF\n");
const QString kInMax = QStringLiteral("Incoming groups - Max numbers in DTMF\n");
const QString kInTour = QStringLiteral("Incoming groups - Tour for entering\n");
const QString kInDay = QStringLiteral("Incoming groups - Day of deleting\n");
const QString kInDisa = QStringLiteral("Incoming groups - Prefix before DISA\n");
const QString kInClip = QStringLiteral("Incoming groups - CLIP\n");
const QString kInKeepHours = QStringLiteral("Incoming groups - Time to keep clip\n");
const QString kInLoopRead = QStringLiteral("Incoming groups - Looping of voice mess, CDN recognition in clip\n");

// Appends line unless errors holds it already. The incoming page looks for the line's text without its line
// feed, the outgoing page for the whole line.
enum class Presence { WholeLine, TextOnly };
void addOnce(QString& errors, const QString& line, Presence presence = Presence::WholeLine)
{
    const QString probe = presence == Presence::TextOnly && line.endsWith(QLatin1Char('\n')) ? line.chopped(1) : line;
    if (!errors.contains(probe))
        errors += line;
}

// A value read as a decimal number: optional blanks around an optionally signed run of digits.
bool decimal(const QByteArray& text, qint32& value)
{
    const QByteArray t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

// Value i of values as a number into field; a missing or unreadable one gives the default and the line
// (listed once).
void readInt(const ReplyList& values, qsizetype i, qint32& field, qint32 fallback, const QString& line, QString& errors,
             Presence presence = Presence::WholeLine)
{
    qint32 v = 0;
    if (i < values.size() && decimal(values.at(i), v)) {
        field = v;
        return;
    }
    field = fallback;
    addOnce(errors, line, presence);
}

QByteArray number(qint32 v)
{
    return QByteArray::number(v);
}

QByteArray groupKey(const char* prefix, int n, const char* suffix = "")
{
    return QByteArray(prefix) + number(n) + suffix;
}

// The time shown for one of a window's times: the gateway drops the leading zero of an early hour.
QString shownTime(const QString& time)
{
    return time.size() == 4 ? QLatin1Char('0') + time : time;
}

QByteArray joined(const QStringList& entries)
{
    return wireText(entries.join(QLatin1Char(',')));
}

} // namespace

QByteArray wireText(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes += char(toCp1250(c));
    return bytes;
}

QString fromWire(const QByteArray& bytes)
{
    return decodeCp1250(bytes);
}

// ---- Outgoing groups

OutgoingWindow parseOutgoingWindow(const QString& text)
{
    OutgoingWindow w;
    const qsizetype p1 = text.indexOf(QLatin1Char('/'));
    if (p1 < 0) {
        w.to = shownTime(text);
    } else {
        const qsizetype p2 = text.indexOf(QLatin1Char('/'), p1 + 1);
        w.from = shownTime(text.left(p1));
        w.to = shownTime(p2 < 0 ? text.mid(p1 + 1) : text.mid(p1 + 1, p2 - p1 - 1));
    }
    if (text.contains(QLatin1String("w-")))
        w.weekend = OutgoingWindow::NoWeekend;
    else if (text.contains(QLatin1String("w+")))
        w.weekend = OutgoingWindow::WholeWeekend;
    return w;
}

QString buildOutgoingWindow(const QString& from, const QString& to, bool weekendEnabled, bool wholeWeekend)
{
    const QString mark = !weekendEnabled ? QStringLiteral("/w-") : wholeWeekend ? QStringLiteral("/w+") : QString();
    return from + QLatin1Char('/') + to + mark;
}

QString outgoingViewLine(int group)
{
    return QStringLiteral("Outgoing groups  - GSM group %1\n").arg(group);
}

void readOutgoingGroup(const QByteArray& reply, int group, TOutgoing& r, QString& errors)
{
    const ReplyList limits = ReplyValueList(groupKey("G", group, "1="), reply, ',');
    if (!limits.isEmpty()) {
        r.roamingNetwork = fromWire(limits.at(0));
    } else {
        r.roamingNetwork.clear();
        addOnce(errors, kOutRoaming);
    }
    readInt(limits, 1, r.clir, 0, kOutClir, errors);
    readInt(limits, 2, r.maxMinutes, 0, kOutMaxMinutes, errors);
    readInt(limits, 3, r.maxSms, 0, kOutMaxSms, errors);
    readInt(limits, 4, r.statsDay, 0, kOutStatsDay, errors);
    readInt(limits, 5, r.secondsAfterConnect, 0, kOutAfter, errors);
    readInt(limits, 6, r.secondsNextCount, 0, kOutNext, errors);
    readInt(limits, 7, r.pseudoTariff, 0, kOutPseudo, errors);

    const ReplyList messages = ReplyValueList(groupKey("G", group, "9="), reply, ',');
    readInt(messages, 0, r.delayAlerting, 1, kOutDelayAlerting, errors);
    readInt(messages, 1, r.delayConnect, 0, kOutDelayConnect, errors);
    readInt(messages, 2, r.disconnectCall, 0, kOutDisconnect, errors);
    r.disconnectCall &= 1;
    readInt(messages, 4, r.callFlags, 0, kOutCallFlags, errors);
    readInt(messages, 5, r.smsDelay, 0, kOutSmsDelay, errors);
    const QString separator = messages.size() >= 7 ? fromWire(messages.at(6)) : QString();
    r.clipSeparator = separator.isEmpty() ? QChar() : separator.at(0);

    const ReplyList time = ReplyValueList(groupKey("G", group, "5="), reply, ',');
    if (time.isEmpty()) {
        r.sim.window1 = QStringLiteral("0:00/0:00");
        r.sim.window2 = kWindowAllDay;
        r.sim.secondInterval = false;
        addOnce(errors, kOutTime);
        return;
    }
    r.sim.window1 = fromWire(time.at(0));
    const QString second = time.size() >= 2 ? fromWire(time.at(1)) : QString();
    r.sim.secondInterval = time.size() >= 2 && second != kWindowOff;
    r.sim.window2 = r.sim.secondInterval ? second : kWindowAllDay;
}

QByteArray outgoingLimitsCommand(int group, const TOutgoing& r)
{
    return "AT%" + groupKey("G", group, "1=") + wireText(r.roamingNetwork) + ',' + number(r.clir) + ',' +
           number(r.maxMinutes) + ',' + number(r.maxSms) + ',' + number(r.statsDay) + ',' +
           number(r.secondsAfterConnect) + ',' + number(r.secondsNextCount) + ',' + number(r.pseudoTariff) + "\r\n";
}

QByteArray outgoingMessagesCommand(int group, const TOutgoing& r)
{
    QByteArray command = "AT%" + groupKey("G", group, "9=") + number(r.delayAlerting) + ',' + number(r.delayConnect) +
                         ',' + number(r.disconnectCall) + ",0," + number(r.callFlags) + ',' + number(r.smsDelay) + ',';
    if (!r.clipSeparator.isNull())
        command += wireText(QString(r.clipSeparator));
    return command + "\r\n";
}

QByteArray outgoingTimeCommand(int group, const TOutgoing& r)
{
    const QString second = r.sim.secondInterval ? r.sim.window2 : kWindowOff;
    return "AT%" + groupKey("G", group, "5=") + wireText(r.sim.window1) + ',' + wireText(second) + "\r\n";
}

QByteArray outgoingSmsTextCommand(const TOutgoing& r)
{
    return "AT%S85=" + wireText(r.smsText) + "\r\n";
}

QByteArray outgoingClipPrefixCommand(const TOutgoing& r)
{
    return "AT%G109=" + wireText(r.clipPrefixConversion) + "\r\n";
}

// ---- Incoming groups

void readIncomingGroups(const QByteArray& reply, std::array<TIncoming, 2>& records, QString& errors)
{
    for (int g = 0; g < 2; ++g) {
        TIncoming& r = records[size_t(g)];
        const int n = g + 1;

        const ReplyList group = ReplyValueList(groupKey("G9", n, "="), reply, ',');
        readInt(group, 0, r.mode, 0, kInMode, errors, Presence::TextOnly);
        readInt(group, 1, r.minDigits, 3, kInMin, errors, Presence::TextOnly);
        readInt(group, 2, r.maxDigits, 3, kInMax, errors, Presence::TextOnly);
        readInt(group, 3, r.dtmfTour, 10, kInTour, errors, Presence::TextOnly);
        readInt(group, 4, r.statsDay, 1, kInDay, errors, Presence::TextOnly);
        // These two are listed every time they are missing.
        if (group.size() > 5) {
            r.disaPrefix = fromWire(group.at(5));
        } else {
            r.disaPrefix.clear();
            errors += kInDisa;
        }
        if (group.size() > 6) {
            r.clip = fromWire(group.at(6));
        } else {
            r.clip.clear();
            errors += kInClip;
        }

        r.calledNumbers.clear();
        for (const QByteArray& entry : ReplyValueList(groupKey("G9", n + 4, "="), reply, ','))
            if (!entry.isEmpty())
                r.calledNumbers.push_back(fromWire(entry));

        const ReplyList routing = ReplyValueList(QByteArrayLiteral("G99="), reply, ',');
        readInt(routing, 0, r.clipKeepHours, 0, kInKeepHours, errors, Presence::TextOnly);
        qint32 bits = 0;
        if (routing.size() > 1 && decimal(routing.at(1), bits)) {
            r.addUnconnectedOnly = bits & 1;
            r.deleteOnAnswer = bits & 2;
            r.dtmfDisabled = bits & 4;
            r.routeFailedDtmf = bits & 8;
        } else {
            r.addUnconnectedOnly = false;
            r.deleteOnAnswer = false;
            r.routeFailedDtmf = true;
            r.dtmfDisabled = true;
        }

        const ReplyList loop = ReplyValueList(groupKey("G19", n, "="), reply, ',');
        qint32 minutes = 0;
        if (!loop.isEmpty() && decimal(loop.at(0), minutes)) {
            r.voiceLoop = minutes;
            const QString separator = loop.size() > 1 ? fromWire(loop.at(1)) : QString();
            r.cdnSeparator = separator.isEmpty() ? QChar() : separator.at(0);
        } else {
            r.voiceLoop = 0;
            r.cdnSeparator = QChar();
            addOnce(errors, kInLoopRead, Presence::TextOnly);
        }
    }
    // A list longer than the page's dialog builds is damaged: not taken, so no longer one is ever sent or filed.
    QString conversions = fromWire(ReplyValue(QByteArrayLiteral("G198="), reply));
    if (!clipConversionsFit(conversions)) {
        conversions.clear();
        errors += kInLineConversions;
    }
    for (TIncoming& r : records)
        r.clipConversions = conversions;
}

void readIncomingPrefixConversion(const QByteArray& reply, std::array<TIncoming, 2>& records)
{
    const QString conversion = fromWire(ReplyValue(QByteArrayLiteral("G199="), reply));
    for (TIncoming& r : records)
        r.cdnPrefixConversion = conversion;
}

QByteArray calledNumbersList(const std::vector<QString>& numbers)
{
    QStringList entries;
    for (const QString& number : numbers)
        entries << number;
    return joined(entries);
}

QByteArray incomingGroupCommand(int g, const TIncoming& r)
{
    return "AT%" + groupKey("G9", g + 1, "=") + number(r.mode) + ',' + number(r.minDigits) + ',' + number(r.maxDigits) +
           ',' + number(r.dtmfTour) + ',' + number(r.statsDay) + ',' + wireText(r.disaPrefix) + ',' + wireText(r.clip) +
           "\r\n";
}

QByteArray incomingLoopCommand(int g, const TIncoming& r)
{
    QByteArray command = "AT%" + groupKey("G19", g + 1, "=") + number(r.voiceLoop) + ',';
    if (!r.cdnSeparator.isNull())
        command += wireText(QString(r.cdnSeparator));
    return command + "\r\n";
}

std::optional<QByteArray> incomingCalledCommand(int g, const TIncoming& r)
{
    const QByteArray list = calledNumbersList(r.calledNumbers);
    if (list.size() > kMaxCalledList)
        return std::nullopt;
    return "AT%" + groupKey("G9", g + 5, "=") + list + "\r\n";
}

int incomingRoutingBits(bool add, bool del, bool routeDtmf, bool dtmfDisabled)
{
    return (add ? 1 : 0) + (del ? 2 : 0) + (routeDtmf ? 8 : 0) + (dtmfDisabled ? 4 : 0);
}

QByteArray incomingRoutingCommand(qint32 keepHours, int bits)
{
    return "AT%G99=" + number(keepHours) + ',' + number(bits) + "\r\n";
}

QByteArray incomingConversionsCommand(const QStringList& entries)
{
    return "AT%G198=" + joined(entries) + "\r\n";
}

QByteArray incomingPrefixCommand(const QString& conversion)
{
    return "AT%G199=" + wireText(conversion) + "\r\n";
}

// ---- CLIP conversion list

QStringList clipConversionEntries(const QString& list)
{
    return list.split(QLatin1Char(','), Qt::SkipEmptyParts);
}

std::optional<int> clipConversionRoom(qsizetype listLength)
{
    if (listLength > 28)
        return std::nullopt;
    return int(kClipConversionsLength - listLength - (listLength > 0 ? 1 : 0));
}
