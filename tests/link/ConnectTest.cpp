// Connecting through the real main window to the simulated gateway over each link type: the bytes the
// gateway receives, the model, the status line, the communication log, the menus; the failures the connect
// reports; the disconnect.
#include "ConnectFixture.h"

#include "link/CommLog.h"
#include "link/LinkIo.h"
#include "link/ui/TfAddNumber.h"
#include "link/ui/TfDialing.h"
#include "link/ui/TfInsertIp.h"
#include "link/ui/TfLogin.h"
#include "platform/IniFile.h"
#include "support/FreezeMeter.h"
#include "ui/TfDialog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

const QList<QByteArray> kTelnetSession = {"admin\r\n", "admin\r\n", "ATI4\r\n",  "\n",
                                          "ATI3\r\n",  "\n",        "AT&M0\r\n", "\n"};

void answerLogin(ScriptedDialogs& dialogs)
{
    dialogs.onModal([](QDialog* d) {
        auto* login = static_cast<TfLogin*>(d);
        login->edUser->setText(QStringLiteral("admin"));
        login->edPassword->setText(QStringLiteral("admin"));
        login->accept();
    });
}

TEST_F(ConnectTest, TelnetLogsInIdentifiesOffersTheLoadAndDisconnects)
{
    for (const char* model : {"MX", "MY"}) {
        gatewaysim::Config cfg;
        cfg.model = QString::fromLatin1(model);
        ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        fMain->mConnect->trigger();
        ASSERT_TRUE(CurrentConnection.Connected) << qPrintable(dialogs().boxTexts().join('|'));
        const bool y = QByteArray(model) == "MY";
        EXPECT_EQ(gateway->receivedLines(), kTelnetSession) << model;
        EXPECT_EQ(gatewayModel, y ? 1 : 0);
        EXPECT_EQ(panel0(), QStringLiteral("Sim : [127.0.0.1] connected ") + (y ? "Mesk Y" : "Mesk X"));
        EXPECT_EQ(fMain->statusText,
                  QStringLiteral("Mesk %1 GSM-ISDN gateway  SW : 02.62 /V-02.05.20").arg(QString::fromLatin1(model)));
        EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_EQ(fDialog->lb1->text(), QString(labelText(53)).replace(QStringLiteral("%s"), labelText(y ? 868 : 869)));
        expectConnectedState(true);
        EXPECT_TRUE(QDir(programFolder()).entryList({QStringLiteral("comlog*.txt")}).isEmpty()) << "SaveLog is off";

        // A connect while connected sends nothing.
        gateway->clearLog();
        EXPECT_TRUE(ConnectToGateway(false, fMain, false).Connected);
        EXPECT_TRUE(gateway->receivedLines().isEmpty());
        EXPECT_EQ(gateway->connectionCount(), 1);

        fMain->tbDisconnect->trigger();
        EXPECT_FALSE(CurrentConnection.Connected);
        EXPECT_FALSE(tcp->Connected());
        EXPECT_EQ(panel0(), QStringLiteral("Sim : not connected"));
        expectConnectedState(false);
        TearDown();
        SetUp();
    }
}

TEST_F(ConnectTest, TheAppendedCommunicationLogTakesEachConnectionAfterItsLogin)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway({}, "SaveLog=1\nAppend=1\n"));
    for (int i = 0; i < 2; ++i) {
        ASSERT_NO_FATAL_FAILURE(connectNow());
        fMain->mDisconnectClick();
        EXPECT_TRUE(commLogPath().isEmpty()) << "the disconnect closes the log";
    }
    const QByteArray log = readFile(QStringLiteral("comlog.txt"));
    EXPECT_EQ(log.count(" connected ===="), 2);
    EXPECT_TRUE(log.contains("> AT&M0\\r\\n")) << log.constData();
    EXPECT_TRUE(log.contains("< \\r\\nOK\\r\\n"));
    EXPECT_FALSE(log.contains("admin")) << "the log opens after the login: no password in it";
}

