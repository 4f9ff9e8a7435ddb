#pragma once

#include <QFrame>
#include <QString>

#include <optional>

namespace launcher {

class WrappingLabel;

// The last failure, in the orange box: the message as it is and, when the
// message retells what the system said, that text as a smaller "Details:" line.
// Both wrap onto as many lines as they need.
class ErrorBox final : public QFrame {
    Q_OBJECT

public:
    explicit ErrorBox(QWidget* parent = nullptr);

    // Shows the box with the message, or hides it when there is none; empty
    // details leave out their line. A new message is announced to assistive
    // technology as an alert.
    void showError(const std::optional<QString>& message, const QString& details);

private:
    WrappingLabel* m_message;
    WrappingLabel* m_details;
};

} // namespace launcher
