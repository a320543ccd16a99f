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

TEST(TcpSession, OffersItsOptionsThenPromptsForTheLoginOfItsModel)
{
    for (const char* model : {"MX", "MY"}) {
        gatewaysim::Config cfg = simtest::testConfig();
        cfg.model = QString::fromLatin1(model);
        Session s(cfg);
        ASSERT_TRUE(s.open());
        EXPECT_EQ(s.peer.readUntil("login: "), simtest::kNegotiation + "\r\n" + model + " login: ");
    }
}

TEST(TcpSession, LoginAcceptsOnlyTheRightUserAndPassword)
{
    const struct
    {
        const char* user;
        const char* password;
        bool accepted;
    } cases[] = {
        {"admin", "admin", true}, {"admin", "admin5", false}, {"Admin", "admin", false},
        {"admin", "", false},    {"root", "admin", false},
    };
    for (const auto& c : cases) {
        Session s;
        ASSERT_TRUE(s.open());
        const QByteArray answer = s.peer.login(c.user, c.password);
        if (c.accepted) {
            EXPECT_EQ(answer, "\r\nOK\r\n") << c.user << "/" << c.password;
        } else {
            EXPECT_EQ(answer, "\r\nLogin incorrect\r\n\r\nMX login: ") << c.user << "/" << c.password;
            // Not logged in: a command is taken as the next user name.
            s.peer.send("AT\r\n");
            EXPECT_EQ(s.peer.readUntil("Password: "), "\r\nPassword: ");
        }
        EXPECT_EQ(s.gw.loginCount(), c.accepted ? 1 : 0);
    }
}

TEST(TcpSession, EmptyLineAtTheLoginPromptRepeatsThePrompt)
{
    Session s;
    ASSERT_TRUE(s.open());
    s.peer.readUntil("login: ");
    s.peer.send("\r\n");
    EXPECT_EQ(s.peer.readUntil("login: "), "\r\nMX login: ");
    EXPECT_EQ(s.peer.login("admin", "admin", "\r\n", false), "\r\nOK\r\n");
}

TEST(TcpSession, AnswersEachCommandExactly)
{
    const struct
    {
        const char* command;
        const char* reply;
    } cases[] = {
        {"AT", "\r\nOK\r\n"},
        {"at", "\r\nOK\r\n"},
        {"AT&M0", "\r\nOK\r\n"},
        {"ATI3", "\r\nMesk MX GSM-ISDN gateway\r\n(c) Korvath\r\nOK\r\n"},
        {"ATI4", "\r\nSW : B-01.02 /V-02.05.20\r\nOK\r\n"},
        {"AT&V", "\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n"},
        {"at&V", "\r\nS91=5,12\r\nX22=07:30\r\nOK\r\n"},
        {"AT&V9", "\r\nG91=2,3,3\r\nG191=3,#\r\nG99=0,12\r\nOK\r\n"},
        {"AT&V0", "\r\nG99=0,12\r\nOK\r\n"},
        {"AT&Vi", "\r\nOK\r\n"},
        {"AT&Nall", "\r\nOK\r\n"},
        {"AT&A", "\r\nOK\r\n"},
        {"AT&v", "\r\nERROR\r\n"},
        {"AT&V7", "\r\nERROR\r\n"},
        {"AT&V ", "\r\nERROR\r\n"},
        {" AT", "\r\nERROR\r\n"},
        {"ATX", "\r\nERROR\r\n"},
        {"ATI5", "\r\nERROR\r\n"},
        {"AT&M1", "\r\nERROR\r\n"},
        {"hello", "\r\nERROR\r\n"},
        {"AT%", "\r\nERROR\r\n"},
    };
    Session s;
    ASSERT_TRUE(s.openAndLogin());
    for (const auto& c : cases)
        EXPECT_EQ(s.command(QByteArray(c.command) + "\r\n"), c.reply) << c.command;
    EXPECT_EQ(s.peer.drain(100), QByteArray()); // nothing besides
}

