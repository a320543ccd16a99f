#include "exchange/NetworkExchange.h"

#include "config/TableRows.h"
#include "exchange/IsdnExchange.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ReplyParsers.h"
#include "platform/Wait.h"

namespace {

QByteArray key(int n, int k)
{
    return 'N' + QByteArray::number(n) + QByteArray::number(k);
}

ReplyList listValues(const QByteArray& name, const QByteArray& reply)
{
    return ReplyValueList(name + '=', reply, ',');
}

QByteArray joined(const std::vector<QString>& entries)
{
    QByteArray text;
    for (size_t i = 0; i < entries.size(); ++i)
        text += (i ? "," : "") + wireText(entries[i]);
    return text;
}

NetworkCommand command(const QByteArray& name, const QByteArray& value, const QString& itemLine)
{
    return {"AT%" + name + '=' + value + "\r\n", itemLine};
}

constexpr qint64 kModemListingMs = 10000;

// Appends the entries of one key's values to list (empty ones only with keepEmpty); an entry that does not
// fit is damaged: left out, with line once. False when one was left out.
bool takeEntries(const ReplyList& values, std::vector<QString>& list, bool keepEmpty, const QString& line,
                 QString& errors)
{
    bool ok = true;
    for (const QByteArray& v : values) {
        if (v.isEmpty() && !keepEmpty)
            continue;
        const QString entry = fromWire(v);
        if (networkEntryFits(entry)) {
            list.push_back(entry);
            continue;
        }
        ok = false;
        if (!errors.contains(line))
            errors += line;
    }
    return ok;
}

} // namespace

std::vector<QString> parseBriPrefixChanges(const QByteArray& reply, QString& errors)
{
    std::vector<QString> changes;
    takeEntries(listValues("I07", reply), changes, false, netlines::kBri, errors);
    return changes;
}

bool parseNetworkLists(const QByteArray& reply, std::array<TNetwork, 8>& records, QString& errors)
{
    bool ok = true;
    for (int n = 1; n <= 8; ++n) {
        TNetwork& r = records[size_t(n - 1)];
        r.prefixes.clear();
        for (int k = 1; k <= 7; ++k)
            ok &= takeEntries(listValues(key(n, k), reply), r.prefixes, false, netlines::kPrefixes, errors);
        r.replacedPrefixes.clear();
        ok &= takeEntries(listValues(key(n, 0), reply), r.replacedPrefixes, true, netlines::kReplaced, errors);

        const ReplyList id = listValues(key(n, 9), reply);
        if (!id.isEmpty())
            r.networkId = fromWire(id.at(0));
        bool digitsOk = false;
        const QByteArray digits = id.value(1).trimmed();
        const int d = digits.toInt(&digitsOk, 10);
        if (id.size() >= 2 && digitsOk && !digits.isEmpty()) {
            r.defaultDigits = d;
        } else {
            r.defaultDigits = 0;
            ok = false;
            if (!errors.contains(netlines::kDigits.chopped(1)))
                errors += netlines::kDigits;
        }
    }
    return ok;
}

std::array<QString, 8> networkIdsFromListing(const QByteArray& reply)
{
    std::array<QString, 8> ids;
    for (int n = 1; n <= 8; ++n)
        ids[size_t(n - 1)] = fromWire(listValues(key(n, 9), reply).value(0));
    return ids;
}

NetworkCommand briPrefixCommand(const std::vector<QString>& changes)
{
    return command("I07", joined(changes), netlines::kBri);
}

QList<NetworkCommand> networkListCommands(const TNetwork& list, int n)
{
    QList<NetworkCommand> commands;
    commands.append(command(key(n, 0), joined(list.replacedPrefixes), netlines::kReplaced));
    const bool fits = int(list.prefixes.size()) <= kMaxNetworkPrefixes;
    for (int k = 1; k <= 7; ++k) {
        if (!fits) {
            // Sending 28 of them would lose the rest without a word; the gateway keeps its list instead.
            commands.append({QByteArray(), netlines::kPrefixes});
            continue;
        }
        QByteArray group;
        for (size_t i = size_t(4 * (k - 1)); i < list.prefixes.size() && i < size_t(4 * k); ++i)
            group += wireText(list.prefixes[i]) + ',';
        commands.append(command(key(n, k), group, netlines::kPrefixes));
    }
    commands.append(
        command(key(n, 9), wireText(list.networkId) + ',' + QByteArray::number(list.defaultDigits), netlines::kId));
    return commands;
}

QByteArray exchangeNetworkListing(const QByteArray& command, bool& written)
{
    const qint64 start = Clock::milliseconds();
    const bool modem = CurrentConnection.LinkType == LinkModem;
    ReplyReading reading;
    reading.size = kNetworkListingCap + 1;
    const ExchangeResult e = Exchange(command, 0, reading);
    written = e.written;
    if (!written)
        return {};
    QByteArray reply;
    QByteArray piece = e.reply;
    // The gateway's login prompt, in the exchange's reply or a piece after it, ends the session (LinkLost): the
    // link's text is looked at as it arrives, each piece as its line's continuation.
    for (;;) {
        reply += piece;
        if (ReplyComplete(reply) || reply.size() > kNetworkListingCap || LinkLost())
            break;
        if (piece.isEmpty() || (modem && Clock::milliseconds() - start > kModemListingMs))
            break;
        piece = ReadReply(kNetworkListingCap + 1);
    }
    if (reply.size() > kNetworkListingCap)
        return {}; // a listing that long is not the gateway's
    return reply;
}
