#include "config/GateLayout.h"
#include "config/ConfigConversions.h"
#include "config/GateFile.h"
#include "config/TableRows.h"
#include "link/LinkState.h"

#include <algorithm>

QString escapeGateText(const QString& text, bool inFields)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case ',':
            out += inFields ? QLatin1String("\\,") : QLatin1String(",");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeGateText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        switch (next.unicode()) {
        case '\\':
        case ',':
            out += next;
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        default: // not one of ours: a hand-written backslash stays as it is
            out += c;
            out += next;
        }
    }
    return out;
}

QStringList splitGateFields(const QString& value)
{
    QStringList fields;
    QString raw;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            raw += c;
            raw += value.at(++i);
        } else if (c == QLatin1Char(',')) {
            fields << unescapeGateText(raw);
            raw.clear();
        } else {
            raw += c;
        }
    }
    fields << unescapeGateText(raw);
    return fields;
}

namespace {

// One field of a key that holds several values.
struct Field
{
    std::function<QString(const TParametres&)> get;
    std::function<bool(const QString&)> valid;
    std::function<void(TParametres&, const QString&)> set;
};

bool readInt(const QString& text, qint32* out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok && out)
        *out = v;
    return ok;
}

// Accessors: each returns a reference to one member, const or not as the image is.
template <class M> auto sys(M TSystem::*m)
{
    return [m](auto& p) -> auto&
    {
        return p.system.*m;
    };
}
template <class M> auto bas(M TBasic::*m)
{
    return [m](auto& p) -> auto&
    {
        return p.basic.*m;
    };
}
template <class M> auto isd(M TIsdn::*m)
{
    return [m](auto& p) -> auto&
    {
        return p.isdn.*m;
    };
}
template <class M> auto outg(int g, M TOutgoing::*m)
{
    return [ g, m ](auto& p) -> auto&
    {
        return p.outgoing[g].*m;
    };
}
template <class M> auto simOf(int g, M TSim::*m)
{
    return [ g, m ](auto& p) -> auto&
    {
        return p.outgoing[g].sim.*m;
    };
}
template <class M> auto inc(int g, M TIncoming::*m)
{
    return [ g, m ](auto& p) -> auto&
    {
        return p.incoming[g].*m;
    };
}
template <class M> auto net(int i, M TNetwork::*m)
{
    return [ i, m ](auto& p) -> auto&
    {
        return p.networks[i].*m;
    };
}

template <class A> Field intField(A acc)
{
    return {[acc](const TParametres& p) { return QString::number(acc(p)); },
            [](const QString& s) { return readInt(s, nullptr); },
            [acc](TParametres& p, const QString& s) { readInt(s, &acc(p)); }};
}

// An integer that its page holds in another form (a list position, check boxes, a bar) and builds again for
// the gateway: kept is what that form gives back unchanged; any other number would go out as another value.
template <class A> Field keptIntField(A acc, bool (*kept)(qint32))
{
    Field f = intField(acc);
    f.valid = [kept](const QString& s) {
        qint32 v = 0;
        return readInt(s, &v) && kept(v);
    };
    return f;
}

// The page forms behind keptIntField: a list's code survives the way to its position and back, a volume is a
// position of its bar.
bool cdrCodeKept(qint32 code)
{
    return cdrPositionToCode(cdrCodeToPosition(code)) == code;
}
bool fivePositionsKept(qint32 position)
{
    return volumePositionToCode(position, kSiemensPositions) >= 0;
}
bool sevenPositionsKept(qint32 position)
{
    return volumePositionToCode(position, kWavecomPositions) >= 0;
}
bool networksCodeKept(qint32 code)
{
    return basicNetworksCode(basicNetworksPosition(code)) == code;
}
bool simFlagsKept(qint32 flags) // check boxes for 1, 2, 4 and 16
{
    return (flags & ~(1 | 2 | 4 | 16)) == 0;
}
bool busyToneKept(qint32 tone) // five tones, then "disabled", which goes out as 255
{
    return (tone >= 0 && tone <= 4) || tone == 255;
}
bool busyStatusKept(qint32 status) // one check box for 4
{
    return status == 0 || status == 4;
}
bool isdnFlagsKept(qint32 flags) // check boxes for 4 and 16
{
    return (flags & ~(4 | 16)) == 0;
}
bool portMaskKept(qint32 mask) // check boxes for 1, 2 and 4
{
    return (mask & ~7) == 0;
}
bool interfaceModeKept(const QString& mode) // the ISDN page's choices of either model
{
    static const QStringList modes = {QStringLiteral("NT"),   QStringLiteral("NT/E"), QStringLiteral("NT/O"),
                                      QStringLiteral("NT/S"), QStringLiteral("TE/E"), QStringLiteral("TE/T")};
    return modes.contains(mode);
}

