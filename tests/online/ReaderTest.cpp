// The whole-reply reader through the main window against what a gateway may send: a reply's end markers inside
// the user's texts, answers that come after their exchange has ended or pause inside a value, the gateway's login
// prompt past the size a reply keeps, and gateways that leave some commands or every reply's end unanswered.
#include "LiveToolFixture.h"
#include "SystemInput.h"

#include "link/ExchangeState.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/ui/CommandsPage.h"
#include "pages/IsdnPage.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"

#include <QCheckBox>
#include <QDialog>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

struct ReaderRow
{
    const char* name;
    Link link;
    gatewaysim::Faults faults;
    std::function<void(class ReaderTest&)> run;
    gatewaysim::Config config = {};
};

void PrintTo(const ReaderRow& row, std::ostream* os)
{
    *os << linkName(row.link) << row.name;
}

class ReaderTest : public LiveToolTest, public ::testing::WithParamInterface<ReaderRow>
{
public:
    using LiveToolTest::dialogs;
    using LiveToolTest::waitUntil;
    gatewaysim::Gateway& sim() { return *gateway; }
    void programModemWaits() // not the fixture's shortened ones
    {
        std::tie(modemReplyWaitMs, modemCredentialWaitMs, modemIdentWaitMs) =
            std::tuple(kModemWaits[0], kModemWaits[1], kModemWaits[2]);
    }
};

TEST_P(ReaderTest, EachExchangeReadsItsOwnReply)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam().link, GetParam().config));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->setFaults(GetParam().faults);
    dialogs().clearRecords();
    gateway->clearLog();
    GetParam().run(*this);
}

gatewaysim::Faults pieces(int gapMs)
{
    gatewaysim::Faults f;
    f.chunkSize = 64;
    f.chunkDelayMs = gapMs;
    return f;
}

gatewaysim::Faults late(int ms)
{
    gatewaysim::Faults f;
    f.replyDelayMs = ms;
    return f;
}

// The ISDN page's BRI state text holds what ends a reply elsewhere: the whole load and save read every reply to
// its end.
std::function<void(ReaderTest&)> valueLine(const char* text)
{
    return [text](ReaderTest& test) {
        test.sim().setValue("I52", text);
        fMain->tbLoadGateClick();
        EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(kTextLoadDone)});
        EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
        EXPECT_EQ(fMain->edIsdnStateSms->text(), QString::fromLatin1(text));
        test.dialogs().clearRecords();
        fMain->tbSaveGateClick();
        EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(kTextSaveDone)});
        EXPECT_TRUE(test.sim().receivedLines().contains("AT%I52=" + QByteArray(text) + "\r\n"));
    };
}

// Serial, answers later than the bound: the port modes' load fails with its box; Buffer state then shows its own
// values.
void portModesFailThenBuffer(ReaderTest& test)
{
    registeredPage(PageId::PortModes)->loadClick();
    EXPECT_EQ(test.dialogs().boxes().size(), 1);
    EXPECT_FALSE(LoadErrors.isEmpty());
    test.dialogs().clearRecords();
    fMain->selectTopic(494);
    EXPECT_EQ(fMain->lbBuffer1->text(), QStringLiteral("48211"));
    EXPECT_EQ(fMain->lbBuffer5->text(), QStringLiteral("3"));
    EXPECT_TRUE(test.dialogs().boxes().isEmpty()) << qPrintable(test.dialogs().boxTexts().join('|'));
}

// Telnet at LanTimeout 1000: one poll of the actual calls, written where the whole-second clock ends its read
// before its answer comes; then Date and time reads the gateway's clock.
void actualCallsThenClock(ReaderTest& test)
{
    fMain->selectTopic(235);
    fMain->tActual->stop(); // the poll below is the page's only one
    QTest::qWait(int((1780 - QDateTime::currentMSecsSinceEpoch() % 1000) % 1000));
    fMain->tActualTimer();
    fMain->selectTopic(18);
    fMain->cbSynDateTime->setChecked(true);
    fMain->cbSynDateTime->setChecked(false);
    EXPECT_EQ(fMain->eDate->text(), QStringLiteral("05.12.2026"));
    EXPECT_EQ(fMain->eTime->text(), QStringLiteral("09:05:07"));
    EXPECT_TRUE(test.dialogs().boxes().isEmpty()) << qPrintable(test.dialogs().boxTexts().join('|'));
}

// A whole load against a gateway that leaves replies unfinished ends with one box (within boundMs of the click
// when given), the gateway having heard lastCommands last; failed (nullptr: not looked at) is the box's list.
std::function<void(ReaderTest&)> wholeLoadEnds(QList<QByteArray> lastCommands, const char* failed, qint64 boundMs = 0)
{
    return [lastCommands, failed, boundMs](ReaderTest& test) {
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        fMain->tbLoadGateClick();
        if (boundMs)
            EXPECT_LT(QDateTime::currentMSecsSinceEpoch() - start, boundMs);
        EXPECT_EQ(test.dialogs().boxes().size(), 1) << qPrintable(test.dialogs().boxTexts().join('|'));
        QList<QByteArray> heard; // without their line ends, which differ by link
        for (const QByteArray& line : test.sim().receivedLines())
            if (!line.trimmed().isEmpty())
                heard << line.trimmed();
        EXPECT_EQ(heard.mid(heard.size() - lastCommands.size()).join('|').toStdString(),
                  lastCommands.join('|').toStdString());
        if (failed)
            EXPECT_EQ(LoadErrors.toStdString(), failed);
    };
}

