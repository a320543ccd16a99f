#include "exchange/PortModesExchange.h"

#include "link/ReplyParsers.h"

PortModeChars parsePortModesView(const QByteArray& reply)
{
    const ReplyList values = ReplyValueList(QByteArrayLiteral("X40="), reply, ',');
    auto first = [&values](qsizetype i) {
        const QByteArray v = values.value(i);
        return v.isEmpty() ? '0' : v.at(0);
    };
    return {first(0), first(1), first(2)};
}

QByteArray portModesCommand(const PortModeChars& modes, int model)
{
    char gsm = modes[0];
    const char bri1 = model != 0 ? '0' : modes[1];
    char bri2 = modes[2];
    if (model == 1 && bri2 == '1')
        bri2 = '0';
    if (model == 1 && gsm == '1')
        gsm = '0';
    return QByteArrayLiteral("AT%X40=") + gsm + ',' + bri1 + ',' + bri2 + ",0\r\n";
}
