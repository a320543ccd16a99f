#include "online/TestCalls.h"

#include "link/LinkIo.h"

#include <QLocale>

TTestCall::TTestCall(bool createSuspended)
    : LiveWorker(
          0, [](LiveWorker& self) { testCallPoll(self); }, LinkLostOf(testCallThread, liveLinkLost))
{
    if (createSuspended)
        Suspend();
}

namespace {

QByteArray startCommand(const char* prefix, int value, const QByteArray& tail)
{
    return prefix + QByteArray::number(value) + tail + '\r';
}

} // namespace

QByteArray TestDialCommand(TestDial option, int value, const QByteArray& number)
{
    const QByteArray tail = '=' + number;
    switch (option) {
    case TestDial::Rotating:
        return startCommand("AT!SP", 32, tail);
    case TestDial::Via:
        return startCommand("AT!SP", value, tail);
    case TestDial::ViaGsm:
        return startCommand("AT!SG", value, tail);
    case TestDial::Rotating2:
        return startCommand("AT!SE", 32, tail);
    case TestDial::Via2:
        return startCommand("AT!SE", value, tail);
    case TestDial::ToGsm:
        return startCommand("AT!SG", 32, tail);
    case TestDial::None:
        break;
    }
    return {};
}

QByteArray TestWaitCommand(TestWait option, int value)
{
    switch (option) {
    case TestWait::FirstIsd:
        return startCommand("AT!WP", 32, {});
    case TestWait::Incoming:
        return startCommand("AT!WP", value, {});
    case TestWait::FirstIsd2:
        return startCommand("AT!WE", 32, {});
    case TestWait::Incoming2:
        return startCommand("AT!WE", value, {});
    case TestWait::From:
        return startCommand("AT!WG", value, {});
    case TestWait::FirstGsm:
        return startCommand("AT!WG", 32, {});
    case TestWait::None:
        break;
    }
    return {};
}

QByteArray TestCallLogHeader(const QDateTime& now)
{
    const QLocale locale;
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                          now.time().toString(QStringLiteral("hh:mm:ss"));
    return "\r\n[Testing calls (tracing) : " + stamp.toLocal8Bit() + "]\r\n\r\n";
}

TestChunk ParseTestChunk(const QByteArray& chunk)
{
    TestChunk result;
    if (chunk.size() < 3) {
        result.ignored = true;
        return result;
    }
    if (chunk.contains("BUSY\r\n") || chunk.contains("ERROR\r\n")) {
        result.ends = true;
        result.shown = chunk;
        return result;
    }
    result.answered = chunk.contains("\r\nOK\r\n");
    result.logged = chunk.startsWith("\r\n") ? chunk.mid(2) : chunk;
    result.shown = result.logged.endsWith("\r\n") ? result.logged.chopped(2) : result.logged;
    return result;
}

QString TestViewText(const QByteArray& text)
{
    QByteArray lines = text;
    lines.replace("\r\n", "\n");
    lines.replace('\r', '\n');
    return QString::fromLatin1(lines);
}

void testCallPoll(LiveWorker& worker)
{
    const QByteArray chunk = LinkReadTimeout(kTestChunkMax + 1, 1.0);
    // The gateway's login prompt: the run ends on the link's loss path.
    if (LinkSessionEnded() || chunk.size() < 3)
        return;
    worker.Synchronize([chunk] {
        if (testCallReceiveHook)
            testCallReceiveHook(chunk);
    });
}
