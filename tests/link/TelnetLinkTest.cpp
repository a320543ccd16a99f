// The telnet link against the simulated gateway: replies in pieces, silence, the 15 s cap, a dropped
// connection, and what SendCommand makes of each.
#include "TelnetLinkFixture.h"

#include "link/CommandWrite.h"
#include "link/ExchangeState.h"

#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

TEST(ReplyComplete, Rules)
{
    // A verdict is a whole line of its own, its line end included; what follows it is no part of the reply. A
    // login prompt at a line's start, the modem's "NO CARRIER" and "+++" anywhere but in a value line end it.
    for (const char* text :
         {"\r\nOK\r\n", "\r\nERROR\r\n", "\r\nBUSY\r\n", "S01=1\r\n<SPACE>\r\n", "\r\nMX login: ", "NO CARRIER",
          "ab+++cd", "\r\nOK\r\nS", "OK\n", "\r\nNO CARRIER\r\n", "\r\nI52=+++BRI-DOWN+++\r\n\r\nMY login: "})
        EXPECT_TRUE(ReplyComplete(text)) << text;
    // An "OK" without its line end, or at the end of a value line (a text the user stored), ends nothing; nor
    // does a marker inside a value line, nor a login prompt within a line.
    for (const char* text :
         {"\r\nOK", "\r\nOKAY\r\n", "", "Mx login: ", "\r\nI62=Gateway OK\r\n", "\r\nI62=ERROR\r\n",
          "\r\nI52=+++BRI-DOWN+++\r\n", "\r\nI52=NO CARRIER on BRI\r\n", "I52=MX login: ", "\r\nGSM0: MX login: x\r\n"})
        EXPECT_FALSE(ReplyComplete(text)) << text;
}

// The gateway's login prompt is its session's end only where it begins a line (blanks and CRs before it count as
// the line's start), also in pieces; within a line (a module's echo, a record, a value) it is text.
TEST(SessionEnd, ThePromptBeginsALine)
{
    const std::pair<QList<QByteArray>, bool> rows[] = {
        {{"MX login: "}, true},
        {{"OK\r\nMY login: x"}, true},
        {{"\r\n \r MX login: "}, true},
        {{"GSM0: MX login: x\r\n"}, false},
        {{"\r\nI52=MX login: x"}, false},
        {{"OK\r\nMX lo", "gin: "}, true},
        {{"\r\n ", "M", "X login:"}, true},
        {{"GSM0: MX lo", "gin: x"}, false},
        {{"GSM0: ", "MX login: x"}, false},
    };
    for (const auto& [pieces, ends] : rows) {
        AdvanceLinkEpoch(); // a session not ended, a line begun anew
        for (const QByteArray& piece : pieces)
            LinkTextArrived(piece, LinkEpoch());
        EXPECT_EQ(LinkSessionEnded(), ends) << pieces.join('|').toStdString();
        EXPECT_EQ(HoldsLoginPrompt(pieces.join()), ends) << pieces.join('|').toStdString();
        EXPECT_EQ(AtLoginDialogue("AT\r\n" + pieces.join()), ends) << pieces.join('|').toStdString();
    }
    AdvanceLinkEpoch();
}

// What is kept of a reply's unfinished line across a cut: the rules judge what follows as that line's continuation.
TEST(OwedLine, KeepsWhatTheRulesNeedAcrossACut)
{
    const QByteArray blanks(70, ' ');
    const struct
    {
        QByteArray before, after;
        bool prompt, ends;
    } rows[] = {
        {"I52=", "MX login: x", false, false},
        {blanks, "MX login: ", true, true},
        {blanks + "\r", "OK\r\n", false, true},
        {QByteArray(70, 'x'), "MX login: ", false, false},
        {"\r\n  ", "MX login: ", true, true},
        {QByteArray(70, 'x') + "NO CARR", "IER", false, true},
        {blanks + "O", "K\r\n", false, true},
        {blanks + "ERR", "OR\r\n", false, true},
        {blanks + "MX lo", "gin: ", true, true},
    };
    for (const auto& row : rows) {
        const QByteArray text = OwedLineHead(row.before) + row.after;
        EXPECT_EQ(HoldsLoginPrompt(text), row.prompt) << row.before.size() << row.after.toStdString();
        EXPECT_EQ(ReplyComplete(text), row.ends) << row.before.size() << row.after.toStdString();
    }
}

