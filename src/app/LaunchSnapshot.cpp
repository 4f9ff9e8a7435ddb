#include "app/LaunchSnapshot.h"

#include "app/SaveSnapshots.h"
#include "app/SavesSwap.h"

#include <exception>

namespace launcher {
namespace {

std::string listed(const std::vector<std::filesystem::path>& folders)
{
    std::string text;
    for (const std::filesystem::path& folder : folders)
        text += (text.empty() ? "" : ", ") + folder.string();
    return text;
}

} // namespace

LaunchSnapshot::LaunchSnapshot(const Installer& installer) : m_layout(installer.layout())
{
    try {
        recoverInterruptedRestore(m_layout, installer.host());
        const std::optional<TakenSnapshot> taken = SaveSnapshots(m_layout).take();
        if (!taken)
            return;
        m_taken = taken->name;
        m_unreadable = taken->unreadable;
        if (!m_unreadable.empty())
            m_failure = "it left out what could not be read: " + listed(m_unreadable);
    } catch (const std::exception& failure) {
        m_failure = failure.what();
    }
}

std::string LaunchSnapshot::failureNote() const
{
    if (!m_unreadable.empty())
        return "[Veyra 2 Mac Launcher] The snapshot of your saves before this start, " + m_taken.value_or("") +
               ", left out what could not be read: " + listed(m_unreadable) +
               ". Check that you may read it; everything else is in the snapshot.\n";
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
