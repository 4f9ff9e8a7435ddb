#pragma once
// The symbols of the launcher screen, drawn in code so that they look the
// same on every platform.

#include <QColor>
#include <QPixmap>

namespace launcher::symbols {

// A desktop computer: a screen on a stand.
QPixmap desktopComputer(int size, const QColor& colour, qreal devicePixelRatio);
// A filled circle with a check mark cut out of it.
QPixmap checkmarkCircle(int size, const QColor& colour, qreal devicePixelRatio);
// A filled triangle with an exclamation mark cut out of it.
QPixmap exclamationTriangle(int size, const QColor& colour, qreal devicePixelRatio);
// The application's icon, as resources/veyra2-launcher.svg draws it: a
// screen on a stand with "V2" on it, on a dark rounded square.
QPixmap applicationIcon(int size, qreal devicePixelRatio);

} // namespace launcher::symbols
