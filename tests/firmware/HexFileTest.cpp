#include "firmware/HexFile.h"
#include "firmware/FirmwareVersion.h"

#include <gtest/gtest.h>

namespace {

// A data record of n bytes (all 0xAB) at address 0, with its checksum.
QByteArray dataRecord(int n)
{
    QByteArray r = ":" + QByteArray::number(n, 16).rightJustified(2, '0').toUpper() + "000000";
    int sum = n;
    for (int i = 0; i < n; ++i) {
        r += "AB";
        sum += 0xAB;
    }
    return r + QByteArray::number((0x100 - (sum & 0xFF)) & 0xFF, 16).rightJustified(2, '0').toUpper();
}

} // namespace

TEST(HexFileTest, EveryRecordIsCheckedBeforeAnythingIsSent)
{
    const QByteArray eof(":00000001FF");
    const struct
    {
        QByteArray content;
        int line; // -1: accepted
        const char* why;
    } cases[] = {
        {"", 0, "an empty file has no record"},
        {"; only a comment\n\n", 0, "no record at all"},
        {":0100000000FF\n" + eof + "\n", -1, "a good file"},
        {"\r\n; made by hand\r\n:0100000000FF\r\n" + eof + "\r\n", -1, "a blank and a comment line, CR LF"},
        {":0100000000FF\n:0100000000FE\n", 2, "a bad checksum"},
        {":01000000G0FF\n", 1, "a digit that is not hex"},
        {":0200000000FF\n", 1, "the count does not match the length"},
        {":01000000000\n", 1, "an odd length"},
        {":00000001F\n", 1, "too short"},
        {eof + "\n" + dataRecord(255) + "\n", 2, "a 521-character record does not fit a piece"},
        {dataRecord(249) + "\n" + eof, -1, "a 509-character record fits, and a last line without LF is fine"},
        {":0100000000FF\r\n:0100000000FF\r\n", 2, "cut at a line boundary: no end-of-file record"},
        {":0100000000FF\n" + eof + "\n; tail\n:0100000000FF\n", 4, "a record after the end-of-file record"},
        {eof + "\n" + eof + "\n", 2, "a second end-of-file record"},
        {":0100000000FF\n \t:0100000000FF\n" + eof, 2, "a record after blanks"},
        {"\xEF\xBB\xBF:0100000000FF\n" + eof, 1, "a record after a byte-order mark"},
        {"\xEF\xBB\xBF; made by hand\nNote: x\n:0100000000FF\n" + eof, -1, "comments stay dropped"},
        {QByteArray(509, ';') + ":00000001FF" + QByteArray(3, ';') + "\n" + eof, 1,
         "the upload would send a comment's second piece"},
        {QByteArray(509, ';') + "\n:0100000000FF\n" + eof, -1, "a long comment's LF alone is no record"},
    };
    for (const auto& c : cases) {
        const HexFileCheck check = CheckHexContent(c.content);
        EXPECT_EQ(check.ok, c.line < 0) << c.why;
        if (c.line >= 0) {
            EXPECT_EQ(check.line, c.line) << c.why;
            EXPECT_FALSE(check.reason.isEmpty()) << c.why;
        }
    }
}

TEST(HexFileTest, PiecesAreWhatTheUploadReads)
{
    // CR LF reads as LF; a line longer than 509 characters comes in two pieces; a record of exactly 509
    // characters leaves its LF as a piece of its own.
    const QByteArray comment(600, ';');
    const QByteArray longRecord = dataRecord(249);
    ASSERT_EQ(longRecord.size(), 509);
    const QList<QByteArray> pieces = SplitHexPieces(":00000001FF\r\n" + comment + "\r\n" + longRecord + "\r\nlast");
    ASSERT_EQ(pieces.size(), 6);
    EXPECT_EQ(pieces[0], ":00000001FF\n");
    EXPECT_EQ(pieces[1], comment.left(509));
    EXPECT_EQ(pieces[2], comment.mid(509) + "\n");
    EXPECT_EQ(pieces[3], longRecord);
    EXPECT_EQ(pieces[4], "\n");
    EXPECT_EQ(pieces[5], "last");
}

TEST(FirmwareVersionTest, FileNameAgainstBootVersion)
{
    const QString forty = QStringLiteral("r5183-v-02.05.03") + QString(32, QLatin1Char('9')) + QStringLiteral(".hex");
    const struct
    {
        QString file;
        QString boot;
        int expected;
    } cases[] = {
        {"R5183-V-02.05.03.HEX", "02.62", 0}, // compared in lower case
        {"r5183-v-02.04.11.hex", "02.55", 0},
        {"r5183-v-02.04.11.hex", "02.56", 1},
        {"r5183-v-02.04.11.hex", "02.61", 1},
        {"r5183-v-03.00.00.hex", "02.70", 0},
        {"r5183-v-03.00.00.hex", "02.40", 1},
        {"r5183-v-02.05.00.hex", "02.40", 1},
        {"r5183-v-02.04.00.hex", "02.62", 1},
        {"r5183-v-02.05.03.hex", "01.62", 1}, // boot line 1 takes nothing
        {"new.hex", "02.62", 2},
        {"r5183-v-2.5.3.hex", "02.62", 2},
        {"r5183-v-02.05.03.hex", "B-01.02", 2},
        {"r5183-v-02.05.03.hex", "", 2},
        {forty, "02.62", 0},                   // a long version text: the fields come from its first 19 characters
        {"r5183-v-02.05 .03.hex", "02.62", 2}, // the version text ends at the blank
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirmwareFileFits(c.file, c.boot), c.expected)
            << c.file.toStdString() << " on " << c.boot.toStdString();
}

TEST(FirmwareVersionTest, VersionsAndBaseNameFromTheirTexts)
{
    QString firmware;
    QString boot;
    ASSERT_TRUE(SplitGatewaySwVersion(QStringLiteral("Mesk MX  SW : 02.62 /02.05.20"), firmware, boot));
    EXPECT_EQ(boot, QStringLiteral("02.62"));
    EXPECT_EQ(firmware, QStringLiteral("02.05.20"));
    EXPECT_FALSE(SplitGatewaySwVersion(QStringLiteral("Mesk MX 02.62 /02.05.20"), firmware, boot));
    EXPECT_FALSE(SplitGatewaySwVersion(QStringLiteral("SW : 02.62 02.05.20"), firmware, boot));

    EXPECT_EQ(FirmwareFileBaseName(QStringLiteral("/home/me/r5183-v-02.05.03.hex")),
              QStringLiteral("r5183-v-02.05.03.hex"));
    EXPECT_EQ(FirmwareFileBaseName(QStringLiteral("c:\\fw\\a.hex")), QStringLiteral("a.hex"));
    EXPECT_EQ(FirmwareFileBaseName(QStringLiteral("c:a.hex")), QStringLiteral("a.hex"));
    EXPECT_EQ(FirmwareFileBaseName(QStringLiteral("a.hex")), QStringLiteral("a.hex"));
}
