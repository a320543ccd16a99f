// The ISDN page through the main window against the simulated gateway.
#include "PageTestFixture.h"

#include "config/GateFile.h"
#include "pages/IsdnPage.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

class IsdnPageTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        isdnRestartWaitMs = 20;
        isdnModemHangupWaitMs = 0;
    }

    void useModel(const char* model, gatewaysim::InterfaceChange change = gatewaysim::InterfaceChange::StaysLoggedIn)
    {
        gatewaysim::Config config;
        config.model = QString::fromLatin1(model);
        config.interfaceChange = change;
        startGateway(config);
    }
    void load() { press(fMain->sbIsdnLoad); }
    void save() { press(fMain->sbIsdnSave); }
    // The lines the gateway received from the first one that starts with start on.
    QList<QByteArray> from(const QByteArray& start) const
    {
        QList<QByteArray> lines = commandsReceived();
        while (!lines.isEmpty() && !lines.first().startsWith(start))
            lines.removeFirst();
        return lines;
    }
    // The user picks a mode, as the list's OnChange sees it.
    void pickTeMode(int index)
    {
        fMain->cbIsdnTEmode->setCurrentIndex(index);
        fMain->cbIsdnTEmodeChange();
    }
};

// Every interface mode of both models loads into its controls and goes back unchanged, with no new login.
struct ModeCase
{
    const char* name;
    const char* model;
    QByteArray mode;
    int teMode;        // position in the BRI 2 (or single port) mode list
    int interfaceItem; // one-port: NT 0, TE 1
    bool disa;
    bool msnEnabled;
    QString msn;
};
const ModeCase kModeCases[] = {
    {"two_port_NT", "MX", "NT", 3, -1, false, true, "5551"},
    {"two_port_NT_E", "MX", "NT/E", 3, -1, true, true, "5551"},
    {"two_port_NT_O", "MX", "NT/O", 0, -1, false, false, "5551"},
    {"two_port_NT_S", "MX", "NT/S", 1, -1, false, false, "5551"},
    {"one_port_NT", "MY", "NT", 1, 0, false, false, ""},
    {"one_port_TE_E", "MY", "TE/E", 1, 1, true, true, "5551"},
    {"one_port_TE_T", "MY", "TE/T", 1, 1, false, false, "5551"},
};

class IsdnModeRoundTrip : public IsdnPageTest, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(IsdnModeRoundTrip, ComesBackWithoutALogin)
{
    const ModeCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(useModel(c.model));
    ASSERT_TRUE(gateway->setValue("I00", c.mode));
    ASSERT_TRUE(gateway->setValue("I01", "64,1"));
    ASSERT_TRUE(gateway->setValue("I27", "5551"));
    load();
    expectInfoBox(61);
    EXPECT_EQ(gatewayModel, c.model == QByteArray("MY") ? 1 : 0);
    EXPECT_EQ(fMain->cbIsdnTEmode->currentIndex(), c.teMode);
    EXPECT_EQ(fMain->cbIsdnTEmode->count(), c.interfaceItem < 0 ? 4 : 2);
    if (c.interfaceItem >= 0) {
        EXPECT_EQ(fMain->cbIsdnInterface->currentIndex(), c.interfaceItem);
    }
    EXPECT_EQ(fMain->cbIsdnDisaTone->isChecked(), c.disa);
    EXPECT_EQ(fMain->edIsdnMsnNumber->isEnabled(), c.msnEnabled);
    EXPECT_EQ(fMain->edIsdnMsnNumber->text(), c.msn);
    EXPECT_EQ(fMain->seIsdnNTMan->value(), 64);
    EXPECT_FALSE(fMain->seIsdnTEMan->isEnabled());

