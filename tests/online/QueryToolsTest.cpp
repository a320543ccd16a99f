// The GSM monitor and the connection state against the simulated gateway over telnet and its serial pty:
// the exact commands, the replies as the pages show them, and the table rules of the connection state.
#include "online/LiveToolFixture.h"

#include "link/LinkIo.h"
#include "online/GatewayClock.h"
#include "online/OnlineQueries.h"
#include "online/RecordDownloads.h"
#include "online/ui/ConnectionStatePage.h"
#include "online/ui/LoginAccountPage.h"
#include "online/ui/MonitorPage.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

class QueryToolsTest : public LiveToolTest, public ::testing::WithParamInterface<bool>
{
protected:
    void start(const gatewaysim::Config& cfg)
    {
        if (GetParam())
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
    }
    // The lines the gateway hears for a command ending in CR LF: telnet sends the LF once more as CR LF.
    QList<QByteArray> heard(const QByteArray& command) const
    {
        return GetParam() ? QList<QByteArray>{command + "\r\n", "\n"} : QList<QByteArray>{command + "\r\n"};
    }
    void pickPort(int row)
    {
        fMain->lbPort->setCurrentRow(row);
        fMain->lbPortClick();
    }
};

TEST(ConnectionStateRules, TheRowOfThePortAndItsCells)
{
    const QByteArray table = "\r\nix port  shell  telnet tunnel user     con\r\n"
                             "-- ----  -----  ------ ------ -------- ---\r\n"
                             "0  COM1  idle   logout NONE   -        NO\r\n"
                             "1  USB1  BUSY   IDLE   TCP    ad min   YES\r\n"
                             "\r\nOK\r\n";
    const auto usb = ConnectionStateOf(table, "USB");
    ASSERT_TRUE(usb);
    EXPECT_EQ(usb->tunnel, "TCP");
    EXPECT_EQ(usb->user, "ad") << "a cell ends at its first blank";
    EXPECT_EQ(usb->connected, "YES");
    EXPECT_EQ(ShellStateText(usb->shell), 0);
    EXPECT_EQ(TelnetStateText(usb->telnet), 507);
    const auto com = ConnectionStateOf(table, "COM");
    ASSERT_TRUE(com);
    EXPECT_EQ(ShellStateText(com->shell), 506) << "any letter case";
    EXPECT_EQ(TelnetStateText(com->telnet), 508);

    // Refused quietly: no OK, a port that is not there, a name too close to the start, no digit before it.
    EXPECT_FALSE(ConnectionStateOf(QByteArray(table).replace("OK", "KO"), "COM"));
    EXPECT_FALSE(ConnectionStateOf(table, "GSM"));
    EXPECT_FALSE(ConnectionStateOf("USB1\r\nOK\r\n", "USB"));
    EXPECT_FALSE(ConnectionStateOf("ix\r\nx  USB1\r\n\r\nOK\r\n", "USB"));
    // Without the header every value cell reads ERROR.
    const auto noHeader = ConnectionStateOf("\r\n0  COM1 A B\r\n\r\nOK\r\n", "COM");
    ASSERT_TRUE(noHeader);
    EXPECT_EQ(noHeader->tunnel, "ERROR");
    EXPECT_EQ(noHeader->connected, "ERROR");
}

