// Tracing against the simulated gateway, over its serial pty and over telnet: the exact commands, what the
// view and the trace file get, the stop while the gateway streams, and the page's texts.
#include "online/LiveToolFixture.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/LiveCells.h"
#include "online/Tracing.h"
#include "online/ui/TracingPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextBlock>

namespace {

class TracingTest : public LiveToolTest
{
protected:
    QString traceFilePath() const { return programFolder() + QStringLiteral("/trace.txt"); }
    QByteArray traceFile() const
    {
        QFile f(traceFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void openPage()
    {
        fMain->selectTopic(20);
        fMain->edTracFile->setText(traceFilePath());
    }
};

TEST(TracingRules, MaskLevelAndLineAssembly)
{
    struct Mask
    {
        bool s34, ts, full, s2, lcr;
        int mask;
    };
    for (const Mask& m : {Mask{false, false, true, false, false, 31}, Mask{true, false, false, true, false, 9},
                          Mask{false, false, false, false, false, 0}, Mask{true, true, true, true, true, 31},
                          Mask{false, true, false, false, true, 18}})
        EXPECT_EQ(TracingMask(m.s34, m.ts, m.full, m.s2, m.lcr), m.mask);
    EXPECT_EQ(TracingMaskCommand(9), "AT%S92=9\r");
    EXPECT_EQ(TracingLevelCommand(0, 3), "AT!L3\r");
    EXPECT_EQ(TracingLevelCommand(1, 3), "AT!R3\r");
    EXPECT_EQ(TracingLevelCommand(-1, 2), "AT!R2\r");

    // abc CR LF CR LF xyz CR LF: two lines with their carriage returns; LF LF: an empty line.
    QByteArray line, done;
    QList<QByteArray> shown;
    for (char c : QByteArray("abc\r\n\r\nxyz\r\n\n"))
        if (TraceByte(c, line, done))
            shown << done;
    EXPECT_EQ(shown, (QList<QByteArray>{"abc\r", "xyz\r", ""}));
    EXPECT_TRUE(line.isEmpty());

    // The start's reply ends with its first OK line; the trace may follow in the same read.
    EXPECT_EQ(TraceStartReplyLength("\r\nOK\r\n1 TRACE R2\r\n2 TR"), 6);
    EXPECT_EQ(TraceStartReplyLength("\r\nBOOK\r\nOK\r\n"), 12);
    EXPECT_EQ(TraceStartReplyLength("\r\nERROR\r\n"), -1);
}

TEST_F(TracingTest, OnThePtyOneByteAtATimeIntoTheViewAndTheFile)
{
    gatewaysim::Config cfg;
    cfg.traceScript = "abc\r\n\r\nxyz\r\n";
    cfg.traceIntervalMs = 600; // well after the start's reply, which is read until the line stays quiet
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    fMain->cbTracState34->setChecked(true);
    fMain->cbTracState2->setChecked(true);
    fMain->rbTracTcpTelnet->setChecked(true);
    fMain->cbTracType->setCurrentIndex(0);
    fMain->cbTracTypeChange();
    EXPECT_EQ(fMain->rbTracTcpTelnet->text(), labelText(150));

    for (int run = 1; run <= 2; ++run) {
        gateway->clearLog();
        fMain->sbTracStart->click();
        ASSERT_TRUE(tracingThread) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_EQ(fMain->sbTracStart->text(), labelText(153));
        EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
        EXPECT_FALSE(fMain->mSave->isEnabled());
        ASSERT_TRUE(waitUntil([] { return fMain->mTracing->toPlainText() == QStringLiteral("abc\nxyz"); }))
            << run << ": " << qPrintable(fMain->mTracing->toPlainText());
        fMain->sbTracStart->click();
        EXPECT_FALSE(tracingThread);
        EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT%S92=9\r", "AT!L3\r", "AT!RX\r"}));
        EXPECT_EQ(fMain->sbTracStart->text(), labelText(152));
        EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
        EXPECT_TRUE(fMain->mSave->isEnabled());
    }
    const QByteArray file = traceFile();
    EXPECT_EQ(file.count("\r\n[Tracing : "), 2) << "each start appends its header";
    EXPECT_TRUE(file.endsWith("]\r\n\r\nabc\r\nxyz\r\n")) << file.constData();
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));

