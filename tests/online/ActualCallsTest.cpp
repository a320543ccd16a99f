// The actual calls page and the CLIP routing table on it, against the simulated gateway over telnet and its
// serial pty: the commands each topic polls, the table as shown, the guard against unanswered polls, one poll
// at a time with a slow gateway, and no timer left running however the page is entered, left or disconnected.
#include "online/LiveToolFixture.h"

#include "link/LiveTools.h"
#include "online/ActualCalls.h"
#include "online/LiveCells.h"
#include "online/ui/ActualCallsPage.h"

#include <QDir>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTimer>

namespace {

// The built-in tables of the simulated gateway as the page shows them: from the first table line to the last
// row, the row holding "OK" included.
const QString kCallsShown = QStringLiteral("cha-layer3  state     gsm  dir  number          time      ack\n"
                                           "B1-1        CONNECT   0    out  +420601234567   00:02:15  OK\n"
                                           "B1-2        ALERTING  1    in   603111222       00:00:04  --\n"
                                           "B2-1        CONNECT   1    out  2001            00:00:41  OK");
const QString kClipShown = QStringLiteral("idx  clip             gsm  ttl    state\n"
                                          "0    +420601234567    0    00:58  OK\n"
                                          "1    603111222        1    00:12  WAIT");

TEST(ActualCallsTables, EachTopicAsksForItsTable)
{
    EXPECT_EQ(ActualTableOf(235)->command, "AT&XC\r\n");
    EXPECT_EQ(ActualTableOf(235)->mark, "cha-layer3");
    EXPECT_EQ(ActualTableOf(705)->command, "AT&AD\r\n");
    EXPECT_EQ(ActualTableOf(705)->mark, "idx");
    EXPECT_FALSE(ActualTableOf(704)) << "the CLIP table's page is known by its title's number";
    EXPECT_FALSE(ActualTableOf(-1));
}

TEST(ActualCallsTables, TheTableRunsFromItsMarkToTheFinalOkLine)
{
    struct Case
    {
        const char* name;
        QByteArray reply;
        std::optional<QByteArray> table;
    };
    const Case cases[] = {
        {"title, table, OK", "\r\nCalls: 1\r\nidx a\r\n0 b\r\nOK\r\n", QByteArray("idx a\r\n0 b")},
        {"a row holding OK", "\r\nidx a\r\n0 b OK\r\n1 c\r\nOK\r\n", QByteArray("idx a\r\n0 b OK\r\n1 c")},
        {"a row that is OK alone", "\r\nidx a\r\nOK\r\n1 c\r\nOK\r\n", QByteArray("idx a\r\nOK\r\n1 c")},
        {"OK before the mark", "\r\nstate OK\r\nidx a\r\n0 b\r\nOK\r\n", QByteArray("idx a\r\n0 b")},
        {"an empty line before OK", "\r\nidx a\r\n0 b\r\n\r\nOK\r\n", QByteArray("idx a\r\n0 b\r\n")},
        {"the header alone", "\r\nidx a\r\nOK\r\n", QByteArray("idx a")},
        {"no mark", "\r\nnothing\r\nOK\r\n", QByteArray()},
        {"the mark only after OK", "\r\nOK\r\nidx a\r\n", QByteArray()},
        {"no OK line", "\r\nidx a\r\n0 b OK\r\n", std::nullopt},
        {"OK not on a line of its own", "\r\nidx a\r\n0 bOK\r\n", std::nullopt},
        {"ERROR", "\r\nERROR\r\n", std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActualTableText(c.reply, "idx"), c.table) << c.name;
}

struct Link
{
    bool telnet;
    const char* model;
};

class ActualCallsTest : public LiveToolTest, public ::testing::WithParamInterface<Link>
{
protected:
    void start(gatewaysim::Config cfg = {})
    {
        cfg.model = QString::fromLatin1(GetParam().model);
        if (GetParam().telnet)
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        // Polls follow each other as fast as the gateway answers; the page's own second is not waited for.
        fMain->tActual->setInterval(20);
    }
    // The lines the gateway hears for a command ending in CR LF: telnet sends the LF once more as CR LF.
    QList<QByteArray> heard(const QByteArray& command) const
    {
        return GetParam().telnet ? QList<QByteArray>{command + "\r\n", "\n"} : QList<QByteArray>{command + "\r\n"};
    }
    int heardCount(const QByteArray& command) const { return int(gateway->receivedLines().count(command + "\r\n")); }
    bool shows(const QString& table, int boundMs = 5000)
    {
        return waitUntil([&] { return fMain->mmActual->toPlainText() == table; }, boundMs);
    }
    // Nothing polls any more and nothing keeps the keep-alive away.
    void expectNoPoll()
    {
        EXPECT_FALSE(fMain->tActual->isActive());
        EXPECT_FALSE(liveTools.anyHoldsLink());
    }
};

TEST_P(ActualCallsTest, EachTopicPollsItsTableAndShowsItWhole)
{
    ASSERT_NO_FATAL_FAILURE(start());
    gateway->clearLog();
    fMain->selectTopic(235);
    EXPECT_EQ(fMain->lbMain->text(), labelText(235));
    EXPECT_EQ(currentTopic, 235);
    EXPECT_FALSE(fMain->pActual->isHidden());
    EXPECT_FALSE(fMain->gb1->isHidden());
    EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
    EXPECT_FALSE(fMain->tbSaveGate->isEnabled());
    EXPECT_FALSE(fMain->mLoad->isEnabled()) << "File > Load and Save follow the tool bar's";
    EXPECT_FALSE(fMain->mSave->isEnabled());
    EXPECT_TRUE(liveTools.anyHoldsLink()) << "the keep-alive stands aside";
    ASSERT_TRUE(shows(kCallsShown)) << qPrintable(fMain->mmActual->toPlainText());
    EXPECT_EQ(gateway->receivedLines().mid(0, GetParam().telnet ? 4 : 2), heard("at") + heard("AT&XC"));

    gateway->clearLog();
    fMain->selectTopic(704);
    EXPECT_EQ(fMain->lbMain->text(), labelText(705));
    EXPECT_EQ(currentTopic, 705);
    EXPECT_FALSE(fMain->pActual->isHidden());
    EXPECT_TRUE(fMain->gb1->isHidden());
    EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
    EXPECT_FALSE(fMain->mLoad->isEnabled());
    EXPECT_FALSE(fMain->mSave->isEnabled());
    ASSERT_TRUE(shows(kClipShown)) << qPrintable(fMain->mmActual->toPlainText());
    EXPECT_EQ(gateway->receivedLines().mid(0, GetParam().telnet ? 4 : 2), heard("at") + heard("AT&AD"));
    EXPECT_EQ(heardCount("AT&XC"), 0) << "the CLIP table's page asks for the CLIP table only";

    fMain->selectTopic(543);
    EXPECT_TRUE(fMain->pActual->isHidden());
    EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
    EXPECT_TRUE(fMain->mLoad->isEnabled());
    EXPECT_TRUE(fMain->mSave->isEnabled());
    expectNoPoll();
}

TEST_P(ActualCallsTest, PollsThatGetNoAnswerGiveUpThePageAtTheGuard)
{
    gatewaysim::Config cfg;
    cfg.faults.actualTablesSilent = true;
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    struct Case
    {
        int topic;
        QByteArray command;
        int polls; // sent before the page is given up
    };
    const Case cases[] = {{704, "AT&AD", 3}, {235, "AT&XC", 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topic);
        gateway->clearLog();
        fMain->selectTopic(c.topic);
        EXPECT_FALSE(fMain->pActual->isHidden());
        ASSERT_TRUE(waitUntil([] { return fMain->pActual->isHidden(); }, 20000));
        EXPECT_EQ(heardCount(c.command), c.polls);
        EXPECT_TRUE(fMain->mmActual->toPlainText().isEmpty());
        expectNoPoll();
    }
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << "given up without a word";
}

TEST_P(ActualCallsTest, EnteringLeavingAndDisconnectingInAnyOrderLeaveNoPollBehind)
{
    ASSERT_NO_FATAL_FAILURE(start());
    enum Step { Calls, Clip, Leave, Disconnect };
    const std::vector<std::vector<Step>> orders = {
        {Calls, Disconnect, Clip, Leave},
        {Clip, Calls, Calls, Leave, Disconnect, Calls, Disconnect},
    };
    for (size_t o = 0; o < orders.size(); ++o) {
        for (size_t s = 0; s < orders[o].size(); ++s) {
            SCOPED_TRACE(testing::Message() << "order " << o << ", step " << s);
            switch (orders[o][s]) {
            case Calls:
            case Clip:
                fMain->selectTopic(orders[o][s] == Calls ? 235 : 704);
                ASSERT_TRUE(CurrentConnection.Connected) << "entering connects";
                EXPECT_FALSE(fMain->pActual->isHidden()) << "one topic's entry shows the page the other one left";
                EXPECT_TRUE(fMain->tActual->isActive());
                EXPECT_TRUE(shows(orders[o][s] == Calls ? kCallsShown : kClipShown));
                break;
            case Leave:
                fMain->selectTopic(505);
                EXPECT_TRUE(fMain->pActual->isHidden());
                expectNoPoll();
                break;
            case Disconnect:
                fMain->mDisconnectClick();
                ASSERT_FALSE(CurrentConnection.Connected);
                expectNoPoll();
                break;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Links, ActualCallsTest, ::testing::Values(Link{true, "MX"}, Link{false, "MY"}),
                         [](const auto& info) { return info.param.telnet ? "TelnetMX" : "SerialPtyMY"; });

// What does not depend on the link, and what only telnet shows: its replies are awaited with the window's
// events running, so a tick can come while a poll waits.
class ActualCallsTelnetTest : public ActualCallsTest
{
};

TEST_P(ActualCallsTelnetTest, TheArrangementsAndTitlesInEveryLanguage)
{
    ASSERT_NO_FATAL_FAILURE(start());
    showMainWindow();
    const QDir pictures(path(QStringLiteral("pages")));
    QDir().mkpath(pictures.path());
    fMain->rb3->setChecked(true);
    QAction* const languages[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    for (int language = 0; language < 4; ++language) {
        SCOPED_TRACE(language);
        languages[language]->trigger();
        const QRadioButton* radios[] = {fMain->rb1, fMain->rb2, fMain->rb3, fMain->rb4};
        for (int i = 0; i < 4; ++i) {
            EXPECT_FALSE(labelText(501 + i).isEmpty());
            EXPECT_EQ(radios[i]->text(), labelText(501 + i));
        }
        EXPECT_TRUE(fMain->rb3->isChecked()) << "the arrangement stays chosen";
        for (int topic : {235, 704}) {
            fMain->selectTopic(topic);
            ASSERT_TRUE(shows(topic == 235 ? kCallsShown : kClipShown));
            EXPECT_EQ(fMain->lbMain->text(), labelText(topic == 235 ? 235 : 705));
            EXPECT_FALSE(fMain->pActual->horizontalScrollBar()->isVisible());
            EXPECT_FALSE(fMain->pActual->verticalScrollBar()->isVisible());
            fMain->grab().save(pictures.filePath(QStringLiteral("actual-%1-%2.png").arg(topic).arg(language)));
        }
    }
}

TEST_P(ActualCallsTelnetTest, AReplySlowerThanTheTimerStartsNoSecondPoll)
{
    gatewaysim::Config cfg;
    cfg.faults.actualTablesDelayMs = 400;
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    // For every "AT&XC" the gateway hears: how many tables the page had shown by then. One poll at a time
    // means the n-th command comes after n - 1 tables.
    QList<int> tablesBeforeCommand;
    int tablesShown = 0;
    QSet<int> seen;
    bool secondTick = false;
    bool leaveWhileWaiting = false;
    int shownWhenLeft = -1;
    // The connections below end with it, before the locals they use: late signals find no handler.
    QObject watcher;
    QObject::connect(fMain->mmActual, &QPlainTextEdit::textChanged, &watcher, [&] {
        if (!fMain->mmActual->toPlainText().isEmpty())
            ++tablesShown;
    });
    QObject::connect(
        gateway.get(), &gatewaysim::Gateway::lineLogged, &watcher,
        [&](int index, const QByteArray& raw) {
            if (seen.contains(index) || !raw.startsWith("AT&XC"))
                return;
            seen.insert(index);
            tablesBeforeCommand << tablesShown;
            // Besides the timer's own ticks: its handler once more while the first poll waits.
            if (!secondTick) {
                secondTick = true;
                QTimer::singleShot(100, &watcher, [] { fMain->tActualTimer(); });
            }
            if (leaveWhileWaiting) {
                leaveWhileWaiting = false;
                shownWhenLeft = tablesShown;
                QTimer::singleShot(50, &watcher, [] { fMain->selectTopic(543); });
            }
        },
        Qt::QueuedConnection);

    fMain->selectTopic(235);
    ASSERT_TRUE(waitUntil([&] { return tablesBeforeCommand.size() >= 3; }, 10000));
    EXPECT_EQ(tablesBeforeCommand.mid(0, 3), (QList<int>{0, 1, 2}));
    EXPECT_EQ(fMain->mmActual->toPlainText(), kCallsShown);

    // Left while a poll waits: the late reply is not shown and nothing polls afterwards.
    leaveWhileWaiting = true;
    ASSERT_TRUE(waitUntil([&] { return shownWhenLeft >= 0 && fMain->pActual->isHidden() && !liveTools.anyHoldsLink(); },
                          10000));
    EXPECT_EQ(tablesShown, shownWhenLeft);
    EXPECT_EQ(fMain->mmActual->toPlainText(), kCallsShown) << "the late reply does not replace the table";

    // Entered again, it polls anew.
    fMain->selectTopic(235);
    EXPECT_TRUE(waitUntil([&] { return tablesShown > shownWhenLeft; }));
}

INSTANTIATE_TEST_SUITE_P(Links, ActualCallsTelnetTest, ::testing::Values(Link{true, "MX"}),
                         [](const auto&) { return "TelnetMX"; });

} // namespace
