#pragma once
// The gateway's two long routing tables, the LCR table ("AT&R", registers R0..R63) and the autorouting table
// ("AT&A", registers A0..A95), with what the LCR page loads and saves beside its table: the winter and summer
// dates ("X20"), the holidays ("G06", "G07") and the network ids of the eight network lists ("N<n>9").
//
// The gateway lists a table in pages: after each full page it sends "<SPACE>" and waits for one blank before
// the next; the last page carries "OK". The listing starts with a header line whose words mark the columns;
// every row begins with its register ("R07", "A12") and holds its fields at the header words' offsets,
// padded with blanks, trailing blanks cut.
//
// Plain functions: the rows travel as records (LcrRow, AutoRow) and as the image's texts (TLcr, TAuto rows);
// the pages put them into their lists. Functions that talk to the gateway use the open link of
// CurrentConnection and append their failure lines to the errors they are given.
#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <vector>

enum class PagedTable { Autorouting, Lcr };

// Bounds of one paged listing. A gateway that keeps sending "<SPACE>" or never sends its "OK" is not asked for
// pages forever: the listing fails with its table's line. Tests lower them.
struct PagedListingLimits
{
    int maxPages = 64;
    qsizetype maxBytes = 65535;
};
inline PagedListingLimits pagedListingLimits;

// The failure line of a listing: "LCR table - All parametres\n" or "Autorouting table - All parametres\n".
QString pagedListingLine(PagedTable table);

// Runs the listing of table on the open link: shows "AT&&A" or "AT&&R" as the status, writes the command, reads
// the first page and, while the page holds "<SPACE>" and not the table's end marker ("OK\r\n" for autorouting,
// "OK" anywhere for LCR), sends one blank and reads the next. listing gets every page in order. False, with the
// table's line appended to errors, on a short write, a page that does not come, a listing past the bounds or a
// listing without "OK".
bool PagedListing(PagedTable table, QByteArray& listing, QString& errors);

// Sends one command the way the table saves do: status, write, 10 ms, reply (1,024 bytes). A short write and a
// reply without "OK" each append line (a failed write is still followed by the read). True when the reply held
// "OK".
bool SendTableCommand(const QByteArray& command, const QString& line, QString& errors);

// Reads a view ("AT&V\r\n", ...) the way the LCR load does: status, write, 10 ms, reply of size bytes. False,
// with line appended, on a short write or a reply without "OK".
bool ReadView(const QByteArray& command, qsizetype size, const QString& line, QByteArray& reply, QString& errors);

// "AT&Nall" read whole, up to its "OK" (a bounded 64 KiB). On a modem line chunks of 1,024 bytes are read until
// "OK\r\n" or 10 s. False, with "Lcr table - Network ID\n", on a short write (the LCR load goes on).
bool ReadNetworkIds(QByteArray& reply, QString& errors);

// ---- LCR table

// One LCR row: network list number 1..8 (as text, as the list's caption starts), time window
// ("hh:mm/hh:mm" with "/w+", "/w-" or nothing), groups (digits 1, 2, 3, 9 in order of preference), limit.
struct LcrRow
{
    QString network;
    QString window;
    QString groups;
    QString limit;
    bool operator==(const LcrRow&) const = default;
};

// The image's text of a row ("1,08:00/17:00/w-,129,0") and back (missing fields empty).
QString lcrRowToImage(const LcrRow& row);
LcrRow lcrRowFromImage(const QString& text);

// The rows of an "AT&R" listing: R00, R01, ... up to the first register that is not listed. False (rows
// untouched) when the header lacks a word: "LCR table - All parametres\n" for "idx", "netw", "from/to/wend" or
// "groups", "Lcr table - All parametres\n" for "limit"; also, with the first line, when a row's field is longer
// than the row dialog lets a person type (config/TableRows.h). Every field is read within its own line.
bool parseLcrListing(const QByteArray& listing, std::vector<LcrRow>& rows, QString& errors);

// "AT%R0<i>=..." for i < 9, "AT%R<i>=..." from 9 on (the gateway takes either form).
QByteArray lcrRowCommand(int index, const LcrRow& row);
// The command that empties the register after count rows; empty when the table is full (64 rows).
QByteArray lcrEmptyingCommand(int count);

// ---- Dates, holidays and network ids of the LCR page

inline constexpr int kHolidaysPerRegister = 12;

// X20's two dates as "dd.mm" (winter, summer). False when "X20=" is missing or its first two values are not
// four digits each.
bool parseLcrDates(const QByteArray& reply, QString& winter, QString& summer);
// The holidays of "G06" and then "G07" as "dd.mm", at most 24. A value that is not four digits, as the dates of
// X20, is left out (an empty one is no holiday), and the result is false: the page would show a date the
// gateway does not hold and save another.
bool parseHolidays(const QByteArray& reply, std::vector<QString>& holidays);
// The first value of N19= .. N89=, list 1 first. False when a key is missing (ids then incomplete).
bool parseNetworkIds(const QByteArray& reply, QList<QString>& ids);

// "AT%X20=<winter>,<summer>\r\n" from two "dd.mm" texts.
QByteArray lcrDatesCommand(const QString& winter, const QString& summer);
// "AT%G06=...\r\n" always (empty value for no holidays), "AT%G07=...\r\n" when there are more than 12; at most
// 12 holidays per register, so a longer list sends its first 24.
QList<QByteArray> holidayCommands(const std::vector<QString>& holidays);

// True when a "dd.mm" or "hh:mm" text from an overtype edit is complete: no "_" is left in it.
bool isCompleteMaskedText(const QString& text);

// ---- Autorouting table

// The text number of a service letter's name (914..919, in the order of kAutoServiceLetters,
// config/TableRows.h); -1 for another letter.
int autoServiceText(QChar letter);

// One autorouting row: CLIP, number to dial (service A), limit (service C), service letter.
struct AutoRow
{
    QString clip;
    QString number;
    QString limit;
    QChar letter = QLatin1Char('A');
    bool operator==(const AutoRow&) const = default;
};

// The image's text of a row ("+420602123456,,5,C") and back.
QString autoRowToImage(const AutoRow& row);
AutoRow autoRowFromImage(const QString& text);

// The rows of an "AT&A" listing: A00, A01, ... up to the first register that is not listed or has an empty
// CLIP. A row whose number is "R", "I", "T" or "D" is that service with an empty number; an empty number is a
// callback, an empty limit a dial row. False (rows untouched) with "Autorouting table - All parametres\n" when
// the header lacks a word or a row's field is longer than the row dialog lets a person type. Every field is
// read within its own line.
bool parseAutoListing(const QByteArray& listing, std::vector<AutoRow>& rows, QString& errors);

// The value a row goes out with: "CLIP,number" (A), "CLIP,,limit" (C), "CLIP,<letter>" (R, I, T, D), empty for
// any other letter.
QByteArray autoRowValue(const AutoRow& row);
// "AT%A0<i>=..." for i < 9, "AT%A<i>=..." from 9 on.
QByteArray autoRowCommand(int index, const AutoRow& row);
// The command that empties the register after count rows; empty when the table is full (96 rows).
QByteArray autoEmptyingCommand(int count);
