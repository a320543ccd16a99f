// The login and the identification on an open link, against the simulated gateway: over telnet, and over its
// serial port where a session outlives the port being closed.
#include "TelnetLinkFixture.h"

#include "link/GatewayList.h"
#include "link/Login.h"
#include "platform/ComPort.h"
#include "support/ScriptedDialogs.h"
#include "texts/Labels.h"
#include "texts/ProgramVersion.h"

#include <gtest/gtest.h>

namespace {

class LoginTest : public TelnetLinkTest
{
protected:
    // Connects and logs in by hand, for either model's prompt; the log starts empty afterwards.
    void logInTo(const gatewaysim::Config& config)
    {
        ASSERT_NO_FATAL_FAILURE(connectTo(config));
        ASSERT_TRUE(ReadReply(1024).contains(" login:"));
        ASSERT_EQ(LinkWrite(CurrentConnection, "admin\r"), 6u);
        ASSERT_TRUE(LinkRead(1024).contains("Password:"));
        ASSERT_EQ(LinkWrite(CurrentConnection, "admin\r"), 6u);
        ASSERT_TRUE(ReadReply(1024).contains("OK"));
        gateway->clearLog();
    }
};

GatewayEntry listed(const QByteArray& user = "admin", const QByteArray& password = "admin")
{
    GatewayEntry gw;
    gw.Name = QStringLiteral("Office");
    gw.Username = QString::fromLatin1(user);
    gw.Password = QString::fromLatin1(password);
    return gw;
}

TEST_F(LoginTest, PromptUserPasswordAndOk)
{
    ASSERT_NO_FATAL_FAILURE(connectTo());
    const QByteArray greeting = ReadReply(1024);
    ASSERT_TRUE(greeting.contains("MX login:"));
    GatewayEntry gw = listed();
    EXPECT_TRUE(LoginToGateway(CurrentConnection, &gw, greeting));
    // The telnet client sends a CR as CR LF.
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"admin\r\n", "admin\r\n"}));
    EXPECT_EQ(gateway->loginCount(), 1);
}

TEST_F(LoginTest, WrongPasswordAndRefusedLoginFail)
{
    for (const bool refuse : {false, true}) {
        gatewaysim::Config cfg;
        cfg.faults.refuseLogin = refuse;
        ASSERT_NO_FATAL_FAILURE(connectTo(cfg));
        GatewayEntry gw = refuse ? listed() : listed("admin", "wrong");
        EXPECT_FALSE(LoginToGateway(CurrentConnection, &gw, ReadReply(1024))) << refuse;
        EXPECT_EQ(gateway->loginCount(), 0);
        TearDown();
        SetUp();
    }
}

TEST_F(LoginTest, AHalfDoneLoginIsEndedWithACrFirst)
{
    ASSERT_NO_FATAL_FAILURE(connectTo());
    ReadReply(1024);
    ASSERT_EQ(LinkWrite(CurrentConnection, "someone\r"), 8u);
    const QByteArray asked = LinkRead(1024);
    ASSERT_TRUE(asked.contains("Password:"));
    GatewayEntry gw = listed();
    EXPECT_TRUE(LoginToGateway(CurrentConnection, &gw, asked));
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"someone\r\n", "\r\n", "admin\r\n", "admin\r\n"}));
    EXPECT_EQ(gateway->loginCount(), 1);
}

