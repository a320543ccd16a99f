#include "ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kToolSize = 24;
constexpr int kTreeSize = 16;

QPixmap blank(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF dir = (to - from) / std::max(1.0, std::hypot(to.x() - from.x(), to.y() - from.y()));
    const QPointF normal(-dir.y(), dir.x());
    QPolygonF head;
    head << to + dir * 2 << to - dir * 5 + normal * 4.5 << to - dir * 5 - normal * 4.5;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void drawFolder(QPainter& p, QRectF r, bool open)
{
    const QColor edge(150, 110, 20);
    p.setPen(QPen(edge, 1));
    p.setBrush(QColor(240, 200, 80));
    QPainterPath back;
    back.moveTo(r.left(), r.top() + r.height() * 0.15);
    back.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.15);
    back.lineTo(r.left() + r.width() * 0.5, r.top() + r.height() * 0.3);
    back.lineTo(r.right(), r.top() + r.height() * 0.3);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.drawPath(back);
    if (open) {
        p.setBrush(QColor(255, 225, 130));
        QPolygonF front;
        front << QPointF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.45)
              << QPointF(r.right() + 1, r.top() + r.height() * 0.45)
              << QPointF(r.right() - r.width() * 0.15, r.bottom()) << QPointF(r.left(), r.bottom());
        p.drawPolygon(front);
    }
}

void drawDisk(QPainter& p, QRectF r)
{
    p.setPen(QPen(QColor(30, 50, 110), 1));
    p.setBrush(QColor(60, 90, 170));
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.05, r.width() * 0.6, r.height() * 0.4));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.6, r.width() * 0.4, r.height() * 0.35));
}

void drawPlug(QPainter& p, bool connected)
{
    const QColor body = connected ? QColor(40, 140, 60) : QColor(170, 60, 50);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    // cable
    p.drawLine(QPointF(2, 21), QPointF(8, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(6, 8, 9, 9), 2, 2);
    p.setPen(QPen(QColor(90, 90, 90), 2));
    if (connected) {
        p.drawLine(QPointF(15, 10), QPointF(21, 10));
        p.drawLine(QPointF(15, 15), QPointF(21, 15));
    } else {
        p.drawLine(QPointF(15, 10), QPointF(18, 10));
        p.drawLine(QPointF(15, 15), QPointF(18, 15));
        p.setPen(QPen(QColor(170, 60, 50), 2));
        p.drawLine(QPointF(19, 2), QPointF(23, 6));
        p.drawLine(QPointF(23, 2), QPointF(19, 6));
    }
}

void drawGatewayBox(QPainter& p)
{
    p.setPen(QPen(QColor(50, 50, 60), 1));
    p.setBrush(QColor(120, 130, 150));
    p.drawRoundedRect(QRectF(2, 14, 20, 8), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 230, 120));
    p.drawEllipse(QRectF(5, 17, 3, 3));
    p.drawEllipse(QRectF(10, 17, 3, 3));
}

