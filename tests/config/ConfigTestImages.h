#pragma once
// Images for the gate-file tests: two fully populated images that differ from each other in every member and
// from the defaults in nearly every one (where the page keeps only two values, such as the BUSY status, one
// image has the default), and the rule which members each section bit carries.
#include "config/Parametres.h"

#include <QString>

// Awkward texts: separators of the file format, blanks at the ends, letters of the four languages.
inline const QString kCzech = QStringLiteral("Příliš žluťoučký kůň");
inline const QString kHungarian = QStringLiteral("Árvíztűrő tükörfúrógép");
inline const QString kPolish = QStringLiteral("Zażółć gęślą jaźń");

// seed 1 and seed 2 give images that differ from each other in every member.
inline TParametres fullImage(int seed)
{
    const QString s = QString::number(seed);
    const int k = seed * 10;
    TParametres p;
    for (int g = 0; g < 2; ++g) {
        TOutgoing& o = p.outgoing[size_t(g)];
        o.roamingNetwork = g == 0 ? QStringLiteral(" 230,0") + s : QStringLiteral("a\\b=") + s;
        o.clir = 2 - g + k;
        o.maxMinutes = 300 + k + g;
        o.maxSms = 40 + k + g;
        o.statsDay = 30 + g + seed;
        o.secondsAfterConnect = 11 + k + g;
        o.secondsNextCount = 12 + k + g;
        o.pseudoTariff = 1200 - k - g;
        o.delayConnect = 5 + k + g;
        o.delayAlerting = 7 + k + g;
        o.disconnectCall = seed;
        o.callFlags = 2 | 32 | 64 | seed << 8 | g;
        o.smsDelay = 9 + k + g;
        o.clipSeparator = g == 0 ? QChar(u',') : (seed == 1 ? QChar(u'#') : QChar(u'ň'));
        o.smsText = QStringLiteral("  Volal %N, zavolám zpět; a=b \"x\" ") + kCzech + s;
        o.clipPrefixConversion = QStringLiteral("00420/0;") + s;
        o.sim.text = QStringLiteral("sim, ") + kPolish + s;
        for (int i = 0; i < 6; ++i)
            o.sim.values[size_t(i)] = -i - k - g;
        o.sim.window1 = QStringLiteral("0%1:00/17:30/w-").arg(seed + g);
        o.sim.window2 = QStringLiteral("18:0%1/24:00/w+").arg(seed + g);
        o.sim.moreValues = {{k + 1, k + 2 + g}};
        o.sim.secondInterval = seed == 1;
    }
    // The shared values are the same in both records, as every page keeps them.
    p.outgoing[1].smsText = p.outgoing[0].smsText;
    p.outgoing[1].clipPrefixConversion = p.outgoing[0].clipPrefixConversion;
    for (int g = 0; g < 2; ++g) {
        TIncoming& in = p.incoming[size_t(g)];
        in.mode = 5 + seed + g;
        in.minDigits = 4 + k + g;
        in.maxDigits = 15 + k + g;
        in.dtmfTour = 20 + k + g;
        in.statsDay = 28 + seed + g;
        in.disaPrefix = g == 0 ? QStringLiteral("*9,") + s : (seed == 1 ? QString() : QStringLiteral("8"));
        in.clip = QStringLiteral(" ") + kHungarian + s;
        in.voiceLoop = 99 - k - g;
        in.clipKeepHours = 240 - k;
        in.addUnconnectedOnly = seed == 1;
        in.deleteOnAnswer = seed != 1;
        in.routeFailedDtmf = seed == 1;
        in.dtmfDisabled = seed != 1;
        in.calledNumbers =
            g == 0 ? std::vector<QString>{QStringLiteral("123") + s, QStringLiteral("4,56"), QStringLiteral("+420 777")}
                   : std::vector<QString>(size_t(seed - 1), QStringLiteral("9") + s);
        in.clipConversions = QStringLiteral("0042/0,0043/") + s;
        in.cdnPrefixConversion = QStringLiteral("=") + s;
        in.cdnSeparator = g == 0 ? QChar() : QChar(seed == 1 ? u';' : u'\\');
    }
    for (int n = 0; n < 8; ++n) {
        TNetwork& net = p.networks[size_t(n)];
        const int count = n == 0 ? 30 + seed : (n + seed) % 3 * 5; // more than the gateway's 28 in list 1
        for (int i = 0; i < count; ++i)
            net.prefixes.push_back(QString::number(600 + i * (n + 1) + k));
        if (n == 1)
            net.replacedPrefixes = {QStringLiteral("12/34"), QString(), QStringLiteral("5/"), QStringLiteral("/6") + s};
        else if (n == 2)
            net.replacedPrefixes = {QStringLiteral("/")};
        else if (n != 3 || seed == 1)
            net.replacedPrefixes = {QString::number(n) + QStringLiteral("0/") + s};
        net.networkId = n == 4 ? QStringLiteral("T,Mob") : kPolish.left(n % 5) + s;
        net.defaultDigits = n + seed;
    }
    p.system.cdrMode = 5 + seed;
    p.system.gateId = 200 + seed;
    p.system.resetTime = QStringLiteral("0%1:30").arg(seed + 2);
    p.system.winterDate = QStringLiteral("2%1.10").arg(seed);
    p.system.summerDate = QStringLiteral("0%1.03").arg(seed);

    TBasic& b = p.basic;
    b.relaxDelay = 7 + seed;
    b.ringTimeout = 45 + seed;
    b.simFlags = 21 + seed;
    b.dialTone = 2 + seed;
    b.ringTone = 1 + seed;
    b.busyTone = seed == 1 ? 255 : 4;
    b.busyStatus = seed == 1 ? 4 : 0;
    b.siemensTransmit = 2 + seed;
    b.siemensReceive = seed - 1;
    b.wavecomTransmit = 4 + seed;
    b.wavecomReceive = seed - 1;
    b.sierraTransmit = 2 + seed;
    b.sierraReceive = 4 - seed;
    b.echoCancelling = seed;
    b.dtmfDelay = 50 + seed;
    b.networks = 12 + seed;
    b.searchPriority = seed;
    b.pin = QStringLiteral("12") + s;
    b.moduleSelection = seed;
    b.causes = {QStringLiteral("1/16"), QStringLiteral("17/1") + s, QStringLiteral("127/12") + s};
    if (seed == 2)
        b.causes.resize(9, QStringLiteral("3/3")); // a ninth entry, as the page allows
    b.causeLackOfDigits = 100 + seed;
    b.causeRestricted = 20 + seed;
    b.causeModuleNotReady = 40 + seed;
    b.causeNoModuleReady = 50 + seed;

    for (int i = 0; i < 32; ++i) {
        p.groupsAssignment.incoming[size_t(i)] = (i + seed) % 4;
        p.groupsAssignment.outgoing[size_t(i)] = (i * 3 + seed) % 8;
    }
    const int autoRows = seed == 1 ? kMaxAutoRows : 2;
    for (int i = 0; i < autoRows; ++i)
        p.autorouting.rows.push_back(QStringLiteral("+42060%1,%2,,A").arg(i).arg(k + i));
    const int extRows = seed == 1 ? kMaxExtRows : 1;
    for (int i = 0; i < extRows; ++i)
        p.extensions.rows.push_back(kHungarian.left(i % 10 + 1) +
                                    QStringLiteral(",user%1,p=w;d,777%2,1,0,1").arg(i).arg(seed));
    const int lcrRows = seed == 1 ? kMaxLcrRows : 3;
    for (int i = 0; i < lcrRows; ++i)
        p.lcr.rows.push_back(QStringLiteral("%1,0%2:00/24:00/w+,129,%3").arg(i % 8 + 1).arg(i % 10).arg(k + i));
    const int holidays = seed == 1 ? kMaxHolidays : 13;
    for (int i = 0; i < holidays; ++i)
        p.lcr.holidays.push_back(QStringLiteral("%1.%2").arg(i + seed).arg(i % 12 + 1));

    TIsdn& d = p.isdn;
    d.interfaceMode = seed == 1 ? QStringLiteral("NT/E") : QStringLiteral("TE/T");
    d.tei = seed == 1 ? 61 : 64; // point-to-multipoint has the dynamic TEI
    d.portMode = seed == 1 ? 0 : 2;
    d.setupAckProgress = 1 + seed;
    d.callProceedingProgress = 2 + seed;
    d.progressProgress = 3 + seed;
    d.alertingProgress = 4 + seed;
    d.dialTone = seed;
    d.ringTone = 1 + seed;
    d.busyTone = 2 + seed;
    d.statsDay = 20 + seed;
    d.flags = seed == 1 ? 20 : 4;
    d.setupDigits = 10 + seed;
    d.cdnPlan = 100 + seed;
    d.cgnPlan = 110 + seed;
    d.msn = QStringLiteral("5551") + s;
    d.minDigits = 3 + seed;
    d.maxDigits = 12 + seed;
    d.nextDigitWait = 5 + seed;
    d.stateSmsText = QStringLiteral("Port %P(1|2) %A(off|on), MSN %M; ") + kCzech + s;
    d.deactivationTimeout = 65535 - seed;
    d.activationTimeout = 1000 + seed;
    d.portMask1 = seed;
    d.portMask2 = 7 - seed;
    d.stateSmsNumbers = {QStringLiteral("+420,1") + s, QString(), QStringLiteral("#31#") + s};
    d.aliveDay = 5 + seed;
    d.aliveTime = QStringLiteral("0%1:30").arg(seed + 7);
    d.aliveNumbers = {QString(), QStringLiteral("*") + s, QStringLiteral(" 12 ")};
    d.aliveSmsText = QStringLiteral("Alive %M\\ \r\nline\t2\n") + kPolish + s; // pasted line breaks

    p.briPrefixChanges = seed == 1 ? std::vector<QString>{QStringLiteral("0/00420"), QStringLiteral("9/")}
                                   : std::vector<QString>{QStringLiteral("1/2")};
    p.portModeChars = seed == 1 ? std::array<char, 3>{{'1', 'G', 'B'}} : std::array<char, 3>{{'2', 'A', '1'}};
    return p;
}

