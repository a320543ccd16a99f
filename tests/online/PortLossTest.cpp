// The link goes away under a live tool: the serial port is gone, the telnet connection drops, or the modem's
// call ends with "NO CARRIER". Every tool on every link it runs on ends by itself: no reader is left waiting
// or spinning, no route stays on, the program shows itself disconnected, the user is told once (text 56) where
// the tool reports its failures (the polled pages give themselves up silently, as their poll guard does), and
// the next connect reaches the gateway again.
#include "online/LiveToolFixture.h"

#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "online/Diagnostics.h"
#include "online/LiveCells.h"
#include "online/Terminal.h"
#include "online/Tracing.h"
#include "online/ui/ActualCallsPage.h"
#include "online/ui/CommandsPage.h"
#include "online/ui/DateTimePage.h"
#include "online/ui/DiagPage.h"
#include "online/ui/TerminalPart.h"
#include "online/ui/TestCallsPage.h"
#include "online/ui/TracingPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace {

enum class Tool { Terminal, Tracing, TestCalls, Commands, Diagnostics, ActualCalls };

using Row = std::tuple<Tool, Link>;

// How the link goes away, and how the program gets it back.
class LossTest : public LiveToolTest
{
protected:
    void loseLink(Link link)
    {
        if (link == Link::Serial)
            gateway->stop(); // the gateway's end of the line closes: the program's port hangs up
        else
            gateway->dropSessions(); // telnet: the connection closes; modem: the call ends with "NO CARRIER"
    }

    // The serial gateway comes back on a port of its own, which the user then picks.
    void connectAgain(Link link)
    {
        if (link == Link::Serial) {
            ASSERT_NO_FATAL_FAILURE(startGateway({}));
            CurrentConnection.ComPortName = gateway->startSerialPty();
        }
        dialogs().clearRecords();
        ASSERT_NO_FATAL_FAILURE(connectNow());
        EXPECT_TRUE(link != Link::Modem || gateway->modemInCall()) << "dialled again";
        QByteArray reply;
        EXPECT_EQ(SendCommandOk("AT\r\n", reply, 128), "\r\nOK\r\n");
    }
};

class LinkLossTest : public LossTest, public ::testing::WithParamInterface<Row>
{
protected:
    void SetUp() override
    {
        LossTest::SetUp();
        diagTimings.replyMs = 1000;
        diagTimings.modemPauseMs = 0;
        diagTimings.modemIntervalMs = 200;
    }

    Tool tool() const { return std::get<0>(GetParam()); }
    Link link() const { return std::get<1>(GetParam()); }

    void startGatewayOnLink()
    {
        gatewaysim::Config cfg;
        cfg.traceIntervalMs = 300;
        cfg.testCallScript = {"\r\nCALL\r\n"}; // the call is never answered
        ASSERT_NO_FATAL_FAILURE(startOnLink(link(), cfg));
        gatewaysim::Faults f;
        f.moduleSilent = true; // an online command's reply never ends: the run stays on
        gateway->setFaults(f);
    }

    // Starts the row's tool and waits until it is at work on the link.
    void startTool()
    {
        switch (tool()) {
        case Tool::Terminal:
            fMain->selectTopic(21);
            ASSERT_TRUE(terminalThread || terminalOverTcp);
            break;
        case Tool::Tracing:
            fMain->selectTopic(20);
            fMain->edTracFile->setText(path(QStringLiteral("trace.txt")));
            fMain->sbTracStart->click();
            ASSERT_TRUE(waitUntil([] { return fMain->mTracing->toPlainText().contains(QStringLiteral("TRACE")); }));
            break;
        case Tool::TestCalls:
            fMain->selectTopic(548);
            fMain->edFile->setText(path(QStringLiteral("calls.txt")));
            fMain->edNumber1->setText(QStringLiteral("123"));
            fMain->sbDial->click();
            ASSERT_TRUE(waitUntil([] { return fMain->mmTest->toPlainText().contains(QStringLiteral("CALL")); }));
            break;
        case Tool::Commands:
            fMain->selectTopic(685);
            fMain->edCommand->setText(QStringLiteral("ATI"));
            fMain->seModule->setValue(1);
            fMain->sbCommandsStart->click();
            ASSERT_TRUE(waitUntil([&] { return received().contains("AT&G1=ATI\r"); }));
            break;
        case Tool::Diagnostics:
            fMain->selectTopic(26);
            ASSERT_TRUE(waitUntil([&] { return received().contains("AT&SEX\r\n"); })) << received().constData();
            break;
        case Tool::ActualCalls:
            fMain->tActual->setInterval(50);
            fMain->selectTopic(235);
            ASSERT_TRUE(waitUntil([] { return !fMain->mmActual->toPlainText().isEmpty(); }));
            break;
        }
        ASSERT_TRUE(liveTools.anyRunning()) << qPrintable(dialogs().boxTexts().join('|'));
    }