template <class A> Field boolField(A acc)
{
    return {[acc](const TParametres& p) { return acc(p) ? QStringLiteral("1") : QStringLiteral("0"); },
            [](const QString& s) { return s.trimmed() == QLatin1String("0") || s.trimmed() == QLatin1String("1"); },
            [acc](TParametres& p, const QString& s) { acc(p) = s.trimmed() == QLatin1String("1"); }};
}

template <class A> Field textField(A acc)
{
    return {[acc](const TParametres& p) { return acc(p); }, [](const QString&) { return true; },
            [acc](TParametres& p, const QString& s) { acc(p) = s; }};
}

// A day-and-month date "dd.mm" as the date edits hold it once it is whole; anything else would be a date
// nobody typed that the page's checks then take for unfinished typing.
template <class A> Field dayMonthField(A acc)
{
    Field f = textField(acc);
    f.valid = isWholeDayMonth;
    return f;
}

// A character that may be absent (null): the empty field.
template <class A> Field charField(A acc)
{
    return {[acc](const TParametres& p) { return acc(p).isNull() ? QString() : QString(acc(p)); },
            [](const QString& s) { return s.size() <= 1; },
            [acc](TParametres& p, const QString& s) { acc(p) = s.isEmpty() ? QChar() : s.at(0); }};
}

// A value shared by both GSM groups: read from the first record, written into both.
Field mirrored(Field first, Field second)
{
    auto set = [s1 = first.set, s2 = second.set](TParametres& p, const QString& v) {
        s1(p, v);
        s2(p, v);
    };
    return {first.get, first.valid, set};
}

// kept, when given, also sees the fields (as read, unescaped) and refuses values whose fields only together
// go out as another value.
GateKey fieldsKey(int bit, const char* section, const QString& name, std::vector<Field> fields,
                  std::function<bool(const QStringList&)> kept = nullptr)
{
    auto encode = [fields](const TParametres& p) {
        QStringList parts;
        for (const Field& f : fields)
            parts << escapeGateText(f.get(p), true);
        return parts.join(QLatin1Char(','));
    };
    auto decode = [fields, kept](TParametres& p, const QString& value) {
        const QStringList parts = splitGateFields(value);
        if (parts.size() < qsizetype(fields.size())) // fields beyond ours are left for a later version
            return false;
        for (size_t i = 0; i < fields.size(); ++i)
            if (!fields[i].valid(parts[qsizetype(i)]))
                return false;
        if (kept && !kept(parts))
            return false;
        for (size_t i = 0; i < fields.size(); ++i)
            fields[i].set(p, parts[qsizetype(i)]);
        return true;
    };
    return {bit, section, name, encode, decode};
}

// A key that holds one free text: its commas are plain commas. With fits, a text that does not fit is
// unreadable.
GateKey textKey(int bit, const char* section, const QString& name, std::function<QString(const TParametres&)> get,
                std::function<void(TParametres&, const QString&)> set, bool (*fits)(const QString&) = nullptr)
{
    return {bit, section, name, [get](const TParametres& p) { return escapeGateText(get(p), false); },
            [set, fits](TParametres& p, const QString& v) {
                const QString text = unescapeGateText(v);
                if (fits && !fits(text))
                    return false;
                set(p, text);
                return true;
            }};
}

