// The terminal against the simulated gateway (echoing, as the gateway's own terminal does), over its serial
// pty and over telnet: keys and pastes as bytes, the echo as the only display, the erase sequences, the
// keep-alive of an idle terminal and leaving the topic.
#include "online/LiveToolFixture.h"

#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/LiveCells.h"
#include "online/Terminal.h"
#include "online/Tracing.h"
#include "online/ui/TerminalPart.h"
#include "online/ui/TracingPage.h"

#include <QAction>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

class TerminalTest : public LiveToolTest
{
protected:
    void startEchoing(bool serial, bool echo = true)
    {
        gatewaysim::Config cfg;
        cfg.echo = echo;
        if (serial)
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        fMain->selectTopic(21);
        ASSERT_FALSE(fMain->mTerminal->isHidden());
        gateway->clearLog();
    }
    static QString shown() { return fMain->mTerminal->toPlainText(); }
};

TEST(TerminalRules, EachEraseSequenceRemovesOneCharacterAndTheRestIsAppended)
{
    struct Case
    {
        QByteArray before, chunk, after;
    };
    const Case cases[] = {
        {"abc", "\b \b", "ab"},
        {"abc", "\b \b\b \b", "a"},     // two in one chunk: two characters
        {"abc", "\x1b[D \x1b[D", "ab"}, // cursor-left, blank, cursor-left: one character
        {"abc", "\x1b[D \x1b", "ab"},
        {"abc", "OK\x1b", "abcO"},      // the letters stay, the ESC takes one
        {"", "\b \b", ""},              // nothing to remove
        {"ab", "c\r\n\b", "abc\r\n\b"}, // a lone backspace is text
        {"x", "\x1b[D\x1b[D", ""},      // two cursor-lefts: two
        {"a\nb", "\b \b\b \b", "a"},      // the line feed goes too
    };
    for (const Case& c : cases) {
        QByteArray text = c.before;
        qsizetype feeds = text.count('\n');
        ApplyTerminalChunk(text, c.chunk, &feeds);
        EXPECT_EQ(text, c.after) << c.chunk.toHex().constData();
        EXPECT_EQ(feeds, text.count('\n')) << c.chunk.toHex().constData();
    }
}

TEST_F(TerminalTest, TheTextAndTheViewKeepTheirLastLines)
{
    liveViewLineLimit = 3;
    ASSERT_NO_FATAL_FAILURE(startEchoing(true, false));
    fMain->mTerminalPaste(QByteArray("AT\rAT\rATI3\r"));
    // The last reply is "\r\nMesk MX GSM-ISDN gateway\r\n(c) Korvath\r\nOK\r\n": its last three lines stay.
    ASSERT_TRUE(waitUntil([] { return shown() == QStringLiteral("(c) Korvath\nOK\n"); })) << qPrintable(shown());
    fMain->selectTopic(30);
    EXPECT_EQ(terminalText, "(c) Korvath\r\nOK\r\n");
    EXPECT_EQ(terminalTextLineFeeds, 2);
}

TEST_F(TerminalTest, OnThePtyTheEchoIsShownAndTheGatewaysErasesApply)
{
    ASSERT_NO_FATAL_FAILURE(startEchoing(true));
    EXPECT_FALSE(fMain->tbLoadGate->isEnabled());
    EXPECT_FALSE(fMain->mLoad->isEnabled());
    ASSERT_TRUE(terminalThread);
    QTest::keyClicks(fMain->mTerminal, QStringLiteral("ATX"));
    ASSERT_TRUE(waitUntil([] { return shown().endsWith(QStringLiteral("ATX")); })) << qPrintable(shown());
    // Two backspaces: the gateway echoes BS SP BS for each; the view erases only by the echo on this link.
    QTest::keyClick(fMain->mTerminal, Qt::Key_Backspace);
    QTest::keyClick(fMain->mTerminal, Qt::Key_Backspace);
    ASSERT_TRUE(waitUntil([] { return shown().endsWith(QStringLiteral("\nA")) || shown() == QStringLiteral("A"); }))
        << qPrintable(shown());
    QTest::keyClicks(fMain->mTerminal, QStringLiteral("T"));
    QTest::keyClick(fMain->mTerminal, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([] { return shown().contains(QStringLiteral("AT\n\nOK")); })) << qPrintable(shown());
    EXPECT_EQ(received(), "ATX\b\bT\r") << "one byte per key, the gateway took the line as AT";
    QTest::keyClick(fMain->mTerminal, Qt::Key_Delete);
    EXPECT_EQ(received(), "ATX\b\bT\r") << "Delete is not sent";

    // Leaving writes CR LF and ends the reader; the text comes back with the next chunk after reopening.
    QPointer<LiveWorker> reader = terminalThread.data();
    fMain->selectTopic(30);
    EXPECT_TRUE(fMain->mTerminal->isHidden());
    EXPECT_FALSE(terminalThread);
    EXPECT_TRUE(!reader || reader->isFinished());
    EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
    EXPECT_EQ(CurrentConnection.Handle->timeouts().readTotalConstant, 160u) << "the normal time-outs are back";
    EXPECT_TRUE(gatewayGot("\r\n"));
    // terminalText is read here only while no reader runs: a running reader appends to it on its own thread,
    // and the view gets copies of it on this one.
    const QString kept = QString::fromLatin1(terminalText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ASSERT_FALSE(kept.isEmpty());
    fMain->selectTopic(21);
    EXPECT_EQ(CurrentConnection.Handle->timeouts().readTotalConstant, 1u);
    QTest::keyClick(fMain->mTerminal, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return shown().size() > kept.size(); })) << qPrintable(shown());
    EXPECT_TRUE(shown().startsWith(kept)) << qPrintable(shown());
}

