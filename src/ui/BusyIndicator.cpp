#include "ui/BusyIndicator.h"

#include "ui/FrameClock.h"

#include <QPainter>

namespace launcher {
namespace {

constexpr int kDegreesPerFrame = 12;

} // namespace

BusyIndicator::BusyIndicator(QWidget* parent)
    : QWidget(parent)
    , m_clock(new FrameClock(this, [this] {
        m_angle = (m_angle + kDegreesPerFrame) % 360;
        update();
    }))
{
    setFixedSize(sizeHint());
}

bool BusyIndicator::isAnimating() const
{
    return m_clock->isRunning();
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

} // namespace launcher
