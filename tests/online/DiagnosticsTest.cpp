// Diagnostics: the reply rules and the poll over a scripted link, then the page against the simulated gateway
// over its serial pty, telnet and the modem: the exact commands, what the labels and lists show, the guard
// that gives the page up, and no worker or route left behind.
#include "online/LiveToolFixture.h"
#include "online/SystemInput.h"

#include "link/ExchangeState.h"
#include "link/LiveTools.h"
#include "link/ui/TfAddNumber.h"
#include "link/ui/TfLogin.h"
#include "online/Diagnostics.h"
#include "online/LiveCells.h"
#include "online/ui/DiagPage.h"
#include "texts/TextFormat.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QByteArray kOk = "OK\r\n";

// A gateway reply as the simulator frames it.
QByteArray framed(const QList<QByteArray>& lines)
{
    QByteArray r = "\r\n";
    for (const QByteArray& l : lines)
        r += l + "\r\n";
    return r + kOk;
}

const QList<QByteArray> kModuleLines = {"GSM module 1",    "Layer2: ready",    "Layer3: registered", "Network: SIMNET",
                                        "Netid: 23003",    "Netcell: 1F2A",    "Modid: SIM800",      "Revid: 1418B04",
                                        "Sernum: 8612340", "Simid-1: 89420312"};
const QList<QByteArray> kMtpLines = {
    "Layer1: active", "Layer2: a1 a2  a3 a4 a5 a6 a7 a8", "Tei: t1 t2 t3 t4 t5 t6 t7 t8",    "Layer3: act",
    "Mode: NT/mtp",   "Chan-B1: b1 b2 b3 b4 b5 b6 b7 b8", "Chan-B2: c1 c2 c3 c4 c5 c6 c7 c8"};
const QList<QByteArray> kPtpLines = {"Layer1: on",   "Layer2: up x",  "Tei: 0",       "Layer3: idle",
                                     "Mode: TE/ptp", "Chan-B1: free", "Chan-B2: busy"};

// The texts of one list row, columns 1..8.
QList<QByteArray> rowOf(const QList<DiagCell>& cells, int row)
{
    QList<QByteArray> texts(kDiagBriColumns);
    for (const DiagCell& c : cells)
        if (c.row == row)
            texts[c.column - 1] = c.text;
    return texts;
}

TEST(DiagRules, CommandsAndTheSignalLabel)
{
    EXPECT_EQ(DiagModuleCommand(0), "AT&S00\r\n");
    EXPECT_EQ(DiagModuleCommand(1), "AT&S01\r\n");
    EXPECT_EQ(DiagSignalCommand(1), "AT&Q1\r\n");
    struct Case
    {
        QByteArray reply;
        int module;
        QByteArray shown;
    };
    const Case cases[] = {
        {"\r\nSignal: (g00) -71\r\nOK\r\n", 0, "-71 dBm"},
        {"\r\nSignal: (g00)   -71 x\r\nOK\r\n", 0, "-71 dBm"},
        {"\r\nSignal: (g01) unknown\r\nOK\r\n", 1, ""},
        {"\r\nSignal: (g01) -unknown-\r\nOK\r\n", 1, ""},
        {"\r\nSignal: (g01) -83\r\nOK\r\n", 0, ""},    // another module's key
        {"\r\nSignal: (g00)\r\nOK\r\n", 0, ""},        // no word
        {"\r\nSignal: (g00) -71\r\nERROR\r\n", 0, ""}, // no OK line
        {"Signal: (g00) -71 OK\r\n", 0, ""},           // "OK\r\n" but not on a line of its own
    };
    for (const Case& c : cases)
        EXPECT_EQ(DiagSignalText(c.reply, c.module), c.shown) << c.reply.constData();
    const QList<QByteArray> words = DiagModuleWords(framed(kModuleLines));
    EXPECT_EQ(words, (QList<QByteArray>{"ready", "registered", "SIMNET", "23003", "1F2A", "SIM800", "1418B04",
                                        "8612340", "89420312"}));
    EXPECT_EQ(DiagModuleWords("\r\nLayer2: up\r\nOK\r\n").mid(1), QList<QByteArray>(8)) << "missing keys: empty";
}