    const int logins = gateway->loginCount();
    save();
    expectInfoBox(66);
    EXPECT_EQ(timesReceived("AT%I00=" + c.mode + "\r\n"), 1);
    EXPECT_EQ(gateway->value("I00"), c.mode);
    EXPECT_EQ(gateway->loginCount(), logins);
    EXPECT_EQ(gateway->value("I01"), "64,1");
    // The one-port gateway keeps its MSN only as a TE interface with DISA dial tone.
    const bool msnKept = c.model == QByteArray("MX") || c.mode == "TE/E";
    EXPECT_EQ(gateway->value("I27"), msnKept ? "5551" : "");
}
INSTANTIATE_TEST_SUITE_P(Modes, IsdnModeRoundTrip, ::testing::ValuesIn(kModeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The save's commands in their order, on a gateway whose values all differ from the factory's.
TEST_F(IsdnPageTest, SaveSendsEveryCommandInItsOrder)
{
    const std::pair<const char*, const char*> values[] = {
        {"I00", "NT/S"}, {"I01", "5,0"},       {"I03", "17,42"},        {"I06", "1,2,3,4"},
        {"I08", "2,3,4,0"}, {"I09", "7,20,12"}, {"I27", "12345"},       {"I50", "3,5,100,200"},
        {"I51", "1,+2,#3"}, {"I52", "BRI %P(1|2) %A(down|up)"},       {"I60", "09:30,15"},
        {"I61", "7,8,9"},   {"I62", "alive %M"},  {"G08", "4,5,12,6,90"},
    };
    for (const auto& [key, value] : values)
        ASSERT_TRUE(gateway->setValue(key, value));
    load();
    expectInfoBox(61);
    EXPECT_EQ(fMain->seIsdnDigits->value(), 12);
    EXPECT_EQ(fMain->cbIsdnDialingMode->currentIndex(), 1);
    EXPECT_TRUE(fMain->cbIsdnReceive->isChecked());
    EXPECT_TRUE(fMain->cbIsdnConnectAck->isChecked());
    EXPECT_TRUE(fMain->cbIsdnKeepBRI11->isChecked() && fMain->cbIsdnKeepBRI12->isChecked());
    EXPECT_TRUE(fMain->cbIsdnKeepBRI21->isChecked() && fMain->cbIsdnSendSms2->isChecked());
    EXPECT_TRUE(fMain->cbInAliveActivate->isChecked());
    EXPECT_TRUE(fMain->edInAliveNum1->isEnabled());
    EXPECT_EQ(fMain->seIsdnMin->value(), 5);
    EXPECT_EQ(fMain->seIsdnWait->value(), 6);
    EXPECT_EQ(pageChanged[pcIsdn], 1);

    save();
    expectInfoBox(66);
    EXPECT_EQ(from("AT&Vi"), (QList<QByteArray>{
                                 "AT&Vi\r\n", "AT%I27=12345\r\n", "AT%I00=NT/S\r\n", "AT%I01=5,0\r\n",
                                 "AT%I09=7,20,12\r\n", "AT%I08=2,3,4,0\r\n", "AT%I06=1,2,3,4\r\n", "AT%I03=17,42\r\n",
                                 "AT&V0\r\n", "AT%G08=4,5,12,6,90\r\n", "AT%I50=3,5,100,200\r\n",
                                 "AT%I52=BRI %P(1|2) %A(down|up)\r\n", "AT%I51=1,+2,#3\r\n", "AT%I61=7,8,9\r\n",
                                 "AT%I62=alive %M\r\n"}));
}

// A changed interface mode restarts the gateway's interface: what follows goes out only after a login that
// worked; a gateway that drops the connection gets nothing after "I00".
struct RestartCase
{
    const char* name;
    gatewaysim::InterfaceChange change;
    bool newLogin;
    bool goesOn;
};
const RestartCase kRestartCases[] = {
    {"stays_logged_in", gatewaysim::InterfaceChange::StaysLoggedIn, false, true},
    {"shows_login", gatewaysim::InterfaceChange::ShowsLogin, true, true},
    {"drops", gatewaysim::InterfaceChange::Drops, false, false},
};

class IsdnModeChange : public IsdnPageTest, public ::testing::WithParamInterface<RestartCase>
{
};

TEST_P(IsdnModeChange, LaterCommandsWaitForTheNewLogin)
{
    const RestartCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(useModel("MX", c.change));
    load();
    pickTeMode(0); // BRI 2 disabled: "NT/O"
    EXPECT_FALSE(fMain->cbIsdnDisaTone->isEnabled());
    const int logins = gateway->loginCount();
    save();
    EXPECT_EQ(gateway->value("I00"), "NT/O");
    EXPECT_EQ(gateway->loginCount(), logins + (c.newLogin ? 1 : 0));
    const QList<QByteArray> after = from("AT%I00=");
    ASSERT_FALSE(after.isEmpty());
    if (c.goesOn) {
        expectInfoBox(66);
        EXPECT_TRUE(after.contains("AT%I01=0,0\r\n"));
        if (c.newLogin) { // the user name comes before the next command
            EXPECT_LT(after.indexOf("admin\r\n"), after.indexOf("AT%I01=0,0\r\n"));
        }
    } else {
        expectListBox(219, QStringLiteral("System settings - Incorrect login\n"));
        EXPECT_EQ(after.size(), 1) << "nothing after I00";
    }
}
INSTANTIATE_TEST_SUITE_P(Gateways, IsdnModeChange, ::testing::ValuesIn(kRestartCases),
                         [](const auto& info) { return std::string(info.param.name); });

// With the mode kept the gateway logs in anew for nothing: its login prompt after "I00" is its session's end,
// told once, and nothing more goes into its login dialogue.
TEST_F(IsdnPageTest, AKeptModeTakesTheLoginPromptForTheSessionsEnd)
{
    load();
    setFaults([](gatewaysim::Faults& f) { f.dropOn = "AT%I00=", f.dropShowsLogin = true; });
    save();
    EXPECT_TRUE(QTest::qWaitFor([] { return !CurrentConnection.Connected; }, 3000));
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(56)});
    EXPECT_EQ(from("AT%I00=").size(), 1) << "nothing after I00";
}