TEST_F(LoginTest, TheUnnamedGatewayWithoutAUserAsksForOne)
{
    ASSERT_NO_FATAL_FAILURE(connectTo());
    const QByteArray greeting = ReadReply(1024);
    int asked = 0;
    askLoginHook = [&asked](GatewayEntry& e) {
        ++asked;
        e.Username = QStringLiteral("admin");
        e.Password = QStringLiteral("admin");
        return true;
    };
    GatewayEntry gw = UnnamedGatewayEntry();
    EXPECT_TRUE(LoginToGateway(CurrentConnection, &gw, greeting));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(gw.Username, QStringLiteral("admin")) << "the names asked are kept for the next login";

    // A listed gateway is never asked, even without a user name; a cancelled question ends the login.
    GatewayEntry other = listed("", "");
    ASSERT_NO_FATAL_FAILURE(connectTo());
    EXPECT_FALSE(LoginToGateway(CurrentConnection, &other, ReadReply(1024)));
    EXPECT_EQ(asked, 1);
    askLoginHook = [](GatewayEntry&) { return false; };
    GatewayEntry unnamed = UnnamedGatewayEntry();
    ASSERT_NO_FATAL_FAILURE(connectTo());
    const QByteArray prompt = ReadReply(1024);
    gateway->clearLog();
    EXPECT_FALSE(LoginToGateway(CurrentConnection, &unnamed, prompt));
    EXPECT_TRUE(gateway->receivedLines().isEmpty()) << "nothing is sent for a cancelled login";
    askLoginHook = nullptr;
}

TEST_F(LoginTest, TheModelIsToldByTheModelNameAsAWord)
{
    const struct
    {
        const char* reply;
        bool y;
    } cases[] = {
        {"\r\nMesk MY GSM-ISDN gateway\r\n(c) Korvath\r\nOK\r\n", true},
        {"\r\nMesk MX GSM-ISDN gateway\r\n(c) Korvath\r\nOK\r\n", false},
        {"\r\nMesk MX ECONOMY line\r\nOK\r\n", false}, // "MY" inside another word names no model
        {"MY\r\nOK\r\n", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsModelY(c.reply), c.y) << c.reply;
}

TEST_F(LoginTest, QueryGatewayModelKeepsTheRepliesAndSetsOnlyTheOnePortModel)
{
    for (const char* model : {"MX", "MY"}) {
        gatewaysim::Config cfg;
        cfg.model = QString::fromLatin1(model);
        ASSERT_NO_FATAL_FAILURE(logInTo(cfg));
        gatewayModel = 7; // a model the query has no business to overwrite with 0
        const int result = QueryGatewayModel();
        const bool y = QByteArray(model) == "MY";
        EXPECT_EQ(result, y ? 1 : 0) << model;
        EXPECT_EQ(gatewayModel, y ? 1 : 7) << model;
        // The telnet client sends a CR as CR LF, so the LF of "\r\n" makes an empty line of its own.
        EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"ATI4\r\n", "\n", "ATI3\r\n", "\n"}));
        EXPECT_EQ(ati4Reply, "SW : B-01.02 /V-02.05.20");
        EXPECT_EQ(ati3Reply, "Mesk " + QByteArray(model) + " GSM-ISDN gateway,(c) Korvath");
        TearDown();
        SetUp();
    }
}

TEST_F(LoginTest, GatewayInfoEndsWithTheFirmwareVersion)
{
    gatewaysim::Config cfg;
    cfg.model = QStringLiteral("MY");
    ASSERT_NO_FATAL_FAILURE(logInTo(cfg));
    int size = -1;
    const QString info = ReadGatewayInfo(false, &size);
    EXPECT_EQ(info, QStringLiteral("Mesk MY GSM-ISDN gateway  SW : B-01.02 /V-02.05.20"));
    EXPECT_EQ(size, 1);
    // What the firmware page reads out of it: the boot version after "SW : ", the firmware after the "/".
    EXPECT_EQ(info.mid(info.indexOf(QStringLiteral("SW : ")) + 5).section(QLatin1Char(' '), 0, 0),
              QStringLiteral("B-01.02"));
    EXPECT_EQ(info.mid(info.indexOf(QLatin1Char('/')) + 1), QStringLiteral("V-02.05.20"));

    setFaults([](gatewaysim::Faults& f) { f.errorToAll = true; });
    EXPECT_EQ(ReadGatewayInfo(false, &size), QStringLiteral("error"));
    setFaults([](gatewaysim::Faults& f) {
        f.errorToAll = false;
        f.noOk = true;
    });
    EXPECT_EQ(ReadGatewayInfo(false, &size), QStringLiteral("error"));
}

