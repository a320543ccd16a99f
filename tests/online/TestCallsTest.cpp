// Test calls against the simulated gateway, over its serial pty and over telnet: the command bytes, the phases
// and the hang-up, the log file, BUSY and ERROR, leaving the page or disconnecting during a run, and the
// captions that follow the model.
#include "online/LiveToolFixture.h"

#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/LiveCells.h"
#include "online/TestCalls.h"
#include "online/ui/TestCallsPage.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

TEST(TestCallRules, CommandsChunksAndHeader)
{
    const std::pair<QByteArray, QByteArray> commands[] = {
        {TestDialCommand(TestDial::Rotating, 1, "123"), "AT!SP32=123\r"},
        {TestDialCommand(TestDial::Via, 0, "123"), "AT!SP0=123\r"},
        {TestDialCommand(TestDial::ViaGsm, 1, "123"), "AT!SG1=123\r"},
        {TestDialCommand(TestDial::Rotating2, 0, "123"), "AT!SE32=123\r"},
        {TestDialCommand(TestDial::Via2, 1, "123"), "AT!SE1=123\r"},
        {TestDialCommand(TestDial::ToGsm, 0, "123"), "AT!SG32=123\r"},
        {TestDialCommand(TestDial::None, 1, "123"), ""},
        {TestWaitCommand(TestWait::FirstIsd, 0), "AT!WP32\r"},
        {TestWaitCommand(TestWait::Incoming, 1), "AT!WP1\r"},
        {TestWaitCommand(TestWait::FirstIsd2, 1), "AT!WE32\r"},
        {TestWaitCommand(TestWait::Incoming2, 0), "AT!WE0\r"},
        {TestWaitCommand(TestWait::From, 1), "AT!WG1\r"},
        {TestWaitCommand(TestWait::FirstGsm, 0), "AT!WG32\r"},
        {TestWaitCommand(TestWait::None, 0), ""},
    };
    for (const auto& [got, expected] : commands)
        EXPECT_EQ(got, expected);
    EXPECT_TRUE(TestCommandFits(QByteArray(127, 'x')));
    EXPECT_FALSE(TestCommandFits(QByteArray(128, 'x')));

    struct Chunk
    {
        QByteArray in;
        bool ignored, ends, answered;
        QByteArray logged, shown;
    };
    const Chunk chunks[] = {
        {"ab", true, false, false, "", ""},
        {"\r\nline\r\n", false, false, false, "line\r\n", "line"},
        {"abc", false, false, false, "abc", "abc"},
        {"\r\n\r\nx\r\ny\r\n\r\n", false, false, false, "\r\nx\r\ny\r\n\r\n", "\r\nx\r\ny\r\n"},
        {"\r\nOK\r\n", false, false, true, "OK\r\n", "OK"},
        {"\r\nBUSY\r\n\r\nOK\r\n", false, true, false, "", "\r\nBUSY\r\n\r\nOK\r\n"},
        {"ERROR\r\n", false, true, false, "", "ERROR\r\n"},
        {"\r\nERROR", false, false, false, "ERROR", "ERROR"},
        {"OK\r\n", false, false, false, "OK\r\n", "OK"},
    };
    for (const Chunk& c : chunks) {
        const TestChunk got = ParseTestChunk(c.in);
        EXPECT_EQ(got.ignored, c.ignored) << c.in.toHex().constData();
        EXPECT_EQ(got.ends, c.ends) << c.in.toHex().constData();
        EXPECT_EQ(got.answered, c.answered) << c.in.toHex().constData();
        EXPECT_EQ(got.logged, c.logged) << c.in.toHex().constData();
        EXPECT_EQ(got.shown, c.shown) << c.in.toHex().constData();
    }
    const QByteArray header = TestCallLogHeader(QDateTime(QDate(2026, 3, 5), QTime(7, 8, 9)));
    EXPECT_TRUE(header.startsWith("\r\n[Testing calls (tracing) : ")) << header.constData();
    EXPECT_TRUE(header.endsWith(" 07:08:09]\r\n\r\n")) << header.constData();
}