template <class A> GateKey textKey(int bit, const char* section, const QString& name, A acc)
{
    return textKey(
        bit, section, name, [acc](const TParametres& p) { return acc(p); },
        [acc](TParametres& p, const QString& v) { acc(p) = v; });
}

// A list, or a slice [from, to) of one (to < 0: up to the end), joined by ",". A slice key that is not the
// first of its list appends to what the keys before it gave, up to limit entries in all. With fits, a value
// whose entries do not fit is unreadable; with entryFits, a value with an entry that does not fit among those
// it adds (an entry past the limit is never taken, so it is not asked).
template <class A>
GateKey listKey(int bit, const char* section, const QString& name, A acc, bool keepEmpty, int from = 0, int to = -1,
                int limit = -1, bool (*fits)(const QStringList&) = nullptr, bool (*entryFits)(const QString&) = nullptr)
{
    auto encode = [acc, from, to](const TParametres& p) {
        const std::vector<QString>& list = acc(p);
        QStringList parts;
        const int end = to < 0 ? int(list.size()) : std::min(to, int(list.size()));
        for (int i = from; i < end; ++i)
            parts << escapeGateText(list[size_t(i)], true);
        return parts.join(QLatin1Char(','));
    };
    auto decode = [acc, keepEmpty, from, limit, fits, entryFits](TParametres& p, const QString& value) {
        const QStringList entries = value.isEmpty() ? QStringList() : splitGateFields(value);
        if (fits && !fits(entries))
            return false;
        std::vector<QString>& list = acc(p);
        // The list as this key leaves it, checked before the image is touched.
        std::vector<QString> taken = from == 0 ? std::vector<QString>() : list;
        for (const QString& entry : entries) {
            if (limit >= 0 && int(taken.size()) >= limit)
                break;
            if (!keepEmpty && entry.isEmpty())
                continue;
            if (entryFits && !entryFits(entry))
                return false;
            taken.push_back(entry);
        }
        list = std::move(taken);
        return true;
    };
    return {bit, section, name, encode, decode};
}

bool networkEntriesFit(const QStringList& entries)
{
    return std::all_of(entries.begin(), entries.end(), networkEntryFits);
}

// "<prefix><n><suffix>", such as "G" 1 "9" for G19.
QString keyName(const char* prefix, int n, const char* suffix = "")
{
    return QLatin1String(prefix) + QString::number(n) + QLatin1String(suffix);
}

void addSystemKeys(std::vector<GateKey>& keys)
{
    keys.push_back(fieldsKey(gsSystem, kSectionSystem, "S91",
                             {keptIntField(sys(&TSystem::cdrMode), cdrCodeKept), intField(sys(&TSystem::gateId))}));
    keys.push_back(textKey(gsSystem, kSectionSystem, "X22", sys(&TSystem::resetTime)));
    keys.push_back(fieldsKey(gsHolidays, kSectionSystem, "X20",
                             {dayMonthField(sys(&TSystem::winterDate)), dayMonthField(sys(&TSystem::summerDate))}));
}

