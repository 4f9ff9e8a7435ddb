#include "ui/ProgressBar.h"

#include "ui/FrameClock.h"
#include "ui/LauncherStyle.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>

namespace launcher {
namespace {

// One sweep across the bar takes about 1.5 s.
constexpr double kPhasePerFrame = 0.022;
// The sweeping segment's length, as a share of the bar.
constexpr double kSegment = 0.3;

class AccessibleProgressBar final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleProgressBar(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? bar().text() : QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override
    {
        const std::optional<double> fraction = bar().fraction();
        return fraction ? QVariant(*fraction * 100) : QVariant();
    }
    // Only the work moves the bar.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    const ProgressBar& bar() const { return *static_cast<const ProgressBar*>(widget()); }
};

QAccessibleInterface* accessibleProgressBar(const QString& className, QObject* object)
{
    if (className != QLatin1String(ProgressBar::staticMetaObject.className()) || !object->isWidgetType())
        return nullptr;
    return new AccessibleProgressBar(static_cast<QWidget*>(object));
}

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
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleProgressBar);
        return true;
    }();
    (void)factoryInstalled;
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
}

void ProgressBar::setFraction(std::optional<double> fraction)
{
    if (fraction)
        fraction = std::clamp(*fraction, 0.0, 1.0);
    const bool changed = fraction != m_fraction;
    m_fraction = fraction;
    m_clock->setWanted(!fraction);
    update();
    if (changed)
        announce();
}

void ProgressBar::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    announce();
}

// A screen reader reads the value and its text again on a value change.
void ProgressBar::announce()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(this, m_fraction ? QVariant(*m_fraction * 100) : QVariant());
    QAccessible::updateAccessibility(&event);
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
