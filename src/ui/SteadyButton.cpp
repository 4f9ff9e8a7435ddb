#include "ui/SteadyButton.h"

#include <algorithm>

namespace launcher {

SteadyButton::SteadyButton(QStringList texts, QWidget* parent)
    : QPushButton(parent)
    , m_texts(std::move(texts))
{
}

// The size for the current text, widened by what the widest text needs more.
QSize SteadyButton::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (const QString& text : m_texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    QSize size = QPushButton::sizeHint();
    size.rwidth() += std::max(0, widest - metrics.horizontalAdvance(text()));
    return size;
}

} // namespace launcher