void addIsdnKeys(std::vector<GateKey>& keys)
{
    const char* s = kSectionIsdn;
    keys.push_back(textKey(
        gsIsdn, s, "I00", [](const TParametres& p) { return p.isdn.interfaceMode; },
        [](TParametres& p, const QString& v) { p.isdn.interfaceMode = v; }, interfaceModeKept));
    // Read as it stands: the page shows point-to-multipoint with the dynamic TEI whatever TEI comes with it,
    // and writes a fixed one itself where it is laid out for the other model without being loaded.
    keys.push_back(fieldsKey(gsIsdn, s, "I01", {intField(isd(&TIsdn::tei)), intField(isd(&TIsdn::portMode))}));
    keys.push_back(fieldsKey(gsIsdn, s, "I06",
                             {intField(isd(&TIsdn::setupAckProgress)), intField(isd(&TIsdn::callProceedingProgress)),
                              intField(isd(&TIsdn::progressProgress)), intField(isd(&TIsdn::alertingProgress))}));
    keys.push_back(
        fieldsKey(gsIsdn, s, "I08",
                  {intField(isd(&TIsdn::dialTone)), intField(isd(&TIsdn::ringTone)), intField(isd(&TIsdn::busyTone))}));
    keys.push_back(fieldsKey(gsIsdn, s, "I09",
                             {intField(isd(&TIsdn::statsDay)), keptIntField(isd(&TIsdn::flags), isdnFlagsKept),
                              intField(isd(&TIsdn::setupDigits))}));
    keys.push_back(fieldsKey(gsIsdn, s, "I03", {intField(isd(&TIsdn::cdnPlan)), intField(isd(&TIsdn::cgnPlan))}));
    keys.push_back(textKey(gsIsdn, s, "I27", isd(&TIsdn::msn)));
    keys.push_back(fieldsKey(
        gsIsdn, s, "G08",
        {intField(isd(&TIsdn::minDigits)), intField(isd(&TIsdn::maxDigits)), intField(isd(&TIsdn::nextDigitWait))}));
    keys.push_back(textKey(gsIsdn, s, "I52", isd(&TIsdn::stateSmsText)));
    keys.push_back(fieldsKey(gsIsdn, s, "I50",
                             {intField(isd(&TIsdn::deactivationTimeout)), intField(isd(&TIsdn::activationTimeout)),
                              keptIntField(isd(&TIsdn::portMask1), portMaskKept),
                              keptIntField(isd(&TIsdn::portMask2), portMaskKept)}));
    std::vector<Field> numbers;
    for (int i = 0; i < 3; ++i)
        numbers.push_back(textField([i](auto& p) -> auto& { return p.isdn.stateSmsNumbers[size_t(i)]; }));
    keys.push_back(fieldsKey(gsIsdn, s, "I51", numbers));
    keys.push_back(fieldsKey(gsIsdn, s, "I60", {intField(isd(&TIsdn::aliveDay)), textField(isd(&TIsdn::aliveTime))}));
    numbers.clear();
    for (int i = 0; i < 3; ++i)
        numbers.push_back(textField([i](auto& p) -> auto& { return p.isdn.aliveNumbers[size_t(i)]; }));
    keys.push_back(fieldsKey(gsIsdn, s, "I61", numbers));
    keys.push_back(textKey(gsIsdn, s, "I62", isd(&TIsdn::aliveSmsText)));
}

void addGsmKeys(std::vector<GateKey>& keys)
{
    const char* s = kSectionGsm;
    keys.push_back(
        fieldsKey(gsBasic, s, "G08", {intField(bas(&TBasic::relaxDelay)), intField(bas(&TBasic::ringTimeout))}));
    keys.push_back(fieldsKey(gsBasic, s, "G09",
                             {keptIntField(bas(&TBasic::simFlags), simFlagsKept), intField(bas(&TBasic::dialTone)),
                              intField(bas(&TBasic::ringTone)), keptIntField(bas(&TBasic::busyTone), busyToneKept),
                              keptIntField(bas(&TBasic::busyStatus), busyStatusKept)}));
    keys.push_back(fieldsKey(gsBasic, s, "G02",
                             {keptIntField(bas(&TBasic::siemensTransmit), fivePositionsKept),
                              keptIntField(bas(&TBasic::siemensReceive), fivePositionsKept)}));
    keys.push_back(fieldsKey(gsBasic, s, "G04",
                             {keptIntField(bas(&TBasic::wavecomTransmit), sevenPositionsKept),
                              keptIntField(bas(&TBasic::wavecomReceive), sevenPositionsKept),
                              intField(bas(&TBasic::echoCancelling))}));
    keys.push_back(
        fieldsKey(gsBasic, s, "G103",
                  {keptIntField(bas(&TBasic::sierraTransmit), fivePositionsKept),
                   keptIntField(bas(&TBasic::sierraReceive), fivePositionsKept),
                   keptIntField(bas(&TBasic::networks), networksCodeKept), intField(bas(&TBasic::searchPriority))}));
    keys.push_back(fieldsKey(gsBasic, s, "G05", {intField(bas(&TBasic::dtmfDelay))}));
    keys.push_back(textKey(gsBasic, s, "S98", bas(&TBasic::pin)));
    keys.push_back(fieldsKey(gsBasic, s, "S90", {intField(bas(&TBasic::moduleSelection))}));
    keys.push_back(listKey(gsBasic, s, "G101", bas(&TBasic::causes), false, 0, -1, -1, causeListFits));
    keys.push_back(
        fieldsKey(gsBasic, s, "I05",
                  {intField(bas(&TBasic::causeLackOfDigits)), intField(bas(&TBasic::causeRestricted)),
                   intField(bas(&TBasic::causeModuleNotReady)), intField(bas(&TBasic::causeNoModuleReady))}));
    std::vector<Field> in;
    std::vector<Field> out;
    for (int i = 0; i < 32; ++i) {
        in.push_back(intField([i](auto& p) -> auto& { return p.groupsAssignment.incoming[size_t(i)]; }));
        out.push_back(intField([i](auto& p) -> auto& { return p.groupsAssignment.outgoing[size_t(i)]; }));
    }
    keys.push_back(fieldsKey(gsGroups, s, "G90", in));
    keys.push_back(fieldsKey(gsGroups, s, "G00", out));
}