// The queue of owed replies, fed piece by piece, settles for every cut what the text up to that cut settles read
// whole: a marker that ends a reply within its line leaves the rest of that line to it, and a long run of blanks
// before a verdict keeps the verdict.
TEST(OwedLine, PiecesSettleWhatTheWholeTextSettles)
{
    const QByteArray blanks(70, ' ');
    const QByteArray texts[] = {"+++BRI-DOWN+++\r\nOK\r\n", blanks + "OK\r\n" + blanks + "ERROR\r\nOK\r\n",
                                "NO CARRIER and +++\r\nOK\r\n", "I52=+++BRI-DOWN+++\r\nOK\r\nOK\r\n"};
    const auto settledBy = [](const QList<QByteArray>& pieces, QList<int>* after = nullptr) {
        AdvanceLinkEpoch();
        quint64 ids[3] = {};
        for (quint64& id : ids) {
            OwedReply r;
            r.epoch = LinkEpoch();
            id = exchangestate::oweReply(r);
        }
        const auto count = [&ids] { return int(std::count_if(std::begin(ids), std::end(ids), [](quint64 id) {
                                        return !StillOwed(id);
                                    })); };
        for (const QByteArray& piece : pieces) {
            LinkTextArrived(piece, LinkEpoch());
            if (after)
                after->append(count());
        }
        return count();
    };
    for (const QByteArray& text : texts) {
        const int whole = settledBy({text});
        for (qsizetype cut = 1; cut < text.size(); ++cut) {
            QList<int> after;
            EXPECT_EQ(settledBy({text.first(cut), text.sliced(cut)}, &after), whole) << text.toStdString() << cut;
            EXPECT_EQ(after.first(), settledBy({text.first(cut)})) << text.toStdString() << cut;
        }
    }
    AdvanceLinkEpoch();
}

// A reply whose reader claimed it and is past its bound, cut within its line: the next writer's take reads it from
// where it stands to its own bound, and its rest goes to nobody rather than to the next command's reader.
TEST(OwedLine, AClaimedReplyPastItsReaderIsReadByTheTake)
{
    AdvanceLinkEpoch();
    OwedReply r;
    r.epoch = LinkEpoch();
    r.writtenMs = Clock::milliseconds();
    r.firstByteMs = r.quietMs = 100;
    r.readUntilMs = Clock::milliseconds() - 1000;
    exchangestate::oweReply(r);
    LinkTextArrived("\r\nI52=abc", LinkEpoch());
    const OwedReader worker{[](qint64 ms) {
                                QThread::msleep(ulong(ms));
                                return QByteArray();
                            },
                            [] { return true; }, [](int ms) { QThread::msleep(ulong(ms)); }};
    EXPECT_TRUE(TakeOwedReplies(&worker));
    EXPECT_EQ(LinkTextArrived("def\r\nOK\r\n", LinkEpoch()), QByteArray());
    EXPECT_FALSE(OwedReplyNow().owed);
    EXPECT_EQ(LinkTextArrived("\r\nOK\r\n", LinkEpoch()), "\r\nOK\r\n");
    AdvanceLinkEpoch();
}

TEST_F(TelnetLinkTest, ReplyInPiecesIsCollectedWhole)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    const QByteArray whole = exchange("AT&V0\r\n");
    ASSERT_TRUE(whole.startsWith("\r\nG02=")) << whole.toStdString();
    ASSERT_TRUE(whole.endsWith("OK\r\n"));

    // Pieces that come faster than the wait after an arrival.
    setFaults([](gatewaysim::Faults& f) {
        f.chunkSize = 7;
        f.chunkDelayMs = 20;
    });
    EXPECT_EQ(exchange("AT&V0\r\n"), whole);

    // Pauses longer than that wait but within the LAN time-out: each piece is a step of its own, and a piece
    // ending in "OK" without its line end does not end the reply.
    setFaults([](gatewaysim::Faults& f) {
        f.chunkSize = 2;
        f.chunkDelayMs = 250;
    });
    EXPECT_EQ(exchange("AT\r\n"), "\r\nOK\r\n");
}

// A reply that ends within one arrival is taken as it comes: text that arrives 90 ms later (before a wait of
// 100 ms after each arrival would be over) stays for the next read.
TEST_F(TelnetLinkTest, AReplyEndingInOneArrivalIsTakenAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    QTimer::singleShot(90, Qt::PreciseTimer, [] { StoreTcpReceived("\r\nlater\r\n"); });
    StoreTcpReceived("\r\nOK\r\n");
    EXPECT_EQ(ReadReply(1024), "\r\nOK\r\n");
    WaitPumping(150);
    EXPECT_EQ(CurrentConnection.TcpReceived, "\r\nlater\r\n");
}

TEST_F(TelnetLinkTest, PauseLongerThanLanTimeoutEndsTheReply)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    CurrentConnection.LanTimeout = 0; // the wait ends when the whole-second clock turns
    setFaults([](gatewaysim::Faults& f) {
        f.chunkSize = 2;
        f.chunkDelayMs = 2500;
    });
    EXPECT_EQ(exchange("AT\r\n"), "\r\n");
}

