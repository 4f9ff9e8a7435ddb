#include "ui/RepairPanel.h"

#include "ui/Controls.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/PanelParts.h"
#include "ui/SelectionRow.h"
#include "ui/SteadyButton.h"
#include "ui/Symbols.h"
#include "ui/WindowTexts.h"
#include "ui/WrappingLabel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace launcher {

RepairPanel::RepairPanel(LauncherModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_gameRow(gameFilesRow("repairGame"))
    , m_audioRow(audioPackageRow("repairAudio"))
    , m_repairButton(styledButton("repairButton", new SteadyButton({tr("Repair Veyra 2"), tr("Repairing…")})))
{
    setObjectName("repairPanel");
    setAccessibleName(tr("Repair your installation"));
    setAccessibleDescription(tr(texts::kRepairPanelDescription));

    connect(m_repairButton, &QPushButton::clicked, &m_model, &LauncherModel::repair);
    QLabel* note =
        label("repairNote", tr(texts::kOnlyDamageRedone) + '\n' + tr(texts::kSavesKept), style::systemFont(11));

    // Spaced as the setup panel is, whose place it takes.
    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(style::kSectionSpacing);
    panel->addWidget(buildDamageBox());
    panel->addLayout(fileChoices(m_model, m_gameRow, m_audioRow));
    panel->addLayout(actionRow(m_repairButton, note));
}

// Framed as the installed panel is: its label, then what is damaged.
QWidget* RepairPanel::buildDamageBox()
{
    auto* box = new QFrame;
    box->setObjectName("damagePanel");

    auto* heading = new QHBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(
        symbol("damageSymbol", symbols::exclamationTriangle(16, style::errorText(), devicePixelRatioF())));
    heading->addWidget(label("damageLabel", tr("Needs repair"), font()));
    heading->addStretch(1);

    m_damageLines = new QVBoxLayout;
    m_damageLines->setSpacing(6);
    m_damageNote = wrappingLabel("damageNote", style::systemFont(13));

    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(16);
    column->addLayout(heading);
    column->addLayout(m_damageLines);
    column->addWidget(m_damageNote);
    return box;
}

void RepairPanel::refresh()
{
    const RepairFindings& findings = m_model.findings();
    // An uninstall may run while the repair panel shows.
    const bool idle = m_model.idle();
    showDamage(findings.damage);
    m_damageNote->setVisible(findings.damage.isEmpty());
    m_damageNote->setText(m_model.state().checking() ? tr(texts::kLookingForDamage) : tr(texts::kRepairLooksAgain));

    m_gameRow->setVisible(findings.needsGame);
    m_gameRow->showChoice(m_model.gameURL(), idle);
    m_gameRow->showProblem(m_model.gameProblem());
    m_audioRow->setVisible(findings.needsAudio);
    // Numbered as they show.
    m_audioRow->setStep(findings.needsGame ? "02" : "01");
    m_audioRow->showChoice(m_model.audioURL(), idle);

    m_repairButton->setText(m_model.busy() ? tr("Repairing…") : tr("Repair Veyra 2"));
    m_repairButton->setEnabled(m_model.mayRepair());
}

void RepairPanel::showDamage(const QStringList& damage)
{
    if (damage == m_shownDamage)
        return;
    m_shownDamage = damage;
    while (QLayoutItem* item = m_damageLines->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    // The check's own sentences, as they are.
    for (const QString& sentence : damage) {
        WrappingLabel* line = wrappingLabel("damageLine", style::systemFont(13));
        line->setText(sentence);
        m_damageLines->addWidget(line);
    }
}

QWidget* RepairPanel::firstControl() const
{
    const RepairFindings& findings = m_model.findings();
    if (findings.needsGame && m_model.gameURL().isEmpty())
        return m_gameRow->button();
    if (findings.needsAudio && m_model.audioURL().isEmpty())
        return m_audioRow->button();
    return m_repairButton;
}

} // namespace launcher
