#include "ui/SetupPanel.h"

#include "ui/CheckBox.h"
#include "ui/Controls.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/PanelParts.h"
#include "ui/SelectionRow.h"
#include "ui/SteadyButton.h"
#include "ui/WindowTexts.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace launcher {

SetupPanel::SetupPanel(LauncherModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_gameRow(gameFilesRow("game"))
    , m_audioRow(audioPackageRow("audio"))
    , m_consent(new CheckBox(tr(texts::kOwnershipConsent)))
    , m_setupButton(styledButton("setupButton", new SteadyButton({tr("Set up Veyra 2"), tr("Setting up…")})))
{
    setObjectName("setupPanel");
    setAccessibleName(tr("Set up Veyra 2"));
    setAccessibleDescription(tr(texts::kSetupPanelDescription));

    m_consent->setObjectName("consentCheckBox");
    m_consent->setFont(style::systemFont(12));
    connect(m_consent, &QCheckBox::toggled, &m_model, &LauncherModel::setOwnsFiles);

    connect(m_setupButton, &QPushButton::clicked, &m_model, &LauncherModel::install);
    QLabel* note = label("requirementsNote",
                         tr("About 341 MB to download · 12 GB free space") + '\n' + tr(texts::kFilesNotIncluded),
                         style::systemFont(11));

    // Its three parts stand as far apart as the window's own parts.
    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(style::kSectionSpacing);
    panel->addLayout(fileChoices(m_model, m_gameRow, m_audioRow));
    // As wide as its text, so that its focus ring hugs it and a click beside it does nothing.
    panel->addWidget(m_consent, 0, Qt::AlignLeft);
    panel->addLayout(actionRow(m_setupButton, note));
}

void SetupPanel::refresh()
{
    const bool busy = m_model.busy();
    // A menu action may run while the setup panel shows: an uninstall of what an unfinished setup left.
    const bool free = !busy && !m_model.state().maintaining();
    m_gameRow->showChoice(m_model.gameURL(), free);
    m_gameRow->showProblem(m_model.gameProblem());
    m_audioRow->showChoice(m_model.audioURL(), free);
    {
        const QSignalBlocker quiet(m_consent);
        m_consent->setChecked(m_model.ownsFiles());
    }
    m_consent->setEnabled(free);
    m_setupButton->setText(busy ? tr("Setting up…") : tr("Set up Veyra 2"));
    m_setupButton->setEnabled(m_model.mayInstall());
}

} // namespace launcher
