// The reply parsers against the shapes of replies the gateway sends, their edges and cut-off replies.
#include "link/ReplyParsers.h"

#include <gtest/gtest.h>

namespace {

QByteArrayList toList(const ReplyList& l)
{
    return l.items();
}

struct ValueCase
{
    const char* name;
    QByteArray key;
    QByteArray reply;
    QByteArray value;
    QByteArray word;
};

TEST(ReplyParsers, ValueAndWord)
{
    const QByteArray hundred(120, 'x');
    const ValueCase cases[] = {
        {"plain", "S01=", "\r\nS01=12\r\nS02=7\r\nOK\r\n", "12", "12"},
        {"first occurrence counts", "G91=", "G91=a\r\nG191=b\r\n", "a", "a"},
        {"key inside a longer key", "I1=", "BRI1=b\r\nI1=a\r\n", "b", "b"},
        {"blanks skipped", "Mode: ", "Mode:    te/ptp x\r\n", "te/ptp x", "te/ptp"},
        {"value with blanks", "N=", "N=a b c\r\n", "a b c", "a"},
        {"empty value", "S01=", "S01=\r\nOK\r\n", "", ""},
        {"key absent", "S09=", "S01=1\r\nOK\r\n", "", ""},
        {"key ends the reply", "S01=", "S02=1\r\nS01=", "", ""},
        {"key and blanks end the reply", "S01=", "S01=   ", "", ""},
        {"no CR: last character dropped", "S01=", "S01=abc", "ab", "abc"},
        {"no CR after one character", "S01=", "S01=a", "", "a"},
        {"LF alone does not end the value", "S01=", "S01=ab\ncd\r\n", "ab\ncd", "ab\ncd"},
        {"word stops at blank before CR", "Signal: (g01)", "Signal: (g01) -71 dBm\r\n", "-71 dBm", "-71"},
        {"capped at 99", "K=", "K=" + hundred + "\r\n", hundred.left(99), hundred.left(99)},
        {"capped at 99 without CR", "K=", "K=" + hundred, hundred.left(99), hundred.left(99)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReplyValue(c.key, c.reply), c.value);
        EXPECT_EQ(ReplyWord(c.key, c.reply), c.word);
    }
}

struct ListCase
{
    const char* name;
    QByteArray key;
    QByteArray reply;
    char separator;
    QByteArrayList plain;
    QByteArrayList compact;
};

TEST(ReplyParsers, ValueListPlainAndCompact)
{
    const QByteArray long1(150, 'a');
    const ListCase cases[] = {
        {"three values", "S91=", "S91=1,2,3\r\nOK\r\n", ',', {"1", "2", "3"}, {"1", "2", "3"}},
        {"one value", "I07=", "I07=0600\r\n", ',', {"0600"}, {"0600"}},
        {"empty line", "I07=", "I07=\r\n", ',', {""}, {""}},
        {"empty pieces", "X=", "X=,a,,b,\r\n", ',', {"", "a", "", "b", ""}, {"", "a", ",b"}},
        {"leading blanks skipped once", "Mode: ", "Mode:   te ptp\r\n", ' ', {"te", "ptp"}, {"te", "ptp"}},
        {"blank runs", "Tei: ", "Tei: 64  65   66\r\n", ' ', {"64", "", "65", "", "", "66"}, {"64", " 65", "  66"}},
        {"trailing blank before CR", "Tei: ", "Tei: 64 \r\n", ' ', {"64", ""}, {"64"}},
        {"trailing blanks before CR", "Tei: ", "Tei: 64  \r\n", ' ', {"64", "", ""}, {"64"}},
        {"last piece without CR dropped", "X=", "X=1,2,3", ',', {"1", "2"}, {"1", "2"}},
        {"no CR, no separator", "X=", "X=1", ',', {}, {}},
        {"only the key's line", "X=", "X=1,2\r\nY=3,4\r\n", ',', {"1", "2"}, {"1", "2"}},
        {"key absent", "Z=", "X=1,2\r\n", ',', {}, {}},
        {"key at the very end", "X=", "Y=1\r\nX=", ',', {}, {}},
        {"LF is data", "X=", "X=a\nb,c\r\n", ',', {"a\nb", "c"}, {"a\nb", "c"}},
        {"item capped at 99", "X=", "X=" + long1 + ",b\r\n", ',', {long1.left(99), "b"}, {long1.left(99), "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toList(ReplyValueList(c.key, c.reply, c.separator)), c.plain);
        EXPECT_EQ(toList(ReplyValueListCompact(c.key, c.reply, c.separator)), c.compact);
    }
}

TEST(ReplyParsers, ValueListReadingPastTheEndThrows)
{
    const ReplyList values = ReplyValueList("G11=", "G11=5,6\r\n", ',');
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values.at(1), "6");
    EXPECT_EQ(values[0], "5");
    EXPECT_THROW(values.at(2), std::out_of_range);
    EXPECT_THROW(values.at(-1), std::out_of_range);
    EXPECT_THROW(values[7], std::out_of_range);
    EXPECT_EQ(values.value(2, "dflt"), "dflt");

    // The caller's pattern: read each value, a missing one keeps its default and is noted.
    const ReplyList shortLine = ReplyValueList("G11=", "G11=5\r\n", ',');
    int defaultsUsed = 0;
    for (int i = 0; i < 3; ++i) {
        try {
            (void)shortLine.at(i);
        } catch (const std::out_of_range&) {
            ++defaultsUsed;
        }
    }
    EXPECT_EQ(defaultsUsed, 2);
}

TEST(ReplyParsers, ValueListOverUnicodeText)
{
    // The label pass splits language texts: multi-byte characters must survive and count as one each.
    const ReplyTextList cells =
        ReplyValueList(QStringLiteral("#="), QStringLiteral("#=16;Příliš žluťoučký;x\r\n"), QChar(u';'));
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells.at(1), QStringLiteral("Příliš žluťoučký"));
    EXPECT_THROW(cells.at(3), std::out_of_range);

    const QString longText = QString(120, QChar(u'ž'));
    const ReplyTextList capped = ReplyValueList(QStringLiteral("#="), "#=" + longText + "\r\n", QChar(u';'));
    ASSERT_EQ(capped.size(), 1);
    EXPECT_EQ(capped.at(0), longText.left(99));

    EXPECT_TRUE(ReplyValueList(QStringLiteral("#="), QStringLiteral("no marker\r\n"), QChar(u';')).isEmpty());
    EXPECT_EQ(ReplyValueList(QStringLiteral("#="), QStringLiteral("#=  one cell\r\n"), QChar(u';')).items(),
              QStringList{QStringLiteral("one cell")});
}

TEST(ReplyParsers, TableCell)
{
    // A table as the connection state command lists it: the header names the columns, the rows follow.
    const QByteArray table = "AT&U\r\n"
                             "ix port  shell  telnet tunnel user   con\r\n"
                             "0  COM1  IDLE   LOGOUT OFF    admin  YES\r\n"
                             "1  USB1  BUSY          ON            NO\r\n"
                             "\r\nOK\r\n";
    struct Case
    {
        const char* name;
        int column;
        int row;
        int shift;
        QByteArray cell;
    } cases[] = {
        {"column 0 is the line start", 0, 0, 0, "0"},
        {"first word after the first", 1, 0, 0, "COM1"},
        {"shell", 2, 0, 0, "IDLE"},
        {"telnet", 3, 0, 0, "LOGOUT"},
        {"last column", 6, 0, 0, "YES"},
        {"second row", 2, 1, 0, "BUSY"},
        {"blank cell", 3, 1, 0, ""},
        {"cell after a blank cell", 4, 1, 0, "ON"},
        {"shift onto a blank", 2, 0, 1, ""},
        {"shift into the word", 1, 0, -1, "OM1"},
        {"empty line after the table", 2, 2, 0, ""},
        {"row past the table", 2, 3, 0, ""},
        {"row far past the table", 2, 40, 0, ""},
        {"column past the header", 7, 0, 0, ""},
        {"shift before the line start", 1, 0, 10, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReplyTableCell(table, c.column, c.row, "ix", c.shift), c.cell);
    }
    // A header that does not start its line: columns still count from the line start.
    EXPECT_EQ(ReplyTableCell(" ix a\r\n 1 2\r\n", 1, 0, "ix", 0), "1");
    EXPECT_EQ(ReplyTableCell(table, 2, 0, "nothere", 0), "ERROR");
    EXPECT_EQ(ReplyTableCell("", 0, 0, "ix", 0), "ERROR");
    // Header on the reply's last line: no rows at all.
    EXPECT_EQ(ReplyTableCell("a ix b", 1, 0, "ix", 0), "");
    // A row shorter than the column's offset gives an empty cell, not text of the next line.
    EXPECT_EQ(ReplyTableCell("ix a b\r\n1\r\n2 3 4\r\n", 2, 0, "ix", 0), "");
    // The header found on the first line of the text (no line before it).
    EXPECT_EQ(ReplyTableCell("ix a\r\n1  2\r\n", 1, 0, "ix", 0), "2");
}

TEST(ReplyParsers, CutReplyMarker)
{
    const struct
    {
        QByteArray in;
        QByteArray out;
    } cases[] = {
        {"line 1\r\nline 2\r\nOK\r\n", "line 1\r\nline 2"},
        {"abc\r\nOK\r\nmore OK\r\n", "abc"},
        {"OK\r\n", ""},
        {"xOK", ""},
        {"xyOK", ""},
        {"xyzOK", "x"},
        {"no marker here\r\n", ""},
        {"", ""},
        {"BOOK\r\nOK\r\n", ""}, // the first "OK" is inside the word
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.constData());
        QByteArray text = c.in;
        QByteArray& result = CutReplyMarker(text);
        EXPECT_EQ(text, c.out);
        EXPECT_EQ(&result, &text);
    }
}

