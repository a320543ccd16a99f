// The serial port's speed scan against the simulated gateway on a pty: it answers only at its own speed.
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
    for (const qint32 speed : {9600, 57600, 115200}) {
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

TEST_F(SerialScanTest, AGatewayStillLoggedInIsFoundByItsOk)
{
    gatewaysim::Config cfg;
    cfg.serialBaudRate = 19200;
    gatewaysim::Gateway gw(cfg);
    const QString path = gw.startSerialPty();
    {
        ComPort port;
        ASSERT_TRUE(port.open(path, 19200));
        port.setTimeouts(kNormalTimeouts);
        for (const QByteArray line : {"\r", "admin\r", "admin\r"}) {
            ASSERT_EQ(port.write(line), line.size());
            ComRead(&port, 1024, false);
        }
        ASSERT_EQ(gw.loginCount(), 1);
    }
    gw.clearLog();
    const SerialScanResult scan = ScanSerialPort(path);
    ASSERT_TRUE(scan.port);
    EXPECT_EQ(scan.baudRate, 19200);
    EXPECT_TRUE(scan.received.contains("OK")) << scan.received.constData();
    EXPECT_EQ(gw.receivedLines(), (QList<QByteArray>{"\r\n", "AT\r\n"}));
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

TEST_F(SerialScanTest, ASilentLineAndAMissingPortAreToldApart)
{
    gatewaysim::Config cfg;
    cfg.serialBaudRate = 4800; // a speed the scan does not try
    gatewaysim::Gateway gw(cfg);
    const SerialScanResult silent = ScanSerialPort(gw.startSerialPty());
    EXPECT_FALSE(silent.port);
    EXPECT_FALSE(silent.portFailed);
    EXPECT_TRUE(gw.receivedLines().isEmpty());

    const SerialScanResult missing = ScanSerialPort(QStringLiteral("/dev/no-such-port"));
    EXPECT_FALSE(missing.port);
    EXPECT_TRUE(missing.portFailed);
    EXPECT_FALSE(missing.error.isEmpty());
}

} // namespace
