#include "ui/FocusRing.h"

#include "ui/LauncherStyle.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

#include <utility>

namespace launcher {
namespace {

const char* const kSurface = "focusRingSurface";
constexpr qreal kWidth = 2;
constexpr qreal kRadius = 9;

// The nearest surface that the widget lies in.
QWidget* surfaceOf(QWidget* widget)
{
    for (QWidget* parent = widget->parentWidget(); parent != nullptr; parent = parent->parentWidget())
        if (parent->property(kSurface).toBool())
            return parent;
    return nullptr;
}

} // namespace

FocusRing::FocusRing(QWidget* surface)
    : QWidget(surface)
{
    setObjectName("focusRing");
    surface->setProperty(kSurface, true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

void FocusRing::follow(QWidget* focused)
{
    for (const auto& watched : std::as_const(m_watched))
        if (watched)
            watched->removeEventFilter(this);
    m_watched.clear();

    m_target = focused != nullptr && surfaceOf(focused) == parentWidget() ? focused : nullptr;
    for (QWidget* widget = m_target; widget != nullptr && widget != parentWidget(); widget = widget->parentWidget()) {
        widget->installEventFilter(this);
        m_watched << widget;
    }
    place();
}

void FocusRing::place()
{
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    const QRect control(m_target->mapTo(parentWidget(), QPoint(0, 0)), m_target->size());
    setGeometry(control.adjusted(-kOutset, -kOutset, kOutset, kOutset));
    raise();
    show();
    update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(style::accent(), kWidth));
    painter.setBrush(Qt::NoBrush);
    // The ring's outer edge on the widget's edge, with a gap of the background
    // between it and the control, so that it shows also around the accent-filled buttons.
    const qreal half = kWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), kRadius, kRadius);
}

} // namespace launcher
