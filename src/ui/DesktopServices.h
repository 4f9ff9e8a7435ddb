#pragma once
// Everything the desktop front end asks of the desktop itself: open panels,
// opening files, folders and web pages with their default applications, and
// alerts. QtDesktopServices is the real one; tests put in a double that answers
// from a script and records what was asked. Main thread only.

#include <QString>
#include <QUrl>

class QWidget;

namespace launcher {

struct OpenPanel {
    QString title;
    QString message;
    bool canChooseDirectories = false;
    bool canChooseFiles = true;
    // The folder the panel opens in.
    QString directory;
};

// What the user did with an open panel. A confirmed panel may still report no item.
struct PanelChoice {
    bool confirmed = false;
    QUrl url;
};

struct Alert {
    QString messageText;
    QString informativeText;
};

class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Runs the panel modally; one item at most, no file-type filter.
    virtual PanelChoice choose(const OpenPanel& panel) = 0;
    // Opens the file, folder or web page with its default application; false
    // when the desktop reports that it could not (no application for it).
    virtual bool open(const QUrl& url) = 0;
    // Shows the alert modally with one confirmation button and returns once it
    // is dismissed; centred over `window` while that is on screen.
    virtual void alert(const Alert& alert, QWidget* window) = 0;
    // The application's About panel, over `window` like an alert.
    virtual void about(QWidget* window) = 0;
};

} // namespace launcher
