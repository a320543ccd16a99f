#include "exchange/TablesExchange.h"

#include "config/ConfigConversions.h"
#include "config/Parametres.h"
#include "config/TableRows.h"
#include "config/WireDate.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/ReplyParsers.h"
#include "platform/Wait.h"

#include <QStringList>

namespace {

constexpr int kReplyDelayMs = 10;
constexpr qsizetype kPageSize = 4096;
constexpr qsizetype kReplySize = 1024;
constexpr qsizetype kNetworkIdsMax = 65536;
constexpr qint64 kModemNetworkIdsSeconds = 10;

const QString kLcrAll = QStringLiteral("LCR table - All parametres\n");
const QString kLcrLimit = QStringLiteral("Lcr table - All parametres\n");
const QString kLcrNetworkId = QStringLiteral("Lcr table - Network ID\n");
const QString kAutoAll = QStringLiteral("Autorouting table - All parametres\n");

void showStatus(const QString& text)
{
    if (commandStatusHook)
        commandStatusHook(text);
}

// A line of text: [start, end) without its CR or LF.
struct Line
{
    qsizetype start = 0;
    qsizetype end = 0;
};

Line lineAround(const QByteArray& text, qsizetype pos)
{
    Line line;
    qsizetype s = pos;
    while (s > 0 && text.at(s - 1) != '\r' && text.at(s - 1) != '\n')
        --s;
    qsizetype e = pos;
    while (e < text.size() && text.at(e) != '\r' && text.at(e) != '\n')
        ++e;
    line.start = s;
    line.end = e;
    return line;
}

// The register's row: the first line that starts with key (after blanks), else the key's first occurrence
// anywhere. -1 when the listing does not name it.
qsizetype findRowKey(const QByteArray& listing, const QByteArray& key)
{
    qsizetype from = 0;
    while (from < listing.size()) {
        const qsizetype at = listing.indexOf(key, from);
        if (at < 0)
            break;
        qsizetype s = at;
        while (s > 0 && listing.at(s - 1) == ' ')
            --s;
        const bool atLineStart = s == 0 || listing.at(s - 1) == '\r' || listing.at(s - 1) == '\n';
        const qsizetype after = at + key.size();
        const bool wholeWord = after >= listing.size() || !QChar::fromLatin1(listing.at(after)).isDigit();
        if (atLineStart && wholeWord)
            return at;
        from = at + 1;
    }
    return listing.indexOf(key);
}

// The token at offset from the key's position: up to the next blank or the end of the key's own line.
QByteArray fieldAt(const QByteArray& listing, qsizetype keyPos, int offset)
{
    const Line line = lineAround(listing, keyPos);
    const qsizetype from = keyPos + offset;
    if (offset < 0 || from >= line.end)
        return {};
    qsizetype to = from;
    while (to < line.end && listing.at(to) != ' ')
        ++to;
    return listing.mid(from, to - from);
}

// Offsets of header words, counted from "idx"; -1 for a word the listing lacks.
int headerOffset(const QByteArray& listing, qsizetype idxPos, const char* word)
{
    const qsizetype at = listing.indexOf(word);
    return at < 0 ? -1 : int(at - idxPos);
}

QByteArray rowKey(char letter, int index)
{
    return letter + QByteArray::number(index).rightJustified(2, '0');
}

// "AT%R0<i>=" below 9, "AT%R<i>=" from 9 on.
QByteArray tableSet(char letter, int index)
{
    return QByteArray("AT%") + letter + (index < 9 ? "0" : "") + QByteArray::number(index) + '=';
}

QString joinFields(const QStringList& fields)
{
    return fields.join(QLatin1Char(','));
}

} // namespace

// ---- Paged listing and the table exchanges

QString pagedListingLine(PagedTable table)
{
    return table == PagedTable::Lcr ? kLcrAll : kAutoAll;
}

