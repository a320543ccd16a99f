#include "config/TableRows.h"

#include <QStringList>

#include <algorithm>

namespace {

bool fits(const QString& text, int length)
{
    return text.size() <= length;
}

bool causeFits(QStringView cause)
{
    if (cause.isEmpty() || cause.size() > kCauseDigits)
        return false;
    return std::all_of(cause.begin(), cause.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool autoRowFits(const QString& clip, const QString& number, const QString& limit, const QString& letter)
{
    return fits(clip, kAutoClipLength) && fits(number, kAutoNumberLength) && fits(limit, kRowLimitLength) &&
           fits(letter, 1);
}

bool lcrRowFits(const QString& network, const QString& window, const QString& groups, const QString& limit)
{
    return fits(network, kLcrNetworkLength) && !network.contains(QLatin1Char('/')) && fits(window, kLcrWindowLength) &&
           fits(groups, kLcrGroupsLength) && fits(limit, kRowLimitLength);
}

bool autoImageRowFits(const QString& row)
{
    const QStringList f = row.split(QLatin1Char(','));
    const QString letter = f.value(3);
    return autoRowFits(f.value(0), f.value(1), f.value(2), letter) && letter.size() == 1 &&
           QLatin1String(kAutoServiceLetters).contains(letter.at(0));
}

bool lcrImageRowFits(const QString& row)
{
    const QStringList f = row.split(QLatin1Char(','));
    return lcrRowFits(f.value(0), f.value(1), f.value(2), f.value(3));
}

bool networkEntryFits(const QString& entry)
{
    const qsizetype slash = entry.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return fits(entry, kNetworkPartLength);
    return fits(entry.left(slash), kNetworkPartLength) && fits(entry.mid(slash + 1), kNetworkPartLength);
}

bool causeEntryFits(const QString& entry)
{
    const qsizetype slash = entry.indexOf(QLatin1Char('/'));
    return slash >= 0 && causeFits(QStringView(entry).left(slash)) && causeFits(QStringView(entry).mid(slash + 1));
}

bool causeListFits(const QStringList& entries)
{
    int count = 0;
    for (const QString& entry : entries) {
        if (entry.isEmpty())
            continue;
        if (++count > kCauseEntries || !causeEntryFits(entry))
            return false;
    }
    return true;
}

bool clipConversionsFit(const QString& list)
{
    return fits(list, kClipConversionsLength);
}
