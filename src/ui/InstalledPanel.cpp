#include "ui/InstalledPanel.h"

#include "app/FailureMessage.h"
#include "ui/Controls.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/Symbols.h"
#include "ui/WindowTexts.h"
#include "ui/WrappingLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace launcher {

InstalledPanel::InstalledPanel(LauncherModel& model, QWidget* parent)
    : QFrame(parent)
    , m_model(model)
    , m_playButton(button("playButton", tr("Play Veyra 2")))
    , m_saveFoldersButton(button("saveFoldersButton", tr("Show save folders")))
    , m_updateNews(wrappingLabel("updateNews", style::systemFont(14)))
    , m_updateButton(button("updateButton", tr("Update (%1 MB)").arg(model.updateDownloadSize() / 1'000'000)))
{
    setObjectName("installedPanel");
    setAccessibleName(tr("Your installation"));

    auto* installed = new QHBoxLayout;
    installed->setSpacing(6);
    installed->addWidget(symbol("installedSymbol", symbols::checkmarkCircle(16, style::accent(), devicePixelRatioF())));
    installed->addWidget(label("installedLabel", tr("Installed on this Mac"), font()));
    installed->addStretch(1);

    WrappingLabel* sentence = wrappingLabel("installedSentence", style::systemFont(14));
    sentence->setText(tr(texts::kSavesLiveApart));

    m_playButton->setFont(style::systemFont(14, QFont::DemiBold));
    m_playButton->setDefault(true);
    connect(m_playButton, &QPushButton::clicked, &m_model, &LauncherModel::play);
    connect(m_saveFoldersButton, &QPushButton::clicked, &m_model, &LauncherModel::openSaves);
    m_updateNews->setText(QString::fromStdString(runtimeUpdateNews(FrontEnd::window)));
    connect(m_updateButton, &QPushButton::clicked, &m_model, &LauncherModel::update);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(style::kDefaultSpacing);
    buttons->addWidget(m_playButton, 0, Qt::AlignVCenter);
    buttons->addWidget(m_saveFoldersButton, 0, Qt::AlignVCenter);
    buttons->addWidget(m_updateButton, 0, Qt::AlignVCenter);
    buttons->addStretch(1);

    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(24, 24, 24, 24);
    panel->setSpacing(16);
    panel->addLayout(installed);
    panel->addWidget(sentence);
    panel->addWidget(m_updateNews);
    panel->addLayout(buttons);
}

void InstalledPanel::refresh()
{
    m_playButton->setEnabled(!m_model.playing() && !m_model.state().maintaining());
    const bool update = m_model.state().updateAvailable();
    m_updateNews->setVisible(update);
    m_updateButton->setVisible(update);
    m_updateButton->setEnabled(!m_model.playing() && !m_model.state().maintaining() && !m_model.busy());
}

} // namespace launcher
