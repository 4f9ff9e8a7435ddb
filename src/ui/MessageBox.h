#pragma once

#include <QMessageBox>

namespace launcher {

// The window as a dialog's parent while it is on screen, so that the dialog is
// centred over it; a minimised window would take the dialog out of sight with it.
QWidget* dialogParent(QWidget* window);

// A message box in the window's look (styleDialog), centred over the window,
// and wide enough for each of its texts on one line of a readable width.
//
// It stays on screen when a request to quit closes every window it can, as
// Qt's quit does: the quit guard decides about quitting, and a question stays
// until the player answers it. The player's own close (the window manager's
// button, Escape) still answers it.
class MessageBox final : public QMessageBox {
    Q_OBJECT

public:
    explicit MessageBox(QWidget* window);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    static constexpr int kWidestLine = 480;
};

} // namespace launcher