void addOutgoingKeys(std::vector<GateKey>& keys)
{
    const char* s = kSectionOutgoing;
    for (int g = 0; g < 2; ++g) {
        const int n = g + 1;
        keys.push_back(
            fieldsKey(gsOutgoing, s, keyName("G", n, "1"),
                      {textField(outg(g, &TOutgoing::roamingNetwork)), intField(outg(g, &TOutgoing::clir)),
                       intField(outg(g, &TOutgoing::maxMinutes)), intField(outg(g, &TOutgoing::maxSms)),
                       intField(outg(g, &TOutgoing::statsDay)), intField(outg(g, &TOutgoing::secondsAfterConnect)),
                       intField(outg(g, &TOutgoing::secondsNextCount)), intField(outg(g, &TOutgoing::pseudoTariff))}));
        keys.push_back(
            fieldsKey(gsOutgoing, s, keyName("G", n, "9"),
                      {intField(outg(g, &TOutgoing::delayConnect)), intField(outg(g, &TOutgoing::delayAlerting)),
                       intField(outg(g, &TOutgoing::disconnectCall)), intField(outg(g, &TOutgoing::callFlags)),
                       intField(outg(g, &TOutgoing::smsDelay)), charField(outg(g, &TOutgoing::clipSeparator))}));
        std::vector<Field> sim{textField(simOf(g, &TSim::text))};
        for (int i = 0; i < 6; ++i)
            sim.push_back(intField([ g, i ](auto& p) -> auto& { return p.outgoing[g].sim.values[size_t(i)]; }));
        sim.push_back(textField(simOf(g, &TSim::window1)));
        sim.push_back(textField(simOf(g, &TSim::window2)));
        for (int i = 0; i < 2; ++i)
            sim.push_back(intField([ g, i ](auto& p) -> auto& { return p.outgoing[g].sim.moreValues[size_t(i)]; }));
        sim.push_back(boolField(simOf(g, &TSim::secondInterval)));
        keys.push_back(fieldsKey(gsOutgoing, s, keyName("G", n, "5"), sim));
    }
    keys.push_back(textKey(
        gsOutgoing, s, "S85", [](const TParametres& p) { return p.outgoing[0].smsText; },
        [](TParametres& p, const QString& v) {
            for (TOutgoing& o : p.outgoing)
                o.smsText = v;
        }));
    keys.push_back(textKey(
        gsOutgoing, s, "G109", [](const TParametres& p) { return p.outgoing[0].clipPrefixConversion; },
        [](TParametres& p, const QString& v) {
            for (TOutgoing& o : p.outgoing)
                o.clipPrefixConversion = v;
        }));
}

