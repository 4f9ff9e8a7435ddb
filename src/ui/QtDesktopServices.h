#pragma once

#include "ui/DesktopServices.h"

namespace launcher {

// The desktop services of a running Qt application: Qt's file dialog (the
// native open panel on macOS), QDesktopServices, and message boxes in the
// launcher's dark scheme.
class QtDesktopServices final : public DesktopServices {
public:
    PanelChoice choose(const OpenPanel& panel) override;
    bool open(const QUrl& url) override;
    void alert(const Alert& alert, QWidget* window) override;
    void about(QWidget* window) override;
};

} // namespace launcher