// The alive SMS is asked about only when it really changed (a one-digit hour on the gateway is the same
// time); Yes sends "I60" before "I61", No sends none. Empty numbers between two others keep their places.
TEST_F(IsdnPageTest, AliveSmsIsAskedOnlyWhenItChanged)
{
    ASSERT_TRUE(gateway->setValue("I60", "9:30,15"));
    load();
    EXPECT_EQ(fMain->edInAliveTime->text(), "09:30");
    fMain->edInAliveNum1->setText("111");
    fMain->edInAliveNum2->clear();
    fMain->edInAliveNum3->setText("333");
    save();
    expectInfoBox(66);
    EXPECT_FALSE(from("AT&Vi").join().contains("I60"));
    EXPECT_EQ(gateway->value("I61"), "111,,333");

    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer);
        ASSERT_TRUE(gateway->setValue("I60", "09:30,15"));
        fMain->seInAliveDay->setValue(20);
        dialogs().answerBox(answer);
        save();
        ASSERT_EQ(dialogs().boxes().size(), 2);
        EXPECT_EQ(dialogs().boxes().first().text, labelText(973));
        EXPECT_EQ(dialogs().boxes().first().flags, unsigned(MB_YESNO | MB_ICONQUESTION));
        const QList<QByteArray> sent = from("AT&Vi");
        if (answer == IDYES) {
            EXPECT_EQ(gateway->value("I60"), "09:30,20");
            EXPECT_LT(sent.indexOf("AT%I60=09:30,20\r\n"), sent.indexOf("AT%I61=111,,333\r\n"));
        } else {
            EXPECT_EQ(gateway->value("I60"), "09:30,15");
            EXPECT_FALSE(sent.join().contains("I60"));
        }
    }

    // A time not typed to its end is no interval: the whole-gateway save (which checks no ISDN input) sends
    // none and says so.
    typeInto(fMain->edInAliveTime, "1_:30");
    LoadErrors.clear();
    EXPECT_FALSE(fMain->isdnSave());
    EXPECT_EQ(gateway->value("I60"), "09:30,15");
    EXPECT_TRUE(LoadErrors.contains("ISDN settings - Alive SMS - time interval\n"));
}

// An alive-SMS time the gateway gives in another form is nobody's half-typed time: while the alive SMS is off no
// save refuses it, none sends it back, and the gate file keeps it; switched on, it goes back as it came.
TEST_F(IsdnPageTest, TheGatewaysOwnAliveTimeHoldsNoSaveBack)
{
    for (const char* i60 : {",0", "9:5,0", "0,0"}) {
        SCOPED_TRACE(i60);
        ASSERT_TRUE(gateway->setValue("I60", i60));
        load();
        const QString time = QString::fromLatin1(i60).section(QLatin1Char(','), 0, 0);
        ASSERT_EQ(fMain->edInAliveTime->text(), time);
        EXPECT_FALSE(fMain->edInAliveTime->isEnabled());

        save();
        expectInfoBox(66);
        EXPECT_FALSE(from("AT&Vi").join().contains("I60"));
        EXPECT_EQ(gateway->value("I60"), i60);

        dialogs().clearRecords();
        fMain->tbSaveClick();
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(75)});
        EXPECT_TRUE(readFile(QStringLiteral("sim.ini")).contains("I60=0," + time.toLatin1() + "\n"));

        // Switched on, the time goes back as it came, with the day, once the question is answered Yes.
        fMain->cbInAliveActivate->setChecked(true);
        fMain->seInAliveDay->setValue(3);
        dialogs().answerBox(IDYES);
        save();
        ASSERT_FALSE(dialogs().boxes().isEmpty());
        EXPECT_EQ(dialogs().boxes().first().text, labelText(973));
        EXPECT_EQ(timesReceived("AT%I60=" + time.toLatin1() + ",3\r\n"), 1);
    }
}

