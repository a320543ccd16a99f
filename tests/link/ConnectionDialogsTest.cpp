// The dialogs of the connection: the gateway list and its entry dialog with gtws.ini, the communication
// settings with settings.ini, and the label steps of all of them.
#include "config/GateFile.h"
#include "link/ConnectionPart.h"
#include "link/GatewayList.h"
#include "link/TfCommSettings.h"
#include "link/TfGatewayList.h"
#include "link/TfInsertIp.h"
#include "link/TfNewGateway.h"
#include "platform/IniFile.h"
#include "support/MainWindowFixture.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

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

TEST_F(GatewayListDialogTest, NewEntriesAreWrittenAndReadBack)
{
    fMain->mGatewayListClick();
    answerEntry(QStringLiteral("Depot"), QStringLiteral("4001"), QStringLiteral("tech"), QStringLiteral("s3cret"));
    fGatewayList->sbNewClick();
    EXPECT_EQ(listed(), QStringList{QStringLiteral("Depot")});
    GatewayEntry e;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("Depot"), e));
    EXPECT_EQ(QStringList({e.Host, QString::number(e.Port), e.Username, e.Password}),
              QStringList({"10.1.1.1", "4001", "tech", "s3cret"}));
    EXPECT_EQ(e.File, path(QStringLiteral("Depot.ini"))) << "a new gateway's gate file lies in the program folder";
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    fGatewayList->sbQuitClick();
    EXPECT_FALSE(fGatewayList->isVisible());
}

TEST_F(GatewayListDialogTest, BadEntriesAreRefusedWithAMessageAndCancelKeepsNothing)
{
    fMain->mGatewayListClick();
    answerEntry(QStringLiteral("Depot"));
    fGatewayList->sbNewClick();
    const QByteArray before = readFile(QStringLiteral("gtws.ini"));
    const struct
    {
        const char* name;
        const char* port;
        int text;
    } cases[] = {{"  ", "1001", 98}, {"a[b]", "1001", 98},   {"depot", "1001", 99}, {"unnamed", "1001", 99},
                 {"Yard", "0", 106}, {"Yard", "65536", 106}, {"Yard", "80a", 106}};
    for (const auto& c : cases) {
        dialogs().clearRecords();
        answerEntry(QString::fromLatin1(c.name), QString::fromLatin1(c.port));
        fGatewayList->sbNewClick();
        ASSERT_EQ(dialogs().boxes().size(), 1) << c.name << " " << c.port;
        EXPECT_EQ(dialogs().boxes().first().text, labelText(c.text));
        EXPECT_FALSE(labelText(c.text).isEmpty());
        EXPECT_EQ(dialogs().modals().first().result, QDialog::Rejected) << "the dialog stayed open until closed";
    }
    dialogs().onModal([](QDialog*) { fNewGateway->edName->setText(QStringLiteral("Yard")); });
    fGatewayList->sbNewClick();
    EXPECT_EQ(readFile(QStringLiteral("gtws.ini")), before) << "nothing was saved";
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

    // The entry dialog shows the stored entry; a rename that changes only the letter case is no duplicate.
    select(QStringLiteral("B"));
    dialogs().onModal([](QDialog*) {
        EXPECT_EQ(fNewGateway->edIp->text(), QStringLiteral("10.1.1.1"));
        fNewGateway->edName->setText(QStringLiteral("b"));
        fNewGateway->edIp->setText(QStringLiteral("10.9.9.9"));
        fNewGateway->sbOkClick();
    });
    fGatewayList->sbEditClick();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("b")}));
    EXPECT_EQ(GatewayNames(), listed());
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