// base with the members that the bits of mask select taken from src: what reading src's file with that
// mask into base must give.
inline TParametres mergeMasked(const TParametres& base, const TParametres& src, int mask)
{
    TParametres r = base;
    if (mask & gsSystem) {
        r.system.cdrMode = src.system.cdrMode;
        r.system.gateId = src.system.gateId;
        r.system.resetTime = src.system.resetTime;
    }
    if (mask & gsHolidays) {
        r.system.winterDate = src.system.winterDate;
        r.system.summerDate = src.system.summerDate;
        r.lcr.holidays = src.lcr.holidays;
    }
    if (mask & gsBasic)
        r.basic = src.basic;
    if (mask & gsGroups)
        r.groupsAssignment = src.groupsAssignment;
    if (mask & gsOutgoing)
        r.outgoing = src.outgoing;
    if (mask & gsIncoming)
        r.incoming = src.incoming;
    if (mask & gsNetwork) {
        r.networks = src.networks;
        r.briPrefixChanges = src.briPrefixChanges;
    }
    if (mask & gsLcr)
        r.lcr.rows = src.lcr.rows;
    if (mask & gsAutorouting)
        r.autorouting = src.autorouting;
    if (mask & gsExtension)
        r.extensions = src.extensions;
    if (mask & gsIsdn)
        r.isdn = src.isdn;
    if (mask & gsPortModes)
        r.portModeChars = src.portModeChars;
    return r;
}
