// Voice messages: "AT!M<n>=view" describes message n, "=READ" sends it over XMODEM-CRC, "=WRITE" receives it,
// "=ERASE" erases it, "=RECORD" records it over a call. A message is kept as the bytes of a .wav file.
#include "gatewaysim/Session.h"
#include "gatewaysim/XmodemModes.h"

#include <QRegularExpression>
#include <QtEndian>

namespace gatewaysim {

namespace {

constexpr int kMessages = 6; // DISA, four ring tones, PRI

struct WavInfo
{
    bool valid = false;
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint32 byteRate = 0;
    quint16 bits = 0;
    quint32 dataLength = 0;
    qsizetype riffEnd = 0; // 8 + the RIFF size: where the file ends, padding left aside
};

WavInfo parseWav(const QByteArray& b)
{
    WavInfo w;
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return w;
    w.riffEnd = 8 + qFromLittleEndian<quint32>(b.constData() + 4);
    bool fmt = false, data = false;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(b.constData() + at + 4);
        if (id == "fmt " && size >= 16 && at + 8 + 16 <= b.size()) {
            const char* p = b.constData() + at + 8;
            w.format = qFromLittleEndian<quint16>(p);
            w.channels = qFromLittleEndian<quint16>(p + 2);
            w.rate = qFromLittleEndian<quint32>(p + 4);
            w.byteRate = qFromLittleEndian<quint32>(p + 8);
            w.bits = qFromLittleEndian<quint16>(p + 14);
            fmt = true;
        } else if (id == "data") {
            w.dataLength = size;
            data = true;
        }
        at += 8 + size + (size & 1);
    }
    w.valid = fmt && data;
    return w;
}

QByteArray codecName(const WavInfo& w)
{
    QByteArray name;
    switch (w.format) {
    case 1:
        name = "PCM";
        break;
    case 6:
        name = "A-law";
        break;
    case 7:
        name = "u-law";
        break;
    default:
        return "unknown";
    }
    return name + ' ' + QByteArray::number(w.bits) + " bit";
}

// "File length: 8044", "Data Codec: A-law 8 bit", "Samples/sec: 8000", "Data length: 8000",
// "Data duration: 1.00 s"; for an empty message every number is 0.
QList<QByteArray> describe(const QByteArray& message)
{
    const WavInfo w = parseWav(message);
    const double seconds = w.valid && w.byteRate > 0 ? double(w.dataLength) / w.byteRate : 0.0;
    return {"File length: " + QByteArray::number(message.size()),
            "Data Codec: " + (w.valid ? codecName(w) : QByteArray("none")),
            "Samples/sec: " + QByteArray::number(w.valid ? w.rate : 0),
            "Data length: " + QByteArray::number(w.valid ? w.dataLength : 0),
            "Data duration: " + QByteArray::number(seconds, 'f', 2) + " s"};
}

// What a call leaves: one second of A-law silence at 8000 samples per second.
QByteArray recordedMessage()
{
    const quint32 samples = 8000;
    QByteArray b("RIFF");
    auto u32 = [&b](quint32 v) {
        char x[4];
        qToLittleEndian(v, x);
        b.append(x, 4);
    };
    auto u16 = [&b](quint16 v) {
        char x[2];
        qToLittleEndian(v, x);
        b.append(x, 2);
    };
    u32(36 + samples);
    b += "WAVEfmt ";
    u32(16);
    u16(6);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    b += "data";
    u32(samples);
    b += QByteArray(int(samples), char(0xD5));
    return b;
}

// A received message loses the padding of the last block when it is a .wav file that says where it ends.
QByteArray withoutPadding(const QByteArray& data)
{
    const WavInfo w = parseWav(data);
    return w.riffEnd > 8 && w.riffEnd <= data.size() ? data.left(w.riffEnd) : data;
}

class VoiceRecording : public ModeHandler
{
public:
    void start(int message) { message_ = message; }
    void enter(Session& session) override
    {
        if (!connected_) {
            timer_.setSingleShot(true);
            QObject::connect(&timer_, &QTimer::timeout, &session, [this, &session] { complete(session); });
            connected_ = true;
        }
        timer_.start(session.config().voiceRecordMs);
    }
    void leave(Session&) override { timer_.stop(); }

protected:
    // A line end ends the call, and with it the recording.
    void onLine(Session& session, const QByteArray&, bool) override { complete(session); }

private:
    void complete(Session& session)
    {
        timer_.stop();
        session.state().setVoiceMessage(message_, recordedMessage());
        session.switchTo(Mode::Command);
        session.sendReply({});
    }

    int message_ = 0;
    QTimer timer_;
    bool connected_ = false;
};

} // namespace

void installVoiceCommands(HandlerTable& table)
{
    table.setMode(Mode::VoiceRecord, [] { return std::make_unique<VoiceRecording>(); });
    table.commands(Mode::Command)
        .add("AT!M<n>=view|READ|WRITE|ERASE|RECORD", [](Session& session, const QByteArray& body) {
            static const QRegularExpression re(QStringLiteral("^!M([0-9])=(view|READ|WRITE|ERASE|RECORD)$"));
            const QRegularExpressionMatch m = re.match(QString::fromLatin1(body));
            if (!m.hasMatch())
                return false;
            const int n = m.captured(1).toInt();
            const QString what = m.captured(2);
            if (n >= kMessages) {
                session.sendError();
                return true;
            }
            const Faults f = session.faults();
            GatewayState& state = session.state();
            if (what == QLatin1String("view")) {
                if (!f.voiceView.isEmpty())
                    session.sendReply(f.voiceView.split('\n'));
                else
                    session.sendReply(describe(state.voiceMessage(n)));
            } else if (what == QLatin1String("ERASE")) {
                state.setVoiceMessage(n, {});
                session.sendReply({});
            } else if (what == QLatin1String("RECORD")) {
                session.handler<VoiceRecording>(Mode::VoiceRecord).start(n);
                if (session.config().voiceRecordMs <= 0) {
                    state.setVoiceMessage(n, recordedMessage());
                    session.sendReply({});
                } else {
                    session.switchTo(Mode::VoiceRecord);
                }
            } else if (f.voiceBusy) {
                session.send("\r\nBusy\r\n");
            } else if (what == QLatin1String("READ")) {
                session.sendReply({});
                session.handler<XmodemSender>(Mode::XmodemSend).start(state.voiceMessage(n), {});
                session.switchTo(Mode::XmodemSend);
            } else { // WRITE
                session.sendReply({});
                session.handler<XmodemReceiver>(Mode::XmodemReceive)
                    .start([n](Session& s, bool ok, const QByteArray& data) {
                        if (ok)
                            s.state().setVoiceMessage(n, withoutPadding(data));
                    });
                session.switchTo(Mode::XmodemReceive);
            }
            return true;
        });
}

} // namespace gatewaysim