TEST_F(GatewayListDialogTest, SelectMakesTheGatewayCurrentReadsItsGateFileAndRemembersIt)
{
    writeFile(QStringLiteral("gtws.ini"), "[Depot]\nHost=10.2.2.2\nUsername=bfpms\nFile=" +
                                              path(QStringLiteral("depot.ini")).toUtf8() + "\n[Yard]\n");
    GateConfig.system.gateId = 4321;
    ASSERT_TRUE(WriteGateFile(GateConfig, path(QStringLiteral("depot.ini")), gsAll));
    GateConfig = TParametres();
    pageChanged.fill(1);
    fMain->mGatewayListClick();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("Depot"), QStringLiteral("Yard")}));
    select(QStringLiteral("Depot"));
    fGatewayList->sbSelectClick();
    EXPECT_FALSE(fGatewayList->isVisible());
    EXPECT_TRUE(fMain->isEnabled());
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("Depot"));
    EXPECT_EQ(CurrentGateway.Host, QStringLiteral("10.2.2.2"));
    EXPECT_EQ(CurrentGateway.Username, QStringLiteral("admin"));
    EXPECT_EQ(GateConfig.system.gateId, 4321);
    for (int flag = 0; flag < pcCount; ++flag)
        EXPECT_EQ(pageChanged[flag], flag == pcIsdn ? 1 : 0) << flag;
    EXPECT_EQ(fMain->toolFilesFolder, programFolder());
    EXPECT_EQ(IniFile(path(QStringLiteral("settings.ini"))).ReadString("main", "gateway", {}), "Depot");
    EXPECT_EQ(fMain->sbMainPanel0->text(), QStringLiteral("Depot : not connected"));
    fMain->mGatewayListClick();
    EXPECT_EQ(fGatewayList->lbGateways->currentItem()->text(), QStringLiteral("Depot")) << "the current is marked";
    fGatewayList->sbQuitClick();

    // A name the list lacks is the unnamed gateway with its own file.
    CurrentGateway = SelectGateway(QStringLiteral("Nowhere"), CurrentGateway);
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("unnamed"));
    EXPECT_EQ(CurrentGateway.File, path(QStringLiteral("unnamed.ini")));
    EXPECT_EQ(fMain->sbMainPanel0->text(), QStringLiteral("unnamed : not connected"));
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
    fCommSettings->FormActivate();
    EXPECT_EQ(fCommSettings->cbCommType->currentIndex(), 1);
    EXPECT_EQ(fCommSettings->eTimeResponse->text(), QStringLiteral("3000"));
    EXPECT_TRUE(fCommSettings->eTimeResponse->isVisibleTo(fCommSettings));
    EXPECT_FALSE(fCommSettings->cbComPort->isVisibleTo(fCommSettings));

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

// Each window's places with their entry numbers; "-" stands for the window's title.
const char* const kPlaces[] = {
    "TfCommSettings - 831 gbComm 79 lbCommType 79 gbLog 82 cbSaveLog 83 cbAppendLog 84 lbBaudrate 881 gSett 86 "
    "lbSettings1 87 lbSettings2 733 sbOk 89 sbCancel 90",
    "TfGatewayList - 97 sbNew 91 sbEdit 92 sbRemove 93 sbRemoveAll 94 sbSelect 95 sbConnect 96 sbQuit 90",
    "TfNewGateway lbName 100 lbIp 101 lbPort 102 lbUser 103 lbPass 104 lbFile 105 sbOk 89 sbCancel 90",
    "TfLogin lbUser 103 lbPass 104",
    "TfInsertIp - 54 Label1 879 Label2 877 Label3 878 Label4 880 BitBtn1 89 BitBtn2 90",
    "TfDialing - 714 sbClose 571",
    "TfAddNumber - 729 lb1 730 sbOk 89 sbCancel 90",
};

// Checks that each place shows expected(its entry number).
void expectPlaces(const std::function<QString(int)>& expected)
{
    int places = 0;
    for (const char* line : kPlaces) {
        const QStringList words = QString::fromLatin1(line).split(QLatin1Char(' '));
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            window = w->objectName() == words[0] ? w : window;
        ASSERT_NE(window, nullptr) << line;
        for (qsizetype i = 1; i + 1 < words.size(); i += 2, ++places) {
            QObject* o = window->findChild<QObject*>(words[i]);
            QString text = words[i] == QLatin1String("-") ? window->windowTitle() : QStringLiteral("?");
            if (auto* label = qobject_cast<QLabel*>(o))
                text = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(o))
                text = button->text();
            else if (auto* group = qobject_cast<QGroupBox*>(o))
                text = group->title();
            EXPECT_EQ(text, expected(words[i + 1].toInt())) << line << " at " << qPrintable(words[i]);
        }
    }
    EXPECT_EQ(places, 43);
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
    QStringList commTypes() const
    {
        QStringList items;
        for (int i = 0; i < fCommSettings->cbCommType->count(); ++i)
            items << fCommSettings->cbCommType->itemText(i);
        return items;
    }
};

// With an empty table every place falls back to its English text, which must read as the shipped English one.
TEST_F(ConnectionLabelsTest, EveryPlaceShowsItsEntryOrTheEnglishText)
{
    apply(numbered());
    expectPlaces([](int k) { return QStringLiteral("#%1").arg(k); });
    EXPECT_EQ(commTypes(), (QStringList{QStringLiteral("#80"), QStringLiteral("#81"), QStringLiteral("#647")}));

    fMain->loadLabels(1);
    const Tlabels english = labelTexts;
    for (int k : {45, 46, 48, 49, 50, 51, 52, 53, 98, 99, 106, 107, 213, 214, 715, 716, 782, 868, 869})
        EXPECT_FALSE(labelText(k).isEmpty()) << k;
    apply(Tlabels(982));
    expectPlaces([&english](int k) { return english[size_t(k)]; });
    EXPECT_EQ(commTypes(), (QStringList{english[80], english[81], english[647]}));
    EXPECT_EQ(fInsertIp->Label4->text(), QStringLiteral("Port : ")) << "the trailing blank stays";
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

} // namespace