TEST(ReplyParsers, FirstToken)
{
    const struct
    {
        QByteArray in;
        QByteArray out;
    } cases[] = {
        {"0601 1 2\r\n", "0601"}, {"x\r\n", "x"},     {"abc", "ab"}, {"a", ""}, {"", ""}, {" lead", ""}, {"ab ", "ab"},
        {"ab\r", "ab"},           {"a\nb c", "a\nb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.constData());
        EXPECT_EQ(FirstToken(c.in), c.out);
    }
}

TEST(ReplyParsers, SmallTextHelpers)
{
    const struct
    {
        const char* in;
        const char* out;
    } dates[] = {
        {"7.5", "0507"},   {"31.12", "1231"},  {"01.03", "0301"}, {"0.0", "0000"},   {"", "0000"},
        {"ab", "0000"},    {"7", "0007"},      {"7.", "0007"},    {"7x5", "0007"},   {" 7. 5", "0507"},
        {"10.10", "1010"}, {"123.4", "04123"}, {"7 .5", "0007"},  {"+7.+5", "0507"},
    };
    for (const auto& d : dates) {
        SCOPED_TRACE(d.in);
        EXPECT_EQ(DotTimeToDigits(QString::fromLatin1(d.in)), QString::fromLatin1(d.out));
    }
    // The date edits hold blanks for digits not typed; they are read as zeros.
    EXPECT_EQ(DotTimeToDigits(SpacesToZeros(QStringLiteral(" 7. 5"))), QStringLiteral("0507"));
    EXPECT_EQ(SpacesToZeros(QStringLiteral(" 1 2 ")), QStringLiteral("01020"));

    EXPECT_TRUE(IsAllDigits(QString()));
    EXPECT_TRUE(IsAllDigits(QStringLiteral("0123456789")));
    EXPECT_FALSE(IsAllDigits(QStringLiteral("12a")));
    EXPECT_FALSE(IsAllDigits(QStringLiteral(" 1")));
    EXPECT_FALSE(IsAllDigits(QStringLiteral("-1")));
    EXPECT_FALSE(IsAllDigits(QStringLiteral("١٢"))); // digits of another script are not decimal digits here

    EXPECT_EQ(TextOrFallback(QString(), QStringLiteral("Start")), QStringLiteral("Start"));
    EXPECT_EQ(TextOrFallback(QStringLiteral(" "), QStringLiteral("Start")), QStringLiteral(" "));
    EXPECT_EQ(TextOrFallback(QStringLiteral("Spustit"), QStringLiteral("Start")), QStringLiteral("Spustit"));
}

} // namespace
