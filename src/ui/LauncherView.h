#pragma once
// The whole content of the launcher window: the header; below it, scrolling
// when the window is too small for it, the headline, the setup panel, the
// installed panel once an installation is ready, or the repair panel while it
// is incomplete; the status line, with Cancel and a progress bar while setup or
// repair runs; and the error box; the footer at the bottom. It renders from the
// model: where the window stands (LauncherState, one signal when it changes)
// and the selections, status and error beside it, and keeps nothing of its own
// but the state it last rendered, to know when the panel changed. Every control
// calls one model operation. Widgets carry object names ("setupButton", "statusLabel",
// "errorBox", ...) by which tests find them.
//
// The keyboard reaches every control top to bottom, the focused one ringed in
// the accent colour. Focus starts on the first control a player needs, rests
// on Cancel while setup or repair runs and, when it ends, moves to where the
// player goes next.

#include "ui/LauncherState.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollArea;

namespace launcher {

class BusyIndicator;
class ErrorBox;
class InstalledPanel;
class LauncherModel;
class ProgressBar;
class RepairPanel;
class SetupPanel;
class WrappingLabel;

class LauncherView final : public QWidget {
    Q_OBJECT

public:
    // The model must outlive the view.
    explicit LauncherView(LauncherModel& model, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {760, 650}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLayout* buildHeader();
    QScrollArea* buildContent();
    QLayout* buildHeadline();
    QLayout* buildStatus();
    QLayout* buildFooter();
    void orderFocus();
    void placeFocus();
    // Renders where the window stands now, and places the focus anew when the panel changed.
    void followState();
    void focusRefusedChoice();
    void refresh();
    void refreshProgress();

    LauncherModel& m_model;
    // Where the window stood when it was last rendered.
    LauncherState m_shownState;

    QLabel* m_headline = nullptr;
    WrappingLabel* m_subheadline = nullptr;
    InstalledPanel* m_installedPanel = nullptr;
    SetupPanel* m_setupPanel = nullptr;
    RepairPanel* m_repairPanel = nullptr;
    BusyIndicator* m_progress = nullptr;
    WrappingLabel* m_status = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QWidget* m_setupProgress = nullptr;
    ProgressBar* m_progressBar = nullptr;
    QLabel* m_progressText = nullptr;
    ErrorBox* m_errorBox = nullptr;
    QScrollArea* m_scroll = nullptr;
    QList<QPushButton*> m_links;
};

} // namespace launcher