    static bool toolEnded()
    {
        return !CurrentConnection.Connected && !liveTools.anyRunning() && !liveTools.anyRoute() && !terminalThread &&
               !tracingThread && !testCallThread && !commandsThread && !diagThread;
    }
};

TEST_P(LinkLossTest, TheToolEndsTheProgramShowsItselfDisconnectedAndConnectsAgain)
{
    ASSERT_NO_FATAL_FAILURE(startGatewayOnLink());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    dialogs().clearRecords();
    ASSERT_NO_FATAL_FAILURE(startTool());
    dialogs().clearRecords();

    loseLink(link());
    EXPECT_TRUE(waitUntil(toolEnded, 8000)) << "connected " << CurrentConnection.Connected << ", tool running "
                                             << liveTools.anyRunning();
    const bool polled = tool() == Tool::Diagnostics || tool() == Tool::ActualCalls;
    if (polled) {
        EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_TRUE(fMain->pDiag->isHidden());
        EXPECT_TRUE(fMain->pActual->isHidden());
    } else {
        ASSERT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_EQ(dialogs().boxes()[0].text, labelText(56));
        EXPECT_EQ(dialogs().boxes()[0].caption, labelText(47));
    }
    expectConnectedState(false);
    EXPECT_TRUE(panel0().endsWith(labelText(214))) << qPrintable(panel0());
    EXPECT_EQ(fMain->sbTracStart->text(), labelText(152));
    EXPECT_EQ(fMain->sbCommandsStart->text(), labelText(152));
    EXPECT_TRUE(fMain->sbDial->isEnabled());
    EXPECT_EQ(::traceFile, nullptr);
    EXPECT_EQ(testLogFile, nullptr);

    ASSERT_NO_FATAL_FAILURE(connectAgain(link()));
}

std::string rowName(const ::testing::TestParamInfo<Row>& info)
{
    static const char* const tools[] = {"Terminal", "Tracing", "TestCalls", "Commands", "Diagnostics", "ActualCalls"};
    static const char* const links[] = {"Telnet", "Serial", "Modem"};
    return std::string(tools[int(std::get<0>(info.param))]) + links[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(EveryToolEveryLink, LinkLossTest,
                         ::testing::Combine(::testing::Values(Tool::Terminal, Tool::Tracing, Tool::TestCalls,
                                                              Tool::Commands, Tool::Diagnostics, Tool::ActualCalls),
                                            ::testing::Values(Link::Telnet, Link::Serial, Link::Modem)),
                         rowName);

// Work on the window's thread meets the loss in its own reads and writes: it reports its failure as it always
// does, and the program then shows itself disconnected. A dropped telnet connection says so by itself.
class PageLinkLossTest : public LossTest, public ::testing::WithParamInterface<Link>
{
};

TEST_P(PageLinkLossTest, TheFailedReadIsReportedAndTheProgramShowsItselfDisconnected)
{
    ASSERT_NO_FATAL_FAILURE(startOnLink(GetParam(), {}));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    fMain->selectTopic(18); // the date and time, in step with the PC: the gateway is not asked
    dialogs().clearRecords();
    loseLink(GetParam());
    if (GetParam() != Link::Telnet) {
        fMain->cbSynDateTime->setChecked(false); // reads the gateway's clock
        ASSERT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_EQ(dialogs().boxes()[0].text, labelText(56));
    }
    EXPECT_TRUE(waitUntil([] { return !CurrentConnection.Connected; }));
    expectConnectedState(false);
    EXPECT_EQ(dialogs().boxes().size(), GetParam() == Link::Telnet ? 0 : 1) << "told once";
    ASSERT_NO_FATAL_FAILURE(connectAgain(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Links, PageLinkLossTest, ::testing::Values(Link::Telnet, Link::Serial, Link::Modem),
                         [](const ::testing::TestParamInfo<Link>& info) {
                             return std::string(info.param == Link::Telnet   ? "Telnet"
                                                : info.param == Link::Serial ? "Serial"
                                                                             : "Modem");
                         });

} // namespace
