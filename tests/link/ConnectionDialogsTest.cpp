// The dialogs of the connection: the gateway list and its entry dialog with gtws.ini, the communication
// settings with settings.ini, and the label steps of all of them.
#include "config/GateFile.h"
#include "link/ConnectionPart.h"
#include "link/GatewayList.h"
#include "link/TfAddNumber.h"
#include "link/TfCommSettings.h"
#include "link/TfDialing.h"
#include "link/TfGatewayList.h"
#include "link/TfInsertIp.h"
#include "link/TfLogin.h"
#include "link/TfNewGateway.h"
#include "platform/IniFile.h"
#include "support/MainWindowFixture.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <functional>

namespace {

class GatewayListDialogTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        startUp();
        dialogs().clearRecords();
    }

    // Queues the entry dialog's answer: the fields given, then OK (which may refuse), then the dialog closed.
    void answerEntry(const QString& name, const QString& port = QStringLiteral("1001"), const QString& user = {},
                     const QString& password = {})
    {
        dialogs().onModal([=](QDialog*) {
            fNewGateway->edName->setText(name);
            fNewGateway->edIp->setText(QStringLiteral("10.1.1.1"));
            fNewGateway->edPort->setText(port);
            fNewGateway->edUser->setText(user);
            fNewGateway->edPassword->setText(password);
            fNewGateway->sbOkClick();
        });
    }
    void select(const QString& name)
    {
        const QList<QListWidgetItem*> found = fGatewayList->lbGateways->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << qPrintable(name);
        fGatewayList->lbGateways->setCurrentItem(found.first());
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < fGatewayList->lbGateways->count(); ++i)
            names.append(fGatewayList->lbGateways->item(i)->text());
        return names;
    }
};

TEST_F(GatewayListDialogTest, NewEntriesAreWrittenShiftedAndReadBack)
{
    fMain->mGatewayListClick();
    EXPECT_FALSE(fMain->isEnabled()) << "the list is shown without waiting";
    answerEntry(QStringLiteral("Depot"), QStringLiteral("4001"), QStringLiteral("tech"), QStringLiteral("s3cret"));
    fGatewayList->sbNewClick();
    EXPECT_EQ(listed(), QStringList{QStringLiteral("Depot")});
    GatewayEntry e;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("Depot"), e));
    EXPECT_EQ(e.Host, QStringLiteral("10.1.1.1"));
    EXPECT_EQ(e.Port, 4001);
    EXPECT_EQ(e.Username, QStringLiteral("tech"));
    EXPECT_EQ(e.Password, QStringLiteral("s3cret"));
    EXPECT_EQ(e.File, path(QStringLiteral("Depot.ini"))) << "a new gateway's gate file lies in the program folder";
    const QByteArray file = readFile(QStringLiteral("gtws.ini"));
    EXPECT_TRUE(file.contains("Username=ugfl")) << file.constData();
    EXPECT_FALSE(file.contains("s3cret"));
    EXPECT_TRUE(dialogs().boxes().isEmpty());

    fGatewayList->sbQuitClick();
    EXPECT_FALSE(fGatewayList->isVisible());
    EXPECT_TRUE(fMain->isEnabled()) << "closing the list enables the main window";
}

TEST_F(GatewayListDialogTest, BadEntriesAreRefusedWithAMessageAndCancelKeepsNothing)
{
    fMain->mGatewayListClick();
    answerEntry(QStringLiteral("Depot"));
    fGatewayList->sbNewClick();
    const QString before = QString::fromUtf8(readFile(QStringLiteral("gtws.ini")));

    const struct
    {
        QString name;
        QString port;
        int text;
    } cases[] = {
        {QStringLiteral("  "), QStringLiteral("1001"), 98},    {QStringLiteral("a[b]"), QStringLiteral("1001"), 98},
        {QStringLiteral("depot"), QStringLiteral("1001"), 99}, {QStringLiteral("unnamed"), QStringLiteral("1001"), 99},
        {QStringLiteral("Yard"), QStringLiteral("0"), 106},    {QStringLiteral("Yard"), QStringLiteral("65536"), 106},
        {QStringLiteral("Yard"), QStringLiteral("80a"), 106},
    };
    for (const auto& c : cases) {
        dialogs().clearRecords();
        answerEntry(c.name, c.port);
        fGatewayList->sbNewClick();
        ASSERT_EQ(dialogs().boxes().size(), 1) << qPrintable(c.name) << " " << qPrintable(c.port);
        EXPECT_EQ(dialogs().boxes().first().text, labelText(c.text));
        EXPECT_FALSE(labelText(c.text).isEmpty());
        EXPECT_EQ(dialogs().modals().first().result, QDialog::Rejected) << "the dialog stayed open until closed";
    }
    dialogs().onModal([](QDialog*) { fNewGateway->edName->setText(QStringLiteral("Yard")); });
    fGatewayList->sbNewClick();
    EXPECT_EQ(QString::fromUtf8(readFile(QStringLiteral("gtws.ini"))), before) << "nothing was saved";
    EXPECT_EQ(listed(), QStringList{QStringLiteral("Depot")});
}

