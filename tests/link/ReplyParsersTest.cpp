// The reply parsers against the shapes of replies the gateway sends, their edges and cut-off replies.
#include "link/ReplyParsers.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplyParsers, ValueAndWord)
{
    const QByteArray hundred(120, 'x');
    const struct
    {
        QByteArray key;
        QByteArray reply;
        QByteArray value;
        QByteArray word;
    } cases[] = {
        {"S01=", "\r\nS01=12\r\nS02=7\r\nOK\r\n", "12", "12"},
        {"G91=", "G191=b\r\nG91=a\r\n", "a", "a"},                 // the line that starts with the key counts ...
        {"X40=", "S85=go X40=2\r\n  X40=0,A\r\n", "0,A", "0,A"}, // ... after blanks, over a user's text
        {"I1=", "BRI1=b\r\nX=1\r\n", "b", "b"},                   // ... and without one, the first occurrence
        {"Mode: ", "Mode:    te/ptp x\r\n", "te/ptp x", "te/ptp"}, // blanks skipped
        {"S01=", "S01=\r\nOK\r\n", "", ""},
        {"S09=", "S01=1\r\nOK\r\n", "", ""},
        {"S01=", "S02=1\r\nS01=", "", ""},
        {"S01=", "S01=abc", "ab", "abc"},               // no CR: the value loses the reply's last character
        {"S01=", "S01=ab\ncd\r\n", "ab\ncd", "ab\ncd"}, // a LF alone ends nothing
        {"Signal: (g01)", "Signal: (g01) -71 dBm\r\n", "-71 dBm", "-71"},
        {"K=", "K=" + hundred + "\r\n", hundred.left(99), hundred.left(99)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplyValue(c.key, c.reply), c.value) << c.reply.constData();
        EXPECT_EQ(ReplyWord(c.key, c.reply), c.word) << c.reply.constData();
    }
}

TEST(ReplyParsers, ValueListPlainAndCompact)
{
    const QByteArray long1(150, 'a');
    const struct
    {
        QByteArray key;
        QByteArray reply;
        char separator;
        QByteArrayList plain;
        QByteArrayList compact;
    } cases[] = {
        {"S91=", "S91=1,2,3\r\nOK\r\n", ',', {"1", "2", "3"}, {"1", "2", "3"}},
        {"X=", "X=,a,,b,\r\n", ',', {"", "a", "", "b", ""}, {"", "a", ",b"}},
        {"Mode: ", "Mode:   te ptp\r\n", ' ', {"te", "ptp"}, {"te", "ptp"}},
        {"Tei: ", "Tei: 64  65   66\r\n", ' ', {"64", "", "65", "", "", "66"}, {"64", " 65", "  66"}},
        {"X=", "X=1,2,3", ',', {"1", "2"}, {"1", "2"}}, // the last piece without a CR is dropped
        {"X=", "X=1,2\r\nY=3,4\r\n", ',', {"1", "2"}, {"1", "2"}},
        {"X=", "X=" + long1 + ",b\r\n", ',', {long1.left(99), "b"}, {long1.left(99), "b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplyValueList(c.key, c.reply, c.separator).items(), c.plain) << c.reply.constData();
        EXPECT_EQ(ReplyValueListCompact(c.key, c.reply, c.separator).items(), c.compact) << c.reply.constData();
    }
}

TEST(ReplyParsers, ValueListReadingPastTheEndThrows)
{
    const ReplyList values = ReplyValueList("G11=", "G11=5,6\r\n", ',');
    EXPECT_EQ(values.at(1), "6");
    EXPECT_THROW(values.at(2), std::out_of_range);
    EXPECT_THROW(values[7], std::out_of_range);
}

TEST(ReplyParsers, ValueListOverUnicodeText)
{
    // The label pass splits language texts: multi-byte characters must survive and count as one each.
    const ReplyTextList cells =
        ReplyValueList(QStringLiteral("#="), QStringLiteral("#=  16;Příliš žluťoučký;x\r\n"), QChar(u';'));
    EXPECT_EQ(cells.items(),
              (QStringList{QStringLiteral("16"), QStringLiteral("Příliš žluťoučký"), QStringLiteral("x")}));
    EXPECT_TRUE(ReplyValueList(QStringLiteral("#="), QStringLiteral("no marker\r\n"), QChar(u';')).isEmpty());
}

TEST(ReplyParsers, TableCell)
{
    // A table as the connection state command lists it: the header names the columns, the rows follow.
    const QByteArray table = "AT&U\r\n"
                             "ix port  shell  telnet tunnel user   con\r\n"
                             "0  COM1  IDLE   LOGOUT OFF    admin  YES\r\n"
                             "1  USB1  BUSY          ON            NO\r\n"
                             "\r\nOK\r\n";
    const struct
    {
        int column;
        int row;
        int shift;
        QByteArray cell;
    } cases[] = {
        {1, 0, 0, "COM1"}, {6, 0, 0, "YES"}, {3, 1, 0, ""}, // a blank cell ...
        {4, 1, 0, "ON"},                                    // ... and the one after it
        {1, 0, -1, "OM1"}, {2, 2, 0, ""},    {7, 0, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplyTableCell(table, c.column, c.row, "ix", c.shift), c.cell) << c.column << c.row << c.shift;
    // Columns count from the start of the header's line, wherever the header stands in it.
    EXPECT_EQ(ReplyTableCell("ix a\r\n1  2\r\n", 1, 0, "ix", 0), "2");
    EXPECT_EQ(ReplyTableCell(table, 2, 0, "nothere", 0), "ERROR");
    // A row shorter than the column's offset gives an empty cell, not text of the next line.
    EXPECT_EQ(ReplyTableCell("ix a b\r\n1\r\n2 3 4\r\n", 2, 0, "ix", 0), "");
}

TEST(ReplyParsers, CutReplyMarkerAndFirstToken)
{
    const std::pair<QByteArray, QByteArray> cuts[] = {
        {"line 1\r\nline 2\r\nOK\r\n", "line 1\r\nline 2"},
        {"abc\r\nOK\r\nmore OK\r\n", "abc"},
        {"xyzOK", "x"},
        {"no marker here\r\n", ""},
        {"BOOK\r\nOK\r\n", ""}, // the first "OK" is inside the word
    };
    for (auto [in, out] : cuts)
        EXPECT_EQ(CutReplyMarker(in), out);

    const std::pair<QByteArray, QByteArray> tokens[] = {
        {"0601 1 2\r\n", "0601"}, {"abc", "ab"}, {"", ""}, {"ab\r", "ab"}};
    for (const auto& [in, out] : tokens)
        EXPECT_EQ(FirstToken(in), out) << in.constData();
}

TEST(ReplyParsers, SmallTextHelpers)
{
    const std::pair<const char*, const char*> dates[] = {
        {"7.5", "0507"}, {"31.12", "1231"}, {"", "0000"}, {"7x5", "0007"}, {"123.4", "04123"},
    };
    for (const auto& [in, out] : dates)
        EXPECT_EQ(DotTimeToDigits(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
    EXPECT_EQ(SpacesToZeros(QStringLiteral(" 1 2 ")), QStringLiteral("01020"));

    EXPECT_TRUE(IsAllDigits(QString()));
    EXPECT_TRUE(IsAllDigits(QStringLiteral("0123456789")));
    EXPECT_FALSE(IsAllDigits(QStringLiteral("12a")));
    EXPECT_FALSE(IsAllDigits(QStringLiteral("١٢"))); // digits of another script are not decimal digits here
}

} // namespace
