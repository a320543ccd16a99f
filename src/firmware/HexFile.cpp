#include "firmware/HexFile.h"

#include <QFile>

#include <array>
#include <cstring>

namespace {

constexpr std::array<signed char, 256> kHexDigits = [] {
    std::array<signed char, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int c = '0'; c <= '9'; ++c)
        t[size_t(c)] = static_cast<signed char>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        t[size_t(c)] = static_cast<signed char>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        t[size_t(c)] = static_cast<signed char>(c - 'a' + 10);
    return t;
}();

HexFileCheck fault(int line, const char* reason)
{
    return HexFileCheck{false, line, QString::fromLatin1(reason)};
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// One line of the file as the text-mode reader gives it: its characters without the LF (the CR of a CR LF, or
// a CR that ends the text, left out) and whether an LF ends it.
struct TextLine
{
    const char* text;
    qsizetype length;
    bool hasLf;
    qsizetype total() const { return length + (hasLf ? 1 : 0); }
};

// Walks content once, line by line: line(number, TextLine) for each line, then piece(TextLine, offset, size)
// for each piece the upload reads of it. Either may stop the walk by returning a fault.
template <class OnLine, class OnPiece>
HexFileCheck walkPieces(const QByteArray& content, int& lines, OnLine line, OnPiece piece)
{
    const char* const data = content.constData();
    const qsizetype size = content.size();
    lines = 0;
    qsizetype at = 0;
    while (at < size) {
        ++lines;
        const auto* lf = static_cast<const char*>(std::memchr(data + at, '\n', size_t(size - at)));
        const qsizetype end = lf ? lf - data : size;
        qsizetype textEnd = end;
        if (textEnd > at && data[textEnd - 1] == '\r')
            --textEnd;
        const TextLine text{data + at, textEnd - at, lf != nullptr};
        if (HexFileCheck c = line(lines, text); !c.reason.isEmpty())
            return c;
        for (qsizetype off = 0; off < text.total(); off += kHexPieceSize) {
            if (HexFileCheck c = piece(lines, text, off, qMin(kHexPieceSize, text.total() - off)); !c.reason.isEmpty())
                return c;
        }
        at = lf ? end + 1 : size;
    }
    return HexFileCheck{true, 0, QString()};
}

QByteArray pieceBytes(const TextLine& line, qsizetype off, qsizetype n)
{
    QByteArray p(n, Qt::Uninitialized);
    const qsizetype chars = qMin(n, line.length - off);
    std::memcpy(p.data(), line.text + off, size_t(chars));
    if (chars < n)
        p[chars] = '\n';
    return p;
}

// The record's own rules: hex digit pairs after the ':', the byte count matching the length, the checksum.
// type receives the record type.
const char* recordFault(const char* r, qsizetype length, int& type)
{
    if (length < 11 || (length - 1) % 2 != 0)
        return "record too short or of odd length";
    unsigned sum = 0;
    int count = -1;
    for (qsizetype i = 1; i < length; i += 2) {
        const int hi = kHexDigits[static_cast<unsigned char>(r[i])];
        const int lo = kHexDigits[static_cast<unsigned char>(r[i + 1])];
        if ((hi | lo) < 0)
            return "not a hex digit";
        const int byte = hi * 16 + lo;
        if (i == 1)
            count = byte;
        else if (i == 7)
            type = byte;
        sum += unsigned(byte);
    }
    if (length != 1 + 2 * (count + 5))
        return "byte count does not match the length";
    if ((sum & 0xFF) != 0)
        return "bad checksum";
    return nullptr;
}

} // namespace

QList<QByteArray> SplitHexPieces(const QByteArray& content)
{
    QList<QByteArray> pieces;
    int lines = 0;
    walkPieces(
        content, lines, [](int, const TextLine&) { return HexFileCheck{}; },
        [&pieces](int, const TextLine& line, qsizetype off, qsizetype n) {
            pieces.append(pieceBytes(line, off, n));
            return HexFileCheck{};
        });
    return pieces;
}

HexFileCheck CheckHexContent(const QByteArray& content, QList<QByteArray>* pieces)
{
    if (pieces)
        pieces->clear();
    int records = 0;
    int endLine = 0; // the line of the end-of-file record
    int lines = 0;
    const auto onLine = [](int number, const TextLine& line) {
        // A line that only looks like a comment: the upload drops it, and a record with it.
        if (line.length == 0 || line.text[0] == ':')
            return HexFileCheck{};
        qsizetype i = line.length >= 3 && std::memcmp(line.text, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
        while (i < line.length && isBlank(line.text[i]))
            ++i;
        if (i < line.length && line.text[i] == ':')
            return fault(number, "record not in column 1");
        return HexFileCheck{};
    };
    const auto onPiece = [&](int number, const TextLine& line, qsizetype off, qsizetype n) {
        if (off < line.length && line.text[off] == ':') {
            // The upload sends this piece as a record: it must be one, whole, and come before the end.
            if (endLine > 0)
                return fault(number, "record after the end-of-file record");
            if (line.length - off > kHexPieceSize)
                return fault(number, "record too long");
            int type = -1;
            if (const char* why = recordFault(line.text + off, line.length - off, type))
                return fault(number, why);
            ++records;
            if (type == 0x01)
                endLine = number;
        }
        if (pieces)
            pieces->append(pieceBytes(line, off, n));
        return HexFileCheck{};
    };
    HexFileCheck check = walkPieces(content, lines, onLine, onPiece);
    if (check.ok && records == 0)
        check = fault(0, "no record");
    else if (check.ok && endLine == 0)
        check = fault(lines, "no end-of-file record");
    if (!check.ok && pieces)
        pieces->clear();
    return check;
}

HexFileCheck ReadHexFile(const QString& path, QList<QByteArray>& pieces)
{
    pieces.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fault(0, "cannot be read");
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fault(0, "cannot be read");
    return CheckHexContent(content, &pieces);
}