bool PagedListing(PagedTable table, QByteArray& listing, QString& errors)
{
    const bool lcr = table == PagedTable::Lcr;
    const QByteArray command = lcr ? "AT&R\r" : "AT&A\r";
    const QByteArray endMarker = lcr ? "OK" : "OK\r\n";
    const QString line = pagedListingLine(table);
    const PagedListingLimits limits = pagedListingLimits;

    QByteArray collected;
    auto fail = [&] {
        errors += line;
        return false;
    };

    showStatus(lcr ? QStringLiteral("AT&&R") : QStringLiteral("AT&&A"));
    // Each page is one whole reply, up to its "<SPACE>" line or the listing's "OK".
    ReplyReading pageReading;
    pageReading.size = kPageSize;
    ExchangeResult e = Exchange(command, kReplyDelayMs, pageReading);
    if (!e.written)
        return fail();
    QByteArray page = e.reply;

    int pages = 1;
    if (page.contains("<SPACE>")) {
        for (;;) {
            collected += page;
            if (page.contains(endMarker))
                break;
            // A page that does not come, or a gateway that pages on and on, ends the listing as failed.
            if (page.isEmpty() || pages >= limits.maxPages || collected.size() >= limits.maxBytes)
                return fail();
            e = Exchange(QByteArrayLiteral(" "), kReplyDelayMs, pageReading);
            if (!e.written)
                return fail();
            page = e.reply;
            ++pages;
        }
    } else {
        collected = page;
    }
    if (!collected.contains("OK"))
        return fail();
    listing = collected;
    return true;
}

bool SendTableCommand(const QByteArray& command, const QString& line, QString& errors)
{
    showStatus(QString::fromLatin1(command));
    ReplyReading reading;
    reading.size = kReplySize;
    const ExchangeResult e = Exchange(command, kReplyDelayMs, reading, true);
    if (!e.written && !e.refused)
        errors += line;
    if (e.reply.contains("OK"))
        return true;
    errors += line;
    return false;
}

bool ReadView(const QByteArray& command, qsizetype size, const QString& line, QByteArray& reply, QString& errors)
{
    QByteArray status = command.trimmed();
    status.replace("&", "&&");
    showStatus(QString::fromLatin1(status));
    ReplyReading reading;
    reading.size = size;
    const ExchangeResult e = Exchange(command, kReplyDelayMs, reading);
    reply = e.reply;
    if (!e.written) {
        errors += line;
        return false;
    }
    if (!reply.contains("OK")) {
        errors += line;
        return false;
    }
    return true;
}

bool ReadNetworkIds(QByteArray& reply, QString& errors)
{
    const QByteArray command = "AT&Nall\r\n";
    showStatus(QStringLiteral("AT&&Nall"));
    // One whole reply: the 72 keys of the eight lists are far longer than 1,024 bytes.
    const bool modem = CurrentConnection.LinkType == LinkModem;
    const qint64 start = Clock::seconds();
    ReplyReading reading;
    reading.size = kNetworkIdsMax;
    const ExchangeResult e = Exchange(command, modem ? 0 : kReplyDelayMs, reading);
    reply = e.reply;
    if (!e.written) {
        errors += kLcrNetworkId;
        return false;
    }
    // On a modem line a reply cut short is gathered on within its time; the gateway's login prompt in it ends the
    // session (LinkLost: the link's text is looked at as it arrives, each piece as its line's continuation).
    while (modem && !reply.isEmpty() && !reply.contains("OK\r\n") && reply.size() < kNetworkIdsMax &&
           Clock::seconds() - start <= kModemNetworkIdsSeconds && !LinkLost())
        reply += ReadReply(kReplySize);
    return true;
}

// ---- LCR table

QString lcrRowToImage(const LcrRow& row)
{
    return joinFields({row.network, row.window, row.groups, row.limit});
}

LcrRow lcrRowFromImage(const QString& text)
{
    const QStringList f = text.split(QLatin1Char(','));
    return {f.value(0), f.value(1), f.value(2), f.value(3)};
}

