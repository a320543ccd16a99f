// The gateway list gtws.ini: the shifted user names and passwords, entries written and read back, renames and
// removals.
#include "link/GatewayList.h"
#include "platform/ProgramDir.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class GatewayListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setProgramDir(dir.path());
    }
    void TearDown() override { setProgramDir(QString()); }

    void writeList(const QByteArray& content)
    {
        QFile f(gatewayListPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    QByteArray readList() const
    {
        QFile f(gatewayListPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(GatewayListTest, EachCharacterIsShiftedByItsPositionFromOne)
{
    const struct
    {
        QString plain;
        QString stored;
    } cases[] = {
        {QStringLiteral("admin"), QStringLiteral("bfpms")},
        {QStringLiteral("aaaa"), QStringLiteral("bcde")},
        {QString(), QString()},
        // 'z' + 6 passes 0x7F: the stored code is Windows-1250's 0x80, the euro sign.
        {QStringLiteral("zzzzzz"), QStringLiteral("{|}~\x7F") + QChar(0x20AC)},
        // Within Windows-1250: 'č' (0xE8) + 1 is 'é' (0xE9).
        {QStringLiteral("č"), QStringLiteral("é")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShiftEncode(c.plain), c.stored) << qPrintable(c.plain);
        EXPECT_EQ(ShiftDecode(c.stored), c.plain) << qPrintable(c.plain);
    }
    // Past 255 the code wraps: 0xFF + 1 is 0x00.
    EXPECT_EQ(ShiftEncode(QString(QChar(0x02D9))), QString(QChar(0)));
}

TEST_F(GatewayListTest, AHandWrittenEntryReadsWithItsDefaults)
{
    // As an earlier version wrote it: Windows-1250 bytes, the password "Heslo1" shifted ("Igvpt7").
    writeList("[Office]\r\nHost=10.0.0.7\r\nUsername=bfpms\r\nPassword=Igvpt7\r\n"
              "[Branch \xe8.2]\r\nPort=23\r\nFile=c:\\gates\\branch.ini\r\n");
    GatewayEntry office;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("office"), office)) << "names are found without regard to case";
    EXPECT_EQ(office.Name, QStringLiteral("office"));
    EXPECT_EQ(office.Host, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(office.Port, 1001);
    EXPECT_EQ(office.Username, QStringLiteral("admin"));
    EXPECT_EQ(office.Password, QStringLiteral("Heslo1"));
    EXPECT_EQ(office.PhoneNumber, QString());

    GatewayEntry branch;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("Branch č.2"), branch));
    EXPECT_EQ(branch.Host, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(branch.Port, 23);
    EXPECT_EQ(branch.File, QStringLiteral("c:\\gates\\branch.ini"));

    EXPECT_EQ(GatewayNames(), (QStringList{QStringLiteral("Office"), QStringLiteral("Branch č.2")}));
    GatewayEntry untouched;
    untouched.Host = QStringLiteral("kept");
    EXPECT_FALSE(ReadGatewayEntry(QStringLiteral("Elsewhere"), untouched));
    EXPECT_FALSE(ReadGatewayEntry(QString(), untouched));
    EXPECT_EQ(untouched.Host, QStringLiteral("kept"));
}

TEST_F(GatewayListTest, WrittenEntriesReadBackExactly)
{
    GatewayEntry e;
    e.Name = QStringLiteral("Depot");
    e.Host = QStringLiteral("192.168.1.20");
    e.Port = 4001;
    e.Username = QStringLiteral("technik");
    e.Password = QStringLiteral(" pass word zzzzzzzzzz ");
    e.File = dir.filePath(QStringLiteral("depot.ini"));
    e.PhoneNumber = QStringLiteral("+420 123 456");
    ASSERT_TRUE(WriteGatewayEntry(e));
    EXPECT_FALSE(readList().contains("technik")) << "no credential is stored in the clear";

    GatewayEntry back;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("Depot"), back));
    EXPECT_EQ(back.Host, e.Host);
    EXPECT_EQ(back.Port, e.Port);
    EXPECT_EQ(back.Username, e.Username);
    EXPECT_EQ(back.Password, e.Password);
    EXPECT_EQ(back.File, e.File);
    EXPECT_EQ(back.PhoneNumber, e.PhoneNumber);
}

TEST_F(GatewayListTest, RenameRemoveAndRemoveAll)
{
    GatewayEntry a;
    a.Name = QStringLiteral("A");
    GatewayEntry b;
    b.Name = QStringLiteral("B");
    ASSERT_TRUE(WriteGatewayEntry(a));
    ASSERT_TRUE(WriteGatewayEntry(b));

    a.Name = QStringLiteral("A2");
    ASSERT_TRUE(WriteGatewayEntry(a, QStringLiteral("A")));
    EXPECT_EQ(GatewayNames(), (QStringList{QStringLiteral("B"), QStringLiteral("A2")}));
    b.Name = QStringLiteral("b");
    ASSERT_TRUE(WriteGatewayEntry(b, QStringLiteral("B")));
    EXPECT_EQ(GatewayNames(), (QStringList{QStringLiteral("A2"), QStringLiteral("b")})) << "a case-only rename";

    ASSERT_TRUE(RemoveGatewayEntry(QStringLiteral("A2")));
    EXPECT_EQ(GatewayNames(), QStringList{QStringLiteral("b")});
    ASSERT_TRUE(RemoveAllGatewayEntries());
    EXPECT_TRUE(GatewayNames().isEmpty());
    EXPECT_FALSE(GatewayListed(QStringLiteral("b")));
}

TEST_F(GatewayListTest, TheUnnamedGatewayHasItsOwnFileInTheProgramFolder)
{
    const GatewayEntry u = UnnamedGatewayEntry();
    EXPECT_EQ(u.Name, QStringLiteral("unnamed"));
    EXPECT_EQ(u.Port, 1001);
    EXPECT_EQ(u.File, dir.filePath(QStringLiteral("unnamed.ini")));
}

} // namespace
