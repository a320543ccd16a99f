// The gateway reset and the factory reset against the simulated gateway on its serial pty: the question, the
// exact commands, the wait for the restart marker (also split over reads), the new login and every way out.
#include "online/LiveToolFixture.h"

#include "platform/TelnetClient.h"
#include "ui/ResetPart.h"
#include "ui/TfDialog.h"
#include "ui/TwReset.h"

#include <QLabel>

namespace {

class ResetTest : public LiveToolTest
{
protected:
    void start(gatewaysim::Config cfg = {})
    {
        cfg.resetDelayMs = 300;
        resetTimings.gatewayMarkerMs = 4000;
        resetTimings.factoryMarkerMs = 4000;
        resetTimings.pollMs = 20;
        resetTimings.settleMs = 10;
        ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        gateway->clearLog();
        dialogs().clearRecords();
    }
    void expectBoxes(const QList<std::pair<int, int>>& textAndCaption)
    {
        ASSERT_EQ(dialogs().boxes().size(), textAndCaption.size()) << qPrintable(dialogs().boxTexts().join('|'));
        for (int i = 0; i < textAndCaption.size(); ++i) {
            EXPECT_EQ(dialogs().boxes()[i].text, labelText(textAndCaption[i].first)) << i;
            EXPECT_EQ(dialogs().boxes()[i].caption, labelText(textAndCaption[i].second)) << i;
        }
    }
    // Every way out: the main window usable again, the wait window gone, no topic title.
    void expectEnded()
    {
        EXPECT_TRUE(fMain->isEnabled());
        EXPECT_TRUE(wReset->isHidden());
        EXPECT_EQ(currentTopic, -1);
        EXPECT_TRUE(fMain->lbMain->text().isEmpty());
    }
};

TEST_F(ResetTest, GatewayResetRestartsLogsInAgainAndSaysSo)
{
    // The marker arrives in pieces, each its own read: the reads are joined.
    for (const int pieceMs : {0, 300}) {
        ASSERT_NO_FATAL_FAILURE(start());
        gatewaysim::Faults f;
        f.chunkSize = pieceMs ? 6 : 0; // "\r\nInit" and ": OK\r\n", a longer pause between than a read waits
        f.chunkDelayMs = pieceMs;
        gateway->setFaults(f);
        dialogs().answerBox(IDYES);
        fMain->selectTopic(41);
        const QList<QByteArray> lines = gateway->receivedLines();
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(lines[0], "AT&BSYS=RESET\r\n");
        EXPECT_TRUE(lines.contains("admin\r")) << received().constData();
        EXPECT_EQ(gateway->loginCount(), 2) << "logged in again on the same link";
        expectBoxes({{55, 54}, {57, 54}});
        EXPECT_EQ(dialogs().boxes()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(dialogs().boxes()[1].flags, unsigned(MB_ICONINFORMATION));
        expectEnded();
        EXPECT_TRUE(CurrentConnection.Connected);
        TearDown();
        SetUp();
    }
}

TEST_F(ResetTest, AfterADroppedLinkTheResetConnectsAgainBeforeItAsks)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const std::pair<int, int> topics[] = {{41, 55}, {42, 58}};
    for (const auto& [topic, question] : topics) {
        SCOPED_TRACE(topic);
        const int logins = gateway->loginCount();
        gateway->dropSessions(); // the program shows itself disconnected
        ASSERT_TRUE(waitUntil([] { return !CurrentConnection.Connected; }));
        dialogs().clearRecords();
        dialogs().answerBox(IDNO);
        fMain->selectTopic(topic);
        expectBoxes({{question, 54}});
        EXPECT_EQ(gateway->loginCount(), logins + 1) << "logged in again before the question";
        EXPECT_TRUE(tcp && tcp->Connected());
        fMain->selectTopic(30);
    }
}

TEST_F(ResetTest, NoToTheQuestionSendsNothing)
{
    ASSERT_NO_FATAL_FAILURE(start());
    for (int topic : {41, 42}) {
        dialogs().answerBox(IDNO);
        fMain->selectTopic(topic);
        fMain->selectTopic(30);
    }
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    expectBoxes({{55, 54}, {58, 54}});
}

TEST_F(ResetTest, AGatewayResetWhoseLoginFailsIsNoSuccess)
{
    ASSERT_NO_FATAL_FAILURE(start());
    gatewaysim::Faults f;
    f.refuseLogin = true;
    gateway->setFaults(f);
    dialogs().answerBox(IDYES);
    fMain->selectTopic(41);
    expectBoxes({{55, 54}, {56, 47}});
    EXPECT_EQ(dialogs().boxes()[1].flags, unsigned(MB_ICONERROR));
    expectEnded();
}

TEST_F(ResetTest, FactoryResetEmptiesTheTablesRestartsAndOffersTheLoad)
{
    ASSERT_NO_FATAL_FAILURE(start());
    dialogs().answerBox(IDYES);
    QString offer;
    bool mainEnabledMeanwhile = true;
    dialogs().onModal([&](QDialog* d) {
        offer = fDialog->lb1->text();
        mainEnabledMeanwhile = fMain->isEnabled();
        d->reject(); // No
    });
    fMain->selectTopic(42);
    QList<QByteArray> expected;
    for (int i = 0; i < 10; ++i)
        expected << "AT%R" + QByteArray::number(i) + "=\r\n"
                 << "AT%A" + QByteArray::number(i) + "=\r\n";
    expected << "AT%R00=1,0:00/24:00,,0\r\n"
             << "AT&FRES\r\n";
    const QList<QByteArray> lines = gateway->receivedLines();
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(lines.mid(0, expected.size()), expected);
    EXPECT_EQ(lines[20].size(), 24);
    EXPECT_EQ(lines[21].size(), 9);
    EXPECT_EQ(gateway->loginCount(), 2);
    EXPECT_EQ(offer, QString(labelText(53)).replace(QStringLiteral("%s"), labelText(869)));
    EXPECT_FALSE(mainEnabledMeanwhile);
    EXPECT_EQ(wReset->Label1->text(), labelText(108));
    expectBoxes({{58, 54}});
    expectEnded();
    EXPECT_TRUE(CurrentConnection.Connected);
}

TEST_F(ResetTest, AFactoryResetWhoseLoginFailsClosesTheLink)
{
    ASSERT_NO_FATAL_FAILURE(start());
    gatewaysim::Faults f;
    f.refuseLogin = true;
    gateway->setFaults(f);
    dialogs().answerBox(IDYES);
    fMain->selectTopic(42);
    expectBoxes({{58, 54}, {50, 47}});
    expectEnded();
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(CurrentConnection.Handle);
}

TEST_F(ResetTest, OnTheModemLineTheResetHangsUpAndSaysSo)
{
    // The modem call cannot outlive the gateway's restart: after the command the program hangs up and tells
    // the user to connect again, without waiting for the restart or logging in. (The factory reset ends the
    // same way; over the modem its twenty row deletions take half a minute of reply waits.)
    resetTimings.modemHangUpMs = 50;
    gatewaysim::Config cfg;
    cfg.resetDelayMs = 300;
    ASSERT_NO_FATAL_FAILURE(startListedModemGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    ASSERT_TRUE(gateway->modemInCall());
    gateway->clearLog();
    dialogs().clearRecords();

    dialogs().answerBox(IDYES);
    fMain->selectTopic(41);
    const QByteArray heard = received();
    ASSERT_TRUE(heard.startsWith("AT&BSYS=RESET\r\n")) << heard.constData();
    EXPECT_FALSE(heard.contains("admin")) << "no new login";
    EXPECT_EQ(gateway->loginCount(), 1);
    expectBoxes({{55, 54}, {882, 54}});
    EXPECT_EQ(dialogs().boxes()[1].flags, unsigned(MB_ICONINFORMATION));
    expectEnded();
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_TRUE(waitUntil([&] { return !gateway->modemInCall(); })) << "the call was hung up";
}

} // namespace