TEST_F(TelnetLinkTest, SendCommandErrorLines)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    CurrentConnection.LanTimeout = 0;
    QStringList shown;
    commandStatusHook = [&](const QString& s) { shown << s; };
    QString failed;
    QByteArray reply;

    EXPECT_TRUE(SendCommand("AT%G05=10\r\n", reply, 1024, failed, QStringLiteral("Delay\n")));
    EXPECT_EQ(reply, "\r\nOK\r\n");
    EXPECT_EQ(gateway->value("G05"), "10");
    EXPECT_EQ(failed, QString());
    EXPECT_EQ(shown, QStringList{QStringLiteral("AT%G05=10\r\n")});

    // A reply without "OK" notes the item once, however often it fails.
    EXPECT_FALSE(SendCommand("AT%G05=abc\r\n", reply, 1024, failed, QStringLiteral("Delay\n")));
    EXPECT_TRUE(reply.contains("ERROR"));
    EXPECT_FALSE(SendCommand("AT%G05=abc\r\n", reply, 1024, failed, QStringLiteral("Delay\n")));
    EXPECT_EQ(failed, QStringLiteral("Delay\n"));

    setFaults([](gatewaysim::Faults& f) { f.noOk = true; });
    EXPECT_FALSE(SendCommand("AT&V0\r\n", reply, 1024, failed, QStringLiteral("Voice\n")));
    EXPECT_TRUE(reply.contains("G02="));
    EXPECT_EQ(SendCommandOk("AT&V0\r\n", reply, 1024), "");
    EXPECT_EQ(failed, QStringLiteral("Delay\nVoice\n"));

    // A silent gateway: the read times out with nothing, the link stays up.
    setFaults([](gatewaysim::Faults& f) { f.silent = true; });
    reply = "stale";
    EXPECT_FALSE(SendCommand("AT%G05=10\r\n", reply, 1024, failed, QStringLiteral("Silent\n")));
    EXPECT_EQ(reply, "");
    EXPECT_TRUE(client->Connected());

    // A write that does not go out appends without looking.
    client->Disconnect();
    EXPECT_FALSE(SendCommand("AT&V0\r\n", reply, 1024, failed, QStringLiteral("Voice\n")));
    EXPECT_FALSE(SendCommand("AT&V0\r\n", reply, 1024, failed, QStringLiteral("Voice\n")));
    EXPECT_EQ(failed, QStringLiteral("Delay\nVoice\nSilent\nVoice\nVoice\n"));
    EXPECT_EQ(SendCommandOk("AT\r\n", reply, 128), "");
    EXPECT_EQ(shown.size(), 7);
}

TEST_F(TelnetLinkTest, TricklingReplyIsCutAfterFifteenSeconds)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    const QByteArray whole = exchange("AT&V0\r\n");
    ASSERT_TRUE(ReplyComplete(whole));

    // One byte every 40 ms, a clock 20 times faster than the wall clock and no LAN time-out in reach: only the
    // cap can end the read.
    CurrentConnection.LanTimeout = 600000;
    setFaults([](gatewaysim::Faults& f) { f.trickleMs = 40; });
    QTimer fastClock;
    QObject::connect(&fastClock, &QTimer::timeout, [] { Clock::advance(2000); });
    fastClock.start(100);
    const QByteArray cut = exchange("AT&V0\r\n");
    fastClock.stop();

    EXPECT_FALSE(cut.isEmpty());
    EXPECT_FALSE(ReplyComplete(cut)) << cut.toStdString();
    EXPECT_TRUE(whole.startsWith(cut)) << cut.toStdString();
}

TEST_F(TelnetLinkTest, DroppedConnection)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    CurrentConnection.LanTimeout = 3000;
    setFaults([](gatewaysim::Faults& f) {
        f.noOk = true;
        f.dropAfterCommands = 1;
    });
    // The listing comes without "OK", then the gateway hangs up: the read ends with what came.
    const QByteArray reply = exchange("AT&V0\r\n");
    EXPECT_TRUE(reply.contains("G02=")) << reply.toStdString();
    EXPECT_FALSE(reply.contains("OK"));
    EXPECT_FALSE(client->Connected());

    EXPECT_EQ(LinkWrite(CurrentConnection, "AT\r\n"), 0u);
    EXPECT_EQ(LinkRead(1024), "");
    EXPECT_EQ(ReadReply(1024), "");
    EXPECT_FALSE(TelnetSendKey('A'));
}

