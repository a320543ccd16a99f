#include "online/RecordDownloads.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "online/GatewayClock.h"
#include "platform/ComPort.h"
#include "platform/Cp1250.h"
#include "platform/FileAppend.h"
#include "platform/Wait.h"

#include <QFileInfo>

namespace {

const QByteArray kPageMarker("<SPACE>");
constexpr qsizetype kCallPieceSize = 4096; // the read and the line of the call data load and delete

// The idle clock of a download: restarted by every block of more than two characters.
class IdleClock
{
public:
    IdleClock() : last_(Clock::seconds()) {}
    void restart() { last_ = Clock::seconds(); }
    bool passed() const { return Clock::seconds() - last_ > recordWaits.idleSeconds; }
    // Restarts the clock while a read is still gathering its block, so that a page that takes longer than the
    // idle limit to come in whole does not count as silence.
    ArrivalWatch watch()
    {
        return [this](const QByteArray& soFar) {
            if (soFar.size() > 2)
                restart();
        };
    }

private:
    qint64 last_;
};

// The last characters received, across reads: a read boundary may fall anywhere in the closing "OK" line.
class ReceivedTail
{
public:
    void append(const QByteArray& block)
    {
        tail_ += block;
        if (tail_.size() > kKept)
            tail_.remove(0, tail_.size() - kKept);
    }
    bool endsInOkLine() const { return EndsInOkLine(tail_); }

private:
    static constexpr qsizetype kKept = 8; // "OK" with its line end, and the line end before it
    QByteArray tail_;
};

bool written(const QByteArray& text)
{
    return LinkWrite(CurrentConnection, text) == quint32(text.size());
}

// The replies of the download's commands that its reader is reading (their ids in the queue of what is owed).
QList<quint64> commandsOwed;

// A download's own command: what the link still owes is taken first, and its reply is owed until the download's
// reader has read it to the end: a download broken off leaves the rest to whoever writes next.
bool commandWritten(const QByteArray& command)
{
    quint64 owed = 0;
    const bool sent = WriteCommand(command, {}, &owed) == quint32(command.size());
    commandsOwed.append(owed);
    return sent;
}

// The download has read its commands' replies to the end its dialogue knows (no reply-end line marks it after the
// dialogue steps).
RecordOutcome readToTheEnd()
{
    for (const quint64 id : std::as_const(commandsOwed))
        OwedReplyRead(id);
    commandsOwed.clear();
    return {};
}

bool onTelnet()
{
    return CurrentConnection.LinkType == LinkTelnet;
}

// The header marker: everything before its first occurrence is dropped; before it has come, whole blocks are.
// A read boundary may fall within the marker, so until it has come the end of the text dropped so far is searched
// with each block.
class HeaderMarker
{
public:
    explicit HeaderMarker(QByteArray marker) : marker_(std::move(marker)) {}
    bool before() const { return before_; }
    void apply(QByteArray& block)
    {
        const QByteArray seen = before_ ? held_ + block : block;
        const qsizetype at = seen.indexOf(marker_);
        if (at >= 0) {
            block = seen.mid(at);
            before_ = false;
            held_.clear();
        } else if (before_) {
            held_ = seen.right(marker_.size() - 1);
            block.clear();
        }
    }

private:
    QByteArray marker_;
    QByteArray held_;
    bool before_ = true;
};

// Takes a block of a LOG or statistics download. Only a block of more than two characters restarts the idle
// clock; every block, however short, is searched for the header marker (a slow line may split it anywhere) and
// once the header has come is kept: it may be the rest of a line, the closing "OK" line's among them. False: the
// block comes before the header and is dropped.
bool takeBlock(QByteArray& block, HeaderMarker& header, IdleClock& idle, ReceivedTail& tail)
{
    if (block.size() > 2)
        idle.restart();
    header.apply(block);
    if (header.before())
        return false;
    tail.append(block);
    return true;
}

// The line end after a page marker belongs to the marker: a read boundary may fall between the marker and its
// CR LF, or between the CR and the LF, and what of it a later read brings is dropped there, so that the next
// page starts as it would had the page come in one read.
class MarkerLineEnd
{
public:
    // A page marker has come; after is the text that followed it in the same read.
    void owe(const QByteArray& after)
    {
        const QByteArray lineEnd("\r\n");
        qsizetype n = 0;
        while (n < lineEnd.size() && n < after.size() && after[n] == lineEnd[n])
            ++n;
        // Other text after the marker: the gateway ended its marker without (the rest of) a line end.
        owed_ = n < after.size() ? QByteArray() : lineEnd.mid(n);
    }
    // Drops from the front of block what of the marker's line end is still owed.
    void settle(QByteArray& block)
    {
        while (!owed_.isEmpty() && !block.isEmpty()) {
            if (block[0] != owed_[0]) {
                owed_.clear(); // the gateway sent no (further) line end after its marker
                return;
            }
            block.remove(0, 1);
            owed_.remove(0, 1);
        }
    }

private:
    QByteArray owed_;
};

// A gateway left waiting in its paging takes the CR as the end of the listing; what it still sends is read
// and dropped. True when its login prompt came among it: the session has ended.
bool endPagingAndDrain()
{
    LinkWrite(CurrentConnection, QByteArrayLiteral("\r"));
    return ReadReplyMeetsSessionEnd(4096);
}

RecordOutcome failedWrite()
{
    commandsOwed.clear(); // what the reader left of them stays owed
    return {kCommErrorText, true, false};
}

// The link of CurrentConnection has gone: lost (the telnet connection closed, the port went away, the modem's
// call ended) or its port closed under the download.
bool linkGone()
{
    if (LinkLost())
        return true;
    if (CurrentConnection.LinkType == LinkTelnet)
        return false;
    const ComPort* port = LinkPort(CurrentConnection);
    return !port || !port->isOpen();
}

// A read that brought nothing because the link has gone: every further read would return at once, so a loop
// that reads until a marker or its idle limit ends at once instead of spinning. The read has told the program of
// the loss (linkLostHook); the run reports its failure as a failed write does, and the connection ends after it.
// So does the gateway's login prompt (LinkSessionEnded, judged where the link's text arrives, each piece as the
// continuation of its line, so a record holding the prompt's text within a line ends nothing): its session has
// ended, and no more of the listing comes.
bool readFailedForGood(const QByteArray& block)
{
    return (block.isEmpty() && linkGone()) || LinkSessionEnded();
}

// The run's end once its link has gone: what has come reaches the memo, and the run reports its failure.
RecordOutcome endLost(const RecordMemoAdd& add, const QByteArray& text)
{
    if (!text.isEmpty())
        add(text);
    return failedWrite();
}

enum class SectionEnd { Ok, Idle, Lost };

// One statistics section: the blocks after the header marker up to the terminating "OK" line.
SectionEnd readStatisticsSection(const RecordMemoAdd& add, const QByteArray& marker)
{
    IdleClock idle;
    HeaderMarker header(marker);
    SectionEnd end = SectionEnd::Ok;
    bool done = false;
    QByteArray text;
    ReceivedTail tail;
    while (!done) {
        if (idle.passed() || closingProgram()) {
            end = SectionEnd::Idle;
            done = true;
        }
        QByteArray block = ReadReplyPiece(4096);
        if (readFailedForGood(block)) {
            end = SectionEnd::Lost;
            break;
        }
        if (!takeBlock(block, header, idle, tail))
            continue;
        text += block;
        if (tail.endsInOkLine()) {
            text = CutOkLine(text);
            done = true;
        }
    }
    if (end != SectionEnd::Lost)
        PauseOnLink(recordWaits.sectionPauseMs);
    add(text);
    return end;
}

} // namespace

