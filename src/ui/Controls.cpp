#include "ui/Controls.h"

#include "ui/DesktopConventions.h"
#include "ui/WrappingLabel.h"

#include <QLabel>
#include <QPushButton>

namespace launcher {

QLabel* label(const QString& name, const QString& text, const QFont& font)
{
    auto* result = new QLabel(text);
    result->setObjectName(name);
    result->setTextFormat(Qt::PlainText);
    result->setFont(font);
    return result;
}

WrappingLabel* wrappingLabel(const QString& name, const QFont& font)
{
    auto* result = new WrappingLabel;
    result->setObjectName(name);
    result->setFont(font);
    return result;
}

QLabel* symbol(const QString& name, const QPixmap& pixmap)
{
    auto* result = new QLabel;
    result->setObjectName(name);
    result->setPixmap(pixmap);
    return result;
}

QPushButton* button(const QString& name, const QString& text)
{
    return styledButton(name, new QPushButton(text));
}

QPushButton* styledButton(const QString& name, QPushButton* made)
{
    made->setObjectName(name);
    made->setCursor(Qt::PointingHandCursor);
    made->setAutoDefault(desktop::kEnterPressesFocusedControl);
    return made;
}

} // namespace launcher
