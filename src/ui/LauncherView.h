#pragma once
// The whole content of the launcher window: header, headline, the setup panel
// or (once an installation is ready) the installed panel, the status line, the
// error box and the footer. It keeps no state of its own: every model change
// updates it from the model, and every control calls one model operation.
// Widgets carry object names ("setupButton", "statusLabel", "errorBox", ...) by
// which tests find them.

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace launcher {

class BusyIndicator;
class CheckBox;
class DesktopServices;
class LauncherModel;
class SelectionRow;
class WrappingLabel;

class LauncherView final : public QWidget {
    Q_OBJECT

public:
    // The model and the services must outlive the view.
    LauncherView(LauncherModel& model, DesktopServices& services, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {760, 650}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLayout* buildHeader();
    QLayout* buildHeadline();
    QWidget* buildInstalledPanel();
    QWidget* buildSetupPanel();
    QLayout* buildStatusRow();
    QWidget* buildErrorBox();
    QLayout* buildFooter();
    void openGameDownload();
    void refresh();

    LauncherModel& m_model;
    DesktopServices& m_services;

    QLabel* m_headline = nullptr;
    WrappingLabel* m_subheadline = nullptr;
    QFrame* m_installedPanel = nullptr;
    QPushButton* m_playButton = nullptr;
    QWidget* m_setupPanel = nullptr;
    SelectionRow* m_gameRow = nullptr;
    SelectionRow* m_audioRow = nullptr;
    CheckBox* m_consent = nullptr;
    QPushButton* m_setupButton = nullptr;
    BusyIndicator* m_progress = nullptr;
    WrappingLabel* m_status = nullptr;
    QFrame* m_errorBox = nullptr;
    WrappingLabel* m_errorLabel = nullptr;
};

} // namespace launcher