// I52's value stopping pauseMs after its "=", past the reply's quiet bound, the rest coming in two pieces: the
// ISDN page's load fails with its box; the System page's load then gets its own reply whole, the value's rest
// taken as the cut reply's.
std::function<void(ReaderTest&)> cutValue(const char* text, int pauseMs)
{
    return [text, pauseMs](ReaderTest& test) {
        test.sim().setValue("I52", text);
        test.sim().setValue("I62", QByteArray(60, 'z'));
        gatewaysim::Faults f = pieces(100);
        f.pauseAfter = "I52=";
        f.pauseAfterMs = pauseMs;
        test.sim().setFaults(f);
        // Telnet cuts the reply at a step of the whole-second clock: begun as a second begins, it ends about 1.9 s
        // after the "=", and the rest comes within the owed reply's quiet second.
        if (CurrentConnection.LinkType == LinkTelnet)
            QTest::qWait(int((1000 - QDateTime::currentMSecsSinceEpoch() % 1000) % 1000));
        registeredPage(PageId::Isdn)->loadClick();
        EXPECT_EQ(test.dialogs().boxes().size(), 1);
        EXPECT_FALSE(LoadErrors.isEmpty());
        test.dialogs().clearRecords();
        registeredPage(PageId::System)->loadClick();
        EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(kTextLoadDone)});
        EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
        EXPECT_TRUE(CurrentConnection.Connected);
    };
}

// The login prompt past the 1024 bytes the System page keeps of its view: the session has ended, told once.
void promptPastSize(ReaderTest& test)
{
    test.sim().setValue("S85", QByteArray(1100, 'x') + "\r\nMX login: ");
    registeredPage(PageId::System)->loadClick();
    EXPECT_TRUE(ReaderTest::waitUntil([] { return !CurrentConnection.Connected; }, 1000));
    EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(56)});
    QList<QByteArray> after; // what the gateway heard after the view; the modem's hang-up is the modem's
    for (const QByteArray& line : test.sim().receivedLines().mid(test.sim().receivedLines().indexOf("AT&V\r\n") + 1))
        if (!line.trimmed().isEmpty() && line != "+++" && line != "ATH\r")
            after << line;
    EXPECT_EQ(after, QList<QByteArray>{});
}

gatewaysim::Faults errorOn(QList<QByteArray> commands)
{
    gatewaysim::Faults f;
    f.errorOn = std::move(commands);
    return f;
}

// "MX login:" within a line is text, not the gateway's prompt: an online command holding it, which the module
// echoes ("GSM0: MX login: x"), and a call record holding it end nothing, and the next page loads.
void promptWithinLines(ReaderTest& test)
{
    fMain->selectTopic(685);
    fMain->edCommand->setText(QStringLiteral("MX login: x"));
    fMain->sbCommandsStart->click();
    EXPECT_TRUE(ReaderTest::waitUntil(
        [] { return fMain->m1->toPlainText().contains(QStringLiteral("OK")) && !CommandsPage::commandsRuns(); }));
    fMain->sbCallLoadClick();
    fMain->sbCallLoadDeleteClick();
    EXPECT_TRUE(fMain->mCall->toPlainText().contains(QStringLiteral("MX login: x")));
    registeredPage(PageId::System)->loadClick();
    EXPECT_EQ(test.dialogs().boxTexts(), QStringList(3, labelText(kTextLoadDone)));
    EXPECT_TRUE(CurrentConnection.Connected);
}

gatewaysim::Config recordWithPrompt()
{
    gatewaysim::Config c;
    c.callRecords = {"05.12.26 09:00:01 out   16  777123456  1  00:00:05  MX login: x"};
    return c;
}

gatewaysim::Faults pausedAfter(const char* bytes, int ms)
{
    gatewaysim::Faults f;
    f.pauseAfter = bytes;
    f.pauseAfterMs = ms;
    return f;
}

// A call record pausing right before "  MX login: x" within its line: the listing's next piece continues that
// line, so the download ends as usual (its closing line end written), no box 56, the session kept.
void recordPausedBeforePrompt(ReaderTest& test)
{
    fMain->sbCallLoadClick();
    EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(kTextLoadDone)});
    EXPECT_TRUE(fMain->mCall->toPlainText().contains(QStringLiteral("MX login: x")));
    EXPECT_FALSE(ReaderTest::waitUntil([] { return !CurrentConnection.Connected; }, 1000));
    EXPECT_EQ(test.sim().receivedLines(), (QList<QByteArray>{"AT&C\r\n", "\r\n"}));
}

// The voice page's view, longer than the 511 bytes its reads keep, with the login prompt after byte 700: the
// session's end is told at once and the erase never goes out.
gatewaysim::Faults voiceViewWithPrompt()
{
    gatewaysim::Faults f;
    f.voiceView = "File length: 8000\n" + QByteArray(720, '.') + "\nMX login: ";
    return f;
}

