// The pages over each of the three links the simulated gateway offers: telnet, its serial port and its modem.
// Every scenario runs once per link, and the gateway must receive the same command lines on each, byte for
// byte; a link's own steps are stated where they differ:
//  - telnet sends every CR as CR LF, so a command's CR LF arrives as CR LF followed by a lone LF, and a lone
//    CR (the paged listings' commands, the login's names) as CR LF;
//  - on the modem line only what goes out once the call is up counts; the dial and the hang-up ("+++" after
//    the guard time, then "ATH") are the modem layer's;
//  - the modem line's waits are shortened (ModemWaits.h), as the ISDN page's restart waits; the reads still
//    wait for the gateway's text.
#include "PageTestFixture.h"

#include "config/GateFile.h"
#include "link/LiveTools.h"
#include "link/ModemWaits.h"
#include "online/Terminal.h"
#include "pages/IsdnPage.h"
#include "pages/NetPage.h"
#include "platform/Wait.h"
#include "ui/TfParam.h"
#include "ui/UiState.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

namespace {

enum class Link { Telnet, Serial, Modem };

using Lines = QList<QByteArray>;

// A register of the LCR ('R') or autorouting ('A') table, its index in two digits.
QByteArray reg(char letter, int i)
{
    return letter + QByteArray::number(i).rightJustified(2, '0');
}

QByteArray lcrRow(int i)
{
    return QByteArray::number(i % 8 + 1) + (i % 2 ? ",08:00/17:00/w+,129,99" : ",00:00/24:00/w-,,5");
}

QByteArray autoRow(int i)
{
    return "+42060" + QByteArray::number(1000 + i) + (i % 2 ? ",5551" : ",R");
}

class EveryLinkTest : public PageTest, public ::testing::WithParamInterface<Link>
{
protected:
    // The links' own waits, shortened: the ISDN page's restart (5 s before the new login over telnet and the
    // serial port, 2 s before the modem hangs up), the network listing's 1 s before "AT&Nall", and the modem
    // line's waits before each reply (1.5 s), after each login name (3 s) and after "ATI4" (3 s).
    void SetUp() override
    {
        PageTest::SetUp();
        isdnRestartWaitMs = 20;
        isdnModemHangupWaitMs = 0;
        networkListingWaitMs = 0;
        modemReplyWaitMs = 0;
        modemCredentialWaitMs = 0;
        modemIdentWaitMs = 0;
        ASSERT_NO_FATAL_FAILURE(startOn(gatewaysim::Config()));
    }

    void TearDown() override
    {
        PageTest::TearDown();
        isdnRestartWaitMs = kIsdnRestartWaitMs;
        isdnModemHangupWaitMs = kIsdnModemHangupWaitMs;
        networkListingWaitMs = kNetworkListingWaitMs;
        modemReplyWaitMs = kModemReplyWaitMs;
        modemCredentialWaitMs = kModemCredentialWaitMs;
        modemIdentWaitMs = kModemIdentWaitMs;
    }

    // The simulated gateway on this row's link, and the program's settings pointing at it.
    void startOn(const gatewaysim::Config& config)
    {
        if (fMain && CurrentConnection.Connected)
            fMain->mDisconnectClick();
        gateway = std::make_unique<gatewaysim::Gateway>(config);
        ASSERT_TRUE(gateway->isValid()) << qPrintable(gateway->errorString());
        switch (GetParam()) {
        case Link::Telnet:
            CurrentGateway.Port = gateway->startTcp();
            ASSERT_NE(CurrentGateway.Port, 0);
            CurrentConnection.LinkType = LinkTelnet;
            break;
        case Link::Serial:
            CurrentConnection.ComPortName = gateway->startSerialPty();
            ASSERT_FALSE(CurrentConnection.ComPortName.isEmpty());
            CurrentConnection.LinkType = LinkSerial;
            break;
        case Link::Modem:
            CurrentConnection.ModemName = gateway->startModemPty();
            ASSERT_FALSE(CurrentConnection.ModemName.isEmpty());
            CurrentConnection.LinkType = LinkModem;
            CurrentGateway.PhoneNumber = QStringLiteral("1");
            break;
        }
    }

    // The command lines as this row's link puts them on the wire.
    Lines onWire(const Lines& lines) const
    {
        if (GetParam() != Link::Telnet)
            return lines;
        Lines wire;
        for (const QByteArray& line : lines) {
            if (line.endsWith("\r\n"))
                wire << line << "\n";
            else if (line.endsWith('\r'))
                wire << line + '\n';
            else
                wire << line;
        }
        return wire;
    }