TEST(TcpSession, IdentificationNamesTheModelAndTheOtherModelNowhere)
{
    // The program takes any "MY" in the ATI3 reply for the one-port model.
    for (const char* model : {"MX", "MY"}) {
        gatewaysim::Config cfg = simtest::testConfig();
        cfg.model = QString::fromLatin1(model);
        cfg.bootVersion = QStringLiteral("B-09.99");
        cfg.firmwareVersion = QStringLiteral("V-03.00.01");
        Session s(cfg);
        ASSERT_TRUE(s.openAndLogin());
        const QByteArray ati3 = s.command("ATI3\r\n");
        EXPECT_TRUE(ati3.contains(QByteArray(" ") + model + " ")) << ati3.constData();
        EXPECT_FALSE(ati3.contains(QByteArray(model) == "MX" ? "MY" : "MX")) << ati3.constData();
        EXPECT_EQ(s.command("ATI4\r\n"), "\r\nSW : B-09.99 /V-03.00.01\r\nOK\r\n");
    }
}

TEST(TcpSession, SetsAreCheckedAgainstKeyAndShapeAndARefusedSetChangesNothing)
{
    const struct
    {
        const char* command;
        bool accepted;
        const char* key;
        const char* valueAfter;
    } cases[] = {
        {"AT%S91=7,255", true, "S91", "7,255"}, {"AT%%X22=06:00", true, "X22", "06:00"},
        {"AT%S91=8,1", false, "S91", "5,12"},   {"AT%S91=5,12,1", false, "S91", "5,12"},
        {"AT%S91=", false, "S91", "5,12"},      {"AT%S91", false, "S91", "5,12"},
        {"AT%s91=1,1", false, "S91", "5,12"},   {"AT%S92=1,1", false, "S92", ""},
        {"AT%=1,1", false, "S91", "5,12"},      {"AT%%%S91=1,1", false, "S91", "5,12"},
        {"AT%G191=4,", true, "G191", "4,"},
    };
    for (const auto& c : cases) {
        Session s;
        ASSERT_TRUE(s.openAndLogin());
        EXPECT_EQ(s.command(QByteArray(c.command) + "\r\n"), c.accepted ? "\r\nOK\r\n" : "\r\nERROR\r\n") << c.command;
        EXPECT_EQ(s.gw.value(c.key), c.valueAfter) << c.command;
        EXPECT_FALSE(s.gw.hasKey("S92"));
    }
}

TEST(TcpSession, ListingShowsTheStoreAsItIsNow)
{
    Session s;
    ASSERT_TRUE(s.openAndLogin());
    ASSERT_EQ(s.command("AT%S91=3,4\r\n"), "\r\nOK\r\n");
    ASSERT_TRUE(s.gw.setValue("X22", "bad value")); // a test may plant what no set would pass
    EXPECT_FALSE(s.gw.setValue("Q11", "1"));
    EXPECT_EQ(s.command("AT&V\r\n"), "\r\nS91=3,4\r\nX22=bad value\r\nOK\r\n");
    ASSERT_TRUE(s.gw.removeKey("S91"));
    EXPECT_EQ(s.command("AT&V\r\n"), "\r\nX22=bad value\r\nOK\r\n");
    EXPECT_EQ(s.command("AT%S91=1,1\r\n"), "\r\nERROR\r\n");
}

TEST(TcpSession, LogHoldsEveryLineWithItsExactBytes)
{
    Session s;
    ASSERT_TRUE(s.open());
    s.peer.login();
    s.command("AT&V\r\n");
    s.command("AT%S91=1,1\r");
    s.peer.send("\r\n");
    s.command("ATX\r\n");
    const QList<QByteArray> expected{"admin\r\n", "admin\r\n", "AT&V\r\n", "AT%S91=1,1\r", "\r\n", "ATX\r\n"};
    EXPECT_EQ(s.gw.receivedLines(), expected);
    EXPECT_EQ(s.gw.receivedBytes(), "admin\r\nadmin\r\nAT&V\r\nAT%S91=1,1\r\r\nATX\r\n");
    s.gw.clearLog();
    s.command("AT\r\n");
    EXPECT_EQ(s.gw.receivedLines(), QList<QByteArray>{"AT\r\n"});
}

