// Every live tool on each of the three links the simulated gateway offers: telnet, its serial pty and the modem
// line behind its Hayes modem. Each scenario is one test with a row per link: the tool's start, one exchange and
// its stop, with the exact lines the gateway heard once the call is up (dialling and hanging up are the modem
// layer's), and a command afterwards that must get its own reply, so nothing of the tool is left on the link.
// Where a link has steps of its own (the modem line's resets, the voice page's refusal) the test says so.
#include "online/LiveToolFixture.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "link/ModemWaits.h"
#include "online/GatewayClock.h"
#include "online/LiveCells.h"
#include "online/RecordDownloads.h"
#include "online/Terminal.h"
#include "online/Tracing.h"
#include "online/ui/ActualCallsPage.h"
#include "online/ui/BufferPage.h"
#include "online/ui/CommandsPage.h"
#include "online/ui/ConnectionStatePage.h"
#include "online/ui/DateTimePage.h"
#include "online/ui/LoginAccountPage.h"
#include "online/ui/MonitorPage.h"
#include "online/ui/RecordsPage.h"
#include "online/ui/TerminalPart.h"
#include "online/ui/TestCallsPage.h"
#include "online/ui/TracingPage.h"
#include "online/ui/VoicePage.h"
#include "platform/Dialogs.h"
#include "platform/TelnetClient.h"
#include "ui/ResetPart.h"
#include "ui/TfDialog.h"
#include "ui/TwReset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

namespace {

class EveryLinkTest : public LiveToolTest, public ::testing::WithParamInterface<Link>
{
protected:
    void TearDown() override
    {
        LiveToolTest::TearDown();
        recordWaits = RecordWaits{};
        wholeReplyMs = kWholeReplyMs;
    }
    const int kWholeReplyMs = wholeReplyMs;

    bool telnet() const { return GetParam() == Link::Telnet; }
    bool modem() const { return GetParam() == Link::Modem; }

    // The gateway on this row's link, the program connected to it, the log and the boxes of the connect gone.
    void start(gatewaysim::Config cfg = {})
    {
        cfg.modemGuardMs = 300; // the hang-up's escape at the end of a modem test
        ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam(), cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        ASSERT_TRUE(!modem() || gateway->modemInCall());
        gateway->clearLog();
        dialogs().clearRecords();
    }

