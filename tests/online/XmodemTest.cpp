// XMODEM-CRC against real peers: lrzsz's sx and rx over a socat pty pair, in both directions.
#include "online/Xmodem.h"
#include "support/PtyPair.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(size, '\0');
    for (char& c : b)
        c = char(rng.bounded(256));
    return b;
}

// Runs an lrzsz tool with its standard input and output on the pty.
class Peer
{
public:
    Peer(const QString& command, const QString& pty, const QString& dir)
    {
        process_.setWorkingDirectory(dir);
        process_.start(QStringLiteral("/bin/sh"),
                       {QStringLiteral("-c"), QStringLiteral("exec %1 <'%2' >'%2'").arg(command, pty)});
        process_.waitForStarted(5000);
    }
    ~Peer()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool finish() { return process_.waitForFinished(30000) && process_.exitStatus() == QProcess::NormalExit; }
    int exitCode() const { return process_.exitCode(); }

private:
    QProcess process_;
};

// Short start limits: the peer may open its end only after our first 'C' has gone by.
XmodemLimits quickStart()
{
    XmodemLimits l;
    l.startTryMs = 1500;
    l.startPauseMs = 300;
    return l;
}

} // namespace

TEST(Xmodem, CrcAndFrameMatchTheReferenceValues)
{
    EXPECT_EQ(Crc16Xmodem("123456789", 9), 0x31C3);
    const QByteArray frame = XmodemDataFrame(1, "mesk");
    ASSERT_EQ(frame.size(), 133);
    EXPECT_EQ(frame.left(8).toHex(), "0101fe6d65736b00");
    EXPECT_EQ(frame.right(4).toHex(), "0000d387");
    EXPECT_EQ(XmodemCheckBlock(frame.constData(), 0), kXmodemGood);
    EXPECT_EQ(XmodemCheckBlock(frame.constData(), 1), kXmodemBad); // a repeat of the last good block

    const QByteArray wrapped = XmodemDataFrame(0, QByteArray(128, 'x')); // block 256
    EXPECT_EQ(XmodemCheckBlock(wrapped.constData(), 255), kXmodemGood);
    QByteArray flipped = wrapped;
    flipped[60] = char(flipped[60] ^ 1);
    EXPECT_EQ(XmodemCheckBlock(flipped.constData(), 255), kXmodemBad);
    QByteArray end(133, '\x55');
    end[0] = kXmodemEot;
    EXPECT_EQ(XmodemCheckBlock(end.constData(), 17), kXmodemEnd);
}

TEST(Xmodem, ReceivesWhatSxSends)
{
    for (int size : {1, 127, 128, 129, 1000, 40000}) {
        SCOPED_TRACE(size);
        PtyPair pair;
        ASSERT_TRUE(pair.isReady()) << qPrintable(pair.errorString());
        QTemporaryDir dir;
        const QByteArray source = randomBytes(size, quint32(size));
        QFile src(dir.filePath(QStringLiteral("source.bin")));
        ASSERT_TRUE(src.open(QIODevice::WriteOnly) && src.write(source) == size);
        src.close();

        ComPort port;
        ASSERT_TRUE(port.open(pair.pathA(), 115200)) << qPrintable(port.errorString());
        Peer sx(QStringLiteral("sx -b -q source.bin"), pair.pathB(), dir.path());
        QBuffer received;
        received.open(QIODevice::WriteOnly);
        ComPortXmodemLine line(port);
        int lastCount = 0;
        const XmodemResult r = XmodemReceive(
            line, received, [&](qint64, int count) { lastCount = count; }, quickStart());
        EXPECT_TRUE(r.ok) << qPrintable(r.failure);
        EXPECT_TRUE(sx.finish());
        EXPECT_EQ(sx.exitCode(), 0);

        const int padded = (size + 127) / 128 * 128;
        EXPECT_EQ(received.data().size(), padded);
        EXPECT_EQ(received.data().left(size), source);
        EXPECT_EQ(r.blocks, padded / 128);
        EXPECT_EQ(lastCount, padded > 128 ? padded / 128 : 0); // block 1 moves nothing
    }
}

TEST(Xmodem, RxReceivesWhatWeSend)
{
    for (int size : {1000, 40000}) {
        SCOPED_TRACE(size);
        PtyPair pair;
        ASSERT_TRUE(pair.isReady()) << qPrintable(pair.errorString());
        QTemporaryDir dir;
        const QByteArray source = randomBytes(size, quint32(size) + 7);
        QBuffer file;
        file.setData(source);
        file.open(QIODevice::ReadOnly);

        ComPort port;
        ASSERT_TRUE(port.open(pair.pathA(), 115200)) << qPrintable(port.errorString());
        Peer rx(QStringLiteral("rx -b -c -q out.bin"), pair.pathB(), dir.path());
        ComPortXmodemLine line(port);
        QList<int> counts;
        // rx takes only a lone EOT as the end and may exit before its ACK of it has gone out, so the send's own
        // verdict is not asked for here, and its wait for that ACK is kept short.
        XmodemLimits limits;
        limits.replyMs = 1500;
        limits.maxEotTries = 1;
        XmodemSend(
            line, file,
            [&](qint64 position, int count) {
                EXPECT_EQ(position, 128 * count);
                counts.append(count);
            },
            limits);
        EXPECT_TRUE(rx.finish());
        EXPECT_EQ(rx.exitCode(), 0);

        QFile out(dir.filePath(QStringLiteral("out.bin")));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        const QByteArray got = out.readAll();
        const int padded = (size + 127) / 128 * 128;
        EXPECT_EQ(got.size(), padded);
        EXPECT_EQ(got.left(size), source);
        EXPECT_EQ(got.mid(size), QByteArray(padded - size, '\0'));
        ASSERT_FALSE(counts.isEmpty());
        EXPECT_EQ(counts.first(), 0); // the progress lags one frame
    }
}
