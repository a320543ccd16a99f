#include "texts/TextFormat.h"

namespace {

// Applies the format: conversion (its letter among kinds) takes the argument text, once.
QString applyFormat(const QString& format, const QString& kinds, const QString& argument, bool numeric)
{
    QString out;
    out.reserve(format.size() + argument.size());
    bool used = false;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            i += 2;
            continue;
        }
        // Flags, width and precision, then the conversion letter.
        qsizetype j = i + 1;
        bool leftAlign = false;
        bool zeroPad = false;
        while (j < format.size() && QStringLiteral("-+ #0").contains(format.at(j))) {
            leftAlign |= format.at(j) == QLatin1Char('-');
            zeroPad |= format.at(j) == QLatin1Char('0');
            ++j;
        }
        int width = 0;
        while (j < format.size() && format.at(j).isDigit() && format.at(j).unicode() < 128 && width < 1000)
            width = width * 10 + format.at(j++).digitValue();
        if (j < format.size() && format.at(j) == QLatin1Char('.')) {
            ++j;
            while (j < format.size() && format.at(j).isDigit() && format.at(j).unicode() < 128)
                ++j;
        }
        if (!used && j < format.size() && kinds.contains(format.at(j))) {
            QString text = argument;
            if (text.size() < width) {
                const qsizetype pad = width - text.size();
                if (leftAlign)
                    text += QString(pad, QLatin1Char(' '));
                else if (zeroPad && numeric) {
                    const bool negative = text.startsWith(QLatin1Char('-'));
                    text.insert(negative ? 1 : 0, QString(pad, QLatin1Char('0')));
                } else
                    text.prepend(QString(pad, QLatin1Char(' ')));
            }
            out += text;
            used = true;
            i = j + 1;
            continue;
        }
        // Not ours: the "%" and what follows stay as they are.
        out += c;
        ++i;
    }
    return out;
}

} // namespace

QString formatTextInt(const QString& format, int value)
{
    return applyFormat(format, QStringLiteral("di"), QString::number(value), true);
}

QString formatTextString(const QString& format, const QString& value)
{
    return applyFormat(format, QStringLiteral("s"), value, false);
}

QString formatTextPlain(const QString& format)
{
    return applyFormat(format, QString(), QString(), false);
}