TEST_P(QueryToolsTest, MonitorSendsItsModuleAndShowsTheReplyOrWarnsOnBusy)
{
    gatewaysim::Config cfg;
    cfg.monitorLines[1] = {"Cell 12  ERROR count 0", "Signal -60"};
    cfg.monitorLines[0] = {"Module busy: BUSY now"};
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    fMain->selectTopic(543);
    EXPECT_FALSE(fMain->pMonitor->isHidden());
    EXPECT_EQ(fMain->sbSend->text(), labelText(546));
    EXPECT_TRUE(gateway->receivedLines().isEmpty() || !received().contains("AT&I")) << "nothing sent on entry";

    gateway->clearLog();
    fMain->ed1->setValue(1);
    fMain->sbSend->click();
    EXPECT_EQ(gateway->receivedLines(), heard("AT&I1"));
    EXPECT_EQ(fMain->mMonitor->toPlainText().toStdString(), "\nCell 12  ERROR count 0\nSignal -60\nOK\n")
        << "shown as it came, ERROR inside included";

    fMain->ed1->setValue(0);
    fMain->sbSend->click();
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes()[0].text, labelText(545));
    EXPECT_EQ(dialogs().boxes()[0].caption, labelText(45));
    EXPECT_EQ(dialogs().boxes()[0].flags & 0xF0, unsigned(MB_ICONWARNING));
    EXPECT_TRUE(fMain->mMonitor->toPlainText().contains(QStringLiteral("Signal -60"))) << "the memo is kept";

    // An emptied module field is module 0, sent with the field still in hand or after it lost the focus.
    for (const bool leftField : {false, true}) {
        fMain->ed1->setValue(1);
        ASSERT_NO_FATAL_FAILURE(emptySpinField(fMain->ed1, leftField));
        gateway->clearLog();
        fMain->sbSend->click();
        EXPECT_EQ(gateway->receivedLines(), heard("AT&I0")) << leftField;
        EXPECT_EQ(fMain->ed1->text(), QStringLiteral("0")) << leftField;
    }
}

