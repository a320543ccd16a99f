#pragma once
// The main window started in a temporary program folder, with the simulated gateway on one transport and the
// settings and gateway list that point the program at it.
#include "gatewaysim/Gateway.h"
#include "link/LinkState.h"
#include "link/ui/ConnectionPart.h"
#include "platform/ComPort.h"
#include "platform/Wait.h"
#include "support/MainWindowFixture.h"
#include "texts/Labels.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QLabel>
#include <QTreeWidgetItem>
#include <memory>

class ConnectTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        Clock::reset();
    }

    void TearDown() override
    {
        if (fMain && CurrentConnection.Connected)
            fMain->mDisconnectClick();
        MainWindowFixture::TearDown();
        gateway.reset();
        Clock::reset();
    }

    void startGateway(const gatewaysim::Config& config)
    {
        gateway = std::make_unique<gatewaysim::Gateway>(config);
        ASSERT_TRUE(gateway->isValid()) << qPrintable(gateway->errorString());
    }

    // settings: further lines of settings.ini; "SaveLog=0" unless they say otherwise.
    void startProgram(QByteArray settings)
    {
        if (!settings.contains("SaveLog"))
            settings += "SaveLog=0\n";
        writeSettings(settings);
        startUp();
        dialogs().clearRecords();
    }

    // The gateway "Sim" in gtws.ini with the simulator's user and password (admin, admin), shifted.
    void listSim(const QByteArray& more)
    {
        writeFile(QStringLiteral("gtws.ini"), "[Sim]\nUsername=bfpms\nPassword=bfpms\n" + more);
    }

    void startTelnetGateway(const gatewaysim::Config& config = {}, const QByteArray& settings = {}, bool listed = true)
    {
        ASSERT_NO_FATAL_FAILURE(startGateway(config));
        telnetPort = gateway->startTcp();
        ASSERT_NE(telnetPort, 0);
        if (listed)
            listSim("Host=127.0.0.1\nPort=" + QByteArray::number(telnetPort) + "\n");
        startProgram("commtype=2\nLanTimeout=1000\n" + QByteArray(listed ? "gateway=Sim\n" : "") + settings);
    }

    void startSerialGateway(const gatewaysim::Config& config = {})
    {
        ASSERT_NO_FATAL_FAILURE(startGateway(config));
        const QString path = gateway->startSerialPty();
        ASSERT_FALSE(path.isEmpty());
        listSim({});
        startProgram("commtype=1\ngateway=Sim\nComport=" + path.toLocal8Bit() + "\n");
    }

    // The unnamed gateway, without a phone number, behind the simulated modem.
    void startModemGateway(const gatewaysim::Config& config = {})
    {
        ASSERT_NO_FATAL_FAILURE(startGateway(config));
        const QString path = gateway->startModemPty();
        ASSERT_FALSE(path.isEmpty());
        startProgram("commtype=3\nmodemName=" + path.toLocal8Bit() + "\n");
    }

    // The gateway "Sim", phone number 1, behind the simulated modem.
    void startListedModemGateway(const gatewaysim::Config& config = {})
    {
        ASSERT_NO_FATAL_FAILURE(startGateway(config));
        const QString path = gateway->startModemPty();
        ASSERT_FALSE(path.isEmpty());
        listSim("PhoneNumber=1\n");
        startProgram("commtype=3\ngateway=Sim\nmodemName=" + path.toLocal8Bit() + "\n");
    }

    void connectNow()
    {
        CurrentConnection = ConnectToGateway(false, fMain, false);
        ASSERT_TRUE(CurrentConnection.Connected) << qPrintable(dialogs().boxTexts().join('|'));
    }

    QString panel0() const { return fMain->sbMainPanel0->text(); }

    // The menus, tool buttons and online topic images of the connected or disconnected program.
    void expectConnectedState(bool connected)
    {
        EXPECT_EQ(fMain->mDisconnect->isEnabled(), connected);
        EXPECT_EQ(fMain->tbDisconnect->isEnabled(), connected);
        for (QAction* a : {fMain->mConnect, fMain->tbConnect, fMain->mCommSett, fMain->mGatewayList})
            EXPECT_EQ(a->isEnabled(), !connected) << qPrintable(a->objectName());
        EXPECT_TRUE(fMain->tbLoadGate->isEnabled());
        EXPECT_TRUE(fMain->tbSaveGate->isEnabled());
        for (int i = 1; i <= 17; ++i)
            EXPECT_EQ(NavigationPart::topicImageIndex(fMain->topicNode(i)), connected ? 3 : 4) << i;
        EXPECT_EQ(NavigationPart::topicImageIndex(fMain->topicNode(19)), 2) << "a configuration page keeps its image";
    }

    std::unique_ptr<gatewaysim::Gateway> gateway;
    quint16 telnetPort = 0;
};
