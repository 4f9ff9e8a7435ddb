#pragma once

#include <QBasicTimer>
#include <QObject>

#include <functional>

class QWidget;

namespace launcher {

// Drives a widget's animation: calls `tick` about 30 times a second while the
// widget is shown and the animation is wanted, and not at all otherwise, so
// that nothing hidden keeps the processor busy. GUI thread only.
class FrameClock final : public QObject {
    Q_OBJECT

public:
    // Wanted from the start; the clock belongs to the widget.
    FrameClock(QWidget* widget, std::function<void()> tick);

    void setWanted(bool wanted);
    bool isRunning() const { return m_timer.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void follow();

    QWidget* m_widget;
    std::function<void()> m_tick;
    bool m_wanted = true;
    QBasicTimer m_timer;
};

} // namespace launcher
