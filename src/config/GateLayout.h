#pragma once
// The layout of the gate file: which member of the image each key holds and how its value is spelt.
// Internal to the gate-file reader and writer; docs/gate-file.md is the same table in prose.
#include "config/Parametres.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Text escapes of the gate file: "\\" a backslash, "\n" LF, "\r" CR, "\t" TAB, and inside a value of several
// fields "\," a comma that belongs to the field. An unknown escape is kept as it stands.
QString escapeGateText(const QString& text, bool inFields);
QString unescapeGateText(const QString& text);
// Splits a value of several fields at the commas that are not escaped, and unescapes each field.
QStringList splitGateFields(const QString& value);

// One key: its section, the mask bit(s) that select it, and how the image's members become its value and
// back. decode returns false for a value it cannot read and leaves the image untouched then. The default of
// a key is what encode gives for a default image, unless defaultValue says otherwise.
struct GateKey
{
    int bit;
    const char* section;
    QString name;
    std::function<QString(const TParametres&)> encode;
    std::function<bool(TParametres&, const QString&)> decode;
    std::function<QString()> defaultValue = nullptr;
};

// One long table: rows "<prefix>0" .. "<prefix>(maxRows-1)", each holding one row text.
struct GateTable
{
    int bit;
    const char* section;
    QString prefix;
    int maxRows;
    std::function<std::vector<QString>&(TParametres&)> rows;
    std::function<const std::vector<QString>&(const TParametres&)> constRows;
    std::function<bool(const QString&)> rowFits = nullptr; // a row that does not fit is damaged; none: any row
};

// In writing order; the sections come in the order of a freshly written file.
const std::vector<GateKey>& gateKeys();
const std::vector<GateTable>& gateTables();
// The section names in the order of a freshly written file.
const std::vector<const char*>& gateSectionOrder();