TEST_F(ConnectTest, SerialFindsTheSpeedLogsInAndIsLoggedInStillNextTime)
{
    gatewaysim::Config cfg;
    cfg.serialBaudRate = 57600;
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
    // The scan tries three speeds before the gateway's: the window's events run meanwhile, the user's input held.
    const FreezeMeter freeze(20);
    int ticksWithInputFree = 0;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] { ticksWithInputFree += !LinkInputHeld(); });
    look.start(20);
    ASSERT_NO_FATAL_FAILURE(connectNow());
    look.stop();
    EXPECT_LT(freeze.longestMs(), 1000);
    EXPECT_EQ(ticksWithInputFree, 0);
    EXPECT_EQ(gateway->receivedLines(),
              (QList<QByteArray>{"\r\n", "admin\r", "admin\r", "ATI4\r\n", "ATI3\r\n", "AT&M0\r\n"}));
    EXPECT_EQ(CurrentConnection.Handle->baudRate(), 57600);
    EXPECT_EQ(panel0(), QStringLiteral("Sim : [%1] connected Mesk X").arg(CurrentConnection.ComPortName));
    expectConnectedState(true);

    fMain->mDisconnectClick();
    EXPECT_FALSE(CurrentConnection.Handle);
    expectConnectedState(false);

    // The gateway's session outlived the port: the scan's "AT" finds it, the login's empty lines bring no
    // prompt, and "AT" answered "OK" takes it as logged in.
    gateway->clearLog();
    ASSERT_NO_FATAL_FAILURE(connectNow());
    QList<QByteArray> again{"\r\n", "AT\r\n"};
    for (int i = 0; i < 10; ++i)
        again.append("\r\n");
    again.append({"AT\r\n", "ATI4\r\n", "ATI3\r\n", "AT&M0\r\n"});
    EXPECT_EQ(gateway->receivedLines(), again);
    EXPECT_EQ(gateway->loginCount(), 1);
}

TEST_F(ConnectTest, ModemAsksTheNumberDialsAndHangsUp)
{
    gatewaysim::Config cfg;
    cfg.modemGuardMs = 500;
    ASSERT_NO_FATAL_FAILURE(startModemGateway(cfg));
    dialogs().onModal([](QDialog* d) {
        auto* number = static_cast<TfAddNumber*>(d);
        number->ed1->setText(QStringLiteral("5551234"));
        number->sbOkClick();
    });
    answerLogin(dialogs());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    EXPECT_EQ(CurrentGateway.PhoneNumber, QStringLiteral("5551234"));
    const QList<QByteArray> lines = gateway->receivedLines();
    ASSERT_TRUE(lines.contains("ATDT5551234\r"));
    EXPECT_EQ(lines.mid(lines.indexOf("ATDT5551234\r") + 1),
              (QList<QByteArray>{"admin\r", "admin\r", "ATI4\r\n", "ATI3\r\n", "AT&M0\r\n"}));
    EXPECT_GT(fDialing->lb1->count(), 0) << "the call's progress was shown";
    EXPECT_FALSE(fDialing->isVisible());
    EXPECT_EQ(panel0(), QStringLiteral("unnamed : connected, %1 Mesk X").arg(CurrentConnection.ModemName));
    EXPECT_TRUE(gateway->modemInCall());

    fMain->mDisconnectClick();
    EXPECT_FALSE(CurrentConnection.Modem);
    EXPECT_FALSE(gateway->modemInCall());
    expectConnectedState(false);
}

