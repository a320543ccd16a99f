#include "exchange/IsdnExchange.h"

#include "link/ReplyParsers.h"


namespace {

bool decimal(const QByteArray& text, qint32& value)
{
    const QByteArray t = text.trimmed();
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (t.isEmpty() || !ok)
        return false;
    value = v;
    return true;
}

// Values from..from+count-1 of list as numbers within [low, high]; false (values untouched) when one of them
// is missing, not a number or out of range.
template <size_t N>
bool numbers(const ReplyList& list, qsizetype from, std::array<qint32, N>& out, qint32 low, qint32 high)
{
    std::array<qint32, N> read{};
    for (size_t i = 0; i < N; ++i) {
        if (!decimal(list.value(from + qsizetype(i)), read[i]) || read[i] < low || read[i] > high)
            return false;
    }
    out = read;
    return true;
}

bool number(const ReplyList& list, qsizetype index, qint32& out, qint32 low, qint32 high)
{
    std::array<qint32, 1> one{};
    if (!numbers(list, index, one, low, high))
        return false;
    out = one[0];
    return true;
}

ReplyList values(const char* key, const QByteArray& reply)
{
    return ReplyValueList(QByteArray(key), reply, ',');
}

QByteArray num(qint32 v)
{
    return QByteArray::number(v);
}

IsdnCommand command(const char* key, const QByteArray& value, const QString& itemLine)
{
    return {QByteArrayLiteral("AT%") + key + '=' + value + "\r\n", itemLine};
}

constexpr qint32 kMaxInt = 0x7fffffff;

} // namespace

IsdnViewValues parseIsdnView(const QByteArray& reply, QString& errors)
{
    using namespace isdnlines;
    IsdnViewValues v;
    auto fail = [&](bool& read, const QString& line) {
        read = false;
        v.allRead = false;
        errors += line;
    };

    v.interfaceMode = ReplyValue("I00=", reply);
    v.msn = ReplyValue("I27=", reply);

    const ReplyList i01 = values("I01=", reply);
    v.teiRead = number(i01, 0, v.tei, 0, 64) && number(i01, 1, v.portMode, 0, 1);
    if (!v.teiRead)
        fail(v.teiRead, kNtInterface);

    v.progressRead = numbers(values("I06=", reply), 0, v.progress, 0, kMaxInt);
    if (!v.progressRead) {
        v.progress = {};
        fail(v.progressRead, kProgress);
    }

    const ReplyList i09 = values("I09=", reply);
    v.dayRead = number(i09, 0, v.statsDay, 0, 31);
    if (!v.dayRead) {
        v.statsDay = 0;
        fail(v.dayRead, kDay);
    }
    v.flagsRead = number(i09, 1, v.flags, 0, kMaxInt);
    if (!v.flagsRead) {
        v.flags = 0;
        fail(v.flagsRead, kProgress); // the gateway's flags share the progress elements' line
    }
    v.digitsRead = number(i09, 2, v.setupDigits, 0, 255);
    if (!v.digitsRead) {
        v.setupDigits = 20;
        fail(v.digitsRead, kDigits);
    }

    v.tonesRead = numbers(values("I08=", reply), 0, v.tones, 0, 4);
    if (!v.tonesRead) {
        v.tones = {};
        fail(v.tonesRead, kTones);
    }

    const ReplyList i03 = values("I03=", reply);
    v.plansRead = number(i03, 0, v.cdnPlan, 0, 127) && number(i03, 1, v.cgnPlan, 0, 127);
    if (!v.plansRead) {
        v.cdnPlan = v.cgnPlan = 0;
        fail(v.plansRead, kPlans);
    }

    std::array<qint32, 4> i50{};
    v.monitoringRead = numbers(values("I50=", reply), 0, i50, 0, kMaxInt);
    if (v.monitoringRead) {
        v.portMask1 = i50[0];
        v.portMask2 = i50[1];
        v.deactivationTimeout = i50[2];
        v.activationTimeout = i50[3];
    } else {
        fail(v.monitoringRead, kMonitoring);
    }

    v.stateSmsRead = reply.contains("I52=");
    if (v.stateSmsRead)
        v.stateSmsText = fromWire(ReplyValue("I52=", reply));
    else
        fail(v.stateSmsRead, kStateSms);

    const ReplyList i51 = values("I51=", reply);
    for (int i = 0; i < 3; ++i)
        v.stateSmsNumbers[size_t(i)] = fromWire(i51.value(i));

    const ReplyList i60 = values("I60=", reply);
    v.aliveListed = !i60.isEmpty();
    if (v.aliveListed) {
        qint32 day = 0;
        QByteArray time = i60.value(0).trimmed();
        if (number(i60, 1, day, 0, 31)) {
            if (time.size() == 4)
                time.prepend('0'); // 9:30 -> 09:30
            v.aliveDay = day;
            v.aliveTime = QString::fromLatin1(time);
        }
    }
    const ReplyList i61 = values("I61=", reply);
    for (int i = 0; i < 3; ++i)
        v.aliveNumbers[size_t(i)] = fromWire(i61.value(i));
    v.aliveSmsText = fromWire(ReplyValue("I62=", reply));
    return v;
}

