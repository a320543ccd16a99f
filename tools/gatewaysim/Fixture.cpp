#include "gatewaysim/Fixture.h"

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

// Checks the key that a section has just finished.
bool finishKey(const Parameter* p, bool hasShape, int sectionLine, QString* error)
{
    if (!p)
        return true;
    if (!hasShape)
        return fail(error, sectionLine, QStringLiteral("key %1 has no shape").arg(QString::fromLatin1(p->key)));
    if (!p->shape.match(QString::fromLatin1(p->value)).hasMatch())
        return fail(error, sectionLine,
                    QStringLiteral("value of %1 does not match its shape").arg(QString::fromLatin1(p->key)));
    return true;
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
    Parameter* current = nullptr;
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
            if (!finishKey(current, hasShape, sectionLine, error))
                return false;
            current = nullptr;
            inGateway = false;
            hasShape = false;
            sectionLine = lineNo;
            const QString name = line.mid(1, line.size() - 2).trimmed();
            if (name == QLatin1String("gateway")) {
                inGateway = true;
                continue;
            }
            if (name.isEmpty() || name.contains(QLatin1Char(' ')) || name.contains(QLatin1Char('=')))
                return fail(error, lineNo, QStringLiteral("bad key name \"%1\"").arg(name));
            const QByteArray key = name.toLatin1();
            if (seen.contains(key))
                return fail(error, lineNo, QStringLiteral("key %1 defined twice").arg(name));
            seen.insert(key, int(f.parameters.size()));
            f.parameters.append(Parameter{key, {}, {}, {}});
            current = &f.parameters.last();
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
            } else {
                return fail(error, lineNo, QStringLiteral("unknown setting \"%1\"").arg(name));
            }
            continue;
        }
        if (!current)
            return fail(error, lineNo, QStringLiteral("setting outside a section"));
        if (name == QLatin1String("views")) {
            current->views = splitWords(value);
        } else if (name == QLatin1String("shape")) {
            current->shape = QRegularExpression(QRegularExpression::anchoredPattern(value));
            if (!current->shape.isValid())
                return fail(error, lineNo, QStringLiteral("bad shape: %1").arg(current->shape.errorString()));
            hasShape = true;
        } else if (name == QLatin1String("value")) {
            current->value = value.toLatin1();
        } else {
            return fail(error, lineNo, QStringLiteral("unknown setting \"%1\"").arg(name));
        }
    }
    if (!finishKey(current, hasShape, sectionLine, error))
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
