#pragma once
// The whole content of the launcher window: the header; below it, scrolling
// when the window is too small for it, the headline, the setup panel or (once
// an installation is ready) the installed panel, the status line and the error
// box; the footer at the bottom. It keeps no state of its own: every model
// change updates it from the model, and every control calls one model
// operation. Widgets carry object names ("setupButton", "statusLabel",
// "errorBox", ...) by which tests find them.
//
// The keyboard reaches every control top to bottom, the focused one ringed in
// the accent colour. Focus starts on the first control a player needs and,
// when setup ends, moves to where the player goes next.

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
    QLayout* buildStatusRow();
    QLayout* buildFooter();
    void orderFocus();
    void focusAfterSetup();
    void refresh();

    LauncherModel& m_model;

    QLabel* m_headline = nullptr;
    WrappingLabel* m_subheadline = nullptr;
    InstalledPanel* m_installedPanel = nullptr;
    SetupPanel* m_setupPanel = nullptr;
    BusyIndicator* m_progress = nullptr;
    WrappingLabel* m_status = nullptr;
    ErrorBox* m_errorBox = nullptr;
    QScrollArea* m_scroll = nullptr;
    QList<QPushButton*> m_links;
};

} // namespace launcher