    // The stop's OK was read away: the next command gets its own reply.
    QByteArray reply;
    EXPECT_EQ(SendCommandOk("AT\r\n", reply, 128), "\r\nOK\r\n");
}

TEST_F(TracingTest, OverTelnetTheRouterBringsTheTextAndTheFileGetsTheChunksAsTheyCame)
{
    gatewaysim::Config cfg;
    cfg.traceScript = "abc\r\n\r\nxyz\r\n";
    cfg.faults.chunkSize = 5;
    cfg.faults.chunkDelayMs = 30;
    cfg.traceIntervalMs = 400;
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    fMain->cbTracType->setCurrentIndex(0);
    fMain->rbTracTelnet->setChecked(true);
    gateway->clearLog();
    fMain->sbTracStart->click();
    EXPECT_TRUE(tracingOverTcp);
    EXPECT_EQ(fMain->cbTracType->currentIndex(), 1) << "telnet traces VoIP and GSM messages only";
    // Line by line: carriage returns are not shown, the LF after an LF adds no line.
    ASSERT_TRUE(waitUntil([] { return fMain->mTracing->toPlainText() == QStringLiteral("abc\nxyz\n"); }))
        << qPrintable(fMain->mTracing->toPlainText());
    fMain->sbTracStart->click();
    EXPECT_FALSE(tracingOverTcp);
    // CR goes out as CR LF on telnet.
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT%S92=0\r\n", "AT!R4\r\n", "AT!RX\r\n"}));
    EXPECT_TRUE(traceFile().endsWith("]\r\n\r\nabc\r\n\r\nxyz\r\n")) << traceFile().constData();
    EXPECT_TRUE(CurrentConnection.TcpReceived.isEmpty()) << "the stop's answer was thrown away";
}

TEST_F(TracingTest, AFailedStartShowsTheErrorAndLeavesNoTrace)
{
    // A level answered BUSY, and a trace file that cannot be opened (the trace then runs without one).
    ASSERT_NO_FATAL_FAILURE(startSerialGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    gateway->setFaults([] {
        gatewaysim::Faults f;
        f.errorToAll = true;
        return f;
    }());
    fMain->sbTracStart->click();
    EXPECT_FALSE(tracingThread);
    EXPECT_EQ(fMain->sbTracStart->text(), QStringLiteral("Start"));
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes()[0].text, labelText(56));
    EXPECT_EQ(dialogs().boxes()[0].caption, labelText(47));

    gateway->setFaults({});
    dialogs().clearRecords();
    fMain->edTracFile->setText(programFolder() + QStringLiteral("/no/such/folder/trace.txt"));
    fMain->sbTracStart->click();
    EXPECT_TRUE(tracingThread);
    EXPECT_EQ(::traceFile, nullptr);
    fMain->sbTracStart->click();
    EXPECT_TRUE(dialogs().boxes().isEmpty());
}

TEST_F(TracingTest, StoppedWhileTheGatewayStreamsEveryLineIsSeenOnceAndNoReaderIsLeft)
{
    gatewaysim::Config cfg;
    cfg.traceIntervalMs = 1;
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    for (int run = 0; run < 5; ++run) {
        fMain->sbTracStart->click();
        QPointer<LiveWorker> reader = tracingThread.data();
        ASSERT_TRUE(reader) << qPrintable(dialogs().boxTexts().join('|'));
        ASSERT_TRUE(waitUntil([run] { return fMain->mTracing->blockCount() > 20 + run * 7; }));
        fMain->sbTracStart->click();
        EXPECT_FALSE(tracingThread);
        EXPECT_TRUE(!reader || reader->isFinished()) << "the stop joined its reader";
        EXPECT_EQ(::traceFile, nullptr);
    }
    // Per run: consecutive numbers (its first line may have begun before the reader did); across runs: rising.
    const QList<QByteArray> runs = traceFile().split('[').mid(1);
    ASSERT_EQ(runs.size(), 5);
    int last = 0;
    for (const QByteArray& run : runs) {
        QList<QByteArray> lines = run.split('\n').mid(3); // the header's rest and its empty line
        lines.removeFirst();
        while (!lines.isEmpty() && (lines.last().isEmpty() || lines.last() == "\r"))
            lines.removeLast(); // the next header begins with CR LF
        ASSERT_GT(lines.size(), 10);
        static const QRegularExpression line(QStringLiteral("^(\\d+) TRACE R2\r$"));
        int previous = -1;
        for (const QByteArray& l : lines) {
            const auto m = line.match(QString::fromLatin1(l));
            ASSERT_TRUE(m.hasMatch()) << l.toHex().constData();
            const int n = m.captured(1).toInt();
            if (previous >= 0) {
                EXPECT_EQ(n, previous + 1);
            }
            EXPECT_GT(n, last);
            previous = n;
        }
        last = previous;
    }
}

TEST_F(TracingTest, TheTraceRightBehindTheStartsReplyReachesTheViewAndTheFileWhole)
{
    for (const bool serial : {true, false}) {
        SCOPED_TRACE(serial ? "serial" : "telnet");
        gatewaysim::Config cfg;
        cfg.traceIntervalMs = 3; // lines follow the start's OK at once and fill its read
        if (serial)
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        openPage();
        fMain->sbTracStart->click();
        ASSERT_TRUE(TracingPage::tracingRuns()) << qPrintable(dialogs().boxTexts().join('|'));
        ASSERT_TRUE(waitUntil([] { return fMain->mTracing->blockCount() > 60; }));
        fMain->sbTracStart->click();
        const QStringList shown = fMain->mTracing->toPlainText().split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(shown.value(0), QStringLiteral("1 TRACE R2"));
        const QByteArray file = traceFile();
        const QList<QByteArray> lines = file.mid(file.indexOf("]\r\n\r\n") + 5).split('\n');
        ASSERT_GT(lines.size(), 60);
        for (int i = 0; i < 60; ++i)
            ASSERT_EQ(lines[i], QByteArray::number(i + 1) + " TRACE R2\r") << i;
        TearDown();
        SetUp();
    }
}

TEST_F(TracingTest, ChosenAgainWhileItRunsTheTraceKeepsTheWholeGatewayRunsDisabled)
{
    ASSERT_NO_FATAL_FAILURE(startSerialGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    fMain->sbTracStart->click();
    ASSERT_TRUE(tracingThread) << qPrintable(dialogs().boxTexts().join('|'));
    fMain->selectTopic(20);
    EXPECT_TRUE(tracingThread) << "the trace goes on";
    EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
    EXPECT_FALSE(fMain->tbSaveGate->isEnabled());
    EXPECT_FALSE(fMain->mLoad->isEnabled());
    EXPECT_FALSE(fMain->mSave->isEnabled());
    // A language switch asks the gateway nothing while the trace holds the line: the stop is all it gets.
    gateway->clearLog();
    fMain->tbCzechClick();
    fMain->sbTracStart->click();
    EXPECT_TRUE(gatewayGot("AT!RX\r"));
    EXPECT_EQ(gateway->receivedLines(), QList<QByteArray>{"AT!RX\r"});
    EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
    EXPECT_TRUE(fMain->mSave->isEnabled());
}

// A gateway that answers the stop's "AT!RX" with ERROR and traces on. However the trace ends on the serial port
// or the modem line, the drain of the stop's answer gives the window's thread back while the gateway still
// talks. (Disconnect on the modem line hangs up, which ends the gateway's talk with the call.)
enum class TraceEnd { Stop, Leave, Disconnect };

struct DrainRow
{
    const char* name;
    bool modem;
    TraceEnd end;
};

class TracingStopDrainTest : public TracingTest, public testing::WithParamInterface<DrainRow>
{
protected:
};

TEST_P(TracingStopDrainTest, EndsWhileTheGatewayTracesOn)
{
    const DrainRow& row = GetParam();
    gatewaysim::Config cfg;
    cfg.traceScript = QByteArray("TRACE LINE\r\n").repeated(40);
    cfg.traceIntervalMs = 100;
    if (row.modem)
        ASSERT_NO_FATAL_FAILURE(startListedModemGateway(cfg));
    else
        ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    gatewaysim::Faults f;
    f.errorOn = {"AT!RX"};
    f.trickleMs = 20; // the script takes about 10 s
    gateway->setFaults(f);
    fMain->sbTracStart->click();
    ASSERT_TRUE(tracingThread) << qPrintable(dialogs().boxTexts().join('|'));
    ASSERT_TRUE(waitUntil([] { return fMain->mTracing->toPlainText().contains(QStringLiteral("TRACE LINE")); }));
    switch (row.end) {
    case TraceEnd::Stop:
        fMain->sbTracStart->click();
        break;
    case TraceEnd::Leave:
        fMain->selectTopic(30);
        break;
    case TraceEnd::Disconnect:
        fMain->mDisconnectClick();
        break;
    }
    EXPECT_TRUE(gateway->sending()) << "the window's thread came back while the gateway still talked";
    EXPECT_FALSE(tracingThread);
    EXPECT_EQ(fMain->sbTracStart->text(), labelText(152));
    EXPECT_TRUE(gatewayGot("AT!RX\r"));
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
}

INSTANTIATE_TEST_SUITE_P(SerialAndModem, TracingStopDrainTest,
                         testing::Values(DrainRow{"SerialStop", false, TraceEnd::Stop},
                                         DrainRow{"SerialLeave", false, TraceEnd::Leave},
                                         DrainRow{"SerialDisconnect", false, TraceEnd::Disconnect},
                                         DrainRow{"ModemStop", true, TraceEnd::Stop},
                                         DrainRow{"ModemLeave", true, TraceEnd::Leave}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TracingTest, TheViewKeepsItsLastLinesAndTheFileEveryLine)
{
    liveViewLineLimit = 5;
    gatewaysim::Config cfg;
    cfg.traceIntervalMs = 5;
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    openPage();
    fMain->sbTracStart->click();
    ASSERT_TRUE(tracingThread) << qPrintable(dialogs().boxTexts().join('|'));
    static const QRegularExpression number(QStringLiteral("^(\\d+) "));
    auto lastShown = [] {
        return number.match(fMain->mTracing->document()->lastBlock().text()).captured(1).toInt();
    };
    ASSERT_TRUE(waitUntil([&] { return lastShown() > 30; }));
    fMain->sbTracStart->click();
    const int last = lastShown();
    EXPECT_EQ(fMain->mTracing->blockCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(fMain->mTracing->document()->findBlockByNumber(i).text(),
                  QStringLiteral("%1 TRACE R2").arg(last - 4 + i));
    const QByteArray file = traceFile();
    EXPECT_EQ(file.count(" TRACE R2\r\n"), last) << "the file keeps every line";
}

} // namespace
