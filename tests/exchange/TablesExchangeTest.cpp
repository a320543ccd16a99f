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

} // namespace
