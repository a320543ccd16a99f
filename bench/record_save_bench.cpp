// What a record save costs into a large records file: the time of the save (the window waits for it) and the
// memory it takes on top of what the program holds, for the save as the program makes it (the block appended
// whole, AppendRecordFile) and, beside it, for the whole file written anew (read, then ReplaceFileWhole). Each
// save runs several times; the file grows by a block each time.
//
//   record_save_bench [file MB=100] [lines per block=500] [runs=5] [folder=a temporary one]
#include "online/RecordDownloads.h"
#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

qint64 statusKb(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Sets the kernel's peak of the memory held back to what is held now; false where the kernel cannot.
bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1 && clear.flush();
}

void run(const char* name, int runs, const std::function<bool()>& save)
{
    std::vector<double> ms;
    qint64 peakKb = 0;
    for (int i = 0; i < runs; ++i) {
        const bool peak = resetPeak();
        const qint64 held = statusKb("VmRSS");
        QElapsedTimer t;
        t.start();
        if (!save()) {
            std::printf("%s: the save failed\n", name);
            return;
        }
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        if (peak)
            peakKb = std::max(peakKb, statusKb("VmHWM") - held);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s time min %8.1f ms  median %8.1f ms  max %8.1f ms  memory over what was held %7.1f MB\n", name,
                ms.front(), ms[ms.size() / 2], ms.back(), double(peakKb) / 1024);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int lineCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 500;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    QTemporaryDir temp(argc > 4 ? QString::fromLocal8Bit(argv[4]) + QStringLiteral("/record-bench-XXXXXX")
                                : QString());
    if (!temp.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = temp.filePath(QStringLiteral("Call Data.txt"));
    {
        // Real records, so that a save that reads the file reads them from the page cache as it would.
        QFile file(path);
        const QByteArray line = "Hovor 0123456789 +420123456789 00:01:23 " + QByteArray(40, 'x') + "\r\n";
        QByteArray chunk;
        while (chunk.size() < (1 << 20))
            chunk += line;
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (qint64 i = 0; i < megabytes; ++i)
            if (file.write(chunk) != chunk.size())
                return 1;
    }
    const QStringList lines(lineCount, QStringLiteral("Hovor 0123456789 +420123456789 00:01:23 ") + QString(40, 'y'));
    std::printf("records file %lld MB, block of %d lines, %d runs each\n", static_cast<long long>(megabytes),
                lineCount, runs);
    run("append (AppendRecordFile)", runs, [&] {
        return AppendRecordFile(path, QStringLiteral("Sim"), QStringLiteral("2.1.26 10:00:00"), lines);
    });
    run("whole file anew (ReplaceFileWhole)", runs, [&] {
        QByteArray block = "\r\n[Sim : 2.1.26 10:00:00]\r\n\r\n";
        for (const QString& l : lines)
            block += l.toLatin1() + "\r\n";
        QFile old(path);
        return old.open(QIODevice::ReadOnly) && ReplaceFileWhole(path, old.readAll() + block);
    });
    return 0;
}