    // The modem layer's hang-up, as the gateway's modem hears it.
    Lines hangUp() const { return GetParam() == Link::Modem ? Lines{"+++", "ATH\r"} : Lines{}; }

    void expectReceived(const Lines& lines) { EXPECT_EQ(shown(gateway->receivedLines()), shown(onWire(lines))); }

    // Lines as readable text for the failure messages: CR and LF escaped.
    static std::vector<std::string> shown(const Lines& lines)
    {
        std::vector<std::string> out;
        for (QByteArray line : lines)
            out.push_back(line.replace('\r', "\\r").replace('\n', "\\n").toStdString());
        return out;
    }

    // Connected, the gateway to drop the link once it has answered the n-th command after the connect's.
    void connectDroppingAfter(int n)
    {
        gateway->clearLog();
        CurrentConnection = ConnectToGateway(false, fMain, false);
        ASSERT_TRUE(CurrentConnection.Connected);
        const Lines heard = gateway->receivedLines();
        const auto login = std::find_if(heard.rbegin(), heard.rend(), [](auto& l) { return l.startsWith("admin"); });
        const int connect = int(std::count_if(heard.rbegin(), login, [](auto& l) { return l.startsWith("AT"); }));
        setFaults([&](gatewaysim::Faults& f) { f.dropAfterCommands = connect + n; });
    }

    bool terminalRuns() const { return GetParam() == Link::Telnet ? bool(terminalOverTcp) : !terminalThread.isNull(); }

private:
    // The waits as the test found them, put back for the next test in this process.
    const int kIsdnRestartWaitMs = isdnRestartWaitMs;
    const int kIsdnModemHangupWaitMs = isdnModemHangupWaitMs;
    const int kNetworkListingWaitMs = networkListingWaitMs;
    const int kModemReplyWaitMs = modemReplyWaitMs;
    const int kModemCredentialWaitMs = modemCredentialWaitMs;
    const int kModemIdentWaitMs = modemIdentWaitMs;
};

std::string linkName(const ::testing::TestParamInfo<Link>& info)
{
    switch (info.param) {
    case Link::Telnet:
        return "telnet";
    case Link::Serial:
        return "serial";
    case Link::Modem:
        return "modem";
    }
    return {};
}

// Each page's commands with the built-in fixture's values. Load: the view commands in the page's order (the
// ISDN and port-mode pages ask for the model first when run on their own); save: the set commands.
const Lines kModelQuery = {"ATI4\r\n", "ATI3\r\n"};
const Lines kSystemSave = {"AT%S91=0,0\r\n", "AT%X22=00:00\r\n"};
const Lines kIsdnSave = {"AT&Vi\r\n",
                         "AT%I27=\r\n",
                         "AT%I00=NT\r\n",
                         "AT%I01=0,0\r\n",
                         "AT%I09=1,0,0\r\n",
                         "AT%I08=1,1,1,0\r\n",
                         "AT%I06=0,0,0,0\r\n",
                         "AT%I03=0,0\r\n",
                         "AT&V0\r\n",
                         "AT%G08=2,9,9,3,120\r\n",
                         "AT%I50=0,0,30,30\r\n",
                         "AT%I52=\r\n",
                         "AT%I51=,,\r\n",
                         "AT%I61=\r\n",
                         "AT%I62=\r\n"};
const Lines kPortModesSave = {"AT%X40=0,0,0,0\r\n"};
const Lines kBasicSave = {"AT&V0\r\n",        "AT%G08=2,9,9,3,120\r\n", "AT%G09=0,1,1\r\n",  "AT%G09=0,1,1,1,0\r\n",
                          "AT%G02=2,0,0\r\n", "AT%G04=0,0,0\r\n",       "AT%G05=10\r\n",     "AT%G103=0,0,0,2,0\r\n",
                          "AT%S98=\r\n",      "AT%S90=0\r\n",           "AT%G101=17/17\r\n", "AT%I05=102,21,41,42\r\n"};
const Lines kOutgoingSave = {"AT%G11=,0,0,0,1,1,1,0\r\n",
                             "AT%G19=1,0,0,0,0,0,\r\n",
                             "AT%G15=00:00/24:00,00:00/00:00\r\n",
                             "AT%G21=,0,0,0,1,1,1,0\r\n",
                             "AT%G29=1,0,0,0,0,0,\r\n",
                             "AT%G25=00:00/24:00,00:00/00:00\r\n",
                             "AT%S85=\r\n",
                             "AT%G109=\r\n"};
const Lines kIncomingSave = {"AT%G91=0,3,3,10,1,,\r\n", "AT%G191=0,\r\n", "AT%G95=\r\n",
                             "AT%G92=0,3,3,10,1,,\r\n", "AT%G192=0,\r\n", "AT%G96=\r\n",
                             "AT%G99=0,12\r\n",         "AT%G198=\r\n",   "AT%G199=\r\n"};

// The network lists' save: "I07", then the keys of each list (replaced prefixes, seven groups of prefixes,
// network id and digits), every value going back as the gateway lists it.
Lines networkSave(const gatewaysim::Gateway& gateway)
{
    Lines lines = {"AT%I07=" + gateway.value("I07") + "\r\n"};
    for (char n = '1'; n <= '8'; ++n)
        for (char k : QByteArray("012345679")) {
            const QByteArray key = QByteArray("N") + n + k;
            lines << "AT%" + key + "=" + gateway.value(key) + "\r\n";
        }
    return lines;
}

// The whole-gateway load: the status bar's identification and the run's model query, then the nine pages in
// their order. The later pages take "AT&V", "AT&V0" and "AT&Nall" from the run's first replies (the port
// modes page asks for itself).
TEST_P(EveryLinkTest, WholeGatewayLoadAndSaveCarryAllNinePages)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());

    fMain->tbLoadGateClick();
    expectInfoBox(61);
    expectReceived(kModelQuery + kModelQuery +
                   Lines{"AT&V\r\n",                            // system
                         "AT&Vi\r\n", "AT&V0\r\n",              // ISDN
                         "AT&V\r\n",                            // port modes
                         "AT&V0\r\n", "AT&Vi\r\n",              // GSM basic
                         "AT&V1\r\n", "AT&V2\r\n", "AT&V0\r\n", // outgoing groups
                         "AT&V9\r\n", "AT&V9\r\n",              // incoming groups
                         "AT&VI\r\n", "AT&Nall\r\n",            // network lists
                         "AT&R\r",                              // LCR table
                         "AT&A\r"});                            // autorouting table

    gateway->clearLog();
    dialogs().clearRecords();
    fMain->tbSaveGateClick();
    expectInfoBox(66);
    expectReceived(kModelQuery + kSystemSave + kIsdnSave + kPortModesSave + kBasicSave + kOutgoingSave + kIncomingSave +
                   networkSave(*gateway) + Lines{"AT%X20=0000,0000\r\n", "AT%G06=\r\n", "AT%R00=\r\n"} +
                   Lines{"AT%A00=\r\n"});
    EXPECT_TRUE(CurrentConnection.Connected);
}

