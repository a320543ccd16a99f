// One exchange at a time, each answer read whole by its own exchange: late and silent gateways on every link,
// clicks and timer ticks that come while an exchange waits, and the user's Disconnect during a wait.
#include "LiveToolFixture.h"
#include "SystemInput.h"

#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/GatewayClock.h"
#include "online/LiveCells.h"
#include "online/OnlineQueries.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"

#include <QCheckBox>

#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QTreeWidget>

namespace {

bool noBox(const QStringList& boxes)
{
    return boxes.isEmpty();
}

// An operation against a gateway whose answers start late, and what it must show when each answer is read by
// its own exchange.
struct LateRow
{
    const char* name;
    int delayMs;
    std::function<void(class LateSerialTest&)> run;
};

void PrintTo(const LateRow& row, std::ostream* os)
{
    *os << row.name << " " << row.delayMs;
}

class LateSerialTest : public LiveToolTest, public ::testing::WithParamInterface<LateRow>
{
public:
    using LiveToolTest::dialogs;
    using LiveToolTest::waitUntil;
    QString folder() const { return programFolder(); }
    gatewaysim::Gateway& sim() { return *gateway; }
};

TEST_P(LateSerialTest, EachAnswerIsItsOwnExchanges)
{
    ASSERT_NO_FATAL_FAILURE(connectLate(Link::Serial, GetParam().delayMs));
    GetParam().run(*this);
}

void diagnostics(LateSerialTest&)
{
    fMain->selectTopic(26);
    auto value = [](int module, int row) { return fMain->diagValues[module][row]->text(); };
    ASSERT_TRUE(LateSerialTest::waitUntil(
        [&] { return !value(0, 8).isEmpty() && !fMain->lv2->topLevelItem(6)->text(1).isEmpty(); }, 40000));
    EXPECT_EQ(value(0, 0), QStringLiteral("ready"));
    EXPECT_EQ(value(1, 1), QStringLiteral("searching"));
    EXPECT_EQ(value(0, 8), QStringLiteral("8942031234567890120"));
    EXPECT_EQ(fMain->lv1->topLevelItem(4)->text(1), QStringLiteral("NT/mtp"));
    EXPECT_EQ(fMain->lv2->topLevelItem(6)->text(1), QStringLiteral("busy"));
    fMain->selectTopic(18);
}

void testCallDial(LateSerialTest& test)
{
    fMain->selectTopic(548);
    fMain->edFile->setText(test.folder() + QStringLiteral("/calls-log.txt"));
    fMain->edNumber1->setText(QStringLiteral("123"));
    fMain->rbViaGsm->setChecked(true);
    fMain->seViaGsm->setValue(1);
    fMain->sbDial->click();
    ASSERT_TRUE(LateSerialTest::waitUntil([&] { return test.sim().receivedLines().contains("AT!D\r"); }, 15000));
    // The hang-up follows the call's own answer, not the late "OK" of the page's probe.
    EXPECT_TRUE(fMain->mmTest->toPlainText().startsWith(QStringLiteral("CALL !SG1=123\nOK")))
        << qPrintable(fMain->mmTest->toPlainText());
    fMain->sbStop->click();
}

void portModesThenBuffer(LateSerialTest& test)
{
    LoadErrors.clear();
    registeredPage(PageId::PortModes)->loadClick();
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    test.dialogs().clearRecords();
    fMain->selectTopic(494);
    EXPECT_EQ(fMain->lbBuffer1->text(), QStringLiteral("48211"));
    EXPECT_EQ(fMain->lbBuffer5->text(), QStringLiteral("3"));
    EXPECT_TRUE(noBox(test.dialogs().boxTexts())) << qPrintable(test.dialogs().boxTexts().join('|'));
}

void actualCallsThenClock(LateSerialTest& test)
{
    fMain->selectTopic(235);
    const qsizetype polls = test.sim().receivedLines().size();
    ASSERT_TRUE(LateSerialTest::waitUntil([&] { return test.sim().receivedLines().size() >= polls + 2; }, 15000));
    fMain->selectTopic(18);
    fMain->cbSynDateTime->setChecked(true);
    fMain->cbSynDateTime->setChecked(false);
    EXPECT_EQ(fMain->eDate->text(), QStringLiteral("05.12.2026"));
    EXPECT_EQ(fMain->eTime->text(), QStringLiteral("09:05:07"));
    EXPECT_TRUE(noBox(test.dialogs().boxTexts())) << qPrintable(test.dialogs().boxTexts().join('|'));
}

void wholeLoad(LateSerialTest& test)
{
    test.sim().setValue("R00", "2,08:00/16:00,12,30");
    fMain->tbLoadGateClick();
    EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(kTextLoadDone)});
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    ASSERT_EQ(fMain->lvLcr->topLevelItemCount(), 1);
    EXPECT_EQ(fMain->lvLcr->topLevelItem(0)->text(1), QStringLiteral("08:00/16:00"));
}

const LateRow kLateRows[] = {
    {"Diagnostics", 400, diagnostics},
    {"Diagnostics", 1500, diagnostics},
    {"TestCallDial", 400, testCallDial},
    {"TestCallDial", 1500, testCallDial},
    {"PortModesThenBuffer", 400, portModesThenBuffer},
    {"PortModesThenBuffer", 1500, portModesThenBuffer},
    {"ActualCallsThenClock", 400, actualCallsThenClock},
    {"ActualCallsThenClock", 1500, actualCallsThenClock},
    {"WholeLoad", 400, wholeLoad},
};

