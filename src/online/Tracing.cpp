#include "online/Tracing.h"

#include "link/LinkIo.h"

#include <QLocale>

TTracing::TTracing(bool createSuspended)
    : LiveWorker(
          0, [](LiveWorker&) { ReadTracingData(); }, LinkLostOf(tracingThread, liveLinkLost))
{
    if (createSuspended)
        Suspend();
}

int TracingMask(bool state34, bool timestamp, bool full, bool state2, bool lcr)
{
    if (full)
        return 31;
    return (state34 ? 1 : 0) | (timestamp ? 2 : 0) | (state2 ? 8 : 0) | (lcr ? 16 : 0);
}

QByteArray TracingMaskCommand(int mask)
{
    return "AT%S92=" + QByteArray::number(mask) + '\r';
}

QByteArray TracingLevelCommand(int typeIndex, int level)
{
    return (typeIndex == 0 ? "AT!L" : "AT!R") + QByteArray::number(level) + '\r';
}

QByteArray TraceFileHeader(const QDateTime& now)
{
    const QLocale locale;
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                          now.time().toString(QStringLiteral("hh:mm:ss"));
    return "\r\n[Tracing : " + stamp.toLocal8Bit() + "]\r\n\r\n";
}

bool TraceByte(char c, QByteArray& line, QByteArray& finished)
{
    if (c != '\n') {
        line.append(c);
        return false;
    }
    const bool show = line != "\r";
    finished = line;
    line.clear();
    return show;
}

qsizetype TraceStartReplyLength(const QByteArray& text)
{
    static const QByteArray ok = QByteArrayLiteral("OK\r\n");
    for (qsizetype at = text.indexOf(ok); at >= 0; at = text.indexOf(ok, at + 1)) {
        if (at == 0 || text[at - 1] == '\n')
            return at + ok.size();
    }
    return -1;
}

void HandleTraceByte(char c)
{
    QByteArray line;
    if (!TraceByte(c, tracingLine, line))
        return;
    if (traceFile && tracingSave) {
        std::fwrite(line.constData(), 1, size_t(line.size()), traceFile);
        std::fputc('\n', traceFile);
        std::fflush(traceFile);
    }
    WorkerThread::runOnUiThread([line] {
        if (tracingShowLine)
            tracingShowLine(line);
    });
}

void ReadTracingData()
{
    // Exactly one byte per step: LinkRead keeps at most size - 1 bytes.
    const QByteArray got = LinkRead(2);
    if (got.isEmpty() || got[0] == '\0' || LinkSessionEnded())
        return;
    HandleTraceByte(got[0]);
}

void CloseTraceFile()
{
    if (traceFile) {
        std::fclose(traceFile);
        traceFile = nullptr;
    }
}

void resetTracing()
{
    tracingThread.clear();
    CloseTraceFile();
    tracingSave = true;
    tracingLine.clear();
    tracingShowLine = nullptr;
}
