// The firmware page, the upgrade starts and their ends, through the main window against the simulated
// gateway's boot loader (telnet and a serial pty).
#include "firmware/ui/FirmwarePage.h"
#include "firmware/BootPort.h"
#include "firmware/FirmwareFiles.h"
#include "firmware/UpgradeJob.h"
#include "firmware/ui/TfFirm.h"
#include "link/ConnectFixture.h"
#include "link/LiveTools.h"
#include "pages/PageFrame.h"
#include "pages/PageRuns.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <atomic>

namespace {

class FirmwarePageTest : public ConnectTest
{
protected:
    void SetUp() override
    {
        ConnectTest::SetUp();
        cfg.firmwareImagePath = path(QStringLiteral("received.hex"));
        bootPortLogPath = path(QStringLiteral("log.txt"));
    }
    void TearDown() override
    {
        // A job still running ends on its own time-outs; wait for it before the windows go.
        QTest::qWaitFor([] { return !liveTools.running(LiveToolSlot::FirmwareUpgrade); }, 60000);
        ConnectTest::TearDown();
        bootTiming = BootTiming{};
        bootPortLogPath.clear();
    }
    // A firmware file of the name the serial check wants, from objcopy.
    QString firmwareFile(qsizetype bytes = 2048)
    {
        const QString file = path(QStringLiteral("r5183-v-02.05.03.hex"));
        EXPECT_TRUE(fwtest::objcopyHex(path(QStringLiteral("image.bin")), file, bytes, true));
        return file;
    }
    // Waits (events flowing) until the upgrade and its end handling are over.
    bool waitForUpgradeEnd(int ms = 90000)
    {
        return QTest::qWaitFor(
            [] {
                return !liveTools.running(LiveToolSlot::FirmwareUpgrade) && fMain->isEnabled() && !fFirm->isVisible();
            },
            ms);
    }
    bool imageArrived(const QString& source)
    {
        QString detail;
        const bool same = fwtest::sameImage(source, cfg.firmwareImagePath, &detail);
        if (!same)
            ADD_FAILURE() << detail.toStdString();
        return same;
    }
    bool received(const QByteArray& line) const { return gateway->receivedLines().contains(line); }

    gatewaysim::Config cfg;
};

} // namespace

TEST_F(FirmwarePageTest, TextsAndVersionsOfThePage)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    EXPECT_EQ(fMain->gbFirmware->title(), labelText(129));
    EXPECT_EQ(fMain->lbFirmBoot->text(), labelText(131));
    const QStringList hint = fMain->mFirmHint->toPlainText().split(QLatin1Char('\n'));
    EXPECT_EQ(hint, (QStringList{labelText(968), labelText(969), labelText(970)}));
    fMain->setLabels(labelTexts);
    EXPECT_EQ(fMain->mFirmHint->toPlainText().split(QLatin1Char('\n')).size(), 3) << "the pass does not add lines";

    // The versions come from the gateway's "SW : " line.
    fMain->sbFirmLoadClick();
    EXPECT_EQ(fMain->edFirmBoot->text(), QStringLiteral("02.62"));
    EXPECT_EQ(fMain->edFirmFirm->text(), QStringLiteral("V-02.05.20"));
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(61)});
}

TEST_F(FirmwarePageTest, StartsThatEndBeforeAnyJob)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const QString good = firmwareFile();
    const struct
    {
        quint8 linkType;
        QString file;
        QList<int> answers;
        QList<int> texts;
    } cases[] = {
        {LinkModem, good, {}, {883}},
        {LinkTelnet, good, {IDNO}, {787}},
        {LinkTelnet, path("missing.hex"), {IDYES}, {787, 71}},
        {LinkIsdnModem, good, {IDYES}, {787}},
    };
    for (const auto& c : cases) {
        dialogs().clearRecords();
        for (const int a : c.answers)
            dialogs().answerBox(a);
        CurrentConnection.LinkType = c.linkType;
        fMain->edFirmUpdate->setText(c.file);
        fMain->sbFirmUpgradeClick();
        QStringList texts;
        for (const int t : c.texts)
            texts << labelText(t);
        EXPECT_EQ(dialogs().boxTexts(), texts) << c.linkType;
        EXPECT_FALSE(received("at!K2RM\r\n")) << c.linkType;
        EXPECT_TRUE(fMain->isEnabled());
    }
    CurrentConnection.LinkType = LinkTelnet;

    // A bad file over the link: refused before the erase, the link stays as it was.
    const QString bad = path(QStringLiteral("bad.hex"));
    ASSERT_TRUE(fwtest::writeFile(bad, ":0100000000FE\r\n"));
    dialogs().clearRecords();
    dialogs().answerBox(IDYES);
    fMain->edFirmUpdate->setText(bad);
    fMain->sbFirmUpgradeClick();
    ASSERT_EQ(dialogs().boxes().size(), 2);
    EXPECT_TRUE(dialogs().boxes().at(1).text.startsWith(labelText(207) + QLatin1Char('\n')));
    EXPECT_TRUE(dialogs().boxes().at(1).text.contains(QStringLiteral("bad.hex:1: bad checksum")));
    EXPECT_EQ(dialogs().boxes().at(1).caption, labelText(47));
    EXPECT_FALSE(received("at!K2RM\r\n"));
    EXPECT_TRUE(CurrentConnection.Connected);
    EXPECT_TRUE(fMain->isEnabled());
    EXPECT_FALSE(fFirm->isVisible());
}

