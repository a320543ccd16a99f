#include "link/CommLog.h"

#include "link/LinkState.h"
#include "platform/ProgramDir.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex logMutex;
std::shared_ptr<QFile> openLog; // guarded by logMutex

QByteArray escaped(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() + 16);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 0x0F];
            } else {
                out += ch;
            }
        }
    }
    return out;
}

void writeChunk(char direction, const QByteArray& bytes)
{
    QMutexLocker lock(&logMutex);
    if (!openLog)
        return;
    QByteArray line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toLatin1();
    line += ' ';
    line += direction;
    line += ' ';
    line += escaped(bytes);
    line += '\n';
    openLog->write(line);
    openLog->flush(); // the log is read after a failure; nothing may stay behind in a buffer
}

} // namespace

bool OpenCommLog(ConnectionRecord& conn)
{
    CloseCommLog(conn);
    if (!conn.SaveLog)
        return false;

    const QDateTime now = QDateTime::currentDateTime();
    const QString name = conn.Append
                             ? QStringLiteral("comlog.txt")
                             : QStringLiteral("comlog_%1.txt").arg(now.toString(QStringLiteral("yyyyMMdd_hhmmss")));
    auto file = std::make_shared<QFile>(programFile(name));
    // Append also without "Append": a reconnection within the same second must not wipe the first file.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    file->write("==== " + now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toLatin1() + " connected ====\n");
    file->flush();

    QMutexLocker lock(&logMutex);
    openLog = file;
    conn.CommLog = file;
    return true;
}

void CloseCommLog(ConnectionRecord& conn)
{
    QMutexLocker lock(&logMutex);
    if (openLog)
        openLog->close();
    openLog.reset();
    if (conn.CommLog)
        conn.CommLog->close();
    conn.CommLog.reset();
}

QString commLogPath()
{
    QMutexLocker lock(&logMutex);
    return openLog ? openLog->fileName() : QString();
}

void LogSent(const QByteArray& bytes)
{
    writeChunk('>', bytes);
}

void LogReceived(const QByteArray& bytes)
{
    writeChunk('<', bytes);
}
