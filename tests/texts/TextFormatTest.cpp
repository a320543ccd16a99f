// Language texts used as formats: one argument, and nothing in the text can make the formatting misbehave.
#include "texts/TextFormat.h"

#include <gtest/gtest.h>

TEST(TextFormat, TheFirstMatchingConversionTakesTheArgumentAndTheRestStays)
{
    const struct
    {
        const char* format;
        int value;
        const char* expected;
    } ints[] = {
        {"Route calls to ISDN BRI %d interface", 2, "Route calls to ISDN BRI 2 interface"},
        {"%i%%", 50, "50%"},
        {"[%3d]", 5, "[  5]"},
        {"[%-3d]", 5, "[5  ]"},
        {"[%03d]", -5, "[-05]"},
        {"%d and %d", 1, "1 and %d"},   // a second conversion has no argument: it stays
        {"%s then %d", 4, "%s then 4"}, // another kind stays
        {"100 %", 1, "100 %"},          // a "%" at the end
        {"no conversion", 1, "no conversion"},
    };
    for (const auto& c : ints)
        EXPECT_EQ(formatTextInt(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.expected)) << c.format;

    EXPECT_EQ(formatTextString(QStringLiteral("Rotating B-channels (%s)"), QStringLiteral("BRI1")),
              QStringLiteral("Rotating B-channels (BRI1)"));
    EXPECT_EQ(formatTextString(QStringLiteral("%d (%s) %s"), QStringLiteral("x")), QStringLiteral("%d (x) %s"));
    EXPECT_EQ(formatTextPlain(QStringLiteral("50%% of %d")), QStringLiteral("50% of %d"));
}

TEST(TextFormat, LongTextsAndArgumentsAreKeptWhole)
{
    const QString longText = QString(300, QLatin1Char('a')) + QStringLiteral(" %d ") + QString(300, QLatin1Char('b'));
    const QString out = formatTextInt(longText, 123456);
    EXPECT_EQ(out.size(), 300 + 1 + 6 + 1 + 300);
    EXPECT_TRUE(out.contains(QStringLiteral(" 123456 ")));
    EXPECT_EQ(formatTextString(QStringLiteral("<%s>"), QString(500, QChar(0x10D))).size(), 502);
}
