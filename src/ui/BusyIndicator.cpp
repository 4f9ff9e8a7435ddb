#include "ui/BusyIndicator.h"

#include <QPainter>
#include <QTimerEvent>

namespace launcher {
namespace {

constexpr int kFrameMilliseconds = 33;
constexpr int kDegreesPerFrame = 12;

} // namespace

BusyIndicator::BusyIndicator(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(sizeHint());
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF ring = QRectF(rect()).adjusted(2, 2, -2, -2);
    QColor colour = palette().color(QPalette::WindowText);
    colour.setAlphaF(0.25f);
    painter.setPen(QPen(colour, 2));
    painter.drawEllipse(ring);
    colour.setAlphaF(0.9f);
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    // Angles in sixteenths of a degree, counter-clockwise; turning clockwise.
    painter.drawArc(ring, -m_angle * 16, 100 * 16);
}

void BusyIndicator::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId())
        return QWidget::timerEvent(event);
    m_angle = (m_angle + kDegreesPerFrame) % 360;
    update();
}

void BusyIndicator::showEvent(QShowEvent* event)
{
    m_timer.start(kFrameMilliseconds, this);
    QWidget::showEvent(event);
}

void BusyIndicator::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

} // namespace launcher
