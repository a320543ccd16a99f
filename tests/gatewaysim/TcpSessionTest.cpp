// A session over the telnet port, seen through a raw socket: the bytes on the wire, the login, the commands,
// the store behind the sets, the log of received lines and paged listings.
#include "SimPeers.h"

#include <gtest/gtest.h>

using simtest::TcpPeer;

namespace {

struct Session
{
    explicit Session(const gatewaysim::Config& cfg = simtest::testConfig()) : gw(cfg) {}
    bool open()
    {
        const quint16 port = gw.startTcp();
        return port != 0 && peer.connectTo(port);
    }
    bool openAndLogin() { return open() && peer.login().endsWith("\r\nOK\r\n"); }
    QByteArray command(const QByteArray& line)
    {
        peer.send(line);
        return peer.readReply();
    }

    gatewaysim::Gateway gw;
    TcpPeer peer;
};

} // namespace

TEST(TcpSession, OffersItsOptionsThenPromptsForTheLoginAndIdentifiesItsModel)
{
    for (const char* model : {"MX", "MY"}) {
        gatewaysim::Config cfg = simtest::testConfig();
        cfg.model = QString::fromLatin1(model);
        cfg.bootVersion = QStringLiteral("B-09.99");
        cfg.firmwareVersion = QStringLiteral("V-03.00.01");
        Session s(cfg);
        ASSERT_TRUE(s.open());
        const QByteArray prompt = "\r\n" + QByteArray(model) + " login: ";
        EXPECT_EQ(s.peer.readUntil("login: "), simtest::kNegotiation + prompt);
        s.peer.send("\r\n");
        EXPECT_EQ(s.peer.readUntil("login: "), prompt) << "an empty line repeats the prompt";
        ASSERT_EQ(s.peer.login("admin", "admin", "\r\n", false), "\r\nOK\r\n");
        // The program takes any "MY" in the ATI3 reply for the one-port model.
        EXPECT_EQ(s.command("ATI3\r\n"),
                  "\r\nMesk " + QByteArray(model) + " GSM-ISDN gateway\r\n(c) Korvath\r\nOK\r\n");
        EXPECT_EQ(s.command("ATI4\r\n"), "\r\nSW : B-09.99 /V-03.00.01\r\nOK\r\n");
    }
}

TEST(TcpSession, AnswersEachCommandExactly)
{
    const QByteArray system("\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n");
    const std::pair<const char*, QByteArray> views[] = {{"AT&V", system},
                                                        {"at&V", system},
                                                        {"AT&V9", "\r\nG91=2,3,3\r\nG191=3,#\r\nG99=0,12\r\nOK\r\n"},
                                                        {"AT&V0", "\r\nG99=0,12\r\nOK\r\n"}};
    Session s;
    ASSERT_TRUE(s.openAndLogin());
    for (const auto& [command, reply] : views)
        EXPECT_EQ(s.command(QByteArray(command) + "\r\n"), reply) << command;
    for (const char* command : {"AT", "at", "AT&M0", "AT&Vi", "AT&Nall", "AT&A"})
        EXPECT_EQ(s.command(QByteArray(command) + "\r\n"), "\r\nOK\r\n") << command;
    for (const char* command : {"AT&v", "AT&V7", "AT&V ", " AT", "ATX", "ATI5", "AT&M1", "hello", "AT%"})
        EXPECT_EQ(s.command(QByteArray(command) + "\r\n"), "\r\nERROR\r\n") << command;
    EXPECT_EQ(s.peer.drain(100), QByteArray()); // nothing besides
}