    // The lines the gateway hears for what the program wrote: telnet sends a CR as CR LF, so "X\r" arrives as
    // "X\r\n", and "X\r\n" as that line and an empty one (the LF sent once more).
    QList<QByteArray> heard(const QList<QByteArray>& written) const
    {
        QList<QByteArray> lines;
        for (const QByteArray& w : written) {
            if (telnet() && w.endsWith("\r\n"))
                lines << w << "\n";
            else if (telnet() && w.endsWith('\r'))
                lines << w + '\n';
            else
                lines << w;
        }
        return lines;
    }
    // The gateway's log lags behind what was written by a moment.
    void expectHeard(const QList<QByteArray>& written, int boundMs = 3000)
    {
        const QList<QByteArray> want = heard(written);
        waitUntil([&] { return gateway->receivedLines() == want; }, boundMs);
        EXPECT_EQ(gateway->receivedLines(), want);
    }
    bool hearsExactly(const QList<QByteArray>& lines)
    {
        waitUntil([&] { return gateway->receivedLines() == lines; }, 3000);
        EXPECT_EQ(gateway->receivedLines(), lines);
        return gateway->receivedLines() == lines;
    }
    // A command after the tool gets its own reply: no reader is left, no answer of the tool is left unread.
    void expectLinkFree()
    {
        gateway->clearLog();
        QByteArray reply;
        EXPECT_EQ(SendCommandOk("AT\r\n", reply, 128), "\r\nOK\r\n");
        expectHeard({"AT\r\n"});
    }
    void expectBoxes(const QList<std::pair<int, int>>& textAndCaption)
    {
        ASSERT_EQ(dialogs().boxes().size(), textAndCaption.size()) << qPrintable(dialogs().boxTexts().join('|'));
        for (int i = 0; i < textAndCaption.size(); ++i) {
            EXPECT_EQ(dialogs().boxes()[i].text, labelText(textAndCaption[i].first)) << i;
            EXPECT_EQ(dialogs().boxes()[i].caption, labelText(textAndCaption[i].second)) << i;
        }
    }
    static bool noToolRuns() { return !liveTools.anyRoute() && !liveTools.anyHoldsLink(); }
    // A trace started on the tracing page (a line every intervalMs) and its second line shown.
    void startTrace(int intervalMs)
    {
        gatewaysim::Config cfg;
        cfg.traceIntervalMs = intervalMs;
        ASSERT_NO_FATAL_FAILURE(start(cfg));
        fMain->selectTopic(20);
        fMain->edTracFile->setText(path(QStringLiteral("trace.txt")));
        fMain->sbTracStart->click();
        ASSERT_TRUE(telnet() ? bool(tracingOverTcp) : bool(tracingThread))
            << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_EQ(fMain->sbTracStart->text(), labelText(153));
        ASSERT_TRUE(waitUntil([] { return fMain->mTracing->toPlainText().contains(QStringLiteral("2 TRACE R2")); }))
            << qPrintable(fMain->mTracing->toPlainText());
    }
};

std::string rowName(const ::testing::TestParamInfo<Link>& info)
{
    return linkName(info.param);
}

TEST_P(EveryLinkTest, TerminalSendsEachKeyShowsTheAnswerAndEndsTheLineWhenLeft)
{
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->selectTopic(21);
    ASSERT_FALSE(fMain->mTerminal->isHidden());
    EXPECT_EQ(bool(terminalThread), !telnet()) << "a reader on the serial port and the modem line";
    EXPECT_EQ(bool(terminalOverTcp), telnet()) << "the router on telnet";
    EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
    for (char c : QByteArray("AT\r")) {
        char key = c;
        fMain->mTerminalKeyPress(key);
        EXPECT_EQ(key, 0) << "the memo shows the gateway's text only";
    }
    ASSERT_TRUE(waitUntil([] { return fMain->mTerminal->toPlainText().contains(QStringLiteral("OK")); }))
        << qPrintable(fMain->mTerminal->toPlainText());
    fMain->selectTopic(543); // the GSM monitor sends nothing when it is shown
    EXPECT_TRUE(fMain->mTerminal->isHidden());
    EXPECT_TRUE(noToolRuns());
    EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
    expectHeard({"AT\r", "\r\n"});
    expectLinkFree();
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

TEST_P(EveryLinkTest, TracingSetsTheMaskStartsShowsTheTraceAndStops)
{
    ASSERT_NO_FATAL_FAILURE(startTrace(300));
    fMain->sbTracStart->click();
    EXPECT_TRUE(noToolRuns());
    EXPECT_EQ(fMain->sbTracStart->text(), labelText(152));
    EXPECT_TRUE(readFile(QStringLiteral("trace.txt")).contains("1 TRACE R2\r\n"));
    expectHeard({"AT%S92=0\r", "AT!R2\r", "AT!RX\r"});
    expectLinkFree();
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

// Closing the program while it traces tells the gateway to stop before the link closes, so that the gateway
// does not trace on after the program has ended.
TEST_P(EveryLinkTest, TheCloseDuringATraceTellsTheGatewayToStop)
{
    ASSERT_NO_FATAL_FAILURE(startTrace(50));
    EXPECT_TRUE(fMain->FormClose());
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_TRUE(noToolRuns());
    // (The modem line's hang-up follows.)
    const QList<QByteArray> want = heard({"AT%S92=0\r", "AT!R2\r", "AT!RX\r"});
    EXPECT_TRUE(waitUntil([&] { return gateway->receivedLines().mid(0, 3) == want; }))
        << gateway->receivedLines().join('|').constData();
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

TEST_P(EveryLinkTest, DateTimeWithoutTheSyncReadsTheGatewayClockAndSavesIt)
{
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->selectTopic(18);
    EXPECT_TRUE(gateway->receivedLines().isEmpty()) << "in step with the PC, the gateway is not asked";
    fMain->cbSynDateTime->setChecked(false); // the switch reads the gateway's clock at once
    EXPECT_EQ(fMain->eDate->text(), QStringLiteral("05.12.2026"));
    EXPECT_EQ(fMain->eTime->text(), QStringLiteral("09:05:07"));
    EXPECT_EQ(fMain->cbDay->currentIndex(), 5);
    EXPECT_TRUE(fMain->eDate->isEnabled());
    fMain->eTime->setText(QStringLiteral("10:11:12"));
    fMain->sbDateTimeSave->click();
    expectBoxes({{66, 54}});
    fMain->selectTopic(543);
    fMain->selectTopic(18); // entering with the sync off reads the clock again
    EXPECT_FALSE(fMain->pDateTime->isHidden());
    EXPECT_EQ(fMain->eTime->text(), QStringLiteral("10:11:12"));
    expectHeard({"AT&V\r", "AT%S99=05.12.2026.6/10:11:12\r\n", "AT&V\r"});

    // A refused view: the error box, and the page is not shown.
    gatewaysim::Faults f;
    f.errorOn = {"AT&V"};
    gateway->setFaults(f);
    dialogs().clearRecords();
    fMain->selectTopic(543);
    fMain->selectTopic(18);
    expectBoxes({{56, 47}});
    EXPECT_EQ(dialogs().boxes()[0].flags, unsigned(MB_ICONERROR));
    EXPECT_TRUE(fMain->pDateTime->isHidden());
    gateway->setFaults({});
    expectLinkFree();
}

// A gateway that keeps talking before its verdict: the clock's read and save, the buffer state and, where the
// login account can be set (not over telnet), its Save and Disable give up when their time is over, with the
// error box, although the verdict would still come (1.5 s after each command; the reads give up after 0.3 s).
TEST_P(EveryLinkTest, ClockBufferAndAccountRepliesEndWhenTheirTimeIsOver)
{
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->selectTopic(18);
    fMain->cbSynDateTime->setChecked(false); // the gateway's clock, while the gateway still answers at once
    ASSERT_EQ(fMain->eTime->text(), QStringLiteral("09:05:07"));
    fMain->eLoginUser->setText(QStringLiteral("usr"));
    fMain->eLoginPass->setText(QStringLiteral("pass1"));
    fMain->eLoginPassVer->setText(QStringLiteral("pass1"));
    wholeReplyMs = 300;
    gatewaysim::Faults chatter;
    chatter.chatterMs = 1500;
    gateway->setFaults(chatter);

    const struct
    {
        const char* name;
        bool overTelnet;
        std::function<void()> run;
    } operations[] = {
        {"clock read", true, [] { fMain->selectTopic(543), fMain->selectTopic(18); }},
        {"clock save", true, [] { fMain->sbDateTimeSaveClick(); }},
        {"buffer state", true, [] { fMain->selectTopic(494); }},
        {"account save", false, [] { fMain->sbLoginSaveClick(); }},
        {"account disable", false, [this] { dialogs().answerBox(IDYES), fMain->sbLoginDisableClick(); }},
    };
    for (const auto& op : operations) {
        if (telnet() && !op.overTelnet)
            continue;
        dialogs().clearRecords();
        op.run();
        const ScriptedDialogs::Box last = dialogs().boxes().value(dialogs().boxes().size() - 1);
        EXPECT_EQ(last.text, labelText(56)) << op.name;
        EXPECT_EQ(last.caption, labelText(47)) << op.name;
        // What the gateway still says, up to its verdict, is not for the next operation.
        QByteArray rest;
        const qint64 bound = QDateTime::currentMSecsSinceEpoch() + 5000;
        while (!ReplyHasOkLine(rest) && QDateTime::currentMSecsSinceEpoch() < bound)
            rest += LinkReadWithin(4096, 200);
        EXPECT_TRUE(ReplyHasOkLine(rest)) << op.name;
    }
    gateway->setFaults({});
    expectLinkFree();
}

TEST_P(EveryLinkTest, StatisticsDownloadAndDelete)
{
    recordWaits.idleSeconds = 2;
    ASSERT_NO_FATAL_FAILURE(start());

    fMain->selectTopic(24);
    fMain->sbStatLoadClick();
    expectBoxes({{61, 54}});
    EXPECT_TRUE(fMain->mStatistic->toPlainText().contains(QStringLiteral("network")));
    EXPECT_TRUE(fMain->mStatistic->toPlainText().contains(QStringLiteral("module")));
    expectHeard({"AT&T\r", "AT&TMOD\r"});

    gateway->clearLog();
    dialogs().clearRecords();
    fMain->sbStatLoadDeleteClick();
    expectBoxes({{61, 54}});
    expectHeard({"AT&T\r", "AT&TMOD\r", "at%tgall=0,0,0,0\r\n", "at%tiall=0,0\r\n", "at%tball=0,0,0,0\r\n",
                 "AT%TGALL=0,0,0,0\r\n", "AT%TALL=1,0,0,0,0,0,0\r\n"});
    expectLinkFree();
}

TEST_P(EveryLinkTest, CallDataDownloadAndDelete)
{
    recordWaits.idleSeconds = 2;
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->selectTopic(23);
    fMain->sbCallLoadClick();
    expectBoxes({{61, 54}});
    const QString calls = fMain->mCall->toPlainText();
    EXPECT_TRUE(calls.startsWith(QStringLiteral("   date"))) << qPrintable(calls);
    EXPECT_TRUE(calls.endsWith(QStringLiteral("OK"))) << qPrintable(calls);
    expectHeard({"AT&C\r", "\r"});

    gateway->clearLog();
    dialogs().clearRecords();
    fMain->sbCallLoadDeleteClick();
    expectBoxes({{61, 54}});
    EXPECT_EQ(fMain->mCall->toPlainText().split('\n').size(), 5) << qPrintable(fMain->mCall->toPlainText());
    // The gateway takes each "#" as it comes, and the line end that ends the dialogue as it comes.
    if (telnet())
        EXPECT_TRUE(hearsExactly({"AT&CR\r\n", "#", "#", "#", "\r", "\n", "\n"}));
    else
        EXPECT_TRUE(hearsExactly({"AT&CR\r", "#", "#", "#", "\r\n"}));
    expectLinkFree();
}

TEST_P(EveryLinkTest, TestCallDialsHangsUpAtTheAnswerAndStops)
{
    gatewaysim::Config cfg;
    cfg.testCallIntervalMs = 400;
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    fMain->selectTopic(548); // the probe of a connected link
    fMain->edFile->setText(path(QStringLiteral("calls.txt")));
    fMain->edNumber1->setText(QStringLiteral("123"));
    ASSERT_TRUE(fMain->rbRotating->isChecked());
    fMain->sbDial->click();
    ASSERT_TRUE(telnet() ? bool(testCallOverTcp) : bool(testCallThread)) << qPrintable(dialogs().boxTexts().join('|'));
    EXPECT_TRUE(fMain->sbDisconnect->isEnabled());
    ASSERT_TRUE(waitUntil([] { return fMain->sbStop->isEnabled(); })) << "the gateway's OK: the call is up";
    ASSERT_TRUE(waitUntil([] { return fMain->mmTest->toPlainText().contains(QStringLiteral("RELEASE")); }));
    fMain->sbStop->click();
    EXPECT_TRUE(noToolRuns());
    EXPECT_TRUE(fMain->mmTest->toPlainText().endsWith(QStringLiteral("OK"))) << "the answer to the stop is shown";
    EXPECT_TRUE(fMain->sbDial->isEnabled());
    EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
    EXPECT_TRUE(readFile(QStringLiteral("calls.txt")).contains("CALL !SP32=123\r\nOK\r\nRELEASE cause 16\r\n"));
    expectHeard({"at\r\n", "AT!SP32=123\r", "AT!D\r", "\r\n"});
    expectLinkFree();
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

TEST_P(EveryLinkTest, LeavingTheTestCallPageMidCallHangsUpAndLeavesNoAnswerBehind)
{
    gatewaysim::Config cfg;
    cfg.testCallScript = {"\r\nCALL\r\n"}; // the call is never answered
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    fMain->selectTopic(548);
    fMain->edFile->setText(path(QStringLiteral("calls.txt")));
    fMain->edNumber1->setText(QStringLiteral("123"));
    fMain->sbDial->click();
    ASSERT_TRUE(waitUntil([] { return fMain->mmTest->toPlainText().contains(QStringLiteral("CALL")); }));
    fMain->selectTopic(543);
    EXPECT_TRUE(noToolRuns());
    EXPECT_TRUE(fMain->pTest->isHidden());
    // The blank before the hang-up belongs to its line.
    expectHeard({"at\r\n", "AT!SP32=123\r", " AT!D\r", "\r\n", "\r\n"});
    expectLinkFree();
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

TEST_P(EveryLinkTest, OnlineCommandPassesTheTextToTheModuleAndEndsWithItsReply)
{
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->selectTopic(685); // the probe of a connected link
    fMain->edCommand->setText(QStringLiteral("ATI"));
    fMain->seModule->setValue(1);
    fMain->sbCommandsStart->click();
    EXPECT_EQ(fMain->sbCommandsStart->text(), labelText(153));
    // The reader of a modem line runs at normal priority, the serial port's at idle; telnet has none.
    EXPECT_EQ(bool(commandsThread), !telnet());
    if (commandsThread) {
        EXPECT_EQ(commandsThread->priorityLevel(), modem() ? 3 : 0);
    }
    ASSERT_TRUE(waitUntil([] {
        return fMain->sbCommandsStart->text() == labelText(152) && fMain->tbLoadGate->isEnabled() &&
               !CommandsPage::commandsRuns();
    })) << qPrintable(fMain->m1->toPlainText());
    EXPECT_TRUE(fMain->m1->toPlainText().contains(QStringLiteral("GSM1: ATI"))) << qPrintable(fMain->m1->toPlainText());
    fMain->selectTopic(543);
    EXPECT_TRUE(noToolRuns());
    expectHeard({"at\r\n", "AT&G1=ATI\r", "\r\n"});
    expectLinkFree();
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

TEST_P(EveryLinkTest, ActualCallsAndTheClipTablePollTheirTablesUntilLeft)
{
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->tActual->setInterval(50);
    for (const auto& [topic, command, mark] : {std::tuple{235, QByteArray("AT&XC\r\n"), "cha-layer3"},
                                              std::tuple{704, QByteArray("AT&AD\r\n"), "idx"}}) {
        gateway->clearLog();
        fMain->selectTopic(topic);
        EXPECT_FALSE(fMain->pActual->isHidden()) << topic;
        const QString shown = QString::fromLatin1(mark);
        ASSERT_TRUE(waitUntil([&] { return fMain->mmActual->toPlainText().startsWith(shown); }, 8000))
            << topic << ": " << qPrintable(fMain->mmActual->toPlainText());
        // The probe, then nothing but polls of the topic's own table.
        const QList<QByteArray> lines = gateway->receivedLines();
        const QList<QByteArray> probe = heard({"at\r\n"});
        const QList<QByteArray> poll = heard({command});
        ASSERT_GE(lines.size(), probe.size() + poll.size());
        EXPECT_EQ(lines.mid(0, probe.size()), probe) << topic;
        for (qsizetype i = probe.size(); i + poll.size() <= lines.size(); i += poll.size())
            EXPECT_EQ(lines.mid(i, poll.size()), poll) << topic << " line " << i;
    }
    fMain->selectTopic(543);
    EXPECT_TRUE(fMain->pActual->isHidden());
    EXPECT_FALSE(fMain->tActual->isActive());
    EXPECT_TRUE(noToolRuns());
    expectLinkFree();
}

TEST_P(EveryLinkTest, MonitorConnectionStateAndBufferAskOnceEach)
{
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->selectTopic(543);
    fMain->ed1->setValue(1);
    fMain->sbSendClick();
    EXPECT_TRUE(fMain->mMonitor->toPlainText().contains(QStringLiteral("GSM1 monitor")))
        << qPrintable(fMain->mMonitor->toPlainText());
    fMain->selectTopic(505);
    fMain->lbPort->setCurrentRow(1);
    fMain->lbPortClick();
    EXPECT_EQ(fMain->lb5->text(), QStringLiteral("YES")) << "the USB row";
    fMain->selectTopic(494);
    EXPECT_FALSE(fMain->lbBuffer5->text().isEmpty());
    expectHeard({"AT&I1\r\n", "AT&U\r\n", "at\r\n", "AT!Q\r\n"});
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
    expectLinkFree();
}

// The resets wait for the gateway's "Init: OK" 15 s (gateway reset) and 30 s (factory reset), 2 s before the
// new login, and on a modem line 2 s before they hang up; the tests shorten these (the marker waits keep their
// order) and the simulated gateway restarts in 300 ms.
class EveryLinkResetTest : public EveryLinkTest
{
protected:
    void start(gatewaysim::Config cfg = {}, int restartMs = 300)
    {
        cfg.resetDelayMs = restartMs;
        resetTimings.gatewayMarkerMs = 2000;
        resetTimings.factoryMarkerMs = 4000;
        resetTimings.pollMs = 20;
        resetTimings.settleMs = 10;
        resetTimings.modemHangUpMs = 50;
        ASSERT_NO_FATAL_FAILURE(EveryLinkTest::start(cfg));
    }
    // The modem line's own way out: the call is hung up right after the command, without the restart's wait
    // or a new login, and the user is told to connect again.
    void expectModemHungUp(int question)
    {
        expectBoxes({{question, 54}, {882, 54}});
        EXPECT_EQ(gateway->loginCount(), 1) << "no new login";
        EXPECT_FALSE(CurrentConnection.Connected);
        EXPECT_TRUE(waitUntil([&] { return !gateway->modemInCall(); })) << "the call was hung up";
    }
    // What the modem layer sends to hang up a modem that keeps the call when DTR drops (a pty has no DTR).
    static QList<QByteArray> modemHangUp() { return {"+++", "ATH\r"}; }
    void expectEnded()
    {
        EXPECT_TRUE(fMain->isEnabled());
        EXPECT_TRUE(wReset->isHidden());
    }
    static QList<QByteArray> factoryCommands()
    {
        QList<QByteArray> lines;
        for (int i = 0; i < 10; ++i)
            lines << "AT%R" + QByteArray::number(i) + "=\r\n"
                  << "AT%A" + QByteArray::number(i) + "=\r\n";
        return lines << "AT%R00=1,0:00/24:00,,0\r\n"
                     << "AT&FRES\r\n";
    }
};

TEST_P(EveryLinkResetTest, GatewayResetWaitsForTheRestartAndLogsInAgain)
{
    ASSERT_NO_FATAL_FAILURE(start());
    dialogs().answerBox(IDYES);
    fMain->selectTopic(41);
    expectEnded();
    const QList<QByteArray> reset = heard({"AT&BSYS=RESET\r\n"});
    const QList<QByteArray> lines = gateway->receivedLines();
    ASSERT_GE(lines.size(), reset.size());
    EXPECT_EQ(lines.mid(0, reset.size()), reset);
    if (modem()) {
        EXPECT_EQ(lines, reset + modemHangUp());
        expectModemHungUp(55);
        return;
    }
    EXPECT_EQ(gateway->loginCount(), 2) << "logged in again on the same link";
    expectBoxes({{55, 54}, {57, 54}});
    EXPECT_TRUE(CurrentConnection.Connected);
    expectLinkFree();
}

TEST_P(EveryLinkResetTest, FactoryResetEmptiesTheTablesAndAYesLoadsTheWholeOnePortGateway)
{
    gatewaysim::Config cfg;
    cfg.model = QStringLiteral("MY");
    ASSERT_NO_FATAL_FAILURE(start(cfg));
    dialogs().answerBox(IDYES);
    QString offer;
    dialogs().onModal([&](QDialog*) {
        offer = fDialog->lb1->text();
        fDialog->sbYes->click();
    });
    dialogs().allowUnusedAnswers(modem()); // the modem line never gets to the offer
    fMain->selectTopic(42);
    const QList<QByteArray> reset = heard(factoryCommands());
    const QList<QByteArray> lines = gateway->receivedLines();
    ASSERT_GE(lines.size(), reset.size());
    EXPECT_EQ(lines.mid(0, reset.size()), reset);
    if (modem()) {
        EXPECT_EQ(lines, reset + modemHangUp());
        expectModemHungUp(58);
        expectEnded();
        return;
    }
    EXPECT_EQ(offer, QString(labelText(53)).replace(QStringLiteral("%s"), labelText(868)));
    // Yes: the whole-gateway load runs on the same link after the new login, its first page's view first.
    const QByteArray after = lines.mid(reset.size()).join();
    EXPECT_TRUE(after.contains("AT&Vi")) << "the ISDN page: " << after.constData();
    EXPECT_TRUE(after.contains("AT&Nall")) << "the network lists";
    EXPECT_TRUE(lines.last().startsWith("AT&A")) << "the autorouting table last";
    expectEnded();
    EXPECT_TRUE(CurrentConnection.Connected);
    expectLinkFree();
}

INSTANTIATE_TEST_SUITE_P(Links, EveryLinkResetTest, ::testing::Values(Link::Telnet, Link::Serial, Link::Modem),
                         rowName);

// Where the gateway can be late without the link ending (telnet and the serial port): a restart that comes after
// the marker wait is a failed reset, even though the new login then succeeds.
class LateRestartTest : public EveryLinkResetTest
{
};

TEST_P(LateRestartTest, ARestartAfterTheMarkerWaitIsNoSuccess)
{
    // The restart comes well after the marker waits and the one read that may still be under way at their
    // end (on telnet a read waits up to the LAN time-out, counted in whole seconds), but within the new
    // login's tries of its prompt.
    ASSERT_NO_FATAL_FAILURE(start({}, 3000));
    resetTimings.gatewayMarkerMs = 300;
    resetTimings.factoryMarkerMs = 300;
    dialogs().answerBox(IDYES);
    fMain->selectTopic(41);
    expectEnded();
    EXPECT_EQ(gateway->loginCount(), 2);
    dialogs().answerBox(IDYES);
    fMain->selectTopic(42); // no reload offer: the error box in its place
    expectEnded();
    EXPECT_EQ(gateway->loginCount(), 3);
    expectBoxes({{55, 54}, {56, 47}, {58, 54}, {56, 47}});
    EXPECT_TRUE(dialogs().modals().isEmpty());
    EXPECT_TRUE(CurrentConnection.Connected);
}

INSTANTIATE_TEST_SUITE_P(Links, LateRestartTest, ::testing::Values(Link::Telnet, Link::Serial), rowName);

// A reset command that does not go out whole (the telnet connection gone while the question was open): the
// error box, nothing waited for, the main window usable again.
class DropAtQuestion : public ScriptedDialogs
{
public:
    std::function<void()> onQuestion;
    int messageBox(const QString& text, const QString& caption, unsigned flags) override
    {
        if ((flags & MB_YESNO) && onQuestion)
            onQuestion();
        return ScriptedDialogs::messageBox(text, caption, flags);
    }
};

class ShortResetWriteTest : public EveryLinkResetTest
{
};

TEST_P(ShortResetWriteTest, EitherResetStopsWithTheErrorBox)
{
    for (const int topic : {41, 42}) {
        ASSERT_NO_FATAL_FAILURE(start());
        {
            DropAtQuestion answers;
            answers.onQuestion = [&] {
                gateway->dropSessions();
                EXPECT_TRUE(waitUntil([] { return !tcp->Connected(); }));
            };
            answers.answerBox(IDYES);
            fMain->selectTopic(topic);
            expectEnded();
            ASSERT_EQ(answers.boxes().size(), 2) << topic;
            EXPECT_EQ(answers.boxes()[1].text, labelText(56)) << topic;
            EXPECT_EQ(answers.boxes()[1].caption, labelText(47)) << topic;
            EXPECT_EQ(gateway->loginCount(), 1) << "no new login";
        }
        TearDown();
        SetUp();
    }
}

INSTANTIATE_TEST_SUITE_P(Link, ShortResetWriteTest, ::testing::Values(Link::Telnet), rowName);

// The voice messages need the serial port: over telnet and on the modem line reading, writing and erasing are
// refused with text 68 before anything is sent.
class VoiceRefusalTest : public EveryLinkTest
{
};

TEST_P(VoiceRefusalTest, ReadWriteAndEraseSay68AndSendNothing)
{
    ASSERT_NO_FATAL_FAILURE(start());
    fMain->selectTopic(25);
    writeFile(QStringLiteral("message.wav"), QByteArray(200, 'x'));
    fMain->edVoiceFile->setText(path(QStringLiteral("message.wav")));
    for (QRadioButton* direction : {fMain->rbVoiceRead, fMain->rbVoiceWrite}) {
        direction->setChecked(true);
        fMain->sbVoiceReadWrite->click();
    }
    fMain->sbVoiceDelete->click();
    expectBoxes({{68, 54}, {68, 54}, {68, 54}});
    for (const ScriptedDialogs::Box& box : dialogs().boxes())
        EXPECT_EQ(box.flags, unsigned(MB_ICONINFORMATION));
    EXPECT_TRUE(gateway->receivedLines().isEmpty()) << received().constData();
    EXPECT_EQ(readFile(QStringLiteral("message.wav")), QByteArray(200, 'x'));
    EXPECT_TRUE(fMain->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(NoSerialPort, VoiceRefusalTest, ::testing::Values(Link::Telnet, Link::Modem), rowName);

INSTANTIATE_TEST_SUITE_P(Links, EveryLinkTest, ::testing::Values(Link::Telnet, Link::Serial, Link::Modem), rowName);

} // namespace
