#include "exchange/BasicExchange.h"

#include "config/ConfigConversions.h"
#include "config/TableRows.h"
#include "link/ReplyParsers.h"

#include <algorithm>
#include <iterator>

namespace {

// Defaults of the four causes sent to ISDN when the gateway's "I05" cannot be read.
constexpr qint32 kDefaultCauses[4] = {102, 21, 41, 42};

// Value i of a reply key as a decimal number.
bool decimalAt(const ReplyList& values, qsizetype i, qint32& value)
{
    return i < values.size() && ReplyDecimal(values.at(i), value);
}

// Value i as a position of a list of count entries.
bool positionAt(const ReplyList& values, qsizetype i, int count, qint32& position)
{
    qint32 v = 0;
    if (!decimalAt(values, i, v) || v < 0 || v >= count)
        return false;
    position = v;
    return true;
}

// Value i as a volume code for a bar of positions: a code the bar does not have leaves it where it is; a
// missing or unreadable value leaves it too and reports the item.
std::optional<int> volumeAt(const ReplyList& values, qsizetype i, int positions, const QString& itemLine,
                            QString& errors)
{
    qint32 code = 0;
    if (!decimalAt(values, i, code)) {
        errors += itemLine;
        return std::nullopt;
    }
    const int position = volumeCodeToPosition(code, positions);
    if (position < 0)
        return std::nullopt;
    return position;
}

QByteArray number(int value)
{
    return QByteArray::number(value);
}

QByteArray code(int position, int positions)
{
    return number(volumePositionToCode(position, positions));
}

} // namespace

BasicView0 parseBasicView0(const QByteArray& reply, const BasicListSizes& sizes, QString& errors)
{
    BasicView0 v;

    // "G08": the relax delay and the ringing time-out; the ISDN page reads the three values between them.
    const ReplyList g08 = ReplyValueList(QByteArrayLiteral("G08="), reply, ',');
    const QByteArray relaxText = LineOrEmpty(g08, 0, kBasicItemRelax, errors, QByteArrayLiteral("2"));
    if (!ReplyDecimal(relaxText, v.relaxDelay)) {
        v.relaxDelay = 2;
        errors += kBasicLineRelax;
    }
    if (!decimalAt(g08, 4, v.ringTimeout))
        v.ringTimeout = 120;

    // "G09": the bit set, the tones, the BUSY status.
    const ReplyList g09 = ReplyValueList(QByteArrayLiteral("G09="), reply, ',');
    if (!decimalAt(g09, 0, v.simFlags)) {
        v.simFlags = 0;
        errors += kBasicLineSimFlags;
    }
    if (!positionAt(g09, 1, sizes.dial, v.dialTone)) {
        v.dialTone = 0;
        errors += kBasicLineDial;
    }
    if (!positionAt(g09, 2, sizes.ring, v.ringTone)) {
        v.ringTone = 0;
        errors += kBasicLineRing;
    }
    qint32 busy = 0;
    if (decimalAt(g09, 3, busy) && busy >= 255)
        v.busyTone = sizes.busy - 1;
    else if (!positionAt(g09, 3, sizes.busy, v.busyTone))
        v.busyTone = 0;
    qint32 busyStatus = 0;
    v.busyStatus = decimalAt(g09, 4, busyStatus) && (busyStatus & 4);

    // Volumes: Siemens "G02", Wavecom "G04" (with the echo cancelling), Sierra "G103" (with the networks).
    const ReplyList g02 = ReplyValueList(QByteArrayLiteral("G02="), reply, ',');
    v.siemensTransmit = volumeAt(g02, 1, kSiemensPositions, kBasicLineSiemensTran, errors);
    v.siemensReceive = volumeAt(g02, 2, kSiemensPositions, kBasicLineSiemensRec, errors);

    const ReplyList g04 = ReplyValueList(QByteArrayLiteral("G04="), reply, ',');
    qint32 position = 0;
    if (positionAt(g04, 0, sizes.echo, position))
        v.echoCancelling = position;
    else
        errors += kBasicLineEcho;
    v.wavecomTransmit = volumeAt(g04, 1, kWavecomPositions, kBasicLineWavecomTran, errors);
    v.wavecomReceive = volumeAt(g04, 2, kWavecomPositions, kBasicLineWavecomRec, errors);

    const ReplyList g103 = ReplyValueList(QByteArrayLiteral("G103="), reply, ',');
    v.sierraTransmit = volumeAt(g103, 1, kSiemensPositions, kBasicLineSierraTran, errors);
    v.sierraReceive = volumeAt(g103, 2, kSiemensPositions, kBasicLineSierraRec, errors);
    if (!positionAt(g103, 4, sizes.search, v.searchPriority))
        v.searchPriority = 0;
    qint32 networks = 0;
    decimalAt(g103, 3, networks);
    v.networksPosition = basicNetworksPosition(networks);

    if (!ReplyDecimal(ReplyValue(QByteArrayLiteral("G05="), reply), v.dtmfDelay))
        v.dtmfDelay = 1;

    // The gateway's list holds what the page's dialog gives: nothing longer reaches a command or the file.
    bool damaged = false;
    for (const QByteArray& value : ReplyValueList(QByteArrayLiteral("G101="), reply, ',')) {
        const QString entry = QString::fromLatin1(value);
        if (entry.isEmpty())
            continue;
        if (v.causes.size() < kCauseEntries && causeEntryFits(entry))
            v.causes << entry;
        else
            damaged = true;
    }
    if (damaged)
        errors += kBasicLineTransfer;
    return v;
}

