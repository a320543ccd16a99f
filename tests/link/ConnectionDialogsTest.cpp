// The dialogs of the connection: the gateway list and its entry dialog with gtws.ini, the communication
// settings with settings.ini.
#include "config/GateFile.h"
#include "link/GatewayList.h"
#include "link/ui/ConnectionPart.h"
#include "link/ui/TfCommSettings.h"
#include "link/ui/TfGatewayList.h"
#include "link/ui/TfNewGateway.h"
#include "platform/IniFile.h"
#include "support/MainWindowFixture.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
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

TEST_F(GatewayListDialogTest, NewEntriesAreWrittenBadOnesRefusedWithAMessageAndCancelKeepsNothing)
{
    fMain->mGatewayListClick();
    answerEntry(QStringLiteral("Depot"), QStringLiteral("4001"), QStringLiteral("tech"), QStringLiteral("s3cret"));
    fGatewayList->sbNewClick();
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    GatewayEntry e;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("Depot"), e));
    EXPECT_EQ(QStringList({e.Host, QString::number(e.Port), e.Username, e.Password}),
              QStringList({"10.1.1.1", "4001", "tech", "s3cret"}));
    EXPECT_EQ(e.File, path(QStringLiteral("Depot.ini"))) << "a new gateway's gate file lies in the program folder";
    const QByteArray before = readFile(QStringLiteral("gtws.ini"));
    const struct
    {
        const char* name;
        const char* port;
        const char* user;
        const char* password;
        int text;
    } cases[] = {
        {"a[b]", "1001", "", "", 98},
        {"depot", "1001", "", "", 99},
        {"Yard", "65536", "", "", 106},
        {"Yard", "80a", "", "", 106},
        // Shifted codes that would come out as 0x00, CR or LF, and a character Windows-1250 lacks.
        {"Yard", "1001", "Brno-střed-ú", "", 982},
        {"Yard", "1001", "", "heslokůň", 982},
        {"Yard", "1001", "", "123ü", 982},
        {"Yard", "1001", "", "\x09\x08", 982},
        {"Yard", "1001", "żółw€", "日本", 982},
    };
    for (const auto& c : cases) {
        dialogs().clearRecords();
        answerEntry(QString::fromLatin1(c.name), QString::fromLatin1(c.port), QString::fromUtf8(c.user),
                    QString::fromUtf8(c.password));
        fGatewayList->sbNewClick();
        ASSERT_EQ(dialogs().boxes().size(), 1) << c.name << " " << c.port << " " << c.user << " " << c.password;
        EXPECT_EQ(dialogs().boxes().first().text, labelText(c.text));
        EXPECT_FALSE(labelText(c.text).isEmpty());
        EXPECT_EQ(dialogs().modals().first().result, QDialog::Rejected) << "the dialog stayed open until closed";
    }
    dialogs().onModal([](QDialog*) { fNewGateway->edName->setText(QStringLiteral("Yard")); });
    fGatewayList->sbNewClick();
    EXPECT_EQ(readFile(QStringLiteral("gtws.ini")), before) << "nothing was saved";
    EXPECT_EQ(listed(), QStringList{QStringLiteral("Depot")});
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
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("Depot"));
    EXPECT_EQ(CurrentGateway.Host, QStringLiteral("10.2.2.2"));
    EXPECT_EQ(CurrentGateway.Username, QStringLiteral("admin"));
    EXPECT_EQ(GateConfig.system.gateId, 4321);
    for (int flag = 0; flag < pcCount; ++flag)
        EXPECT_EQ(pageChanged[flag], flag == pcIsdn ? 1 : 0) << flag;
    EXPECT_EQ(IniFile(path(QStringLiteral("settings.ini"))).ReadString("main", "gateway", {}), "Depot");
    EXPECT_EQ(fMain->sbMainPanel0->text(), QStringLiteral("Depot : not connected"));

    // A name the list lacks is the unnamed gateway with its own file.
    CurrentGateway = SelectGateway(QStringLiteral("Nowhere"), CurrentGateway);
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("unnamed"));
    EXPECT_EQ(CurrentGateway.File, path(QStringLiteral("unnamed.ini")));
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
    EXPECT_EQ(fCommSettings->eTimeResponse->text(), QStringLiteral("3000"));

    fCommSettings->eTimeResponse->setText(QStringLiteral("9999"));
    fCommSettings->sbCancelClick();
    EXPECT_EQ(CurrentConnection.LanTimeout, 3000);
    EXPECT_FALSE(settings().ValueExists("main", "LanTimeout"));

    fCommSettings->FormActivate();
    fCommSettings->eTimeResponse->setText(QStringLiteral("2500"));
    // The user picks the serial link and types a device path of his own.
    fCommSettings->cbCommType->setCurrentIndex(0);
    fCommSettings->cbCommTypeChange();
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

} // namespace
