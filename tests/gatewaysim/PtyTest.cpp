// The pty transports: the gateway's serial port, and a Hayes modem with the gateway behind it.
#include "SimPeers.h"

#include <QTest>
#include <gtest/gtest.h>

using simtest::PtyPeer;

namespace {

gatewaysim::Config modemConfig(gatewaysim::DialResult result = gatewaysim::DialResult::Connect)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.modemGuardMs = 150;
    cfg.dialResult = result;
    return cfg;
}

// Dials and logs in; true when the gateway said OK to the password.
bool callAndLogin(PtyPeer& line)
{
    line.send("ATDT123\r");
    return line.readUntil("CONNECT 9600\r\n") == "\r\nCONNECT 9600\r\n" && line.login().endsWith("\r\nOK\r\n");
}

} // namespace

TEST(SerialPty, GatewayWaitsForALineThenLogsInAndAnswersAndStartsOverWhenDropped)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.faults.dropAfterCommands = 2;
    gatewaysim::Gateway gw(cfg);
    const QString path = gw.startSerialPty();
    ASSERT_FALSE(path.isEmpty()) << qPrintable(gw.errorString());
    PtyPeer line;
    ASSERT_TRUE(line.open(path));
    EXPECT_EQ(line.drain(150), QByteArray()); // a serial gateway says nothing unasked

    line.send("\r\n");
    EXPECT_EQ(line.readUntil("login: "), "\r\nMX login: ");
    EXPECT_EQ(line.login("admin", "admin", "\r", false), "\r\nOK\r\n");
    line.send("AT&V\r");
    EXPECT_EQ(line.readReply(), "\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n");
    EXPECT_EQ(gw.receivedLines(), (QList<QByteArray>{"\r\n", "admin\r", "admin\r", "AT&V\r"}));
    line.send("AT\r");
    EXPECT_EQ(line.readUntil("login: "), "\r\nOK\r\n\r\nMX login: ") << "the session after the drop shows its prompt";
    line.send("AT\r");
    EXPECT_EQ(line.readUntil("Password: "), "\r\nPassword: ") << "after the drop, \"AT\" is a user name";
}

TEST(ModemPty, DialsConnectsHangsUpWithEscapeAndAth)
{
    const gatewaysim::Config cfg = modemConfig();
    gatewaysim::Gateway gw(cfg);
    const QString path = gw.startModemPty();
    ASSERT_FALSE(path.isEmpty()) << qPrintable(gw.errorString());
    PtyPeer line;
    ASSERT_TRUE(line.open(path));

    for (const char* command : {"AT\r", "ATZ\r", "ATDT\r"})
        line.send(command);
    EXPECT_EQ(line.readUntil("ERROR\r\n\r\nERROR\r\n"), "\r\nOK\r\n\r\nERROR\r\n\r\nERROR\r\n");
    ASSERT_TRUE(callAndLogin(line));
    EXPECT_TRUE(gw.modemInCall());

    // Pluses without the guard time before or after them are data.
    line.send("AT+++\r");
    EXPECT_EQ(line.readReply(), "\r\nERROR\r\n"); // the gateway got "AT+++"
    QTest::qSleep(cfg.modemGuardMs + 50);
    line.send("+++AT\r");
    EXPECT_EQ(line.readReply(), "\r\nERROR\r\n");

    QTest::qSleep(cfg.modemGuardMs + 50);
    line.send("+++");
    QTest::qSleep(cfg.modemGuardMs + 50);
    EXPECT_EQ(line.readReply(), "\r\nOK\r\n");
    EXPECT_TRUE(gw.modemInCall()); // the call stands until ATH
    line.send("ATH\r");
    EXPECT_EQ(line.readReply(), "\r\nOK\r\n");
    EXPECT_FALSE(gw.modemInCall());
    EXPECT_EQ(gw.receivedLines().mid(3),
              (QList<QByteArray>{"ATDT123\r", "admin\r\n", "admin\r\n", "AT+++\r", "+++AT\r", "+++", "ATH\r"}));

    // A new call meets a new session, which asks for the login again.
    line.send("ATDT123\r");
    EXPECT_EQ(line.readUntil("login: "), "\r\nCONNECT 9600\r\n\r\nMX login: ");
}
