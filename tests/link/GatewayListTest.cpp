// The gateway list gtws.ini: the shifted user names and passwords, entries as earlier versions wrote them, and
// entries written and read back.
#include "link/GatewayList.h"
#include "platform/Cp1250.h"
#include "platform/IniFile.h"
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

    QTemporaryDir dir;
};

TEST(ShiftedCredentials, EachCharacterIsShiftedByItsPositionFromOne)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("admin"), QStringLiteral("bfpms")},
        {QString(), QString()},
        // 'z' + 6 passes 0x7F: the stored code is Windows-1250's 0x80, the euro sign.
        {QStringLiteral("zzzzzz"), QStringLiteral("{|}~\x7F") + QChar(0x20AC)},
        // Within Windows-1250: 'č' (0xE8) + 1 is 'é' (0xE9).
        {QStringLiteral("č"), QStringLiteral("é")},
    };
    for (const auto& [plain, stored] : cases) {
        EXPECT_EQ(ShiftEncode(plain), stored) << qPrintable(plain);
        EXPECT_EQ(ShiftDecode(stored), plain) << qPrintable(plain);
    }
    // Past 255 the code wraps: 0xFF + 1 is 0x00.
    EXPECT_EQ(ShiftEncode(QString(QChar(0x02D9))), QString(QChar(0)));
}

TEST_F(GatewayListTest, AHandWrittenEntryReadsWithItsDefaults)
{
    // As an earlier version wrote it: Windows-1250 bytes, the password "Heslo1" shifted ("Igvpt7").
    QFile f(gatewayListPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Office]\r\nHost=10.0.0.7\r\nUsername=bfpms\r\nPassword=Igvpt7\r\n"
            "[Branch \xe8.2]\r\nPort=23\r\nFile=c:\\gates\\branch.ini\r\n");
    f.close();
    GatewayEntry office;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("office"), office)) << "names are found without regard to case";
    EXPECT_EQ(office.Host, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(office.Port, 1001);
    EXPECT_EQ(office.Username, QStringLiteral("admin"));
    EXPECT_EQ(office.Password, QStringLiteral("Heslo1"));

    GatewayEntry branch;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("Branch č.2"), branch));
    EXPECT_EQ(branch.Host, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(branch.Port, 23);
    EXPECT_EQ(branch.File, QStringLiteral("c:\\gates\\branch.ini"));

    EXPECT_EQ(GatewayNames(), (QStringList{QStringLiteral("Office"), QStringLiteral("Branch č.2")}));
    GatewayEntry untouched;
    untouched.Host = QStringLiteral("kept");
    EXPECT_FALSE(ReadGatewayEntry(QStringLiteral("Elsewhere"), untouched));
    EXPECT_EQ(untouched.Host, QStringLiteral("kept"));
}

TEST_F(GatewayListTest, WrittenEntriesReadBackExactly)
{
    const GatewayEntry e{QStringLiteral("Depot"),
                         QStringLiteral("192.168.1.20"),
                         4001,
                         QStringLiteral("technik"),
                         QStringLiteral(" pass word zzzzzzzzzz "),
                         dir.filePath(QStringLiteral("depot.ini")),
                         QStringLiteral("+420 123 456")};
    ASSERT_TRUE(WriteGatewayEntry(e));
    QFile f(gatewayListPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("technik")) << "no credential is stored in the clear";

    GatewayEntry back;
    ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("Depot"), back));
    const auto fields = [](const GatewayEntry& g) {
        return QStringList{g.Host, QString::number(g.Port), g.Username, g.Password, g.File, g.PhoneNumber};
    };
    EXPECT_EQ(fields(back), fields(e));
}

TEST_F(GatewayListTest, EveryCredentialTheDialogAcceptsReadsBackAsTyped)
{
    // Each Windows-1250 character at each of the first eight positions, and a few names people type; the
    // ones the list would cut or change are refused by ShiftStorable, all others must come back unchanged.
    QStringList texts = {QStringLiteral("Brno-střed-ú"), QStringLiteral("heslokůň"), QStringLiteral("123ü"),
                         QStringLiteral("Łódź-Północ"), QStringLiteral("Győr-Ménfőcsanak"), QStringLiteral("ž")};
    for (int b = 1; b < 256; ++b)
        texts << QString(8, fromCp1250(quint8(b)));
    QStringList refused;
    IniFile list(gatewayListPath());
    for (int i = 0; i < texts.size(); ++i) {
        if (!ShiftStorable(texts[i])) {
            refused << texts[i];
            continue;
        }
        // Written as WriteGatewayEntry writes them, all in one file update.
        list.WriteString(QStringLiteral("g%1").arg(i), QStringLiteral("Username"), ShiftEncode(texts[i]));
        list.WriteString(QStringLiteral("g%1").arg(i), QStringLiteral("Password"), ShiftEncode(texts[i]));
    }
    ASSERT_TRUE(list.UpdateFile());
    for (int i = 0; i < texts.size(); ++i) {
        GatewayEntry back;
        if (refused.contains(texts[i])) {
            EXPECT_FALSE(ReadGatewayEntry(QStringLiteral("g%1").arg(i), back));
            continue;
        }
        ASSERT_TRUE(ReadGatewayEntry(QStringLiteral("g%1").arg(i), back)) << i;
        EXPECT_EQ(back.Username, texts[i]) << i;
        EXPECT_EQ(back.Password, texts[i]) << i;
    }
    // Refused exactly where a shifted code is 0x00, CR or LF: the three from the field, and per character
    // the codes 0xF8..0xFF, 0x02..0x09 and 0x05..0x0C that meet one of them within eight positions.
    EXPECT_TRUE(refused.contains(QStringLiteral("Brno-střed-ú")));
    EXPECT_TRUE(refused.contains(QStringLiteral("heslokůň")));
    EXPECT_TRUE(refused.contains(QStringLiteral("123ü")));
    EXPECT_FALSE(refused.contains(QStringLiteral("Łódź-Północ")));
    EXPECT_EQ(refused.size(), 3 + 8 + 11);
}

} // namespace