// The modem's connect at the program's own waits, where the call meets something other than a gateway that
// logs in: a boot loader, whose banner never ends as a reply does, is offered the upgrade as soon as the
// banner's line is in; a call that the gateway ends during the login's wait (its idle logout, 0.8 s after the
// login's "OK") fails the connect as a lost link does, the modem's "NO CARRIER" in the log as received and
// nothing logged as sent after it.
TEST_F(ConnectTest, AModemCallThatMeetsNoSessionEndsTheConnectAtOnce)
{
    const struct
    {
        std::function<void(gatewaysim::Config&)> setUp;
        int box;
    } rows[] = {
        {[](gatewaysim::Config& c) { c.faults.bootMode = true; }, 52}, // declined
        {[](gatewaysim::Config& c) { c.idleLogoutMs = 800; }, 56},
    };
    for (const auto& row : rows) {
        gatewaysim::Config cfg;
        row.setUp(cfg);
        ASSERT_NO_FATAL_FAILURE(startListedModemGateway(cfg));
        CurrentConnection.SaveLog = true;
        CurrentConnection.Append = true;
        QElapsedTimer clock;
        qint64 toldAt = -1;
        dialogs().answerBoxAfter([&] { toldAt = clock.elapsed(); }, row.box == 52 ? IDNO : IDOK);
        clock.start();
        CurrentConnection = ConnectToGateway(false, fMain, false);
        EXPECT_FALSE(CurrentConnection.Connected) << row.box;
        EXPECT_FALSE(CurrentConnection.Modem) << row.box;
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(row.box)});
        QTest::qWait(200); // the link's loss, when it is reported, is handled once the connect has returned
        EXPECT_EQ(dialogs().boxes().size(), 1) << "told once";
        expectConnectedState(false);
        if (row.box == 52) {
            EXPECT_LT(toldAt, 5000) << "ms from the click to the offer";
        } else {
            const QByteArray log = readFile(QStringLiteral("comlog.txt"));
            const qsizetype end = log.indexOf("< \\r\\nNO CARRIER\\r\\n");
            EXPECT_GE(end, 0) << log.constData();
            EXPECT_FALSE(log.mid(end).contains(" > ")) << log.constData();
        }
        TearDown();
        SetUp();
    }
}

TEST_F(ConnectTest, TheUnnamedGatewayOnTelnetIsAskedForItsAddressAndLogin)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway({}, {}, false));
    const quint16 port = telnetPort;
    dialogs().onModal([port](QDialog* d) {
        auto* ip = static_cast<TfInsertIp*>(d);
        ip->Edit1->setText(QStringLiteral("127.0.0.1"));
        ip->Edit4->setText(QString::number(port));
        ip->BitBtn1Click();
    });
    answerLogin(dialogs());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    EXPECT_EQ(CurrentGateway.Host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(CurrentGateway.Username, QStringLiteral("admin")) << "the names asked are kept for the next login";
    EXPECT_EQ(gateway->receivedLines(), kTelnetSession);

    // Cancel in the address window: no connection and no message.
    fMain->mDisconnectClick();
    dialogs().clearRecords();
    dialogs().onModal([](QDialog* d) { d->reject(); });
    CurrentConnection = ConnectToGateway(false, fMain, false);
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    EXPECT_EQ(gateway->connectionCount(), 1);
}