// The whole load's commands after the connect (the status bar's identification, the run's model query, the
// nine pages'); the pages from the last on, each with its number of commands in the run and the title its lines
// begin with.
constexpr int kWholeLoadCommands = 19;
const std::pair<int, const char*> kPagesFromTheEnd[] = {{1, "Autorouting table"}, {1, "LCR"},
                                                        {2, "Network list"},      {2, "Incoming groups"},
                                                        {3, "Outgoing groups"},   {2, "Basic settings"},
                                                        {1, "ISDN port modes"},   {2, "ISDN settings"},
                                                        {1, "System settings"}};

// The link lost within the whole load: after the reply to each command on the modem (its "NO CARRIER"), to every
// other one over telnet (the connection closed; each connect there takes seconds), the serial port's session
// ended after three of them (the login prompt) or the port gone as the load's identification is heard. A run cut short
// never shows the success box: its box lists every page it did not reach, unless the session's end tells the
// loss in its own one box.
TEST_P(EveryLinkTest, WholeLoadCutShortListsThePagesNotReached)
{
    const auto unreachedListed = [this](int unsent, int heading = 218) {
        const QStringList lines = dialogs().boxes().value(0).text.split('\n');
        EXPECT_EQ(lines.first(), labelText(heading));
        for (const auto& [commands, title] : kPagesFromTheEnd) {
            if ((unsent -= commands) < 0)
                break;
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [title](const QString& line) {
                return line.startsWith(QLatin1String(title), Qt::CaseInsensitive);
            })) << title;
        }
    };
    const auto run = [this](void (TfMain::*click)() = &TfMain::tbLoadGateClick) {
        dialogs().clearRecords();
        (fMain->*click)();
        EXPECT_TRUE(QTest::qWaitFor([] { return !CurrentConnection.Connected; }));
        ASSERT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
    };
    const int step = GetParam() == Link::Modem ? 1 : GetParam() == Link::Telnet ? 2 : 9;
    for (int k = 1; k <= kWholeLoadCommands; k += step) {
        SCOPED_TRACE(k);
        ASSERT_NO_FATAL_FAILURE(connectDroppingAfter(k));
        ASSERT_NO_FATAL_FAILURE(run());
        if (GetParam() == Link::Serial)
            EXPECT_EQ(dialogs().boxes()[0].text, labelText(56));
        else if (k == kWholeLoadCommands)
            expectInfoBox(61); // every page loaded before the link was lost
        else
            unreachedListed(kWholeLoadCommands - k);
        setFaults([](gatewaysim::Faults& f) { f.dropAfterCommands = 0; });
    }
    if (GetParam() == Link::Modem) {
        // The whole save, lost after its model query, lists the pages it did not save.
        ASSERT_NO_FATAL_FAILURE(connectDroppingAfter(2));
        ASSERT_NO_FATAL_FAILURE(run(&TfMain::tbSaveGateClick));
        unreachedListed(15, 219);
    }
    if (GetParam() != Link::Serial)
        return;
    for (const QByteArray command : {"ATI4", "ATI3"}) {
        SCOPED_TRACE(command.constData());
        ASSERT_NO_FATAL_FAILURE(startOn(gatewaysim::Config()));
        ASSERT_NO_FATAL_FAILURE(connectGateway());
        setFaults([&](gatewaysim::Faults& f) { f.silentOn = {command}; });
        QTimer heard;
        QObject::connect(&heard, &QTimer::timeout, [&] {
            if (gateway->receivedLines().contains(command + "\r\n"))
                heard.stop(), gateway->stop();
        });
        heard.start(5);
        ASSERT_NO_FATAL_FAILURE(run());
        unreachedListed(kWholeLoadCommands);
    }
}

