#include "ui/ProgressBar.h"

#include "ui/FrameClock.h"
#include "ui/LauncherStyle.h"

#include <QPainter>

#include <algorithm>

namespace launcher {
namespace {

// One sweep across the bar takes about 1.5 s.
constexpr double kPhasePerFrame = 0.022;
// The sweeping segment's length, as a share of the bar.
constexpr double kSegment = 0.3;

} // namespace

ProgressBar::ProgressBar(QWidget* parent)
    : QWidget(parent)
    , m_clock(new FrameClock(this, [this] {
        m_phase += kPhasePerFrame;
        if (m_phase >= 1)
            m_phase -= 1;
        update();
    }))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
}

void ProgressBar::setFraction(std::optional<double> fraction)
{
    if (fraction)
        fraction = std::clamp(*fraction, 0.0, 1.0);
    m_fraction = fraction;
    m_clock->setWanted(!fraction);
    update();
}

bool ProgressBar::isSweeping() const
{
    return m_clock->isRunning();
}

void ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF track = rect();
    const qreal radius = track.height() / 2;
    QColor trackColour(Qt::white);
    trackColour.setAlphaF(0.08f);
    painter.setBrush(trackColour);
    painter.drawRoundedRect(track, radius, radius);

    QRectF filled = track;
    if (m_fraction) {
        filled.setWidth(track.width() * *m_fraction);
    } else {
        // The segment enters at the left edge and leaves at the right, clipped to the track.
        const double start = m_phase * (1 + kSegment) - kSegment;
        filled.setLeft(track.left() + track.width() * std::max(start, 0.0));
        filled.setRight(track.left() + track.width() * std::min(start + kSegment, 1.0));
    }
    if (filled.width() <= 0)
        return;
    painter.setBrush(style::accent());
    painter.drawRoundedRect(filled, radius, radius);
}

} // namespace launcher