void voiceErasePastPrompt(ReaderTest& test)
{
    fMain->selectTopic(25);
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    fMain->sbVoiceDelete->click();
    EXPECT_TRUE(ReaderTest::waitUntil([] { return !CurrentConnection.Connected; }));
    EXPECT_LT(QDateTime::currentMSecsSinceEpoch() - start, 10000);
    EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(56)});
    EXPECT_FALSE(test.sim().receivedLines().join().contains("ERASE"));
}

gatewaysim::Faults silentOnV0()
{
    gatewaysim::Faults f;
    f.silentOn = {"AT&V0"};
    return f;
}

gatewaysim::Faults noOk()
{
    gatewaysim::Faults f;
    f.noOk = true;
    return f;
}

gatewaysim::Faults noiseOrSilence(bool noise)
{
    gatewaysim::Faults f;
    f.noiseMs = noise ? 60000 : 0;
    f.silent = !noise;
    return f;
}

// Silent on "AT&V0": ISDN stops at its numbers of digits, basic at its first step, the outgoing groups go on past
// their CLIP prefix conversion, LCR asks for its own "AT&V0" and stops, autorouting runs.
const auto kEveryPage = wholeLoadEnds({"AT&V0", "AT&A"}, "ISDN settings - Numbers of digits from ISDN\n"
                                                         "Basic settings - All parametres\n"
                                                         "Outgoing groups  - CLIP prefix conversion\n"
                                                         "LCR settings - All parametres\n");
// No reply with its end: the run gives up after the identification's two exchanges.
const auto kTwoExchanges = wholeLoadEnds({"ATI4", "ATI3"}, nullptr);

// Only noise: the owed reply's wait, run to its cap, ends the run before the identification's second command.
const auto kNoiseRun = wholeLoadEnds({"ATI4"}, nullptr, 35000);

// A whole load clicked while not connected, the gateway answering no command after the login: the connect goes
// its whole way without a box of its own, and its last exchanges end the run at once.
void silentBehindConnect(ReaderTest& test)
{
    test.programModemWaits();
    fMain->mDisconnectClick();
    test.sim().dropSessions(); // a serial line's session, kept, would not ask for the login
    test.sim().clearLog();
    wholeLoadEnds({"ATI4", "ATI3", "AT&M0"}, nullptr, CurrentConnection.LinkType == LinkModem ? 55000 : 30000)(test);
    EXPECT_EQ(fMain->statusText, labelText(51));
    EXPECT_TRUE(CurrentConnection.Connected);
}

// The gateway heard no command while it still owed a reply (a telnet line's LF aside).
void nothingOvertook(ReaderTest& test)
{
    test.waitUntil([&] { return !test.sim().sending(); }, 5000);
    QList<QByteArray> lines = test.sim().linesWhileReplying();
    lines.removeIf([](const QByteArray& line) { return line.trimmed().isEmpty(); });
    EXPECT_EQ(lines, QList<QByteArray>{}) << test.sim().receivedLines().join().toStdString();
}

// Buffer state entered while another command's reply is still due: it shows its own values, with no box.
void bufferShowsItsOwn(ReaderTest& test)
{
    fMain->selectTopic(494);
    EXPECT_EQ(fMain->lbBuffer1->text(), QStringLiteral("48211"));
    EXPECT_EQ(fMain->lbBuffer5->text(), QStringLiteral("3"));
    EXPECT_TRUE(test.dialogs().boxes().isEmpty()) << qPrintable(test.dialogs().boxTexts().join('|'));
    nothingOvertook(test);
}

// Text typed in the terminal without Return, then another topic: the leaving line end's answer is the terminal's.
void terminalTextThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(21);
    for (const QChar c : QStringLiteral("abc"))
        systemInput::type(fMain->mTerminal, c);
    test.waitUntil([] { return false; }, 300);
    bufferShowsItsOwn(test);
    EXPECT_TRUE(test.sim().receivedLines().join().contains("abc\r\n"));
}

// The terminal chosen and typed into through the window system's queue (a CR as Return), until the gateway has
// heard the last line.
void typeInTerminal(ReaderTest& test, const QString& typed)
{
    fMain->selectTopic(21);
    for (const QChar c : typed)
        c == '\r' ? systemInput::key(fMain->mTerminal, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"))
                  : systemInput::type(fMain->mTerminal, c);
    const QByteArray last = typed.section(QLatin1Char('\r'), -2, -2).toLatin1() + '\r';
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedBytes().contains(last); }));
}

// Lines typed in the terminal within the gateway's answer time (some echoed at once and answered late: the serial
// monitor's "at", or every line with the gateway's echo on), then another topic and a whole save: each line's reply
// is awaited in turn, as long as its own reader would (an echo is no reply's end), so neither Buffer state nor the
// save reads another command's answer.
std::function<void(ReaderTest&)> terminalLinesThenSave(QString typed, int lanTimeoutMs = 0)
{
    return [=](ReaderTest& test) {
        if (lanTimeoutMs)
            CurrentConnection.LanTimeout = lanTimeoutMs;
        ASSERT_NO_FATAL_FAILURE(typeInTerminal(test, typed));
        test.sim().clearLog(); // the user typed the later lines while the first one's reply was due
        bufferShowsItsOwn(test);
        test.sim().setFaults({}); // the save's own replies at full speed
        test.sim().clearLog();
        fMain->tbSaveGateClick();
        EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(kTextSaveDone)});
        nothingOvertook(test);
    };
}