void drawFlag(QPainter& p, ToolImage flag)
{
    const QRectF r(2, 5, 20, 14);
    p.setPen(Qt::NoPen);
    switch (flag) {
    case ToolImage::FlagCzech: {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() / 2));
        p.setBrush(QColor(215, 20, 26));
        p.drawRect(QRectF(r.left(), r.center().y(), r.width(), r.height() / 2));
        p.setBrush(QColor(17, 69, 126));
        QPolygonF wedge;
        wedge << r.topLeft() << QPointF(r.left() + r.width() * 0.5, r.center().y()) << r.bottomLeft();
        p.drawPolygon(wedge);
        break;
    }
    case ToolImage::FlagEnglish: {
        p.setBrush(QColor(1, 33, 105));
        p.drawRect(r);
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topRight());
        p.setPen(QPen(QColor(200, 16, 46), 1));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topRight());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.center().x() - 2.5, r.top(), 5, r.height()));
        p.drawRect(QRectF(r.left(), r.center().y() - 2.5, r.width(), 5));
        p.setBrush(QColor(200, 16, 46));
        p.drawRect(QRectF(r.center().x() - 1.5, r.top(), 3, r.height()));
        p.drawRect(QRectF(r.left(), r.center().y() - 1.5, r.width(), 3));
        break;
    }
    case ToolImage::FlagHungary: {
        const qreal h = r.height() / 3;
        p.setBrush(QColor(205, 42, 62));
        p.drawRect(QRectF(r.left(), r.top(), r.width(), h));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left(), r.top() + h, r.width(), h));
        p.setBrush(QColor(67, 111, 77));
        p.drawRect(QRectF(r.left(), r.top() + 2 * h, r.width(), h));
        break;
    }
    case ToolImage::FlagPolish:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() / 2));
        p.setBrush(QColor(220, 20, 60));
        p.drawRect(QRectF(r.left(), r.center().y(), r.width(), r.height() / 2));
        break;
    default:
        break;
    }
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

} // namespace

QIcon toolImage(ToolImage image)
{
    QPixmap pm = blank(kToolSize);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (image) {
    case ToolImage::OpenFile:
        drawFolder(p, QRectF(2, 4, 20, 16), true);
        break;
    case ToolImage::SaveFile:
        drawDisk(p, QRectF(3, 3, 18, 18));
        break;
    case ToolImage::Connect:
        drawPlug(p, true);
        break;
    case ToolImage::Disconnect:
        drawPlug(p, false);
        break;
    case ToolImage::LoadGateway:
        drawGatewayBox(p);
        drawArrow(p, QPointF(17, 12), QPointF(17, 2), QColor(30, 110, 200));
        break;
    case ToolImage::SaveGateway:
        drawGatewayBox(p);
        drawArrow(p, QPointF(17, 1), QPointF(17, 11), QColor(200, 90, 20));
        break;
    case ToolImage::FlagCzech:
    case ToolImage::FlagEnglish:
    case ToolImage::FlagHungary:
    case ToolImage::FlagPolish:
        drawFlag(p, image);
        break;
    case ToolImage::Terminal: {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(20, 20, 20));
        p.drawRoundedRect(QRectF(2, 3, 20, 17), 2, 2);
        p.setPen(QPen(QColor(80, 230, 80), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF() << QPointF(5, 8) << QPointF(9, 11.5) << QPointF(5, 15));
        p.drawLine(QPointF(11, 16), QPointF(17, 16));
        break;
    }
    case ToolImage::Close: {
        p.setPen(QPen(QColor(100, 60, 30), 1));
        p.setBrush(QColor(170, 110, 60));
        p.drawRect(QRectF(5, 2, 12, 20));
        p.setBrush(QColor(240, 210, 80));
        p.drawEllipse(QRectF(13, 11, 2.5, 2.5));
        drawArrow(p, QPointF(12, 12), QPointF(22, 12), QColor(200, 30, 30));
        break;
    }
    }
    return QIcon(pm);
}

QIcon topicImage(int index)
{
    QPixmap pm = blank(kTreeSize);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
    case 1:
        drawFolder(p, QRectF(1, 2, 14, 12), index == 1);
        break;
    case 2:
        p.setPen(QPen(QColor(90, 90, 110), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 1.5, 10, 13));
        p.setPen(QPen(QColor(120, 140, 190), 1));
        for (int y = 5; y <= 11; y += 3)
            p.drawLine(QPointF(5, y), QPointF(11, y));
        break;
    case 3:
    case 4: {
        const QColor lamp = index == 3 ? QColor(40, 180, 60) : QColor(160, 160, 160);
        p.setPen(QPen(lamp.darker(150), 1));
        p.setBrush(lamp);
        p.drawEllipse(QRectF(3, 3, 10, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(QRectF(5, 4.5, 4, 3));
        break;
    }
    default:
        break;
    }
    return QIcon(pm);
}
