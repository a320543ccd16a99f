#include "gatewaysim/Fixture.h"

#include "gatewaysim/Tables.h"

#include <QFile>
#include <QHash>

namespace gatewaysim {

namespace {

bool fail(QString* error, int line, const QString& what)
{
    if (error)
        *error = QStringLiteral("line %1: %2").arg(line).arg(what);
    return false;
}

QList<QByteArray> splitWords(const QString& text)
{
    QList<QByteArray> words;
    for (const QString& w : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words.append(w.toLatin1());
    return words;
}

// Checks the keys that a section has just finished.
bool finishKeys(const QList<Parameter>& parameters, const QList<int>& current, bool hasShape, int sectionLine,
                QString* error)
{
    for (int i : current) {
        const Parameter* p = &parameters[i];
        if (!hasShape)
            return fail(error, sectionLine, QStringLiteral("key %1 has no shape").arg(QString::fromLatin1(p->key)));
        if (!p->shape.match(QString::fromLatin1(p->value)).hasMatch())
            return fail(error, sectionLine,
                        QStringLiteral("value of %1 does not match its shape").arg(QString::fromLatin1(p->key)));
    }
    return true;
}

// The keys a section names: one key, or a numbered range "R00..R63" (the same letters, numbers of the first
// one's width). Empty for a range that is not one.
QList<QByteArray> sectionKeys(const QString& name)
{
    static const QRegularExpression range(QStringLiteral("^([A-Za-z]+)([0-9]+)\\.\\.([A-Za-z]+)([0-9]+)$"));
    const QRegularExpressionMatch m = range.match(name);
    if (!name.contains(QLatin1String("..")))
        return {name.toLatin1()};
    if (!m.hasMatch() || m.captured(1) != m.captured(3))
        return {};
    const int from = m.captured(2).toInt();
    const int to = m.captured(4).toInt();
    const int width = int(m.captured(2).size());
    QList<QByteArray> keys;
    for (int n = from; n <= to; ++n)
        keys.append((m.captured(1) + QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'))).toLatin1());
    return keys;
}

} // namespace

QList<QByteArray> standardViews()
{
    return {"AT&V", "AT&V0", "AT&Vi", "AT&VI", "AT&V1", "AT&V2", "AT&V9", "AT&Nall"};
}

bool Fixture::parse(const QString& text, Fixture& out, QString* error)
{
    Fixture f;
    QHash<QByteArray, int> seen;
    QList<int> current; // the parameters the settings of the current section go to
    bool inGateway = false;
    bool hasShape = false;
    int sectionLine = 0;

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;

        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return fail(error, lineNo, QStringLiteral("section name without \"]\""));
            if (!finishKeys(f.parameters, current, hasShape, sectionLine, error))
                return false;
            current.clear();
            inGateway = false;
            hasShape = false;
            sectionLine = lineNo;
            const QString name = line.mid(1, line.size() - 2).trimmed();
            if (name == QLatin1String("gateway")) {
                inGateway = true;
                continue;
            }
            const QList<QByteArray> keys = sectionKeys(name);
            if (name.isEmpty() || name.contains(QLatin1Char(' ')) || name.contains(QLatin1Char('=')) || keys.isEmpty())
                return fail(error, lineNo, QStringLiteral("bad key name \"%1\"").arg(name));
            for (const QByteArray& key : keys) {
                if (seen.contains(key))
                    return fail(error, lineNo, QStringLiteral("key %1 defined twice").arg(QString::fromLatin1(key)));
                seen.insert(key, int(f.parameters.size()));
                current.append(int(f.parameters.size()));
                f.parameters.append(Parameter{key, {}, {}, {}});
            }
            continue;
        }

        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(error, lineNo, QStringLiteral("expected \"name = value\""));
        const QString name = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();

        if (inGateway) {
            if (name == QLatin1String("page-size")) {
                bool ok = false;
                f.pageSize = value.toInt(&ok);
                if (!ok || f.pageSize < 1)
                    return fail(error, lineNo, QStringLiteral("page-size must be a number above 0"));
            } else if (name == QLatin1String("paged-views")) {
                f.pagedViews = splitWords(value);
            } else if (name == QLatin1String("table-views")) {
                f.tableViews = splitWords(value);
                for (const QByteArray& view : f.tableViews)
                    if (!isTableView(view))
                        return fail(error, lineNo,
                                    QStringLiteral("no table layout for %1").arg(QString::fromLatin1(view)));
            } else if (name.startsWith(QLatin1String("title "))) {
                f.listingTitles.insert(name.mid(6).trimmed().toLatin1(), value.toLatin1());
            } else {
                return fail(error, lineNo, QStringLiteral("unknown setting \"%1\"").arg(name));
            }
            continue;
        }
        if (current.isEmpty())
            return fail(error, lineNo, QStringLiteral("setting outside a section"));
        if (name == QLatin1String("views")) {
            for (int k : current)
                f.parameters[k].views = splitWords(value);
        } else if (name == QLatin1String("shape")) {
            const QRegularExpression shape(QRegularExpression::anchoredPattern(value));
            if (!shape.isValid())
                return fail(error, lineNo, QStringLiteral("bad shape: %1").arg(shape.errorString()));
            for (int k : current)
                f.parameters[k].shape = shape;
            hasShape = true;
        } else if (name == QLatin1String("value")) {
            for (int k : current)
                f.parameters[k].value = value.toLatin1();
        } else {
            return fail(error, lineNo, QStringLiteral("unknown setting \"%1\"").arg(name));
        }
    }
    if (!finishKeys(f.parameters, current, hasShape, sectionLine, error))
        return false;
    out = f;
    return true;
}

bool Fixture::load(const QString& path, Fixture& out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString parseError;
    if (!parse(QString::fromLatin1(file.readAll()), out, &parseError)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, parseError);
        return false;
    }
    return true;
}

} // namespace gatewaysim
