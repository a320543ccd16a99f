// Details of the connection that reach the wire or the pages: the bytes of a login with letters beyond ASCII,
// and the model that the status line's identification brings.
#include "gatewaysim/Gateway.h"
#include "link/ConnectionPart.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/Login.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"
#include "support/MainWindowFixture.h"
#include "ui/TfMain.h"

#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

namespace {

// "ček" / "heslíčko": "č" is a letter of Windows-1250 that Latin-1 lacks ("í" is in both).
const QString kUser = QString::fromUtf8("\xC4\x8D"
                                        "ek");
const QString kPassword = QString::fromUtf8("hesl\xC3\xAD\xC4\x8Dko");
const QByteArray kUserBytes("\xE8"
                            "ek");
const QByteArray kPasswordBytes("hesl\xED\xE8ko");

class LoginBytesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetLinkState();
        Clock::reset();
    }
    void TearDown() override
    {
        resetLinkState();
        client.reset();
        gateway.reset();
    }

    std::unique_ptr<gatewaysim::Gateway> gateway;
    std::unique_ptr<TelnetClient> client;
};

TEST_F(LoginBytesTest, NamesGoOutInTheCodeTheGatewayListStoresThemIn)
{
    gatewaysim::Config cfg;
    cfg.user = kUserBytes;
    cfg.password = kPasswordBytes;
    gateway = std::make_unique<gatewaysim::Gateway>(cfg);
    ASSERT_TRUE(gateway->isValid());
    const quint16 port = gateway->startTcp();
    ASSERT_NE(port, 0);
    client = std::make_unique<TelnetClient>();
    client->Host = QStringLiteral("127.0.0.1");
    client->Port = port;
    client->setDataHandler([](const QByteArray& text) { StoreTcpReceived(text); });
    ASSERT_TRUE(client->Connect(5000));
    tcp = client.get();
    CurrentConnection.LinkType = LinkTelnet;
    CurrentConnection.LanTimeout = 1000;

    GatewayEntry entry;
    entry.Name = QStringLiteral("Office");
    entry.Username = kUser;
    entry.Password = kPassword;
    EXPECT_TRUE(LoginToGateway(CurrentConnection, &entry, ReadReply(1024)));
    EXPECT_EQ(gateway->loginCount(), 1);
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{kUserBytes + "\r\n", kPasswordBytes + "\r\n"}));
}

// The main window connected over telnet to the listed gateway "Sim".
class StatusLineModelTest : public MainWindowFixture
{
protected:
    void TearDown() override
    {
        if (fMain && CurrentConnection.Connected)
            fMain->mDisconnectClick();
        MainWindowFixture::TearDown();
        gateway.reset();
    }

    void connectTo(const QString& model)
    {
        gatewaysim::Config cfg;
        cfg.model = model;
        gateway = std::make_unique<gatewaysim::Gateway>(cfg);
        ASSERT_TRUE(gateway->isValid());
        const quint16 port = gateway->startTcp();
        ASSERT_NE(port, 0);
        writeFile(QStringLiteral("gtws.ini"),
                  "[Sim]\nUsername=bfpms\nPassword=bfpms\nHost=127.0.0.1\nPort=" + QByteArray::number(port) + "\n");
        writeSettings("commtype=2\nLanTimeout=1000\ngateway=Sim\nSaveLog=0\n");
        startUp();
        CurrentConnection = ConnectToGateway(false, fMain, false);
        ASSERT_TRUE(CurrentConnection.Connected) << qPrintable(dialogs().boxTexts().join('|'));
    }

    std::unique_ptr<gatewaysim::Gateway> gateway;
};

TEST_F(StatusLineModelTest, ALanguageSwitchWhileConnectedTakesTheModelTheGatewayNames)
{
    ASSERT_NO_FATAL_FAILURE(connectTo(QStringLiteral("MY")));
    ASSERT_EQ(gatewayModel, 1);
    ASSERT_TRUE(fMain->gbPortModes1->isHidden()) << "a one-port gateway has no BRI 1 group";

    // The pages laid out for the other model, as after a gateway that changed since the connect.
    gatewayModel = 0;
    fMain->setModelLayout(0);
    ASSERT_FALSE(fMain->gbPortModes1->isHidden());
    gateway->clearLog();

    fMain->tbEnglishClick(); // the label pass rebuilds the status line, which asks the gateway again
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"ATI4\r\n", "\n", "ATI3\r\n", "\n"}));
    EXPECT_EQ(gatewayModel, 1);
    EXPECT_TRUE(fMain->gbPortModes1->isHidden());
    EXPECT_TRUE(fMain->sbMainPanel0->text().endsWith(QStringLiteral("Mesk X")))
        << "the connection text is written before the gateway is asked";
}

} // namespace
