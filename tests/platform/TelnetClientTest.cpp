// TelnetClient against a scripted server on loopback: option answers, a protocol split over many reads,
// the line end rules, the order of delivered text while a handler waits, and the connection's end.
#include "platform/TelnetClient.h"

#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char IAC = '\xff', DONT = '\xfe', DO = '\xfd', WONT = '\xfc', WILL = '\xfb', SB = '\xfa', SE = '\xf0';
constexpr char ECHO = 1, SGA = 3, STATUS = 5, TTYPE = 24, NAWS = 31, BINARY = 0;

QByteArray bytes(std::initializer_list<char> list)
{
    return QByteArray(list.begin(), qsizetype(list.size()));
}

// The server's side, in the test thread: everything it gets is collected in 'got'.
class ScriptedServer
{
public:
    ScriptedServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, [this] { got += peer->readAll(); });
        });
    }
    quint16 port() const { return server.serverPort(); }
    bool waitForPeer()
    {
        return QTest::qWaitFor([this] { return peer != nullptr; }, 5000);
    }
    void send(const QByteArray& b)
    {
        peer->write(b);
        peer->flush();
    }
    // Sends one byte at a time, each in its own segment, with the event loop running in between.
    void sendSplit(const QByteArray& b)
    {
        for (char c : b) {
            send(QByteArray(1, c));
            QTest::qWait(15);
        }
    }
    bool waitForGot(const QByteArray& expected)
    {
        return QTest::qWaitFor([&] { return got.contains(expected); }, 5000);
    }

    QTcpServer server;
    QPointer<QTcpSocket> peer;
    QByteArray got;
};

struct Connection
{
    ScriptedServer server;
    TelnetClient client;
    QByteArray handled;   // through the data handler
    QByteArray signalled; // through dataAvailable

    bool open()
    {
        client.Host = QStringLiteral("127.0.0.1");
        client.Port = server.port();
        client.setDataHandler([this](const QByteArray& t) { handled += t; });
        QObject::connect(&client, &TelnetClient::dataAvailable, [this](const QByteArray& t) { signalled += t; });
        return client.Connect(5000) && server.waitForPeer();
    }
};

} // namespace

TEST(TelnetClient, NegotiationSplitOverManyReadsIsAnsweredAndTheTextArrivesIntact)
{
    Connection c;
    ASSERT_TRUE(c.open());
    // Every byte in its own read: options, an escaped 0xFF in the text and a subnegotiation.
    c.server.sendSplit(
        "AB" +
        bytes({IAC, WILL, ECHO, IAC, WILL, SGA, IAC, DO, TTYPE, IAC, DO, NAWS, IAC, WILL, STATUS, IAC, DO, ECHO}) +
        "C" + bytes({IAC, IAC}) + "D" + bytes({IAC, SB, TTYPE, 1, IAC, SE}) + "E\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.handled.endsWith("\r\n"); }, 5000));
    EXPECT_EQ(c.handled, QByteArray("ABC\xff"
                                    "DE\r\n"));
    EXPECT_EQ(c.signalled, c.handled);
    // ECHO and SGA accepted, the terminal type told, everything else refused.
    const QByteArray answers =
        bytes({IAC, DO, ECHO, IAC, DO, SGA, IAC, WILL, TTYPE, IAC, WONT, NAWS, IAC, DONT, STATUS, IAC, WONT, ECHO}) +
        bytes({IAC, SB, TTYPE, 0}) + "dumb" + bytes({IAC, SE});
    EXPECT_TRUE(c.server.waitForGot(answers));
    EXPECT_EQ(c.server.got.toHex(' '), answers.toHex(' '));
}

TEST(TelnetClient, LineEndsAndEscapesFollowTheBinaryOption)
{
    Connection c;
    ASSERT_TRUE(c.open());
    // Outside binary mode a CR goes out as CR LF; 0xFF is doubled.
    for (char ch : QByteArray("AT\r\n\xff"))
        ASSERT_TRUE(c.client.SendCh(ch));
    ASSERT_TRUE(c.client.sendRaw(QByteArray("a\xff"
                                            "b")));
    ASSERT_TRUE(c.server.waitForGot("b"));
    EXPECT_EQ(c.server.got, QByteArray("AT\r\n\n\xff\xff"
                                       "a\xff\xff"
                                       "b"));

    c.server.send(bytes({IAC, DO, BINARY}));
    ASSERT_TRUE(c.server.waitForGot(bytes({IAC, WILL, BINARY})));
    c.server.got.clear();
    c.client.SendCh('\r');
    c.client.SendCh('x');
    ASSERT_TRUE(c.server.waitForGot("x"));
    EXPECT_EQ(c.server.got, QByteArray("\rx"));
}

TEST(TelnetClient, TextThatArrivesWhileTheHandlerWaitsIsDeliveredAfterItInOrder)
{
    Connection c;
    ASSERT_TRUE(c.open());
    QStringList events;
    bool first = true;
    c.client.setDataHandler([&](const QByteArray& t) {
        events << QStringLiteral("handler:") + QString::fromLatin1(t);
        if (first) {
            first = false;
            // The program's handler waits with the event loop running; more text comes meanwhile.
            QTimer::singleShot(10, [&] { c.server.send("two"); });
            QEventLoop loop;
            QTimer::singleShot(150, &loop, &QEventLoop::quit);
            loop.exec();
        }
    });
    QObject::connect(&c.client, &TelnetClient::dataAvailable,
                     [&](const QByteArray& t) { events << QStringLiteral("signal:") + QString::fromLatin1(t); });
    c.server.send("one");
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() >= 4; }, 5000));
    EXPECT_EQ(events, (QStringList{"handler:one", "signal:one", "handler:two", "signal:two"}));
}

TEST(TelnetClient, DisconnectClosesAndSendingFailsAfterwards)
{
    Connection c;
    ASSERT_TRUE(c.open());
    bool peerGone = false;
    QObject::connect(c.server.peer, &QTcpSocket::disconnected, [&] { peerGone = true; });
    ASSERT_TRUE(c.client.SendCh('Z'));
    c.client.Disconnect();
    EXPECT_FALSE(c.client.Connected());
    EXPECT_FALSE(c.client.SendCh('A'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return peerGone; }, 5000));
    EXPECT_EQ(c.server.got, "Z"); // written before the close, still delivered
}

TEST(TelnetClient, ConnectToAClosedPortFailsWithAReason)
{
    // A port the test holds, bound but not listening, refuses the connection; a port let go could already be
    // another test's gateway.
    struct Held
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ~Held() { ::close(fd); }
    } held;
    ASSERT_GE(held.fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(held.fd, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(held.fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const quint16 port = ntohs(address.sin_port);
    TelnetClient client;
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = port;
    EXPECT_FALSE(client.Connect(3000));
    EXPECT_FALSE(client.errorString().isEmpty());
    EXPECT_FALSE(client.SendCh('A'));
}
