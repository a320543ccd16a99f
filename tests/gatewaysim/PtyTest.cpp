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
    if (line.readUntil("CONNECT 9600\r\n") != "\r\nCONNECT 9600\r\n")
        return false;
    return line.login().endsWith("\r\nOK\r\n");
}

void escapeToCommandMode(PtyPeer& line, int guardMs)
{
    QTest::qSleep(guardMs + 50);
    line.send("+++");
    QTest::qSleep(guardMs + 50);
}

} // namespace

TEST(SerialPty, GatewayWaitsForALineThenLogsInAndAnswers)
{
    gatewaysim::Gateway gw(simtest::testConfig());
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
}

TEST(SerialPty, SessionOutlivesThePortBeingClosedAndReopened)
{
    gatewaysim::Gateway gw(simtest::testConfig());
    const QString path = gw.startSerialPty();
    {
        PtyPeer line;
        ASSERT_TRUE(line.open(path));
        line.send("\r");
        EXPECT_EQ(line.login("admin", "admin", "\r", true), "\r\nOK\r\n");
    }
    PtyPeer again;
    ASSERT_TRUE(again.open(path));
    again.send("AT\r");
    EXPECT_EQ(again.readReply(), "\r\nOK\r\n"); // still logged in: a gateway cannot see the port close
}

TEST(SerialPty, DroppedSessionStartsOverAtTheLogin)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.faults.dropAfterCommands = 1;
    gatewaysim::Gateway gw(cfg);
    PtyPeer line;
    ASSERT_TRUE(line.open(gw.startSerialPty()));
    line.send("\r");
    ASSERT_EQ(line.login(), "\r\nOK\r\n");
    line.send("AT\r");
    EXPECT_EQ(line.readReply(), "\r\nOK\r\n");
    line.send("AT\r");
    EXPECT_EQ(line.readUntil("Password: "), "\r\nPassword: "); // "AT" is now a user name
}

TEST(ModemPty, DialsConnectsHangsUpWithEscapeAndAth)
{
    const gatewaysim::Config cfg = modemConfig();
    gatewaysim::Gateway gw(cfg);
    const QString path = gw.startModemPty();
    ASSERT_FALSE(path.isEmpty()) << qPrintable(gw.errorString());
    PtyPeer line;
    ASSERT_TRUE(line.open(path));

    line.send("AT\r");
    EXPECT_EQ(line.readReply(), "\r\nOK\r\n");
    line.send("ATZ\r");
    EXPECT_EQ(line.readReply(), "\r\nERROR\r\n");
    ASSERT_TRUE(callAndLogin(line));
    EXPECT_TRUE(gw.modemInCall());
    line.send("AT&V\r\n");
    EXPECT_EQ(line.readReply(), "\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n");

    escapeToCommandMode(line, cfg.modemGuardMs);
    EXPECT_EQ(line.readReply(), "\r\nOK\r\n");
    EXPECT_TRUE(gw.modemInCall()); // the call stands until ATH
    line.send("ATH\r");
    EXPECT_EQ(line.readReply(), "\r\nOK\r\n");
    EXPECT_FALSE(gw.modemInCall());

    const QList<QByteArray> lines = gw.receivedLines();
    EXPECT_EQ(lines.first(), "AT\r");
    EXPECT_TRUE(lines.contains("ATDT123\r"));
    EXPECT_TRUE(lines.contains("+++"));
    EXPECT_EQ(lines.last(), "ATH\r");

    // A new call meets a new session, which asks for the login again.
    line.send("ATDT123\r");
    EXPECT_EQ(line.readUntil("login: "), "\r\nCONNECT 9600\r\n\r\nMX login: ");
}

TEST(ModemPty, PlusesWithoutTheGuardTimeAreData)
{
    const gatewaysim::Config cfg = modemConfig();
    gatewaysim::Gateway gw(cfg);
    PtyPeer line;
    ASSERT_TRUE(line.open(gw.startModemPty()));
    ASSERT_TRUE(callAndLogin(line));
    line.send("AT+++\r");
    EXPECT_EQ(line.readReply(), "\r\nERROR\r\n"); // the gateway got "AT+++"
    QTest::qSleep(cfg.modemGuardMs + 50);
    line.send("+++AT\r"); // no silence after the pluses
    EXPECT_EQ(line.readReply(), "\r\nERROR\r\n");
    EXPECT_TRUE(gw.modemInCall());
    EXPECT_TRUE(gw.receivedLines().contains("AT+++\r"));
    EXPECT_TRUE(gw.receivedLines().contains("+++AT\r"));
}

TEST(ModemPty, DialFailuresAnswerAsConfigured)
{
    const struct
    {
        gatewaysim::DialResult result;
        const char* answer;
    } cases[] = {
        {gatewaysim::DialResult::NoCarrier, "\r\nNO CARRIER\r\n"},
        {gatewaysim::DialResult::Busy, "\r\nBUSY\r\n"},
        {gatewaysim::DialResult::Silence, ""},
    };
    for (const auto& c : cases) {
        gatewaysim::Gateway gw(modemConfig(c.result));
        PtyPeer line;
        ASSERT_TRUE(line.open(gw.startModemPty()));
        line.send("ATDT555\r");
        EXPECT_EQ(line.drain(300), c.answer);
        EXPECT_FALSE(gw.modemInCall());
        line.send("AT\r");
        EXPECT_EQ(line.readReply(), "\r\nOK\r\n"); // still in command mode
    }
}

TEST(ModemPty, DialWithoutANumberIsAnError)
{
    gatewaysim::Gateway gw(modemConfig());
    PtyPeer line;
    ASSERT_TRUE(line.open(gw.startModemPty()));
    line.send("ATDT\r");
    EXPECT_EQ(line.readReply(), "\r\nERROR\r\n");
    EXPECT_FALSE(gw.modemInCall());
}

TEST(ModemPty, ClosingTheLineEndsTheCallAndTheNextCallerStartsClean)
{
    gatewaysim::Gateway gw(modemConfig());
    const QString path = gw.startModemPty();
    {
        PtyPeer line;
        ASSERT_TRUE(line.open(path));
        ASSERT_TRUE(callAndLogin(line));
        line.send("AT&V9\r"); // its reply may be left unread
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !gw.modemInCall(); }, 5000));

    PtyPeer next;
    ASSERT_TRUE(next.open(path));
    next.send("AT\r");
    EXPECT_EQ(next.readReply(), "\r\nOK\r\n"); // command mode, nothing left over from the call
}

TEST(ModemPty, DroppedSessionEndsTheCallWithNoCarrier)
{
    gatewaysim::Config cfg = modemConfig();
    cfg.faults.dropAfterCommands = 1;
    gatewaysim::Gateway gw(cfg);
    PtyPeer line;
    ASSERT_TRUE(line.open(gw.startModemPty()));
    ASSERT_TRUE(callAndLogin(line));
    line.send("AT\r");
    EXPECT_EQ(line.readUntil("NO CARRIER\r\n"), "\r\nOK\r\n\r\nNO CARRIER\r\n");
    EXPECT_FALSE(gw.modemInCall());
    line.send("AT\r");
    EXPECT_EQ(line.readReply(), "\r\nOK\r\n");
}