TEST(DiagRules, BriCellsByMode)
{
    // Multipoint: eight values per row; a run of blanks closes one item only and stays in front of the next.
    DiagBriFill mtp = DiagBriCells(framed(kMtpLines));
    EXPECT_TRUE(mtp.complete);
    EXPECT_EQ(mtp.cells.first(), (DiagCell{4, 1, "NT/mtp"}));
    EXPECT_EQ(rowOf(mtp.cells, 0), (QList<QByteArray>{"active", "", "", "", "", "", "", ""}));
    EXPECT_EQ(rowOf(mtp.cells, 1), (QList<QByteArray>{"a1", "a2", " a3", "a4", "a5", "a6", "a7", "a8"}));
    EXPECT_EQ(rowOf(mtp.cells, 6), (QList<QByteArray>{"c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8"}));
    EXPECT_EQ(mtp.cells.size(), 3 + 4 * 8);

    // Any other mode: one value, and columns 2..8 are emptied.
    const DiagBriFill ptp = DiagBriCells(framed(kPtpLines));
    EXPECT_TRUE(ptp.complete);
    EXPECT_EQ(ptp.cells.size(), 3 + 4 * 8);
    EXPECT_EQ(rowOf(ptp.cells, 1), (QList<QByteArray>{"up", "", "", "", "", "", "", ""}));
    EXPECT_TRUE(ptp.cells.contains(DiagCell{5, 8, ""}));

    // Multipoint with three TEIs: row 1 whole, row 2 columns 1..3, then nothing more.
    QList<QByteArray> short_ = kMtpLines;
    short_[2] = "Tei: t1 t2 t3";
    const DiagBriFill cut = DiagBriCells(framed(short_));
    EXPECT_FALSE(cut.complete);
    EXPECT_EQ(cut.cells.size(), 3 + 8 + 3);
    EXPECT_EQ(cut.cells.last(), (DiagCell{2, 3, "t3"}));

    // A missing key ends the block where it is read.
    QList<QByteArray> noLayer1 = kMtpLines;
    noLayer1.removeFirst();
    const DiagBriFill none = DiagBriCells(framed(noLayer1));
    EXPECT_FALSE(none.complete);
    EXPECT_EQ(none.cells, (QList<DiagCell>{{4, 1, "NT/mtp"}}));
}

TEST(DiagRules, CollectingKeepsAtMostTheCapAndAnOkBeyondItCountsAsNone)
{
    struct Case
    {
        QList<QByteArray> chunks;
        qsizetype kept;
        bool okKept;
        bool ended;
        int reads;
    };
    const QByteArray big(4000, 'x');
    const Case cases[] = {
        {{"\r\nabc\r\nO", "K\r", "\nrest"}, 15, true, true, 3},               // split over three reads
        {{big, QByteArray(95, 'y'), "\r\nOK\r\n"}, 4095, false, true, 3},     // the OK lies beyond the cap
        {{big, QByteArray(89, 'y') + "\r\nOK\r\nmore"}, 4095, true, true, 2}, // just inside
        {{"\r\nno end\r\n"}, 10, false, false, -1}, // silence afterwards: read until the time is up
    };
    for (const Case& c : cases) {
        Clock::reset();
        int reads = 0;
        const DiagReply r = DiagCollect(
            [&](qint64 msLeft) {
                if (reads < c.chunks.size())
                    return c.chunks[reads++];
                ++reads;
                Clock::advance(msLeft + 1); // nothing comes within the time
                return QByteArray();
            },
            [] { return true; }, Clock::milliseconds(), 5000);
        SCOPED_TRACE(c.chunks.first().left(12).toStdString());
        EXPECT_EQ(r.text.size(), c.kept);
        EXPECT_EQ(r.text.contains("OK\r\n"), c.okKept);
        EXPECT_EQ(r.ended, c.ended);
        if (c.reads > 0) {
            EXPECT_EQ(reads, c.reads);
        }
    }
    Clock::reset();
}

// A link that answers each command from a table; a command without an answer meets silence.
struct ScriptedLink
{
    QMap<QByteArray, QByteArray> answers;
    QList<QByteArray> written;
    QByteArray pending;
    bool shown = true;
    int model = 0;
    int giveUps = 0;
    QMap<int, QList<QByteArray>> modules;
    QMap<int, QList<DiagCell>> lists;

