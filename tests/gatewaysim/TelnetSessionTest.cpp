// The program's telnet client against the simulated gateway: the two ends of the telnet protocol agree,
// and what the client sends arrives byte for byte as the program will send it.
#include "SimPeers.h"

#include "platform/TelnetClient.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TelnetSession
{
    explicit TelnetSession(const gatewaysim::Config& cfg = simtest::testConfig()) : gw(cfg) {}

    bool open()
    {
        client.Host = QStringLiteral("127.0.0.1");
        client.Port = gw.startTcp();
        client.setDataHandler([this](const QByteArray& t) { text += t; });
        return client.Port != 0 && client.Connect(5000);
    }
    // Sends a line character by character, as the program's link write does.
    void sendLine(const QByteArray& line)
    {
        for (char c : line)
            client.SendCh(c);
    }
    // Waits until the received text ends with tail; returns the text and empties it.
    QByteArray waitFor(const QByteArray& tail)
    {
        if (!QTest::qWaitFor([&] { return text.endsWith(tail); }, 5000))
            ADD_FAILURE() << "no " << tail.constData() << " in " << text.constData();
        const QByteArray t = text;
        text.clear();
        return t;
    }

    gatewaysim::Gateway gw;
    TelnetClient client;
    QByteArray text;
};

} // namespace

TEST(TelnetSession, NegotiatesLogsInAndListsWithTheProgramsLineEnds)
{
    TelnetSession s;
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.waitFor("login: "), "\r\nMX login: "); // no option bytes in the text
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.gw.terminalType() == QLatin1String("dumb"); }, 5000));

    s.sendLine("admin\r");
    EXPECT_EQ(s.waitFor("Password: "), "\r\nPassword: ");
    s.sendLine("admin\r");
    EXPECT_EQ(s.waitFor("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(s.gw.loginCount(), 1);

    s.sendLine("AT&V\r\n");
    EXPECT_EQ(s.waitFor("OK\r\n"), "\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n");
    s.sendLine("AT%S91=3,4\r\n");
    EXPECT_EQ(s.waitFor("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(s.gw.value("S91"), "3,4");

    // Outside binary mode each CR went out as CR LF, and a LF of the program's own follows it.
    const QByteArray expected("admin\r\nadmin\r\nAT&V\r\n\nAT%S91=3,4\r\n\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.gw.receivedBytes().size() >= expected.size(); }, 5000));
    EXPECT_EQ(s.gw.receivedBytes(), expected);
    EXPECT_EQ(s.gw.receivedLines(),
              (QList<QByteArray>{"admin\r\n", "admin\r\n", "AT&V\r\n", "\n", "AT%S91=3,4\r\n", "\n"}));
    EXPECT_EQ(s.text, QByteArray()); // the lone LFs got no answer
}

TEST(TelnetSession, WrongPasswordGetsANewPrompt)
{
    TelnetSession s;
    ASSERT_TRUE(s.open());
    s.waitFor("login: ");
    s.sendLine("admin\r");
    s.waitFor("Password: ");
    s.sendLine("0000\r");
    EXPECT_EQ(s.waitFor("login: "), "\r\nLogin incorrect\r\n\r\nMX login: ");
    EXPECT_EQ(s.gw.loginCount(), 0);
}

TEST(TelnetSession, ClientSeesTheGatewayDropTheConnection)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.faults.dropAfterCommands = 1;
    TelnetSession s(cfg);
    ASSERT_TRUE(s.open());
    bool dropped = false;
    QObject::connect(&s.client, &TelnetClient::disconnected, [&] { dropped = true; });
    s.waitFor("login: ");
    s.sendLine("admin\r");
    s.waitFor("Password: ");
    s.sendLine("admin\r");
    s.waitFor("OK\r\n");
    s.sendLine("ATI3\r");
    EXPECT_EQ(s.waitFor("OK\r\n"), "\r\nMesk MX GSM-ISDN gateway\r\n(c) Korvath\r\nOK\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dropped; }, 5000));
    EXPECT_FALSE(s.client.Connected());
}

TEST(TelnetSession, SplitRepliesAreCollectedWhole)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.faults.chunkSize = 3;
    cfg.faults.chunkDelayMs = 20;
    TelnetSession s(cfg);
    int pieces = 0;
    ASSERT_TRUE(s.open());
    QObject::connect(&s.client, &TelnetClient::dataAvailable, [&] { ++pieces; });
    s.waitFor("login: ");
    s.sendLine("admin\r");
    s.waitFor("Password: ");
    s.sendLine("admin\r");
    s.waitFor("OK\r\n");
    pieces = 0;
    s.sendLine("AT&V\r");
    EXPECT_EQ(s.waitFor("OK\r\n"), "\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n");
    EXPECT_GT(pieces, 1);
}
