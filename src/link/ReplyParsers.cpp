#include "link/ReplyParsers.h"

#include <limits>

namespace {

// Where key stands at the start of a line (after optional blanks), or -1 when no line starts with it.
template <typename S> qsizetype keyAtLineStart(const S& key, const S& text)
{
    for (qsizetype k = text.indexOf(key); k >= 0; k = text.indexOf(key, k + 1)) {
        qsizetype p = k;
        while (p > 0 && text.at(p - 1) == u' ')
            --p;
        if (p == 0 || text.at(p - 1) == u'\n' || text.at(p - 1) == u'\r')
            return k;
    }
    return -1;
}

// Position right after key and the blanks that follow it, or -1 when the key does not occur. A line that
// starts with the key is its place; only when none does, the first occurrence anywhere counts. So a text
// value of another key that happens to hold "X40=" (an SMS text) or a longer key ending in this one ("G191="
// holding "G91=") never stands in for the key's own line.
template <typename S> qsizetype valueStart(const S& key, const S& text)
{
    qsizetype k = key.isEmpty() ? -1 : keyAtLineStart(key, text);
    if (k < 0)
        k = text.indexOf(key);
    if (k < 0)
        return -1;
    qsizetype p = k + key.size();
    while (p < text.size() && text.at(p) == u' ')
        ++p;
    return p;
}

// Splits the line that starts at from. Each item keeps at most kReplyValueMax characters; the rest of an
// over-long item is skipped up to its separator.
template <typename S, typename C> QList<S> splitLine(const S& text, qsizetype from, C separator, bool compact)
{
    QList<S> items;
    S piece;
    bool afterSeparator = false;
    for (qsizetype p = from; p < text.size(); ++p) {
        const C c = text.at(p);
        if (c == C('\r')) {
            if (!(compact && afterSeparator))
                items.append(piece);
            return items;
        }
        if (c == separator && !(compact && afterSeparator)) {
            items.append(piece);
            piece.clear();
            afterSeparator = true;
            continue;
        }
        afterSeparator = c == separator;
        if (piece.size() < kReplyValueMax)
            piece += c;
    }
    return items; // the line has no CR: its last piece is not complete
}

// Offset of column n within the header line [begin, end): column 0 at the start, column n after the n-th blank
// that a non-blank follows. -1 when the line has fewer columns.
qsizetype columnOffset(const QByteArray& text, qsizetype begin, qsizetype end, int column)
{
    if (column == 0)
        return 0;
    int seen = 0;
    for (qsizetype p = begin; p + 1 < end; ++p) {
        if (text.at(p) == ' ' && text.at(p + 1) != ' ' && ++seen == column)
            return p + 1 - begin;
    }
    return -1;
}

qsizetype lineEnd(const QByteArray& text, qsizetype from)
{
    qsizetype p = from;
    while (p < text.size() && text.at(p) != '\r' && text.at(p) != '\n')
        ++p;
    return p;
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// One "%d" conversion: blanks skipped, an optional sign, at least one digit. Values beyond int are clamped.
bool scanInt(const QString& s, qsizetype& p, int& out)
{
    qsizetype q = p;
    while (q < s.size() && isSpace(s.at(q)))
        ++q;
    bool negative = false;
    if (q < s.size() && (s.at(q) == u'+' || s.at(q) == u'-'))
        negative = s.at(q++) == u'-';
    if (q >= s.size() || s.at(q) < u'0' || s.at(q) > u'9')
        return false;
    qint64 v = 0;
    for (; q < s.size() && s.at(q) >= u'0' && s.at(q) <= u'9'; ++q)
        v = qMin<qint64>(v * 10 + (s.at(q).unicode() - u'0'), std::numeric_limits<int>::max());
    out = static_cast<int>(negative ? -v : v);
    p = q;
    return true;
}

QString twoDigits(int v)
{
    return v < 10 ? QLatin1Char('0') + QString::number(v) : QString::number(v);
}

} // namespace

QByteArray ReplyValue(const QByteArray& key, const QByteArray& reply)
{
    const qsizetype p = valueStart(key, reply);
    if (p < 0)
        return {};
    const qsizetype cr = reply.indexOf('\r', p);
    const qsizetype end = cr >= 0 ? cr : reply.size() - 1;
    if (end <= p)
        return {};
    return reply.mid(p, qMin(end - p, kReplyValueMax));
}

QByteArray ReplyWord(const QByteArray& key, const QByteArray& reply)
{
    const qsizetype p = valueStart(key, reply);
    if (p < 0)
        return {};
    qsizetype end = p;
    while (end < reply.size() && reply.at(end) != ' ' && reply.at(end) != '\r')
        ++end;
    return reply.mid(p, qMin(end - p, kReplyValueMax));
}

ReplyList ReplyValueList(const QByteArray& key, const QByteArray& reply, char separator)
{
    const qsizetype p = valueStart(key, reply);
    return p < 0 ? ReplyList() : ReplyList(splitLine(reply, p, separator, false));
}

ReplyTextList ReplyValueList(const QString& key, const QString& text, QChar separator)
{
    const qsizetype p = valueStart(key, text);
    return p < 0 ? ReplyTextList() : ReplyTextList(splitLine(text, p, separator, false));
}

ReplyList ReplyValueListCompact(const QByteArray& key, const QByteArray& reply, char separator)
{
    const qsizetype p = valueStart(key, reply);
    return p < 0 ? ReplyList() : ReplyList(splitLine(reply, p, separator, true));
}

QByteArray ReplyTableCell(const QByteArray& reply, int column, int row, const QByteArray& header, int shift)
{
    const qsizetype h = reply.indexOf(header);
    if (h < 0)
        return QByteArrayLiteral("ERROR");
    if (column < 0 || row < 0)
        return {};
    const qsizetype headerBegin = h > 0 ? reply.lastIndexOf('\n', h - 1) + 1 : 0;
    const qsizetype offset = columnOffset(reply, headerBegin, lineEnd(reply, headerBegin), column);
    if (offset < 0)
        return {};

    qsizetype lineBegin = h;
    for (int r = 0; r <= row; ++r) {
        const qsizetype lf = reply.indexOf('\n', lineBegin);
        if (lf < 0)
            return {};
        lineBegin = lf + 1;
    }
    const qsizetype cell = lineBegin + offset - shift;
    const qsizetype end = lineEnd(reply, lineBegin);
    if (cell < lineBegin || cell >= end)
        return {};
    qsizetype stop = cell;
    while (stop < end && reply.at(stop) != ' ')
        ++stop;
    return reply.mid(cell, stop - cell);
}

QByteArray& CutReplyMarker(QByteArray& text)
{
    const qsizetype ok = text.indexOf("OK");
    if (ok < 2)
        text.clear();
    else
        text.truncate(ok - 2);
    return text;
}

QByteArray FirstToken(const QByteArray& text)
{
    qsizetype end = 0;
    while (end < text.size() - 1 && text.at(end) != ' ' && text.at(end) != '\r')
        ++end;
    return text.left(end);
}

QString DotTimeToDigits(const QString& text)
{
    int first = 0;
    int second = 0;
    qsizetype p = 0;
    if (scanInt(text, p, first) && p < text.size() && text.at(p) == u'.') {
        ++p;
        scanInt(text, p, second);
    }
    return twoDigits(second) + twoDigits(first);
}

QString SpacesToZeros(const QString& text)
{
    QString out = text;
    out.replace(u' ', u'0');
    return out;
}

bool IsAllDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QString TextOrFallback(const QString& text, const QString& fallback)
{
    return text.isEmpty() ? fallback : text;
}

QByteArray LineOrEmpty(const ReplyList& list, qsizetype index, const QString& itemLine, QString& errors,
                       const QByteArray& defaultValue)
{
    if (index >= 0 && index < list.size())
        return list.at(index);
    errors += itemLine + QLatin1Char('\n');
    return defaultValue;
}

bool ReplyDecimal(const QByteArray& text, qint32& value)
{
    const QByteArray t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok)
        return false;
    value = v;
    return true;
}
