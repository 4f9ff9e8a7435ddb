#include "ui/MessageBox.h"

#include "ui/DialogStyle.h"

#include <QCloseEvent>
#include <QLabel>

namespace launcher {

QWidget* dialogParent(QWidget* window)
{
    return window != nullptr && window->isVisible() && !window->isMinimized() ? window : nullptr;
}

MessageBox::MessageBox(QWidget* window)
    : QMessageBox(dialogParent(window))
{
    styleDialog(*this);
}

void MessageBox::showEvent(QShowEvent* event)
{
    // Qt wraps the informative text at the width of the main text; one that
    // fits on a line of a readable width keeps to its line, and a longer one
    // wraps at that width.
    auto* informative = findChild<QLabel*>("qt_msgbox_informativelabel");
    if (informative != nullptr && informative->fontMetrics().horizontalAdvance(informative->text()) <= kWidestLine)
        informative->setWordWrap(false);
    else if (informative != nullptr)
        informative->setMinimumWidth(kWidestLine);
    QMessageBox::showEvent(event);
}

void MessageBox::closeEvent(QCloseEvent* event)
{
    if (!event->spontaneous()) {
        event->ignore();
        return;
    }
    QMessageBox::closeEvent(event);
}

} // namespace launcher
