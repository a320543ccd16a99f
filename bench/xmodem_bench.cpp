// How long XMODEM-CRC takes over a socat pty pair: lrzsz's sx to our receiver, our sender to rx -c, and sx to
// rx -c as the yardstick, each moving the same file. The waits are the protocol's; ours should add none per
// block, so the first two should come close to the third. Our sender's end frame (0x04 and 132 zeros, which the
// gateway expects) costs one extra exchange with rx: rx waits for the line to fall quiet, NAKs it, and takes
// the lone EOT that follows. Our sender runs with the program's own limits. rx's retries are printed: rx drops
// its input when it asks again, so a frame of ours can be lost there and cost one of rx's time-outs.
//
//   xmodem_bench [kibibytes=256]
#include "online/Xmodem.h"
#include "platform/ComPort.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

// socat joining two ptys, as two serial ports with a null-modem cable between them.
class PtyPair
{
public:
    explicit PtyPair(const QString& dir) : a_(dir + QStringLiteral("/a")), b_(dir + QStringLiteral("/b"))
    {
        socat_.start(QStringLiteral("socat"),
                     {QStringLiteral("pty,raw,echo=0,link=") + a_, QStringLiteral("pty,raw,echo=0,link=") + b_});
        socat_.waitForStarted(5000);
        for (int i = 0; i < 500 && !(QFileInfo::exists(a_) && QFileInfo::exists(b_)); ++i)
            QThread::msleep(10); // socat makes the links as it starts; nothing else tells when
    }
    ~PtyPair() { close(); }
    // Ends the pair: the ports on it see the line gone.
    void close()
    {
        if (socat_.state() == QProcess::NotRunning)
            return;
        socat_.terminate();
        socat_.waitForFinished(3000);
    }
    bool ready() const { return QFileInfo::exists(a_) && QFileInfo::exists(b_); }
    QString a() const { return a_; }
    QString b() const { return b_; }

private:
    QString a_, b_;
    QProcess socat_;
};

void startTool(QProcess& p, const QString& command, const QString& pty, const QString& dir)
{
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exec %1 <'%2' >'%2'").arg(command, pty)});
    p.waitForStarted(5000);
}

double sxToUs(const QString& dir, int size)
{
    PtyPair pair(dir);
    ComPort port;
    if (!pair.ready() || !port.open(pair.a(), 115200))
        return -1;
    QElapsedTimer t;
    t.start();
    QProcess sx;
    startTool(sx, QStringLiteral("sx -b -q source.bin"), pair.b(), dir);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ComPortXmodemLine line(port);
    const XmodemResult r = XmodemReceive(line, out);
    const double ms = double(t.elapsed());
    sx.waitForFinished(30000);
    return r.ok && out.data().size() >= size ? ms : -1;
}

// The "Retry n: why" reports of a verbose lrzsz receiver.
QStringList retriesOf(const QByteArray& stderrText)
{
    QStringList retries;
    for (const QByteArray& line : QByteArray(stderrText).replace('\r', '\n').split('\n'))
        if (line.startsWith("Retry "))
            retries << QString::fromLatin1(line.trimmed());
    return retries;
}

double usToRx(const QString& dir, int size, QStringList& retries, QString& verdict)
{
    PtyPair pair(dir);
    ComPort port;
    if (!pair.ready() || !port.open(pair.a(), 115200))
        return -1;
    QFile file(dir + QStringLiteral("/source.bin"));
    file.open(QIODevice::ReadOnly);
    QFile::remove(dir + QStringLiteral("/ours.bin"));
    QElapsedTimer t;
    t.start();
    QProcess rx;
    startTool(rx, QStringLiteral("rx -b -c -v ours.bin"), pair.b(), dir);
    // rx may exit before its ACK of the EOT has gone out, so the clock stops when rx has the whole file and
    // exits, not when our sender gives up waiting for that ACK.
    XmodemResult result;
    std::thread sender([&] {
        ComPortXmodemLine line(port);
        result = XmodemSend(line, file);
    });
    rx.waitForFinished(120000);
    const double ms = double(t.elapsed());
    retries = retriesOf(rx.readAllStandardError());
    // rx is gone; a sender still waiting for the ACK of its end sees the line go rather than wait out its tries.
    pair.close();
    sender.join();
    verdict = result.ok ? QStringLiteral("end acknowledged") : result.failure;
    return QFileInfo(dir + QStringLiteral("/ours.bin")).size() >= size ? ms : -1;
}

double sxToRx(const QString& dir, int size)
{
    PtyPair pair(dir);
    if (!pair.ready())
        return -1;
    QFile::remove(dir + QStringLiteral("/theirs.bin"));
    QElapsedTimer t;
    t.start();
    QProcess rx, sx;
    startTool(rx, QStringLiteral("rx -b -c -q theirs.bin"), pair.b(), dir);
    startTool(sx, QStringLiteral("sx -b -q source.bin"), pair.a(), dir);
    rx.waitForFinished(60000);
    const double ms = double(t.elapsed());
    sx.waitForFinished(30000);
    return QFileInfo(dir + QStringLiteral("/theirs.bin")).size() >= size ? ms : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int kib = argc > 1 ? std::max(1, std::atoi(argv[1])) : 256;
    const int size = kib * 1024;
    QTemporaryDir dir;
    QByteArray data(size, '\0');
    QRandomGenerator rng(1);
    for (char& c : data)
        c = char(rng.bounded(256));
    QFile source(dir.filePath(QStringLiteral("source.bin")));
    if (!source.open(QIODevice::WriteOnly) || source.write(data) != size)
        return 1;
    source.close();

    const double theirs = sxToRx(dir.path(), size);
    const double in = sxToUs(dir.path(), size);
    QStringList retries;
    QString verdict;
    const double out = usToRx(dir.path(), size, retries, verdict);
    std::printf("XMODEM-CRC, %d KiB over a socat pty pair\n", kib);
    std::printf("  sx -> rx -c (yardstick)   %8.0f ms\n", theirs);
    std::printf("  sx -> our receiver        %8.0f ms   ratio %.2f\n", in, theirs > 0 ? in / theirs : 0.0);
    std::printf("  our sender -> rx -c       %8.0f ms   ratio %.2f   rx retries %lld%s%s\n", out,
                theirs > 0 ? out / theirs : 0.0, static_cast<long long>(retries.size()), retries.isEmpty() ? "" : ": ",
                qPrintable(retries.join(QStringLiteral(", "))));
    std::printf("  our sender's verdict: %s\n", qPrintable(verdict));
    return theirs > 0 && in > 0 && out > 0 ? 0 : 1;
}