gatewaysim::Config echoing()
{
    gatewaysim::Config c;
    c.echo = true;
    return c;
}

// The keep-alive's turns while the terminal is shown, after a line the gateway answers with no end of its own (one
// it takes silently, or a user name typed into its login dialogue): each "AT" is answered, so the gateway stays
// connected.
std::function<void(ReaderTest&)> keepAliveAfterLine(QString typed)
{
    return [=](ReaderTest& test) {
        ASSERT_NO_FATAL_FAILURE(typeInTerminal(test, typed));
        test.waitUntil([] { return false; }, 500);
        for (int turn = 0; turn < 3; ++turn) {
            test.sim().clearLog();
            lastLinkActivity.store(0);
            fMain->tLoginTimerTimer();
            ASSERT_TRUE(CurrentConnection.Connected) << "turn " << turn;
            ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedBytes().contains("AT\r\n"); })) << turn;
            test.waitUntil([&] { return !test.sim().sending(); }, 2000);
            test.waitUntil([] { return false; }, 300);
        }
        lastLinkActivity.store(0);
        fMain->tLoginTimerTimer();
        EXPECT_TRUE(CurrentConnection.Connected);
        EXPECT_TRUE(test.dialogs().boxes().isEmpty()) << qPrintable(test.dialogs().boxTexts().join('|'));
    };
}

gatewaysim::Faults silentOnLine(const char* line)
{
    gatewaysim::Faults f;
    f.silentOn = {line};
    return f;
}

// The voice page's view cut within its first line past the page's reply wait (its rest 0.3 s after that wait): the
// erase fails with its box, and Buffer state's first command waits for the view's rest, which its reply owes.
void voiceViewCutThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(25);
    fMain->sbVoiceDelete->click();
    EXPECT_EQ(test.dialogs().boxes().size(), 1);
    EXPECT_FALSE(test.sim().receivedLines().join().contains("ERASE"));
    test.dialogs().clearRecords();
    test.sim().clearLog();
    bufferShowsItsOwn(test);
}

// The gateway's idle logout shows its login prompt while nothing reads the serial port: an online command's Start
// or a test call's Dial writes nothing into the login dialogue; the session's end is told once.
std::function<void(ReaderTest&)> startAfterIdlePrompt(bool testCall)
{
    return [testCall](ReaderTest& test) {
        fMain->selectTopic(testCall ? 548 : 685);
        test.sim().clearLog();
        test.waitUntil([] { return false; }, 2500); // the gateway's idle logout, its prompt waiting in the port
        if (testCall) {
            fMain->edNumber1->setText(QStringLiteral("123"));
            fMain->sbDial->click();
        } else {
            fMain->edCommand->setText(QStringLiteral("ATI"));
            fMain->sbCommandsStart->click();
        }
        EXPECT_TRUE(ReaderTest::waitUntil([] { return !CurrentConnection.Connected; }, 2000));
        EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(56)});
        QList<QByteArray> heard = test.sim().receivedLines();
        heard.removeIf([](const QByteArray& line) { return line.trimmed().isEmpty(); });
        EXPECT_EQ(heard, QList<QByteArray>{});
    };
}

gatewaysim::Config idleLogout(int ms)
{
    gatewaysim::Config c;
    c.idleLogoutMs = ms;
    return c;
}

// Tracing's or an online command's telnet Stop, the next topic clicked at once: its first command goes out as soon
// as the Stop's answer has ended, not a LAN time-out later, and it shows its own values. Tracing's Stop is answered
// within the program's bound (LanTimeout and up to a second more). The module answers the online command (with the
// row's faults) past that bound and past the Stop's wait, though within the time its reply is owed for; the
// gateway's own commands are answered at once.
std::function<void(ReaderTest&)> stopThenBufferTimed(bool tracing, int lanTimeoutMs)
{
    return [=](ReaderTest& test) {
        CurrentConnection.LanTimeout = lanTimeoutMs;
        if (tracing) {
            fMain->selectTopic(20);
            fMain->sbTracStart->click();
            ASSERT_TRUE(test.waitUntil([] { return bool(tracingOverTcp); }, 10000));
            test.waitUntil([] { return false; }, 500);
            fMain->sbTracStart->click(); // Stop
        } else {
            const gatewaysim::Faults moduleLate = test.sim().faults();
            test.sim().setFaults({});
            fMain->selectTopic(685);
            test.sim().setFaults(moduleLate);
            fMain->edCommand->setText(QStringLiteral("ATI"));
            fMain->sbCommandsStart->click();
            fMain->sbCommandsStart->click(); // Stop: its wait for the reply's end runs out first
            test.sim().setFaults({});
        }
        test.sim().clearLog();
        QElapsedTimer took;
        took.start();
        std::atomic<qint64> firstAt{-1};
        QObject context;
        QObject::connect(
            &test.sim(), &gatewaysim::Gateway::lineLogged, &context,
            [&](int, const QByteArray& raw) {
                if (raw.trimmed() == "at" && firstAt < 0)
                    firstAt = took.elapsed();
            },
            Qt::DirectConnection);
        bufferShowsItsOwn(test);
        EXPECT_GE(firstAt.load(), 0);
        EXPECT_LT(firstAt.load(), 2500); // the Stop's answer ends some 0.5 s (tracing's) or 1.6 s (the module's) on
    };
}