TEST(TcpSession, SetsAreCheckedAgainstKeyAndShapeAndTheListingShowsTheStoreAsItIsNow)
{
    const struct
    {
        const char* command;
        bool accepted;
        const char* key;
        const char* valueAfter;
    } cases[] = {{"AT%S91=8,1", false, "S91", "5,12"},   {"AT%S91=5,12,1", false, "S91", "5,12"},
                 {"AT%S91=", false, "S91", "5,12"},      {"AT%S91", false, "S91", "5,12"},
                 {"AT%s91=1,1", false, "S91", "5,12"},   {"AT%S92=1,1", false, "S92", ""},
                 {"AT%=1,1", false, "S91", "5,12"},      {"AT%%%S91=1,1", false, "S91", "5,12"},
                 {"AT%S91=7,255", true, "S91", "7,255"}, {"AT%%X22=06:00", true, "X22", "06:00"},
                 {"AT%G191=4,", true, "G191", "4,"}};
    Session s;
    ASSERT_TRUE(s.openAndLogin());
    for (const auto& c : cases) {
        EXPECT_EQ(s.command(QByteArray(c.command) + "\r\n"), c.accepted ? "\r\nOK\r\n" : "\r\nERROR\r\n") << c.command;
        EXPECT_EQ(s.gw.value(c.key), c.valueAfter) << c.command;
    }
    EXPECT_FALSE(s.gw.hasKey("S92"));
    EXPECT_EQ(s.command("AT&V\r\n"), "\r\nS91=7,255\r\nX22=06:00\r\nOK\r\n");

    ASSERT_TRUE(s.gw.setValue("X22", "bad value")); // a test may plant what no set would pass
    EXPECT_FALSE(s.gw.setValue("Q11", "1"));
    ASSERT_TRUE(s.gw.removeKey("S91"));
    EXPECT_EQ(s.command("AT&V\r\n"), "\r\nX22=bad value\r\nOK\r\n");
    EXPECT_EQ(s.command("AT%S91=1,1\r\n"), "\r\nERROR\r\n");
}

TEST(TcpSession, LongListingComesInPagesEachAfterABlank)
{
    gatewaysim::Config cfg;
    cfg.fixtureText = simtest::pagedFixture(45, 20);
    Session s(cfg);
    ASSERT_TRUE(s.openAndLogin());
    s.gw.clearLog();

    auto rows = [](int from, int to) {
        QByteArray r;
        for (int i = from; i < to; ++i)
            r += "A" + QByteArray::number(i).rightJustified(2, '0') + "=row" +
                 QByteArray::number(i).rightJustified(2, '0') + "\r\n";
        return r;
    };
    EXPECT_EQ(s.command("AT&A\r"), "\r\n" + rows(0, 20) + "<SPACE>\r\n");
    EXPECT_EQ(s.peer.drain(100), QByteArray()); // waits for the blank
    EXPECT_EQ(s.command(" "), rows(20, 40) + "<SPACE>\r\n");
    EXPECT_EQ(s.command(" "), rows(40, 45) + "OK\r\n");
    EXPECT_EQ(s.gw.receivedLines(), (QList<QByteArray>{"AT&A\r", " ", " "}));
    // After the last page a blank is ordinary input again.
    EXPECT_EQ(s.command(" \r"), "\r\nERROR\r\n");

    // Anything but a blank ends the listing and is a line of its own.
    EXPECT_TRUE(s.command("AT&A\r").endsWith("<SPACE>\r\n"));
    EXPECT_EQ(s.command("ATX\r"), "\r\nERROR\r\n");
    EXPECT_EQ(s.command(" \r"), "\r\nERROR\r\n");
}

TEST(TcpSession, EchoRepeatsWhatComesButNeverThePassword)
{
    gatewaysim::Config cfg = simtest::testConfig();
    cfg.echo = true;
    Session s(cfg);
    ASSERT_TRUE(s.open());
    s.peer.readUntil("login: ");
    s.peer.send("admin\r\n");
    EXPECT_EQ(s.peer.readUntil("Password: "), "admin\r\n\r\nPassword: ");
    s.peer.send("admin\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n");
    s.peer.send("AT\n");
    EXPECT_EQ(s.peer.readReply(), "AT\r\n\r\nOK\r\n");
}