TEST_F(GatewayListDialogTest, EditRenamesRemoveAndRemoveAll)
{
    fMain->mGatewayListClick();
    for (const char* name : {"A", "B", "C"}) {
        answerEntry(QString::fromLatin1(name));
        fGatewayList->sbNewClick();
    }
    CurrentGateway = SelectGateway(QStringLiteral("B"), CurrentGateway);
    fMain->mGatewayListClick();

    // The entry dialog shows the stored entry; the name of the entry itself is no duplicate.
    select(QStringLiteral("B"));
    dialogs().onModal([](QDialog*) {
        EXPECT_EQ(fNewGateway->edIp->text(), QStringLiteral("10.1.1.1"));
        fNewGateway->edName->setText(QStringLiteral("b"));
        fNewGateway->edIp->setText(QStringLiteral("10.9.9.9"));
        fNewGateway->sbOkClick();
    });
    fGatewayList->sbEditClick();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("b")}));
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("b")) << "the current gateway follows its edited entry";
    EXPECT_EQ(CurrentGateway.Host, QStringLiteral("10.9.9.9"));

    select(QStringLiteral("C"));
    dialogs().onModal([](QDialog*) {
        fNewGateway->edName->setText(QStringLiteral("A"));
        fNewGateway->sbOkClick();
    });
    fGatewayList->sbEditClick();
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(99)}) << "renamed onto another entry";

    select(QStringLiteral("A"));
    fGatewayList->sbRemoveClick();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("C"), QStringLiteral("b")}));
    EXPECT_EQ(GatewayNames(), listed());
    fGatewayList->sbRemoveAllClick();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_TRUE(GatewayNames().isEmpty());
}

TEST_F(GatewayListDialogTest, SelectMakesTheGatewayCurrentAndRemembersIt)
{
    writeFile(QStringLiteral("gtws.ini"), "[Depot]\nHost=10.2.2.2\nPort=23\nUsername=bfpms\nPassword=bfpms\n"
                                          "[Yard]\nHost=10.3.3.3\n");
    fMain->mGatewayListClick();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("Depot"), QStringLiteral("Yard")}));
    select(QStringLiteral("Depot"));
    fGatewayList->sbSelectClick();
    EXPECT_FALSE(fGatewayList->isVisible());
    EXPECT_TRUE(fMain->isEnabled());
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("Depot"));
    EXPECT_EQ(CurrentGateway.Host, QStringLiteral("10.2.2.2"));
    EXPECT_EQ(CurrentGateway.Port, 23);
    EXPECT_EQ(CurrentGateway.Username, QStringLiteral("admin"));
    EXPECT_EQ(IniFile(path(QStringLiteral("settings.ini"))).ReadString("main", "gateway", {}), "Depot");
    EXPECT_EQ(fMain->sbMainPanel0->text(), QStringLiteral("Depot : not connected"));

    // Shown again, the list marks the current gateway.
    fMain->mGatewayListClick();
    EXPECT_EQ(fGatewayList->lbGateways->currentItem()->text(), QStringLiteral("Depot"));
    fGatewayList->sbQuitClick();
}

TEST_F(GatewayListDialogTest, ConnectSelectsClosesTheListAndConnects)
{
    CurrentConnection.LinkType = LinkTelnet;
    writeFile(QStringLiteral("gtws.ini"), "[Nowhere]\nHost=127.0.0.1\nPort=1\n"); // nobody listens there
    fMain->mGatewayListClick();
    select(QStringLiteral("Nowhere"));
    fGatewayList->sbConnectClick();
    EXPECT_FALSE(fGatewayList->isVisible());
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("Nowhere"));
    EXPECT_FALSE(CurrentConnection.Connected);
    ASSERT_EQ(dialogs().boxes().size(), 1) << "the connect was tried and reported";
    EXPECT_TRUE(dialogs().boxes().first().text.startsWith(labelText(48)));
    EXPECT_TRUE(fMain->isEnabled());
}