bool parseLcrListing(const QByteArray& listing, std::vector<LcrRow>& rows, QString& errors)
{
    const qsizetype idx = listing.indexOf("idx");
    const int network = headerOffset(listing, idx, "netw");
    const int window = headerOffset(listing, idx, "from/to/wend");
    const int groups = headerOffset(listing, idx, "groups");
    const int limitWord = headerOffset(listing, idx, "limit");
    if (idx < 0 || network < 0 || window < 0 || groups < 0) {
        errors += kLcrAll;
        return false;
    }
    if (limitWord < 0) {
        errors += kLcrLimit;
        return false;
    }
    // The limit stands right-aligned under "limit": two digits from its fourth character, one digit from its
    // fifth.
    const int limit = limitWord + 3;

    std::vector<LcrRow> found;
    for (int i = 0; i < kMaxLcrRows; ++i) {
        const qsizetype key = findRowKey(listing, rowKey('R', i));
        if (key < 0)
            break;
        LcrRow row;
        row.network = QString::fromLatin1(fieldAt(listing, key, network));
        row.window = QString::fromLatin1(fieldAt(listing, key, window));
        row.groups = QString::fromLatin1(fieldAt(listing, key, groups));
        QByteArray l = fieldAt(listing, key, limit);
        if (l.isEmpty())
            l = fieldAt(listing, key, limit + 1);
        row.limit = QString::fromLatin1(l);
        // The gateway's fields hold no more than a person can type: a longer token is a damaged listing
        // (columns run together), and its rows are not taken.
        if (!lcrRowFits(row.network, row.window, row.groups, row.limit)) {
            errors += kLcrAll;
            return false;
        }
        found.push_back(row);
    }
    rows = std::move(found);
    return true;
}

QByteArray lcrRowCommand(int index, const LcrRow& row)
{
    return tableSet('R', index) + lcrRowToImage(row).toLatin1() + "\r\n";
}

QByteArray lcrEmptyingCommand(int count)
{
    return count >= kMaxLcrRows ? QByteArray() : tableSet('R', count) + "\r\n";
}

// ---- Dates, holidays and network ids

bool parseLcrDates(const QByteArray& reply, QString& winter, QString& summer)
{
    const ReplyList dates = ReplyValueList("X20=", reply + "\r", ',');
    if (dates.size() < 2)
        return false;
    // Four digits each, or the edits would show a date nobody typed that no save then takes.
    if (dates.at(0).size() != kWireDateLength || dates.at(1).size() != kWireDateLength)
        return false;
    const QString w = digitsToDayMonth(QString::fromLatin1(dates.at(0)));
    const QString s = digitsToDayMonth(QString::fromLatin1(dates.at(1)));
    if (!isWholeDayMonth(w) || !isWholeDayMonth(s))
        return false;
    winter = w;
    summer = s;
    return true;
}

bool parseHolidays(const QByteArray& reply, std::vector<QString>& holidays)
{
    holidays.clear();
    bool whole = true;
    for (const char* key : {"G06=", "G07="}) {
        for (const QByteArray& value : ReplyValueList(key, reply + "\r", ',')) {
            if (value.isEmpty())
                continue;
            const QString holiday = digitsToDayMonth(QString::fromLatin1(value));
            if (value.size() != kWireDateLength || !isWholeDayMonth(holiday))
                whole = false;
            else if (int(holidays.size()) < kMaxHolidays)
                holidays.push_back(holiday);
        }
    }
    return whole;
}

bool parseNetworkIds(const QByteArray& reply, QList<QString>& ids)
{
    QList<QString> found;
    for (int n = 1; n <= 8; ++n) {
        const QByteArray key = 'N' + QByteArray::number(n) + "9=";
        if (!reply.contains(key))
            return false;
        // A reply line that ends the text without its CR still counts.
        found.append(QString::fromLatin1(ReplyValueList(key, reply + "\r", ',').value(0)));
    }
    ids = found;
    return true;
}

QByteArray lcrDatesCommand(const QString& winter, const QString& summer)
{
    return "AT%X20=" + dayMonthToDigits(winter).toLatin1() + ',' + dayMonthToDigits(summer).toLatin1() + "\r\n";
}