BasicViewV parseBasicViewV(const QByteArray& reply, const BasicListSizes& sizes, QString& errors)
{
    BasicViewV v;
    v.pin = QString::fromLatin1(ReplyValue(QByteArrayLiteral("S98="), reply));
    const ReplyList s90{QList<QByteArray>{ReplyValue(QByteArrayLiteral("S90="), reply)}};
    if (!positionAt(s90, 0, sizes.selection, v.moduleSelection)) {
        v.moduleSelection = 0;
        errors += kBasicLineSelection;
    }
    return v;
}

std::array<qint32, 4> parseBasicCauses(const QByteArray& reply, QString& errors)
{
    const ReplyList i05 = ReplyValueList(QByteArrayLiteral("I05="), reply, ',');
    std::array<qint32, 4> causes{};
    bool read = true;
    for (int i = 0; i < 4; ++i)
        read = read && decimalAt(i05, i, causes[size_t(i)]);
    if (!read) {
        std::copy(std::begin(kDefaultCauses), std::end(kDefaultCauses), causes.begin());
        errors += kBasicLineCauses;
    }
    return causes;
}

std::array<qint32, 3> g08IsdnValues(const QByteArray& reply)
{
    const ReplyList g08 = ReplyValueList(QByteArrayLiteral("G08="), reply, ',');
    std::array<qint32, 3> values{};
    for (int i = 0; i < 3; ++i) {
        if (!decimalAt(g08, i + 1, values[size_t(i)]))
            return {9, 9, 3};
    }
    return values;
}

QByteArray basicRelaxCommand(const TBasic& b, const std::array<qint32, 3>& isdn)
{
    return "AT%G08=" + number(b.relaxDelay) + ',' + number(isdn[0]) + ',' + number(isdn[1]) + ',' +
           number(isdn[2]) + ',' + number(b.ringTimeout) + "\r\n";
}

QByteArray basicTonesShortCommand(const TBasic& b)
{
    return "AT%G09=" + number(b.simFlags) + ',' + number(b.dialTone) + ',' + number(b.ringTone) + "\r\n";
}

QByteArray basicTonesCommand(const TBasic& b)
{
    return "AT%G09=" + number(b.simFlags) + ',' + number(b.dialTone) + ',' + number(b.ringTone) + ',' +
           number(b.busyTone) + ',' + number(b.busyStatus) + "\r\n";
}

QByteArray basicSiemensCommand(const TBasic& b)
{
    return "AT%G02=2," + code(b.siemensTransmit, kSiemensPositions) + ',' +
           code(b.siemensReceive, kSiemensPositions) + "\r\n";
}

QByteArray basicWavecomCommand(const TBasic& b)
{
    return "AT%G04=" + number(b.echoCancelling) + ',' + code(b.wavecomTransmit, kWavecomPositions) + ',' +
           code(b.wavecomReceive, kWavecomPositions) + "\r\n";
}

QByteArray basicDtmfCommand(const TBasic& b)
{
    return "AT%G05=" + number(b.dtmfDelay) + "\r\n";
}

QByteArray basicSierraCommand(const TBasic& b)
{
    return "AT%G103=0," + code(b.sierraTransmit, kSiemensPositions) + ',' +
           code(b.sierraReceive, kSiemensPositions) + ',' + number(b.networks) + ',' + number(b.searchPriority) +
           "\r\n";
}

QByteArray basicPinCommand(const TBasic& b)
{
    return "AT%S98=" + b.pin.toLatin1() + "\r\n";
}

QByteArray basicSelectionCommand(const TBasic& b)
{
    return "AT%S90=" + number(b.moduleSelection) + "\r\n";
}

QByteArray basicTransferCommand(const TBasic& b)
{
    QByteArray entries;
    for (size_t i = 0; i < b.causes.size(); ++i)
        entries += (i ? "," : "") + b.causes[i].toLatin1();
    return "AT%G101=" + entries + "\r\n";
}

QByteArray basicCausesCommand(const TBasic& b)
{
    return "AT%I05=" + number(b.causeLackOfDigits) + ',' + number(b.causeRestricted) + ',' +
           number(b.causeModuleNotReady) + ',' + number(b.causeNoModuleReady) + "\r\n";
}