class TestCallsTest : public LiveToolTest
{
protected:
    QString logPath() const { return programFolder() + QStringLiteral("/calls-log.txt"); }
    QByteArray logFile() const
    {
        QFile f(logPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The log after its headers (each run's header ends in "]\r\n\r\n").
    QList<QByteArray> logRuns() const
    {
        QList<QByteArray> runs;
        for (const QByteArray& part : logFile().split('['))
            if (part.startsWith("Testing calls (tracing) : "))
                runs << part.mid(part.indexOf("]\r\n\r\n") + 5);
        return runs;
    }
    void openPage()
    {
        fMain->selectTopic(548);
        fMain->edFile->setText(logPath());
        fMain->edNumber1->setText(QStringLiteral("123"));
    }
    static bool idle()
    {
        return !testCallThread && !testCallOverTcp && !testLogFile && fMain->sbDial->isEnabled() &&
               fMain->sbConnect->isEnabled() && !fMain->sbDisconnect->isEnabled() && !fMain->sbStop->isEnabled() &&
               fMain->tbLoadGate->isEnabled() && fMain->tbSaveGate->isEnabled() && fMain->mLoad->isEnabled() &&
               fMain->mSave->isEnabled();
    }
    static bool calling()
    {
        return !fMain->sbDial->isEnabled() && !fMain->sbConnect->isEnabled() && fMain->sbDisconnect->isEnabled() &&
               !fMain->sbStop->isEnabled() && !fMain->tbLoadGate->isEnabled() && !fMain->mLoad->isEnabled();
    }
    static bool tracing()
    {
        return !fMain->sbDial->isEnabled() && !fMain->sbConnect->isEnabled() && !fMain->sbDisconnect->isEnabled() &&
               fMain->sbStop->isEnabled() && !fMain->tbLoadGate->isEnabled() && !fMain->mLoad->isEnabled();
    }
};

TEST_F(TestCallsTest, OnThePtyTheCallGoesFromCallingToTracingAndTheLogGetsEachChunk)
{
    gatewaysim::Config cfg;
    cfg.testCallIntervalMs = 500; // well apart: the reader's read ends 230 ms after a chunk
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    fMain->rbViaGsm->setChecked(true);
    fMain->seViaGsm->setValue(1);
    gateway->clearLog();
    fMain->sbDial->click();
    QPointer<LiveWorker> reader = testCallThread.data();
    ASSERT_TRUE(reader) << qPrintable(dialogs().boxTexts().join('|'));
    EXPECT_TRUE(calling());
    ASSERT_TRUE(waitUntil([] { return fMain->sbStop->isEnabled(); }));
    EXPECT_TRUE(tracing());
    ASSERT_TRUE(gatewayGot("AT!D\r"));
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT!SG1=123\r", "AT!D\r"}));
    ASSERT_TRUE(waitUntil([] { return fMain->mmTest->toPlainText().contains(QStringLiteral("RELEASE")); }));
    fMain->sbStop->click();
    EXPECT_TRUE(idle());
    EXPECT_TRUE(!reader || reader->isFinished()) << "the stop joined its reader";
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT!SG1=123\r", "AT!D\r", "\r\n"}));
    // The leading CR LF of each chunk is dropped; the view shows each without its last one. The gateway's
    // answer to the stop came while the reader was still there.
    EXPECT_EQ(fMain->mmTest->toPlainText(), QStringLiteral("CALL !SG1=123\nOK\nRELEASE cause 16\nOK"));
    EXPECT_EQ(logRuns(), (QList<QByteArray>{"CALL !SG1=123\r\nOK\r\nRELEASE cause 16\r\nOK\r\n"}));
    EXPECT_TRUE(logFile().startsWith("\r\n[Testing calls (tracing) : "));
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

TEST_F(TestCallsTest, OverTelnetTheRouterShowsTheTextAndTheHandlerOnlyLogsIt)
{
    gatewaysim::Config cfg;
    cfg.testCallScript = {"\r\nline one\r\n", "two", "\r\nOK\r\n"};
    cfg.testCallTrace = {"\r\nthree\r\n"};
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    fMain->rbFirstGsm->setChecked(true);
    gateway->clearLog();
    fMain->sbConnect->click();
    EXPECT_TRUE(testCallOverTcp);
    EXPECT_FALSE(testCallThread);
    EXPECT_TRUE(calling());
    ASSERT_TRUE(waitUntil([] { return fMain->mmTest->toPlainText().contains(QStringLiteral("three")); }));
    EXPECT_TRUE(tracing());
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT!WG32\r\n", "AT!D\r\n"}));
    // Its topic chosen again during the run: the page keeps its Stop, and the busy gateway gets no probe.
    gateway->clearLog();
    fMain->selectTopic(548);
    EXPECT_TRUE(fMain->sbStop->isEnabled());
    fMain->sbStop->click();
    EXPECT_TRUE(idle());
    // CR goes out as CR LF on telnet: the stop's CR LF is a line and an empty one.
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"\r\n", "\n"}));
    EXPECT_EQ(logRuns(), (QList<QByteArray>{"line one\r\ntwoOK\r\nthree\r\n"}));
    const QString shown = fMain->mmTest->toPlainText();
    for (const char* once : {"line one", "two", "three"})
        EXPECT_EQ(shown.count(QLatin1String(once)), 1) << once << " in " << qPrintable(shown);
    EXPECT_TRUE(shown.endsWith(QStringLiteral("three\n\nOK"))) << "the stop's answer is shown: " << qPrintable(shown);
    EXPECT_TRUE(CurrentConnection.TcpReceived.isEmpty()) << "and read away";
}

TEST_F(TestCallsTest, BusyOrErrorEndsTheRunWithoutAHangUpAndIsNotLogged)
{
    // Over telnet the router's handler ends the run; on the pty the reader's, from within its hand-over.
    const struct
    {
        QByteArray end;
        bool telnet;
    } cases[] = {{"\r\nBUSY\r\n", true}, {"\r\nERROR\r\n", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.end.constData());
        gatewaysim::Config cfg;
        cfg.testCallScript = {"\r\nringing\r\n", c.end};
        cfg.testCallIntervalMs = 500;
        if (c.telnet)
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        openPage();
        gateway->clearLog();
        fMain->sbDial->click();
        QPointer<LiveWorker> reader = testCallThread.data();
        ASSERT_TRUE(calling());
        ASSERT_TRUE(waitUntil([] { return idle(); }));
        const QList<QByteArray> sent =
            c.telnet ? QList<QByteArray>{"AT!SP32=123\r\n", "\r\n", "\n"} : QList<QByteArray>{"AT!SP32=123\r", "\r\n"};
        EXPECT_EQ(gateway->receivedLines(), sent);
        EXPECT_EQ(logRuns(), (QList<QByteArray>{"ringing\r\n"}));
        EXPECT_EQ(fMain->mmTest->toPlainText().count(QLatin1String(c.end.trimmed())), 1);
        EXPECT_TRUE(waitUntil([&] { return !reader || reader->isFinished(); })) << "the reader ends";
        TearDown();
        SetUp();
    }
}

TEST_F(TestCallsTest, DisconnectAndASecondStartAskFirstAndOnThePtyTheStartEndsTheRunningTestInTheSameWrite)
{
    gatewaysim::Config cfg;
    cfg.testCallScript = {"\r\nringing\r\n"}; // the call is never answered
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    gateway->clearLog();
    fMain->sbDial->click();
    QPointer<LiveWorker> reader = testCallThread.data();
    ASSERT_TRUE(reader);
    ASSERT_TRUE(gatewayGot("AT!SP32=123\r"));

    // Disconnect breaks the call off after a Yes: the gateway's OK moves the page on and the hang-up follows.
    dialogs().answerBoxes({IDNO, IDYES});
    fMain->sbDisconnect->click();
    EXPECT_TRUE(calling());
    fMain->sbDisconnect->click();
    ASSERT_TRUE(waitUntil([] { return tracing(); }));
    ASSERT_TRUE(gatewayGot("AT!D\r"));
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT!SP32=123\r", "\r\n", "AT!D\r"}));

    // A start while the run goes on (its buttons are disabled; the handlers ask all the same).
    gateway->clearLog();
    dialogs().answerBoxes({IDNO, IDYES});
    fMain->sbConnectClick();
    fMain->rbFrom->setChecked(true);
    fMain->seFrom->setValue(1);
    fMain->sbConnectClick();
    ASSERT_TRUE(gatewayGot("AT!WG1\r"));
    EXPECT_EQ(gateway->receivedLines().mid(0, 2), (QList<QByteArray>{"\r\n", "AT!WG1\r"}));
    EXPECT_EQ(testCallThread.data(), reader.data()) << "the reader goes on";
    EXPECT_EQ(logRuns().size(), 2) << "a header at every start";
    ASSERT_EQ(dialogs().boxes().size(), 4);
    for (const ScriptedDialogs::Box& box : dialogs().boxes()) {
        EXPECT_EQ(box.text, labelText(689));
        EXPECT_EQ(box.caption, labelText(54));
    }
    ASSERT_TRUE(waitUntil([] { return tracing(); }));
    fMain->sbStop->click();
    EXPECT_TRUE(idle());
    EXPECT_TRUE(!reader || reader->isFinished());
}

TEST_F(TestCallsTest, LeavingOrDisconnectingMidRunLeavesNoReaderNorRouteAndThePageStartsAgain)
{
    for (const bool telnet : {true, false}) {
        SCOPED_TRACE(telnet ? "telnet" : "pty");
        gatewaysim::Config cfg;
        cfg.testCallScript = {"\r\nringing\r\n"};
        if (telnet)
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        const QByteArray end = telnet ? "\r\n" : "\r";
        openPage();
        fMain->sbDial->click();
        ASSERT_TRUE(calling());
        ASSERT_TRUE(waitUntil([] { return fMain->mmTest->toPlainText().contains(QStringLiteral("ringing")); }));

        // Left for the GSM monitor: the gateway is told, and the monitor's reply reaches its own page.
        gateway->clearLog();
        fMain->selectTopic(543);
        EXPECT_TRUE(idle());
        EXPECT_FALSE(liveTools.anyHoldsLink());
        EXPECT_EQ(gateway->receivedLines().mid(0, 2), (QList<QByteArray>{" AT!D" + end, "\r\n"}));
        fMain->mMonitor->clear();
        fMain->sbSend->click();
        const QString monitor = fMain->mMonitor->toPlainText();
        EXPECT_TRUE(monitor.contains(QStringLiteral("GSM0 monitor"))) << qPrintable(monitor);
        EXPECT_EQ(monitor.count(QStringLiteral("OK")), 1) << "nothing of the test call before it";
        EXPECT_FALSE(fMain->mmTest->toPlainText().contains(QStringLiteral("GSM0")));

        // Back on the page: it starts again; a Disconnect mid-run ends everything.
        fMain->selectTopic(548);
        EXPECT_TRUE(idle());
        gateway->clearLog();
        fMain->sbDial->click();
        ASSERT_TRUE(gatewayGot("AT!SP32=123" + end));
        EXPECT_TRUE(calling());
        EXPECT_TRUE(telnet ? bool(testCallOverTcp) : bool(testCallThread));
        fMain->mDisconnectClick();
        EXPECT_TRUE(idle());
        EXPECT_FALSE(liveTools.anyRunning());
        EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
        TearDown();
        SetUp();
    }
}

TEST_F(TestCallsTest, ATooLongCommandAndAFailedConnectLeaveNoRunAndGiveTheButtonsBack)
{
    ASSERT_NO_FATAL_FAILURE(startSerialGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    // "AT!SP32=" and CR around the number: 118 digits make 127 characters, 119 one too many.
    fMain->edNumber1->setText(QString(119, QLatin1Char('1')));
    gateway->clearLog();
    fMain->sbDial->click();
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes()[0].text, labelText(986));
    EXPECT_TRUE(idle());
    fMain->edNumber1->setText(QString(118, QLatin1Char('1')));
    fMain->sbDial->click();
    ASSERT_TRUE(gatewayGot("AT!SP32=" + QByteArray(118, '1') + "\r"));
    fMain->mDisconnectClick();
    EXPECT_TRUE(idle());

    // No port there any more: the connect fails and reports; the toolbar is given back. The port is a name in
    // the test's own folder that never existed: a freed pty's name may already be another gateway's.
    CurrentConnection.ComPortName = path(QStringLiteral("gone-port"));
    dialogs().clearRecords();
    fMain->sbConnect->click();
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(dialogs().boxes().isEmpty());
    EXPECT_TRUE(idle());
}

TEST_F(TestCallsTest, ThePortCaptionsAreTheSameFromTheModelLayoutAndFromTheLabelPass)
{
    startProgram({});
    auto captions = [] {
        QStringList texts;
        for (QRadioButton* rb : {fMain->rbRotating, fMain->rbVia, fMain->rbRotating2, fMain->rbVia2, fMain->rbFirstIsd2,
                                 fMain->rbIncoming2})
            texts << rb->text();
        return texts;
    };
    for (QAction* language : {fMain->tbEnglish, fMain->tbCzech}) {
        language->trigger();
        const QString r = labelText(551), v = labelText(552);
        for (int model : {1, 0}) {
            SCOPED_TRACE(model);
            fMain->setModelLayout(model);
            const QStringList fromLayout = captions();
            gatewayModel = model;
            fMain->setLabels(labelTexts);
            EXPECT_EQ(captions(), fromLayout);
            const char* second = model == 0 ? "BRI2" : "BRI";
            EXPECT_EQ(fMain->rbRotating2->text(), QString(r).replace(QStringLiteral("%s"), QLatin1String(second)));
            EXPECT_EQ(fMain->rbVia2->text(), QString(v).replace(QStringLiteral("%s"), QLatin1String(second)));
            EXPECT_EQ(fMain->rbFirstIsd2->text(), labelText(model == 0 ? 898 : 900));
            EXPECT_EQ(fMain->rbIncoming2->text(), labelText(model == 0 ? 899 : 901));
            EXPECT_EQ(fMain->rbRotating->isVisibleTo(fMain->pTest), model == 0);
            EXPECT_EQ(fMain->seIncoming->isVisibleTo(fMain->pTest), model == 0);
        }
        EXPECT_EQ(fMain->rbRotating->text(), QString(r).replace(QStringLiteral("%s"), QStringLiteral("BRI1")));
    }
    // The one-port model's first entry checks its port's options; a check on a hidden option moves on.
    gatewayModel = 1;
    fMain->setModelLayout(1);
    fMain->selectTopic(548);
    EXPECT_TRUE(fMain->rbRotating2->isChecked());
    EXPECT_TRUE(fMain->rbFirstIsd2->isChecked());
    fMain->setModelLayout(0);
    fMain->rbVia->setChecked(true);
    fMain->rbIncoming->setChecked(true);
    fMain->setModelLayout(1);
    EXPECT_TRUE(fMain->rbRotating2->isChecked());
    EXPECT_TRUE(fMain->rbIncoming2->isChecked());
}

} // namespace
