#include "ui/LauncherView.h"

#include "ui/BusyIndicator.h"
#include "ui/CheckBox.h"
#include "ui/Controls.h"
#include "ui/ErrorBox.h"
#include "ui/FocusRing.h"
#include "ui/InstalledPanel.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/ProgressBar.h"
#include "ui/RepairPanel.h"
#include "ui/SelectionRow.h"
#include "ui/SetupPanel.h"
#include "ui/SteadyButton.h"
#include "ui/Symbols.h"
#include "ui/WindowTexts.h"
#include "ui/WrappingLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <utility>

namespace launcher {
namespace {

constexpr int kMargin = 32;

} // namespace

LauncherView::LauncherView(LauncherModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    setObjectName("launcherView");
    setMinimumSize(720, 610);
    setPalette(style::darkPalette());
    setStyleSheet(style::styleSheet());

    // The scrolling part reaches the window's edges, so that its scroll bar
    // stands at the edge instead of on the content; the rest keeps the margin.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, kMargin, 0, kMargin);
    outer->setSpacing(style::kSectionSpacing);
    outer->addLayout(buildHeader());
    outer->addWidget(buildContent(), 1);
    outer->addLayout(buildFooter());
    new FocusRing(this);
    orderFocus();

    connect(&m_model, &LauncherModel::stateChanged, this, &LauncherView::followState);
    // What the window shows besides where it stands.
    for (const auto changed :
         {&LauncherModel::gameURLChanged, &LauncherModel::audioURLChanged, &LauncherModel::ownsFilesChanged,
          &LauncherModel::checkingGameChanged, &LauncherModel::gameProblemChanged, &LauncherModel::statusChanged,
          &LauncherModel::errorChanged, &LauncherModel::errorDetailsChanged, &LauncherModel::findingsChanged})
        connect(&m_model, changed, this, &LauncherView::refresh);
    // Several times a second while setup runs: only the progress follows it.
    connect(&m_model, &LauncherModel::progressChanged, this, &LauncherView::refreshProgress);
    // After the refresh, which shows and enables what the focus goes to.
    connect(&m_model, &LauncherModel::findingsChanged, this, &LauncherView::placeFocus);
    connect(&m_model, &LauncherModel::errorChanged, this, &LauncherView::focusRefusedChoice);
    m_shownState = m_model.state();
    refresh();
    refreshProgress();

    // A repair panel still checking has nothing to focus yet; its check's end places the focus.
    if (m_model.ready())
        m_installedPanel->playButton()->setFocus(Qt::OtherFocusReason);
    else if (m_model.state().repairNeeded())
        placeFocus();
    else
        m_setupPanel->gameRow()->button()->setFocus(Qt::OtherFocusReason);
}

void LauncherView::followState()
{
    const LauncherState before = std::exchange(m_shownState, m_model.state());
    refresh();
    // The focus moves when the panel, or what may be pressed on it, changes:
    // not for a menu action, a stop request or the news of an update.
    bool (LauncherState::*const moves[])() const = {&LauncherState::busy, &LauncherState::ready,
                                                    &LauncherState::repairNeeded, &LauncherState::checking,
                                                    &LauncherState::playing};
    for (const auto flag : moves)
        if ((before.*flag)() != (m_shownState.*flag)()) {
            placeFocus();
            return;
        }
}

QLayout* LauncherView::buildHeader()
{
    QFont headerFont = style::monospacedFont(11, QFont::DemiBold);
    headerFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(kMargin, 0, kMargin, 0);
    row->setSpacing(style::kDefaultSpacing);
    row->addWidget(symbol("headerSymbol", symbols::desktopComputer(14, style::accent(), devicePixelRatioF())));
    row->addWidget(label("headerLabel", tr("VEYRA 2 · MAC LAUNCHER"), headerFont));
    row->addStretch(1);
    row->addWidget(label("betaBadge", tr("UNOFFICIAL BETA 0.1"), style::monospacedFont(10, QFont::Medium)));
    return row;
}

// Everything between the header and the footer. It is never laid out lower
// than it naturally is: when the window is too small for a long error, the
// content scrolls instead of squeezing the rows.
QScrollArea* LauncherView::buildContent()
{
    m_installedPanel = new InstalledPanel(m_model);
    m_setupPanel = new SetupPanel(m_model);
    m_repairPanel = new RepairPanel(m_model);
    m_errorBox = new ErrorBox;

    auto* content = new QWidget;
    content->setObjectName("content");
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(kMargin, 0, kMargin, 0);
    column->setSpacing(style::kSectionSpacing);
    column->addLayout(buildHeadline());
    column->addWidget(m_installedPanel);
    column->addWidget(m_setupPanel);
    column->addWidget(m_repairPanel);
    column->addLayout(buildStatus());
    column->addWidget(m_errorBox);
    column->addStretch(1);

    m_scroll = new QScrollArea;
    m_scroll->setObjectName("contentScroll");
    m_scroll->setFrameShape(QFrame::NoFrame);
    // Tabbing moves through the controls; the scroll area follows the focus by itself.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(content);
    // The window's gradient shows through.
    m_scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    new FocusRing(content);
    // A scroll bar takes its width from the right margin, so that the content keeps its edges.
    connect(m_scroll->verticalScrollBar(), &QScrollBar::rangeChanged, column, [column](int, int maximum) {
        column->setContentsMargins(kMargin, 0, maximum > 0 ? kMargin - style::kScrollBarWidth : kMargin, 0);
    });
    return m_scroll;
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

// The status line with the busy indicator and, while setup or repair runs,
// Cancel; under it the progress bar and its text, in line with the status text.
QLayout* LauncherView::buildStatus()
{
    constexpr int kIndicatorSpacing = 10;
    m_progress = new BusyIndicator;
    m_progress->setObjectName("progressIndicator");
    m_progress->setAccessibleName(tr("Working"));
    m_status = wrappingLabel("statusLabel", style::systemFont(12));
    m_cancelButton = styledButton("cancelButton", new SteadyButton({tr("Cancel"), tr("Stopping…")}));
    connect(m_cancelButton, &QPushButton::clicked, &m_model, &LauncherModel::cancel);

    auto* row = new QHBoxLayout;
    row->setSpacing(kIndicatorSpacing);
    row->addWidget(m_progress, 0, Qt::AlignVCenter);
    row->addWidget(m_status, 1, Qt::AlignVCenter);
    row->addWidget(m_cancelButton, 0, Qt::AlignVCenter);

    m_progressBar = new ProgressBar;
    m_progressBar->setObjectName("progressBar");
    m_progressBar->setAccessibleName(tr("Progress"));
    m_progressText = label("progressText", {}, style::systemFont(11));
    // One line high also before the first figures, so that nothing moves when they come.
    m_progressText->setMinimumHeight(m_progressText->fontMetrics().lineSpacing());
    m_setupProgress = new QWidget;
    m_setupProgress->setObjectName("setupProgress");
    auto* progress = new QVBoxLayout(m_setupProgress);
    progress->setContentsMargins(m_progress->sizeHint().width() + kIndicatorSpacing, 0, 0, 0);
    progress->setSpacing(6);
    progress->addWidget(m_progressBar);
    progress->addWidget(m_progressText);

    auto* status = new QVBoxLayout;
    status->setSpacing(10);
    status->addLayout(row);
    status->addWidget(m_setupProgress);
    return status;
}

QLayout* LauncherView::buildFooter()
{
    QPushButton* guide = button("guideLink", tr("Setup Guide"));
    connect(guide, &QPushButton::clicked, &m_model, &LauncherModel::openGuide);
    QPushButton* download = button("downloadLink", tr("Game download"));
    connect(download, &QPushButton::clicked, &m_model, &LauncherModel::openGameDownload);
    QPushButton* logs = button("logsLink", tr("Open Logs"));
    connect(logs, &QPushButton::clicked, &m_model, &LauncherModel::openLogs);
    m_links = {guide, download, logs};

    // The links' padding takes the place of the margin and spacing, so their texts stand where they would.
    auto* row = new QHBoxLayout;
    row->setContentsMargins(kMargin - style::kLinkPadding, 0, kMargin, 0);
    row->setSpacing(style::kDefaultSpacing - 2 * style::kLinkPadding);
    for (QPushButton* link : std::as_const(m_links))
        row->addWidget(link);
    row->addStretch(1);
    row->addWidget(label("footerNote", tr("macOS 14+ · Rosetta on Apple silicon"), style::systemFont(10)));
    return row;
}

// Top to bottom, whichever panel is shown; hidden and disabled controls are passed over.
void LauncherView::orderFocus()
{
    const QList<QWidget*> order{m_installedPanel->playButton(),     m_installedPanel->saveFoldersButton(),
                                m_installedPanel->updateButton(),
                                m_setupPanel->gameRow()->button(),  m_setupPanel->audioRow()->button(),
                                m_setupPanel->consent(),            m_setupPanel->setupButton(),
                                m_repairPanel->gameRow()->button(), m_repairPanel->audioRow()->button(),
                                m_repairPanel->repairButton(),      m_cancelButton,
                                m_links[0],                         m_links[1],
                                m_links[2]};
    for (qsizetype index = 1; index < order.size(); ++index)
        setTabOrder(order[index - 1], order[index]);
}

// While setup or repair runs, the focus rests on Cancel, not on a footer link
// that disabling the panel's controls would pass it to. Once setup or repair
// has succeeded the player goes on to Play, and back to it once the game has
// ended or its start was refused; after a failure, back to the button that
// started it; once the check or a refusal has told what repair needs, to the
// first of it; after an uninstall, to the first choice. While the game runs,
// Play is disabled and the focus stays where it went.
void LauncherView::placeFocus()
{
    QWidget* next = nullptr;
    if (m_model.busy())
        next = m_cancelButton;
    else if (m_model.ready())
        next = m_installedPanel->playButton();
    else if (m_model.state().repairNeeded())
        next = m_repairPanel->firstControl();
    else if (m_setupPanel->setupButton()->isEnabled())
        next = m_setupPanel->setupButton();
    else
        next = m_setupPanel->gameRow()->button();
    if (m_model.state().checking())
        return;
    if (!next->isEnabled()) {
        // While the game runs Play is off: the focus rests on the window, not on
        // the next control, where a Space meant for Play would open a folder.
        if (m_model.playing() && next == m_installedPanel->playButton())
            setFocus(Qt::OtherFocusReason);
        return;
    }
    next->setFocus(Qt::OtherFocusReason);
    m_scroll->ensureWidgetVisible(next);
}

// A refusal of one of the player's choices sends the player back to that choice.
void LauncherView::focusRefusedChoice()
{
    const std::optional<Selection> choice = m_model.errorChoice();
    if (!choice || !m_model.idle())
        return;
    const bool game = *choice == Selection::game;
    SelectionRow* row = m_repairPanel->isVisible() ? (game ? m_repairPanel->gameRow() : m_repairPanel->audioRow())
                                                   : (game ? m_setupPanel->gameRow() : m_setupPanel->audioRow());
    if (!row->isVisible() || !row->button()->isEnabled())
        return;
    row->button()->setFocus(Qt::OtherFocusReason);
    m_scroll->ensureWidgetVisible(row->button());
}

void LauncherView::refresh()
{
    const bool ready = m_model.ready();
    const bool repair = !ready && m_model.state().repairNeeded();

    if (ready) {
        m_headline->setText(tr(texts::kReadyHeadline));
        m_subheadline->setText(tr(texts::kReadySubheadline));
    } else if (repair) {
        m_headline->setText(tr(texts::kRepairHeadline));
        m_subheadline->setText(tr(texts::kRepairSubheadline));
    } else {
        m_headline->setText(tr(texts::kSetupHeadline));
        m_subheadline->setText(tr(texts::kSetupSubheadline));
    }

    m_installedPanel->setVisible(ready);
    m_installedPanel->refresh();
    m_setupPanel->setVisible(!ready && !repair);
    m_setupPanel->refresh();
    m_repairPanel->setVisible(repair);
    m_repairPanel->refresh();

    const bool busy = m_model.busy();
    m_progress->setVisible(!m_model.idle());
    m_status->setText(m_model.status());
    m_cancelButton->setVisible(busy);
    m_cancelButton->setText(m_model.state().stopping() ? tr("Stopping…") : tr("Cancel"));
    m_setupProgress->setVisible(busy);
    m_errorBox->showError(m_model.error(), m_model.errorDetails());
}

// Determinate while the size of the work is known, sweeping otherwise.
void LauncherView::refreshProgress()
{
    const SetupProgress& progress = m_model.progress();
    m_progressBar->setFraction(progress.fraction);
    m_progressBar->setText(progress.text);
    m_progressText->setText(progress.text);
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
