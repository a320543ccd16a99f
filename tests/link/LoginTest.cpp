// The login and the identification on an open telnet link, against the simulated gateway. The full login over
// each link type is driven through the main window in ConnectTest.
#include "TelnetLinkFixture.h"

#include "link/GatewayList.h"
#include "link/Login.h"
#include "support/ScriptedDialogs.h"
#include "texts/Labels.h"
#include "texts/ProgramVersion.h"

namespace {

using LoginTest = TelnetLinkTest;

GatewayEntry listed(const QString& user, const QString& password)
{
    GatewayEntry gw;
    gw.Name = QStringLiteral("Office");
    gw.Username = user;
    gw.Password = password;
    return gw;
}

TEST_F(LoginTest, AWrongPasswordFails)
{
    ASSERT_NO_FATAL_FAILURE(connectTo());
    GatewayEntry gw = listed(QStringLiteral("admin"), QStringLiteral("wrong"));
    EXPECT_FALSE(LoginToGateway(CurrentConnection, &gw, readGreeting()));
    EXPECT_EQ(gateway->loginCount(), 0);
}

TEST_F(LoginTest, AHalfDoneLoginIsEndedWithACrFirst)
{
    ASSERT_NO_FATAL_FAILURE(connectTo());
    readGreeting();
    ASSERT_EQ(LinkWrite(CurrentConnection, "someone\r"), 8u);
    const QByteArray asked = LinkRead(1024);
    ASSERT_TRUE(asked.contains("Password:"));
    GatewayEntry gw = listed(QStringLiteral("admin"), QStringLiteral("admin"));
    EXPECT_TRUE(LoginToGateway(CurrentConnection, &gw, asked));
    // The telnet client sends a CR as CR LF.
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"someone\r\n", "\r\n", "admin\r\n", "admin\r\n"}));
    EXPECT_EQ(gateway->loginCount(), 1);
}

TEST_F(LoginTest, OnlyTheUnnamedGatewayIsAskedForItsNamesAndACancelSendsNothing)
{
    ASSERT_NO_FATAL_FAILURE(connectTo());
    const QByteArray prompt = readGreeting();
    gateway->clearLog();
    int asked = 0;
    askLoginHook = [&asked](GatewayEntry&) { return ++asked, false; };
    GatewayEntry unnamed = UnnamedGatewayEntry();
    EXPECT_FALSE(LoginToGateway(CurrentConnection, &unnamed, prompt));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(gateway->receivedLines().isEmpty());

    tcp = nullptr; // the listed gateway's login fails at its first write
    GatewayEntry other = listed(QString(), QString());
    EXPECT_FALSE(LoginToGateway(CurrentConnection, &other, prompt));
    EXPECT_EQ(asked, 1) << "a listed gateway is never asked, even without a user name";
}

TEST(ModelName, TheOnePortModelIsToldByItsNameAsAWord)
{
    EXPECT_TRUE(IsModelY("\r\nMesk MY GSM-ISDN gateway\r\n(c) Korvath\r\nOK\r\n"));
    for (const char* reply : {"\r\nMesk MX GSM-ISDN gateway\r\nOK\r\n", "MESK MXMY\r\n"})
        EXPECT_FALSE(IsModelY(reply)) << reply;
}

TEST_F(LoginTest, AFirmwareOutsideTheProgramsLinesIsWarnedAboutOnlyWhenAsked)
{
    labelTexts.assign(900, QString());
    labelTexts[45] = QStringLiteral("Warning");
    labelTexts[46] = QStringLiteral("Firmware not supported");
    ScriptedDialogs dialogs;
    const struct
    {
        const char* firmware;
        bool check;
        bool warned;
    } cases[] = {{"V-02.05.20", true, false}, {"V-02.04.16", true, true}, {"V-02.04.16", false, false}};
    for (const auto& c : cases) {
        gatewaysim::Config cfg;
        cfg.firmwareVersion = QString::fromLatin1(c.firmware);
        ASSERT_NO_FATAL_FAILURE(connectAndLogIn(cfg));
        dialogs.clearRecords();
        EXPECT_NE(ReadGatewayInfo(c.check), QStringLiteral("error"));
        ASSERT_EQ(dialogs.boxes().size(), c.warned ? 1 : 0) << c.firmware << " " << c.check;
        if (c.warned) {
            EXPECT_EQ(dialogs.boxes().first().text, QStringLiteral("Firmware not supported"));
            EXPECT_EQ(dialogs.boxes().first().flags, unsigned(MB_ICONWARNING));
        }
        TearDown();
        SetUp();
    }
    resetTexts();
}

TEST(FirmwareVersions, EachLineHasTheLowestCarriedVersionAsItsMinimum)
{
    for (const char* version : {"V-02.04.99", "V-02.05.17"})
        EXPECT_TRUE(FirmwareVersionSupported(QString::fromLatin1(version))) << version;
    for (const char* version : {"V-02.04.16", "V-02.05.09", "V-02.06.30", "garbage"})
        EXPECT_FALSE(FirmwareVersionSupported(QString::fromLatin1(version))) << version;
    for (const QString& carried : {firmwareVersion1, firmwareVersion2, firmwareVersion3, firmwareVersion4})
        EXPECT_TRUE(FirmwareVersionSupported(carried)) << qPrintable(carried);
}

} // namespace
