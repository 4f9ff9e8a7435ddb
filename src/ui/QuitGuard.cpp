#include "ui/QuitGuard.h"

#include "ui/LauncherModel.h"
#include "ui/MessageBox.h"
#include "ui/WindowTexts.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

namespace launcher {

QuitGuard::QuitGuard(LauncherModel& model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
    connect(&m_model, &LauncherModel::stateChanged, this, &QuitGuard::follow);
}

QuitGuard::~QuitGuard()
{
    delete m_box;
}

QMessageBox* QuitGuard::box() const
{
    return m_box && m_box->isVisible() ? m_box.data() : nullptr;
}

QuitGuard::Reason QuitGuard::reason() const
{
    // Setup comes first: beside a game it is what quitting would cut short.
    if (m_model.busy())
        return m_model.repairing() ? Reason::repair : Reason::setup;
    if (m_model.playing())
        return Reason::game;
    return m_model.idle() ? Reason::none : Reason::work;
}

bool QuitGuard::allowsQuit()
{
    const Reason now = reason();
    if (now == Reason::none)
        return true;
    if (m_window) {
        m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    }
    if (box() == nullptr || m_shown != now)
        showBox(now);
    else
        m_box->raise();
    m_box->activateWindow();
    emit refused();
    return false;
}

void QuitGuard::showBox(Reason reason)
{
    delete m_box;
    m_shown = reason;
    auto* box = new MessageBox(m_window);
    m_box = box;
    box->setObjectName("quitGuardBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::Warning);
    switch (reason) {
    case Reason::setup:
    case Reason::repair: {
        const bool setup = reason == Reason::setup;
        box->setText(setup ? tr("Setup is still running") : tr("Repair is still running"));
        box->setInformativeText(setup ? tr(texts::kLetSetupFinish) : tr(texts::kLetRepairFinish));
        QPushButton* stop = box->addButton(setup ? tr("Stop setup and quit") : tr("Stop repair and quit"),
                                           QMessageBox::DestructiveRole);
        stop->setObjectName("stopAndQuitButton");
        connect(stop, &QPushButton::clicked, this, &QuitGuard::stopAndQuit);
        QPushButton* keep = box->addButton(tr("Keep working"), QMessageBox::RejectRole);
        keep->setObjectName("keepWorkingButton");
        // Enter and Escape keep the work going; stopping it takes a deliberate choice.
        box->setDefaultButton(keep);
        box->setEscapeButton(keep);
        break;
    }
    case Reason::game:
        box->setText(tr("Veyra 2 is still running"));
        box->setInformativeText(tr(texts::kQuitTheGameFirst));
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case Reason::work:
        // A restore, an uninstall, the diagnostics archive or the check of an
        // incomplete installation, each better finished than cut short.
        box->setText(tr("The launcher is still working"));
        box->setInformativeText(tr(texts::kLetWorkFinish));
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case Reason::none:
        break;
    }
    box->setWindowModality(m_window ? Qt::WindowModal : Qt::ApplicationModal);
    box->show();
}

void QuitGuard::stopAndQuit()
{
    m_quitWhenStopped = true;
    m_model.cancel();
}

void QuitGuard::follow()
{
    if (box() != nullptr && reason() != m_shown)
        m_box->reject();
    if (m_quitWhenStopped && !m_model.busy()) {
        m_quitWhenStopped = false;
        // Asked as every quit is, once the stopped work's end has been handled.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
}

} // namespace launcher