TEST_P(QueryToolsTest, ConnectionStateFillsTheLabelsOfThePickedPort)
{
    gatewaysim::Config cfg;
    cfg.connectionTable = {"ix port  shell  telnet tunnel user     con", "-- ----  -----  ------ ------ -------- ---",
                           "0  COM1  BUSY   IDLE   NONE   -        NO", "1  USB1  idle   LOGOUT TCP    admin    YES",
                           "9  GSM9  IDLE   IDLE   NONE   -        NO"};
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    fMain->selectTopic(505);
    EXPECT_FALSE(fMain->pConnection->isHidden());
    EXPECT_EQ(fMain->lbSelect->text(), labelText(736));
    EXPECT_FALSE(fMain->lbPort->currentItem());

    gateway->clearLog();
    pickPort(1); // USB, digit 1: line 2, counting the line below the header as 0
    EXPECT_EQ(gateway->receivedLines(), heard("AT&U"));
    EXPECT_EQ(fMain->lb1->text(), labelText(506));
    EXPECT_EQ(fMain->lb2->text(), labelText(508));
    EXPECT_EQ(fMain->lb3->text(), QStringLiteral("TCP"));
    EXPECT_EQ(fMain->lb4->text(), QStringLiteral("admin"));
    EXPECT_EQ(fMain->lb5->text(), QStringLiteral("YES"));

    pickPort(2); // GSM is not in the table: the labels end empty
    for (QLabel* l : {fMain->lb1, fMain->lb2, fMain->lb3, fMain->lb4, fMain->lb5})
        EXPECT_TRUE(l->text().isEmpty()) << qPrintable(l->objectName());

    pickPort(0);
    EXPECT_TRUE(fMain->lb1->text().isEmpty()) << "a busy shell shows nothing";
    EXPECT_EQ(fMain->lb2->text(), labelText(507));
    EXPECT_EQ(fMain->lb3->text(), QStringLiteral("NONE"));

    // Entering again empties the labels and the pick, and sends nothing.
    gateway->clearLog();
    fMain->selectTopic(543);
    fMain->selectTopic(505);
    EXPECT_TRUE(fMain->lb3->text().isEmpty());
    EXPECT_FALSE(fMain->lbPort->currentItem());
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Links, QueryToolsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Telnet" : "SerialPty"; });

// A gateway that relays the answers more slowly than one read (16 bytes every 350 ms), with the program's own
// waits: the connection state's table and each module's answer are read up to their verdict lines, and an answer
// still on its way when its read gave up is dropped before the next request, so no answer shows another's tail.
class SlowRelayTest : public LiveToolTest, public ::testing::WithParamInterface<Link>
{
protected:
    void TearDown() override
    {
        LiveToolTest::TearDown();
        wholeReplyMs = kWholeReplyMs;
    }
    const int kWholeReplyMs = wholeReplyMs;

    std::string askModule(int module)
    {
        fMain->ed1->setValue(module);
        fMain->sbSendClick();
        return fMain->mMonitor->toPlainText().toStdString();
    }
};

TEST_P(SlowRelayTest, EachAnswerIsReadToItsVerdictLineAndNoTailReachesTheNext)
{
    modemReplyWaitMs = kModemWaits[0];
    gatewaysim::Config cfg;
    cfg.monitorLines[0] = {"GSM0 monitor  Operator: SIMNET  Cell: 1F2A", "LAC: 0B11  Signal: -71 dBm  BER: 0",
                           "Neighbours: 1F2B 1F2C 1F2D 1F2E 1F2F 1F30"};
    cfg.monitorLines[1] = {"GSM1 idle"};
    cfg.connectionTable = {"ix port  shell  telnet tunnel user     con", "-- ----  -----  ------ ------ -------- ---",
                           "0  COM1  IDLE   LOGOUT NONE   -        NO", "1  USB1  BUSY   IDLE   TCP    admin    YES"};
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam(), cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gatewaysim::Faults slow;
    slow.chunkSize = 16;
    slow.chunkDelayMs = 350;
    gateway->setFaults(slow);

    fMain->selectTopic(505);
    fMain->lbPort->setCurrentRow(1);
    fMain->lbPortClick();
    EXPECT_EQ(fMain->lb5->text(), QStringLiteral("YES"));

    fMain->selectTopic(543);
    const std::string module1 = "\nGSM1 idle\nOK\n";
    EXPECT_TRUE(askModule(0).ends_with("1F30\nOK\n")) << fMain->mMonitor->toPlainText().toStdString();
    EXPECT_EQ(askModule(1), module1);

    wholeReplyMs = 1000; // module 0's answer takes about 3 s: its read gives up, the rest comes after it
    askModule(0);
    wholeReplyMs = kWholeReplyMs;
    QTest::qWait(2500);
    EXPECT_EQ(askModule(1), module1);
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

INSTANTIATE_TEST_SUITE_P(Links, SlowRelayTest, ::testing::Values(Link::Serial, Link::Modem),
                         [](const auto& info) { return info.param == Link::Serial ? "Serial" : "Modem"; });

// A serial gateway whose answers pause longer than one quiet byte wait of the port (16 bytes every 500 ms) or
// start late (400 ms): with the program's own bounds, each answer is read up to its verdict line, so the page
// shows it whole and nothing of it is left on the line for the next command.
struct SlowSerialRow
{
    const char* name;
    bool late; // the answer starts late; else it comes in pieces
    std::function<void()> prepare; // before the gateway slows down
    std::function<void()> run;
    // The boxes shown and the gateway as they are after the run.
    std::function<void(const QStringList& boxes, const gatewaysim::Gateway& gateway)> check;
};

void PrintTo(const SlowSerialRow& row, std::ostream* os)
{
    *os << row.name << (row.late ? " starting late" : " in pieces");
}

class SlowSerialTest : public LiveToolTest, public ::testing::WithParamInterface<SlowSerialRow>
{
};

TEST_P(SlowSerialTest, EachAnswerIsReadWholeAndNothingIsLeftForTheNextCommand)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(Link::Serial, gatewaysim::Config()));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    if (GetParam().prepare)
        GetParam().prepare();
    gatewaysim::Faults slow;
    if (GetParam().late) {
        slow.replyDelayMs = 400;
    } else {
        slow.chunkSize = 16;
        slow.chunkDelayMs = 500;
    }
    gateway->setFaults(slow);
    dialogs().clearRecords();
    gateway->clearLog();
    GetParam().run();
    GetParam().check(dialogs().boxTexts(), *gateway);
    QTest::qWait(1500); // a tail would be on the line by now
    EXPECT_EQ(LinkReadWithin(4096, 300), QByteArray());
}

