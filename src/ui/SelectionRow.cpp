#include "ui/SelectionRow.h"

#include "ui/Controls.h"
#include "ui/LauncherStyle.h"
#include "ui/WrappingLabel.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace launcher {
namespace {

// The last component of the chosen path: the file's or the folder's own name.
QString chosenName(const QUrl& value)
{
    return QFileInfo(QDir::cleanPath(value.toLocalFile())).fileName();
}

} // namespace

SelectionRow::SelectionRow(const QString& name, const QString& step, const QString& title, const QString& detail,
                           QWidget* parent)
    : QFrame(parent)
    , m_detail(detail)
    , m_step(new QLabel(step))
    , m_detailLabel(new WrappingLabel)
    , m_problem(wrappingLabel(name + "Problem", style::systemFont(12)))
    , m_button(launcher::button(name + "Button", {}))
{
    setObjectName(name + "Row");

    m_step->setObjectName(name + "Step");
    m_step->setFont(style::monospacedFont(15, QFont::DemiBold));
    m_step->setAlignment(Qt::AlignCenter);
    m_step->setFixedSize(34, 34);

    auto* titleLabel = new QLabel(title);
    titleLabel->setObjectName(name + "Title");
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setFont(style::systemFont(16, QFont::DemiBold));

    m_detailLabel->setObjectName(name + "Detail");
    m_detailLabel->setFont(style::systemFont(12));
    m_detailLabel->setMaximumLines(2);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(5);
    texts->addWidget(titleLabel);
    texts->addWidget(m_detailLabel);
    texts->addWidget(m_problem);
    m_problem->hide();

    m_button->setAccessibleName(tr("Choose %1").arg(title));
    connect(m_button, &QPushButton::clicked, this, &SelectionRow::chooseRequested);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 18, 18, 18);
    row->setSpacing(16);
    row->addWidget(m_step, 0, Qt::AlignVCenter);
    row->addLayout(texts, 1);
    row->addWidget(m_button, 0, Qt::AlignVCenter);
}

void SelectionRow::setStep(const QString& step)
{
    m_step->setText(step);
}

void SelectionRow::showChoice(const QUrl& value, bool enabled)
{
    const bool chosen = !value.isEmpty();
    m_detailLabel->setText(chosen ? chosenName(value) : m_detail);
    // Only the last part of the path fits the row; all of it is a hover away.
    setToolTip(chosen ? QDir::toNativeSeparators(value.toLocalFile()) : QString());
    m_button->setText(chosen ? tr("Change…") : tr("Choose…"));
    m_button->setEnabled(enabled);
}

void SelectionRow::showProblem(const std::optional<QString>& problem)
{
    m_problem->setVisible(problem.has_value());
    m_problem->setText(problem.value_or(QString()));
}

// Row titles and details are shown as they are, not looked up for translation.
SelectionRow* gameFilesRow(const QString& name)
{
    return new SelectionRow(name, "01", "Veyra 2 game files",
                            "Installer 2.1 archive or a Project Kestrane game folder");
}

SelectionRow* audioPackageRow(const QString& name)
{
    return new SelectionRow(name, "02", "Audio package", "Your supported MPSetup.exe or WMADMOD.DLL");
}

} // namespace launcher
