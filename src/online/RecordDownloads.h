#pragma once
// The gateway's text records (its LOG, the statistics, the call data records) read into a memo, apart from
// the widgets: each run writes its commands on the open link of CurrentConnection, reads the blocks the
// gateway sends and hands the text on in memo entries. Connecting, the progress window and the message boxes
// are the page's.
//
// A download ends at the gateway's terminating "OK" line (an "OK" inside a record is text like any other), at
// the idle limit, at a failed write or at a read that fails because the link has gone. The "OK" line, the header
// marker and the page marker are found in the text received so far, so a slow line may split them over reads
// anywhere, with pieces of any size (only the idle clock passes over pieces of one or two characters). The line
// end after a page marker belongs to the marker, whichever read brings it, so the memo holds the lines it would
// hold had every page come in one read. Text that has come is never dropped: whatever is left when the loop
// ends reaches the memo. A download that ended at the idle limit answers a page the gateway may still be
// waiting in with a CR and drains the rest, so the next command's first byte is not taken as a page answer.
#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// The waits of the record runs (tests shorten them).
struct RecordWaits
{
    int idleSeconds = 5;     // the idle limit: whole seconds without a block of more than two characters
    int logTcpPauseMs = 1000; // the LOG download's pause before each read on telnet
    double logReadSeconds = 2.0;
    int callPauseMs = 200;    // the call data download's pause before each read
    int sectionPauseMs = 100; // after each statistics section
    int deleteTcpPauseMs = 20; // after each "#" of the call data load and delete on telnet
};
inline RecordWaits recordWaits;

// How a run ended: the message the page shows (text number, error or information icon) and whether it is the
// closing message (false: a write failed, a reset was not confirmed or the link went, and the run ends with text
// 56 alone, shown while the progress window still stands).
struct RecordOutcome
{
    int text = 61;
    bool error = false;
    bool closing = true;
};

// One entry for the memo: the gateway's bytes (Windows-1250 text), in which CR LF, CR and LF each end a line.
using RecordMemoAdd = std::function<void(const QByteArray&)>;
// The memo lines one entry gives: an empty entry gives one empty line; a line end at the entry's end gives
// no further line.
QList<QByteArray> RecordEntryLines(const QByteArray& entry);

// The blank squeeze of a call data block: every run of ten or more blanks becomes two, except that blanks
// among the block's last 11 characters stay.
QByteArray SqueezeCallBlanks(QByteArray block);
// The text of a block before its page marker "<SPACE>", less the one character just before the marker.
QByteArray RecordPageText(const QByteArray& block);
// True when block ends in the gateway's terminating "OK" line: "OK" and two more characters at its end, at
// the start of a line.
bool EndsInOkLine(const QByteArray& block);
// The block before its terminating "OK" line, without the line end in front of it.
QByteArray CutOkLine(const QByteArray& block);

// "AT&L": the LOG download (an empty line first, then the command).
RecordOutcome RunLogDownload(const RecordMemoAdd& add);
// "AT&T" and "AT&TMOD": the two statistics sections under their titles. complete (when given) becomes true
// when both sections ended at their "OK" lines.
RecordOutcome RunStatisticsDownload(const RecordMemoAdd& add, const QString& totalTitle,
                                    const QString& moduleTitle, bool* complete = nullptr);
// The five counter resets, in this order and case; each reply is read until its "OK" line (across reads, bounded
// by wholeReplyMs). Stops at the first one not answered with "OK".
extern const char* const kStatisticsResets[5];
RecordOutcome RunStatisticsResets();
// "AT&C": the call data download.
RecordOutcome RunCallDownload(const RecordMemoAdd& add);
// "AT&CR": the call data read piece by piece, each piece acknowledged with "#" (the gateway then deletes it),
// under the column header and its rule. A piece is acknowledged only once it has come whole (up to its CR LF).
// The run ends normally at a read that brings nothing (while nothing but the echo has come, only once the idle
// limit has passed since the echo), at an "OK" line or at a lone "#"; it fails with text 56,
// and sends no further "#", when the link goes, a write fails, the gateway answers ERROR or a piece breaks off.
extern const char* const kCallColumnHeader;
RecordOutcome RunCallLoadDelete(const RecordMemoAdd& add);

// The target name the chooser presets: the text without a final ".txt" (exact case); otherwise the text.
QString RecordChooserPreset(const QString& edit);
// The edit's text after a chosen name: ".txt" added when the name has no extension.
QString RecordChosenName(const QString& chosen);
// Appends the header and the memo lines to path in Windows-1250 with CR LF line ends, so that record text holds
// the gateway's bytes again. The block goes in whole or not at all, also when the program is killed meanwhile
// (AppendFileWhole: the old content is neither read nor rewritten). False when the block cannot be written; the
// file is then as it was.
bool AppendRecordFile(const QString& path, const QString& gateway, const QString& stamp, const QStringList& lines);
