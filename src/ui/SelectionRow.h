#pragma once

#include <QFrame>
#include <QString>
#include <QUrl>

#include <optional>

class QLabel;
class QPushButton;

namespace launcher {

class WrappingLabel;

// One file choice of the setup panel: step badge, title, detail line, why
// setup would refuse the chosen files, and the button that opens the panel.
// Child object names start with `name`: "<name>Row", "<name>Step",
// "<name>Title", "<name>Detail", "<name>Problem", "<name>Button".
class SelectionRow final : public QFrame {
    Q_OBJECT

public:
    SelectionRow(const QString& name, const QString& step, const QString& title, const QString& detail,
                 QWidget* parent = nullptr);

    QPushButton* button() const { return m_button; }
    // The step badge's text; rows that show only when needed are numbered as they show.
    void setStep(const QString& step);

    // Shows the chosen item's name, with its whole path as the row's tooltip,
    // or the detail text while nothing is chosen.
    void showChoice(const QUrl& value, bool enabled);
    // Under the detail line, in the error colour: why setup would refuse the
    // chosen files; nothing while there is no problem.
    void showProblem(const std::optional<QString>& problem);

signals:
    void chooseRequested();

private:
    QString m_detail;
    QLabel* m_step;
    WrappingLabel* m_detailLabel;
    WrappingLabel* m_problem;
    QPushButton* m_button;
};

// The two file choices, as the setup panel and the repair panel show them;
// `name` starts the rows' object names.
SelectionRow* gameFilesRow(const QString& name);
SelectionRow* audioPackageRow(const QString& name);

} // namespace launcher