// The ISDN load, I52 holding value and the gateway pausing pauseMs within it (besides f's faults).
void loadIsdnCutInI52(ReaderTest& test, const char* value, int pauseMs, gatewaysim::Faults f)
{
    test.sim().setValue("I52", value);
    f.pauseAfter = "I52=";
    f.pauseAfterMs = pauseMs;
    test.sim().setFaults(f);
    registeredPage(PageId::Isdn)->loadClick();
}

// The ISDN load cut in I52's value past its bound (the rest after pauseMs); Statistics > Load then reads its own
// listing, the value's rest taken as the cut reply's: no box, the session kept.
std::function<void(ReaderTest&)> cutValueThenStatistics(int pauseMs)
{
    return [pauseMs](ReaderTest& test) {
        loadIsdnCutInI52(test, "MX login: x", pauseMs, pieces(100));
        EXPECT_EQ(test.dialogs().boxes().size(), 1);
        test.dialogs().clearRecords();
        fMain->selectTopic(24);
        fMain->sbStatLoadClick();
        EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(61)});
        EXPECT_TRUE(CurrentConnection.Connected);
        EXPECT_FALSE(fMain->mStatistic->toPlainText().isEmpty());
    };
}

// A value line paused 9 s: the owed part meets no end at the next load's take either, and keeps its line for the
// load after it, which loads right.
void longCutThenTwoLoads(ReaderTest& test)
{
    loadIsdnCutInI52(test, "+++BRI-DOWN+++", 9000, pieces(100));
    registeredPage(PageId::System)->loadClick();
    test.dialogs().clearRecords();
    registeredPage(PageId::System)->loadClick();
    EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(kTextLoadDone)});
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    EXPECT_TRUE(CurrentConnection.Connected);
}

// An online command's answer paused within its echoed line past the Stop's wait: the rest comes while the Stop
// drops it, "MX login: x" within that line ends nothing; a prompt on a line behind it ends the session.
std::function<void(ReaderTest&)> cutCommandDropped(bool promptBehind)
{
    return [promptBehind](ReaderTest& test) {
        fMain->selectTopic(685);
        fMain->edCommand->setText(QStringLiteral("MX login: x"));
        fMain->sbCommandsStart->click();
        fMain->sbCommandsStart->click(); // Stop: its wait ends within the line
        test.waitUntil([&] { return !test.sim().sending(); }, 10000);
        test.waitUntil([] { return !CurrentConnection.Connected; }, 300); // telnet looks as the text comes
        if (CurrentConnection.Connected)
            registeredPage(PageId::System)->loadClick(); // serial: its take reads what came
        test.waitUntil([] { return !CurrentConnection.Connected; }, promptBehind ? 1000 : 0);
        EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(promptBehind ? 56 : kTextLoadDone)});
        EXPECT_EQ(CurrentConnection.Connected, !promptBehind);
        EXPECT_EQ(test.sim().receivedLines().contains("AT&V\r\n"), !promptBehind);
    };
}

gatewaysim::Faults commandCut(bool promptBehind)
{
    gatewaysim::Faults f;
    f.pauseAfter = "GSM0: ";
    f.pauseAfterMs = 4000;
    f.dropAfterReplyTo = promptBehind ? "AT&G" : "";
    f.dropShowsLogin = promptBehind;
    return f;
}

// The ISDN load cut in I52's value for 6 s, answers 2 s late (telnet reads them within its LAN time-out); then a
// recording: the erase reads its own answer, not the cut reply's, RECORD waits for it, and the recording runs on.
void cutValueThenRecording(ReaderTest& test)
{
    CurrentConnection.LanTimeout = 3000;
    fMain->selectTopic(25);
    loadIsdnCutInI52(test, "+++BRI-DOWN+++", 6000, late(2000));
    EXPECT_EQ(test.dialogs().boxes().size(), 1);
    fMain->sbVoiceDialClick();
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().join().contains("RECORD"); }, 20000));
    test.waitUntil([] { return false; }, 4000);
    EXPECT_TRUE(fMain->sbVoiceStop->isEnabled()) << "reported recorded";
    EXPECT_FALSE(test.sim().linesWhileReplying().join().contains("RECORD"));
}

gatewaysim::Faults trickle(int ms)
{
    gatewaysim::Faults f;
    f.trickleMs = ms;
    return f;
}

// Serial tracing stopped, or a test call left, while a line comes byte by byte and is within its blanks: the
// drain after the reader begins within that line, whose "MX login: x" after the blanks ends nothing.
std::function<void(ReaderTest&)> drainWithinLine(bool tracing)
{
    return [tracing](ReaderTest& test) {
        if (tracing) {
            fMain->selectTopic(20);
            fMain->sbTracStart->click();
            test.sim().setFaults(trickle(100)); // the line from 0.6 s on: its blanks from 1.7 s, its "MX" at 2.7 s
            test.waitUntil([] { return false; }, 2200);
            fMain->sbTracStart->click();
        } else {
            fMain->selectTopic(548);
            fMain->edNumber1->setText(QStringLiteral("123"));
            fMain->sbDial->click();
            ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().contains("AT!SP32=123\r"); }));
            test.waitUntil([] { return false; }, 1200); // the account's blanks from 0.8 s on, its "MX" at 1.8 s
            fMain->selectTopic(30);
        }
        test.waitUntil([] { return !CurrentConnection.Connected; }, 1000);
        EXPECT_TRUE(test.dialogs().boxes().isEmpty()) << qPrintable(test.dialogs().boxTexts().join('|'));
        EXPECT_TRUE(CurrentConnection.Connected);
    };
}

