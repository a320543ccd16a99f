#include "config/GateFile.h"
#include "config/GateLayout.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "texts/Labels.h"

#include <QFileInfo>
#include <algorithm>
#include <map>
#include <optional>

namespace {

bool selected(int mask, int bit)
{
    return (mask & bit) == bit;
}

QString section(const char* name)
{
    return QString::fromLatin1(name);
}

QString where(const char* sectionName, const QString& key)
{
    return section(sectionName) + QLatin1Char('/') + key;
}

bool fileReadable(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.isReadable();
}

// The row keys of a table that a section holds: index -> key as spelt in the file. Keys that look like rows
// but name a row the gateway has no register for, or spell the index oddly ("L07"), are listed apart.
struct RowKeys
{
    std::map<int, QString> rows;
    QStringList odd;
};

RowKeys tableRowKeys(const IniFile& ini, const GateTable& table)
{
    RowKeys found;
    for (const QString& key : ini.ReadSection(section(table.section))) {
        if (key.size() <= table.prefix.size() ||
            key.left(table.prefix.size()).compare(table.prefix, Qt::CaseInsensitive) != 0)
            continue;
        const QString digits = key.mid(table.prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            continue; // some other key that starts with the same letter
        bool ok = false;
        const int index = digits.toInt(&ok);
        if (ok && index < table.maxRows && QString::number(index) == digits)
            found.rows[index] = key;
        else
            found.odd << key;
    }
    return found;
}

QString defaultValue(const GateKey& key)
{
    static const TParametres defaults;
    return key.defaultValue ? key.defaultValue() : key.encode(defaults);
}

void noteFailed(GateReadReport& report, const char* sectionName)
{
    if (!report.failedSections.contains(section(sectionName)))
        report.failedSections << section(sectionName);
}

} // namespace

bool readGateSections(TParametres& image, const QString& path, int mask, GateReadReport* report)
{
    GateReadReport local;
    GateReadReport& r = report ? *report : local;
    r = GateReadReport{};

    const bool readable = fileReadable(path);
    std::optional<IniFile> ini;
    QStringList damaged;
    if (readable) {
        ini.emplace(path);
        const auto& sections = gateSectionOrder();
        const bool gateFile = std::any_of(sections.begin(), sections.end(),
                                          [&ini](const char* name) { return ini->SectionExists(section(name)); });
        if (!gateFile) {
            r.notGateFile = true;
            return false;
        }
        damaged = ini->damagedSections();
    }
    auto noteDamaged = [&](const char* sectionName) {
        if (damaged.contains(section(sectionName), Qt::CaseInsensitive))
            noteFailed(r, sectionName);
    };

    bool anySelected = false;
    for (const GateKey& key : gateKeys()) {
        if (!selected(mask, key.bit))
            continue;
        anySelected = true;
        noteDamaged(key.section);
        const QString sectionName = section(key.section);
        if (!ini || !ini->ValueExists(sectionName, key.name)) {
            r.absentKeys << where(key.section, key.name);
            key.decode(image, defaultValue(key));
            continue;
        }
        if (!key.decode(image, ini->ReadString(sectionName, key.name, QString()))) {
            r.badKeys << where(key.section, key.name);
            noteFailed(r, key.section);
            key.decode(image, defaultValue(key));
        }
    }

    for (const GateTable& table : gateTables()) {
        if (!selected(mask, table.bit))
            continue;
        anySelected = true;
        noteDamaged(table.section);
        std::vector<QString>& rows = table.rows(image);
        rows.clear();
        if (!ini)
            continue;
        const int badBefore = int(r.badKeys.size());
        const RowKeys keys = tableRowKeys(*ini, table);
        for (const QString& key : keys.odd)
            r.badKeys << where(table.section, key);
        // Rows follow their index; a gap in the numbering closes up.
        for (const auto& [index, key] : keys.rows) {
            const QString text = unescapeGateText(ini->ReadString(section(table.section), key, QString()));
            if (text.isEmpty() || (table.rowFits && !table.rowFits(text)))
                r.badKeys << where(table.section, key);
            else
                rows.push_back(text);
        }
        if (int(r.badKeys.size()) > badBefore)
            noteFailed(r, table.section);
    }

    // Report the failed sections in the order a file has them, whatever order they were read in.
    const auto& order = gateSectionOrder();
    std::sort(r.failedSections.begin(), r.failedSections.end(), [&order](const QString& a, const QString& b) {
        auto rank = [&order](const QString& name) {
            return std::find_if(order.begin(), order.end(),
                                [&name](const char* s) { return name == QLatin1String(s); }) -
                   order.begin();
        };
        return rank(a) < rank(b);
    });
    r.fileMissing = anySelected && !readable;
    return r.ok();
}

bool ReadGateFile(TParametres& image, const QString& path, int mask, GateReadReport* result)
{
    GateReadReport local;
    GateReadReport& report = result ? *result : local;
    readGateSections(image, path, mask, &report);
    if (report.notGateFile) {
        MessageBox(labelText(kNotGateFileText) + QLatin1Char('\n') + path, labelText(kGateErrorCaption),
                   MB_ICONERROR);
        gateReadSuccess = false;
    }
    if (report.fileMissing) {
        MessageBox(labelText(kGateFileMissingText) + QLatin1Char('\n') + path, labelText(kGateErrorCaption),
                   MB_ICONERROR);
        gateReadSuccess = false;
    }
    for (const QString& failed : report.failedSections) {
        if (failed != section(kSectionAutorouting))
            MessageBox(labelText(kGateSectionErrorText) + QLatin1Char('\n') + path + QLatin1String(" [") + failed +
                           QLatin1Char(']'),
                       labelText(kGateErrorCaption), MB_ICONERROR);
        gateReadSuccess = false;
    }
    return gateReadSuccess;
}

bool WriteGateFile(const TParametres& image, const QString& path, int mask)
{
    // A file that is there but cannot be read would be replaced by our sections alone; keep it instead.
    if (QFileInfo::exists(path) && !fileReadable(path))
        return false;

    IniFile ini(path);
    for (const char* sectionName : gateSectionOrder()) {
        const QString name = section(sectionName);
        for (const GateKey& key : gateKeys())
            if (key.section == sectionName && selected(mask, key.bit))
                ini.WriteString(name, key.name, key.encode(image));
        for (const GateTable& table : gateTables()) {
            if (table.section != sectionName || !selected(mask, table.bit))
                continue;
            const RowKeys old = tableRowKeys(ini, table);
            for (const auto& [index, key] : old.rows)
                ini.DeleteKey(name, key);
            for (const QString& key : old.odd)
                ini.DeleteKey(name, key);
            // Empty rows carry nothing and rows past the gateway's registers have nowhere to go.
            int index = 0;
            for (const QString& row : table.constRows(image)) {
                if (row.isEmpty())
                    continue;
                if (index == table.maxRows)
                    break;
                ini.WriteString(name, table.prefix + QString::number(index++), escapeGateText(row, false));
            }
        }
    }
    return ini.UpdateFile();
}
