#pragma once
// What the GSM outgoing and incoming groups pages say to the gateway and read back, as plain functions over
// their image records (TOutgoing, TIncoming). The pages send the commands built here in their order and
// apply the records read here to their controls; nothing here touches a widget or the link.
//
// Readers append the item lines of failed values to an error text (the run's LoadErrors) in the order the
// values are read; the lines that may be listed only once are tested for presence first, as the run's box
// lists each failed item once.
//
// Wire texts are Windows-1250 bytes: the gateway keeps the texts the way the program's users typed them.
#include "config/ConfigConversions.h"
#include "config/Parametres.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// ---- Shared

// A text as the gateway's bytes, and back.
QByteArray wireText(const QString& text);
QString fromWire(const QByteArray& bytes);

// isCompleteTime, the one rule of every time edit, lives in config/ConfigConversions.h.

// ---- Outgoing groups (views "AT&V1", "AT&V2" for the groups, "AT&V" for S85, "AT&V0" for G109)

// One time window of a SIM card as its controls show it.
struct OutgoingWindow
{
    enum Weekend { AsInWeek, WholeWeekend, NoWeekend };
    QString from; // a time of four characters ("0:00") is shown with a leading "0"
    QString to;
    Weekend weekend = AsInWeek;

    bool operator==(const OutgoingWindow&) const = default;
};
// "from/to" followed by "/w+" (whole weekend), "/w-" (not on weekends) or nothing (weekends as in the week).
// A text without "/" gives an empty from and the whole text as to.
OutgoingWindow parseOutgoingWindow(const QString& text);
QString buildOutgoingWindow(const QString& from, const QString& to, bool weekendEnabled, bool wholeWeekend);

// The second window's text when it is not in use.
inline const QString kWindowOff = QStringLiteral("00:00/00:00");
// The second window shown when the gateway has none in use.
inline const QString kWindowAllDay = QStringLiteral("00:00/24:00");

// Item lines of the outgoing page's run ("Outgoing groups  - ..." with two blanks are the view commands').
QString outgoingViewLine(int group); // "Outgoing groups  - GSM group <n>\n"
inline const QString kOutLineSmsView = QStringLiteral("Outgoing groups  - Text of SMS at no answer\n");
inline const QString kOutLineClipView = QStringLiteral("Outgoing groups  - CLIP prefix conversion\n");
inline const QString kOutLineLimits = QStringLiteral(
    "Outgoing groups - CLIR, max of called minutes, SMS messages number, day of deleting stats, nr. of seconds "
    "after connect/for next counting, pseudo tarif\n");
inline const QString kOutLineMessages =
    QStringLiteral("Outgoing groups - Delay for send CONNECT, timeout for send ALERTING, timeout for SMS at no answer, "
                   "disconnect call, 'minute' parameter, delay for 'SMS at no answer'\n");
inline const QString kOutLineTime = QStringLiteral("Outgoing groups - Time limitation of SIM card\n");
inline const QString kOutLineSmsText = QStringLiteral("Outgoing groups - Text of SMS at no answer\n");
inline const QString kOutLineClipPrefix = QStringLiteral("Outgoing groups - CLIP prefix conversion\n");

// Bits of callFlags that the page shows; the others pass through.
inline constexpr qint32 kOutCountCalls = 2;
inline constexpr qint32 kOutVirtualRing = 32;

// Reads group's (1 or 2) keys G<n>1, G<n>9 and G<n>5 of reply into record. Every value is read on its own: a
// missing or unreadable one takes its default and its line. A second window listed as "00:00/00:00" (what
// the save sends for a second window not in use) reads as not in use, so the setting survives a save and a
// load. The record's other members are left alone.
void readOutgoingGroup(const QByteArray& reply, int group, TOutgoing& record, QString& errors);

