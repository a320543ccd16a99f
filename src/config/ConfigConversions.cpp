#include "config/ConfigConversions.h"

#include "config/WireDate.h"

int volumeCodeToPosition(int code, int positions)
{
    if (positions < 1 || code < 0 || code >= positions)
        return -1;
    const int middle = positions / 2;
    if (code == 0)
        return middle;
    return code % 2 ? middle + (code + 1) / 2 : middle - code / 2;
}

int volumePositionToCode(int position, int positions)
{
    if (positions < 1 || position < 0 || position >= positions)
        return -1;
    const int steps = position - positions / 2;
    return steps > 0 ? 2 * steps - 1 : -2 * steps;
}

int cdrCodeToPosition(int code)
{
    if (code < 0 || code > 7)
        return -1;
    return code > 3 ? code - 1 : code;
}

int cdrPositionToCode(int position)
{
    if (position < 0)
        return 0;
    return position > 3 ? position + 1 : position;
}

namespace {

// The number the decimal digits from pos on make (a sign is no digit); -1 when there are none. A number above
// 99 reads as 99 and sets tooLarge.
int numberAt(const QString& text, qsizetype& pos, bool& tooLarge)
{
    int value = -1;
    while (pos < text.size() && text.at(pos).isDigit() && text.at(pos).unicode() < 128) {
        value = (value < 0 ? 0 : value) * 10 + text.at(pos).digitValue();
        if (value > 99) {
            value = 99;
            tooLarge = true;
        }
        ++pos;
    }
    return value;
}

// Moves pos past blanks; true when there were any.
bool skipBlanks(const QString& text, qsizetype& pos)
{
    const qsizetype from = pos;
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
    return pos > from;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n < 0 ? 0 : n, 2, 10, QLatin1Char('0'));
}

QString wireDate(int day, int month)
{
    QString digits(kWireDateLength, QLatin1Char('0'));
    digits.replace(kWireDateMonthAt, 2, twoDigits(month));
    digits.replace(kWireDateDayAt, 2, twoDigits(day));
    return digits;
}

} // namespace

QString dayMonthToDigits(const QString& dayMonth)
{
    QString text = dayMonth;
    text.replace(QLatin1Char(' '), QLatin1Char('0'));
    qsizetype pos = 0;
    bool tooLarge = false;
    const int day = numberAt(text, pos, tooLarge);
    int month = -1;
    if (day >= 0 && pos < text.size() && text.at(pos) == QLatin1Char('.')) {
        ++pos;
        month = numberAt(text, pos, tooLarge);
    }
    return wireDate(day, month);
}

bool holidayNumbers(const QString& holiday, int& day, int& month)
{
    qsizetype pos = 0;
    bool tooLarge = false;
    skipBlanks(holiday, pos);
    day = numberAt(holiday, pos, tooLarge);
    month = -1;
    if (day < 0)
        return false;
    skipBlanks(holiday, pos);
    if (pos == holiday.size() || holiday.at(pos) != QLatin1Char('.'))
        return false;
    ++pos;
    skipBlanks(holiday, pos);
    month = numberAt(holiday, pos, tooLarge);
    if (month < 0 || tooLarge)
        return false;
    // "1.1 5": a digit after the blank is a number the reading would leave out.
    return !(skipBlanks(holiday, pos) && pos < holiday.size() && holiday.at(pos).isDigit());
}

QString holidayToDigits(const QString& holiday)
{
    int day = -1;
    int month = -1;
    holidayNumbers(holiday, day, month);
    return wireDate(day, month);
}

QString digitsToDayMonth(const QString& digits)
{
    if (digits.size() < kWireDateLength)
        return QString();
    return digits.mid(kWireDateDayAt, 2) + QLatin1Char('.') + digits.mid(kWireDateMonthAt, 2);
}

bool isWholeDayMonth(const QString& text)
{
    if (text.size() != 5 || text.at(2) != QLatin1Char('.'))
        return false;
    for (int i : {0, 1, 3, 4})
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

bool isCompleteTime(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if ((colon != 1 && colon != 2) || text.size() != colon + 3)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (i != colon && (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')))
            return false;
    const int hours = text.left(colon).toInt();
    const int minutes = text.mid(colon + 1).toInt();
    return minutes < 60 && (hours < 24 || (hours == 24 && minutes == 0));
}