void clockShown(const QStringList& boxes, const gatewaysim::Gateway&)
{
    EXPECT_EQ(fMain->eDate->text(), QStringLiteral("05.12.2026"));
    EXPECT_EQ(fMain->eTime->text(), QStringLiteral("09:05:07"));
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('|'));
}

const SlowSerialRow kSlowSerialRows[] = {
    {"Monitor", false, nullptr, [] { fMain->selectTopic(543); fMain->ed1->setValue(0); fMain->sbSendClick(); },
     [](const QStringList& boxes, const gatewaysim::Gateway&) {
         EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('|'));
         EXPECT_EQ(fMain->mMonitor->toPlainText().toStdString(),
                   "\nGSM0 monitor\nOperator: SIMNET  Cell: 1F2A  LAC: 0B11\nSignal: -71 dBm  BER: 0\nOK\n");
     }},
    {"ConnectionState", false, nullptr,
     [] { fMain->selectTopic(505); fMain->lbPort->setCurrentRow(2); fMain->lbPortClick(); },
     [](const QStringList&, const gatewaysim::Gateway&) { EXPECT_EQ(fMain->lb3->text(), QStringLiteral("NONE")); EXPECT_EQ(fMain->lb5->text(), QStringLiteral("NO")); }},
    {"ClockRead", false, nullptr,
     [] { fMain->selectTopic(18); fMain->cbSynDateTime->setChecked(true); fMain->cbSynDateTime->setChecked(false); },
     clockShown},
    {"ClockSave", false,
     [] { fMain->selectTopic(18); fMain->cbSynDateTime->setChecked(true); fMain->cbSynDateTime->setChecked(false); },
     [] { fMain->eTime->setText(QStringLiteral("10:11:12")); fMain->sbDateTimeSaveClick(); },
     [](const QStringList& boxes, const gatewaysim::Gateway& gateway) {
         EXPECT_EQ(boxes, QStringList{labelText(66)});
         EXPECT_EQ(gateway.value("S99"), "05.12.2026.6/10:11:12");
     }},
    {"BufferState", false, nullptr, [] { fMain->selectTopic(494); },
     [](const QStringList& boxes, const gatewaysim::Gateway&) {
         EXPECT_EQ(fMain->lbBuffer1->text(), QStringLiteral("48211"));
         EXPECT_EQ(fMain->lbBuffer5->text(), QStringLiteral("3"));
         EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('|'));
     }},
    {"AccountSave", false,
     [] {
         fMain->eLoginUser->setText(QStringLiteral("usr"));
         fMain->eLoginPass->setText(QStringLiteral("pass1"));
         fMain->eLoginPassVer->setText(QStringLiteral("pass1"));
     },
     [] { fMain->sbLoginSaveClick(); },
     [](const QStringList& boxes, const gatewaysim::Gateway&) { EXPECT_EQ(boxes, QStringList{labelText(66)}); }},
    {"StatisticsReset", false, nullptr, [] { EXPECT_EQ(RunStatisticsResets().text, 61); },
     [](const QStringList&, const gatewaysim::Gateway& gateway) {
         EXPECT_EQ(gateway.receivedLines().size(), 5);
     }},
};

std::vector<SlowSerialRow> slowSerialRows()
{
    std::vector<SlowSerialRow> rows;
    for (const SlowSerialRow& row : kSlowSerialRows) {
        rows.push_back(row);
        rows.push_back(row);
        rows.back().late = true;
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, SlowSerialTest, ::testing::ValuesIn(slowSerialRows()), [](const auto& info) {
    return std::string(info.param.name) + (info.param.late ? "StartingLate" : "InPieces");
});

} // namespace
