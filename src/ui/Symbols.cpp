#include "ui/Symbols.h"

#include <QPainter>
#include <QPainterPath>

namespace launcher::symbols {
namespace {

QPixmap canvas(int size, qreal devicePixelRatio)
{
    QPixmap pixmap(static_cast<int>(size * devicePixelRatio), static_cast<int>(size * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap desktopComputer(int size, const QColor& colour, qreal devicePixelRatio)
{
    QPixmap pixmap = canvas(size, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    painter.setPen(QPen(colour, 1.4 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.5 * unit, 2 * unit, 13 * unit, 9 * unit), 1.5 * unit, 1.5 * unit);
    painter.drawLine(QPointF(8 * unit, 11 * unit), QPointF(8 * unit, 13.5 * unit));
    painter.drawLine(QPointF(5 * unit, 14 * unit), QPointF(11 * unit, 14 * unit));
    return pixmap;
}

QPixmap checkmarkCircle(int size, const QColor& colour, qreal devicePixelRatio)
{
    QPixmap pixmap = canvas(size, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(unit, unit, 14 * unit, 14 * unit));

    QPainterPath check;
    check.moveTo(4.8 * unit, 8.2 * unit);
    check.lineTo(7.1 * unit, 10.5 * unit);
    check.lineTo(11.3 * unit, 5.8 * unit);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(QPen(Qt::black, 1.8 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(check);
    return pixmap;
}

QPixmap exclamationTriangle(int size, const QColor& colour, qreal devicePixelRatio)
{
    QPixmap pixmap = canvas(size, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    QPainterPath triangle;
    triangle.moveTo(8 * unit, 1.5 * unit);
    triangle.lineTo(15 * unit, 14.2 * unit);
    triangle.lineTo(1 * unit, 14.2 * unit);
    triangle.closeSubpath();
    // Rounded corners, as the other symbols have.
    painter.setPen(QPen(colour, 1.2 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(colour);
    painter.drawPath(triangle);

    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(QPen(Qt::black, 1.8 * unit, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8 * unit, 6 * unit), QPointF(8 * unit, 9.6 * unit));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(8 * unit, 12 * unit), 1.05 * unit, 1.05 * unit);
    return pixmap;
}

QPixmap applicationIcon(int size, qreal devicePixelRatio)
{
    QPixmap pixmap = canvas(size, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // The drawing's own units: the icon file is 256 wide.
    painter.scale(size / 256.0, size / 256.0);

    QLinearGradient background(16, 16, 240, 240);
    background.setColorAt(0, QColor(0x1d, 0x2b, 0x2f));
    background.setColorAt(1, QColor(0x0a, 0x0e, 0x11));
    painter.setPen(QPen(QColor(255, 255, 255, 26), 1));
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(16.5, 16.5, 223, 223), 51.5, 51.5);

    QLinearGradient accent(0, 58, 0, 194);
    accent.setColorAt(0, QColor(0xc2, 0xea, 0x9a));
    accent.setColorAt(1, QColor(0x8f, 0xcb, 0x5c));
    const QColor green(0xa6, 0xde, 0x73);
    painter.setPen(QPen(QBrush(accent), 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(green.red(), green.green(), green.blue(), 20));
    painter.drawRoundedRect(QRectF(52, 58, 152, 108), 16, 16);
    painter.drawLine(QPointF(128, 166), QPointF(128, 190));
    painter.drawLine(QPointF(94, 194), QPointF(162, 194));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(80, 88), QPointF(103, 140), QPointF(126, 88)}));
    // The "2": an arc of radius 16 over the top, from its left end round to the
    // lower right, then down to the base line.
    QPainterPath two(QPointF(141, 98));
    two.arcTo(QRectF(156.93 - 16, 99.44 - 16, 32, 32), 174.8, -221);
    two.lineTo(141, 140);
    two.lineTo(176, 140);
    painter.setPen(QPen(green, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(two);
    return pixmap;
}

} // namespace launcher::symbols
