#include "ui/FrameClock.h"

#include <QEvent>
#include <QTimerEvent>
#include <QWidget>

namespace launcher {
namespace {

constexpr int kFrameMilliseconds = 33;

} // namespace

FrameClock::FrameClock(QWidget* widget, std::function<void()> tick)
    : QObject(widget)
    , m_widget(widget)
    , m_tick(std::move(tick))
{
    widget->installEventFilter(this);
}

void FrameClock::setWanted(bool wanted)
{
    m_wanted = wanted;
    follow();
}

bool FrameClock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_widget && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        follow();
    return QObject::eventFilter(watched, event);
}

void FrameClock::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId())
        return QObject::timerEvent(event);
    m_tick();
}

void FrameClock::follow()
{
    if (m_wanted && m_widget->isVisible()) {
        if (!m_timer.isActive())
            m_timer.start(kFrameMilliseconds, this);
    } else {
        m_timer.stop();
    }
}

} // namespace launcher