// The set commands of group (1 or 2), each ending in CR LF.
QByteArray outgoingLimitsCommand(int group, const TOutgoing& record);   // G<n>1
QByteArray outgoingMessagesCommand(int group, const TOutgoing& record); // G<n>9; no separator: ends in ","
QByteArray outgoingTimeCommand(int group, const TOutgoing& record);     // G<n>5; second window off: "00:00/00:00"
QByteArray outgoingSmsTextCommand(const TOutgoing& record);    // S85
QByteArray outgoingClipPrefixCommand(const TOutgoing& record); // G109

// ---- Incoming groups (view "AT&V9")

inline const QString kInLineAll = QStringLiteral("Incoming groups - All parametres\n");
inline const QString kInLinePrefixView =
    QStringLiteral("Incoming groups - Prefix conversion of incoming CDN from CLIP\n");
inline const QString kInLineGroup = QStringLiteral(
    "Incoming groups - Mode, min digits in DTMF, max digits in DTMF, tour for entering DTMF digits, day of deleting "
    "incoming stats, clip, prefix before DISA\n");
inline const QString kInLineLoop =
    QStringLiteral("Incoming groups - Looping of voice mess., CDN recognition in clip\n");
inline const QString kInLineCalled = QStringLiteral("Incoming groups - List of called numbers\n");
inline const QString kInLineRouting =
    QStringLiteral("Incoming groups - Add record only for unconnected call, delete record for connected answer\n");
inline const QString kInLineConversions =
    QStringLiteral("Incoming groups - CLIP transformation for incoming calls from GSM\n");
inline const QString kInLinePrefix = QStringLiteral("Incoming groups - Prefix conversion of incoming CDN from CLIP\n");

// The longest list of called numbers one command carries (the gateway reads a command line of 256 bytes:
// "AT%G95=", the list, CR LF and its end mark).
inline constexpr int kMaxCalledList = 246;

// Reads the two groups' keys (G9<n>, G9<n+4>, G99, G19<n>) and G198 of an "AT&V9" reply into records. A G198
// longer than the page's dialog builds (config/TableRows.h) is damaged: the records get the empty list and its
// line goes to errors.
void readIncomingGroups(const QByteArray& reply, std::array<TIncoming, 2>& records, QString& errors);
// G199 of the second "AT&V9" reply, into both records.
void readIncomingPrefixConversion(const QByteArray& reply, std::array<TIncoming, 2>& records);

// The called numbers joined by "," as they go out.
QByteArray calledNumbersList(const std::vector<QString>& numbers);
// The set commands of group index g (0 or 1), each ending in CR LF.
QByteArray incomingGroupCommand(int g, const TIncoming& record); // G9<n>
QByteArray incomingLoopCommand(int g, const TIncoming& record);  // G19<n>; no separator: ends in ","
// G9<n+4>; nothing when the list is longer than one command can carry.
std::optional<QByteArray> incomingCalledCommand(int g, const TIncoming& record);
// G99 with the hours and the switches' bit set (1 add, 2 delete, 4 DTMF disabled, 8 route failed DTMF).
int incomingRoutingBits(bool add, bool del, bool routeDtmf, bool dtmfDisabled);
QByteArray incomingRoutingCommand(qint32 keepHours, int bits);
QByteArray incomingConversionsCommand(const QStringList& entries); // G198
QByteArray incomingPrefixCommand(const QString& conversion);       // G199

// ---- The CLIP conversion list of the incoming page (entries "old/new" joined by ","; at most 31 characters)

// The entries of a stored list, empty ones left out.
QStringList clipConversionEntries(const QString& list);
// How many characters a new entry may have after a list of listLength characters (room for the joining
// comma kept), or nothing when the list takes no more entries.
std::optional<int> clipConversionRoom(qsizetype listLength);

// The texts that travel inside a comma-separated value cannot hold a ",": it would shift every value after it.
inline bool fitsInValueList(const QString& text)
{
    return !text.contains(QLatin1Char(','));
}