// Each page's own Load and Save, the two tables holding twelve rows listed in pages of ten lines (a blank asks
// for the next page).
TEST_P(EveryLinkTest, EachPageLoadsAndSavesOnItsOwn)
{
    gatewaysim::Config config;
    config.pageSize = 10;
    ASSERT_NO_FATAL_FAILURE(startOn(config));
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(gateway->setValue(reg('R', i), lcrRow(i)));
        ASSERT_TRUE(gateway->setValue(reg('A', i), autoRow(i)));
    }
    Lines lcrSave = {"AT%X20=0000,0000\r\n", "AT%G06=\r\n"};
    Lines autoSave;
    for (int i = 0; i < 12; ++i) {
        // Rows 0 to 8 go out with two digits, the later ones as they stand ("R9").
        const QByteArray index = i < 9 ? "0" + QByteArray::number(i) : QByteArray::number(i);
        lcrSave << "AT%R" + index + "=" + lcrRow(i) + "\r\n";
        autoSave << "AT%A" + index + "=" + autoRow(i) + "\r\n";
    }
    lcrSave << "AT%R12=\r\n";
    autoSave << "AT%A12=\r\n";
    ASSERT_NO_FATAL_FAILURE(connectGateway());

    const struct
    {
        const char* load;
        const char* save;
        Lines loaded;
        Lines saved;
    } pages[] = {
        {"sbSystemLoad", "sbSystemSave", {"AT&V\r\n"}, kSystemSave},
        {"sbIsdnLoad", "sbIsdnSave", kModelQuery + Lines{"AT&Vi\r\n", "AT&V0\r\n"}, kModelQuery + kIsdnSave},
        {"sbPortModesLoad", "sbPortModesSave", kModelQuery + Lines{"AT&V\r\n"}, kModelQuery + kPortModesSave},
        {"sbBasicLoad", "sbBasicSave", {"AT&V0\r\n", "AT&V\r\n", "AT&Vi\r\n"}, kBasicSave},
        {"sbOutLoad", "sbOutSave", {"AT&V1\r\n", "AT&V\r\n", "AT&V2\r\n", "AT&V\r\n", "AT&V0\r\n"}, kOutgoingSave},
        {"sbInLoad", "sbInSave", {"AT&V9\r\n", "AT&V9\r\n"}, kIncomingSave},
        {"sbNetLoad", "sbNetSave", {"AT&VI\r\n", "AT&Nall\r\n"}, networkSave(*gateway)},
        {"sbLcrLoad", "sbLcrSave", {"AT&V\r\n", "AT&V0\r\n", "AT&Nall\r\n", "AT&R\r", " "}, lcrSave},
        {"sbAutoLoad", "sbAutoSave", {"AT&A\r", " "}, autoSave},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.load);
        auto* load = fMain->findChild<QPushButton*>(QLatin1String(page.load));
        auto* save = fMain->findChild<QPushButton*>(QLatin1String(page.save));
        ASSERT_TRUE(load && save);
        press(load);
        expectInfoBox(61);
        expectReceived(page.loaded);
        press(save);
        expectInfoBox(66);
        expectReceived(page.saved);
    }
    EXPECT_EQ(fMain->lvLcr->topLevelItemCount(), 12);
    EXPECT_EQ(fMain->lvAuto->topLevelItemCount(), 12);
}