// "G08" belongs to two pages: each sends the other's values as the gateway holds them. The ISDN page sends the
// GSM basic page's defaults (2, 120) where the gateway's cannot be read, and nothing only without the view.
TEST_F(IsdnPageTest, G08KeepsTheOtherPagesValues)
{
    ASSERT_TRUE(gateway->setValue("G08", "4,5,12,6,90"));
    load();
    fMain->seIsdnMin->setValue(7);
    ASSERT_TRUE(gateway->setValue("G08", "3,5,12,6,80")); // the GSM basic page saved meanwhile
    save();
    EXPECT_EQ(gateway->value("G08"), "3,7,12,6,80");

    press(fMain->sbBasicLoad);
    fMain->seBasicRelax->setValue(9);
    ASSERT_TRUE(gateway->setValue("G08", "3,8,13,2,80")); // and the ISDN page here
    press(fMain->sbBasicSave);
    EXPECT_EQ(gateway->value("G08"), "9,8,13,2,80");

    const std::pair<QByteArray, QByteArray> kept[] = {
        {"3,8,13,2", "3,7,12,6,120"}, // the GSM basic page's load reads ring 120 here too
        {",8,13,2,80", "2,7,12,6,120"},
        {"3,9,9,3,x", "2,7,12,6,120"},
        {"x,9,9,3,90", "2,7,12,6,120"},
    };
    for (const auto& [held, sent] : kept) {
        SCOPED_TRACE(held.constData());
        ASSERT_TRUE(gateway->setValue("G08", held));
        save();
        EXPECT_EQ(timesReceived("AT%G08=" + sent + "\r\n"), 1);
        EXPECT_EQ(LoadErrors, "") << qPrintable(LoadErrors);
    }

    setFaults([](gatewaysim::Faults& f) { f.errorOn = {"AT&V0"}; });
    save();
    EXPECT_EQ(timesReceived("AT&V0\r\n"), 1);
    EXPECT_FALSE(from("AT&V0").join().contains("G08"));
    EXPECT_EQ(LoadErrors, "ISDN settings - Relax delay\n");
}