TEST_F(FirmwarePageTest, OverTheLinkWithoutBootReadyTheLinkIsClosed)
{
    bootTiming = BootTiming{100, 30}; // the 30 s wait for "Boot: Ready" in 1 s
    cfg.faults.bootNoReady = true;
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    fMain->edFirmUpdate->setText(firmwareFile());
    dialogs().answerBox(IDYES);
    fMain->sbFirmUpgradeClick();
    EXPECT_TRUE(received("at!K2RM\r\n"));
    EXPECT_EQ(dialogs().boxTexts(), (QStringList{labelText(787), labelText(212)}));
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(tcp->Connected());
    EXPECT_FALSE(tcpUpgradeActive);
    EXPECT_TRUE(fMain->isEnabled());
    EXPECT_FALSE(fFirm->isVisible());
    EXPECT_FALSE(tcpFirmwareJob && tcpFirmwareJob->IsRunning()) << "no job was started";

    // The telnet text is the window's again: a new connection logs in.
    gatewaysim::Faults none;
    gateway->setFaults(none);
    ASSERT_NO_FATAL_FAILURE(connectNow());
}

TEST_F(FirmwarePageTest, OverTheLinkAtRealTimingWithTheReconnect)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const QString file = firmwareFile(4096);
    fMain->edFirmUpdate->setText(file);
    fFirm->pbStatus->setRange(0, 4000); // as a voice transfer of a 4000-byte file leaves the shared bar
    dialogs().answerBox(IDYES);
    fMain->sbFirmUpgradeClick();
    EXPECT_EQ(fFirm->pbStatus->maximum(), 100);
    EXPECT_TRUE(tcpUpgradeActive);
    EXPECT_FALSE(fMain->isEnabled());
    EXPECT_TRUE(fFirm->isVisible());
    EXPECT_EQ(fFirm->windowTitle(), QStringLiteral("[ 127.0.0.1 ] : ") + labelText(198));
    ASSERT_TRUE(waitForUpgradeEnd());
    EXPECT_EQ(tcpFirmwareJob->GetError(), 0);
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(787)}) << "no error after the question";
    EXPECT_TRUE(imageArrived(file));
    EXPECT_EQ(fFirm->pbStatus->value(), 100);
    EXPECT_EQ(fFirm->lbFirmStatus->text(), labelText(202)) << "the reports came in order, state 8 last";
    EXPECT_FALSE(tcpUpgradeActive);
    EXPECT_TRUE(CurrentConnection.Connected) << "reconnected after the upgrade";
    EXPECT_EQ(gateway->loginCount(), 2);
}

// The ISDN load cut in I52's value, the rest coming after its read gave up: at!K2RM goes out only once that reply
// has ended, and the boot loader's "Boot: Ready" is waited for as before.
TEST_F(FirmwarePageTest, OverTheLinkTheEraseWaitsForACutReply)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const QString file = firmwareFile();
    fMain->edFirmUpdate->setText(file);
    gateway->setValue("I52", "+++BRI-DOWN+++");
    gatewaysim::Faults f;
    f.chunkSize = 64;
    f.chunkDelayMs = 100;
    f.pauseAfter = "I52=";
    f.pauseAfterMs = 3500; // past the load's read (at most about 2.1 s after the "=")
    gateway->setFaults(f);
    QElapsedTimer took;
    took.start();
    std::atomic<qint64> viewHeardAt{-1};
    QObject context;
    QObject::connect(
        gateway.get(), &gatewaysim::Gateway::lineLogged, &context,
        [&](int, const QByteArray& raw) {
            if (raw.startsWith("AT&Vi"))
                viewHeardAt = took.elapsed();
        },
        Qt::DirectConnection);
    registeredPage(PageId::Isdn)->loadClick();
    ASSERT_EQ(dialogs().boxes().size(), 1);
    ASSERT_GE(viewHeardAt.load(), 0);
    gateway->setFaults({});
    // The "=" went out right after the view was heard: the erase is asked for about half a second before the
    // value's rest comes, within the quiet the erase waits for.
    QTest::qWait(int(std::max<qint64>(viewHeardAt.load() + 3000 - took.elapsed(), 0)));
    ASSERT_TRUE(gateway->sending()) << "the value's rest is still to come";
    dialogs().answerBox(IDYES);
    fMain->sbFirmUpgradeClick();
    ASSERT_TRUE(waitForUpgradeEnd());
    EXPECT_TRUE(imageArrived(file));
    EXPECT_FALSE(gateway->linesWhileReplying().contains("at!K2RM\r\n"));
}