void addIncomingKeys(std::vector<GateKey>& keys)
{
    const char* s = kSectionIncoming;
    for (int g = 0; g < 2; ++g) {
        const int n = g + 1;
        keys.push_back(fieldsKey(gsIncoming, s, keyName("G9", n),
                                 {intField(inc(g, &TIncoming::mode)), intField(inc(g, &TIncoming::minDigits)),
                                  intField(inc(g, &TIncoming::maxDigits)), intField(inc(g, &TIncoming::dtmfTour)),
                                  intField(inc(g, &TIncoming::statsDay)), textField(inc(g, &TIncoming::disaPrefix)),
                                  textField(inc(g, &TIncoming::clip))}));
        keys.push_back(
            fieldsKey(gsIncoming, s, keyName("G19", n),
                      {intField(inc(g, &TIncoming::voiceLoop)), charField(inc(g, &TIncoming::cdnSeparator))}));
        keys.push_back(listKey(gsIncoming, s, keyName("G9", n + 4), inc(g, &TIncoming::calledNumbers), false));
    }
    keys.push_back(fieldsKey(
        gsIncoming, s, "G99",
        {mirrored(intField(inc(0, &TIncoming::clipKeepHours)), intField(inc(1, &TIncoming::clipKeepHours))),
         mirrored(boolField(inc(0, &TIncoming::addUnconnectedOnly)), boolField(inc(1, &TIncoming::addUnconnectedOnly))),
         mirrored(boolField(inc(0, &TIncoming::deleteOnAnswer)), boolField(inc(1, &TIncoming::deleteOnAnswer))),
         mirrored(boolField(inc(0, &TIncoming::routeFailedDtmf)), boolField(inc(1, &TIncoming::routeFailedDtmf))),
         mirrored(boolField(inc(0, &TIncoming::dtmfDisabled)), boolField(inc(1, &TIncoming::dtmfDisabled)))}));
    keys.push_back(textKey(
        gsIncoming, s, "G198", [](const TParametres& p) { return p.incoming[0].clipConversions; },
        [](TParametres& p, const QString& v) {
            for (TIncoming& i : p.incoming)
                i.clipConversions = v;
        },
        clipConversionsFit));
    keys.push_back(textKey(
        gsIncoming, s, "G199", [](const TParametres& p) { return p.incoming[0].cdnPrefixConversion; },
        [](TParametres& p, const QString& v) {
            for (TIncoming& i : p.incoming)
                i.cdnPrefixConversion = v;
        }));
}

void addNetworkKeys(std::vector<GateKey>& keys)
{
    const char* s = kSectionNetwork;
    keys.push_back(listKey(
        gsNetwork, s, "I07", [](auto& p) -> auto& { return p.briPrefixChanges; }, false, 0, -1, -1,
        networkEntriesFit));
    for (int i = 0; i < 8; ++i) {
        const int n = i + 1;
        keys.push_back(listKey(gsNetwork, s, keyName("N", n, "0"), net(i, &TNetwork::replacedPrefixes), true, 0, -1,
                               -1, networkEntriesFit));
        // Four prefixes per key as the gateway has them; the last key takes whatever lies beyond 24, so a
        // longer list is never cut short in the file.
        for (int k = 1; k <= 7; ++k)
            keys.push_back(listKey(gsNetwork, s, keyName("N", n) + QString::number(k), net(i, &TNetwork::prefixes),
                                   false, 4 * (k - 1), k < 7 ? 4 * k : -1, -1, networkEntriesFit));
        keys.push_back(
            fieldsKey(gsNetwork, s, keyName("N", n, "9"),
                      {textField(net(i, &TNetwork::networkId)), intField(net(i, &TNetwork::defaultDigits))}));
    }
}

