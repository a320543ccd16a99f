// How long the whole-gateway load and save take through the real main window against the simulated gateway,
// per link: at full speed, with every answer starting 400 ms late, against a gateway that answers nothing after
// the login, and against one that sends only noise (bytes, never a reply's end). The modem line keeps the
// program's own waits. Prints one line per run; asserts nothing.
//
//   gateway_runs_bench [--gtest_filter=*Serial*]      (cases: <Link><Full|Late400|Silent|Noise>)
#include "online/LiveToolFixture.h"

#include "pages/PageState.h"

#include <QElapsedTimer>
#include <cstdio>

namespace {

struct RunCase
{
    Link link;
    const char* name;
    gatewaysim::Faults faults;
};

void PrintTo(const RunCase& c, std::ostream* os)
{
    *os << linkName(c.link) << c.name;
}

class GatewayRuns : public LiveToolTest, public ::testing::WithParamInterface<RunCase>
{
};

TEST_P(GatewayRuns, LoadAndSave)
{
    const RunCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOnLink(c.link, gatewaysim::Config()));
    modemReplyWaitMs = kModemWaits[0];
    modemCredentialWaitMs = kModemWaits[1];
    modemIdentWaitMs = kModemWaits[2];
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->setFaults(c.faults);
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
        std::printf("%-7s %-8s %-5s %7.1f s  boxes %d  failed items %d\n", linkName(c.link), c.name,
                    save ? "save" : "load", seconds, int(dialogs().boxes().size()), items);
        std::fflush(stdout);
    }
}

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

gatewaysim::Faults noise()
{
    gatewaysim::Faults f;
    f.noiseMs = 60000;
    return f;
}

std::vector<RunCase> runCases()
{
    std::vector<RunCase> cases;
    for (const Link link : {Link::Telnet, Link::Serial, Link::Modem}) {
        cases.push_back({link, "Full", {}});
        cases.push_back({link, "Late400", late400()});
        cases.push_back({link, "Silent", silent()});
        cases.push_back({link, "Noise", noise()});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, GatewayRuns, ::testing::ValuesIn(runCases()),
                         [](const auto& info) { return std::string(linkName(info.param.link)) + info.param.name; });

} // namespace
