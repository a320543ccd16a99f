// How the telnet link spends its time: N view commands against the simulated gateway, sent the way the pages
// send them (SendCommand: write, 10 ms, ReadReply). Prints the wall time, the waits the protocol itself
// prescribes (10 ms after each write) and the CPU time used; then the same commands once more with each step
// timed on its own: the write (one character at a time through the client), the 10 ms pause, and the read from
// its start to the reply's end (the data flag follows the text 10 ms late, mostly within the pause). A link that
// waits without spinning uses next to no CPU and needs little more wall time than the prescribed waits.
//
//   link_bench [commands=50] [view command=AT&V0]
#include "gatewaysim/Gateway.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

double cpuSeconds(int who, double* user = nullptr, double* system = nullptr)
{
    rusage u{};
    getrusage(who, &u);
    const double us = double(u.ru_utime.tv_sec) + double(u.ru_utime.tv_usec) / 1e6;
    const double sy = double(u.ru_stime.tv_sec) + double(u.ru_stime.tv_usec) / 1e6;
    if (user)
        *user = us;
    if (system)
        *system = sy;
    return us + sy;
}

bool logIn(const gatewaysim::Config& config)
{
    ReplyReading greeting; // its login prompt is expected, no sign of the session's end
    greeting.size = 1024;
    greeting.loginPromptExpected = true;
    if (!ReadReply(greeting).contains("login:"))
        return false;
    LinkWrite(CurrentConnection, config.user + '\r');
    if (!LinkRead(1024).contains("Password:"))
        return false;
    LinkWrite(CurrentConnection, config.password + '\r');
    return ReadReply(1024).contains("OK");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int commands = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const QByteArray view = argc > 2 ? QByteArray(argv[2]) : QByteArray("AT&V0");

    gatewaysim::Gateway gateway;
    const quint16 port = gateway.startTcp();
    if (port == 0) {
        std::fprintf(stderr, "gateway did not start: %s\n", qPrintable(gateway.errorString()));
        return 1;
    }
    TelnetClient client;
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = port;
    int arrivals = 0;
    client.setDataHandler([&arrivals](const QByteArray& text) {
        ++arrivals;
        StoreTcpReceived(text);
    });
    if (!client.Connect(5000)) {
        std::fprintf(stderr, "no connection: %s\n", qPrintable(client.errorString()));
        return 1;
    }
    tcp = &client;
    CurrentConnection.LinkType = LinkTelnet;
    CurrentConnection.LanTimeout = 1000;
    if (!logIn(gateway.config())) {
        std::fprintf(stderr, "login failed\n");
        return 1;
    }

    arrivals = 0;
    int failures = 0;
    qsizetype replyBytes = 0;
    double user0 = 0;
    double system0 = 0;
    const double threadCpu0 = cpuSeconds(RUSAGE_THREAD, &user0, &system0);
    const double processCpu0 = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < commands; ++i) {
        QString failed;
        QByteArray reply;
        if (!SendCommand(view + "\r\n", reply, 65536, failed, QStringLiteral("view\n")))
            ++failures;
        replyBytes += reply.size();
    }
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    double user = 0;
    double system = 0;
    const double threadCpu = cpuSeconds(RUSAGE_THREAD, &user, &system) - threadCpu0;
    const double processCpu = cpuSeconds(RUSAGE_SELF) - processCpu0;
    user -= user0;
    system -= system0;

    const double prescribed = commands * 0.010;
    std::printf("link_bench: %d x \"%s\" over telnet to the simulated gateway, %lld reply bytes each\n", commands,
                view.constData(), static_cast<long long>(replyBytes / commands));
    std::printf("  failed commands      %d\n", failures);
    std::printf("  wall time            %.3f s\n", wallSeconds);
    std::printf("  prescribed waits     %.3f s (%d x 10 ms after the write; %d arrivals)\n", prescribed, commands,
                arrivals);
    std::printf("  wall over prescribed %+.1f %%\n", prescribed > 0 ? (wallSeconds / prescribed - 1) * 100 : 0.0);
    std::printf("  CPU, link thread     %.3f s (user %.3f, system %.3f; %.2f %% of the wall time)\n", threadCpu, user,
                system, wallSeconds > 0 ? threadCpu / wallSeconds * 100 : 0.0);
    std::printf("  CPU, whole process   %.3f s (the simulated gateway included)\n", processCpu);

    // The steps of each exchange on their own.
    qint64 writeNs = 0;
    qint64 pauseNs = 0;
    qint64 readNs = 0;
    for (int i = 0; i < commands; ++i) {
        QElapsedTimer step;
        step.start();
        LinkWrite(CurrentConnection, view + "\r\n");
        writeNs += step.nsecsElapsed();
        step.restart();
        WaitPumping(10);
        pauseNs += step.nsecsElapsed();
        step.restart();
        ReadReply(65536);
        readNs += step.nsecsElapsed();
    }
    const auto perCommandMs = [commands](qint64 ns) { return double(ns) / 1e6 / commands; };
    std::printf("  per command          write %.2f ms, pause %.2f ms, read %.2f ms\n", perCommandMs(writeNs),
                perCommandMs(pauseNs), perCommandMs(readNs));

    tcp = nullptr;
    client.Disconnect();
    gateway.stop();
    return failures == 0 ? 0 : 2;
}
