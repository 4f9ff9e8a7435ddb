#pragma once

#include <QCheckBox>

namespace launcher {

// A checkbox drawn for the dark launcher screen on every platform: a rounded
// box filled with the accent and a check mark when ticked, then its text.
// Outside macOS, Enter ticks it as Space does, like the launcher's buttons.
class CheckBox final : public QCheckBox {
    Q_OBJECT

public:
    explicit CheckBox(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The whole widget, box and text, takes the click.
    bool hitButton(const QPoint& position) const override { return rect().contains(position); }
};

} // namespace launcher
