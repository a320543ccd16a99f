#include "firmware/HexFile.h"

#include <QFile>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

HexFileCheck fault(int line, const char* reason)
{
    return HexFileCheck{false, line, QString::fromLatin1(reason)};
}

// Drops the CR of every CR LF, and a CR that ends the text, as the text-mode reads did.
QByteArray textMode(const QByteArray& content)
{
    QByteArray out;
    out.reserve(content.size());
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' && (i + 1 == content.size() || content[i + 1] == '\n'))
            continue;
        out += c;
    }
    return out;
}

} // namespace

QList<QByteArray> SplitHexPieces(const QByteArray& content)
{
    const QByteArray text = textMode(content);
    QList<QByteArray> pieces;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype lf = text.indexOf('\n', at);
        const qsizetype lineEnd = lf < 0 ? text.size() : lf + 1;
        const qsizetype take = qMin(lineEnd - at, kHexPieceSize);
        pieces.append(text.mid(at, take));
        at += take;
    }
    return pieces;
}

HexFileCheck CheckHexContent(const QByteArray& content)
{
    const QByteArray text = textMode(content);
    int records = 0;
    int lineNo = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        ++lineNo;
        qsizetype lf = text.indexOf('\n', at);
        if (lf < 0)
            lf = text.size();
        const QByteArray line = text.mid(at, lf - at);
        at = lf + 1;
        if (!line.startsWith(':'))
            continue;
        ++records;
        // The record and its LF must come in one piece, or the piece ends right after the record.
        if (line.size() > kHexPieceSize)
            return fault(lineNo, "record too long");
        if (line.size() < 11 || (line.size() - 1) % 2 != 0)
            return fault(lineNo, "record too short or of odd length");
        int sum = 0;
        QList<int> bytes;
        for (qsizetype i = 1; i < line.size(); i += 2) {
            const int hi = hexValue(line[i]);
            const int lo = hexValue(line[i + 1]);
            if (hi < 0 || lo < 0)
                return fault(lineNo, "not a hex digit");
            bytes.append(hi * 16 + lo);
            sum += hi * 16 + lo;
        }
        if (bytes.size() != bytes[0] + 5)
            return fault(lineNo, "byte count does not match the length");
        if ((sum & 0xFF) != 0)
            return fault(lineNo, "bad checksum");
    }
    if (records == 0)
        return fault(0, "no record");
    return HexFileCheck{true, 0, QString()};
}

HexFileCheck ReadHexFile(const QString& path, QList<QByteArray>& pieces)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fault(0, "cannot be read");
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fault(0, "cannot be read");
    HexFileCheck check = CheckHexContent(content);
    if (check.ok)
        pieces = SplitHexPieces(content);
    return check;
}
