// The bytes of a login with letters beyond ASCII, as they reach the wire.
#include "TelnetLinkFixture.h"

#include "link/GatewayList.h"
#include "link/Login.h"

namespace {

using LoginBytesTest = TelnetLinkTest;

TEST_F(LoginBytesTest, NamesGoOutInTheCodeTheGatewayListStoresThemIn)
{
    // "ček" / "heslíčko": "č" is a letter of Windows-1250 that Latin-1 lacks ("í" is in both).
    const QByteArray userBytes("\xE8"
                               "ek");
    const QByteArray passwordBytes("hesl\xED\xE8ko");
    gatewaysim::Config cfg;
    cfg.user = userBytes;
    cfg.password = passwordBytes;
    ASSERT_NO_FATAL_FAILURE(connectTo(cfg));

    GatewayEntry entry;
    entry.Name = QStringLiteral("Office");
    entry.Username = QString::fromUtf8("\xC4\x8D"
                                       "ek");
    entry.Password = QString::fromUtf8("hesl\xC3\xAD\xC4\x8Dko");
    EXPECT_TRUE(LoginToGateway(CurrentConnection, &entry, readGreeting()));
    EXPECT_EQ(gateway->loginCount(), 1);
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{userBytes + "\r\n", passwordBytes + "\r\n"}));
}

} // namespace
