#pragma once

#include <QBasicTimer>
#include <QWidget>

namespace launcher {

// A small indeterminate progress indicator: an arc that turns while the widget is shown.
class BusyIndicator final : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {16, 16}; }
    bool isAnimating() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QBasicTimer m_timer;
    int m_angle = 0;
};

} // namespace launcher