    DiagPollIo io()
    {
        DiagPollIo io;
        io.shown = [this] { return shown; };
        io.giveUp = [this] {
            ++giveUps;
            shown = false;
        };
        io.alive = [] { return true; };
        io.write = [this](const QByteArray& c) {
            written << c;
            pending = answers.value(c);
            return true;
        };
        io.read = [this](qint64 msLeft) {
            if (pending.isEmpty())
                Clock::advance(msLeft + 1);
            return std::exchange(pending, QByteArray());
        };
        io.sleep = [](int) {};
        io.model = [this] { return model; };
        io.showModule = [this](int m, const QList<QByteArray>& w) { modules[m] = w; };
        io.showSignal = [this](int m, const QByteArray& s) { modules[m] << s; };
        io.showBri = [this](int list, const QList<DiagCell>& cells) { lists[list] = cells; };
        io.repaint = [] {};
        return io;
    }
};

ScriptedLink answeringLink()
{
    ScriptedLink link;
    link.answers = {{"AT&S00\r\n", framed(kModuleLines)},
                    {"AT&S01\r\n", framed(kModuleLines)},
                    {"AT&Q0\r\n", framed({"Signal: (g00) -71"})},
                    {"AT&Q1\r\n", framed({"Signal: (g01) unknown"})},
                    {"AT&SPX\r\n", framed(kMtpLines)},
                    {"AT&SEX\r\n", framed(kPtpLines)}};
    return link;
}

TEST(DiagPoll, OrderOfCommandsByModelAndWhatEachPartShows)
{
    struct Case
    {
        int model;
        QList<QByteArray> commands;
    };
    const Case cases[] = {
        {0, {"AT&S00\r\n", "AT&Q0\r\n", "AT&S01\r\n", "AT&Q1\r\n", "AT&SPX\r\n", "AT&SEX\r\n"}},
        {1, {"AT&S00\r\n", "AT&Q0\r\n", "AT&S01\r\n", "AT&Q1\r\n", "AT&SEX\r\n"}},
    };
    for (const Case& c : cases) {
        ScriptedLink link = answeringLink();
        link.model = c.model;
        diagUnfinishedPolls = 2;
        DiagRefresh(link.io());
        EXPECT_EQ(link.written, c.commands) << c.model;
        EXPECT_EQ(diagUnfinishedPolls, 0) << "a complete poll";
        EXPECT_EQ(link.modules[0].last(), "-71 dBm");
        EXPECT_EQ(link.modules[1].last(), "") << "unknown";
        EXPECT_EQ(link.lists.contains(0), c.model == 0);
        EXPECT_EQ(rowOf(link.lists[1], 4).first(), "TE/ptp");
    }
}

TEST(DiagPoll, AShortModuleReplyLeavesThatModuleAndTheRestGoesOn)
{
    ScriptedLink link = answeringLink();
    link.answers["AT&S00\r\n"] = framed({"Layer2: up", "Layer3: idle"}); // under 100 characters
    DiagRefresh(link.io());
    EXPECT_FALSE(link.modules.contains(0));
    EXPECT_TRUE(link.modules.contains(1));
    EXPECT_FALSE(link.written.contains("AT&Q0\r\n")) << "no signal query for a module without diagnostics";
    EXPECT_EQ(link.lists.size(), 2);
    EXPECT_EQ(diagUnfinishedPolls, 0);

    // A multipoint list with fewer TEIs than it needs still ends the poll as complete.
    ScriptedLink cut = answeringLink();
    QList<QByteArray> lines = kMtpLines;
    lines[2] = "Tei: t1 t2 t3";
    cut.answers["AT&SEX\r\n"] = framed(lines);
    diagUnfinishedPolls = 3;
    DiagRefresh(cut.io());
    EXPECT_EQ(cut.lists[1].size(), 3 + 8 + 3);
    EXPECT_EQ(diagUnfinishedPolls, 0);
}

