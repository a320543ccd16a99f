#pragma once
// Reading values out of the gateway's replies.
//
// A reply is a run of lines "KEY=value\r\n" (or "Key: value") closed by "OK\r\n". The gateway caps every value
// at 99 characters, so the parsers never return more than that per value; nothing here can overrun anything,
// whatever the reply holds. Keys are found as plain text: a line that starts with the key (after optional
// blanks) is the key's place; when no line does, the first occurrence anywhere counts. So a user's text in an
// earlier value ("S85=call X40=2") or a longer key that ends in the key ("G191=" for "G91=") cannot hijack it.
//
// Wire text stays bytes (QByteArray); only the label pass splits its own Unicode texts, through the QString
// overload of ReplyValueList.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <string>

// Longest value the gateway sends for one key or one list item.
inline constexpr qsizetype kReplyValueMax = 99;

// The values of one key, as ReplyValueList gives them. Reading past the end throws std::out_of_range, so a
// caller can read the values it expects one by one and catch a missing one where it reads it (the item's
// error line then goes to the error list and the item keeps its default). size() tells how many came.
template <typename T> class ReplyItems
{
public:
    ReplyItems() = default;
    explicit ReplyItems(QList<T> items) : items_(std::move(items)) {}

    qsizetype size() const { return items_.size(); }
    qsizetype count() const { return items_.size(); }
    bool isEmpty() const { return items_.isEmpty(); }

    const T& at(qsizetype i) const
    {
        if (i < 0 || i >= items_.size())
            throw std::out_of_range("reply value index " + std::to_string(i) + " past the " +
                                    std::to_string(items_.size()) + " values received");
        return items_.at(i);
    }
    const T& operator[](qsizetype i) const { return at(i); }
    // The value at i, or fallback when the reply had fewer values.
    T value(qsizetype i, const T& fallback = T()) const
    {
        return i >= 0 && i < items_.size() ? items_.at(i) : fallback;
    }

    const QList<T>& items() const { return items_; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    bool operator==(const ReplyItems&) const = default;

private:
    QList<T> items_;
};
using ReplyList = ReplyItems<QByteArray>;
using ReplyTextList = ReplyItems<QString>;

// The text after key (found as said above), leading blanks skipped, up to the next CR, at most 99 characters.
// Without a CR after it the value stops before the reply's last character (a reply cut short loses its last,
// possibly partial, character). Empty when the key does not occur or nothing follows it.
QByteArray ReplyValue(const QByteArray& key, const QByteArray& reply);

// The first word after key (found as above): leading blanks skipped, up to the next blank or CR, at most
// 99 characters. Empty when the key does not occur.
QByteArray ReplyWord(const QByteArray& key, const QByteArray& reply);

// The values of key's line split at separator: after the key and its leading blanks, every separator and the CR
// ending the line close one item (two adjacent separators give an empty item); a last piece that no separator
// or CR closes is dropped, and nothing after the key's line is read. Each item keeps at most 99 characters.
// Empty when the key does not occur.
ReplyList ReplyValueList(const QByteArray& key, const QByteArray& reply, char separator);
// The same over Unicode text (the label pass splits its language texts with it); 99 characters per item.
ReplyTextList ReplyValueList(const QString& key, const QString& text, QChar separator);

// Like ReplyValueList, except that a separator directly after another separator, or the CR directly after a
// separator, closes no item: "a  b" split at blanks gives "a", " b" (the further separators stay in front of
// the next item). Used for blank-aligned lines where runs of blanks pad the columns.
ReplyList ReplyValueListCompact(const QByteArray& key, const QByteArray& reply, char separator);

// One cell of a column-aligned table in a reply. The table's header line is the line holding the first
// occurrence of header; column 0 starts where that line starts, column n (n >= 1) after the n-th blank of the
// header line that a non-blank follows. Row 0 is the line below the header line, row r the r-th line after
// it. The cell is the text of that row at the column's offset less shift, up to the next blank or line end.
// "ERROR" when the header does not occur; empty when the row, the column or the cell is not there.
QByteArray ReplyTableCell(const QByteArray& reply, int column, int row, const QByteArray& header, int shift);

// Cuts text (in place) before its first "OK", less the two characters just before it (the CR LF that precedes
// "OK"); text without "OK", or with "OK" within its first two characters, becomes empty. Returns text.
QByteArray& CutReplyMarker(QByteArray& text);

// The text from its start up to the first blank or CR, never including the text's last character.
QByteArray FirstToken(const QByteArray& text);

// "d.m" (two decimal numbers read as "%d.%d") -> the second number, then the first, each with a leading "0"
// below 10: "7.5" -> "0507". A number that is not there counts as 0, so a text without numbers gives "0000".
QString DotTimeToDigits(const QString& text);

// The text with every blank replaced by "0".
QString SpacesToZeros(const QString& text);

// True when every character is a decimal digit 0-9; the empty text gives true.
bool IsAllDigits(const QString& text);

// The text unless it is empty (a blank is not empty), else the fallback.
QString TextOrFallback(const QString& text, const QString& fallback);

// Entry index of list, or defaultValue when the reply had fewer values; in that case itemLine and "\n" are
// appended to errors, every time (a loader that reads several values of one key reports each missing one).
QByteArray LineOrEmpty(const ReplyList& list, qsizetype index, const QString& itemLine, QString& errors,
                       const QByteArray& defaultValue);

// A value of a reply read as a decimal integer: optional blanks around an optionally signed run of digits.
// False (and value untouched) for anything else, an empty text or a number beyond 32 bits included.
bool ReplyDecimal(const QByteArray& text, qint32& value);