QList<QByteArray> RecordEntryLines(const QByteArray& entry)
{
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < entry.size(); ++i) {
        const char c = entry[i];
        if (c == '\r' || c == '\n') {
            lines.append(line);
            line.clear();
            if (c == '\r' && i + 1 < entry.size() && entry[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines.append(line);
    return lines;
}

QByteArray SqueezeCallBlanks(QByteArray block)
{
    for (qsizetype i = 0; i < block.size() - 11; ++i) {
        if (block.mid(i, 10) != QByteArray(10, ' '))
            continue;
        qsizetype k = i + 10;
        while (k < block.size() - 11 && block[k] == ' ')
            ++k;
        // The block's last 11 characters are never touched, even when the run reaches into them.
        const qsizetype end = std::min(k, block.size() - 11);
        if (end > i + 2)
            block.remove(i + 2, end - (i + 2));
    }
    return block;
}

QByteArray RecordPageText(const QByteArray& block)
{
    const qsizetype at = block.indexOf(kPageMarker);
    if (at < 0)
        return block;
    return block.left(std::max<qsizetype>(0, at - 1));
}

bool EndsInOkLine(const QByteArray& block)
{
    const qsizetype n = block.size();
    if (n < 4 || block[n - 4] != 'O' || block[n - 3] != 'K')
        return false;
    return n == 4 || block[n - 5] == '\n' || block[n - 5] == '\r';
}

QByteArray CutOkLine(const QByteArray& block)
{
    QByteArray text = block.left(block.size() - 4);
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return text;
}

RecordOutcome RunLogDownload(const RecordMemoAdd& add)
{
    commandsOwed.clear();
    QByteArray scratch;
    QString failed;
    SendCommand(QByteArrayLiteral("\r\n"), scratch, 4096, failed, QString());
    if (closingProgram())
        return failedWrite(); // the window closed meanwhile: the LOG is not asked for
    if (!commandWritten(QByteArrayLiteral("AT&L\r")))
        return failedWrite();

    IdleClock idle;
    HeaderMarker header(QByteArrayLiteral("   date"));
    MarkerLineEnd markerEnd;
    bool inTime = true;
    bool done = false;
    QByteArray text;
    ReceivedTail tail;
    while (!done) {
        if (idle.passed() || closingProgram()) {
            inTime = false;
            done = true;
        }
        if (onTelnet())
            PauseOnLink(recordWaits.logTcpPauseMs);
        QByteArray block = LinkReadTimeout(4096, recordWaits.logReadSeconds);
        if (readFailedForGood(block))
            return endLost(add, text);
        markerEnd.settle(block);
        if (!takeBlock(block, header, idle, tail))
            continue;
        // The page marker may come split over reads: it is looked for in the page's text received so far.
        text += block;
        const qsizetype at = text.indexOf(kPageMarker);
        if (at >= 0) {
            markerEnd.owe(text.mid(at + kPageMarker.size()));
            add(RecordPageText(text));
            text.clear();
            if (!written(QByteArrayLiteral(" ")))
                return failedWrite();
            continue;
        }
        if (tail.endsInOkLine()) {
            add(CutOkLine(text));
            text.clear();
            done = true;
        }
    }
    if (!text.isEmpty())
        add(text);
    if (!inTime) {
        endPagingAndDrain();
        return {kCommErrorText, true, true};
    }
    return readToTheEnd();
}

RecordOutcome RunStatisticsDownload(const RecordMemoAdd& add, const QString& totalTitle, const QString& moduleTitle,
                                    bool* complete)
{
    commandsOwed.clear();
    if (complete)
        *complete = false;
    if (!commandWritten(QByteArrayLiteral("AT&T\r")))
        return failedWrite();
    // Each section's title line is followed by an empty line.
    add("[" + encodeCp1250(totalTitle) + "]");
    add(QByteArray());
    const SectionEnd total = readStatisticsSection(add, QByteArrayLiteral("network"));
    if (total == SectionEnd::Lost)
        return failedWrite();
    if (closingProgram())
        return {62, true, true};

    if (!commandWritten(QByteArrayLiteral("AT&TMOD\r")))
        return failedWrite();
    add("[" + encodeCp1250(moduleTitle) + "]");
    add(QByteArray());
    const SectionEnd modules = readStatisticsSection(add, QByteArrayLiteral("module"));
    if (modules == SectionEnd::Lost)
        return failedWrite();
    if (complete)
        *complete = total == SectionEnd::Ok && modules == SectionEnd::Ok;
    if (modules != SectionEnd::Ok)
        return {62, true, true};
    return readToTheEnd();
}

const char* const kStatisticsResets[5] = {
    "at%tgall=0,0,0,0\r\n", "at%tiall=0,0\r\n",          "at%tball=0,0,0,0\r\n",
    "AT%TGALL=0,0,0,0\r\n", "AT%TALL=1,0,0,0,0,0,0\r\n",
};

RecordOutcome RunStatisticsResets()
{
    for (const char* command : kStatisticsResets) {
        // The whole reply, however long and in however many reads: the verdict is its terminating line.
        const ExchangeResult e = SendWholeCommand(QByteArray(command), 0);
        if (!e.written || !EndsInOkLine(e.reply))
            return failedWrite();
    }
    return {};
}

RecordOutcome RunCallDownload(const RecordMemoAdd& add)
{
    commandsOwed.clear();
    if (!commandWritten(QByteArrayLiteral("AT&C\r")))
        return failedWrite();

    IdleClock idle;
    HeaderMarker header(QByteArrayLiteral("   date"));
    MarkerLineEnd markerEnd;
    bool inTime = true;
    bool done = false;
    QByteArray text;
    ReceivedTail tail;
    bool pageBegun = false; // lines of the page have been added since the last page answer
    while (!done) {
        PauseOnLink(recordWaits.callPauseMs);
        QByteArray block = ReadReplyPiece(4096, idle.watch());
        if (idle.passed() || closingProgram()) {
            inTime = false;
            done = true;
        }
        if (readFailedForGood(block))
            return endLost(add, text);
        // A block of one or two characters does not count for the idle clock, but its text is the gateway's
        // like any other: on a slow line it may be the start or the rest of a line or a marker.
        if (block.size() > 2)
            idle.restart();
        markerEnd.settle(block);
        header.apply(block);
        if (!block.isEmpty()) {
            tail.append(block);
            if (block.size() > 21)
                block = SqueezeCallBlanks(block);
            // The marker may have come split over reads; what of it came before is still in the text.
            text += block;
            const qsizetype at = text.indexOf(kPageMarker);
            if (at >= 0) {
                // An empty page ends the listing; a page marker read apart from its page's text does not, and
                // adds no line of its own once the page's last line has been added.
                if (at == 0 && !pageBegun)
                    done = true;
                if (at > 0 || !pageBegun)
                    add(RecordPageText(text));
                markerEnd.owe(text.mid(at + kPageMarker.size()));
                text.clear();
                pageBegun = false;
                if (!done && !written(QByteArrayLiteral(" ")))
                    return failedWrite();
            } else if (text.endsWith('\n')) {
                add(text);
                text.clear();
                pageBegun = true;
            }
            if (tail.endsInOkLine())
                done = true;
        }
        if (done && endPagingAndDrain())
            return endLost(add, text);
    }
    if (!text.isEmpty())
        add(text);
    if (!inTime)
        return {62, true, true};
    return readToTheEnd();
}

const char* const kCallColumnHeader = "   date     time     type  cause   from/to groups  conn. durat.  aoc-info  gid";

RecordOutcome RunCallLoadDelete(const RecordMemoAdd& add)
{
    commandsOwed.clear();
    if (!commandWritten(QByteArrayLiteral("AT&CR\r")))
        return failedWrite();
    add(kCallColumnHeader);
    add(QByteArray(78, '-'));

    // Each "#" deletes on the gateway the record it last sent, so one goes out only for a record that has come
    // whole: a read ends wherever the line pauses, and the text is read on until it ends in CR LF.
    const QByteArray echo("AT&CR\r\n");
    bool echoSettled = false;
    QByteArray text; // of the piece being read
    bool failed = false;
    bool lost = false;
    // While nothing but the echo has come, the gateway may still be gathering its first record: a read that
    // brings nothing then ends the run only once the idle limit has passed since the echo.
    qint64 echoAt = -1;
    bool recordText = false;
    for (;;) {
        const QByteArray read = LinkRead(kCallPieceSize);
        if (LinkSessionEnded())
            return failedWrite(); // the session has ended: nothing more goes into its login dialogue
        if (read.isEmpty()) {
            if (echoAt >= 0 && !recordText && Clock::seconds() - echoAt <= recordWaits.idleSeconds && !linkGone() &&
                !closingProgram())
                continue;
            // The gateway has nothing more to say; with part of a record in hand, it broke off within it.
            failed = (echoSettled && !text.isEmpty()) || linkGone();
            break;
        }
        if (echoAt < 0)
            echoAt = Clock::seconds();
        text += read;
        if (!echoSettled) {
            if (text.size() < echo.size() && echo.startsWith(text))
                continue;
            if (text.startsWith(echo))
                text.remove(0, echo.size());
            else if (text.startsWith("AT&CR"))
                text.remove(0, 5);
            echoSettled = true;
        }
        // Empty lines hold no record and are not acknowledged.
        while (text.startsWith('\r') || text.startsWith('\n'))
            text.remove(0, 1);
        if (text.isEmpty())
            continue;
        recordText = true;
        if (text == "#" || EndsInOkLine(text))
            break;
        if (!text.endsWith("\r\n")) {
            if (text.size() >= kCallPieceSize - 1) {
                failed = true; // no record is that long
                break;
            }
            continue;
        }
        const QByteArray line = text.chopped(2);
        // The gateway refused the command (or a "#"), or the modem call ended: nothing to acknowledge.
        if (line.trimmed() == "ERROR") {
            failed = true;
            break;
        }
        if (line.trimmed() == "NO CARRIER") {
            lost = true;
            break;
        }
        add(line);
        text.clear();
        if (closingProgram())
            break; // the window is closing: the record is not acknowledged, so the gateway keeps it
        if (!written(QByteArrayLiteral("#")))
            return failedWrite();
        if (onTelnet())
            PauseOnLink(recordWaits.deleteTcpPauseMs);
    }
    if (lost || (failed && linkGone()))
        return failedWrite();
    // A CR LF ends the dialogue on the gateway; it deletes nothing.
    LinkWrite(CurrentConnection, QByteArrayLiteral("\r\n"));
    LinkRead(10);
    if (LinkSessionEnded() || failed)
        return failedWrite();
    return readToTheEnd();
}

QString RecordChooserPreset(const QString& edit)
{
    if (edit.endsWith(QStringLiteral(".txt")) && QFileInfo(edit).suffix() == QStringLiteral("txt"))
        return edit.left(edit.size() - 4);
    return edit;
}

QString RecordChosenName(const QString& chosen)
{
    if (QFileInfo(chosen).suffix().isEmpty())
        return chosen + QStringLiteral(".txt");
    return chosen;
}

bool AppendRecordFile(const QString& path, const QString& gateway, const QString& stamp, const QStringList& lines)
{
    QByteArray out = "\r\n[" + encodeCp1250(gateway) + " : " + encodeCp1250(stamp) + "]\r\n\r\n";
    for (const QString& line : lines)
        out += encodeCp1250(line) + "\r\n";
    // Appended whole or not at all (whatever ends the program: a kill, a full disk, the file-size limit): the
    // file never keeps a header without its records.
    return AppendFileWhole(path, out);
}
