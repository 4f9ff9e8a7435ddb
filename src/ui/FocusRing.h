#pragma once
// The keyboard focus made visible: a ring in the accent colour around the
// focused control, drawn on a surface the control lies in, so that it stands
// outside the control and nothing between them cuts it off.
//
//   new FocusRing(content);   // rings whatever takes the focus inside `content`
//
// A control inside a nested surface is that surface's ring's to follow. The
// ring follows the control as the layout moves it and hides while the window
// is not active. GUI thread only.

#include <QList>
#include <QPointer>
#include <QWidget>

namespace launcher {

class FocusRing final : public QWidget {
    Q_OBJECT

public:
    // How far the ring stands out from the control, its width included.
    static constexpr int kOutset = 4;

    explicit FocusRing(QWidget* surface);

    // The control ringed now, or nullptr.
    QWidget* target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* focused);
    void place();

    QPointer<QWidget> m_target;
    // The target and its parents up to the surface: a move of any moves the ring.
    QList<QPointer<QWidget>> m_watched;
};

} // namespace launcher