QList<QByteArray> holidayCommands(const std::vector<QString>& holidays)
{
    QByteArray first;
    QByteArray second;
    const int count = std::min(int(holidays.size()), kMaxHolidays);
    for (int i = 0; i < count; ++i) {
        QByteArray& list = i < kHolidaysPerRegister ? first : second;
        if (!list.isEmpty())
            list += ',';
        list += holidayToDigits(holidays[size_t(i)]).toLatin1();
    }
    QList<QByteArray> commands{"AT%G06=" + first + "\r\n"};
    if (count > kHolidaysPerRegister)
        commands.append("AT%G07=" + second + "\r\n");
    return commands;
}

bool isCompleteMaskedText(const QString& text)
{
    return !text.contains(QLatin1Char('_'));
}

// ---- Autorouting table

int autoServiceText(QChar letter)
{
    for (int i = 0; kAutoServiceLetters[i]; ++i)
        if (letter == QLatin1Char(kAutoServiceLetters[i]))
            return 914 + i;
    return -1;
}

QString autoRowToImage(const AutoRow& row)
{
    return joinFields({row.clip, row.number, row.limit, QString(row.letter)});
}

AutoRow autoRowFromImage(const QString& text)
{
    const QStringList f = text.split(QLatin1Char(','));
    AutoRow row{f.value(0), f.value(1), f.value(2), QLatin1Char('A')};
    const QString letter = f.value(3);
    row.letter = letter.isEmpty() ? QChar() : letter.at(0);
    return row;
}

bool parseAutoListing(const QByteArray& listing, std::vector<AutoRow>& rows, QString& errors)
{
    const qsizetype idx = listing.indexOf("idx");
    const int clip = headerOffset(listing, idx, "gsm.dial");
    const int number = headerOffset(listing, idx, "isdn.dial");
    const int limit = headerOffset(listing, idx, "limit");
    if (idx < 0 || clip < 0 || number < 0 || limit < 0) {
        errors += kAutoAll;
        return false;
    }

    std::vector<AutoRow> found;
    for (int i = 0; i < kMaxAutoRows; ++i) {
        const qsizetype key = findRowKey(listing, rowKey('A', i));
        if (key < 0)
            break;
        AutoRow row;
        row.clip = QString::fromLatin1(fieldAt(listing, key, clip));
        if (row.clip.isEmpty())
            break;
        row.number = QString::fromLatin1(fieldAt(listing, key, number));
        row.limit = QString::fromLatin1(fieldAt(listing, key, limit));
        // In this order: no number is a callback, no limit a dial row (so a row with neither dials), and a
        // service letter in the number column is that service.
        row.letter = QLatin1Char('A');
        if (row.number.isEmpty())
            row.letter = QLatin1Char('C');
        if (row.limit.isEmpty())
            row.letter = QLatin1Char('A');
        if (row.number.size() == 1 && QByteArrayView("RITD").contains(row.number.at(0).toLatin1())) {
            row.letter = row.number.at(0);
            row.number.clear();
        }
        if (!autoRowFits(row.clip, row.number, row.limit)) {
            errors += kAutoAll; // as for the LCR listing: a damaged listing
            return false;
        }
        found.push_back(row);
    }
    rows = std::move(found);
    return true;
}

QByteArray autoRowValue(const AutoRow& row)
{
    const QByteArray clip = row.clip.toLatin1();
    switch (row.letter.toLatin1()) {
    case 'A':
        return clip + ',' + row.number.toLatin1();
    case 'C':
        return clip + ",," + row.limit.toLatin1();
    case 'R':
    case 'I':
    case 'T':
    case 'D':
        return clip + ',' + row.letter.toLatin1();
    default:
        return {};
    }
}

QByteArray autoRowCommand(int index, const AutoRow& row)
{
    return tableSet('A', index) + autoRowValue(row) + "\r\n";
}

QByteArray autoEmptyingCommand(int count)
{
    return count >= kMaxAutoRows ? QByteArray() : tableSet('A', count) + "\r\n";
}
