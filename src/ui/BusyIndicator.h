#pragma once

#include <QWidget>

namespace launcher {

class FrameClock;

// A small indeterminate progress indicator: an arc that turns while the widget is shown.
class BusyIndicator final : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {16, 16}; }
    bool isAnimating() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FrameClock* m_clock;
    int m_angle = 0;
};

} // namespace launcher
