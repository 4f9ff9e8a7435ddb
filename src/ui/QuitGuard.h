#pragma once
// The one guard of every way of quitting: the Quit item and its shortcut,
// closing the window, and requests from outside (a quit event, the session
// manager). Quitting is refused while setup, repair, the check of an
// incomplete installation, the game or a menu action runs.
//
//   QuitGuard guard(model);
//   guard.setWindow(&window);
//   if (!guard.allowsQuit()) event->ignore();   // in each way of quitting
//
// A refusal never waits for the player: it shows the guard box over the
// window, or brings back the one already shown, and returns at once, so that
// no request can come in while another is still being decided, whatever their
// order. The box says what runs; during setup or repair it offers to stop it
// and quit once it has ended (the stop Cancel makes) beside "Keep working",
// and it closes itself when what it told of has ended. GUI thread only.

#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;

namespace launcher {

class LauncherModel;

class QuitGuard final : public QObject {
    Q_OBJECT

public:
    // The model must outlive the guard.
    explicit QuitGuard(LauncherModel& model, QObject* parent = nullptr);
    ~QuitGuard() override;

    // The window the box is shown over and brought to the front with.
    void setWindow(QWidget* window) { m_window = window; }

    // True when nothing runs; otherwise refuses as described above.
    bool allowsQuit();

    // The box while it is on screen, or nullptr.
    QMessageBox* box() const;

signals:
    // Each refused request, once the box is on screen.
    void refused();

private:
    // What keeps the launcher open, in the order the box tells of it.
    enum class Reason { none, setup, repair, game, work };
    Reason reason() const;
    void showBox(Reason reason);
    void stopAndQuit();
    // The model changed: the box goes when its reason has, and a quit waiting
    // for a stop goes ahead once nothing runs.
    void follow();

    LauncherModel& m_model;
    QPointer<QWidget> m_window;
    QPointer<QMessageBox> m_box;
    Reason m_shown = Reason::none;
    bool m_quitWhenStopped = false;
};

} // namespace launcher
