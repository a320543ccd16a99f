// The fixture reader and the listing order of the parameter store.
#include "SimPeers.h"

#include "gatewaysim/Fixture.h"
#include "gatewaysim/GatewayState.h"

#include <gtest/gtest.h>

using gatewaysim::Fixture;

TEST(Fixture, ReadsKeysInFileOrderWithViewsShapesAndGatewaySettings)
{
    Fixture f;
    QString error;
    ASSERT_TRUE(Fixture::parse(simtest::kFixture, f, &error)) << qPrintable(error);
    EXPECT_EQ(f.pageSize, 20);
    EXPECT_EQ(f.pagedViews, QList<QByteArray>{"AT&A"});
    ASSERT_EQ(f.parameters.size(), 5);
    EXPECT_EQ(f.parameters[0].key, "S91");
    EXPECT_EQ(f.parameters[0].value, "5,12");
    EXPECT_EQ(f.parameters[4].views, (QList<QByteArray>{"AT&V9", "AT&V0"}));
    // The shape must match the whole value, not a part of it.
    EXPECT_TRUE(f.parameters[0].shape.match(QStringLiteral("7,255")).hasMatch());
    EXPECT_FALSE(f.parameters[0].shape.match(QStringLiteral("7,255x")).hasMatch());
    EXPECT_FALSE(f.parameters[0].shape.match(QStringLiteral("x7,255")).hasMatch());

    ASSERT_TRUE(Fixture::parse(QStringLiteral("; pin\r\n[S98]\r\nviews = AT&V\r\nshape = [0-9]{0,6}\r\nvalue =\r\n"), f,
                               &error))
        << qPrintable(error);
    ASSERT_EQ(f.parameters.size(), 1);
    EXPECT_EQ(f.parameters[0].value, "");
    EXPECT_EQ(f.parameters[0].views, QList<QByteArray>{"AT&V"});
}

TEST(Fixture, GatewayWithABadOrMissingFixtureIsInvalidAndSaysWhy)
{
    gatewaysim::Config bad;
    bad.fixtureText = QStringLiteral("[S91]\nvalue = 1\n");
    gatewaysim::Config missing;
    missing.fixturePath = QStringLiteral("/nonexistent/gw.ini");
    for (const gatewaysim::Config& cfg : {bad, missing}) {
        gatewaysim::Gateway gw(cfg);
        EXPECT_FALSE(gw.isValid());
        EXPECT_EQ(gw.startTcp(), 0);
        EXPECT_TRUE(gw.errorString().startsWith(cfg.fixturePath.isEmpty() ? "line 1: " : cfg.fixturePath))
            << qPrintable(gw.errorString());
    }
}

TEST(ListingOrder, KeyThatIsTheTailOfAnotherComesFirstOtherwiseFixtureOrder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"G91 G92 G191 G192", "G91 G92 G191 G192"},
        {"G191 G91", "G91 G191"},
        {"G199 G191 G99 G91", "G99 G199 G91 G191"},
        {"G1991 G991 G91", "G91 G991 G1991"},
        {"XA1 A1", "A1 XA1"},
        {"S91 X22 S98 S191", "S91 X22 S98 S191"},
        {"G191 S91", "G191 S91"},
    };
    for (const auto& [keys, listed] : cases) {
        QString text;
        for (const QString& k : QString::fromLatin1(keys).split(QLatin1Char(' ')))
            text += QStringLiteral("[%1]\nviews = AT&V9\nshape = .*\nvalue = v\n").arg(k);
        Fixture f;
        ASSERT_TRUE(Fixture::parse(text, f, nullptr)) << keys;
        QList<QByteArray> order;
        for (const QByteArray& line : gatewaysim::GatewayState({}, f).listing("AT&V9"))
            order.append(line.left(line.indexOf('=')));
        EXPECT_EQ(order, QByteArray(listed).split(' ')) << keys;
    }
}