IsdnDigitValues parseIsdnDigits(const QByteArray& reply, QString& errors)
{
    IsdnDigitValues d;
    const ReplyList g08 = values("G08=", reply);
    auto read = [&](qsizetype index, qint32& value, qint32 low, qint32 high, const QString& line) {
        qint32 v = 0;
        if (number(g08, index, v, low, high))
            value = v;
        else
            errors += line;
    };
    read(1, d.minDigits, 2, 20, isdnlines::kMin);
    read(2, d.maxDigits, 2, 20, isdnlines::kMax);
    read(3, d.nextDigitWait, 0, 20, isdnlines::kWait);
    return d;
}

GsmDigitFields parseGsmDigitFields(const QByteArray& reply)
{
    const ReplyList g08 = values("G08=", reply);
    GsmDigitFields read;
    // A list of four fields has no ringing time-out: 120, as the GSM basic page reads it too.
    if (!number(g08, 0, read.relaxDelay, 0, kMaxInt) ||
        (g08.size() > 4 && !number(g08, 4, read.ringTimeout, 0, kMaxInt)))
        return {};
    return read;
}

IsdnCommand isdnMsnCommand(const TIsdn& isdn, bool twoPort)
{
    const bool sent = twoPort || isdn.interfaceMode == QLatin1String("TE/E");
    return command("I27", sent ? wireText(isdn.msn) : QByteArray(), isdnlines::kMsn);
}

QByteArray isdnModeCommand(const TIsdn& isdn)
{
    return "AT%I00=" + wireText(isdn.interfaceMode) + "\r\n";
}

QList<IsdnCommand> isdnPortCommands(const TIsdn& i)
{
    using namespace isdnlines;
    return {
        command("I01", num(i.tei) + ',' + num(i.portMode), kPort),
        command("I09", num(i.statsDay) + ',' + num(i.flags) + ',' + num(i.setupDigits), kCauses),
        command("I08", num(i.dialTone) + ',' + num(i.ringTone) + ',' + num(i.busyTone) + ",0", kTone),
        command("I06",
                num(i.setupAckProgress) + ',' + num(i.callProceedingProgress) + ',' + num(i.progressProgress) + ',' +
                    num(i.alertingProgress),
                kProgressSave),
        command("I03", num(i.cdnPlan) + ',' + num(i.cgnPlan), kPlansSave),
    };
}

IsdnCommand isdnDigitsCommand(const TIsdn& i, qint32 relaxDelay, qint32 ringTimeout)
{
    return command("G08",
                   num(relaxDelay) + ',' + num(i.minDigits) + ',' + num(i.maxDigits) + ',' + num(i.nextDigitWait) +
                       ',' + num(ringTimeout),
                   isdnlines::kDigitsSave);
}

QList<IsdnCommand> isdnMonitoringCommands(const TIsdn& i)
{
    using namespace isdnlines;
    const auto& n = i.stateSmsNumbers;
    return {
        command("I50",
                num(i.portMask1) + ',' + num(i.portMask2) + ',' + num(i.deactivationTimeout) + ',' +
                    num(i.activationTimeout),
                kMonitoring),
        command("I52", wireText(i.stateSmsText), kStateSms),
        command("I51", wireText(n[0]) + ',' + wireText(n[1]) + ',' + wireText(n[2]), kStateNumbers),
    };
}

QByteArray isdnAliveValue(const TIsdn& isdn)
{
    return wireText(isdn.aliveTime) + ',' + num(isdn.aliveDay);
}

QByteArray normalisedAliveValue(const QByteArray& value)
{
    const qsizetype comma = value.indexOf(',');
    QByteArray time = (comma < 0 ? value : value.left(comma)).trimmed();
    QByteArray day = comma < 0 ? QByteArray() : value.mid(comma + 1).trimmed();
    if (time.size() == 4 && time.at(1) == ':')
        time.prepend('0');
    qint32 d = 0;
    if (decimal(day, d))
        day = num(d);
    return time + ',' + day;
}

IsdnCommand isdnAliveCommand(const TIsdn& isdn)
{
    return command("I60", isdnAliveValue(isdn), isdnlines::kAliveTime);
}

IsdnCommand isdnAliveNumbersCommand(const TIsdn& isdn)
{
    int last = 2;
    while (last >= 0 && isdn.aliveNumbers[size_t(last)].isEmpty())
        --last;
    QByteArray joined;
    for (int i = 0; i <= last; ++i)
        joined += (i ? "," : "") + wireText(isdn.aliveNumbers[size_t(i)]);
    return command("I61", joined, isdnlines::kAliveNumbers);
}

IsdnCommand isdnAliveTextCommand(const TIsdn& isdn)
{
    return command("I62", wireText(isdn.aliveSmsText), isdnlines::kAliveText);
}
