#pragma once

#include <QFrame>

class QPushButton;

namespace launcher {

class LauncherModel;

// What the window shows once an installation is ready: the installed label and
// sentence, "Play Veyra 2" and "Show save folders".
class InstalledPanel final : public QFrame {
    Q_OBJECT

public:
    // The model must outlive the panel.
    explicit InstalledPanel(LauncherModel& model, QWidget* parent = nullptr);

    // Follows the model: Play is disabled while the game runs.
    void refresh();

    QPushButton* playButton() const { return m_playButton; }
    QPushButton* saveFoldersButton() const { return m_saveFoldersButton; }

private:
    LauncherModel& m_model;
    QPushButton* m_playButton;
    QPushButton* m_saveFoldersButton;
};

} // namespace launcher
