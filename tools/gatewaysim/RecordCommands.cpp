// The gateway's records and the commands around them:
//   "AT&L"   the LOG, a paged listing: a header line ("   date ...") and its records, a page at a time;
//   "AT&T", "AT&TMOD" the total and per-module statistics (not paged), each under its header line;
//   the five statistics resets ("at%tgall=0,0,0,0", "at%tiall=0,0", "at%tball=0,0,0,0", "AT%TGALL=0,0,0,0",
//            "AT%TALL=1,0,0,0,0,0,0"), each exactly so: they zero the statistics;
//   "AT&C"   the call data records, paged like the LOG; when the lines fill the last page exactly, an empty page
//            ("<SPACE>" alone) follows and the listing waits for its answer;
//   "AT&CR"  the call data records one piece (record) at a time: the echoed command and the first record (the
//            reply delay between them), then each "#" deletes the record just sent and brings the next; after the
//            last one a lone "#";
//   "AT%X80=<user>/<pass>", "AT%X80=/" the login account (2 to 7 letters or digits each, or both empty); the
//            gateway echoes the command line before its reply;
//   "AT!Q"   the buffer state.
// Pages hold Config::pageSize lines (the fixture's "page-size"); each page but the last ends in "<SPACE>".
#include "gatewaysim/PagedListing.h"
#include "gatewaysim/Session.h"

#include <QHash>
#include <QMutex>
#include <QRegularExpression>

namespace gatewaysim {

namespace {

const QByteArray kCrLf("\r\n");
const QByteArray kPageEnd("<SPACE>\r\n");

QList<QByteArray> logLines()
{
    QList<QByteArray> lines{"   date     time     event"};
    for (int i = 1; i <= 45; ++i) {
        const QByteArray stamp = QByteArray("05.12.26 09:") + QByteArray::number(i / 60 + 10) + ':' +
                                 QByteArray::number(i % 60).rightJustified(2, '0');
        lines.append(stamp + "  GSM" + QByteArray::number(i % 4 + 1) +
                     (i == 44 ? QByteArray("  registration OK") : QByteArray("  registered")));
    }
    return lines;
}

QList<QByteArray> callRecords()
{
    // Columns padded with blanks as the gateway pads them: a run of ten in the first record, a run of nine
    // in the second, twelve at the end of the third.
    return {
        "05.12.26 09:00:01 out   16" + QByteArray(10, ' ') + "777123456  1  00:00:05  00:01:10  0  1",
        "05.12.26 09:10:02 in    16" + QByteArray(9, ' ') + "777654321  2  00:00:03  00:00:40  0  1",
        "05.12.26 09:20:03 out   17  777000111  1  00:00:00  00:00:00  ERROR" + QByteArray(12, ' '),
    };
}

const QByteArray kCallHeader("   date     time     type  cause   from/to groups  conn. durat.  aoc-info  gid");

// What each simulated gateway keeps of its records: the call data not yet deleted and whether its statistics
// were zeroed.
struct Records
{
    QList<QByteArray> calls;
    bool statisticsZeroed = false;
};

QMutex recordsMutex;
QHash<quint64, Records>& allRecords()
{
    static QHash<quint64, Records> records;
    return records;
}

template <class F> auto withRecords(Session& session, F f)
{
    QMutexLocker lock(&recordsMutex);
    QHash<quint64, Records>& all = allRecords();
    auto it = all.find(session.state().serial());
    if (it == all.end()) {
        const QList<QByteArray>& configured = session.config().callRecords;
        it = all.insert(session.state().serial(), Records{configured.isEmpty() ? callRecords() : configured});
    }
    return f(*it);
}

// Sends lines a page at a time. Every page but the last ends in the page marker; the last ends in "OK", or,
// when emptyLastPage and the lines fill their pages exactly, is an empty page of the marker alone.
void sendPaged(Session& session, const QList<QByteArray>& lines, bool emptyLastPage)
{
    const int pageSize = std::max(1, session.state().pageSize());
    QList<QByteArray> pages;
    QByteArray page = kCrLf;
    int inPage = 0;
    for (const QByteArray& line : lines) {
        if (inPage == pageSize) {
            pages.append(page + kPageEnd);
            page.clear();
            inPage = 0;
        }
        page += line + kCrLf;
        ++inPage;
    }
    if (emptyLastPage && inPage == pageSize) {
        pages.append(page + kPageEnd);
        pages.append(kPageEnd);
    } else {
        pages.append(page + "OK\r\n");
    }
    session.send(pages.takeFirst());
    if (!pages.isEmpty()) {
        session.handler<PagedListing>(Mode::Paged).setPages(pages);
        session.switchTo(Mode::Paged);
    }
}

QList<QByteArray> statisticsLines(bool zeroed, bool modules)
{
    auto n = [zeroed](int v) { return QByteArray::number(zeroed ? 0 : v).rightJustified(7, ' '); };
    if (!modules)
        return {"network    calls  minutes   failed", "GSM        " + n(152) + n(611) + n(4),
                "ISDN       " + n(87) + n(240) + n(1), "status     OK"};
    QList<QByteArray> lines{"module     calls  minutes   failed"};
    for (int m = 1; m <= 4; ++m)
        lines.append("GSM" + QByteArray::number(m) + "       " + n(30 + m) + n(100 + m) + n(m % 2));
    return lines;
}

const QList<QByteArray> kResets{"%tgall=0,0,0,0", "%tiall=0,0", "%tball=0,0,0,0", "%TGALL=0,0,0,0",
                                "%TALL=1,0,0,0,0,0,0"};

// "AT&CR": one record per piece, each deleted by the "#" that answers it.
class CallDeleteMode : public ModeHandler
{
public:
    void enter(Session& session) override
    {
        deleted_ = 0;
        sendNext(session, true);
    }
    qsizetype take(Session& session, const QByteArray& bytes, qsizetype from) override
    {
        const char c = bytes[from];
        if (session.splitter().isTail(c)) // the LF of the command line
            return ModeHandler::take(session, bytes, from);
        session.logRaw(QByteArray(1, c));
        if (c != '#') {
            // Anything else ends the dialogue; it starts the next command line.
            session.switchTo(Mode::Command);
            return c == '\r' || c == '\n' ? 1 : 0;
        }
        if (sent_) {
            withRecords(session, [](Records& r) {
                if (!r.calls.isEmpty())
                    r.calls.removeFirst();
                return 0;
            });
            ++deleted_;
            const int dropAfter = session.faults().dropAfterDeletes;
            if (dropAfter > 0 && deleted_ == dropAfter) {
                sent_ = false;
                session.sendDrop();
                return 1;
            }
        }
        sendNext(session, false);
        return 1;
    }

private:
    void sendNext(Session& session, bool first)
    {
        const QList<QByteArray> calls = withRecords(session, [](Records& r) { return r.calls; });
        const QByteArray echo = first && !session.config().echo ? QByteArray("AT&CR\r\n") : QByteArray();
        sent_ = !calls.isEmpty();
        if (calls.isEmpty()) {
            session.send(QByteArray("#"));
            return;
        }
        // The reply delay falls between the echo and the first record, where the gateway gathers it.
        session.send(echo);
        session.send(calls.first() + kCrLf, first ? session.faults().replyDelayMs : 0);
    }

