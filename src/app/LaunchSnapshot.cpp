#include "app/LaunchSnapshot.h"

#include "app/SaveSnapshots.h"

#include <exception>

namespace launcher {

LaunchSnapshot::LaunchSnapshot(Layout layout) : m_layout(std::move(layout))
{
    try {
        m_taken = SaveSnapshots(m_layout).take();
    } catch (const std::exception& failure) {
        m_failure = failure.what();
    }
}

std::string LaunchSnapshot::failureNote() const
{
    return "[Veyra 2 Mac Launcher] The snapshot of your saves before this start failed: " + m_failure.value_or("") +
           ". The game starts anyway; earlier snapshots are unchanged.\n";
}

void LaunchSnapshot::rotateOut() const noexcept
{
    if (!m_taken)
        return;
    try {
        SaveSnapshots(m_layout).rotate(*m_taken);
    } catch (...) {
        // Clean-up only: the game runs, and the next launch rotates again.
    }
}

} // namespace launcher
