#include "exchange/TablesExchange.h"

#include <gtest/gtest.h>

namespace {

// The winter and summer dates come as four digits each (month, day); anything else is no date, so the page's
// edits never show a date nobody typed that no save would then take.
TEST(TablesExchange, DatesAreFourDigitsEach)
{
    QString winter, summer;
    EXPECT_TRUE(parseLcrDates("X20=1026,0000\r\n", winter, summer));
    EXPECT_EQ(winter + summer, QStringLiteral("26.1000.00"));
    for (const QByteArray x20 : {"1a26,0329", "1026,0_29", "10266,0329"})
        EXPECT_FALSE(parseLcrDates("X20=" + x20 + "\r\n", winter, summer)) << x20.constData();
}

// Holidays likewise: a value that is not four digits is not shown (it would be saved as another date) and the
// load lists it; the others are taken, an empty value is no holiday.
TEST(TablesExchange, HolidaysAreFourDigitsEach)
{
    std::vector<QString> holidays;
    EXPECT_TRUE(parseHolidays("G06=0501,,1224\r\nG07=\r\n", holidays));
    EXPECT_EQ(holidays, (std::vector<QString>{"01.05", "24.12"}));
    for (const QByteArray odd : {"1_05", "12345", "105", "+105"}) {
        EXPECT_FALSE(parseHolidays("G06=0501," + odd + "\r\nG07=1231\r\n", holidays)) << odd.constData();
        EXPECT_EQ(holidays, (std::vector<QString>{"01.05", "31.12"})) << odd.constData();
    }
}

// A holiday goes out as the day and month a person reads in it: blanks around either number are skipped and what
// follows the month's digits is not read. The winter and summer dates keep the reading of their overtype edits,
// where a blank is a digit not typed over: a "0".
TEST(TablesExchange, HolidaysSkipBlanksAroundTheirNumbersWhileTheDatesReadThemAsZeros)
{
    const struct
    {
        const char* text;
        QByteArray holiday;
        QByteArray date;
    } rows[] = {
        {"1.1 ", "0101", "1001"},
        {"1 .1", "0101", "0110"},
        {" 1. 5", "0501", "0501"},
        {"01.05.2024", "0501", "0501"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        const QString text = QString::fromLatin1(r.text);
        EXPECT_EQ(holidayCommands({text}), QList<QByteArray>{"AT%G06=" + r.holiday + "\r\n"});
        EXPECT_EQ(lcrDatesCommand(text, text), "AT%X20=" + r.date + ',' + r.date + "\r\n");
    }
}

} // namespace