TEST_F(GatewayListDialogTest, SelectingAGatewayReadsItsGateFile)
{
    // A gate file whose system page shows a value of its own.
    writeFile(QStringLiteral("gtws.ini"), "[Depot]\nFile=" + path(QStringLiteral("depot.ini")).toUtf8() + "\n");
    GateConfig.system.gateId = 4321;
    ASSERT_TRUE(WriteGateFile(GateConfig, path(QStringLiteral("depot.ini")), gsAll));
    GateConfig = TParametres();
    pageChanged.fill(1);
    CurrentGateway = SelectGateway(QStringLiteral("Depot"), CurrentGateway);
    EXPECT_EQ(GateConfig.system.gateId, 4321);
    EXPECT_EQ(CurrentGateway.File, path(QStringLiteral("depot.ini")));
    for (int flag = 0; flag < pcCount; ++flag)
        EXPECT_EQ(pageChanged[flag], flag == pcIsdn ? 1 : 0) << flag;
    EXPECT_EQ(fMain->toolFilesFolder, programFolder());

    // A name the list lacks is the unnamed gateway with its own file.
    CurrentGateway = SelectGateway(QStringLiteral("Nowhere"), CurrentGateway);
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("unnamed"));
    EXPECT_EQ(CurrentGateway.File, path(QStringLiteral("unnamed.ini")));
    EXPECT_EQ(fMain->sbMainPanel0->text(), QStringLiteral("unnamed : not connected"));
}

class CommSettingsTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        startUp();
    }
    IniFile settings() const { return IniFile(path(QStringLiteral("settings.ini"))); }
};

TEST_F(CommSettingsTest, OkStoresEverySettingAndCancelNone)
{
    CurrentConnection.LinkType = LinkTelnet;
    CurrentConnection.LanTimeout = 3000;
    CurrentConnection.ComPortName = QStringLiteral("/dev/ttyS0");
    fCommSettings->FormActivate();
    EXPECT_EQ(fCommSettings->cbCommType->currentIndex(), 1);
    EXPECT_EQ(fCommSettings->eTimeResponse->text(), QStringLiteral("3000"));
    EXPECT_TRUE(fCommSettings->eTimeResponse->isVisibleTo(fCommSettings));
    EXPECT_FALSE(fCommSettings->cbComPort->isVisibleTo(fCommSettings));

    // Cancel: nothing reaches the record or the file.
    fCommSettings->eTimeResponse->setText(QStringLiteral("9999"));
    fCommSettings->sbCancelClick();
    EXPECT_EQ(CurrentConnection.LanTimeout, 3000);
    EXPECT_FALSE(settings().ValueExists("main", "LanTimeout"));

    fCommSettings->FormActivate();
    fCommSettings->eTimeResponse->setText(QStringLiteral("2500"));
    // The user picks the serial link and types a device path of his own.
    fCommSettings->cbCommType->setCurrentIndex(0);
    fCommSettings->cbCommTypeChange();
    EXPECT_TRUE(fCommSettings->cbComPort->isVisibleTo(fCommSettings));
    fCommSettings->cbComPort->setEditText(QStringLiteral("/dev/ttyUSB7"));
    fCommSettings->cbSaveLog->setChecked(true);
    fCommSettings->cbAppendLog->setChecked(false);
    CurrentGateway.Name = QStringLiteral("Depot");
    fCommSettings->sbOkClick();
    EXPECT_EQ(CurrentConnection.LinkType, LinkSerial);
    EXPECT_EQ(CurrentConnection.LanTimeout, 2500) << "the LAN time-out typed before the switch is kept";
    EXPECT_EQ(CurrentConnection.ComPortName, QStringLiteral("/dev/ttyUSB7"));
    EXPECT_TRUE(CurrentConnection.SaveLog);
    EXPECT_FALSE(CurrentConnection.Append);
    const IniFile s = settings();
    EXPECT_EQ(s.ReadInteger("main", "CommType", 0), 1);
    EXPECT_EQ(s.ReadInteger("main", "LanTimeout", 0), 2500);
    EXPECT_EQ(s.ReadString("main", "Comport", {}), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_EQ(s.ReadString("main", "Gateway", {}), QStringLiteral("Depot"));
    EXPECT_TRUE(s.ReadBool("main", "SaveLog", false));
    EXPECT_FALSE(s.ReadBool("main", "Append", true));
    for (const char* key : {"TapiTimeout", "modem", "modemName", "modemBaudRate"})
        EXPECT_TRUE(s.ValueExists("main", key)) << key;
}

TEST_F(CommSettingsTest, TheModemsBaudRateAndABadTimeOut)
{
    CurrentConnection.LinkType = LinkModem;
    CurrentConnection.ModemBaudRate = 19200;
    CurrentConnection.ModemName = QStringLiteral("/dev/ttyACM3");
    fCommSettings->FormActivate();
    EXPECT_TRUE(fCommSettings->cbModem->isVisibleTo(fCommSettings));
    EXPECT_TRUE(fCommSettings->cbBaudrate->isVisibleTo(fCommSettings));
    EXPECT_EQ(fCommSettings->cbModem->currentText(), QStringLiteral("/dev/ttyACM3"));
    EXPECT_EQ(fCommSettings->cbBaudrate->currentText(), QStringLiteral("19200"));
    fCommSettings->cbBaudrate->setCurrentText(QStringLiteral("57600"));
    fCommSettings->sbOkClick();
    EXPECT_EQ(CurrentConnection.ModemBaudRate, 57600);
    EXPECT_EQ(settings().ReadInteger("main", "modemBaudRate", 0), 57600);

    // A LAN time-out that is no number above 0 is refused, and nothing is stored.
    CurrentConnection.LinkType = LinkTelnet;
    fCommSettings->FormActivate();
    for (const char* bad : {"", "0", "-5", "5s"}) {
        dialogs().clearRecords();
        fCommSettings->eTimeResponse->setText(QString::fromLatin1(bad));
        fCommSettings->sbOkClick();
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(107)}) << bad;
    }
    EXPECT_EQ(CurrentConnection.LanTimeout, 5000);
}

