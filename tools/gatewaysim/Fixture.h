#pragma once
// The parameters a simulated gateway starts with, read from a fixture file (format in docs/gatewaysim.md).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>

namespace gatewaysim {

struct Parameter
{
    QByteArray key;           // "S91"
    QList<QByteArray> views;  // view commands that list the key: "AT&V", "AT&V0", ...
    QRegularExpression shape; // what a set value must look like, matched against the whole value
    QByteArray value;         // raw value as the gateway lists it
};

struct Fixture
{
    int pageSize = 20;            // lines per page of a paged listing
    QList<QByteArray> pagedViews; // view commands whose listing comes in pages
    QList<QByteArray> tableViews; // view commands listed as a table (gatewaysim/Tables.h)
    QHash<QByteArray, QByteArray> listingTitles; // view -> the title line of a table listing ("title AT&R = ...")
    QList<Parameter> parameters;  // in file order

    // Reads a fixture; on failure returns false with "line N: what" in error.
    static bool parse(const QString& text, Fixture& out, QString* error);
    static bool load(const QString& path, Fixture& out, QString* error);
    // The fixture built into the simulator (fixtures/default.ini).
    static QString builtInText();
};

// The view commands a gateway knows even when no key of the fixture is listed by them.
QList<QByteArray> standardViews();

} // namespace gatewaysim
