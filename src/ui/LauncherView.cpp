#include "ui/LauncherView.h"

#include "ui/BusyIndicator.h"
#include "ui/CheckBox.h"
#include "ui/DesktopServices.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/SelectionRow.h"
#include "ui/Symbols.h"
#include "ui/WrappingLabel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace launcher {
namespace {

// The install page of the community site that distributes the game.
const char* const kGameDownloadAddress = "https://projectkestrane.org/install/";

constexpr int kDefaultSpacing = 8;

QLabel* label(const QString& name, const QString& text, const QFont& font)
{
    auto* result = new QLabel(text);
    result->setObjectName(name);
    result->setTextFormat(Qt::PlainText);
    result->setFont(font);
    return result;
}

WrappingLabel* wrappingLabel(const QString& name, const QFont& font)
{
    auto* result = new WrappingLabel;
    result->setObjectName(name);
    result->setFont(font);
    return result;
}

QPushButton* button(const QString& name, const QString& text)
{
    auto* result = new QPushButton(text);
    result->setObjectName(name);
    result->setCursor(Qt::PointingHandCursor);
    return result;
}

QPushButton* prominentButton(const QString& name, const QString& text)
{
    QPushButton* result = button(name, text);
    result->setFont(style::systemFont(14, QFont::DemiBold));
    result->setDefault(true);
    return result;
}

QLabel* symbol(const QString& name, const QPixmap& pixmap)
{
    auto* result = new QLabel;
    result->setObjectName(name);
    result->setPixmap(pixmap);
    return result;
}

} // namespace

LauncherView::LauncherView(LauncherModel& model, DesktopServices& services, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_services(services)
{
    setObjectName("launcherView");
    setMinimumSize(720, 610);
    setPalette(style::darkPalette());
    setStyleSheet(style::styleSheet());

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(32, 32, 32, 32);
    outer->setSpacing(20);
    outer->addLayout(buildHeader());
    outer->addLayout(buildHeadline());
    outer->addWidget(buildInstalledPanel());
    outer->addWidget(buildSetupPanel());
    outer->addLayout(buildStatusRow());
    outer->addWidget(buildErrorBox());
    outer->addStretch(1);
    outer->addLayout(buildFooter());

    for (const auto changed : {&LauncherModel::gameURLChanged, &LauncherModel::audioURLChanged,
                               &LauncherModel::ownsFilesChanged, &LauncherModel::busyChanged,
                               &LauncherModel::playingChanged, &LauncherModel::readyChanged,
                               &LauncherModel::statusChanged, &LauncherModel::errorChanged})
        connect(&m_model, changed, this, &LauncherView::refresh);
    refresh();
}

QLayout* LauncherView::buildHeader()
{
    QFont headerFont = style::monospacedFont(11, QFont::DemiBold);
    headerFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);

    auto* row = new QHBoxLayout;
    row->setSpacing(kDefaultSpacing);
    row->addWidget(symbol("headerSymbol", symbols::desktopComputer(14, style::accent(), devicePixelRatioF())));
    row->addWidget(label("headerLabel", tr("VEYRA 2 · MAC LAUNCHER"), headerFont));
    row->addStretch(1);
    row->addWidget(label("betaBadge", tr("UNOFFICIAL BETA 0.1"), style::monospacedFont(10, QFont::Medium)));
    return row;
}

QLayout* LauncherView::buildHeadline()
{
    auto* block = new QVBoxLayout;
    block->setSpacing(9);
    m_headline = label("headline", {}, style::systemFont(33, QFont::Bold));
    m_subheadline = wrappingLabel("subheadline", style::systemFont(14));
    block->addWidget(m_headline);
    block->addWidget(m_subheadline);
    return block;
}

QWidget* LauncherView::buildInstalledPanel()
{
    m_installedPanel = new QFrame;
    m_installedPanel->setObjectName("installedPanel");

    auto* installed = new QHBoxLayout;
    installed->setSpacing(6);
    installed->addWidget(symbol("installedSymbol", symbols::checkmarkCircle(16, style::accent(), devicePixelRatioF())));
    installed->addWidget(label("installedLabel", tr("Installed on this Mac"), font()));
    installed->addStretch(1);

    WrappingLabel* sentence = wrappingLabel("installedSentence", style::systemFont(14));
    sentence->setText(
        tr("Your game and saves live separately from this launcher, so replacing the app keeps your progress."));

    m_playButton = prominentButton("playButton", tr("Play Veyra 2"));
    connect(m_playButton, &QPushButton::clicked, &m_model, &LauncherModel::play);
    QPushButton* saves = button("saveFoldersButton", tr("Show save folders"));
    connect(saves, &QPushButton::clicked, &m_model, &LauncherModel::openSaves);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kDefaultSpacing);
    buttons->addWidget(m_playButton, 0, Qt::AlignVCenter);
    buttons->addWidget(saves, 0, Qt::AlignVCenter);
    buttons->addStretch(1);

    auto* panel = new QVBoxLayout(m_installedPanel);
    panel->setContentsMargins(24, 24, 24, 24);
    panel->setSpacing(16);
    panel->addLayout(installed);
    panel->addWidget(sentence);
    panel->addLayout(buttons);
    return m_installedPanel;
}