// One place of a label step: what it shows, its entry number, its English text.
struct Place
{
    const char* name;
    std::function<QString()> read;
    int k;
    const char* english;
};

QList<Place> places()
{
    auto text = [](auto* w) { return [w] { return w->text(); }; };
    auto title = [](QWidget* w) { return [w] { return w->windowTitle(); }; };
    auto group = [](QGroupBox* g) { return [g] { return g->title(); }; };
    auto item = [](int i) { return [i] { return fCommSettings->cbCommType->itemText(i); }; };
    TfCommSettings* c = fCommSettings;
    TfGatewayList* l = fGatewayList;
    TfNewGateway* n = fNewGateway;
    TfInsertIp* ip = fInsertIp;
    return {
        {"TfCommSettings", title(c), 831, "Communication settings"},
        {"gbComm", group(c->gbComm), 79, "Type of communication"},
        {"lbCommType", text(c->lbCommType), 79, "Type of communication"},
        {"cbCommType 0", item(0), 80, "Serial"},
        {"cbCommType 1", item(1), 81, "LAN"},
        {"cbCommType 2", item(2), 647, "Modem"},
        {"gbLog", group(c->gbLog), 82, "Communication LOG"},
        {"cbSaveLog", text(c->cbSaveLog), 83, "Save communication LOG to a file"},
        {"cbAppendLog", text(c->cbAppendLog), 84, "Append LOG file"},
        {"lbBaudrate", text(c->lbBaudrate), 881, "Baudrate [Bd/s]"},
        {"gSett", group(c->gSett), 86, "Serial communication settings : "},
        {"lbSettings1", text(c->lbSettings1), 87, "Serial communication settings : "},
        {"lbSettings2", text(c->lbSettings2), 733, "Timeout for sending commands to gate [s] :"},
        {"TfCommSettings.sbOk", text(c->sbOk), 89, "OK"},
        {"TfCommSettings.sbCancel", text(c->sbCancel), 90, "Cancel"},
        {"sbNew", text(l->sbNew), 91, "New"},
        {"sbEdit", text(l->sbEdit), 92, "Edit"},
        {"sbRemove", text(l->sbRemove), 93, "Remove"},
        {"sbRemoveAll", text(l->sbRemoveAll), 94, "Remove all"},
        {"sbSelect", text(l->sbSelect), 95, "Select"},
        {"sbConnect", text(l->sbConnect), 96, "Connect"},
        {"TfGatewayList", title(l), 97, "Gateway list"},
        {"sbQuit", text(l->sbQuit), 90, "Cancel"},
        {"lbName", text(n->lbName), 100, "Gateway name : "},
        {"lbIp", text(n->lbIp), 101, "Gateway IP address :"},
        {"lbPort", text(n->lbPort), 102, "Port :"},
        {"TfNewGateway.lbUser", text(n->lbUser), 103, "Username :"},
        {"TfNewGateway.lbPass", text(n->lbPass), 104, "Password :"},
        {"TfLogin.lbUser", text(fLogin->lbUser), 103, "Username :"},
        {"TfLogin.lbPass", text(fLogin->lbPass), 104, "Password :"},
        {"lbFile", text(n->lbFile), 105, "File of gateway parametres : "},
        {"TfNewGateway.sbOk", text(n->sbOk), 89, "OK"},
        {"TfNewGateway.sbCancel", text(n->sbCancel), 90, "Cancel"},
        {"Label1", text(ip->Label1), 879, "Gateway IP address :"},
        {"Label2", text(ip->Label2), 877, "Username :"},
        {"Label3", text(ip->Label3), 878, "Password :"},
        {"BitBtn1", text(ip->BitBtn1), 89, "OK"},
        {"BitBtn2", text(ip->BitBtn2), 90, "Cancel"},
        {"Label4", text(ip->Label4), 880, "Port : "},
        {"TfDialing", title(fDialing), 714, "Dialing..."},
        {"TfDialing.sbClose", text(fDialing->sbClose), 571, "Close"},
        {"TfAddNumber", title(fAddNumber), 729, "Add number"},
        {"TfAddNumber.lb1", text(fAddNumber->lb1), 730, "Add phone number to dial :"},
        {"TfAddNumber.sbOk", text(fAddNumber->sbOk), 89, "OK"},
        {"TfAddNumber.sbCancel", text(fAddNumber->sbCancel), 90, "Cancel"},
    };
}

class ConnectionLabelsTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        createWindows();
        fCommSettings->cbCommType->setCurrentIndex(0);
    }
    void apply(const Tlabels& t)
    {
        labelTexts = t;
        fMain->setLabels(labelTexts);
    }
    static Tlabels numbered()
    {
        Tlabels t(982);
        for (size_t k = 0; k < t.size(); ++k)
            t[k] = QStringLiteral("#%1").arg(k);
        return t;
    }
};

TEST_F(ConnectionLabelsTest, EveryPlaceShowsItsEntryOrItsEnglishText)
{
    apply(numbered());
    for (const Place& p : places())
        EXPECT_EQ(p.read(), QStringLiteral("#%1").arg(p.k)) << p.name;
    EXPECT_EQ(fInsertIp->windowTitle(), QStringLiteral("#54"));
    apply(Tlabels(982));
    for (const Place& p : places())
        EXPECT_EQ(p.read(), QString::fromLatin1(p.english)) << p.name;
    EXPECT_EQ(fCommSettings->cbCommType->count(), 3) << "the items are replaced, not added";
}

TEST_F(ConnectionLabelsTest, TheSettingsGroupFollowsTheLinkType)
{
    const struct
    {
        int item;
        int group;
        int label1;
        int label2;
    } cases[] = {{1, 85, -1, 88}, {2, 649, 649, 733}, {-1, -1, -1, 733}};
    for (const auto& c : cases) {
        apply(Tlabels(982));
        fCommSettings->cbCommType->setCurrentIndex(c.item);
        const QString groupBefore = fCommSettings->gSett->title();
        const QString label1Before = fCommSettings->lbSettings1->text();
        apply(numbered());
        EXPECT_EQ(fCommSettings->gSett->title(), c.group < 0 ? groupBefore : QStringLiteral("#%1").arg(c.group));
        EXPECT_EQ(fCommSettings->lbSettings1->text(),
                  c.label1 < 0 ? label1Before : QStringLiteral("#%1").arg(c.label1));
        EXPECT_EQ(fCommSettings->lbSettings2->text(), QStringLiteral("#%1").arg(c.label2)) << c.item;
    }
}

TEST_F(ConnectionLabelsTest, TheShippedEnglishTextsKeepTheirTrailingBlanks)
{
    fMain->loadLabels(1);
    fMain->setLabels(labelTexts);
    EXPECT_EQ(fInsertIp->Label4->text(), QStringLiteral("Port : "));
    EXPECT_EQ(fNewGateway->lbName->text(), QStringLiteral("Gateway name : "));
    EXPECT_EQ(fNewGateway->lbPort->text(), QStringLiteral("Port :"));
    for (int k : {45, 46, 48, 49, 50, 51, 52, 53, 98, 99, 106, 107, 213, 214, 715, 716, 782, 868, 869})
        EXPECT_FALSE(labelText(k).isEmpty()) << k;
}

} // namespace
