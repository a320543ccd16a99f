// The whole-reply reader through the main window against what a gateway may send: a reply's end markers inside
// the user's texts, answers that come after their exchange has ended, and gateways that leave some commands or
// every reply's end unanswered.
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

struct ReaderRow
{
    const char* name;
    Link link;
    gatewaysim::Faults faults;
    std::function<void(class ReaderTest&)> run;
};

void PrintTo(const ReaderRow& row, std::ostream* os)
{
    *os << linkName(row.link) << row.name;
}

class ReaderTest : public LiveToolTest, public ::testing::WithParamInterface<ReaderRow>
{
public:
    using LiveToolTest::dialogs;
    gatewaysim::Gateway& sim() { return *gateway; }
};

TEST_P(ReaderTest, EachExchangeReadsItsOwnReply)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam().link, gatewaysim::Config()));
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

// A whole load against a gateway that leaves replies unfinished ends with one box, the gateway having heard
// lastCommands last; failed (nullptr: not looked at) is the box's list.
std::function<void(ReaderTest&)> wholeLoadEnds(QList<QByteArray> lastCommands, const char* failed)
{
    return [lastCommands, failed](ReaderTest& test) {
        fMain->tbLoadGateClick();
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

// Silent on "AT&V0": ISDN stops at its numbers of digits, basic at its first step, the outgoing groups go on past
// their CLIP prefix conversion, LCR asks for its own "AT&V0" and stops, autorouting runs.
const auto kEveryPage = wholeLoadEnds({"AT&V0", "AT&A"}, "ISDN settings - Numbers of digits from ISDN\n"
                                                         "Basic settings - All parametres\n"
                                                         "Outgoing groups  - CLIP prefix conversion\n"
                                                         "LCR settings - All parametres\n");
// No reply with its end: the run gives up after the identification's two exchanges.
const auto kTwoExchanges = wholeLoadEnds({"ATI4", "ATI3"}, nullptr);

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
                      ReaderRow{"NoOk", Link::Modem, noOk(), kTwoExchanges}),
    [](const auto& info) { return std::string(linkName(info.param.link)) + info.param.name; });

} // namespace