TEST_F(FirmwarePageTest, ABootModeGatewayOverTheLinkIsOfferedTheUpgrade)
{
    bootTiming = BootTiming{100, 1};
    cfg.faults.bootMode = true;
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
    const QString file = firmwareFile();
    dialogs().answerBox(IDYES);
    dialogs().answerOpenFile(file);
    CurrentConnection = ConnectToGateway(false, fMain, false);
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_EQ(fMain->edFirmUpdate->text(), file);
    ASSERT_TRUE(waitForUpgradeEnd());
    EXPECT_EQ(tcpFirmwareJob->GetError(), 0);
    EXPECT_FALSE(received("at!K2RM\r\n")) << "the gateway is in its boot loader already";
    EXPECT_TRUE(imageArrived(file));
    EXPECT_TRUE(CurrentConnection.Connected);
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(52)});
}

TEST_F(FirmwarePageTest, ABootModeGatewayOnTheSerialPortAtRealTiming)
{
    cfg.faults.bootAtMode = true;
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    const QString file = firmwareFile(4096);
    dialogs().answerBox(IDYES);
    dialogs().answerOpenFile(file);
    CurrentConnection = ConnectToGateway(false, fMain, false);
    EXPECT_FALSE(CurrentConnection.Handle) << "the port is the job's now";
    ASSERT_TRUE(waitForUpgradeEnd());
    EXPECT_EQ(firmwareJob->GetError(), 0);
    EXPECT_TRUE(received("at!K2RM\r"));
    EXPECT_TRUE(imageArrived(file));
    EXPECT_EQ(fFirm->lbFirmStatus->text(), labelText(202));
    EXPECT_TRUE(CurrentConnection.Connected) << "a serial upgrade always reconnects";
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(52)});
}

TEST_F(FirmwarePageTest, AGatewayStillInBootModeAfterAFailureStartsANewJob)
{
    bootTiming = BootTiming{100, 20};
    cfg.faults.bootMode = true;
    cfg.faults.bootRefuse = 5;
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    const QString file = firmwareFile();
    // Connect: the offer; the upload is refused five times (212); the reconnect meets the boot loader again and
    // offers anew, from inside the end of the first job; the second job goes through.
    dialogs().answerBoxes({IDYES, IDOK, IDYES});
    dialogs().answerOpenFile(file);
    dialogs().answerOpenFile(file);
    std::weak_ptr<CFWUpgradeThread> first;
    CurrentConnection = ConnectToGateway(false, fMain, false);
    first = firmwareJob;
    ASSERT_TRUE(QTest::qWaitFor([&] { return firmwareJob != first.lock() || first.expired(); }, 60000));
    ASSERT_TRUE(waitForUpgradeEnd());
    EXPECT_TRUE(first.expired()) << "the first job was let go";
    EXPECT_EQ(firmwareJob->GetError(), 0);
    EXPECT_EQ(dialogs().boxTexts(), (QStringList{labelText(52), labelText(212), labelText(52)}));
    EXPECT_TRUE(imageArrived(file));
    EXPECT_TRUE(CurrentConnection.Connected);
}

TEST_F(FirmwarePageTest, ARunningGatewayOnTheSerialPortIsUpgradedAfterTheFileCheck)
{
    bootTiming = BootTiming{100, 20};
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg)); // the simulated gateway as shipped
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const QString statusBefore = panel0();

    const struct
    {
        QString name;
        int text;
    } refused[] = {{QStringLiteral("r5183-v-02.04.00.hex"), 895}, {QStringLiteral("new.hex"), 896}};
    for (const auto& c : refused) {
        const QString file = path(c.name);
        ASSERT_TRUE(fwtest::writeFile(file, ":00000001FF\r\n"));
        dialogs().clearRecords();
        dialogs().answerBox(IDYES);
        fMain->edFirmUpdate->setText(file);
        fMain->sbFirmUpgradeClick();
        EXPECT_EQ(dialogs().boxTexts(), (QStringList{labelText(787), labelText(c.text)}));
        EXPECT_TRUE(CurrentConnection.Connected) << "refused before anything was disconnected";
    }

    // A fitting file: the gateway is disconnected without the status text and the job starts on the port. The
    // running gateway answers the AT probe, erases its flash and takes the image; the end reconnects.
    dialogs().clearRecords();
    dialogs().answerBox(IDYES);
    const QString file = firmwareFile();
    fMain->edFirmUpdate->setText(file);
    fMain->sbFirmUpgradeClick();
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_EQ(panel0(), statusBefore) << "the upgrade's disconnect leaves the status bar";
    EXPECT_EQ(fFirm->windowTitle(), CurrentConnection.ComPortName + QStringLiteral(" : ") + labelText(198));
    ASSERT_TRUE(waitForUpgradeEnd());
    EXPECT_EQ(firmwareJob->GetError(), 0);
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(787)});
    EXPECT_TRUE(received("at!K2RM\r"));
    EXPECT_TRUE(imageArrived(file));
    EXPECT_TRUE(CurrentConnection.Connected);
}
