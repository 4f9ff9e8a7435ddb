#pragma once

#include <QPushButton>
#include <QStringList>

namespace launcher {

// A push button as wide as the widest of the texts it takes turns showing, so
// that what stands beside it stays in place when its text changes.
class SteadyButton final : public QPushButton {
    Q_OBJECT

public:
    explicit SteadyButton(QStringList texts, QWidget* parent = nullptr);

    // QPushButton's minimum size follows this one.
    QSize sizeHint() const override;

private:
    QStringList m_texts;
};

} // namespace launcher
