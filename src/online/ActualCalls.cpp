#include "online/ActualCalls.h"

namespace {

const QByteArray kOkLine("\r\nOK\r\n");

} // namespace

std::optional<ActualTable> ActualTableOf(int topic)
{
    switch (topic) {
    case 235:
        return ActualTable{QByteArrayLiteral("AT&XC\r\n"), QByteArrayLiteral("cha-layer3")};
    case 705:
        return ActualTable{QByteArrayLiteral("AT&AD\r\n"), QByteArrayLiteral("idx")};
    default:
        return std::nullopt;
    }
}

std::optional<QByteArray> ActualTableText(const QByteArray& reply, const QByteArray& mark)
{
    const qsizetype okLine = reply.lastIndexOf(kOkLine);
    if (okLine < 0)
        return std::nullopt;
    const qsizetype start = mark.isEmpty() ? -1 : reply.indexOf(mark);
    if (start < 0 || start >= okLine)
        return QByteArray();
    return reply.mid(start, okLine - start);
}