INSTANTIATE_TEST_SUITE_P(Rows, LateSerialTest, ::testing::ValuesIn(kLateRows), [](const auto& info) {
    return std::string(info.param.name) + std::to_string(info.param.delayMs);
});

// A gateway that answers nothing after the login: the whole load or save notices it at its first command and
// ends with its one box, on every link with the program's own waits.
struct SilentRow
{
    Link link;
    bool save;
};

void PrintTo(const SilentRow& row, std::ostream* os)
{
    *os << int(row.link) << (row.save ? " save" : " load");
}

class SilentGatewayTest : public LiveToolTest, public ::testing::WithParamInterface<SilentRow>
{
};

TEST_P(SilentGatewayTest, AWholeRunEndsSoonWithOneBox)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam().link, gatewaysim::Config()));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    modemReplyWaitMs = kModemWaits[0];
    modemIdentWaitMs = kModemWaits[2];
    gatewaysim::Faults silent;
    silent.silent = true;
    gateway->setFaults(silent);
    dialogs().clearRecords();
    QElapsedTimer clock;
    clock.start();
    if (GetParam().save)
        fMain->tbSaveGateClick();
    else
        fMain->tbLoadGateClick();
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
    EXPECT_FALSE(LoadErrors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rows, SilentGatewayTest,
                         ::testing::Values(SilentRow{Link::Telnet, false}, SilentRow{Link::Telnet, true},
                                           SilentRow{Link::Serial, false}, SilentRow{Link::Serial, true},
                                           SilentRow{Link::Modem, false}, SilentRow{Link::Modem, true}),
                         [](const auto& info) {
                             return std::string(linkName(info.param.link)) + (info.param.save ? "Save" : "Load");
                         });

class OneExchangeTest : public LiveToolTest, public ::testing::WithParamInterface<Link>
{
protected:
    void startSlow(Link link)
    {
        ASSERT_NO_FATAL_FAILURE(connectLate(link, 1500));
    }
    QWidget* disconnectButton() const { return fMain->tbMain->widgetForAction(fMain->tbDisconnect); }
};

// While the monitor waits for its late answer, a click on its Send button and a keep-alive's turn send nothing:
// the monitor shows its own answer, and the click, held meanwhile, sends its command once the answer is in.
TEST_P(OneExchangeTest, NothingElseIsSentWhileAnAnswerIsAwaited)
{
    ASSERT_NO_FATAL_FAILURE(startSlow(GetParam()));
    ASSERT_NO_FATAL_FAILURE(showMainWindow());
    fMain->selectTopic(543);
    fMain->ed1->setValue(0);
    QTimer::singleShot(500, [] { systemInput::click(fMain->sbSend); });
    QTimer::singleShot(700, [] {
        lastLinkActivity.store(Clock::seconds() - 100); // the keep-alive's turn has come
        fMain->tLoginTimerTimer();
    });
    fMain->sbSendClick();
    EXPECT_EQ(received().count("AT"), 1) << received().toStdString();
    EXPECT_TRUE(received().startsWith(MonitorCommand(0)));
    EXPECT_EQ(fMain->mMonitor->toPlainText().toStdString(),
              "\nGSM0 monitor\nOperator: SIMNET  Cell: 1F2A  LAC: 0B11\nSignal: -71 dBm  BER: 0\nOK\n");
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
    // The held click, delivered once the answer is in, asks again.
    EXPECT_TRUE(waitUntil([&] { return received().count(MonitorCommand(0)) == 2; }, 10000)) << received().toStdString();
    EXPECT_EQ(received().count("AT"), 2) << received().toStdString();
}

// The tool-bar Disconnect is taken during the wait and ends it at once; the save it ended tells no communication
// error.
TEST_P(OneExchangeTest, TheToolBarDisconnectEndsTheWaitAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(startSlow(GetParam()));
    fMain->selectTopic(18);
    fMain->cbSynDateTime->setChecked(true);
    fMain->cbSynDateTime->setChecked(false); // the gateway's clock is read into the fields
    ASSERT_EQ(fMain->eTime->text(), QStringLiteral("09:05:07"));
    gatewaysim::Faults silent;
    silent.silent = true;
    gateway->setFaults(silent);
    dialogs().clearRecords();
    qint64 disconnectedAt = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(1000, [&] {
        QTest::mouseClick(disconnectButton(), Qt::LeftButton);
        disconnectedAt = clock.elapsed();
    });
    fMain->sbDateTimeSaveClick();
    EXPECT_FALSE(CurrentConnection.Connected);
    ASSERT_GT(disconnectedAt, 0);
    EXPECT_LT(clock.elapsed() - disconnectedAt, 1000);
    EXPECT_TRUE(dialogs().boxTexts().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

INSTANTIATE_TEST_SUITE_P(Links, OneExchangeTest, ::testing::Values(Link::Telnet, Link::Serial, Link::Modem),
                         [](const auto& info) { return std::string(linkName(info.param)); });

} // namespace
