#pragma once

#include <QWidget>

class QPushButton;

namespace launcher {

class CheckBox;
class LauncherModel;
class SelectionRow;

// What the window shows until an installation is ready: the two file choices,
// the ownership checkbox, and "Set up Veyra 2" with the requirements beside it.
class SetupPanel final : public QWidget {
    Q_OBJECT

public:
    // The model must outlive the panel.
    explicit SetupPanel(LauncherModel& model, QWidget* parent = nullptr);

    // Follows the model: the choices, the consent, and what setup allows.
    void refresh();

    SelectionRow* gameRow() const { return m_gameRow; }
    SelectionRow* audioRow() const { return m_audioRow; }
    CheckBox* consent() const { return m_consent; }
    QPushButton* setupButton() const { return m_setupButton; }

private:
    LauncherModel& m_model;
    SelectionRow* m_gameRow;
    SelectionRow* m_audioRow;
    CheckBox* m_consent;
    QPushButton* m_setupButton;
};

} // namespace launcher
