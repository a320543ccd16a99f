#pragma once
// A telnet link to a simulated gateway, set up the way the program's connect sets it up: the client's data
// handler stores the text for the link's reads, CurrentConnection says "telnet".
#include "gatewaysim/Gateway.h"
#include "link/LinkIo.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"

#include <gtest/gtest.h>
#include <memory>

class TelnetLinkTest : public ::testing::Test
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
        Clock::reset();
        client.reset();
        gateway.reset();
    }

    void connectTo(const gatewaysim::Config& config = gatewaysim::Config())
    {
        gateway = std::make_unique<gatewaysim::Gateway>(config);
        ASSERT_TRUE(gateway->isValid()) << gateway->errorString().toStdString();
        const quint16 port = gateway->startTcp();
        ASSERT_NE(port, 0) << gateway->errorString().toStdString();
        client = std::make_unique<TelnetClient>();
        client->Host = QStringLiteral("127.0.0.1");
        client->Port = port;
        client->setDataHandler([](const QByteArray& text) { StoreTcpReceived(text); });
        ASSERT_TRUE(client->Connect(5000)) << client->errorString().toStdString();
        tcp = client.get();
        CurrentConnection.LinkType = LinkTelnet;
        CurrentConnection.LanTimeout = 1000;
    }

    // The gateway's greeting, read as the connect reads it: its login prompt is expected there.
    static QByteArray readGreeting()
    {
        ReplyReading reading;
        reading.size = 1024;
        reading.loginPromptExpected = true;
        return ReadReply(reading);
    }

    // Logs in by hand (prompt, user, "Password:", password, "OK"); the gateway's log starts empty afterwards.
    void connectAndLogIn(const gatewaysim::Config& config = gatewaysim::Config())
    {
        ASSERT_NO_FATAL_FAILURE(connectTo(config));
        ASSERT_TRUE(readGreeting().contains(" login:"));
        ASSERT_EQ(LinkWrite(CurrentConnection, "admin\r"), 6u);
        ASSERT_TRUE(LinkRead(1024).contains("Password:"));
        ASSERT_EQ(LinkWrite(CurrentConnection, "admin\r"), 6u);
        ASSERT_TRUE(ReadReply(1024).contains("OK"));
        gateway->clearLog();
    }

    void setFaults(const std::function<void(gatewaysim::Faults&)>& change)
    {
        gatewaysim::Faults f = gateway->faults();
        change(f);
        gateway->setFaults(f);
    }

    // Writes a command as the pages do and reads its reply.
    QByteArray exchange(const QByteArray& command, qsizetype size = 4096)
    {
        EXPECT_EQ(LinkWrite(CurrentConnection, command), quint32(command.size()));
        WaitPumping(10);
        return ReadReply(size);
    }

    std::unique_ptr<gatewaysim::Gateway> gateway;
    std::unique_ptr<TelnetClient> client;
};
