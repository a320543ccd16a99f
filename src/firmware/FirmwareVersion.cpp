#include "firmware/FirmwareVersion.h"

namespace {

constexpr int kVersionField = 19;

// The two-digit number at position (1-based) of text; -1 when it is not two digits.
int twoDigits(const QString& text, int position)
{
    const int at = position - 1;
    if (text.size() < at + 2 || !text.at(at).isDigit() || !text.at(at + 1).isDigit())
        return -1;
    return text.mid(at, 2).toInt();
}

} // namespace

bool SplitGatewaySwVersion(const QString& info, QString& firmware, QString& boot)
{
    const qsizetype sw = info.indexOf(QLatin1String("SW : "));
    const qsizetype slash = info.indexOf(QLatin1Char('/'));
    if (sw < 0 || slash < 0)
        return false;
    const qsizetype from = sw + 5;
    qsizetype blank = info.indexOf(QLatin1Char(' '), from);
    if (blank < 0)
        blank = info.size();
    boot = info.mid(from, blank - from);
    firmware = info.mid(slash + 1);
    return true;
}

QString FirmwareFileBaseName(const QString& path)
{
    qsizetype cut = -1;
    for (const QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        cut = qMax(cut, path.lastIndexOf(c));
    return path.mid(cut + 1);
}

int FirmwareFileFits(const QString& fileName, const QString& bootVersion)
{
    static const QString prefix = QStringLiteral("r5183-v-");
    const QString name = fileName.toLower();
    QString version;
    if (name.startsWith(prefix)) {
        version = name.mid(prefix.size());
        const qsizetype blank = version.indexOf(QLatin1Char(' '));
        if (blank >= 0)
            version.truncate(blank);
        version.truncate(kVersionField);
    }
    const int a = twoDigits(version, 1);
    const int b = twoDigits(version, 4);
    const int c = twoDigits(version, 7);
    const int d = twoDigits(bootVersion, 1);
    const int e = twoDigits(bootVersion, 4);
    if (a < 0 || b < 0 || c < 0 || d < 0 || e < 0)
        return 2;
    if (d != 2)
        return 1;
    if (e <= 55)
        return a == 2 && b == 4 ? 0 : 1;
    if (e <= 61)
        return 1;
    return (a == 2 && b == 5) || a == 3 ? 0 : 1;
}
