#pragma once

#include <QStringList>
#include <QWidget>

class QPushButton;
class QVBoxLayout;

namespace launcher {

class LauncherModel;
class SelectionRow;
class WrappingLabel;

// What the window shows while the installation is recorded but incomplete:
// what the check found damaged, the file choices repair needs (only those),
// and "Repair Veyra 2" with a note beside it.
class RepairPanel final : public QWidget {
    Q_OBJECT

public:
    // The model must outlive the panel.
    explicit RepairPanel(LauncherModel& model, QWidget* parent = nullptr);

    // Follows the model: the findings, the choices, and what repair allows.
    void refresh();

    SelectionRow* gameRow() const { return m_gameRow; }
    SelectionRow* audioRow() const { return m_audioRow; }
    QPushButton* repairButton() const { return m_repairButton; }
    // Where the player goes first: a file still to choose, else the repair button.
    QWidget* firstControl() const;

private:
    QWidget* buildDamageBox();
    void showDamage(const QStringList& damage);

    LauncherModel& m_model;
    SelectionRow* m_gameRow;
    SelectionRow* m_audioRow;
    QPushButton* m_repairButton;
    QVBoxLayout* m_damageLines = nullptr;
    WrappingLabel* m_damageNote = nullptr;
    // The damage shown now, so that a refresh for another reason rebuilds nothing.
    QStringList m_shownDamage;
};

} // namespace launcher