TEST_F(LoginTest, AFirmwareOutsideTheProgramsLinesIsWarnedAboutOnlyWhenAsked)
{
    labelTexts = {};
    labelTexts.resize(900);
    labelTexts[45] = QStringLiteral("Warning");
    labelTexts[46] = QStringLiteral("Firmware not supported");
    ScriptedDialogs dialogs;
    const struct
    {
        const char* firmware;
        bool check;
        bool warned;
    } cases[] = {{"V-02.05.20", true, false},
                 {"V-02.04.17", true, false},
                 {"V-02.04.16", true, true},
                 {"V-02.03.40", true, true},
                 {"V-02.04.16", false, false}};
    for (const auto& c : cases) {
        gatewaysim::Config cfg;
        cfg.firmwareVersion = QString::fromLatin1(c.firmware);
        ASSERT_NO_FATAL_FAILURE(logInTo(cfg));
        dialogs.clearRecords();
        EXPECT_NE(ReadGatewayInfo(c.check), QStringLiteral("error"));
        ASSERT_EQ(dialogs.boxes().size(), c.warned ? 1 : 0) << c.firmware << " " << c.check;
        if (c.warned) {
            EXPECT_EQ(dialogs.boxes().first().text, QStringLiteral("Firmware not supported"));
            EXPECT_EQ(dialogs.boxes().first().caption, QStringLiteral("Warning"));
            EXPECT_EQ(dialogs.boxes().first().flags, unsigned(MB_ICONWARNING));
        }
        TearDown();
        SetUp();
    }
    resetTexts();
}

TEST(FirmwareVersions, EachLineHasTheLowestCarriedVersionAsItsMinimum)
{
    const struct
    {
        const char* version;
        bool supported;
    } cases[] = {
        {"V-02.04.17", true},  {"V-02.04.99", true},  {"V-02.04.16", false}, {"V-02.05.17", true}, {"V-02.05.20", true},
        {"V-02.05.09", false}, {"V-02.06.30", false}, {"V-01.04.20", false}, {"garbage", false},   {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirmwareVersionSupported(QString::fromLatin1(c.version)), c.supported) << c.version;
    for (const QString& carried : {firmwareVersion1, firmwareVersion2, firmwareVersion3, firmwareVersion4})
        EXPECT_TRUE(FirmwareVersionSupported(carried)) << qPrintable(carried);
}

// The serial port keeps the gateway's session when the program closes the port: the next login finds no
// prompt and takes the gateway as logged in after a round of empty lines.
TEST(SerialLogin, AGatewayStillLoggedInIsTakenAsItIs)
{
    resetLinkState();
    gatewaysim::Gateway gw;
    const QString path = gw.startSerialPty();
    ASSERT_FALSE(path.isEmpty());
    CurrentConnection.LinkType = LinkSerial;
    for (int round = 0; round < 2; ++round) {
        auto port = std::make_shared<ComPort>();
        ASSERT_TRUE(port->open(path, 9600));
        port->setTimeouts(kNormalTimeouts);
        CurrentConnection.Handle = port;
        GatewayEntry entry = listed();
        gw.clearLog();
        EXPECT_TRUE(LoginToGateway(CurrentConnection, &entry, QByteArray())) << round;
        QList<QByteArray> expected;
        if (round == 0) {
            expected = {"\r\n", "admin\r", "admin\r"}; // the first empty line brings the prompt
        } else {
            for (int i = 0; i < 10; ++i)
                expected.append("\r\n");
            expected.append("AT\r\n");
        }
        EXPECT_EQ(gw.receivedLines(), expected) << round;
        port->close();
    }
    EXPECT_EQ(gw.loginCount(), 1);
    resetLinkState();
}

} // namespace
