#pragma once
// A firmware file as the boot loader takes it: Intel HEX records, one per line.
//
// The upload reads the file in pieces of at most 509 characters, as a line buffer of 510 with its terminator
// would: a line that is longer comes in several pieces. Every piece counts for the progress and for the
// batching of the upload, whether it holds a record or not; pieces that do not begin with ':' (blank lines,
// comments) are dropped. Line ends are read as the text-mode reader of the program's first platform read them:
// CR LF reads as LF.
//
// Nothing is sent to a unit before the whole file has been checked: every line that begins with ':' must be a
// well-formed record (hex digits only, the byte count matching the length, the checksum right) that fits one
// piece, and the file must hold at least one record. A record that does not fit a piece would be cut and its
// tail dropped, which the boot loader would only notice after the flash was erased.
#include <QByteArray>
#include <QList>
#include <QString>

inline constexpr qsizetype kHexPieceSize = 509;

struct HexFileCheck
{
    bool ok = false;
    int line = 0;   // 1-based line of the first fault (0: the file as a whole)
    QString reason; // what is wrong, in a few English words for the port log and the message's detail
};

// The pieces of text as the upload reads them (each with its LF when the piece ended a line). CR LF line ends
// become LF; a CR that ends the text is dropped too.
QList<QByteArray> SplitHexPieces(const QByteArray& content);

// Checks every record line of content (see above).
HexFileCheck CheckHexContent(const QByteArray& content);

// Reads path and checks it. pieces is filled only when the file is good.
HexFileCheck ReadHexFile(const QString& path, QList<QByteArray>& pieces);
