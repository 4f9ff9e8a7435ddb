#pragma once

#include <QFrame>
#include <QString>

#include <optional>

namespace launcher {

class WrappingLabel;

// The last failure, in the orange box: the message as it is, wrapping onto as
// many lines as it needs.
class ErrorBox final : public QFrame {
    Q_OBJECT

public:
    explicit ErrorBox(QWidget* parent = nullptr);

    // Shows the box with the message, or hides it when there is none.
    void showError(const std::optional<QString>& message);

private:
    WrappingLabel* m_message;
};

} // namespace launcher
