#pragma once
// A firmware file as the boot loader takes it: Intel HEX records, one per line.
//
// The upload reads the file in pieces of at most 509 characters, as a line buffer of 510 with its terminator
// would: a line that is longer comes in several pieces. Every piece counts for the progress and for the
// batching of the upload, whether it holds a record or not; pieces that do not begin with ':' (blank lines,
// comments) are dropped. Line ends are read as the text-mode reader of the program's first platform read them:
// CR LF reads as LF.
//
// Nothing is sent to a unit before the whole file has been checked, piece by piece as the upload will read it:
//  - every piece that begins with ':' (the upload sends it as a record) is a well-formed record (hex digits
//    only, the byte count matching the length, the checksum right) that ends its line within the piece, so
//    no record is cut and no piece of a long comment line goes out unchecked;
//  - no line holds a record that does not start in column 1 (its first character after a byte-order mark
//    and blanks is ':'): the upload would drop it, and the flash would miss its data;
//  - the file holds an end-of-file record (type 01) and no record after it: without one the unit never
//    restarts, and a record after it would be written to a unit that has restarted with half an image.
// Record types are not limited otherwise: the unit's loader takes more than the common six.
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

// Checks content (see above) in one pass; pieces, when given, receives the pieces when the file is good.
HexFileCheck CheckHexContent(const QByteArray& content, QList<QByteArray>* pieces = nullptr);

// Reads path and checks it. pieces is filled only when the file is good.
HexFileCheck ReadHexFile(const QString& path, QList<QByteArray>& pieces);
