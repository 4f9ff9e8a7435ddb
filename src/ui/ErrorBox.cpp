#include "ui/ErrorBox.h"

#include "ui/Controls.h"
#include "ui/LauncherStyle.h"
#include "ui/WrappingLabel.h"

#include <QAccessible>
#include <QVBoxLayout>

namespace launcher {

ErrorBox::ErrorBox(QWidget* parent)
    : QFrame(parent)
    , m_message(wrappingLabel("errorLabel", style::systemFont(12)))
    , m_details(wrappingLabel("errorDetailsLabel", style::systemFont(11)))
{
    setObjectName("errorBox");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(12, 12, 12, 12);
    box->setSpacing(6);
    box->addWidget(m_message);
    box->addWidget(m_details);
}

void ErrorBox::showError(const std::optional<QString>& message, const QString& details)
{
    const bool news = message.has_value() && (isHidden() || m_message->text() != *message);
    setVisible(message.has_value());
    m_message->setText(message.value_or(QString()));
    m_details->setVisible(!details.isEmpty());
    m_details->setText(tr("Details: %1").arg(details));
    // What the box says, for the alert to be read as a whole.
    setAccessibleName(message.value_or(QString()));
    setAccessibleDescription(details.isEmpty() ? QString() : m_details->text());
    if (news) {
        // Sent only while assistive technology listens.
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

} // namespace launcher