QWidget* LauncherView::buildSetupPanel()
{
    m_setupPanel = new QWidget;
    m_setupPanel->setObjectName("setupPanel");

    // Row titles and details are shown as they are, not looked up for translation.
    m_gameRow = new SelectionRow("game", "01", "Veyra 2 game files",
                                 "Installer 2.1 archive or a Project Kestrane game folder");
    connect(m_gameRow, &SelectionRow::chooseRequested, &m_model, &LauncherModel::selectGame);
    m_audioRow = new SelectionRow("audio", "02", "Audio package", "Your supported MPSetup.exe or WMADMOD.DLL");
    connect(m_audioRow, &SelectionRow::chooseRequested, &m_model, &LauncherModel::selectAudio);

    auto* rows = new QVBoxLayout;
    rows->setSpacing(12);
    rows->addWidget(m_gameRow);
    rows->addWidget(m_audioRow);

    m_consent = new CheckBox(tr("I own Veyra 2 for Windows Vista and have permission to use these files."));
    m_consent->setObjectName("consentCheckBox");
    m_consent->setFont(style::systemFont(12));
    connect(m_consent, &QCheckBox::toggled, &m_model, &LauncherModel::setOwnsFiles);

    m_setupButton = prominentButton("setupButton", {});
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

    auto* panel = new QVBoxLayout(m_setupPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(20);
    panel->addLayout(rows);
    panel->addWidget(m_consent);
    panel->addLayout(action);
    return m_setupPanel;
}

QLayout* LauncherView::buildStatusRow()
{
    m_progress = new BusyIndicator;
    m_progress->setObjectName("progressIndicator");
    m_status = wrappingLabel("statusLabel", style::systemFont(12));

    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(m_progress, 0, Qt::AlignVCenter);
    row->addWidget(m_status, 1, Qt::AlignVCenter);
    return row;
}

QWidget* LauncherView::buildErrorBox()
{
    m_errorBox = new QFrame;
    m_errorBox->setObjectName("errorBox");
    m_errorLabel = wrappingLabel("errorLabel", style::systemFont(12));
    auto* box = new QVBoxLayout(m_errorBox);
    box->setContentsMargins(12, 12, 12, 12);
    box->addWidget(m_errorLabel);
    return m_errorBox;
}

QLayout* LauncherView::buildFooter()
{
    QPushButton* guide = button("guideLink", tr("Setup Guide"));
    connect(guide, &QPushButton::clicked, &m_model, &LauncherModel::openGuide);
    QPushButton* download = button("downloadLink", tr("Game download"));
    connect(download, &QPushButton::clicked, this, &LauncherView::openGameDownload);
    QPushButton* logs = button("logsLink", tr("Open Logs"));
    connect(logs, &QPushButton::clicked, &m_model, &LauncherModel::openLogs);

    auto* row = new QHBoxLayout;
    row->setSpacing(kDefaultSpacing);
    row->addWidget(guide);
    row->addWidget(download);
    row->addWidget(logs);
    row->addStretch(1);
    row->addWidget(label("footerNote", tr("macOS 14+ · Rosetta on Apple silicon"), style::systemFont(10)));
    return row;
}

void LauncherView::openGameDownload()
{
    const QUrl address(kGameDownloadAddress, QUrl::StrictMode);
    if (address.isValid())
        m_services.open(address);
}

void LauncherView::refresh()
{
    const bool ready = m_model.ready();
    const bool busy = m_model.busy();
    const bool playing = m_model.playing();

    m_headline->setText(ready ? tr("Ready when you are.") : tr("Your game. Ready for Mac."));
    m_subheadline->setText(ready
                               ? tr("Campaign, familiar controls, and the audio fix—all in your own installation.")
                               : tr("Bring your Veyra 2 files. We’ll take care of the compatibility setup."));

    m_installedPanel->setVisible(ready);
    m_playButton->setEnabled(!playing);

    m_setupPanel->setVisible(!ready);
    m_gameRow->showChoice(m_model.gameURL(), !busy);
    m_audioRow->showChoice(m_model.audioURL(), !busy);
    {
        const QSignalBlocker quiet(m_consent);
        m_consent->setChecked(m_model.ownsFiles());
    }
    m_consent->setEnabled(!busy);
    m_setupButton->setText(busy ? tr("Setting up…") : tr("Set up Veyra 2"));
    m_setupButton->setEnabled(!busy && !m_model.gameURL().isEmpty() && !m_model.audioURL().isEmpty() &&
                              m_model.ownsFiles());

    m_progress->setVisible(busy || playing);
    m_status->setText(m_model.status());
    m_errorBox->setVisible(m_model.error().has_value());
    m_errorLabel->setText(m_model.error().value_or(QString()));
}

void LauncherView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient background(rect().topLeft(), rect().bottomRight());
    background.setColorAt(0, style::backgroundTop());
    background.setColorAt(1, style::backgroundBottom());
    painter.fillRect(rect(), background);
}

} // namespace launcher