void addLcrKeys(std::vector<GateKey>& keys)
{
    auto holidays = [](auto& p) -> auto&
    {
        return p.lcr.holidays;
    };
    // A holiday goes out as the day and month the save reads in it; one without such a day and month would go
    // out as another date.
    auto readable = [](const QString& holiday) {
        int day = 0;
        int month = 0;
        return holidayNumbers(holiday, day, month);
    };
    keys.push_back(listKey(gsHolidays, kSectionLcr, "G06", holidays, false, 0, 12, kMaxHolidays, nullptr, +readable));
    keys.push_back(
        listKey(gsHolidays, kSectionLcr, "G07", holidays, false, 12, kMaxHolidays, kMaxHolidays, nullptr, +readable));
}

void addPortModeKeys(std::vector<GateKey>& keys)
{
    // Each character stands for one choice of its group on the port modes page; the page has none for any
    // other and would send the choice it showed before.
    static const char* const choices[3] = {"012", "02AG", "01BG"}; // GSM, BRI 1, BRI 2
    std::vector<Field> chars;
    for (int i = 0; i < 3; ++i)
        chars.push_back(
            {[i](const TParametres& p) { return QString(QLatin1Char(p.portModeChars[size_t(i)])); },
             [i](const QString& v) { return v.size() == 1 && QLatin1String(choices[i]).contains(v.at(0)); },
             [i](TParametres& p, const QString& v) { p.portModeChars[size_t(i)] = char(v.at(0).unicode()); }});
    keys.push_back(fieldsKey(gsPortModes, kSectionPortModes, "X40", chars));
}

void addGateKeys(std::vector<GateKey>& keys)
{
    // The identification replies are bytes; Latin-1 carries every byte value through the text file.
    keys.push_back(textKey(
        gsAll, kSectionGate, "ATI3", [](const TParametres&) { return QString::fromLatin1(ati3Reply); },
        [](TParametres&, const QString& v) { ati3Reply = v.toLatin1(); }));
    keys.push_back(textKey(
        gsAll, kSectionGate, "ATI4", [](const TParametres&) { return QString::fromLatin1(ati4Reply); },
        [](TParametres&, const QString& v) { ati4Reply = v.toLatin1(); }));
    // They live outside the image, so their default is no reply rather than the current one.
    for (size_t i = keys.size() - 2; i < keys.size(); ++i)
        keys[i].defaultValue = [] { return QString(); };
}

} // namespace

const std::vector<GateKey>& gateKeys()
{
    static const std::vector<GateKey> keys = [] {
        std::vector<GateKey> k;
        addGateKeys(k);
        addSystemKeys(k);
        addIsdnKeys(k);
        addGsmKeys(k);
        addOutgoingKeys(k);
        addIncomingKeys(k);
        addNetworkKeys(k);
        addLcrKeys(k);
        addPortModeKeys(k);
        return k;
    }();
    return keys;
}

const std::vector<GateTable>& gateTables()
{
    static const std::vector<GateTable> tables = {
        {gsAutorouting, kSectionAutorouting, QStringLiteral("A"), kMaxAutoRows,
         [](TParametres& p) -> std::vector<QString>& { return p.autorouting.rows; },
         [](const TParametres& p) -> const std::vector<QString>& { return p.autorouting.rows; }, autoImageRowFits},
        {gsExtension, kSectionExtension, QStringLiteral("M"), kMaxExtRows,
         [](TParametres& p) -> std::vector<QString>& { return p.extensions.rows; },
         [](const TParametres& p) -> const std::vector<QString>& { return p.extensions.rows; }},
        {gsLcr, kSectionLcr, QStringLiteral("L"), kMaxLcrRows,
         [](TParametres& p) -> std::vector<QString>& { return p.lcr.rows; },
         [](const TParametres& p) -> const std::vector<QString>& { return p.lcr.rows; }, lcrImageRowFits},
    };
    return tables;
}

const std::vector<const char*>& gateSectionOrder()
{
    static const std::vector<const char*> order = {
        kSectionGate,    kSectionSystem,      kSectionIsdn,      kSectionGsm, kSectionOutgoing, kSectionIncoming,
        kSectionNetwork, kSectionAutorouting, kSectionExtension, kSectionLcr, kSectionPortModes};
    return order;
}