// A new interface mode restarts the gateway's ISDN interface, which then asks for a new login. Over telnet and
// the serial port the save waits (5 s, shortened here), logs in again and sends the rest; on the modem line it
// waits 2 s, hangs up and says so (text 886), and sends nothing more. The closing box follows the failed items,
// of which there are none.
TEST_P(EveryLinkTest, IsdnInterfaceModeChange)
{
    gatewaysim::Config config;
    config.interfaceChange = gatewaysim::InterfaceChange::ShowsLogin;
    ASSERT_NO_FATAL_FAILURE(startOn(config));
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    press(fMain->sbIsdnLoad);
    fMain->cbIsdnTEmode->setCurrentIndex(0); // BRI 2 disabled: "NT/O"
    fMain->cbIsdnTEmodeChange();
    const int logins = gateway->loginCount();

    press(fMain->sbIsdnSave);

    EXPECT_EQ(gateway->value("I00"), "NT/O");
    const Lines upToMode = kModelQuery + Lines{"AT&Vi\r\n", "AT%I27=\r\n", "AT%I00=NT/O\r\n"};
    if (GetParam() == Link::Modem) {
        expectReceived(upToMode + hangUp());
        ASSERT_EQ(dialogs().boxes().size(), 2) << qPrintable(dialogs().boxTexts().join('|'));
        EXPECT_EQ(dialogs().boxes().at(0).text, labelText(886));
        EXPECT_EQ(dialogs().boxes().at(0).caption, labelText(54));
        EXPECT_EQ(dialogs().boxes().at(0).flags, unsigned(MB_ICONINFORMATION));
        EXPECT_EQ(dialogs().boxes().at(1).text, labelText(66));
        EXPECT_FALSE(CurrentConnection.Connected);
        EXPECT_FALSE(gateway->modemInCall());
        EXPECT_EQ(gateway->loginCount(), logins);
    } else {
        expectReceived(upToMode + Lines{"admin\r", "admin\r"} + kIsdnSave.mid(3));
        expectInfoBox(66);
        EXPECT_TRUE(CurrentConnection.Connected);
        EXPECT_EQ(gateway->loginCount(), logins + 1);
    }
}

// The network lists' listing is several times longer than one read. A listing that comes in slow pieces is
// read whole on every link (on the modem line piece after piece until its "OK"); one that never ends in "OK"
// fails with its line (after the line of "AT&VI", which has no "OK" either), on the modem line once more than
// 10 s have passed (the clock moves on by 11 s as the command arrives, so the first piece ends the read).
TEST_P(EveryLinkTest, NetworkListingIsReadWholeOrFailsWithItsLine)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    setFaults([](gatewaysim::Faults& f) {
        f.chunkSize = 400; // longer gaps than a serial or modem read waits for the next byte
        f.chunkDelayMs = 300;
    });
    press(fMain->sbNetLoad);
    expectInfoBox(61);
    expectReceived({"AT&VI\r\n", "AT&Nall\r\n"});
    EXPECT_EQ(GateConfig.networks[0].networkId, QStringLiteral("TMOB"));
    EXPECT_EQ(GateConfig.networks[7].networkId, QStringLiteral("EU"));
    EXPECT_EQ(GateConfig.networks[7].prefixes.size(), 28u);

    setFaults([](gatewaysim::Faults& f) {
        f = gatewaysim::Faults();
        f.noOk = true;
    });
    QObject context;
    QObject::connect(
        gateway.get(), &gatewaysim::Gateway::lineLogged, &context,
        [](int, const QByteArray& raw) {
            if (raw.startsWith("AT&Nall"))
                Clock::advance(11000);
        },
        Qt::DirectConnection);
    press(fMain->sbNetLoad);
    expectListBox(218, QStringLiteral("Network list - Prefix change for call from BRI 1 to BRI2\n"
                                      "Network list - All parametres\n"));
    expectReceived({"AT&VI\r\n", "AT&Nall\r\n"});

    // The LCR page reads the same listing for its network ids; on the modem line it reads until an "OK" comes
    // or 10 s have passed, so a refused listing ends it only by time. The ids are missing then, the rows are
    // read all the same.
    setFaults([](gatewaysim::Faults& f) {
        f = gatewaysim::Faults();
        f.errorOn = {"AT&Nall"};
    });
    press(fMain->sbLcrLoad);
    expectListBox(218, QStringLiteral("Lcr table - Network ID\n"));
    expectReceived({"AT&V\r\n", "AT&V0\r\n", "AT&Nall\r\n", "AT&R\r"});
    EXPECT_TRUE(CurrentConnection.Connected);
}

