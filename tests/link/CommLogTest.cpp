// The communication log's files and records. What a whole connection leaves in it is in ConnectTest.
#include "link/CommLog.h"
#include "link/LinkIo.h"
#include "platform/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CommLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetLinkState();
        ASSERT_TRUE(folder.isValid());
        setProgramDir(folder.path());
        CurrentConnection.LinkType = LinkTelnet; // no client: a write is logged, then goes nowhere
    }
    void TearDown() override
    {
        resetLinkState();
        setProgramDir(QString());
    }

    static QList<QByteArray> linesOf(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().split('\n') : QList<QByteArray>();
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

TEST_F(CommLogTest, RecordsGoToTheFileOnlyWhileSaveLogIsOnAndAppendKeepsOneFile)
{
    EXPECT_FALSE(OpenCommLog(CurrentConnection)); // SaveLog off
    LinkWrite(CurrentConnection, "AT\r\n");
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());

    CurrentConnection.SaveLog = true;
    ASSERT_TRUE(OpenCommLog(CurrentConnection));
    const QString path = commLogPath();
    LinkWrite(CurrentConnection, "ATI3\r\n");
    CurrentConnection.SaveLog = false; // a log left open by a record switched off takes nothing more
    LinkWrite(CurrentConnection, "AT\r\n");
    CloseCommLog(CurrentConnection);
    EXPECT_FALSE(CurrentConnection.CommLog);
    LogSent("after close");
    const QList<QByteArray> lines = linesOf(path);
    EXPECT_EQ(lines.size(), 3) << "the connection line, one record and the last line end";
    EXPECT_EQ(payloads(lines, '>'), "ATI3\\r\\n");

    CurrentConnection.SaveLog = true;
    CurrentConnection.Append = true;
    ASSERT_TRUE(OpenCommLog(CurrentConnection));
    const QString first = commLogPath();
    LogSent("one\r\n");
    ASSERT_TRUE(OpenCommLog(CurrentConnection)); // the next connection
    EXPECT_EQ(commLogPath(), first);
    LogReceived(QByteArray("t\\wo\x01\t\xff", 7));
    CloseCommLog(CurrentConnection);
    const QList<QByteArray> appended = linesOf(first);
    ASSERT_EQ(appended.size(), 5);
    EXPECT_TRUE(appended[2].startsWith("==== "));
    // Control bytes and the escape character itself come out escaped; 8-bit text stays as it came.
    EXPECT_EQ(payloads(appended, '<'), QByteArray("t\\\\wo\\x01\\t\xff"));
}

} // namespace