gatewaysim::Config promptAfterBlanks()
{
    gatewaysim::Config c;
    c.traceScript = "1 TRACE frm" + QByteArray(10, ' ') + "MX login: x\r\n";
    c.traceIntervalMs = 600;
    c.testCallScript = {"\r\nCALL frm" + QByteArray(20, ' ') + "MX login: x\r\n"};
    return c;
}

// The whole load's first command answered by the login prompt: the session's end is told within a second.
void identificationMeetsPrompt(ReaderTest& test)
{
    QElapsedTimer took;
    took.start();
    fMain->tbLoadGateClick();
    EXPECT_TRUE(ReaderTest::waitUntil([] { return !CurrentConnection.Connected; }, 5000));
    EXPECT_LT(took.elapsed(), 1000);
    EXPECT_EQ(test.dialogs().boxTexts(), QStringList{labelText(56)});
}

gatewaysim::Faults promptOn(const char* command)
{
    gatewaysim::Faults f;
    f.dropOn = command;
    f.dropShowsLogin = true;
    return f;
}

// A tool's Stop (or its page left) while the gateway answers late: the answer that ends the tool's run comes after
// the tool's own reads have ended, and is no reply of the next page's.
void testCallStopThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(548);
    fMain->edNumber1->setText(QStringLiteral("123"));
    fMain->sbDial->click();
    ASSERT_TRUE(test.waitUntil([] { return fMain->sbStop->isEnabled(); }, 15000));
    fMain->sbStop->click();
    test.sim().clearLog(); // the run's own lines went out while its account streamed
    bufferShowsItsOwn(test);
}

void testCallLeftThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(548);
    fMain->edNumber1->setText(QStringLiteral("123"));
    fMain->sbDial->click();
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().contains("AT!SP32=123\r"); }, 5000))
        << test.sim().receivedLines().join().toStdString() << test.dialogs().boxTexts().join('|').toStdString();
    test.sim().clearLog();
    bufferShowsItsOwn(test);
}

// The keep-alive's AT written while the terminal is shown: its OK is the terminal's, or, once the terminal is
// left, nobody's page's.
void terminalKeepAliveThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(21);
    lastLinkActivity.store(0);
    fMain->tLoginTimerTimer();
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().contains("AT\r\n"); }));
    test.sim().clearLog();
    bufferShowsItsOwn(test);
}

void commandStoppedThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(685);
    fMain->edCommand->setText(QStringLiteral("ATI"));
    fMain->sbCommandsStart->click();
    fMain->sbCommandsStart->click(); // Stop: its wait for the reply's end runs out first
    test.sim().clearLog();
    bufferShowsItsOwn(test);
}

void recordingLeftThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(25);
    fMain->sbVoiceDialClick();
    ASSERT_TRUE(fMain->sbVoiceStop->isEnabled());
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().contains("AT!M0=RECORD\r"); }));
    test.sim().clearLog();
    bufferShowsItsOwn(test);
    EXPECT_TRUE(test.sim().receivedBytes().startsWith("\r\n\r\n")) << "the recording was told to end";
}

gatewaysim::Config recordsLong()
{
    gatewaysim::Config c;
    c.voiceRecordMs = 60000; // until the line end
    return c;
}

// A topic entered right after the diagnostics' worker wrote its command, before its late reply begins.
void diagnosticsThenBuffer(ReaderTest& test)
{
    fMain->selectTopic(26);
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().contains("AT&S00\r\n"); }, 10000));
    bufferShowsItsOwn(test);
}

// The diagnostics' command answered ERROR: once the worker has given its reply up, the window's exchanges (input
// held, so the worker gets no turn) wait for nobody.
void diagnosticsGivenUp(ReaderTest& test)
{
    fMain->selectTopic(26);
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().contains("AT&S00\r\n"); }, 10000));
    const UserStepScope held;
    test.waitUntil([] { return false; }, 6500); // past the worker's 5 s for its reply
    QElapsedTimer took;
    took.start();
    for (int i = 0; i < 3; ++i) {
        QByteArray reply;
        EXPECT_FALSE(SendCommandOk("AT\r\n", reply, 64).isEmpty()) << reply.toStdString();
    }
    EXPECT_LT(took.elapsed(), 4000); // each waited 5 s for the reply nobody read any more
}

// The factory reset confirmed right after a diagnostics command, answers late: each row waits for the reply
// still due, and for its own, before the next goes out.
void resetAfterDiagnostics(ReaderTest& test)
{
    fMain->selectTopic(26);
    ASSERT_TRUE(test.waitUntil([&] { return test.sim().receivedLines().contains("AT&S00\r\n"); }, 10000));
    test.dialogs().answerBox(IDYES);
    test.dialogs().onModal([](QDialog* d) { d->reject(); }); // no reload
    fMain->selectTopic(42);
    EXPECT_TRUE(test.sim().receivedLines().contains("AT&FRES\r\n"));
    nothingOvertook(test);
}

