#include "ui/ErrorBox.h"

#include "ui/Controls.h"
#include "ui/LauncherStyle.h"
#include "ui/WrappingLabel.h"

#include <QVBoxLayout>

namespace launcher {

ErrorBox::ErrorBox(QWidget* parent)
    : QFrame(parent)
    , m_message(wrappingLabel("errorLabel", style::systemFont(12)))
{
    setObjectName("errorBox");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(12, 12, 12, 12);
    box->addWidget(m_message);
}

void ErrorBox::showError(const std::optional<QString>& message)
{
    setVisible(message.has_value());
    m_message->setText(message.value_or(QString()));
}

} // namespace launcher