TEST_F(ConnectTest, FailuresAreReportedAndLeaveTheLinkClosed)
{
    const struct
    {
        std::function<void(gatewaysim::Config&)> setUp;
        int text;
        unsigned flags;
    } cases[] = {
        {[](gatewaysim::Config& c) { c.faults.refuseLogin = true; }, 50, MB_ICONERROR},
        {[](gatewaysim::Config& c) { c.faults.bootMode = true; }, 52, MB_YESNO | MB_ICONQUESTION}, // declined
    };
    for (const auto& c : cases) {
        gatewaysim::Config cfg;
        c.setUp(cfg);
        ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        CurrentConnection = ConnectToGateway(false, fMain, false);
        EXPECT_FALSE(CurrentConnection.Connected) << c.text;
        EXPECT_FALSE(tcp->Connected()) << c.text;
        ASSERT_EQ(dialogs().boxes().size(), 1) << c.text;
        EXPECT_EQ(dialogs().boxes().first().text, labelText(c.text));
        EXPECT_EQ(dialogs().boxes().first().flags, c.flags) << c.text;
        EXPECT_FALSE(labelText(c.text).isEmpty());
        EXPECT_FALSE(progressShown);
        EXPECT_TRUE(fMain->isEnabled());
        expectConnectedState(false);
        TearDown();
        SetUp();
    }

    // Once the close is decided nothing opens the link: no box, not a byte to the gateway.
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    setClosingProgram(true);
    CurrentConnection = ConnectToGateway(false, fMain, false);
    setClosingProgram(false);
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(tcp->Connected());
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    TearDown();
    SetUp();

    // A serial gateway at a speed the scan does not try is silent.
    gatewaysim::Config silent;
    silent.serialBaudRate = 4800;
    ASSERT_NO_FATAL_FAILURE(startSerialGateway(silent));
    CurrentConnection = ConnectToGateway(false, fMain, false);
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(CurrentConnection.Handle);
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes().first().text, labelText(49));

    // A port that is not there: the port's own reason is shown with the text.
    dialogs().clearRecords();
    CurrentConnection.ComPortName = path(QStringLiteral("no-such-port"));
    CurrentConnection = ConnectToGateway(false, fMain, false);
    EXPECT_FALSE(CurrentConnection.Connected);
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_TRUE(dialogs().boxes().first().text.startsWith(labelText(48) + QLatin1Char('\n')));
    EXPECT_GT(dialogs().boxes().first().text.size(), labelText(48).size() + 1);
}

TEST_F(ConnectTest, TheStatusTextAsksTheGatewayOnlyWhileTheWindowCanWork)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->clearLog();
    fMain->setStatusText(QStringLiteral("before"));

    fMain->tbLoadGate->setEnabled(false); // a live tool's run: the line is rewritten, the gateway not asked
    fMain->ShowConnectionInfo();
    EXPECT_EQ(panel0(), QStringLiteral("Sim : [127.0.0.1] connected Mesk X"));
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    EXPECT_EQ(fMain->statusText, QStringLiteral("before"));

    fMain->tbLoadGate->setEnabled(true);
    fMain->ShowConnectionInfo();
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"ATI4\r\n", "\n", "ATI3\r\n", "\n"}));
    EXPECT_EQ(fMain->statusText, QStringLiteral("Mesk MX GSM-ISDN gateway  SW : 02.62 /V-02.05.20"));
}

// A switch while connected asks the gateway for its identification again; a second language chosen while it
// waits for the replies is refused, so that the stored choice is the one shown.
TEST_F(ConnectTest, ALanguageSwitchWhileConnectedReadsTheIdentificationOnceAndRefusesASecondSwitch)
{
    ASSERT_NO_FATAL_FAILURE(startTelnetGateway());
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->clearLog();
    bool secondTried = false;
    QTimer::singleShot(0, fMain, [&secondTried] {
        secondTried = true;
        fMain->mPolish->trigger();
    });
    fMain->tbHungary->trigger();
    EXPECT_TRUE(secondTried) << "the wait for the gateway handles events";
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"ATI4\r\n", "\n", "ATI3\r\n", "\n"}));
    EXPECT_TRUE(CurrentConnection.Connected);
    EXPECT_EQ((QList<bool>{fMain->languageButtonDown(2), fMain->languageButtonDown(3), fMain->mHungary->isChecked(),
                           fMain->mPolish->isChecked()}),
              (QList<bool>{true, false, true, false}));
    EXPECT_EQ(IniFile(path(QStringLiteral("settings.ini")))
                  .ReadInteger(QStringLiteral("main"), QStringLiteral("Language"), -1),
              2);

    fMain->tbPolish->trigger(); // once the first has ended, a switch runs again
    EXPECT_TRUE(fMain->languageButtonDown(3));
    EXPECT_EQ(IniFile(path(QStringLiteral("settings.ini")))
                  .ReadInteger(QStringLiteral("main"), QStringLiteral("Language"), -1),
              3);
}

} // namespace
