#include "pages/PageState.h"

QByteArray LineOrEmpty(const ReplyList& list, qsizetype index, const QString& itemLine, QString& errors,
                       const QByteArray& defaultValue)
{
    if (index >= 0 && index < list.size())
        return list.at(index);
    errors += itemLine + QLatin1Char('\n');
    return defaultValue;
}

bool ReplyDecimal(const QByteArray& text, qint32& value)
{
    const QByteArray t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok)
        return false;
    value = v;
    return true;
}