TEST(DiagPoll, FourUnfinishedPollsGiveThePageUpAtTheFifthStart)
{
    struct Case
    {
        QByteArray silentFrom; // the first command that gets no answer
        int writesPerPoll;
    };
    for (const Case& c : {Case{"AT&S00\r\n", 1}, Case{"AT&SEX\r\n", 6}, Case{"AT&SPX\r\n", 5}}) {
        ScriptedLink link = answeringLink();
        link.answers.remove(c.silentFrom);
        diagUnfinishedPolls = 0;
        for (int poll = 1; poll <= 4; ++poll) {
            DiagRefresh(link.io());
            EXPECT_EQ(diagUnfinishedPolls, poll);
            EXPECT_TRUE(link.shown);
        }
        EXPECT_EQ(link.written.size(), 4 * c.writesPerPoll) << c.silentFrom.constData();
        DiagRefresh(link.io());
        EXPECT_EQ(link.giveUps, 1);
        EXPECT_EQ(link.written.size(), 4 * c.writesPerPoll) << "the fifth start writes nothing";
        DiagRefresh(link.io());
        EXPECT_EQ(link.giveUps, 1) << "a hidden page is not polled";
    }
}

// ---- The page against the simulated gateway

class DiagnosticsTest : public LiveToolTest
{
protected:
    void SetUp() override
    {
        LiveToolTest::SetUp();
        diagTimings.replyMs = 300;
        diagTimings.modemPauseMs = 0;
    }

    QString value(int module, int row) const { return fMain->diagValues[module][row]->text(); }
    QStringList row(QTreeWidget* lv, int r) const
    {
        QStringList texts;
        for (int c = 1; c <= kDiagBriColumns; ++c)
            texts << lv->topLevelItem(r)->text(c);
        return texts;
    }
    int count(const QByteArray& line) const { return int(gateway->receivedLines().count(line)); }
    // Counts the worker's polls that reached their end. The worker starts its next poll at once, so the count of
    // unfinished polls is 0 only for a moment: it is read on the worker, right after each poll, not from here.
    // Call it before the topic is chosen (no worker runs).
    static void countCompletePolls()
    {
        completePolls = 0;
        diagWorkerPoll = [poll = diagWorkerPoll](LiveWorker& worker) {
            poll(worker);
            if (diagUnfinishedPolls == 0)
                ++completePolls;
        };
    }
    // Waits until the worker has finished polls reaching AT&SEX this many times.
    bool pollsDone(int polls = 1)
    {
        return waitUntil([&] { return count("AT&SEX\r\n") >= polls && completePolls >= polls; });
    }
    static inline std::atomic<int> completePolls{0};

    // Leaves the topic and checks that nothing of the tool is left.
    void leaveAndCheck(QPointer<LiveWorker> worker)
    {
        fMain->selectTopic(30);
        EXPECT_FALSE(diagThread);
        EXPECT_TRUE(!worker || worker->isFinished());
        EXPECT_FALSE(diagOverTcp);
        EXPECT_FALSE(fMain->tDiag->isActive());
        EXPECT_TRUE(fMain->pDiag->isHidden());
        EXPECT_FALSE(liveTools.anyHoldsLink());
    }

    // Polls that never end: the fifth start gives the page up, and choosing the topic again starts afresh.
    void unfinishedPollsGiveUp(bool telnet, const gatewaysim::Faults& faults)
    {
        gatewaysim::Config cfg;
        cfg.faults = faults;
        if (telnet)
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        countCompletePolls();
        gateway->clearLog();
        fMain->selectTopic(26);
        QPointer<LiveWorker> worker = diagThread.data();
        ASSERT_TRUE(worker);
        ASSERT_TRUE(waitUntil([] { return !diagThread; }, 10000));
        EXPECT_TRUE(waitUntil([&] { return !worker || worker->isFinished(); }));
        EXPECT_TRUE(fMain->pDiag->isHidden());
        EXPECT_EQ(count("AT&S00\r\n"), 4);
        EXPECT_EQ(diagUnfinishedPolls, 5);
        EXPECT_FALSE(diagOverTcp);
        EXPECT_EQ(currentTopic, 26) << "the topic stays chosen";
        EXPECT_TRUE(value(0, 0).isEmpty()) << "no module reply was taken";

        // Choosing it again starts afresh; the gateway answers now.
        gateway->setFaults({});
        completePolls = 0;
        fMain->selectTopic(26);
        EXPECT_FALSE(fMain->pDiag->isHidden());
        ASSERT_TRUE(pollsDone());
        ASSERT_NO_FATAL_FAILURE(leaveAndCheck(diagThread.data()));
    }
};