TEST_F(IsdnPageTest, ALetterInADigitsFieldStopsTheSaveBeforeAnyByte)
{
    fMain->seIsdnWait->findChild<QLineEdit*>()->setText("3x");
    save();
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
    EXPECT_EQ(gateway->connectionCount(), 0);
    EXPECT_TRUE(gateway->receivedBytes().isEmpty());
    EXPECT_EQ(fMain->seIsdnWait->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_NE(fMain->seIsdnMin->palette().color(QPalette::Base), QColor(Qt::red));

    // The one rule of every typed time: a time not typed to its end is refused the same way.
    fMain->seIsdnWait->setValue(4);
    fMain->cbInAliveActivate->setChecked(true);
    typeInto(fMain->edInAliveTime, "1_:30");
    save();
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
    EXPECT_TRUE(gateway->receivedBytes().isEmpty());
}

// The page goes to the gate file and back unchanged in both layouts.
TEST_F(IsdnPageTest, GateFileRoundTripInBothLayouts)
{
    for (int model : {0, 1}) {
        SCOPED_TRACE(model);
        gatewayModel = model;
        fMain->setModelLayout(model);
        TIsdn image;
        image.interfaceMode = model == 0 ? "NT/E" : "TE/E";
        image.tei = 12;
        image.portMode = 0;
        image.setupAckProgress = 1;
        image.alertingProgress = 8;
        image.dialTone = 2;
        image.busyTone = 4;
        image.statsDay = 9;
        image.flags = 20;
        image.setupDigits = 15;
        image.cdnPlan = 3;
        image.msn = "777";
        image.minDigits = 4;
        image.maxDigits = 18;
        image.nextDigitWait = 7;
        image.stateSmsText = QStringLiteral("Stav portu %P(1|2)");
        image.deactivationTimeout = 300;
        image.portMask1 = model == 0 ? 5 : 0;
        image.portMask2 = 6;
        image.stateSmsNumbers = {"1", "", "3"};
        image.aliveDay = 12;
        image.aliveTime = "07:45";
        image.aliveNumbers = {"9", "8", ""};
        image.aliveSmsText = "ok";
        GateConfig.isdn = image;
        fMain->isdnLoadFile();
        pageChanged[pcIsdn] = 1;
        press(fMain->sbIsdnSaveFile);
        expectInfoBox(75);
        EXPECT_EQ(pageChanged[pcIsdn], 0);
        GateConfig.isdn = TIsdn();
        ASSERT_TRUE(ReadGateFile(GateConfig, CurrentGateway.File, gsIsdn));
        EXPECT_EQ(GateConfig.isdn, image);
    }
}

// A one-port page at point-to-multipoint, set to point-to-point and laid out for a two-port gateway without
// being loaded (as a connect to such a gateway does), holds BRI 1 at point-to-multipoint with the fixed TEI:
// "0,1", which its save sends and Save As writes. That file loads again whole, BRI 1 shown at
// point-to-multipoint with the dynamic TEI.
TEST_F(IsdnPageTest, AFileWrittenAcrossAChangeOfModelLoadsAgainWhole)
{
    gatewayModel = 1;
    fMain->setModelLayout(1);
    GateConfig.isdn.interfaceMode = QStringLiteral("TE/T");
    GateConfig.isdn.tei = 64;
    GateConfig.isdn.portMode = 1;
    fMain->isdnLoadFile();
    pickTeMode(0);
    gatewayModel = 0;
    fMain->setModelLayout(0);
    dialogs().answerSaveFile(path(QStringLiteral("copy.ini")));
    fMain->mSaveAsClick();
    ASSERT_TRUE(readFile(QStringLiteral("copy.ini")).contains("\nI01=0,1\n"));
    const TIsdn written = GateConfig.isdn;

    GateConfig.isdn = TIsdn();
    dialogs().clearRecords();
    dialogs().answerOpenFile(path(QStringLiteral("copy.ini")));
    fMain->mLoadOClick();
    expectInfoBox(78);
    EXPECT_EQ(GateConfig.isdn, written);
    EXPECT_EQ(fMain->cbIsdnNTmode->currentIndex(), 1);
    EXPECT_EQ(fMain->seIsdnNTMan->value(), 64);
    EXPECT_FALSE(fMain->seIsdnNTMan->isEnabled());
}

// The page's own handlers: BRI 2 follows BRI 1 into the point modes with the TEI rules; stepping down from
// the dynamic TEI leaves point-to-multipoint; the one-port interface choice enables the MSN.
TEST_F(IsdnPageTest, ModeHandlersKeepThePortsConsistent)
{
    fMain->cbIsdnTEmode->setCurrentIndex(3);
    fMain->cbIsdnNTmode->setCurrentIndex(0);
    fMain->cbIsdnNTmodeChange();
    EXPECT_EQ(fMain->cbIsdnTEmode->currentIndex(), 2);
    EXPECT_EQ(fMain->seIsdnTEMan->value(), 0);
    EXPECT_TRUE(fMain->seIsdnNTMan->isEnabled());

    fMain->cbIsdnNTmode->setCurrentIndex(1);
    fMain->cbIsdnNTmodeChange();
    EXPECT_EQ(fMain->seIsdnNTMan->value(), 64);
    EXPECT_EQ(lastNtTei, 64);
    fMain->seIsdnNTMan->setEnabled(true);
    fMain->seIsdnNTMan->setValue(63);
    EXPECT_EQ(fMain->cbIsdnNTmode->currentIndex(), 0); // the mode list's handler ran: fixed TEI again
    EXPECT_TRUE(fMain->seIsdnTEMan->isEnabled());
    EXPECT_EQ(fMain->seIsdnTEMan->value(), fMain->seIsdnNTMan->value());

    pickTeMode(0);
    EXPECT_FALSE(fMain->cbIsdnDisaTone->isEnabled());
    EXPECT_FALSE(fMain->cbIsdnDisaTone->isChecked());
    EXPECT_EQ(fMain->cbIsdnNTmode->currentIndex(), 0);

    gatewayModel = 1;
    fMain->setModelLayout(1);
    EXPECT_EQ(fMain->cbIsdnTEmode->count(), 2);
    EXPECT_FALSE(fMain->gbIsdn1->isVisibleTo(fMain->pIsdn));
    fMain->cbIsdnInterface->setCurrentIndex(1);
    fMain->cbIsdnInterfaceChange();
    EXPECT_TRUE(fMain->edIsdnMsnNumber->isEnabled());
    fMain->cbIsdnInterface->setCurrentIndex(0);
    fMain->cbIsdnInterfaceChange();
    EXPECT_FALSE(fMain->edIsdnMsnNumber->isEnabled());
    EXPECT_FALSE(fMain->cbIsdnDisaTone->isEnabled());

    // A comma would split the gateway's values, typed or pasted.
    fMain->edInAliveNum2->clear();
    fMain->edInAliveNum2->insert("12,3");
    EXPECT_EQ(fMain->edInAliveNum2->text(), "");
    EXPECT_EQ(fMain->edIsdnMsnNumber->maxLength(), IsdnPage::kMaxMsnLength);
}

} // namespace
