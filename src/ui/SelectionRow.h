#pragma once

#include <QFrame>
#include <QString>
#include <QUrl>

class QLabel;
class QPushButton;

namespace launcher {

class WrappingLabel;

// One file choice of the setup panel: step badge, title, detail line and the
// button that opens the panel. Child object names start with `name`:
// "<name>Row", "<name>Step", "<name>Title", "<name>Detail", "<name>Button".
class SelectionRow final : public QFrame {
    Q_OBJECT

public:
    SelectionRow(const QString& name, const QString& step, const QString& title, const QString& detail,
                 QWidget* parent = nullptr);

    QPushButton* button() const { return m_button; }

    // Shows the chosen item's name, with its whole path as the row's tooltip,
    // or the detail text while nothing is chosen.
    void showChoice(const QUrl& value, bool enabled);

signals:
    void chooseRequested();

private:
    QString m_detail;
    WrappingLabel* m_detailLabel;
    QPushButton* m_button;
};

} // namespace launcher