// A piece that comes in the last moments of a read's settling goes with that read, before its flag is due. The
// flag must not wake the next read to nothing: an empty read ends the call data load and delete.
TEST_F(TelnetLinkTest, AReadThatTookAPieceLeavesNoFlagForIt)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    StoreTcpReceived("a");
    ASSERT_TRUE(QTest::qWaitFor([] { return CurrentConnection.TcpDataReceived; }));
    // The read below settles 100 ms after the flag; "b" comes 5 ms before it takes the text.
    QTimer::singleShot(95, Qt::PreciseTimer, [] { StoreTcpReceived("b"); });
    QTimer::singleShot(400, Qt::PreciseTimer, [] { StoreTcpReceived("c"); });
    EXPECT_EQ(LinkRead(64), "ab");
    EXPECT_EQ(LinkRead(64), "c");
}

TEST_F(TelnetLinkTest, ReplyKeepsAtMostSizeMinusOneBytes)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    const QByteArray whole = exchange("AT&V0\r\n");
    ASSERT_GT(whole.size(), 40);
    EXPECT_EQ(exchange("AT&V0\r\n", 33), whole.left(32));
    EXPECT_EQ(exchange("AT\r\n", 1), "");
    // Nothing of the cut reply is left over for the next command.
    EXPECT_EQ(exchange("AT\r\n"), "\r\nOK\r\n");
}

TEST_F(TelnetLinkTest, WritesAndKeys)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());

    // A NUL ends what goes out; the count tells the caller the write fell short.
    EXPECT_EQ(LinkWrite(CurrentConnection, QByteArray("AT\0&V0\r\n", 8)), 2u);
    // The length never reaches past the text.
    EXPECT_EQ(LinkWrite(CurrentConnection, "\r", 50), 1u);
    EXPECT_EQ(ReadReply(1024), "\r\nOK\r\n");
    EXPECT_EQ(gateway->receivedLines(), QList<QByteArray>{"AT\r\n"});

    lastLinkActivity = 0;
    EXPECT_TRUE(TelnetSendKey('A'));
    EXPECT_GE(lastLinkActivity.load(), Clock::seconds() - 1);
    EXPECT_TRUE(TelnetSendKey('T'));
    EXPECT_TRUE(TelnetSendKey('\r'));
    EXPECT_EQ(ReadReply(1024), "\r\nOK\r\n");
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT\r\n", "AT\r\n"}));
}

// The receive text and its flag, without a connection: the data event stores, the reads take.
class TcpReceiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetLinkState();
        CurrentConnection.LinkType = LinkTelnet;
        CurrentConnection.LanTimeout = 0;
    }
    void TearDown() override { resetLinkState(); }
};

TEST_F(TcpReceiveTest, FlagFollowsTheTextAfterAPause)
{
    StoreTcpReceived("abc");
    StoreTcpReceived("");
    EXPECT_EQ(CurrentConnection.TcpReceived, "abc");
    EXPECT_FALSE(CurrentConnection.TcpDataReceived); // set by a timer, not at once
    WaitPumping(50);
    EXPECT_TRUE(CurrentConnection.TcpDataReceived);

    EXPECT_EQ(TakeTcpReceived(), "abc");
    EXPECT_FALSE(CurrentConnection.TcpDataReceived);
    EXPECT_EQ(CurrentConnection.TcpReceived, "abc"); // taking leaves the text; clearing empties it
    ClearTcpReceived();
    EXPECT_EQ(CurrentConnection.TcpReceived, "");

    StoreTcpReceived("late");
    resetLinkState();
    WaitPumping(50);
    EXPECT_FALSE(CurrentConnection.TcpDataReceived) << "a flag pending at a reset must not land in the new record";
}

TEST_F(TcpReceiveTest, ReadKeepsWhatDoesNotFitForTheNextRead)
{
    StoreTcpReceived("0123456789");
    WaitPumping(50);
    lastLinkActivity = 7;
    EXPECT_EQ(LinkRead(5), "0123");
    EXPECT_GE(lastLinkActivity.load(), Clock::seconds() - 1);
    EXPECT_EQ(LinkReadTimeout(64, 0.01), "456789");
    EXPECT_FALSE(CurrentConnection.TcpDataReceived);
    // No client: nothing more can come, the read returns at once with nothing, and stamps nothing.
    lastLinkActivity = 7;
    EXPECT_EQ(LinkRead(64), "");
    EXPECT_EQ(ReadReply(64), "");
    EXPECT_EQ(lastLinkActivity.load(), 7);

    StoreTcpReceived("text");
    WaitPumping(50);
    CurrentConnection.LinkType = LinkSerial;
    EXPECT_EQ(LinkRead(64), "");
    EXPECT_EQ(LinkWrite(CurrentConnection, "AT\r\n"), 0u);
    EXPECT_EQ(CurrentConnection.TcpReceived, "text") << "other link types leave the telnet text alone";
}

} // namespace
