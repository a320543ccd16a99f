// How the firmware upgrade spends its time.
//
// 1. Reading and checking a firmware file of 4 MiB payload (from objcopy -I binary -O ihex), next to srec_cat
//    reading the same file (srec_cat file -intel -o /dev/null -intel), as a ratio.
// 2. A serial upgrade of a smaller file (1 MiB payload by default) against the simulated gateway's boot loader
//    over a pty, at the program's own timing: the whole run, the upload (state 4 to state 5), and the waits the
//    dialogue prescribes for such a run (the two probe reads that time out, 2 x 11 s; the pauses after the erase,
//    after the restart and at the close, 3 x 500 ms). What is left is the time spent talking.
//
//   firmware_bench [upload KiB=1024]
#include "firmware/BootPort.h"
#include "firmware/HexFile.h"
#include "firmware/UpgradeJob.h"
#include "gatewaysim/Gateway.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

bool makeHex(const QString& dir, const QString& name, qsizetype bytes, QString& hex)
{
    QByteArray payload(bytes, '\0');
    for (auto& b : payload)
        b = char(QRandomGenerator::global()->bounded(256));
    const QString bin = dir + "/" + name + ".bin";
    hex = dir + "/" + name + ".hex";
    QFile f(bin);
    if (!f.open(QIODevice::WriteOnly) || f.write(payload) != payload.size())
        return false;
    f.close();
    return QProcess::execute("objcopy", {"-I", "binary", "-O", "ihex", bin, hex}) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int uploadKiB = argc > 1 ? std::atoi(argv[1]) : 1024;
    QTemporaryDir dir;
    QString big;
    if (!dir.isValid() || !makeHex(dir.path(), "big", 4 << 20, big)) {
        std::fprintf(stderr, "objcopy failed\n");
        return 1;
    }

    // 1. Reading and checking.
    QElapsedTimer t;
    t.start();
    QList<QByteArray> pieces;
    const HexFileCheck check = ReadHexFile(big, pieces);
    const double ours = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    const int srec = QProcess::execute("srec_cat", {big, "-intel", "-o", "/dev/null", "-intel"});
    const double theirs = double(t.nsecsElapsed()) / 1e9;
    std::printf("read and check 4 MiB payload (%lld pieces, %s): %.3f s; srec_cat: %.3f s%s; ratio %.2f\n",
                static_cast<long long>(pieces.size()), check.ok ? "good" : "refused", ours, theirs,
                srec == 0 ? "" : " (failed)", ours / theirs);

    // 2. An upload over a pty.
    QString small;
    if (!makeHex(dir.path(), "upload", qsizetype(uploadKiB) << 10, small))
        return 1;
    bootPortLogPath = dir.path() + "/log.txt";
    gatewaysim::Config cfg;
    cfg.faults.bootAtMode = true;
    gatewaysim::Gateway gateway(cfg);
    const QString port = gateway.startSerialPty();
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    QElapsedTimer run;
    qint64 uploadStart = 0;
    qint64 uploadEnd = 0;
    CFWUpgradeThread job;
    run.start();
    job.StartUpgrade(port, small, [&](int state, int percent) {
        std::lock_guard lock(m);
        if (state == 4 && percent == 0)
            uploadStart = run.elapsed();
        if (state == 5)
            uploadEnd = run.elapsed();
        if (state == 8) {
            done = true;
            cv.notify_all();
        }
    });
    {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return done; });
    }
    job.Join();
    const double total = double(run.elapsed()) / 1e3;
    const double prescribed = 2 * 11.0 + 3 * 0.5;
    std::printf("serial upgrade of %d KiB (%d lines), result %d: %.2f s in all, upload %.2f s; prescribed waits "
                "%.2f s; talking %.2f s\n",
                uploadKiB, job.totalLines(), job.GetError(), total, double(uploadEnd - uploadStart) / 1e3, prescribed,
                total - prescribed);
    return job.GetError() == 0 && check.ok ? 0 : 1;
}
