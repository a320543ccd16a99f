// How long the whole-gateway load and save take through the real main window against the simulated gateway,
// per link: at full speed, with every answer starting 400 ms late, and against a gateway that answers nothing
// after the login. The modem line keeps the program's own waits. Prints one line per run; asserts nothing.
//
//   gateway_runs_bench [--gtest_filter=*Serial*]      (cases: <Link>.<Full|Late400|Silent>)
#include "online/LiveToolFixture.h"

#include "pages/PageState.h"

#include <QElapsedTimer>
#include <cstdio>

namespace {

class GatewayRuns : public LiveToolTest
{
protected:
    void measure(Link link, const char* linkName, const char* caseName, const gatewaysim::Faults& faults)
    {
        ASSERT_NO_FATAL_FAILURE(startOnLink(link, gatewaysim::Config()));
        modemReplyWaitMs = kModemWaits[0];
        modemCredentialWaitMs = kModemWaits[1];
        modemIdentWaitMs = kModemWaits[2];
        ASSERT_NO_FATAL_FAILURE(connectNow());
        gateway->setFaults(faults);
        dialogs().allowUnusedAnswers();
        for (const bool save : {false, true}) {
            dialogs().clearRecords();
            QElapsedTimer clock;
            clock.start();
            if (save)
                fMain->tbSaveGateClick();
            else
                fMain->tbLoadGateClick();
            const double seconds = double(clock.elapsed()) / 1000.0;
            const int items = int(LoadErrors.count(QLatin1Char('\n')));
            std::printf("%-7s %-8s %-5s %7.1f s  boxes %d  failed items %d\n", linkName, caseName,
                        save ? "save" : "load", seconds, int(dialogs().boxes().size()), items);
            std::fflush(stdout);
        }
    }
};

gatewaysim::Faults late400()
{
    gatewaysim::Faults f;
    f.replyDelayMs = 400;
    return f;
}

gatewaysim::Faults silent()
{
    gatewaysim::Faults f;
    f.silent = true;
    return f;
}

TEST_F(GatewayRuns, TelnetFull)
{
    measure(Link::Telnet, "telnet", "full", {});
}
TEST_F(GatewayRuns, TelnetLate400)
{
    measure(Link::Telnet, "telnet", "late400", late400());
}
TEST_F(GatewayRuns, TelnetSilent)
{
    measure(Link::Telnet, "telnet", "silent", silent());
}
TEST_F(GatewayRuns, SerialFull)
{
    measure(Link::Serial, "serial", "full", {});
}
TEST_F(GatewayRuns, SerialLate400)
{
    measure(Link::Serial, "serial", "late400", late400());
}
TEST_F(GatewayRuns, SerialSilent)
{
    measure(Link::Serial, "serial", "silent", silent());
}
TEST_F(GatewayRuns, ModemFull)
{
    measure(Link::Modem, "modem", "full", {});
}
TEST_F(GatewayRuns, ModemLate400)
{
    measure(Link::Modem, "modem", "late400", late400());
}
TEST_F(GatewayRuns, ModemSilent)
{
    measure(Link::Modem, "modem", "silent", silent());
}

} // namespace
