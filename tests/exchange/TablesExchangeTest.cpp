#include "exchange/TablesExchange.h"

#include <gtest/gtest.h>

namespace {

// The winter and summer dates come as four digits each (month, day); anything else is no date, so the page's
// edits never show a date nobody typed that no save would then take.
TEST(TablesExchange, DatesAreFourDigitsEach)
{
    const struct
    {
        QByteArray x20;
        bool read;
        QString winter, summer;
    } cases[] = {
        {"1026,0329", true, "26.10", "29.03"}, {"0000,9999", true, "00.00", "99.99"}, {"1a26,0329", false, {}, {}},
        {"1026,0_29", false, {}, {}},          {"10266,0329", false, {}, {}},         {"1026", false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x20.constData());
        QString winter = QStringLiteral("kept");
        QString summer = QStringLiteral("kept");
        EXPECT_EQ(parseLcrDates("\r\nX20=" + c.x20 + "\r\nOK\r\n", winter, summer), c.read);
        EXPECT_EQ(winter, c.read ? c.winter : QStringLiteral("kept"));
        EXPECT_EQ(summer, c.read ? c.summer : QStringLiteral("kept"));
    }
}

} // namespace