TEST_F(DiagnosticsTest, OnThePtyTheWorkerFillsModulesAndListsAndLeavingEndsIt)
{
    ASSERT_NO_FATAL_FAILURE(startSerialGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    countCompletePolls();
    gateway->clearLog();
    fMain->lv2->topLevelItem(1)->setText(5, QStringLiteral("old"));
    fMain->selectTopic(26);
    EXPECT_EQ(currentTopic, 26);
    EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
    EXPECT_FALSE(fMain->mLoad->isEnabled()) << "File > Load and Save follow the tool bar's";
    EXPECT_FALSE(fMain->mSave->isEnabled());
    QPointer<LiveWorker> worker = diagThread.data();
    ASSERT_TRUE(worker);
    EXPECT_EQ(worker->priorityLevel(), 1);
    ASSERT_TRUE(pollsDone());
    const QList<QByteArray> first = gateway->receivedLines().mid(0, 7);
    EXPECT_EQ(first, (QList<QByteArray>{"AT\r\n", "AT&S00\r\n", "AT&Q0\r\n", "AT&S01\r\n", "AT&Q1\r\n", "AT&SPX\r\n",
                                        "AT&SEX\r\n"}));
    ASSERT_TRUE(waitUntil([&] { return !value(0, 9).isEmpty() && !fMain->lv2->topLevelItem(6)->text(1).isEmpty(); }));
    EXPECT_EQ(value(0, 0), QStringLiteral("ready"));
    EXPECT_EQ(value(0, 1), QStringLiteral("registered"));
    EXPECT_EQ(value(1, 1), QStringLiteral("searching"));
    EXPECT_EQ(value(0, 8), QStringLiteral("8942031234567890120"));
    EXPECT_EQ(value(0, 9), QStringLiteral("-71 dBm"));
    EXPECT_EQ(value(1, 9), QString()) << "the gateway's unknown";
    EXPECT_EQ(row(fMain->lv1, 1), (QStringList{"up", "up", " down", "down", "down", "down", "down", "down"}));
    EXPECT_EQ(row(fMain->lv1, 2), (QStringList{"64", "65", " -", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(fMain->lv1->topLevelItem(4)->text(1), QStringLiteral("NT/mtp"));
    EXPECT_EQ(row(fMain->lv2, 1), (QStringList{"up", "", "", "", "", "", "", ""})) << "one value; the rest emptied";
    EXPECT_EQ(fMain->lv2->topLevelItem(6)->text(1), QStringLiteral("busy"));
    EXPECT_TRUE(liveTools.anyHoldsLink());

    // Choosing the topic again keeps the one worker.
    fMain->selectTopic(26);
    EXPECT_EQ(diagThread.data(), worker.data());
    ASSERT_NO_FATAL_FAILURE(leaveAndCheck(worker));
    EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
    EXPECT_TRUE(fMain->mLoad->isEnabled());
    EXPECT_TRUE(fMain->mSave->isEnabled());
    const int polls = count("AT&S00\r\n");
    WaitPumping(2 * diagTimings.replyMs);
    EXPECT_EQ(count("AT&S00\r\n"), polls) << "nothing polls after the topic was left";
}

TEST_F(DiagnosticsTest, OverTelnetTheWorkerGetsItsRepliesOnAOnePortGatewayWithoutTheFirstPort)
{
    gatewaysim::Config cfg;
    cfg.model = QStringLiteral("MY");
    cfg.faults.chunkSize = 7;               // replies in many pieces
    cfg.moduleStatus[0] = {"Layer2: down"}; // under 100 characters: no diagnostics in it
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_EQ(gatewayModel, 1);
    EXPECT_TRUE(fMain->gbDiag3->isHidden());
    EXPECT_EQ(fMain->gbDiag4->title(), labelText(890));
    fMain->lv2->topLevelItem(2)->setText(8, QStringLiteral("old"));
    fMain->diagValues[0][0]->setText(QStringLiteral("old"));
    countCompletePolls();
    fMain->selectTopic(26);
    QPointer<LiveWorker> worker = diagThread.data();
    ASSERT_TRUE(worker);
    EXPECT_TRUE(diagOverTcp);
    ASSERT_TRUE(pollsDone(2));
    EXPECT_EQ(count("AT&SPX\r\n"), 0);
    EXPECT_EQ(count("AT&Q0\r\n"), 0);
    EXPECT_EQ(value(0, 0), QStringLiteral("old"));
    EXPECT_EQ(value(1, 4), QStringLiteral("0C17"));
    EXPECT_EQ(value(1, 9), QString());
    EXPECT_EQ(fMain->lv2->topLevelItem(4)->text(1), QStringLiteral("TE/ptp"));
    EXPECT_EQ(row(fMain->lv2, 2), (QStringList{"0", "", "", "", "", "", "", ""}));
    EXPECT_TRUE(fMain->lv1->topLevelItem(4)->text(1).isEmpty());

    // Disconnect while it polls: the worker ends, the route is off, the page stays.
    fMain->mDisconnectClick();
    EXPECT_FALSE(diagThread);
    EXPECT_TRUE(!worker || worker->isFinished());
    EXPECT_FALSE(diagOverTcp);
    EXPECT_FALSE(liveTools.anyRoute());
    fMain->selectTopic(30);
    EXPECT_TRUE(fMain->pDiag->isHidden());
}

TEST_F(DiagnosticsTest, RepliesWhoseOkLiesBeyondTheCapHideThePageAtTheFifthPollStartOnThePty)
{
    gatewaysim::Faults f;
    f.oversizeBytes = 5000;
    ASSERT_NO_FATAL_FAILURE(unfinishedPollsGiveUp(false, f));
}

TEST_F(DiagnosticsTest, ASilentGatewayHidesThePageAtTheFifthPollStartOverTelnet)
{
    gatewaysim::Faults f;
    f.diagSilent = true;
    ASSERT_NO_FATAL_FAILURE(unfinishedPollsGiveUp(true, f));
}

TEST_F(DiagnosticsTest, OnTheModemLineTheTimerPollsOnTheWindowsThread)
{
    gatewaysim::Config cfg;
    cfg.modemGuardMs = 500;
    ASSERT_NO_FATAL_FAILURE(startModemGateway(cfg));
    dialogs().onModal([](QDialog* d) {
        static_cast<TfAddNumber*>(d)->ed1->setText(QStringLiteral("5551234"));
        static_cast<TfAddNumber*>(d)->sbOkClick();
    });
    dialogs().onModal([](QDialog* d) {
        auto* login = static_cast<TfLogin*>(d);
        login->edUser->setText(QStringLiteral("admin"));
        login->edPassword->setText(QStringLiteral("admin"));
        login->accept();
    });
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_NO_FATAL_FAILURE(showMainWindow());
    fMain->selectTopic(34);
    gateway->clearLog();
    diagTimings.modemIntervalMs = 60000;
    diagTimings.replyMs = DiagTimings{}.replyMs; // the program's own: the answers below come 300 ms late
    gatewaysim::Faults late;
    late.replyDelayMs = 300;
    gateway->setFaults(late);
    // Clicked in the tree: the entry runs one poll before it returns, and meanwhile the tree names the
    // diagnostics, whose page is on show.
    QTreeWidgetItem* const node = fMain->topicNodeOf(26);
    QList<QTreeWidgetItem*> named; // the highlighted and the current node while the poll waited
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (named.isEmpty() && count("AT&S01\r\n") == 1)
            named = fMain->tvTopic->selectedItems() << fMain->tvTopic->currentItem();
    });
    watch.start(5);
    fMain->tvTopic->scrollToItem(node);
    systemInput::click(fMain->tvTopic->viewport(), fMain->tvTopic->visualItemRect(node).center());
    ASSERT_TRUE(waitUntil([&] { return count("AT&SEX\r\n") == 1 && !LinkInputHeld(); }, 30000))
        << received().toStdString();
    EXPECT_EQ(named, (QList<QTreeWidgetItem*>{node, node}));
    gateway->setFaults({});
    diagTimings.replyMs = 300;
    EXPECT_FALSE(diagThread);
    EXPECT_TRUE(fMain->tDiag->isActive());
    EXPECT_EQ(fMain->tDiag->interval(), 60000);
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT\r\n", "AT&S00\r\n", "AT&Q0\r\n", "AT&S01\r\n",
                                                           "AT&Q1\r\n", "AT&SPX\r\n", "AT&SEX\r\n"}));
    EXPECT_EQ(diagUnfinishedPolls, 0);
    EXPECT_EQ(value(1, 2), QStringLiteral("SIMNET"));
    EXPECT_EQ(fMain->lv1->topLevelItem(6)->text(4), QStringLiteral(" idle"));

    // Left and chosen again while a poll waits for a reply: that poll goes on alone (no probe, no second
    // poll) and the timer runs again.
    gateway->clearLog();
    gateway->setFaults([] {
        gatewaysim::Faults f;
        f.replyDelayMs = 150;
        return f;
    }());
    bool switched = false;
    QTimer::singleShot(20, fMain, [&switched] {
        fMain->selectTopic(30);
        fMain->selectTopic(26);
        switched = true;
    });
    fMain->tDiagTimer();
    ASSERT_TRUE(switched) << "within the poll";
    EXPECT_TRUE(fMain->tDiag->isActive());
    EXPECT_FALSE(fMain->pDiag->isHidden());
    EXPECT_EQ(count("AT\r\n"), 0);
    EXPECT_EQ(count("AT&S00\r\n"), 1);

    // A silent gateway: each tick is a poll that does not finish; the fifth gives the page up.
    gateway->setFaults([] {
        gatewaysim::Faults f;
        f.diagSilent = true;
        return f;
    }());
    for (int tick = 1; tick <= 5; ++tick)
        fMain->tDiagTimer();
    EXPECT_TRUE(fMain->pDiag->isHidden());
    EXPECT_FALSE(fMain->tDiag->isActive());
    EXPECT_EQ(count("AT&S00\r\n"), 1 + 4);
    ASSERT_NO_FATAL_FAILURE(leaveAndCheck(nullptr));
}

