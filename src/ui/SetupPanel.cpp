#include "ui/SetupPanel.h"

#include "ui/CheckBox.h"
#include "ui/Controls.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/SelectionRow.h"
#include "ui/SteadyButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace launcher {

SetupPanel::SetupPanel(LauncherModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    // Row titles and details are shown as they are, not looked up for translation.
    , m_gameRow(new SelectionRow("game", "01", "Veyra 2 game files",
                                 "Installer 2.1 archive or a Project Kestrane game folder"))
    , m_audioRow(new SelectionRow("audio", "02", "Audio package", "Your supported MPSetup.exe or WMADMOD.DLL"))
    , m_consent(new CheckBox(tr("I own Veyra 2 for Windows Vista and have permission to use these files.")))
    , m_setupButton(new SteadyButton({tr("Set up Veyra 2"), tr("Setting up…")}))
{
    setObjectName("setupPanel");
    m_setupButton->setObjectName("setupButton");
    m_setupButton->setCursor(Qt::PointingHandCursor);

    connect(m_gameRow, &SelectionRow::chooseRequested, &m_model, &LauncherModel::selectGame);
    connect(m_audioRow, &SelectionRow::chooseRequested, &m_model, &LauncherModel::selectAudio);
    auto* rows = new QVBoxLayout;
    rows->setSpacing(12);
    rows->addWidget(m_gameRow);
    rows->addWidget(m_audioRow);

    m_consent->setObjectName("consentCheckBox");
    m_consent->setFont(style::systemFont(12));
    connect(m_consent, &QCheckBox::toggled, &m_model, &LauncherModel::setOwnsFiles);

    m_setupButton->setFont(style::systemFont(14, QFont::DemiBold));
    m_setupButton->setDefault(true);
    connect(m_setupButton, &QPushButton::clicked, &m_model, &LauncherModel::install);
    QLabel* note = label("requirementsNote",
                         tr("About 341 MB to download · 12 GB free space") + '\n' +
                             tr("Game and Microsoft audio files are not included."),
                         style::systemFont(11));

    auto* action = new QHBoxLayout;
    action->setSpacing(16);
    action->addWidget(m_setupButton, 0, Qt::AlignVCenter);
    action->addWidget(note, 0, Qt::AlignVCenter);
    action->addStretch(1);

    // Its three parts stand as far apart as the window's own parts.
    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(style::kSectionSpacing);
    panel->addLayout(rows);
    // As wide as its text, so that its focus ring hugs it and a click beside it does nothing.
    panel->addWidget(m_consent, 0, Qt::AlignLeft);
    panel->addLayout(action);
}

void SetupPanel::refresh()
{
    const bool busy = m_model.busy();
    // A menu action may run while the setup panel shows: an uninstall of what an unfinished setup left.
    const bool free = !busy && !m_model.maintaining();
    m_gameRow->showChoice(m_model.gameURL(), free);
    m_audioRow->showChoice(m_model.audioURL(), free);
    {
        const QSignalBlocker quiet(m_consent);
        m_consent->setChecked(m_model.ownsFiles());
    }
    m_consent->setEnabled(free);
    m_setupButton->setText(busy ? tr("Setting up…") : tr("Set up Veyra 2"));
    m_setupButton->setEnabled(free && !m_model.gameURL().isEmpty() && !m_model.audioURL().isEmpty() &&
                              m_model.ownsFiles());
}

} // namespace launcher
