#include "firmware/BootPort.h"
#include "support/PtyPair.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

class BootPortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pair.isReady()) << pair.errorString().toStdString();
        bootPortLogPath = dir.filePath(QStringLiteral("log.txt"));
        bootTiming = BootTiming{100, 50}; // a missing byte is given up after 220 ms instead of 11 s
        peer = ::open(pair.pathB().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(peer, 0);
    }
    void TearDown() override
    {
        ::close(peer);
        bootTiming = BootTiming{};
        bootPortLogPath.clear();
    }
    // What the unit will have said by the time the port reads.
    void unitSays(const QByteArray& bytes)
    {
        ASSERT_EQ(::write(peer, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    // What the port wrote: everything that arrives until the line has been quiet for 100 ms.
    QByteArray peerReads()
    {
        QByteArray got;
        pollfd p{peer, POLLIN, 0};
        while (::poll(&p, 1, 100) > 0) {
            char chunk[256];
            const ssize_t n = ::read(peer, chunk, sizeof chunk);
            if (n <= 0)
                break;
            got.append(chunk, n);
        }
        return got;
    }
    // The unit's side of a verdict exchange: after each arrival of record it sends the next answer (delayMs
    // late); returns everything it read once the line has been quiet for 300 ms after the last answer.
    QByteArray unitAnswers(const QByteArray& record, const QList<QByteArray>& answers, int delayMs = 0)
    {
        QByteArray got;
        qsizetype answered = 0;
        pollfd p{peer, POLLIN, 0};
        while (::poll(&p, 1, 300) > 0) {
            char chunk[256];
            const ssize_t n = ::read(peer, chunk, sizeof chunk);
            if (n <= 0)
                break;
            got.append(chunk, n);
            while (answered < answers.size() && got.count(record) > answered) {
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                const QByteArray& a = answers[answered++];
                if (::write(peer, a.constData(), size_t(a.size())) != a.size())
                    return got;
            }
        }
        return got;
    }
    QByteArray log() const
    {
        QFile f(bootPortLogPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool openPort(CPort& port, quint32 mode) { return port.OpenLog(nullptr, mode) && port.Open(pair.pathA(), 57600); }

    QTemporaryDir dir;
    PtyPair pair;
    int peer = -1;
};

} // namespace

TEST_F(BootPortTest, OpenCloseAndTheErrorTable)
{
    CPort port;
    ASSERT_TRUE(openPort(port, PortAt));
    CPort other;
    EXPECT_FALSE(other.Open(pair.pathA(), 57600)) << "the device is locked by the first port";
    EXPECT_EQ(other.lastError(), 3);
    EXPECT_EQ(other.ErrorText(36),
              QByteArray("Error: (3) Port can't be open (blocked or open by another application). [36]\n"));

    EXPECT_FALSE(port.OpenLog(nullptr, PortBoot));
    EXPECT_EQ(port.lastError(), 1);
    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(port.ClosePort());
    EXPECT_EQ(port.lastError(), 2);

    port.setLastError(15);
    EXPECT_EQ(port.ErrorText(7), QByteArray("Error: (15) Unknown error. [7]\n"));
    port.setLastError(0);
    EXPECT_EQ(port.ErrorText(0), QByteArray("Error: (0) Unknown error. [0]\n"));
}

TEST_F(BootPortTest, LinesAreReadUpToTheirLimit)
{
    CPort port;
    ASSERT_TRUE(openPort(port, PortBoot));
    QByteArray line;
    unitSays(QByteArray(510, 'x') + "\r\n");
    EXPECT_TRUE(port.ReadLine(line, 510, true));
    EXPECT_EQ(line, QByteArray(510, 'x')) << "CR is skipped, LF ends the line";
    unitSays(QByteArray(511, 'y') + "\r\n");
    EXPECT_FALSE(port.ReadLine(line, 510, true));
    EXPECT_EQ(port.lastError(), 7);
    EXPECT_TRUE(port.ReadLine(line, 510, true)) << "the rest of the long line";
    EXPECT_TRUE(line.isEmpty());
    EXPECT_FALSE(port.ReadLine(line, 510, true)) << "nothing comes";
    EXPECT_EQ(port.lastError(), 8);
    EXPECT_TRUE(log().contains("Error: (8) Error while reading unit (timeout). [23]\n"));
}

TEST_F(BootPortTest, EchoRulesOfTheAtMode)
{
    const struct
    {
        QByteArray unit; // what the unit sends back while the command goes out
        bool ok;
        int error;
        const char* why;
    } cases[] = {
        {"at\r\n", true, 0, "a plain echo"},
        {"\r\nat\r", true, 0, "CR LF before the echo are skipped"},
        {"a*RING\r\nt\r\n", true, 0, "an unsolicited line inside the echo"},
        {"ax\r\n", false, 9, "a wrong echo"},
        {"a", false, 8, "the echo stops"},
    };
    for (const auto& c : cases) {
        CPort port;
        ASSERT_TRUE(openPort(port, PortAt));
        unitSays(c.unit);
        EXPECT_EQ(port.WriteEcho("at\r"), c.ok) << c.why;
        if (!c.ok)
            EXPECT_EQ(port.lastError(), c.error) << c.why;
        peerReads();
    }

    CPort port;
    ASSERT_TRUE(openPort(port, PortAt));
    unitSays("a*RING\r\nt\r\n");
    ASSERT_TRUE(port.WriteEcho("at\r"));
    EXPECT_TRUE(log().contains("a<*RING\r\n>t\r")) << log().constData();
}

TEST_F(BootPortTest, VerdictsOfTheBootModeAnswerTheirOwnWrite)
{
    const QByteArray ctrl(":00000005FB");
    const struct
    {
        QByteArray waiting;         // left from an earlier answer before the write
        QList<QByteArray> answers;  // the unit's answer to each write of the record, at once
        bool ok;
        int error;
        int writes; // times the record went out
    } cases[] = {
        {"", {"noise\r\n.\r\n"}, true, 0, 1},
        {"", {"X\r\n"}, false, 11, 1},
        {"", {"R\r\n", "R\r\n", ".\r\n"}, true, 0, 3},
        {"", {"R\r\n", "R\r\n", "R\r\n", "R\r\n"}, false, 10, 4},
        {"", {}, false, 8, 1},
        {"X\r\n", {".\r\n"}, true, 0, 1},
        {"R\r\n.\r\n", {"X\r\n"}, false, 11, 1},
    };
    for (const auto& c : cases) {
        CPort port;
        ASSERT_TRUE(openPort(port, PortBoot));
        unitSays(c.waiting);
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // through the pty: it waits at the port
        QByteArray written;
        std::thread unit([&] { written = unitAnswers(ctrl, c.answers); });
        EXPECT_EQ(port.WriteExpect(ctrl), c.ok) << c.waiting.constData() << c.answers.value(0).constData();
        unit.join();
        if (!c.ok) {
            EXPECT_EQ(port.lastError(), c.error) << c.waiting.constData() << c.answers.value(0).constData();
        }
        EXPECT_EQ(written, ctrl.repeated(c.writes)) << c.waiting.constData() << c.answers.value(0).constData();
    }

    // An answer that comes after the line was given up is dropped with what the unit says until it falls quiet;
    // the next write takes its own verdict.
    bootTiming = BootTiming{1, 50}; // a missing line is given up after 220 ms; the unit falls quiet in 1 s
    CPort port;
    ASSERT_TRUE(openPort(port, PortBoot));
    QByteArray written;
    std::thread late([&] { written = unitAnswers(ctrl, {"R\r\n"}, 700); });
    EXPECT_FALSE(port.WriteExpect(ctrl));
    EXPECT_EQ(port.lastError(), 8);
    late.join();
    EXPECT_TRUE(log().contains("{R\r\n}")) << log().constData();
    std::thread unit([&] { written = unitAnswers(ctrl, {".\r\n"}); });
    EXPECT_TRUE(port.WriteExpect(ctrl));
    unit.join();
    EXPECT_EQ(written, ctrl) << "the late 'R' was not taken for this write's verdict";
}
