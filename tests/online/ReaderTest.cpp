// The whole-reply reader through the main window against what a gateway may send: a reply's end markers inside
// the user's texts, answers that come after their exchange has ended, and gateways that stop answering some
// commands or every reply's end.
#include "LiveToolFixture.h"

#include "link/LinkIo.h"
#include "pages/IsdnPage.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"
#include "pages/PageState.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>

namespace {

// The ISDN page's BRI state text holds what ends a reply elsewhere; the answers come in pieces, as a USB serial
// adapter or a modem hands them over.
struct ValueLineRow
{
    Link link;
    const char* text;
    int pieceGapMs;
};

void PrintTo(const ValueLineRow& row, std::ostream* os)
{
    *os << linkName(row.link) << " " << row.text;
}

class ValueLineTest : public LiveToolTest, public ::testing::WithParamInterface<ValueLineRow>
{
};

TEST_P(ValueLineTest, WholeLoadAndSaveReadEachReplyToItsEnd)
{
    const ValueLineRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOnLink(row.link, gatewaysim::Config()));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->setValue("I52", row.text);
    gatewaysim::Faults pieces;
    pieces.chunkSize = 64;
    pieces.chunkDelayMs = row.pieceGapMs;
    gateway->setFaults(pieces);
    dialogs().clearRecords();

    fMain->tbLoadGateClick();
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(kTextLoadDone)});
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    EXPECT_EQ(fMain->edIsdnStateSms->text(), QString::fromLatin1(row.text));

    dialogs().clearRecords();
    gateway->clearLog();
    fMain->tbSaveGateClick();
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(kTextSaveDone)});
    EXPECT_TRUE(gateway->receivedLines().contains("AT%I52=" + QByteArray(row.text) + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Rows, ValueLineTest,
                         ::testing::Values(ValueLineRow{Link::Serial, "+++BRI-DOWN+++", 20},
                                           ValueLineRow{Link::Serial, "NO CARRIER on BRI", 20},
                                           ValueLineRow{Link::Modem, "+++BRI-DOWN+++", 20},
                                           ValueLineRow{Link::Modem, "NO CARRIER on BRI", 20},
                                           ValueLineRow{Link::Telnet, "+++BRI-DOWN+++", 150},
                                           ValueLineRow{Link::Telnet, "NO CARRIER on BRI", 150}),
                         [](const auto& info) {
                             return std::string(linkName(info.param.link)) +
                                    (info.param.text[0] == '+' ? "Plus" : "NoCarrier");
                         });

// Answers that start after their exchange's bound: the next page shows its own answer, never the late one.
struct LateRow
{
    Link link;
    int delayMs;
    std::function<void(class LateAnswerTest&)> run;
};

void PrintTo(const LateRow& row, std::ostream* os)
{
    *os << linkName(row.link) << " " << row.delayMs;
}

class LateAnswerTest : public LiveToolTest, public ::testing::WithParamInterface<LateRow>
{
public:
    using LiveToolTest::dialogs;
    using LiveToolTest::waitUntil;
};

TEST_P(LateAnswerTest, TheNextPageShowsItsOwnAnswer)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam().link, gatewaysim::Config()));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gatewaysim::Faults late;
    late.replyDelayMs = GetParam().delayMs;
    gateway->setFaults(late);
    dialogs().clearRecords();
    GetParam().run(*this);
}

// Serial: the port modes' load outwaits its bound and fails with its box; Buffer state then reads its own values.
void portModesFailThenBuffer(LateAnswerTest& test)
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

// Telnet at LanTimeout 1000: one poll of the actual calls, written where the whole-second clock lets its read end
// before its answer comes; then Date and time reads the gateway's clock.
void actualCallsThenClock(LateAnswerTest& test)
{
    fMain->selectTopic(235);
    fMain->tActual->stop(); // the poll below is the page's only one
    const qint64 phase = QDateTime::currentMSecsSinceEpoch() % 1000;
    QTest::qWait(int((1780 - phase) % 1000));
    fMain->tActualTimer();
    fMain->selectTopic(18);
    fMain->cbSynDateTime->setChecked(true);
    fMain->cbSynDateTime->setChecked(false);
    EXPECT_EQ(fMain->eDate->text(), QStringLiteral("05.12.2026"));
    EXPECT_EQ(fMain->eTime->text(), QStringLiteral("09:05:07"));
    EXPECT_TRUE(test.dialogs().boxes().isEmpty()) << qPrintable(test.dialogs().boxTexts().join('|'));
}

INSTANTIATE_TEST_SUITE_P(Rows, LateAnswerTest,
                         ::testing::Values(LateRow{Link::Serial, 3500, portModesFailThenBuffer},
                                           LateRow{Link::Telnet, 1500, actualCallsThenClock}),
                         [](const auto& info) { return std::string(linkName(info.param.link)); });

// A gateway that leaves some replies unfinished: silent on "AT&V0" alone, it is still run through every page and
// the box lists the pages that needed that view; answering only without an end, the run gives up after two
// exchanges.
struct UnansweredRow
{
    Link link;
    const char* name;
    gatewaysim::Faults faults;
    QList<QByteArray> lastCommands; // the run's last commands, as the gateway heard them
    const char* failed;             // the box's list of what failed (nullptr: every item)
};

void PrintTo(const UnansweredRow& row, std::ostream* os)
{
    *os << linkName(row.link) << row.name;
}

class UnansweredTest : public LiveToolTest, public ::testing::WithParamInterface<UnansweredRow>
{
};

TEST_P(UnansweredTest, AWholeLoadEndsWithOneBox)
{
    const UnansweredRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOnLink(row.link, gatewaysim::Config()));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->setFaults(row.faults);
    dialogs().clearRecords();
    gateway->clearLog();
    fMain->tbLoadGateClick();
    EXPECT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
    QList<QByteArray> heard; // the commands without their line ends, which differ by link
    for (const QByteArray& line : gateway->receivedLines())
        if (!line.trimmed().isEmpty())
            heard << line.trimmed();
    EXPECT_EQ(heard.mid(heard.size() - row.lastCommands.size()).join('|').toStdString(),
              row.lastCommands.join('|').toStdString());
    if (row.failed)
        EXPECT_EQ(LoadErrors.toStdString(), row.failed);
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

// ISDN stops at its numbers of digits, basic at its first step, the outgoing groups go on past their CLIP prefix
// conversion, LCR asks for its own "AT&V0" and stops; autorouting runs.
const char* const kV0Pages = "ISDN settings - Numbers of digits from ISDN\n"
                             "Basic settings - All parametres\n"
                             "Outgoing groups  - CLIP prefix conversion\n"
                             "LCR settings - All parametres\n";
const QList<QByteArray> kLoadEnd = {"AT&V0", "AT&A"};
const QList<QByteArray> kIdentification = {"ATI4", "ATI3"};

INSTANTIATE_TEST_SUITE_P(
    Rows, UnansweredTest,
    ::testing::Values(UnansweredRow{Link::Telnet, "SilentOnV0", silentOnV0(), kLoadEnd, kV0Pages},
                      UnansweredRow{Link::Serial, "SilentOnV0", silentOnV0(), kLoadEnd, kV0Pages},
                      UnansweredRow{Link::Telnet, "NoOk", noOk(), kIdentification, nullptr},
                      UnansweredRow{Link::Serial, "NoOk", noOk(), kIdentification, nullptr},
                      UnansweredRow{Link::Modem, "NoOk", noOk(), kIdentification, nullptr}),
    [](const auto& info) { return std::string(linkName(info.param.link)) + info.param.name; });

} // namespace
