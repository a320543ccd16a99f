#include "link/GatewayList.h"

#include "platform/Cp1250.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"


namespace {

QString shifted(const QString& text, int direction)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int position = int((i + 1) % 256);
        out.append(fromCp1250(quint8(toCp1250(text.at(i)) + direction * position)));
    }
    return out;
}

const QString kHost = QStringLiteral("Host");
const QString kPort = QStringLiteral("Port");
const QString kPhone = QStringLiteral("PhoneNumber");
const QString kUser = QStringLiteral("Username");
const QString kPassword = QStringLiteral("Password");
const QString kFile = QStringLiteral("File");

} // namespace

QString gatewayListPath()
{
    return programFile(QStringLiteral("gtws.ini"));
}

QString unnamedGateFile()
{
    return programFile(QStringLiteral("unnamed.ini"));
}

QString ShiftEncode(const QString& text)
{
    return shifted(text, +1);
}

QString ShiftDecode(const QString& stored)
{
    return shifted(stored, -1);
}

bool ShiftStorable(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const quint8 code = toCp1250(c);
        if (fromCp1250(code) != c)
            return false;
        const quint8 stored = quint8(code + (i + 1) % 256);
        if (stored == 0x00 || stored == '\r' || stored == '\n')
            return false;
    }
    return true;
}

QStringList GatewayNames()
{
    return IniFile(gatewayListPath()).ReadSections();
}

bool GatewayListed(const QString& name)
{
    return !name.isEmpty() && IniFile(gatewayListPath()).SectionExists(name);
}

bool ReadGatewayEntry(const QString& name, GatewayEntry& entry)
{
    const IniFile list(gatewayListPath());
    if (name.isEmpty() || !list.SectionExists(name))
        return false;
    entry.Name = name;
    entry.Host = list.ReadString(name, kHost, QStringLiteral("0.0.0.0"));
    entry.Port = list.ReadInteger(name, kPort, 1001);
    entry.PhoneNumber = list.ReadString(name, kPhone, QString());
    entry.Username = ShiftDecode(list.ReadString(name, kUser, QString()));
    entry.Password = ShiftDecode(list.ReadString(name, kPassword, QString()));
    entry.File = list.ReadString(name, kFile, QString());
    return true;
}

GatewayEntry UnnamedGatewayEntry()
{
    GatewayEntry entry;
    entry.Name = kUnnamedGateway;
    entry.Port = 1001;
    entry.File = unnamedGateFile();
    return entry;
}

bool WriteGatewayEntry(const GatewayEntry& entry, const QString& oldName)
{
    IniFile list(gatewayListPath());
    // A rename (also one that only changes the letter case) rewrites the section under its new name.
    if (!oldName.isEmpty() && oldName != entry.Name)
        list.EraseSection(oldName);
    const QString& s = entry.Name;
    list.WriteString(s, kHost, entry.Host);
    list.WriteInteger(s, kPort, entry.Port);
    list.WriteString(s, kPhone, entry.PhoneNumber);
    list.WriteString(s, kUser, ShiftEncode(entry.Username));
    list.WriteString(s, kPassword, ShiftEncode(entry.Password));
    list.WriteString(s, kFile, entry.File);
    return list.UpdateFile();
}

bool RemoveGatewayEntry(const QString& name)
{
    IniFile list(gatewayListPath());
    list.EraseSection(name);
    return list.UpdateFile();
}

bool RemoveAllGatewayEntries()
{
    IniFile list(gatewayListPath());
    for (const QString& name : list.ReadSections())
        list.EraseSection(name);
    return list.UpdateFile();
}
