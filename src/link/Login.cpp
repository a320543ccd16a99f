#include "link/Login.h"

#include "link/GatewayList.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/ModemWaits.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "texts/Labels.h"
#include "texts/ProgramVersion.h"

#include <QRegularExpression>

namespace {

constexpr int kPromptTries = 10;
constexpr int kPromptWaitMs = 200;
constexpr int kAlreadyInWaitMs = 100;
constexpr int kCredentialWaitMs = 1000;
constexpr int kIdentWaitMs = 200;
constexpr int kIdentSecondWaitMs = 10;
constexpr qsizetype kLoginReadSize = 1024;
constexpr qsizetype kIdentReadSize = 4096;

// A user name or password as the gateway gets it: 8-bit Windows-1250, the code the gateway list stores them in
// ("?" for a character that code lacks). Latin-1 would turn letters such as "č" into "?".
QByteArray credentialBytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes += char(toCp1250(c));
    return bytes;
}

bool hasPrompt(const QByteArray& text)
{
    return text.contains("MX login:") || text.contains("MY login:");
}

// Once the program closes the login writes nothing more (its waits handle the window's events, the close among
// them): the login fails, and the connect ends.
bool writeAll(const ConnectionRecord& conn, const QByteArray& text)
{
    return !closingProgram() && LinkWrite(conn, text) == quint32(text.size());
}

// A reply as the gate file keeps it: up to its closing "OK", without the line ends around it, the line ends
// within it turned into ",".
QByteArray keptReply(QByteArray reply)
{
    const qsizetype ok = reply.lastIndexOf("\r\nOK\r\n");
    if (ok >= 0)
        reply.truncate(ok);
    while (reply.startsWith("\r\n"))
        reply.remove(0, 2);
    reply.replace("\r\n", ",");
    return reply;
}

struct Identification
{
    QByteArray ati4;
    QByteArray ati3;
};

Identification identify()
{
    Identification id;
    const bool modem = CurrentConnection.LinkType == LinkModem;
    ReplyReading reading;
    reading.size = kIdentReadSize;
    id.ati4 = Exchange(QByteArrayLiteral("ATI4\r\n"), modem ? modemIdentWaitMs : kIdentWaitMs, reading).reply;
    id.ati3 = Exchange(QByteArrayLiteral("ATI3\r\n"), kIdentSecondWaitMs, reading).reply;
    ati4Reply = keptReply(id.ati4);
    ati3Reply = keptReply(id.ati3);
    return id;
}

// The line of text that holds marker, from the marker to the line's end.
QByteArray lineFrom(const QByteArray& text, const QByteArray& marker)
{
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return {};
    qsizetype end = text.indexOf('\r', at);
    const qsizetype lf = text.indexOf('\n', at);
    if (end < 0 || (lf >= 0 && lf < end))
        end = lf;
    return (end < 0 ? text.mid(at) : text.mid(at, end - at)).trimmed();
}

// The first line of a reply that carries text, neither the command's echo nor the closing "OK".
QByteArray firstTextLine(const QByteArray& reply, const QByteArray& command)
{
    for (QByteArray line : reply.split('\n')) {
        line = line.trimmed();
        if (!line.isEmpty() && line != command && line != "OK")
            return line;
    }
    return {};
}

struct VersionNumbers
{
    int line1 = -1;
    int line2 = -1;
    int build = -1;
};

// The answer within the login dialogue: the prompt may come again in it (a login refused), and it is the
// dialogue's, not the session's end.
QByteArray loginReply()
{
    ReplyReading reading;
    reading.size = kLoginReadSize;
    reading.loginPromptExpected = true;
    return ReadReply(reading);
}

VersionNumbers versionNumbers(const QString& version)
{
    static const QRegularExpression pattern(QStringLiteral("(\\d+)\\.(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch m = pattern.match(version);
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
}

} // namespace

bool LoginToGateway(ConnectionRecord conn, GatewayEntry* gateway, const QByteArray& received)
{
    const NeverLooksScope dialogue; // the prompts are its own
    if (received.contains("Password:")) {
        // A login left half done: a CR ends it, and the gateway asks from the start. Its new prompt is read
        // together with the reply to the user name.
        if (!writeAll(conn, "\r"))
            return false;
    } else if (!hasPrompt(received)) {
        QByteArray seen = received;
        for (int i = 0; i < kPromptTries && !hasPrompt(seen); ++i) {
            if (!writeAll(conn, "\r\n"))
                return false;
            WaitPumping(kPromptWaitMs);
            seen += LinkRead(kLoginReadSize);
        }
        if (!hasPrompt(seen)) {
            // No prompt: the gateway is logged in already (a serial line keeps its session).
            if (!writeAll(conn, "AT\r\n"))
                return false;
            WaitPumping(kAlreadyInWaitMs);
            return loginReply().contains("OK\r\n");
        }
    }

    if (gateway && gateway->Name == kUnnamedGateway && gateway->Username.isEmpty() && askLoginHook) {
        if (!askLoginHook(*gateway))
            return false;
    }
    const QByteArray user = gateway ? credentialBytes(gateway->Username) : QByteArray();
    const QByteArray password = gateway ? credentialBytes(gateway->Password) : QByteArray();
    const int wait = conn.LinkType == LinkModem ? modemCredentialWaitMs : kCredentialWaitMs;

    if (!writeAll(conn, user + '\r'))
        return false;
    WaitPumping(wait);
    LinkRead(kLoginReadSize);
    if (!writeAll(conn, password + '\r'))
        return false;
    WaitPumping(wait);
    return loginReply().contains("OK\r\n");
}

bool IsModelY(const QByteArray& identification)
{
    return identification.startsWith("MY") || identification.contains(" MY");
}

int QueryGatewayModel()
{
    // Any "MY" in the reply, also right after a line end.
    const Identification id = identify();
    if (!id.ati3.contains("MY"))
        return 0;
    gatewayModel = 1;
    return 1;
}

QString ReadGatewayInfo(bool versionCheck, int* size)
{
    const Identification id = identify();
    const QByteArray sw = lineFrom(id.ati4, "SW : ");
    if (!id.ati4.contains("OK") || !id.ati3.contains("OK") || sw.isEmpty() || !sw.contains('/'))
        return QStringLiteral("error");
    if (size)
        *size = IsModelY(id.ati3) ? 1 : 0;

    if (versionCheck) {
        const QString firmware = QString::fromLatin1(sw.mid(sw.indexOf('/') + 1)).trimmed();
        if (!FirmwareVersionSupported(firmware))
            MessageBox(labelText(46), labelText(45), MB_ICONWARNING);
    }

    const QByteArray name = firstTextLine(id.ati3, "ATI3");
    QByteArray info = sw;
    if (!name.isEmpty() && !name.contains('/') && !name.contains("SW : "))
        info = name + "  " + sw;
    return QString::fromLatin1(info);
}

bool FirmwareVersionSupported(const QString& version)
{
    const VersionNumbers v = versionNumbers(version);
    if (v.build < 0)
        return false;
    bool lineKnown = false;
    int minimum = 0;
    for (const QString& carried : {firmwareVersion1, firmwareVersion2, firmwareVersion3, firmwareVersion4}) {
        const VersionNumbers c = versionNumbers(carried);
        if (c.line1 != v.line1 || c.line2 != v.line2)
            continue;
        minimum = lineKnown ? qMin(minimum, c.build) : c.build;
        lineKnown = true;
    }
    return lineKnown && v.build >= minimum;
}