// A gateway of the other model than the pages were laid out for: the ISDN page's Load asks for the model and
// lays the pages out for it before the please-wait window shows; the port modes page's Load then finds the
// same model and lays out nothing.
TEST_P(EveryLinkTest, AnotherModelIsLaidOutBeforeThePleaseWaitWindow)
{
    gatewaysim::Config config;
    config.model = QStringLiteral("MY");
    ASSERT_NO_FATAL_FAILURE(startOn(config));
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    ASSERT_EQ(gatewayModel, 1);
    gatewayModel = 0; // as if the pages were laid out for the gateway before this one
    fMain->setModelLayout(0);
    std::vector<std::pair<int, bool>> layouts; // model, please-wait window shown
    fMain->addModelLayoutStep([&layouts](int model) { layouts.emplace_back(model, fParam->isVisible()); });

    press(fMain->sbIsdnLoad);
    expectInfoBox(61);
    EXPECT_EQ(layouts, (std::vector<std::pair<int, bool>>{{1, false}}));
    expectReceived(kModelQuery + Lines{"AT&Vi\r\n", "AT&V0\r\n"});

    layouts.clear();
    press(fMain->sbPortModesLoad);
    expectInfoBox(61);
    EXPECT_TRUE(layouts.empty());
    expectReceived(kModelQuery + Lines{"AT&V\r\n"});
}

// Closing while connected, a page changed and the terminal running. Cancel keeps the link (the modem's call)
// and the terminal and sends nothing; Yes writes the gate file, whose extension section comes from the image
// and not from the page, stops the terminal and closes the link.
TEST_P(EveryLinkTest, CloseWhileConnected)
{
    showMainWindow();
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    fMain->selectTopic(21);
    ASSERT_TRUE(terminalRuns());
    GateConfig.extensions.rows = {QStringLiteral("Page,,,,0,0,0")};
    fMain->extLoadFile();
    GateConfig.extensions.rows = {QStringLiteral("Image,,,,1,1,1")};
    pageChanged[pcExtension] = 1;
    gateway->clearLog();

    dialogs().answerBox(IDCANCEL);
    EXPECT_FALSE(fMain->close());
    EXPECT_TRUE(fMain->isVisible());
    EXPECT_TRUE(CurrentConnection.Connected);
    EXPECT_TRUE(terminalRuns());
    EXPECT_EQ(gateway->modemInCall(), GetParam() == Link::Modem);
    EXPECT_FALSE(QFile::exists(CurrentGateway.File));
    expectReceived({});

    dialogs().clearRecords();
    dialogs().answerBox(IDYES);
    EXPECT_TRUE(fMain->close());
    EXPECT_EQ(dialogs().boxes().size(), 1) << qPrintable(dialogs().boxTexts().join('|'));
    TParametres written;
    ASSERT_TRUE(readGateSections(written, CurrentGateway.File, gsAll));
    EXPECT_EQ(written.extensions.rows, std::vector<QString>{QStringLiteral("Image,,,,1,1,1")});
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(terminalRuns());
    EXPECT_FALSE(gateway->modemInCall());
    expectReceived(hangUp());
}

INSTANTIATE_TEST_SUITE_P(Links, EveryLinkTest, ::testing::Values(Link::Telnet, Link::Serial, Link::Modem), linkName);

} // namespace
