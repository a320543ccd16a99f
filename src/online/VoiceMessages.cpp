#include "online/VoiceMessages.h"

#include "link/LinkIo.h"
#include "link/ReplyParsers.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"

#include <QIODevice>
#include <QtEndian>
#include <algorithm>

namespace {

bool holdsFinal(const QByteArray& text)
{
    const QByteArray upper = text.toUpper();
    return upper.contains("OK") || upper.contains("ERROR") || upper.contains("BUSY");
}

bool refused(const QByteArray& reply)
{
    return reply.isEmpty() || reply.contains("ERROR") || reply.contains("BUSY");
}

} // namespace

VoiceView CheckVoiceView(const QByteArray& reply)
{
    VoiceView v;
    if (refused(reply)) {
        v.failText = 477;
        return v;
    }
    const QByteArray value = ReplyValue("File length:", reply).trimmed();
    if (value.isEmpty()) {
        v.failText = 786;
        return v;
    }
    bool ok = false;
    v.length = value.toLongLong(&ok);
    if (!ok || v.length <= 0)
        v.failText = 477;
    return v;
}

int CheckVoiceViewForErase(const QByteArray& reply)
{
    if (refused(reply))
        return 477;
    return ReplyValue("File length:", reply).trimmed().isEmpty() ? 786 : 0;
}

QStringList VoiceDescription(const QByteArray& reply, const Tlabels& labels)
{
    struct Line
    {
        int text;
        const char* english;
        const char* key;
    };
    static const Line lines[] = {
        {179, "File length : ", "File length: "},     {180, "Data Codec : ", "Data Codec: "},
        {181, "Samples/sec : ", "Samples/sec: "},     {182, "Data length : ", "Data length: "},
        {183, "Data duration : ", "Data duration: "},
    };
    QStringList out;
    for (const Line& l : lines) {
        const QString entry = labelAt(labels, l.text);
        const QString caption = entry.isEmpty() ? QString::fromLatin1(l.english) : entry + QLatin1Char(' ');
        out.append(caption + QString::fromLatin1(ReplyValue(l.key, reply)));
    }
    return out;
}

QString VoiceMessageName(int index, const Tlabels& labels)
{
    switch (index) {
    case 0:
        return labelOr(labels, 677, QStringLiteral("Disa message"));
    case 1:
    case 2:
        return labelOr(labels, 875, QStringLiteral("Virtual ring tone")) + QStringLiteral(" %1").arg(index);
    default:
        return {};
    }
}

int VoiceRecordLimit(int index)
{
    if (index == 0)
        return 64;
    return index == 5 ? 16 : 8;
}

namespace {

// The end of a voice wait: its own limit, or voiceWaits.closingMs after the program began to close (the program
// waits for these steps before it ends), whichever comes first.
class VoiceDeadline
{
public:
    explicit VoiceDeadline(int limitMs) : end_(Clock::milliseconds() + limitMs) {}
    bool passed()
    {
        if (!closing_ && closingProgram()) {
            closing_ = true;
            end_ = std::min(end_, Clock::milliseconds() + voiceWaits.closingMs);
        }
        return Clock::milliseconds() >= end_;
    }

private:
    qint64 end_;
    bool closing_ = false;
};

} // namespace

QByteArray VoiceReplyWait(int leastMs)
{
    const qint64 settled = Clock::milliseconds() + leastMs;
    VoiceDeadline deadline(voiceWaits.replyMs);
    QByteArray text;
    constexpr qsizetype kPieceSize = 512;
    // The gateway's login prompt, looked at where the link's text arrives (each piece as its line's continuation),
    // makes the port count as lost.
    do {
        const QByteArray piece = ReadReply(kPieceSize);
        if (piece.isEmpty())
            WaitPumping(50); // a port that answers at once with nothing must not be asked in a tight loop
        text += piece;
    } while (!holdsFinal(text) && !deadline.passed() && !LinkPortLost()); // no answer comes over a lost port
    if (const qint64 left = settled - Clock::milliseconds(); left > 0)
        PauseOnLink(int(left));
    return text;
}

bool VoiceEraseWait(const std::shared_ptr<ComPort>& port, const QByteArray& marker, int limitMs)
{
    VoiceDeadline deadline(limitMs);
    QByteArray text;
    for (;;) {
        WaitPumping(voiceWaits.erasePollMs);
        text += ComRead(port.get(), 512, true); // the link's port: its text is looked at for the prompt as it arrives
        if (LinkSessionEnded())
            return false;
        if (text.contains(marker))
            return true;
        if (deadline.passed() || port->isDisconnected())
            return false;
    }
}

bool IsWaveFile(QIODevice& file)
{
    const qint64 start = file.pos();
    auto chunkHeader = [&file](qint64 at, QByteArray& id, quint32& size) {
        if (!file.seek(at))
            return false;
        const QByteArray head = file.read(8);
        if (head.size() < 8)
            return false;
        id = head.left(4);
        size = qFromLittleEndian<quint32>(head.constData() + 4);
        return true;
    };
    QByteArray id;
    quint32 size = 0;
    bool wave = chunkHeader(0, id, size) && id == "RIFF" && file.read(4) == "WAVE";
    bool format = false, data = false;
    // The chunks follow one another, each padded to an even length.
    for (qint64 at = 12; wave && !(format && data) && chunkHeader(at, id, size); at += 8 + qint64(size) + (size & 1)) {
        format = format || id == "fmt ";
        data = data || id == "data";
    }
    file.seek(start);
    return wave && format && data;
}
