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

} // namespace launcher::symbols