TEST_F(TerminalTest, LettersGoOutAndComeBackInTheGatewaysCodePage)
{
    for (const bool serial : {true, false}) {
        ASSERT_NO_FATAL_FAILURE(startEchoing(serial));
        // Windows-1250: c with caron is E8, s with caron 9A.
        for (const QChar letter : QStringLiteral("\u010D\u0161")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
            QCoreApplication::sendEvent(fMain->mTerminal, &press);
        }
        ASSERT_TRUE(waitUntil([] { return shown().endsWith(QStringLiteral("\u010D\u0161")); })) << qPrintable(shown());
        QTest::keyClick(fMain->mTerminal, Qt::Key_Return);
        ASSERT_TRUE(waitUntil([] { return shown().contains(QStringLiteral("ERROR")); })) << qPrintable(shown());
        EXPECT_EQ(gateway->receivedBytes(), serial ? QByteArray("\xE8\x9A\r") : QByteArray("\xE8\x9A\r\n"));
        TearDown();
        SetUp();
    }
}

TEST_F(TerminalTest, APasteGoesOutByteByByteWithoutHoldingTheWindow)
{
    for (const bool serial : {true, false}) {
        ASSERT_NO_FATAL_FAILURE(startEchoing(serial));
        fMain->mTerminalPaste(QByteArray("AT\r"));
        EXPECT_TRUE(gateway->receivedBytes().isEmpty()) << "the paste returns before its bytes go out";
        ASSERT_TRUE(waitUntil([] { return shown().contains(QStringLiteral("OK")); })) << qPrintable(shown());
        // On telnet a CR goes out as CR LF.
        EXPECT_EQ(gateway->receivedBytes(), serial ? QByteArray("AT\r") : QByteArray("AT\r\n"));
        TearDown();
        SetUp();
    }
}

TEST_F(TerminalTest, AnIdleTelnetTerminalStaysConnectedWhileTheGatewayAnswersTheKeepAlive)
{
    // Without the echo, only the gateway's answer reaches the terminal.
    ASSERT_NO_FATAL_FAILURE(startEchoing(false, false));
    EXPECT_TRUE(terminalOverTcp);
    // The turns are driven by hand on a moved clock; the timer's own ticks would add turns of their own.
    fMain->tLoginTimer->stop();
    for (int turn = 1; turn <= 3; ++turn) {
        lastLinkActivity.store(Clock::seconds());
        Clock::advance(91 * 1000);
        fMain->tLoginTimerTimer();
        EXPECT_TRUE(OwedReplyNow().owed);
        ASSERT_TRUE(waitUntil([] { return !OwedReplyNow().owed; })) << "turn " << turn;
        EXPECT_TRUE(CurrentConnection.Connected);
    }
    // ("\r\n" goes out as CR LF LF on telnet: the LF after the line is an empty line. The gateway answers at
    // the line's end, so the last LF may still be on its way.)
    EXPECT_TRUE(waitUntil([&] { return gateway->receivedLines().size() >= 6; }));
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT\r\n", "\n", "AT\r\n", "\n", "AT\r\n", "\n"}));

    // A gateway that no longer answers is left at the next turn.
    gatewaysim::Faults f;
    f.silent = true;
    gateway->setFaults(f);
    for (int turn = 0; turn < 2; ++turn) {
        lastLinkActivity.store(Clock::seconds());
        Clock::advance(91 * 1000);
        fMain->tLoginTimerTimer();
        WaitPumping(200);
    }
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_TRUE(fMain->mTerminal->isHidden());
    EXPECT_FALSE(terminalOverTcp);
}

TEST_F(TerminalTest, DisconnectJoinsTheTerminalAndTheTracingBeforeTheLinkCloses)
{
    gatewaysim::Config cfg;
    cfg.traceIntervalMs = 5;
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    fMain->selectTopic(20);
    fMain->sbTracStart->click();
    // The terminal opened from code as well (a topic change would end the trace): two readers at work.
    fMain->OpenTerminal();
    QPointer<LiveWorker> terminal = terminalThread.data();
    QPointer<LiveWorker> tracing = tracingThread.data();
    ASSERT_TRUE(terminal && tracing) << qPrintable(dialogs().boxTexts().join('|'));
    ASSERT_TRUE(waitUntil([&] { return terminal->isRunning() && tracing->isRunning(); }));
    std::shared_ptr<ComPort> port = CurrentConnection.Handle;
    // A tool after them in Disconnect's order looks at the link and the readers when its turn comes.
    QList<bool> atProbe;
    LiveTool probe;
    probe.running = [] { return true; };
    probe.stopForDisconnect = [&] {
        atProbe = {port->isOpen(), !terminalThread, !tracingThread, !terminal || !terminal->isRunning(),
                   !tracing || !tracing->isRunning()};
    };
    liveTools.add(LiveToolSlot::OnlineCommands, probe);
    fMain->mDisconnect->trigger();
    EXPECT_EQ(atProbe, (QList<bool>{true, true, true, true, true})) << "both readers ended, the link still open";
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(port->isOpen());
    EXPECT_TRUE(fMain->mTerminal->isHidden());
    EXPECT_EQ(fMain->sbTracStart->text(), labelText(152));
}

} // namespace
