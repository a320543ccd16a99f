// XMODEM-CRC against real peers: lrzsz's sx and rx over a socat pty pair, in both directions.
#include "online/Xmodem.h"
#include "gatewaysim/Gateway.h"
#include "support/PtyPair.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(size, '\0');
    for (char& c : b)
        c = char(rng.bounded(256));
    return b;
}

// Runs an lrzsz tool with its standard input and output on the pty. A peer shares nothing with the peers of other
// test processes on the machine: it has its own pty pair and folder, and sx and rx set and flush only their
// standard input and output, never /dev/tty. Peers of runs going on at once therefore need no turns.
class Peer
{
public:
    // How the tool gets the line. lrzsz's rx flushes its terminal's input right after each 'C' and ACK it
    // sends; on a tty, a frame that comes back before that flush (a quick sender, a slow rx) is thrown away, and
    // a lost block 1 is never asked for again (rx repeats only its 'C'). Through a socket the flush takes
    // nothing, so rx reads every frame the sender wrote.
    enum class Line { Tty, Socket };

    Peer(const QString& command, const QString& pty, const QString& dir, Line on = Line::Tty) : dir_(dir)
    {
        process_.setWorkingDirectory(dir);
        if (on == Line::Socket) {
            // socat keeps no exit code of its child: the tool's is left in a file.
            socketed_ = true;
            process_.start(QStringLiteral("socat"), {QStringLiteral("FILE:%1,rawer").arg(pty),
                                                     QStringLiteral("SYSTEM:%1; echo $? >peer.rc").arg(command)});
        } else {
            process_.start(QStringLiteral("/bin/sh"),
                           {QStringLiteral("-c"), QStringLiteral("exec %1 <'%2' >'%2'").arg(command, pty)});
        }
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
    int exitCode() const
    {
        if (!socketed_)
            return process_.exitCode();
        QFile rc(QDir(dir_).filePath(QStringLiteral("peer.rc")));
        bool ok = false;
        const int code = rc.open(QIODevice::ReadOnly) ? rc.readAll().trimmed().toInt(&ok) : -1;
        return ok ? code : -1;
    }

private:
    QString dir_;
    bool socketed_ = false;
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
        Peer rx(QStringLiteral("rx -b -c -q out.bin"), pair.pathB(), dir.path(), Peer::Line::Socket);
        ComPortXmodemLine line(port);
        QList<int> counts;
        // rx takes only a lone EOT as the end and may exit before its ACK of it has gone out, so the send's own
        // verdict is not asked for here, and the EOT is sent once. On a loaded machine rx can be slow to ACK a
        // frame, so the wait for each reply is the program's own.
        XmodemLimits limits;
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

namespace {

// A peer on a clock that moves only while our side waits: each thing it sends is due at a time of that clock
// and arrives with the first read at or after it. What it heard is kept; react answers each write.
class ModelPeer : public XmodemLine
{
public:
    bool write(const QByteArray& bytes) override
    {
        heard += bytes;
        if (react)
            react(bytes);
        return true;
    }
    bool read(QByteArray& out, int waitMs) override
    {
        if (due_.isEmpty() || due_.firstKey() > now)
            now = due_.isEmpty() ? now + waitMs : std::min(now + waitMs, due_.firstKey());
        while (!due_.isEmpty() && due_.firstKey() <= now)
            out += due_.take(due_.firstKey());
        return true;
    }
    void send(qint64 at, const QByteArray& bytes) { due_.insert(at, due_.value(at) + bytes); }
    XmodemClock clock()
    {
        return {[this] { return now; }, [this](int ms) { now += ms; }};
    }

    qint64 now = 0;
    QByteArray heard;
    std::function<void(const QByteArray&)> react;

private:
    QMap<qint64, QByteArray> due_;
};

// A receiver that answers 50 ms after each sending: a good next block is kept and ACKed, a repeat of the last
// one ACKed, anything else NAKed; it takes the end frame or a lone EOT whenever it comes. The first sending of
// the blocks in `damaged` (0 for the end frame) gets the answers given there instead, each after its delay.
struct ScriptedReceiver : ModelPeer
{
    using Answers = QList<std::pair<int, char>>;
    explicit ScriptedReceiver(QMap<int, Answers> script) : damaged(std::move(script))
    {
        send(0, QByteArray(1, kXmodemCrcStart));
        react = [this](const QByteArray& bytes) {
            const bool end = bytes[0] == kXmodemEot;
            if (!end && bytes.size() != kXmodemFrame)
                return; // the closing bytes
            const int block = end ? 0 : quint8(bytes[1]);
            if (damaged.contains(block)) {
                for (const auto& [delay, answer] : damaged.take(block))
                    send(now + delay, QByteArray(1, answer));
                return;
            }
            char answer = kXmodemAck;
            if (end)
                ended = true;
            else if (block == quint8(kept.size() / kXmodemBlock + 1))
                kept += bytes.mid(3, kXmodemBlock);
            else if (block != quint8(kept.size() / kXmodemBlock))
                answer = kXmodemNak;
            send(now + 50, QByteArray(1, answer));
        };
    }
    QMap<int, Answers> damaged;
    QByteArray kept;
    bool ended = false;
};

} // namespace

TEST(Xmodem, SendTakesNoAnswerToAnEarlierSending)
{
    using A = ScriptedReceiver::Answers;
    const A nak{{50, kXmodemNak}}, twice{{50, kXmodemNak}, {50, kXmodemNak}}, late{{50, kXmodemNak}, {60, kXmodemNak}};
    const struct
    {
        const char* name;
        int blocks;
        QMap<int, A> damaged;
    } cases[] = {
        {"block 2 answered twice, block 4 once", 5, {{2, twice}, {4, nak}}},
        {"block 2 answered twice, the last block once", 3, {{2, twice}, {3, nak}}},
        {"block 2's second answer on its way, the last block damaged", 3, {{2, late}, {3, nak}}},
        {"block 2's second answer on its way, the end frame NAKed", 3, {{2, late}, {0, nak}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QBuffer file;
        file.setData(randomBytes(c.blocks * kXmodemBlock, quint32(c.blocks)));
        file.open(QIODevice::ReadOnly);
        ScriptedReceiver receiver(c.damaged);
        const XmodemResult r = XmodemSend(receiver, file, {}, {}, receiver.clock());
        EXPECT_TRUE(r.ok) << qPrintable(r.failure);
        EXPECT_EQ(r.blocks, c.blocks);
        EXPECT_EQ(receiver.kept, file.data()) << "every block arrived, each once";
        EXPECT_TRUE(receiver.ended);
    }
}

TEST(Xmodem, AnEndAfterTooLongARunOfBadFramesIsCancelled)
{
    for (const qint64 endAt : {9500, 10500}) { // the run of bad frames began at 1000; the limit is 9 s
        SCOPED_TRACE(endAt);
        ModelPeer sender;
        sender.send(0, XmodemDataFrame(1, "one"));
        QByteArray bad = XmodemDataFrame(2, "two");
        bad[131] = char(bad[131] ^ 1);
        for (qint64 at = 1000; at <= 8000; at += 1000)
            sender.send(at, bad);
        sender.send(endAt, QByteArray(1, kXmodemEot) + QByteArray(132, '\0'));
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        const XmodemResult r = XmodemReceive(sender, file, {}, {}, sender.clock());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(sender.heard.count(kXmodemCan), endAt > 10000 ? 1 : 0) << sender.heard.toHex().constData();
        EXPECT_EQ(sender.heard.endsWith(kXmodemCan), endAt > 10000);
    }
}

namespace {

// Our XMODEM against the simulated gateway's voice message transfers over its serial pty.
class XmodemSim : public ::testing::Test
{
protected:
    void start(const gatewaysim::Faults& faults)
    {
        gatewaysim::Config cfg;
        cfg.faults = faults;
        gateway = std::make_unique<gatewaysim::Gateway>(cfg);
        const QString path = gateway->startSerialPty();
        ASSERT_FALSE(path.isEmpty());
        ASSERT_TRUE(port.open(path, 9600));
        port.setTimeouts({20, 0, 0, 0, 0});
        port.write("\r");
        ASSERT_TRUE(readUntil("login: ").endsWith("login: "));
        port.write("admin\r");
        readUntil("Password: ");
        port.write("admin\r");
        ASSERT_TRUE(readUntil("OK\r\n").endsWith("OK\r\n"));
    }

    QByteArray readUntil(const QByteArray& marker, int timeoutMs = 3000)
    {
        QByteArray got;
        port.setTimeouts({20, 0, quint32(timeoutMs), 0, 0});
        char c;
        while (!got.endsWith(marker) && port.readByte(c))
            got += c;
        return got;
    }

    static XmodemLimits limits()
    {
        XmodemLimits l;
        l.byteGapMs = 200;
        l.quietMs = 600;
        l.frameWaitMs = 1000;
        l.errorWindowMs = 2000;
        l.replyMs = 2000;
        l.closingReadMs = 50;
        return l;
    }

    std::unique_ptr<gatewaysim::Gateway> gateway;
    ComPort port;
};

} // namespace

TEST_F(XmodemSim, ReadsThroughTheSendersFaults)
{
    struct Case
    {
        const char* name;
        gatewaysim::Faults faults;
        bool ok;
        int naks; // NAKs the gateway heard
    };
    auto faults = [](auto set) {
        gatewaysim::Faults f;
        f.xmodemFrame = 3;
        set(f);
        return f;
    };
    const Case cases[] = {
        {"clean", gatewaysim::Faults{}, true, 0},
        {"one CRC flip", faults([](auto& f) { f.xmodemBadTimes = 1; }), true, 1},
        {"repeated frame", faults([](auto& f) { f.xmodemRepeat = 1; }), true, 0},
        {"repeats past the error window", faults([](auto& f) { f.xmodemRepeat = 1000000; }), false, 0},
        {"pause inside a frame", faults([](auto& f) { f.xmodemPauseMs = 400; }), true, 1},
        {"0x00 before a header", faults([](auto& f) { f.xmodemZeroFirst = true; }), true, 0},
        {"eleven CRC flips", faults([](auto& f) { f.xmodemBadTimes = 11; }), false, 10},
    };
    const QByteArray message = randomBytes(1000, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        port.close();
        start(c.faults);
        gateway->setVoiceMessage(1, message);
        port.write("AT!M1=READ\r\n");
        ASSERT_TRUE(readUntil("OK\r\n").endsWith("\r\nOK\r\n"));
        gateway->clearLog();

        QBuffer file;
        file.open(QIODevice::WriteOnly);
        ComPortXmodemLine line(port);
        const XmodemResult r = XmodemReceive(line, file, {}, limits());
        EXPECT_EQ(r.ok, c.ok) << qPrintable(r.failure);
        const QByteArray last = c.ok ? QByteArray("\x06\x06") : QByteArray(1, kXmodemCan);
        QTest::qWaitFor([&] { return gateway->receivedBytes().endsWith(last); }, 2000);
        const QByteArray heard = gateway->receivedBytes();
        EXPECT_EQ(heard.count(kXmodemNak), c.naks);
        if (c.ok) {
            EXPECT_EQ(file.data(), message + QByteArray(1024 - 1000, '\0')); // each block written once
            EXPECT_FALSE(heard.contains(kXmodemCan));
        } else {
            EXPECT_TRUE(heard.endsWith(kXmodemCan)) << "nothing after the CAN";
        }
    }
}

TEST_F(XmodemSim, WritesThroughTheReceiversFaults)
{
    struct Case
    {
        const char* name;
        int badTimes; // NAKs of frame 2
        int nakEnds;
        bool ok;
        int eots; // lone EOTs after the end frame
    };
    const Case cases[] = {
        {"clean", 0, 0, true, 0},
        {"frame NAKed once", 1, 0, true, 0},
        {"end frame NAKed", 0, 1, true, 1},
        {"end never taken", 0, 100, false, 10},
        {"eleven NAKs of one frame", 11, 0, false, 0},
    };
    // A .wav file the gateway keeps as it is (its RIFF size tells where the padding begins).
    QByteArray wav = "RIFF" + QByteArray(4, '\0') + "WAVEfmt " +
                     QByteArray::fromHex("10000000060001004019000040190000010008") + QByteArray(1, '\0') + "data" +
                     QByteArray::fromHex("2c010000") + randomBytes(300, 5);
    wav[4] = char(wav.size() - 8);
    wav[5] = char((wav.size() - 8) >> 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        port.close();
        gatewaysim::Faults f;
        f.xmodemFrame = 2;
        f.xmodemBadTimes = c.badTimes;
        f.xmodemNakEnds = c.nakEnds;
        start(f);
        port.write("AT!M2=WRITE\r\n");
        ASSERT_TRUE(readUntil("OK\r\n").endsWith("\r\nOK\r\n"));
        gateway->clearLog();

        QBuffer file;
        file.setData(wav);
        file.open(QIODevice::ReadOnly);
        ComPortXmodemLine line(port);
        XmodemLimits quick = limits();
        quick.quietMs = 100; // the simulated gateway answers at once: a short silence settles the line
        const XmodemResult r = XmodemSend(line, file, {}, quick);
        EXPECT_EQ(r.ok, c.ok) << qPrintable(r.failure);
        const QByteArray last = c.ok ? QByteArray("\x11\x11") : QByteArray(1, kXmodemCan);
        QTest::qWaitFor([&] { return gateway->receivedBytes().endsWith(last); }, 2000);
        EXPECT_EQ(gateway->voiceMessage(2), c.ok ? wav : QByteArray());
        const QByteArray heard = gateway->receivedBytes();
        if (c.badTimes > 10) {
            EXPECT_TRUE(heard.endsWith(kXmodemCan));
            continue;
        }
        const qsizetype endFrame = heard.indexOf(QByteArray(1, kXmodemEot) + QByteArray(132, '\0'));
        ASSERT_GE(endFrame, 0) << "the 133-byte end frame comes first";
        EXPECT_EQ(heard.mid(endFrame + 133).count(kXmodemEot), c.eots);
    }
}
