#pragma once
// The small building blocks of the launcher screen, each with the object name
// by which the style sheet and the tests find it.

#include <QString>

class QFont;
class QLabel;
class QPixmap;
class QPushButton;

namespace launcher {

class WrappingLabel;

// One line of plain text, never read as markup.
QLabel* label(const QString& name, const QString& text, const QFont& font);
// Plain text that wraps onto as many lines as it needs.
WrappingLabel* wrappingLabel(const QString& name, const QFont& font);
QLabel* symbol(const QString& name, const QPixmap& pixmap);
// A push button or link; its look comes from the style sheet. Outside macOS,
// Enter presses it when it has the focus, as Space does.
QPushButton* button(const QString& name, const QString& text);
// The same for a button of a kind of its own, made by the caller.
QPushButton* styledButton(const QString& name, QPushButton* made);

} // namespace launcher
