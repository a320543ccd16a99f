#include "exchange/SystemExchange.h"

#include "link/ReplyParsers.h"

TSystem parseSystemView(const QByteArray& reply, QString& errors)
{
    TSystem system;
    const ReplyList s91 = ReplyValueList("S91=", reply, ',');
    qint32 code = 0;
    if (s91.size() > 0 && ReplyDecimal(s91.at(0), code) && cdrCodeToPosition(code) >= 0) {
        system.cdrMode = code;
    } else {
        system.cdrMode = cdrPositionToCode(0);
        errors += kSystemLineCdr;
    }
    qint32 gateId = 0;
    if (!(s91.size() > 1 && ReplyDecimal(s91.at(1), gateId))) {
        gateId = 0;
        errors += kSystemLineGateId;
    }
    system.gateId = gateId;

    // The gateway drops the leading zero of an early hour ("7:30").
    QByteArray reset = ReplyValue("X22=", reply);
    if (reset.isEmpty())
        reset = kNoSystemReset.toLatin1();
    else if (reset.size() == 4)
        reset.prepend('0');
    system.resetTime = QString::fromLatin1(reset);
    return system;
}

QByteArray systemCdrCommand(const TSystem& system)
{
    return "AT%S91=" + QByteArray::number(system.cdrMode) + ',' + QByteArray::number(system.gateId) + "\r\n";
}

QByteArray systemResetCommand(const TSystem& system)
{
    return "AT%X22=" + system.resetTime.toLatin1() + "\r\n";
}