// A whole load clicked while not connected, the gateway sending only noise after the login: once the run has
// counted two replies without their end, the connect's last commands are read for their first byte's bound only.
void noiseBehindConnect(ReaderTest& test)
{
    test.programModemWaits();
    fMain->mDisconnectClick();
    test.sim().dropSessions();
    test.sim().clearLog();
    wholeLoadEnds({"ATI4", "ATI3", "AT&M0"}, nullptr, CurrentConnection.LinkType == LinkModem ? 56000 : 50000)(test);
    EXPECT_EQ(fMain->statusText, labelText(51));
    EXPECT_TRUE(CurrentConnection.Connected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReaderTest,
    ::testing::Values(ReaderRow{"PlusInValue", Link::Serial, pieces(20), valueLine("+++BRI-DOWN+++")},
                      ReaderRow{"NoCarrierInValue", Link::Serial, pieces(20), valueLine("NO CARRIER on BRI")},
                      ReaderRow{"PlusInValue", Link::Modem, pieces(20), valueLine("+++BRI-DOWN+++")},
                      ReaderRow{"NoCarrierInValue", Link::Modem, pieces(20), valueLine("NO CARRIER on BRI")},
                      ReaderRow{"PlusInValue", Link::Telnet, pieces(150), valueLine("+++BRI-DOWN+++")},
                      ReaderRow{"NoCarrierInValue", Link::Telnet, pieces(150), valueLine("NO CARRIER on BRI")},
                      ReaderRow{"LateAnswer", Link::Serial, late(3500), portModesFailThenBuffer},
                      ReaderRow{"LateAnswer", Link::Telnet, late(1500), actualCallsThenClock},
                      ReaderRow{"SilentOnV0", Link::Telnet, silentOnV0(), kEveryPage},
                      ReaderRow{"SilentOnV0", Link::Serial, silentOnV0(), kEveryPage},
                      ReaderRow{"NoOk", Link::Telnet, noOk(), kTwoExchanges},
                      ReaderRow{"NoOk", Link::Serial, noOk(), kTwoExchanges},
                      ReaderRow{"NoOk", Link::Modem, noOk(), kTwoExchanges},
                      ReaderRow{"CutPromptValue", Link::Serial, {}, cutValue("MX login: x", 3500)},
                      ReaderRow{"CutPromptValue", Link::Telnet, {}, cutValue("MX login: x", 2500)},
                      ReaderRow{"CutPlusValue", Link::Serial, {}, cutValue("+++BRI-DOWN+++", 3500)},
                      ReaderRow{"CutPlusValue", Link::Telnet, {}, cutValue("+++BRI-DOWN+++", 2500)},
                      ReaderRow{"PromptPastSize", Link::Serial, {}, promptPastSize},
                      ReaderRow{"PromptPastSize", Link::Telnet, {}, promptPastSize},
                      ReaderRow{"PromptPastSize", Link::Modem, {}, promptPastSize},
                      ReaderRow{"PromptWithinLines", Link::Serial, {}, promptWithinLines, recordWithPrompt()},
                      ReaderRow{"PromptWithinLines", Link::Telnet, {}, promptWithinLines, recordWithPrompt()},
                      ReaderRow{"RecordPausedBeforePrompt", Link::Telnet, pausedAfter("00:00:05", 2500),
                                recordPausedBeforePrompt, recordWithPrompt()},
                      ReaderRow{"VoicePromptPastKept", Link::Serial, voiceViewWithPrompt(), voiceErasePastPrompt},
                      ReaderRow{"Noise", Link::Serial, noiseOrSilence(true), kNoiseRun},
                      ReaderRow{"Noise", Link::Telnet, noiseOrSilence(true), kNoiseRun},
                      ReaderRow{"Noise", Link::Modem, noiseOrSilence(true), kNoiseRun},
                      ReaderRow{"SilentBehindConnect", Link::Serial, noiseOrSilence(false), silentBehindConnect},
                      ReaderRow{"SilentBehindConnect", Link::Telnet, noiseOrSilence(false), silentBehindConnect},
                      ReaderRow{"SilentBehindConnect", Link::Modem, noiseOrSilence(false), silentBehindConnect},
                      ReaderRow{"CutPromptValueLong", Link::Serial, {}, cutValue("MX login: x", 5000)},
                      ReaderRow{"CutPromptValueLong", Link::Telnet, {}, cutValue("MX login: x", 3000)},
                      ReaderRow{"CutPlusValueLong", Link::Serial, {}, cutValue("+++BRI-DOWN+++", 5000)},
                      ReaderRow{"CutPlusValueLong", Link::Telnet, {}, cutValue("+++BRI-DOWN+++", 3000)},
                      ReaderRow{"TerminalText", Link::Serial, late(1500), terminalTextThenBuffer},
                      ReaderRow{"TerminalText", Link::Telnet, late(400), terminalTextThenBuffer},
                      ReaderRow{"TerminalText", Link::Modem, late(400), terminalTextThenBuffer},
                      ReaderRow{"DiagnosticsThenBuffer", Link::Serial, late(1500), diagnosticsThenBuffer},
                      ReaderRow{"TestCallStop", Link::Serial, late(1500), testCallStopThenBuffer},
                      ReaderRow{"TestCallStop", Link::Telnet, late(1500), testCallStopThenBuffer},
                      ReaderRow{"TestCallStop", Link::Modem, late(800), testCallStopThenBuffer},
                      ReaderRow{"TestCallLeft", Link::Serial, late(1500), testCallLeftThenBuffer},
                      ReaderRow{"CommandStopped", Link::Serial, late(2500), commandStoppedThenBuffer},
                      ReaderRow{"TerminalKeepAlive", Link::Serial, late(1500), terminalKeepAliveThenBuffer},
                      ReaderRow{"TerminalKeepAlive", Link::Telnet, late(1500), terminalKeepAliveThenBuffer},
                      ReaderRow{"RecordingLeft", Link::Serial, late(1500), recordingLeftThenBuffer, recordsLong()},
                      ReaderRow{"DiagnosticsGivenUp", Link::Serial, errorOn({"AT&S00"}), diagnosticsGivenUp},
                      ReaderRow{"ResetAfterDiagnostics", Link::Serial, late(1500), resetAfterDiagnostics},
                      ReaderRow{"NoiseBehindConnect", Link::Serial, noiseOrSilence(true), noiseBehindConnect},
                      ReaderRow{"NoiseBehindConnect", Link::Telnet, noiseOrSilence(true), noiseBehindConnect},
                      ReaderRow{"NoiseBehindConnect", Link::Modem, noiseOrSilence(true), noiseBehindConnect},
                      ReaderRow{"TwoTerminalLines", Link::Serial, late(1500), terminalLinesThenSave("abc\rdef\r")},
                      ReaderRow{"TwoTerminalLines", Link::Telnet, late(400), terminalLinesThenSave("abc\rdef\r")},
                      ReaderRow{"TracingStopTimed", Link::Telnet, late(400), stopThenBufferTimed(true, 5000)},
                      ReaderRow{"CommandStopTimed", Link::Telnet, late(3600), stopThenBufferTimed(false, 2000)},
                      ReaderRow{"CutThenStatistics", Link::Serial, {}, cutValueThenStatistics(5500)},
                      ReaderRow{"CutThenStatistics", Link::Telnet, {}, cutValueThenStatistics(3200)},
                      ReaderRow{"LongCutTwoLoads", Link::Serial, {}, longCutThenTwoLoads},
                      ReaderRow{"IdentificationMeetsPrompt", Link::Serial, promptOn("ATI4"), identificationMeetsPrompt},
                      ReaderRow{"IdentificationMeetsPrompt", Link::Telnet, promptOn("ATI4"), identificationMeetsPrompt},
                      ReaderRow{"CutCommandDropped", Link::Telnet, commandCut(false), cutCommandDropped(false)},
                      ReaderRow{"CutCommandPromptBehind", Link::Serial, commandCut(true), cutCommandDropped(true)},
                      ReaderRow{"CutCommandPromptBehind", Link::Telnet, commandCut(true), cutCommandDropped(true)},
                      ReaderRow{"CutThenRecording", Link::Serial, {}, cutValueThenRecording, recordsLong()},
                      ReaderRow{"CutThenRecording", Link::Telnet, {}, cutValueThenRecording, recordsLong()},
                      ReaderRow{"TraceStopWithinLine", Link::Serial, {}, drainWithinLine(true), promptAfterBlanks()},
                      ReaderRow{"TestCallLeftWithinLine", Link::Serial, trickle(50), drainWithinLine(false),
                                promptAfterBlanks()},
                      ReaderRow{"EchoedAt", Link::Serial, late(1500), terminalLinesThenSave("at\r")},
                      ReaderRow{"EchoedAtLater", Link::Serial, late(2500), terminalLinesThenSave("ati3\rat\r")},
                      ReaderRow{"EchoedLines", Link::Telnet, late(2500), terminalLinesThenSave("abc\rdef\r", 5000),
                                echoing()},
                      ReaderRow{"EchoedLines", Link::Serial, late(1100), terminalLinesThenSave("abc\rdef\r"), echoing()},
                      ReaderRow{"KeepAliveAfterSilentLine", Link::Serial, silentOnLine("ATX1"),
                                keepAliveAfterLine("ATX1\r")},
                      ReaderRow{"KeepAliveAfterSilentLine", Link::Telnet, silentOnLine("ATX1"),
                                keepAliveAfterLine("ATX1\r")},
                      ReaderRow{"KeepAliveAfterLoginByHand", Link::Serial, promptOn("ATZ"),
                                keepAliveAfterLine("ATZ\radmin\r")},
                      ReaderRow{"KeepAliveAfterLoginByHand", Link::Telnet, promptOn("ATZ"),
                                keepAliveAfterLine("ATZ\radmin\r")},
                      ReaderRow{"VoiceViewCut", Link::Serial, pausedAfter("File length: ", 6300),
                                voiceViewCutThenBuffer},
                      ReaderRow{"StartAfterIdlePrompt", Link::Serial, {}, startAfterIdlePrompt(false),
                                idleLogout(1500)},
                      ReaderRow{"DialAfterIdlePrompt", Link::Serial, {}, startAfterIdlePrompt(true), idleLogout(1500)}),
    [](const auto& info) { return std::string(linkName(info.param.link)) + info.param.name; });

} // namespace
