#pragma once

#include <QFrame>

class QPushButton;

namespace launcher {

class LauncherModel;
class WrappingLabel;

// What the window shows once an installation is ready: the installed label and
// sentence, "Play Veyra 2" and "Show save folders", and while a newer runtime
// is available, that news with "Update".
class InstalledPanel final : public QFrame {
    Q_OBJECT

public:
    // The model must outlive the panel.
    explicit InstalledPanel(LauncherModel& model, QWidget* parent = nullptr);

    // Follows the model: Play is disabled while the game runs.
    void refresh();

    QPushButton* playButton() const { return m_playButton; }
    QPushButton* saveFoldersButton() const { return m_saveFoldersButton; }
    QPushButton* updateButton() const { return m_updateButton; }

private:
    LauncherModel& m_model;
    QPushButton* m_playButton;
    QPushButton* m_saveFoldersButton;
    WrappingLabel* m_updateNews;
    QPushButton* m_updateButton;
};

} // namespace launcher
