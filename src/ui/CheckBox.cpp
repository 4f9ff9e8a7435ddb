#include "ui/CheckBox.h"

#include "ui/DesktopConventions.h"
#include "ui/LauncherStyle.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace launcher {
namespace {

constexpr int kBox = 14;
constexpr int kGap = 7;

} // namespace

CheckBox::CheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

QSize CheckBox::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {kBox + kGap + metrics.horizontalAdvance(text()) + 2, std::max(kBox + 2, metrics.height())};
}

void CheckBox::keyPressEvent(QKeyEvent* event)
{
    if (desktop::kEnterPressesFocusedControl && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

void CheckBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);

    const QRectF box(1, (height() - kBox) / 2.0, kBox, kBox);
    const QColor foreground = palette().color(QPalette::WindowText);
    if (isChecked()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(style::accent());
        painter.drawRoundedRect(box, 3.5, 3.5);
        QPainterPath check;
        check.moveTo(box.left() + 3.5, box.center().y() + 0.2);
        check.lineTo(box.left() + 6, box.bottom() - 3.5);
        check.lineTo(box.right() - 3, box.top() + 3.5);
        painter.setPen(QPen(Qt::black, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(check);
    } else {
        QColor border = foreground;
        border.setAlphaF(0.45f);
        QColor fill = foreground;
        fill.setAlphaF(0.06f);
        painter.setPen(QPen(border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3.5, 3.5);
    }

    painter.setPen(foreground);
    const QRect textArea(kBox + kGap + 1, 0, width() - kBox - kGap - 1, height());
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace launcher
