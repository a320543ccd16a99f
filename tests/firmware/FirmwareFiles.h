#pragma once
// Firmware files for the upgrade tests, made by the tools people make them with (objcopy, srec_cat), and a
// comparison of two HEX images by srec_cmp.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace fwtest {

inline bool run(const QString& program, const QStringList& args, QString* output = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// bytes of random payload as an Intel HEX file by objcopy (16 bytes a record; extended segment records past
// 64 KiB), its line ends turned into CR LF when crlf.
inline bool objcopyHex(const QString& binPath, const QString& hexPath, qsizetype bytes, bool crlf)
{
    QByteArray payload(bytes, '\0');
    for (auto& b : payload)
        b = char(QRandomGenerator::global()->bounded(256));
    if (!writeFile(binPath, payload) || !run("objcopy", {"-I", "binary", "-O", "ihex", binPath, hexPath}))
        return false;
    if (!crlf)
        return true;
    QByteArray text = readFile(hexPath);
    text.replace("\r\n", "\n").replace("\n", "\r\n");
    return writeFile(hexPath, text);
}

// True when srec_cmp finds the same data in both Intel HEX files.
inline bool sameImage(const QString& a, const QString& b, QString* detail = nullptr)
{
    return run("srec_cmp", {a, "-intel", b, "-intel"}, detail);
}

} // namespace fwtest
