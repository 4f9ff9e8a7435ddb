#pragma once
// Everything the desktop front end asks of the desktop itself: open and save
// panels, opening files, folders and web pages with their default applications,
// alerts, questions and lists to choose from. QtDesktopServices is the real
// one; tests put in a double that answers from a script and records what was
// asked. Main thread only.

#include <QString>
#include <QUrl>

#include <cstddef>
#include <optional>
#include <vector>

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

// A short list to choose one item from, such as the snapshots of the saves.
struct ListPanel {
    struct Item {
        QString title;
        QString detail;
    };

    QString title;
    QString message;
    // The button that takes the highlighted item.
    QString chooseButton;
    // At least one; the first is highlighted at the start.
    std::vector<Item> items;
};

// A question before something that changes the player's files: the cancel
// button is the default, `confirmButton` goes ahead.
struct Confirmation {
    QString messageText;
    QString informativeText;
    QString confirmButton;
    // A choice offered beside the buttons, ticked at first; none when empty.
    // While it is unticked, `informativeTextUnticked` takes the informative text's place.
    QString option;
    QString informativeTextUnticked;
};

struct ConfirmationAnswer {
    bool confirmed = false;
    // Whether the option was ticked; false when there was none.
    bool option = false;
};

// A save panel for a file that does not exist yet.
struct SavePanel {
    QString title;
    // The folder the panel opens in and the name it suggests there.
    QString directory;
    QString fileName;
    // Added to a typed name without it, such as "zip".
    QString suffix;
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

    // Each of these runs modally over `window` like an alert.
    // The index of the chosen item, or nullopt when cancelled.
    virtual std::optional<std::size_t> chooseFromList(const ListPanel& panel, QWidget* window) = 0;
    virtual ConfirmationAnswer confirm(const Confirmation& confirmation, QWidget* window) = 0;
    // The chosen file, which may exist: the panel does not ask about replacing
    // it, so that whoever writes it says what it makes of one that exists.
    virtual PanelChoice chooseNewFile(const SavePanel& panel, QWidget* window) = 0;
};

} // namespace launcher