TEST(TcpSession, CrCrLfCrNulAndLfEachEndALine)
{
    const struct
    {
        QByteArray sent;
        QList<QByteArray> logged;
    } cases[] = {
        {"AT\r", {"AT\r"}},
        {"AT\r\n", {"AT\r\n"}},
        {QByteArray("AT\r\0", 4), {QByteArray("AT\r\0", 4)}},
        {"AT\n", {"AT\n"}},
        // What the program's telnet link makes of "AT\r\n": the CR becomes CR LF, and the LF follows.
        {"AT\r\n\n", {"AT\r\n", "\n"}},
        {"AT\n\r", {"AT\n", "\r"}},
    };
    for (const auto& c : cases) {
        Session s;
        ASSERT_TRUE(s.openAndLogin());
        s.gw.clearLog();
        s.peer.send(c.sent);
        EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n") << c.sent.toHex().constData();
        EXPECT_EQ(s.peer.drain(100), QByteArray()) << c.sent.toHex().constData(); // answered once
        EXPECT_EQ(s.gw.receivedLines(), c.logged) << c.sent.toHex().constData();
    }
}

TEST(TcpSession, LineEndSplitFromItsCrStillBelongsToTheLine)
{
    Session s;
    ASSERT_TRUE(s.openAndLogin());
    s.gw.clearLog();
    s.peer.send("AT\r");
    EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n"); // answered at the CR
    s.peer.send("\nAT&M0\r\n");
    EXPECT_EQ(s.peer.readReply(), "\r\nOK\r\n");
    EXPECT_EQ(s.gw.receivedLines(), (QList<QByteArray>{"AT\r\n", "AT&M0\r\n"}));
}

TEST(TcpSession, OverlongLineIsRefusedAndTheSessionGoesOn)
{
    Session s;
    ASSERT_TRUE(s.openAndLogin());
    s.peer.send("AT%S91=" + QByteArray(3000, '1'));
    EXPECT_EQ(s.peer.readReply(), "\r\nERROR\r\n");
    s.peer.send("\r\n");
    s.peer.drain(200); // the rest of the long line gets its own ERROR
    EXPECT_EQ(s.command("AT\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(s.gw.value("S91"), "5,12");
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
}

TEST(TcpSession, ListingOfExactlyOnePageIsNotPagedAndOtherViewsNeverAre)
{
    gatewaysim::Config cfg;
    cfg.fixtureText = simtest::pagedFixture(20, 20);
    Session s(cfg);
    ASSERT_TRUE(s.openAndLogin());
    const QByteArray reply = s.command("AT&A\r");
    EXPECT_TRUE(reply.endsWith("A19=row19\r\nOK\r\n"));
    EXPECT_FALSE(reply.contains("<SPACE>"));

    gatewaysim::Config many;
    many.fixtureText =
        simtest::pagedFixture(30, 20).replace(QStringLiteral("\nviews = AT&A"), QStringLiteral("\nviews = AT&V"));
    Session v(many);
    ASSERT_TRUE(v.openAndLogin());
    const QByteArray view = v.command("AT&V\r\n");
    EXPECT_TRUE(view.endsWith("A29=row29\r\nOK\r\n"));
    EXPECT_FALSE(view.contains("<SPACE>"));
}

TEST(TcpSession, PageSizeOfTheConfigOverridesTheFixture)
{
    gatewaysim::Config cfg;
    cfg.fixtureText = simtest::pagedFixture(5, 20);
    cfg.pageSize = 2;
    Session s(cfg);
    ASSERT_TRUE(s.openAndLogin());
    EXPECT_EQ(s.command("AT&A\r"), "\r\nA00=row00\r\nA01=row01\r\n<SPACE>\r\n");
    EXPECT_EQ(s.command(" "), "A02=row02\r\nA03=row03\r\n<SPACE>\r\n");
    EXPECT_EQ(s.command(" "), "A04=row04\r\nOK\r\n");
}

TEST(TcpSession, AnythingButABlankEndsAPagedListing)
{
    gatewaysim::Config cfg;
    cfg.fixtureText = simtest::pagedFixture(45, 20);
    Session s(cfg);
    ASSERT_TRUE(s.openAndLogin());
    EXPECT_TRUE(s.command("AT&A\r").endsWith("<SPACE>\r\n"));
    EXPECT_EQ(s.command("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(s.peer.drain(100), QByteArray());
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