    bool sent_ = false;
    int deleted_ = 0; // records this dialogue deleted
};

bool validAccountPart(const QByteArray& s)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z0-9]{2,7}$"));
    return shape.match(QString::fromLatin1(s)).hasMatch();
}

} // namespace

void installRecordCommands(HandlerTable& table)
{
    table.setMode(Mode::CallDelete, [] { return std::make_unique<CallDeleteMode>(); });
    CommandTable& commands = table.commands(Mode::Command);
    commands.add("AT&L", [](Session& session, const QByteArray& body) {
        if (body != "&L")
            return false;
        sendPaged(session, logLines(), false);
        return true;
    });
    commands.add("AT&T, AT&TMOD", [](Session& session, const QByteArray& body) {
        if (body != "&T" && body != "&TMOD")
            return false;
        const bool zeroed = withRecords(session, [](Records& r) { return r.statisticsZeroed; });
        session.sendReply(statisticsLines(zeroed, body == "&TMOD"));
        return true;
    });
    commands.add("the statistics resets", [](Session& session, const QByteArray& body) {
        if (!kResets.contains(body))
            return false;
        withRecords(session, [](Records& r) { return r.statisticsZeroed = true; });
        session.sendReply({});
        return true;
    });
    commands.add("AT&C", [](Session& session, const QByteArray& body) {
        if (body != "&C")
            return false;
        QList<QByteArray> lines{kCallHeader};
        lines += withRecords(session, [](Records& r) { return r.calls; });
        sendPaged(session, lines, true);
        return true;
    });
    commands.add("AT&CR", [](Session& session, const QByteArray& body) {
        if (body != "&CR")
            return false;
        if (withRecords(session, [](Records& r) { return r.calls.isEmpty(); }))
            session.send((session.config().echo ? QByteArray() : QByteArray("AT&CR\r\n")) + "OK\r\n");
        else
            session.switchTo(Mode::CallDelete);
        return true;
    });
    commands.add("AT%X80=<user>/<pass>", [](Session& session, const QByteArray& body) {
        if (!body.startsWith("%X80="))
            return false;
        if (!session.config().echo)
            session.send("AT" + body + kCrLf);
        const QByteArray value = body.mid(5);
        const qsizetype slash = value.indexOf('/');
        const QByteArray user = value.left(slash);
        const QByteArray pass = slash < 0 ? QByteArray() : value.mid(slash + 1);
        if (slash >= 0 && ((user.isEmpty() && pass.isEmpty()) || (validAccountPart(user) && validAccountPart(pass))))
            session.sendReply({});
        else
            session.sendError();
        return true;
    });
    commands.add("AT!Q", [](Session& session, const QByteArray& body) {
        if (body != "!Q")
            return false;
        session.sendReply(
            {"Main loops: 48211", "Max loop: 37 ms", "System stack: 612", "User stack: 1408",
             "Call records: " + QByteArray::number(withRecords(session, [](Records& r) { return r.calls.size(); }))});
        return true;
    });
}

} // namespace gatewaysim
