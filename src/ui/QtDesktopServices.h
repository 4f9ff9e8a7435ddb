#pragma once

#include "ui/DesktopServices.h"

namespace launcher {

// The desktop services of a running Qt application: Qt's file dialog (the
// native open and save panels on macOS), QDesktopServices, and message boxes
// and lists in the launcher's dark scheme.
class QtDesktopServices final : public DesktopServices {
public:
    PanelChoice choose(const OpenPanel& panel) override;
    bool open(const QUrl& url) override;
    void alert(const Alert& alert, QWidget* window) override;
    void about(QWidget* window) override;
    std::optional<std::size_t> chooseFromList(const ListPanel& panel, QWidget* window) override;
    ConfirmationAnswer confirm(const Confirmation& confirmation, QWidget* window) override;
    PanelChoice chooseNewFile(const SavePanel& panel, QWidget* window) override;
};

} // namespace launcher
