// The communication log: what a session over the simulated gateway leaves in it, and its files.
#include "TelnetLinkFixture.h"

#include "link/CommLog.h"
#include "platform/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class CommLogTest : public TelnetLinkTest
{
protected:
    void SetUp() override
    {
        TelnetLinkTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        setProgramDir(folder.path());
    }
    void TearDown() override
    {
        TelnetLinkTest::TearDown();
        setProgramDir(QString());
    }

    static QList<QByteArray> linesOf(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    // The records of one direction, their payloads joined.
    static QByteArray payloads(const QList<QByteArray>& lines, char direction)
    {
        static const QRegularExpression record(
            QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3} ([<>]) (.*)$"));
        QByteArray out;
        for (const QByteArray& line : lines) {
            const auto m = record.match(QString::fromLatin1(line));
            if (m.hasMatch() && m.captured(1) == QLatin1Char(direction))
                out += m.captured(2).toLatin1();
        }
        return out;
    }

    QTemporaryDir folder;
};

TEST_F(CommLogTest, SessionIsLoggedBothWays)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    CurrentConnection.SaveLog = true;
    CurrentConnection.Append = false;
    ASSERT_TRUE(OpenCommLog(CurrentConnection));
    const QString path = commLogPath();
    EXPECT_TRUE(CurrentConnection.CommLog);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/comlog_\\d{8}_\\d{6}\\.txt$")).match(path).hasMatch())
        << path.toStdString();
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(folder.path()).absolutePath());

    QByteArray reply;
    EXPECT_TRUE(SendCommandOk("ATI3\r\n", reply, 4096).endsWith("OK\r\n"));
    CloseCommLog(CurrentConnection);
    EXPECT_FALSE(CurrentConnection.CommLog);
    EXPECT_EQ(commLogPath(), QString());
    ASSERT_EQ(LinkWrite(CurrentConnection, "AT\r\n"), 4u); // after the close: not logged
    ReadReply(1024);

    const QList<QByteArray> lines = linesOf(path);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith("==== ")) << lines.first().toStdString();
    EXPECT_EQ(payloads(lines, '>'), "ATI3\\r\\n");
    EXPECT_EQ(payloads(lines, '<'), "\\r\\nMesk MX GSM-ISDN gateway\\r\\n(c) Korvath\\r\\nOK\\r\\n");
}

TEST_F(CommLogTest, NothingIsLoggedWithoutSaveLog)
{
    ASSERT_NO_FATAL_FAILURE(connectAndLogIn());
    CurrentConnection.SaveLog = false;
    EXPECT_FALSE(OpenCommLog(CurrentConnection));
    EXPECT_EQ(commLogPath(), QString());
    QByteArray reply;
    SendCommandOk("AT\r\n", reply, 128);
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());

    // A log left open by a record whose SaveLog was switched off afterwards takes nothing more.
    CurrentConnection.SaveLog = true;
    ASSERT_TRUE(OpenCommLog(CurrentConnection));
    const QString path = commLogPath();
    CurrentConnection.SaveLog = false;
    SendCommandOk("AT\r\n", reply, 128);
    CloseCommLog(CurrentConnection);
    EXPECT_EQ(linesOf(path).size(), 1); // the connection line only
}

TEST_F(CommLogTest, AppendKeepsOneFile)
{
    ConnectionRecord conn;
    conn.SaveLog = true;
    conn.Append = true;
    ASSERT_TRUE(OpenCommLog(conn));
    const QString first = commLogPath();
    LogSent("one\r\n");
    CloseCommLog(conn);
    ASSERT_TRUE(OpenCommLog(conn));
    EXPECT_EQ(commLogPath(), first);
    LogReceived(QByteArray("t\\wo\x01\xff", 6));
    CloseCommLog(conn);
    LogSent("after close");

    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("comlog.txt"));
    const QList<QByteArray> lines = linesOf(first);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("==== "));
    EXPECT_TRUE(lines[2].startsWith("==== "));
    EXPECT_EQ(payloads(lines, '>'), "one\\r\\n");
    // Control bytes and the escape character itself come out escaped; 8-bit text stays as it came.
    EXPECT_EQ(payloads(lines, '<'), QByteArray("t\\\\wo\\x01\xff"));
}

} // namespace