TEST_F(DiagnosticsTest, CaptionsInEveryLanguageAndModel)
{
    startProgram({});
    QAction* const languages[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    for (int language = 0; language < 4; ++language) {
        for (int model : {0, 1, 0}) {
            SCOPED_TRACE(QStringLiteral("language %1 model %2").arg(language).arg(model).toStdString());
            gatewayModel = model;
            fMain->setModelLayout(model);
            languages[language]->trigger();
            const QString bri2 = model == 0 ? formatTextInt(labelText(747), 2) : labelText(890);
            EXPECT_FALSE(labelText(747).isEmpty());
            EXPECT_EQ(fMain->gbDiag4->title(), bri2);
            EXPECT_EQ(fMain->gbDiag3->isHidden(), model == 1);
            if (model == 0) {
                EXPECT_EQ(fMain->gbDiag3->title(), formatTextInt(labelText(747), 1));
            }
            EXPECT_EQ(fMain->gbDiag2->title(), formatTextInt(labelText(746), 2));
            EXPECT_NE(fMain->gbDiag2->title(), labelText(746)) << "the number is in";
            for (QTreeWidget* lv : {fMain->lv1, fMain->lv2}) {
                EXPECT_EQ(lv->topLevelItem(1)->text(0), fMain->findChild<QLabel*>(QStringLiteral("l11"))->text());
                EXPECT_EQ(lv->topLevelItem(3)->text(0), fMain->findChild<QLabel*>(QStringLiteral("l21"))->text());
                EXPECT_EQ(lv->topLevelItem(2)->text(0), QStringLiteral("TEI :"));
                EXPECT_EQ(lv->topLevelItem(6)->text(0), labelText(749) + QStringLiteral("2 :"));
            }
            EXPECT_EQ(fMain->findChild<QLabel*>(QStringLiteral("l102"))->text(), labelText(535));
        }
    }
}

} // namespace
