#pragma once
// The network lists page's exchange with the gateway, as plain functions over the image records: the
// prefix changes from BRI 1 to BRI 2 ("I07" of "AT&VI"), the eight network lists of "AT&Nall" (keys N<n>0 to
// N<n>9), the set commands of the saves, and the reading of the long "AT&Nall" reply. No widgets here.
//
// Keys of list n (1..8): N<n>0 the replaced prefixes ("old/new" entries), N<n>1 .. N<n>7 the prefixes, four
// per key with a "," after each, N<n>9 the network ID and the default number of digits.
//
// The LCR page names its networks by the network IDs: networkIdsFromListing gives them from an "AT&Nall"
// reply (the whole-gateway load keeps that reply in viewReplyCache.atNall), and GateConfig.networks[i]
// .networkId holds the page's current ones (the page writes an edited ID there at once).
#include "config/Parametres.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <vector>

// The most prefixes one list can carry: seven keys of four.
inline constexpr int kMaxNetworkPrefixes = 28;
// The most bytes the program takes of an "AT&Nall" reply.
inline constexpr qsizetype kNetworkListingCap = 64 * 1024;

// The non-empty "I07" values of an "AT&VI" reply, in order. An entry longer than the entry dialog lets a
// person type (config/TableRows.h) is damaged: it is left out and the list's line goes to errors once.
std::vector<QString> parseBriPrefixChanges(const QByteArray& reply, QString& errors);

// Fills the eight records from an "AT&Nall" reply. A list whose N<n>9 lacks its network ID keeps the ID it
// had; a missing or unreadable number of digits gives 0. Those faults add the digits line to errors once
// (not when errors holds it already) and make the result false; the other lists are read all the same.
// A prefix or replaced prefix longer than the entry dialog lets a person type is left out, with its table's
// line once, and makes the result false.
bool parseNetworkLists(const QByteArray& reply, std::array<TNetwork, 8>& records, QString& errors);

// The network IDs of the eight lists as an "AT&Nall" reply gives them ("" where a list has none).
std::array<QString, 8> networkIdsFromListing(const QByteArray& reply);

// One set command of a save and the line its failure adds. An empty line is a command that cannot be sent
// (more prefixes than the keys hold): the save reports its item without sending anything for it.
struct NetworkCommand
{
    QByteArray line;
    QString itemLine;
};

// "I07" with the entries joined by ",".
NetworkCommand briPrefixCommand(const std::vector<QString>& changes);
// The nine commands of list n (1..8): N<n>0, N<n>1 .. N<n>7, N<n>9. All seven prefix keys always go out, so
// keys beyond the last entry are emptied on the gateway.
QList<NetworkCommand> networkListCommands(const TNetwork& list, int n);

// Sends command (one Exchange) and reads its listing whole: piece after piece until it is complete (it ends in
// "OK"), nothing more comes, it grows beyond kNetworkListingCap, or (on the modem line) more than 10 s have
// passed. written tells whether the command went out. The caller judges the result by its "OK".
QByteArray exchangeNetworkListing(const QByteArray& command, bool& written);

namespace netlines {
inline const QString kBri = QStringLiteral("Network list - Prefix change for call from BRI 1 to BRI2\n");
inline const QString kAll = QStringLiteral("Network list - All parametres\n");
inline const QString kDigits = QStringLiteral("Network list - Default number of digits\n");
inline const QString kReplaced = QStringLiteral("Network list - Table of replaced prefixes\n");
inline const QString kPrefixes = QStringLiteral("Network list - Table of prefixes\n");
inline const QString kId = QStringLiteral("Network list - Network ID, default number of digits\n");
} // namespace netlines
