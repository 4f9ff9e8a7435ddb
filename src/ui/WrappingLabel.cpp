#include "ui/WrappingLabel.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace launcher {
namespace {

// The natural width the label asks for before its container decides.
constexpr int kPreferredCharacters = 90;

} // namespace

WrappingLabel::WrappingLabel(QWidget* parent)
    : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void WrappingLabel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void WrappingLabel::setMaximumLines(int lines)
{
    m_maximumLines = lines;
    updateGeometry();
    update();
}

QStringList WrappingLabel::lines(int width) const
{
    if (m_text.isEmpty())
        return {};
    width = std::max(width, 1);
    // Line feeds in messages become line breaks instead of glyphs.
    QString text = m_text;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);

    QTextLayout layout(text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    QStringList result;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (m_maximumLines > 0 && result.size() == m_maximumLines - 1) {
            QString rest = text.mid(line.textStart());
            rest.replace(QChar::LineSeparator, QLatin1Char(' '));
            result << fontMetrics().elidedText(rest, Qt::ElideRight, width);
            break;
        }
        QString shown = text.mid(line.textStart(), line.textLength());
        shown.remove(QChar::LineSeparator);
        result << shown;
    }
    layout.endLayout();
    return result;
}

int WrappingLabel::heightForWidth(int width) const
{
    const auto count = std::max<qsizetype>(lines(width).size(), 1);
    return static_cast<int>(count) * fontMetrics().lineSpacing();
}

QSize WrappingLabel::sizeHint() const
{
    // Rounded up: a width rounded down would wrap the text it was measured for.
    const int natural = static_cast<int>(std::ceil(
        QFontMetricsF(font()).horizontalAdvance(QString(m_text).replace(QLatin1Char('\n'), QLatin1Char(' ')))));
    const int width = std::min(natural, fontMetrics().averageCharWidth() * kPreferredCharacters);
    return {std::max(width, 1), heightForWidth(width)};
}

QSize WrappingLabel::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 4, fontMetrics().lineSpacing()};
}

void WrappingLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QFontMetrics metrics = fontMetrics();
    int top = 0;
    for (const QString& line : lines(width())) {
        painter.drawText(QPoint(0, top + metrics.ascent()), line);
        top += metrics.lineSpacing();
    }
}

void WrappingLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace launcher
