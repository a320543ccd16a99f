// The program's telnet client against the simulated gateway: the two ends of the telnet protocol agree,
// and what the client sends arrives byte for byte as the program will send it.
#include "SimPeers.h"

#include "platform/TelnetClient.h"

#include <QTest>
#include <gtest/gtest.h>
#include <utility>

TEST(TelnetSession, NegotiatesLogsInAndListsWithTheProgramsLineEnds)
{
    gatewaysim::Gateway gw(simtest::testConfig());
    TelnetClient client;
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = gw.startTcp();
    QByteArray text;
    client.setDataHandler([&](const QByteArray& t) { text += t; });
    ASSERT_TRUE(client.Connect(5000));
    // Sends a line character by character, as the program's link write does, and returns the answer.
    auto exchange = [&](const QByteArray& line, const QByteArray& tail) {
        for (char c : line)
            client.SendCh(c);
        EXPECT_TRUE(QTest::qWaitFor([&] { return text.endsWith(tail); }, 5000)) << text.constData();
        return std::exchange(text, {});
    };

    EXPECT_EQ(exchange("", "login: "), "\r\nMX login: "); // no option bytes in the text
    EXPECT_TRUE(QTest::qWaitFor([&] { return gw.terminalType() == QLatin1String("dumb"); }, 5000));
    EXPECT_EQ(exchange("admin\r", "Password: "), "\r\nPassword: ");
    EXPECT_EQ(exchange("admin\r", "OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(exchange("AT&V\r\n", "OK\r\n"), "\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n");
    EXPECT_EQ(exchange("AT%S91=3,4\r\n", "OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(gw.value("S91"), "3,4");

    // Outside binary mode each CR went out as CR LF, and a LF of the program's own follows it.
    const QByteArray expected("admin\r\nadmin\r\nAT&V\r\n\nAT%S91=3,4\r\n\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return gw.receivedBytes().size() >= expected.size(); }, 5000));
    EXPECT_EQ(gw.receivedBytes(), expected);
    EXPECT_EQ(gw.receivedLines(),
              (QList<QByteArray>{"admin\r\n", "admin\r\n", "AT&V\r\n", "\n", "AT%S91=3,4\r\n", "\n"}));
    EXPECT_EQ(text, QByteArray()); // the lone LFs got no answer
}
