// The serial port's speed scan against the simulated gateway on a pty: it answers only at its own speed. A
// gateway still logged in, a silent line and a missing port are met through the connect in ConnectTest.
#include "gatewaysim/Gateway.h"
#include "link/LinkIo.h"
#include "link/LinkOpen.h"
#include "platform/ComPort.h"

#include <gtest/gtest.h>

namespace {

class SerialScanTest : public ::testing::Test
{
protected:
    void SetUp() override { resetLinkState(); }
    void TearDown() override { resetLinkState(); }
};

TEST_F(SerialScanTest, TheSpeedThatBringsThePromptIsKept)
{
    for (const qint32 speed : {9600, 115200}) {
        gatewaysim::Config cfg;
        cfg.serialBaudRate = speed;
        gatewaysim::Gateway gw(cfg);
        const QString path = gw.startSerialPty();
        ASSERT_FALSE(path.isEmpty());
        const SerialScanResult scan = ScanSerialPort(path);
        ASSERT_TRUE(scan.port) << speed;
        EXPECT_EQ(scan.baudRate, speed);
        EXPECT_EQ(scan.port->baudRate(), speed);
        EXPECT_TRUE(scan.received.contains("MX login: ")) << scan.received.constData();
        EXPECT_FALSE(scan.portFailed);
        // Only what went out at the gateway's own speed reached it.
        EXPECT_EQ(gw.receivedLines(), QList<QByteArray>{"\r\n"}) << speed;
    }
}

TEST_F(SerialScanTest, TheBootLoadersBannerIsAnAnswer)
{
    gatewaysim::Config cfg;
    cfg.faults.bootMode = true;
    gatewaysim::Gateway gw(cfg);
    const SerialScanResult scan = ScanSerialPort(gw.startSerialPty());
    ASSERT_TRUE(scan.port);
    EXPECT_TRUE(IsBootModeAnswer(scan.received)) << scan.received.constData();
}

} // namespace
